// The commands linked without the program body that picks one (nothing
// in them calls back up into it), run against the legacy store.
#include "cli/DesiredState.h"
#include "cli/tests/CliTestKit.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace clitest;

namespace {

// A 0-byte bitmap loads as no picture, and /apply installs it as a copy of
// the file would leave it: an empty oemlogo.bmp, which /test then finds.
TEST(Commands, ZeroByteBitmapLogoIsInstalledAsItIs)
{
    ASSERT_TRUE(Legacy());
    const std::string empty = TempDir() + "\\marquill-commands-empty.bmp";
    ASSERT_TRUE(WriteWholeFile(empty, ""));
    PrepareStore({{"Manufacturer", "M"}}, MakeBmp24(4, 4, [](int, int) { return RGB(1, 2, 3); }));
    for (const TCliCommand command : {TCliCommand::Apply, TCliCommand::Test}) {
        TCliRequest request;
        request.Command = command;
        request.Sources = {{false, "Logo=" + empty}};
        TCollect out, err;
        EXPECT_EQ(ApplyOrTest(TStoreMode::Legacy, request, out, err), 0) << out.Text << err.Text;
        EXPECT_EQ(err.Text, "");
        EXPECT_EQ(Outside("Logo"), "");
    }
    ClearStore();
    DeleteFileA(empty.c_str());
}

}  // namespace
