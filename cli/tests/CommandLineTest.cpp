// The command line run in this process against the real store in force:
// built twice, once seeing Windows 10 (registry store) and once Windows XP
// (legacy store). The store is prepared and read from outside.
#include "cli/CommandLine.h"
#include "cli/tests/CliTestKit.h"

#include "base/Error.h"
#include "base/Format.h"
#include "oeminfo/OEMApi.h"
#include "oeminfo/tests/StoreTestKit.h"
#include "tests/support/TestSupport.h"
#include "ui/Picture.h"

#include <gtest/gtest.h>

using namespace clitest;

namespace {

class TCollect : public TConsoleOut {
public:
    void Write(const std::string& text) override { Text += text; }
    std::string Text;
};

struct TRun {
    int Code = -1;
    std::string Out, Err;
};

TRun Cli(const std::vector<std::string>& args)
{
    TCollect out, err;
    TRun run;
    run.Code = RunCommandLine(args, out, err);
    run.Out = out.Text;
    run.Err = err.Text;
    return run;
}

// The error box's text for a picture that fails to load.
std::string PictureError(const std::string& path)
{
    TPicture picture;
    return WithFullStop(ErrorOf([&] { picture.LoadFromFile(path); }));
}

const std::string Umlauts = "M\xFCller & S\xF6hne";  // in code page 1252

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        Bmp = MakeBmp24(2, 2, [](int x, int y) { return RGB(x * 100, y * 100, 7); });
        ASSERT_TRUE(WriteWholeFile(Scratch("logo.bmp"), Bmp));
    }
    void TearDown() override
    {
        for (const std::string& path : scratch_)
            DeleteFileA(path.c_str());
    }

    std::string Scratch(const std::string& name)
    {
        scratch_.push_back(TempDir() + "\\marquill-cli-" + name);
        return scratch_.back();
    }
    std::string ScratchFile(const std::string& name, const std::string& bytes)
    {
        std::string path = Scratch(name);
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        return path;
    }

    TStoreKeeper keeper_;
    std::string Bmp;

private:
    std::vector<std::string> scratch_;
};

TEST_F(CommandLine, ShowThenApplyRoundTripsEveryField)
{
    const std::string logo = Scratch("logo.bmp");
    std::string shown;
    if (Legacy()) {
        // The profile functions drop the blanks around a value: the legacy
        // store cannot keep them.
        PrepareStore({{"Manufacturer", Umlauts}, {"Model", "X 1"}, {"Line1", "a=b"}, {"Line2", ""}, {"Line3", "c"}});
        SetLogoFile(Bmp);
        shown = "Manufacturer=" + Umlauts + "\r\nModel=X 1\r\nLine1=a=b\r\nLine2=\r\nLine3=c\r\n";
        for (int n = 4; n <= 10; ++n)
            shown += "Line" + std::to_string(n) + "=\r\n";
        shown += "Logo=" + SystemDir() + "\\oemlogo.bmp\r\n";
    } else {
        PrepareStore({{"Manufacturer", Umlauts}, {"Model", "  X 1  "}, {"SupportHours", ""},
                      {"SupportURL", "http://x/?a=b"}, {"Logo", logo}});
        shown = "Manufacturer=" + Umlauts + "\r\nModel=  X 1  \r\nSupportHours=\r\nSupportPhone=\r\n"
                "SupportURL=http://x/?a=b\r\nLogo=" + logo + "\r\n";
    }
    const TRun show = Cli({"/show"});
    EXPECT_EQ(show.Code, 0);
    EXPECT_EQ(show.Out, shown);
    EXPECT_EQ(show.Err, "");

    PrepareStore({{"Manufacturer", "other"}, {"Model", "other"}, {"Line1", "other"}, {"SupportPhone", "other"}});
    const TRun apply = Cli({"-APPLY", "@" + ScratchFile("shown.txt", show.Out)});
    EXPECT_EQ(apply.Code, 0) << apply.Err;
    EXPECT_EQ(Outside("Manufacturer"), Umlauts);
    if (Legacy()) {
        EXPECT_EQ(Outside("Model"), "X 1");
        EXPECT_EQ(Outside("Line1"), "a=b");
        EXPECT_EQ(Outside("Line2"), "c") << "empty lines are left out, the others renumbered";
        EXPECT_EQ(Outside("Line3"), "<missing>");
        EXPECT_EQ(Outside("Logo"), Bmp);
    } else {
        EXPECT_EQ(Outside("Model"), "  X 1  ");
        EXPECT_EQ(Outside("SupportHours"), "");
        EXPECT_EQ(Outside("SupportPhone"), "") << "written as empty, not left as it was";
        EXPECT_EQ(Outside("SupportURL"), "http://x/?a=b");
        EXPECT_EQ(Outside("Logo"), logo);
        EXPECT_EQ(Cli({"/show"}).Out, shown);
    }
}

TEST_F(CommandLine, ApplyKeepsFieldsNotGivenAndWritesAsApplyDoes)
{
    const std::string logo = Scratch("logo.bmp");
    if (Legacy()) {
        PrepareStore({{"Manufacturer", "M"}, {"Model", "X"}, {"Line1", "a"}, {"Line2", "b"}});
        SetLogoFile("");
        const TRun run = Cli({"/apply", "line1=", "Line3= c", "/file:" + ScratchFile("f.txt", "Logo=" + logo)});
        ASSERT_EQ(run.Code, 0) << run.Err;
        EXPECT_EQ(Outside("Manufacturer"), "M");
        EXPECT_EQ(Outside("Line1"), "b");
        EXPECT_EQ(Outside("Line2"), "c");
        EXPECT_EQ(Outside("Line3"), "<missing>");
        EXPECT_EQ(Outside("Logo"), Bmp) << "the logo is copied";
        // An empty Logo= leaves the logo file there is, as Apply does.
        ASSERT_EQ(Cli({"/apply", "Logo="}).Code, 0);
        EXPECT_EQ(Outside("Logo"), Bmp);
    } else {
        PrepareStore({{"Manufacturer", "M"}, {"Model", "X"}, {"Logo", "C:\\old.bmp"}});
        const TRun run = Cli({"/apply", "model=Y", "Logo=" + logo});
        ASSERT_EQ(run.Code, 0) << run.Err;
        EXPECT_EQ(Outside("Manufacturer"), "M");
        EXPECT_EQ(Outside("Model"), "Y");
        EXPECT_EQ(Outside("SupportHours"), "") << "all six are written";
        EXPECT_EQ(Outside("Logo"), logo);
        ASSERT_EQ(Cli({"/apply", "Logo="}).Code, 0);
        EXPECT_EQ(Outside("Logo"), "");
    }
}

TEST_F(CommandLine, ExitCodesOfEachCommand)
{
    PrepareStore({{"Manufacturer", "M"}});
    const struct {
        std::vector<std::string> args;
        int code;
        const char* out;  // the start of what standard output gets
        const char* err;
    } cases[] = {
        {{"/?"}, 0, "Sets the OEM information", ""},
        {{"-Help"}, 0, "Sets the OEM information", ""},
        {{"/show"}, 0, "Manufacturer=M\r\n", ""},
        {{"/list"}, 2, "", "Unknown command \"/list\".\r\nType Marquill /? for the commands and the fields.\r\n"},
        {{"/show", "/remove"}, 2, "", "\"/show\" takes no further arguments"},
        {{"/apply", "Logo=C:\\no-such-logo.bmp"}, 1, "", ""},
        {{"/remove"}, 0, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const TRun run = Cli(c.args);
        EXPECT_EQ(run.Code, c.code);
        EXPECT_EQ(run.Out.substr(0, strlen(c.out)), c.out);
        EXPECT_EQ(run.Err.substr(0, strlen(c.err)), c.err);
        if (c.code == 1) {
            EXPECT_EQ(run.Err, PictureError("C:\\no-such-logo.bmp") + "\r\n");
        }
    }
    EXPECT_EQ(Outside("Manufacturer"), "<missing>") << "/remove removed the information";
}

TEST_F(CommandLine, BadInputIsRejectedBeforeAnythingIsWritten)
{
    PrepareStore({{"Manufacturer", "M"}, {"Model", "X"}, {"Line1", "a"}});
    if (Legacy())
        SetLogoFile(Bmp);
    const std::string before = Snapshot();
    const std::string other = Legacy() ? "SupportURL" : "Line1";
    const std::string otherMode = Legacy() ? "registry mode" : "legacy mode";
    const std::string png = ScratchFile("logo.png", Bmp);
    const std::string broken = ScratchFile("broken.bmp", "XX" + Bmp.substr(2));
    const std::string dir = TempDir();
    const struct {
        std::vector<std::string> args;
        int code;
        std::string err;  // its first line
    } cases[] = {
        {{"/apply", "Colour=red"}, 2, "Unknown field \"Colour\" (argument \"Colour=red\")."},
        {{"/apply", "Model=Y", "@" + ScratchFile("dup.txt", "\r\nMODEL=Z\r\n")}, 2,
         "\"Model\" is given twice: argument \"Model=Y\" and " + TempDir() + "\\marquill-cli-dup.txt, line 2."},
        {{"/apply", other + "=x"}, 2,
         "\"" + other + "\" (argument \"" + other + "=x\") is a field of " + otherMode + "; this Windows keeps"},
        {{"/apply", "Model=a\r\nb"}, 2, "The value of \"Model\" (argument \"Model=a"},
        {{"/apply", "Model=a\nb"}, 2, "The value of \"Model\" (argument \"Model=a"},
        {{"/apply", "@" + ScratchFile("nul.txt", std::string("Model=a\0b", 9))}, 2,
         TempDir() + "\\marquill-cli-nul.txt, line 1 holds a NUL character."},
        {{"/apply", "Manufacturer=" + std::string(2048, 'w')}, 2, "The value of \"Manufacturer\""},
        {{"/apply", "Model=Y", "@" + dir + "\\marquill-cli-missing.txt"}, 2,
         "Cannot read the field file " + dir + "\\marquill-cli-missing.txt: "},
        {{"/apply", "/file:" + dir}, 2, "Cannot read the field file " + dir + ": "},
        {{"/apply", "Model"}, 2, "\"Model\" is not of the form Name=Value."},
        {{"/apply", "Model=Y", "Logo=" + dir + "\\marquill-cli-missing.bmp"}, 1,
         PictureError(dir + "\\marquill-cli-missing.bmp")},
        {{"/apply", "Model=Y", "Logo=" + png}, 1, PictureError(png)},
        {{"/apply", "Model=Y", "Logo=" + broken}, 1, PictureError(broken)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back().substr(0, 60));
        const TRun run = Cli(c.args);
        EXPECT_EQ(run.Code, c.code);
        EXPECT_EQ(run.Err.substr(0, c.err.size()), c.err) << run.Err;
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(Snapshot(), before) << "something was written";
    }
    // The longest value each store takes is accepted.
    const TRun longest = Cli({"/apply", "Manufacturer=" + std::string(2047, 'w')});
    EXPECT_EQ(longest.Code, 0) << longest.Err;
    EXPECT_EQ(Outside("Manufacturer"), std::string(2047, 'w'));
}

// Refuses the third write of a value (a profile write with a key, or a
// registry write), once or from then on.
struct TRefusal {
    static int Writes;
    static int RefuseFrom, RefuseTo;
    static bool Refused()
    {
        ++Writes;
        return Writes >= RefuseFrom && Writes <= RefuseTo;
    }
    static LONG WINAPI RegSet(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
    {
        return Refused() ? ERROR_ACCESS_DENIED : ::RegSetValueExA(key, name, reserved, type, data, size);
    }
    static BOOL WINAPI ProfileWrite(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path)
    {
        if (key && Refused()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        return ::WritePrivateProfileStringA(section, key, value, path);
    }
};
int TRefusal::Writes = 0;
int TRefusal::RefuseFrom = 0;
int TRefusal::RefuseTo = 0;

TEST_F(CommandLine, RefusedWritePartWayPutsTheOldValuesBack)
{
    std::vector<std::pair<std::string, std::string>> old = {{"Manufacturer", "Old M"}, {"Model", "Old X"}};
    if (Legacy()) {
        // Eleven lines: the one past the editable ten comes back too.
        for (int n = 1; n <= 11; ++n)
            old.emplace_back("Line" + std::to_string(n), "old " + std::to_string(n));
    } else {
        old.emplace_back("SupportHours", "old hours");
    }
    const std::string failure = Legacy() ? "Unable to write to " + SystemDir() + "\\oeminfo.ini."
                                         : "Failed to set data for 'SupportHours'";
    // Writing back starts with the first value again, refused in turn.
    const std::string restoreFailure = Legacy() ? failure : "Failed to set data for 'Manufacturer'";
    const struct {
        int refuseTo;
        std::string err;
    } cases[] = {
        {3, failure + "\r\nThe OEM information read before was written back.\r\n"},
        {1000, failure + "\r\nWriting back the OEM information read before failed too:\r\n" + restoreFailure + "\r\n"},
    };
    TApiSwap<decltype(OEMApi.RegSetValueExA)> regSwap(OEMApi.RegSetValueExA, TRefusal::RegSet);
    TApiSwap<decltype(OEMApi.WritePrivateProfileStringA)> iniSwap(OEMApi.WritePrivateProfileStringA,
                                                                 TRefusal::ProfileWrite);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refuseTo);
        PrepareStore(old);
        TRefusal::Writes = 0;
        TRefusal::RefuseFrom = 3;
        TRefusal::RefuseTo = c.refuseTo;
        const TRun run =
            Cli({"/apply", "Manufacturer=New M", "Model=New X", Legacy() ? "Line1=new" : "SupportHours=new"});
        EXPECT_EQ(run.Code, 1);
        EXPECT_EQ(run.Err, c.err);
        if (c.refuseTo == 3) {
            for (const auto& field : old)
                EXPECT_EQ(Outside(field.first), field.second) << field.first;
        }
    }
}

TEST_F(CommandLine, StoreThatCannotBeReadIsAStoreError)
{
    if (Legacy())
        GTEST_SKIP() << "the legacy store's reader raises nothing";
    PrepareStore({{"Manufacturer", "M"}});
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation", 0,
                            KEY_SET_VALUE | KEY_WOW64_64KEY, &key),
              ERROR_SUCCESS);
    const DWORD number = 7;
    RegSetValueExA(key, "Logo", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    const std::string before = Snapshot();
    for (const char* command : {"/show", "/apply"}) {
        const TRun run = command[1] == 's' ? Cli({command}) : Cli({command, "Model=Y"});
        EXPECT_EQ(run.Code, 1) << command;
        EXPECT_EQ(run.Err, "Invalid data type for 'Logo'\r\n") << command;
        EXPECT_EQ(run.Out, "") << command;
    }
    EXPECT_EQ(Snapshot(), before);
}

}  // namespace
