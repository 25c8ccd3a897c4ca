// Marquill.exe itself: started as a user starts it, its window found, the
// Tab key pressed in it, closed, and its exit code read.
#include "ui/tests/FormTestFixture.h"

#include "base/PlatformApi.h"
#include "tests/support/TestSupport.h"
#include "ui/ApplicationWindow.h"

#include <vector>

using namespace formtest;

namespace {

struct TFindTopLevel {
    DWORD process;
    const char* cls;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND wnd, LPARAM param)
{
    auto* find = reinterpret_cast<TFindTopLevel*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(wnd, &process);
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (process != find->process || lstrcmpA(cls, find->cls) != 0)
        return TRUE;
    find->found = wnd;
    return FALSE;
}

HWND FindTopLevel(DWORD process, const char* cls)
{
    TFindTopLevel find{process, cls, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

std::string WindowText(HWND wnd)
{
    char buf[512] = {};
    SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buf;
}

// The program's main window once it shows; nullptr when it does not.
HWND ShownWindowOf(DWORD process)
{
    HWND form = nullptr;
    bool shown = WaitFor(
        [&] {
            form = FindTopLevel(process, "TAppFrm");
            return form && IsWindowVisible(form);
        },
        15000);
    return shown ? form : nullptr;
}

bool HasNoArea(HWND wnd)
{
    RECT rect = {};
    GetWindowRect(wnd, &rect);
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

HWND FocusOf(DWORD thread)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// Ends the started program whatever the test's outcome.
class TProgram {
public:
    explicit TProgram(const std::string& path)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string command = "\"" + path + "\"";
        started_ = CreateProcessA(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &info_) != FALSE;
    }
    ~TProgram()
    {
        if (!started_)
            return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    bool Started() const { return started_; }
    const PROCESS_INFORMATION& Info() const { return info_; }

private:
    bool started_ = false;
    PROCESS_INFORMATION info_ = {};
};

// The classes each InitCommonControlsEx call asked for; refuses, as comctl32
// 4.70 to 5.8x do, any request naming ICC_STANDARD_CLASSES.
std::vector<DWORD> AskedClasses;
BOOL WINAPI InitWithoutStandardClasses(const INITCOMMONCONTROLSEX* controls)
{
    AskedClasses.push_back(controls->dwICC);
    return (controls->dwICC & ICC_STANDARD_CLASSES) == 0;
}

class FormProgram : public ::testing::Test {
protected:
    void SetUp() override { DeleteOemValues(); }
    void TearDown() override { DeleteOemValues(); }
};

// A comctl32 that knows no ICC_STANDARD_CLASSES is asked again for the
// Windows 95 classes alone.
TEST(ProgramStart, AsksAgainWithoutTheStandardClassesWhenRefused)
{
    TApiSwap<decltype(PlatformApi.InitCommonControlsEx)> swap(PlatformApi.InitCommonControlsEx,
                                                              InitWithoutStandardClasses);
    AskedClasses.clear();
    InitCommonControlClasses();
    const std::vector<DWORD> expected = {ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES, ICC_WIN95_CLASSES};
    EXPECT_EQ(expected, AskedClasses);
}

TEST_F(FormProgram, StartsLoadsTabsAndExitsWithZero)
{
    SetRegString("Manufacturer", "Program Maker");
    SetRegString("Model", "Program Model");
    TProgram program(ExeDir() + "..\\..\\app\\Marquill.exe");
    ASSERT_TRUE(program.Started()) << "Marquill.exe did not start: " << GetLastError();
    const DWORD process = program.Info().dwProcessId;

    HWND form = ShownWindowOf(process);
    ASSERT_NE(form, nullptr) << "the window did not appear";
    EXPECT_EQ(WindowText(form), "Marquill :: www.marquill.org");

    // The program's own window carries the program's title and takes no
    // place on the screen.
    HWND application = FindTopLevel(process, "MarquillApplication");
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(WindowText(application), "Marquill");
    EXPECT_TRUE(HasNoArea(application));

    // Loaded, and the first field has the focus; Tab goes on to the next.
    const DWORD thread = GetWindowThreadProcessId(form, nullptr);
    HWND focus = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        focus = FocusOf(thread);
        return focus && WindowText(focus) == "Program Maker";
    })) << "the manufacturer field is not focused";
    PostMessageA(focus, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_TRUE(WaitFor([&] {
        HWND now = FocusOf(thread);
        return now && WindowText(now) == "Program Model";
    })) << "Tab did not reach the model field";

    PostMessageA(form, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program.Info().hProcess, 10000), WAIT_OBJECT_0) << "the program did not end";
    DWORD code = 1234;
    GetExitCodeProcess(program.Info().hProcess, &code);
    EXPECT_EQ(code, 0u);
}

// The taskbar button is the application window's: closing it there closes
// the main window through its close handler and ends the program.
TEST_F(FormProgram, ClosingTheTaskbarButtonEndsTheProgram)
{
    TProgram program(ExeDir() + "..\\..\\app\\Marquill.exe");
    ASSERT_TRUE(program.Started()) << "Marquill.exe did not start: " << GetLastError();
    const DWORD process = program.Info().dwProcessId;
    HWND form = ShownWindowOf(process);
    ASSERT_NE(form, nullptr) << "the window did not appear";
    HWND application = GetWindow(form, GW_OWNER);
    ASSERT_EQ(application, FindTopLevel(process, "MarquillApplication")) << "the window is not the program's";
    EXPECT_TRUE(IsWindowVisible(application)) << "no taskbar button";

    PostMessageA(application, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program.Info().hProcess, 10000), WAIT_OBJECT_0) << "the program did not end";
    DWORD code = 1234;
    GetExitCodeProcess(program.Info().hProcess, &code);
    EXPECT_EQ(code, 0u);
}

}  // namespace
