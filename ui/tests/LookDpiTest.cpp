// The window on a 144 dpi screen: fonts grow by 144/96, then every place and
// size by the new height of "0" over 13. Built twice, to run in both store
// modes: "Support Info" shows only in the legacy one.
//
// Wine reads the screen's dpi once, when a process starts, from the prefix's
// HKCU\Control Panel\Desktop "LogPixels". So this program sets that value,
// starts itself again to run the tests, and puts the value back as soon as
// the second process has read it. ctest runs it alone (RUN_SERIAL): no other
// test process can start while the prefix says 144.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/WinHandles.h"
#include "tests/support/TestSupport.h"
#include "ui/FormData.h"
#include "ui/MainForm.h"
#include "ui/Zanth.Panel.h"
#include "ui/tests/FormTestFixture.h"

using namespace formtest;

namespace {

const int TestDpi = 144;
const char* const ChildFlag = "--look-dpi-child=";
const char* const DesktopKey = "Control Panel\\Desktop";
const DWORD ChildStartTimeoutMs = 30000;
const DWORD ChildRunTimeoutMs = 100000;  // below the ctest timeout, so the value is always put back

int g_screenDpi = 0;

// ---- the tests, run in the second process ----

int ZeroHeight(int fontHeight)
{
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontA(-fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE zero = {};
    GetTextExtentPoint32A(dc, "0", 1, &zero);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return zero.cy;
}

struct TPlace {
    const char* name;
    int left, top, width, height;  // at 96 dpi; -1: sized by its text
};

const std::vector<TPlace> Places = {
    {"PageControl1", 0, 0, 640, 450},      {"Btn_About", 13, 6, 91, 25},
    {"Btn_Remove", 344, 6, 171, 25},       {"Btn_Apply", 521, 6, 99, 25},
    {"G_3", 407, 6, 209, 231},             {"Edit_Manufacturer", 136, 16, 241, 21},
    {"Edit_SUrl", 136, 124, 241, 21},
    {"Label_SPhone", 16, 100, -1, -1},     {"Image1", 16, 21, 172, 172},
    {"Btn_Open", 115, 199, 75, 25},        {"Label9", 110, 5, -1, -1},
    {"G_4", 9, 3, 608, 145},               {"G_5", 9, 163, 608, 145},
    {"Btn_Back", 517, 382, 99, 25},
};
// "Support Info" exists in legacy mode only, where "General" ends above it.
const std::vector<TPlace> RegistryPlaces = {{"G_1", 8, 6, 393, 171}};
const std::vector<TPlace> LegacyPlaces = {{"Edit_Line7", 107, 177, 270, 21}};

struct TFontCase {
    const char* name;
    int designHeight;
};
const std::vector<TFontCase> Fonts = {
    {"Label_Manufacturer", 11}, {"Edit_Manufacturer", 13}, {"Btn_Apply", 11}, {"Label9", 11}, {"Label_App", 11},
};
// Line 7 has a font of its own, smaller than the other lines'.
const std::vector<TFontCase> LegacyFonts = {{"Edit_Line6", 13}, {"Edit_Line7", 11}};

// The rows for every mode and those of the mode this process runs in.
template <class T>
std::vector<T> RowsOfThisMode(const std::vector<T>& all, const std::vector<T>& legacy,
                              const std::vector<T>& registry = {})
{
    std::vector<T> rows = all;
    const std::vector<T>& own = StoreMode() == TStoreMode::Legacy ? legacy : registry;
    rows.insert(rows.end(), own.begin(), own.end());
    return rows;
}

class LookDpiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(g_screenDpi, TestDpi) << "the screen did not take the prefix's LogPixels";
        zero_ = ZeroHeight(MulDiv(11, TestDpi, FormDesignDpi));
        ASSERT_GT(zero_, FormDesignTextHeight);
        form_ = OpenForm();
        ASSERT_TRUE(form_ && IsWindowVisible(form_->Handle())) << "the window did not appear";
        ASSERT_TRUE(PumpUntil(*form_, [this] { return FullyPainted(form_->Handle()); }));
    }

    void TearDown() override
    {
        form_.reset();
        EXPECT_EQ(boxes_.Count(), 0) << "unexpected message box: " << (boxes_.Count() ? boxes_.Last().text : "");
    }

    int Scaled(int value) const { return MulDiv(value, zero_, FormDesignTextHeight); }

    TMessageBoxCatcher boxes_;
    std::unique_ptr<TAppFrm> form_;
    int zero_ = 0;
};

TEST_F(LookDpiTest, FontsGrowByTheDpiRatio)
{
    form_->Button4Cli();
    for (const TFontCase& c : RowsOfThisMode(Fonts, LegacyFonts))
        EXPECT_EQ(FontHeightOf(ControlNamed(*form_, c.name)), -MulDiv(c.designHeight, TestDpi, FormDesignDpi)) << c.name;
}

TEST_F(LookDpiTest, PlacesGrowByTheHeightOfZero)
{
    RECT client = {};
    GetClientRect(form_->Handle(), &client);
    EXPECT_EQ(client.right, Scaled(636));
    EXPECT_EQ(client.bottom, Scaled(460));
    form_->Button4Cli();
    for (const TPlace& p : RowsOfThisMode(Places, LegacyPlaces, RegistryPlaces)) {
        SCOPED_TRACE(p.name);
        HWND wnd = ControlNamed(*form_, p.name);
        ASSERT_NE(wnd, nullptr);
        const RECT r = RectInParent(wnd);
        EXPECT_EQ(r.left, Scaled(p.left));
        EXPECT_EQ(r.top, Scaled(p.top));
        if (p.width >= 0) {
            EXPECT_EQ(r.right - r.left, Scaled(p.width));
            EXPECT_EQ(r.bottom - r.top, Scaled(p.height));
        }
    }
    // The bottom bar keeps to the bottom across the full width.
    const RECT bar = RectInParent(form_->Control(TCtl::Panel1));
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.right, client.right);
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(bar.bottom - bar.top, Scaled(41));
}

TEST_F(LookDpiTest, FramesFollowTheLargerCaption)
{
    for (const char* name : {"G_1", "G_3"}) {
        SCOPED_TRACE(name);
        TZanthPanel* panel = TZanthPanel::FromHandle(ControlNamed(*form_, name));
        ASSERT_NE(panel, nullptr);
        const SIZE text = CaptionExtent(*panel);
        EXPECT_GT(text.cy, 13) << "the caption's font did not grow";
        TPixels px;
        ASSERT_TRUE(CaptureClient(panel->Handle(), px));
        for (const std::string& error : CaptionedFrameErrors(px, text, TZanthPanel::DefaultBorderColor))
            ADD_FAILURE() << error;
    }
}

// ---- the first process: sets the dpi, runs the second, puts it back ----

// The prefix's LogPixels as found, put back when this goes out of scope.
class TLogPixelsGuard {
public:
    TLogPixelsGuard()
    {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        DWORD size = sizeof old_;
        had_ = RegQueryValueExA(key_, "LogPixels", nullptr, &type_, old_, &size) == ERROR_SUCCESS;
        oldSize_ = size;
    }
    ~TLogPixelsGuard()
    {
        Restore();
        if (key_)
            RegCloseKey(key_);
    }
    TLogPixelsGuard(const TLogPixelsGuard&) = delete;
    TLogPixelsGuard& operator=(const TLogPixelsGuard&) = delete;

    bool Set(DWORD dpi)
    {
        if (!key_)
            return false;
        changed_ = true;
        return RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
               ERROR_SUCCESS;
    }
    void Restore()
    {
        if (!key_ || !changed_)
            return;
        if (had_)
            RegSetValueExA(key_, "LogPixels", 0, type_, old_, oldSize_);
        else
            RegDeleteValueA(key_, "LogPixels");
        changed_ = false;
    }

private:
    HKEY key_ = nullptr;
    bool had_ = false;
    bool changed_ = false;
    DWORD type_ = REG_DWORD;
    BYTE old_[64] = {};
    DWORD oldSize_ = 0;
};

void Inheritable(DWORD which)
{
    HANDLE h = GetStdHandle(which);
    if (h && h != INVALID_HANDLE_VALUE)
        SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
}

int RunAtTestDpi()
{
    const std::string eventName = "MarquillLookDpiStarted-" + std::to_string(GetCurrentProcessId());
    THandle started(CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    if (!started.Get()) {
        std::fprintf(stderr, "cannot create the start event\n");
        return 1;
    }
    TLogPixelsGuard logPixels;
    if (!logPixels.Set(TestDpi)) {
        std::fprintf(stderr, "cannot set LogPixels in the prefix\n");
        return 1;
    }

    std::string commandLine = std::string(GetCommandLineA()) + " " + ChildFlag + eventName;
    Inheritable(STD_OUTPUT_HANDLE);
    Inheritable(STD_ERROR_HANDLE);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child = {};
    std::fflush(stdout);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child)) {
        std::fprintf(stderr, "cannot start the test process: error %lu\n", GetLastError());
        return 1;
    }
    THandle process(child.hProcess);
    THandle thread(child.hThread);

    // Once the second process has read its dpi, the prefix gets its own back.
    HANDLE waitFor[] = {started.Get(), process.Get()};
    WaitForMultipleObjects(2, waitFor, FALSE, ChildStartTimeoutMs);
    logPixels.Restore();

    if (WaitForSingleObject(process.Get(), ChildRunTimeoutMs) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "the test process did not end in time\n");
        TerminateProcess(process.Get(), 1);
        return 1;
    }
    DWORD code = 1;
    GetExitCodeProcess(process.Get(), &code);
    return static_cast<int>(code);
}

int RunTests(int argc, char** argv, const char* eventName)
{
    {
        HDC screen = GetDC(nullptr);
        g_screenDpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    THandle started(OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName));
    if (started.Get())
        SetEvent(started.Get());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace

int main(int argc, char** argv)
{
    const size_t flagLength = std::strlen(ChildFlag);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], ChildFlag, flagLength) == 0)
            return RunTests(argc, argv, argv[i] + flagLength);
    return RunAtTestDpi();
}
