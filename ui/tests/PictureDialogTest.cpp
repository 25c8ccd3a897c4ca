// What Execute asks of the platform's dialog and makes of its answers. The
// rules it follows that need no window are PictureDialogRulesTest's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Error.h"
#include "base/PlatformApi.h"
#include "tests/support/TestSupport.h"
#include "ui/PictureDialog.h"

namespace {

using namespace std::string_literals;

struct TAnswer {
    BOOL result;
    DWORD error;
    std::string chosen;  // written into the file buffer when not empty
};

struct TAsked {
    DWORD structSize = 0;
    std::string offered;
    DWORD maxFile = 0;
    DWORD flags = 0;
    std::string filter;  // up to and including the closing double NUL
    DWORD filterIndex = 0;
    bool defaultExtension = false;
    bool hook = false;
    bool templateHandle = false;
};

std::vector<TAnswer> g_answers;
std::vector<TAsked> g_asked;
DWORD g_lastError = 0;

BOOL WINAPI FakeGetOpenFileName(LPOPENFILENAMEA ofn)
{
    TAsked asked;
    asked.structSize = ofn->lStructSize;
    asked.offered = ofn->lpstrFile;
    asked.maxFile = ofn->nMaxFile;
    asked.flags = ofn->Flags;
    if (const char* f = ofn->lpstrFilter) {
        size_t n = 0;
        while (f[n] || f[n + 1])
            ++n;
        asked.filter.assign(f, n + 2);
    }
    asked.filterIndex = ofn->nFilterIndex;
    asked.defaultExtension = ofn->lpstrDefExt != nullptr;
    asked.hook = ofn->lpfnHook != nullptr;
    asked.templateHandle = ofn->hInstance != nullptr;
    g_asked.push_back(asked);
    if (g_answers.empty()) {
        ADD_FAILURE() << "the dialog was asked for more often than expected";
        g_lastError = 0;
        return FALSE;
    }
    TAnswer answer = g_answers.front();
    g_answers.erase(g_answers.begin());
    if (!answer.chosen.empty()) {
        if (answer.chosen.size() >= ofn->nMaxFile) {
            g_lastError = FNERR_BUFFERTOOSMALL;
            return FALSE;
        }
        lstrcpyA(ofn->lpstrFile, answer.chosen.c_str());
    }
    g_lastError = answer.error;
    return answer.result;
}

DWORD WINAPI FakeExtendedError()
{
    return g_lastError;
}

class PictureDialogExecute : public testing::Test {
protected:
    void SetUp() override
    {
        g_answers.clear();
        g_asked.clear();
        dialog_.Filter = "Bitmaps (*.bmp)|*.bmp";
    }
    TApiSwap<decltype(PlatformApi.GetOpenFileNameA)> fakeDialog_{PlatformApi.GetOpenFileNameA, FakeGetOpenFileName};
    TApiSwap<decltype(PlatformApi.CommDlgExtendedError)> fakeError_{PlatformApi.CommDlgExtendedError,
                                                                     FakeExtendedError};
    TOpenPictureDialog dialog_;
};

TEST_F(PictureDialogExecute, AsksForTheDocumentedOptions)
{
    dialog_.FileName = "C:\\pictures\\logo.bmp";
    g_answers = {{FALSE, 0, ""}};
    EXPECT_FALSE(dialog_.Execute(nullptr));
    ASSERT_EQ(g_asked.size(), 1u);
    const TAsked& a = g_asked[0];
    EXPECT_EQ(a.offered, "C:\\pictures\\logo.bmp");
    EXPECT_GT(a.maxFile, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ(a.filter, "Bitmaps (*.bmp)\0*.bmp\0\0"s);
    EXPECT_EQ(a.filterIndex, 1u);
    EXPECT_FALSE(a.defaultExtension) << "no extension may be appended";
    const DWORD wanted = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER | OFN_ENABLEHOOK;
    EXPECT_EQ(a.flags & wanted, wanted);
    // Neither the file nor its folder has to exist, and one file is chosen.
    EXPECT_EQ(a.flags & (OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_NOVALIDATE), 0u);
    EXPECT_TRUE(a.hook);
    EXPECT_TRUE(a.templateHandle && (a.flags & OFN_ENABLETEMPLATEHANDLE)) << "no preview panel template";
}

TEST_F(PictureDialogExecute, OffersALongNameWhole)
{
    dialog_.FileName = "C:\\" + std::string(5000, 'a') + ".bmp";
    g_answers = {{FALSE, 0, ""}};
    EXPECT_FALSE(dialog_.Execute(nullptr));
    ASSERT_EQ(g_asked.size(), 1u);
    EXPECT_EQ(g_asked[0].offered, dialog_.FileName);
    EXPECT_GT(g_asked[0].maxFile, dialog_.FileName.size());
}

TEST_F(PictureDialogExecute, ChosenPathReplacesFileName)
{
    dialog_.FileName = "C:\\old.bmp";
    g_answers = {{TRUE, 0, "D:\\new folder\\picture.ico"}};
    EXPECT_TRUE(dialog_.Execute(nullptr));
    EXPECT_EQ(dialog_.FileName, "D:\\new folder\\picture.ico");
}

TEST_F(PictureDialogExecute, CancelKeepsFileName)
{
    dialog_.FileName = "C:\\old.bmp";
    g_answers = {{FALSE, 0, ""}};
    EXPECT_FALSE(dialog_.Execute(nullptr));
    EXPECT_EQ(dialog_.FileName, "C:\\old.bmp");
    EXPECT_EQ(g_asked.size(), 1u);
}

// A remembered name the dialog refuses would otherwise keep it from ever
// opening again: it is asked once more with nothing offered.
TEST_F(PictureDialogExecute, RefusedOfferedNameIsDroppedAndAskedAgain)
{
    dialog_.FileName = "C:\\bad|name.bmp";
    g_answers = {{FALSE, FNERR_INVALIDFILENAME, ""}, {TRUE, 0, "C:\\good.bmp"}};
    EXPECT_TRUE(dialog_.Execute(nullptr));
    ASSERT_EQ(g_asked.size(), 2u);
    EXPECT_EQ(g_asked[0].offered, "C:\\bad|name.bmp");
    EXPECT_EQ(g_asked[1].offered, "");
    EXPECT_EQ(dialog_.FileName, "C:\\good.bmp");
}

// Windows 95, 98 and NT 4.0 know only the structure without the places
// bar's fields and refuse the whole one; the file is still chosen there.
TEST_F(PictureDialogExecute, RefusedStructSizeIsAskedAgainWithTheOldSize)
{
    dialog_.FileName = "C:\\old.bmp";
    g_answers = {{FALSE, CDERR_STRUCTSIZE, ""}, {TRUE, 0, "C:\\new.bmp"}};
    EXPECT_TRUE(dialog_.Execute(nullptr));
    ASSERT_EQ(g_asked.size(), 2u);
    EXPECT_EQ(g_asked[0].structSize, sizeof(OPENFILENAMEA));
    EXPECT_EQ(g_asked[1].structSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
    EXPECT_EQ(g_asked[1].offered, "C:\\old.bmp");
    EXPECT_EQ(dialog_.FileName, "C:\\new.bmp");
}

struct TFailureCase {
    const char* name;
    std::string offered;
    std::vector<TAnswer> answers;
    const char* code;
};

class PictureDialogFailure : public PictureDialogExecute, public testing::WithParamInterface<TFailureCase> {};

// A dialog that cannot be shown is no cancel: the user is told, with the code.
TEST_P(PictureDialogFailure, RaisesWithTheErrorCode)
{
    const TFailureCase& c = GetParam();
    dialog_.FileName = c.offered;
    g_answers = c.answers;
    try {
        dialog_.Execute(nullptr);
        ADD_FAILURE() << "no error raised";
    } catch (const EMarquillError& e) {
        // The whole code, not a prefix of a longer one.
        EXPECT_NE(std::string(e.what()).find(std::string("(error ") + c.code + ")"), std::string::npos) << e.what();
    }
    EXPECT_EQ(dialog_.FileName, c.offered);
    EXPECT_TRUE(g_answers.empty()) << "the dialog was asked for fewer times than expected";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureDialogFailure,
    testing::Values(TFailureCase{"dialog_failure", "C:\\a.bmp", {{FALSE, CDERR_DIALOGFAILURE, ""}}, "0xFFFF"},
                    TFailureCase{"template_not_loaded", "", {{FALSE, CDERR_LOADRESFAILURE, ""}}, "0x7"},
                    // Refused although nothing was offered: nothing left to drop.
                    TFailureCase{"refused_empty_name", "", {{FALSE, FNERR_INVALIDFILENAME, ""}}, "0x3002"},
                    TFailureCase{"refused_twice",
                                 "C:\\bad|name.bmp",
                                 {{FALSE, FNERR_INVALIDFILENAME, ""}, {FALSE, FNERR_INVALIDFILENAME, ""}},
                                 "0x3002"},
                    TFailureCase{"struct_size_refused_twice",
                                 "C:\\a.bmp",
                                 {{FALSE, CDERR_STRUCTSIZE, ""}, {FALSE, CDERR_STRUCTSIZE, ""}},
                                 "0x1"}),
    [](const testing::TestParamInfo<TFailureCase>& info) { return std::string(info.param.name); });

}  // namespace
