// The application window and how it stands for the main window; the common
// controls registered at start-up.
#include "ui/ApplicationWindow.h"

#include "base/PlatformApi.h"
#include "base/ProgramTitle.h"
#include "base/WinHandles.h"
#include "ui/WindowBase.h"
#include "ui/resource.h"

namespace {
constexpr const char* ApplicationClass = "MarquillApplication";
// Posted to itself when activated: the main window takes the activation over
// once the system has finished handing it out.
constexpr UINT WM_ACTIVATEMAIN = WM_APP + 1;

HWND g_main = nullptr;

bool MainShown()
{
    return g_main && IsWindow(g_main) && IsWindowVisible(g_main);
}

// The application window's messages, for the one window procedure's shell.
struct TApplicationWindow {
    LRESULT HandleMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
};
TApplicationWindow g_application;

LRESULT TApplicationWindow::HandleMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_RESTORE && g_main) {
            LRESULT result = DefWindowProcA(wnd, msg, wParam, lParam);
            ShowWindow(g_main, SW_SHOW);
            SetForegroundWindow(g_main);
            SetActiveWindow(g_main);
            return result;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && MainShown())
            PostMessageA(wnd, WM_ACTIVATEMAIN, 0, 0);
        return 0;
    case WM_ACTIVATEMAIN:
        if (MainShown() && GetActiveWindow() == wnd)
            SetActiveWindow(g_main);
        return 0;
    case WM_CLOSE:
        // The main window's close handler decides; it ends the program.
        if (g_main) {
            SendMessageA(g_main, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
}  // namespace

void SetProgramIcons(WNDCLASSEXA& wc)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MARQUILL));
    wc.hIcon = icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
    // Without a small icon every registration scales one anew from the
    // resource (some 2 ms each under Wine); loaded once, the classes share
    // it. Not LR_SHARED: the shared copy may be the large icon already loaded.
    static const TIconHandle small(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_MARQUILL), IMAGE_ICON,
                                                                 GetSystemMetrics(SM_CXSMICON),
                                                                 GetSystemMetrics(SM_CYSMICON), 0)));
    wc.hIconSm = small.Get();
}

HWND ApplicationWindow()
{
    static HWND wnd = nullptr;
    if (wnd && IsWindow(wnd))
        return wnd;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc<TApplicationWindow, &TApplicationWindow::HandleMessage>;
    wc.hInstance = instance;
    wc.lpszClassName = ApplicationClass;
    SetProgramIcons(wc);
    RegisterWindowClass(wc);
    // A popup without size: shown, it has a taskbar button but no place on
    // the screen. The minimise box lets the taskbar minimise it.
    wnd = CreateWindowExA(0, ApplicationClass, ProgramTitle().c_str(),
                          WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr, nullptr,
                          instance, &g_application);
    return wnd;
}

void SetMainWindow(HWND main)
{
    g_main = main;
    HWND application = ApplicationWindow();
    if (!application)
        return;
    if (main) {
        ShowWindow(application, SW_SHOWNA);
        return;
    }
    if (IsIconic(application))
        ShowWindow(application, SW_SHOWNOACTIVATE);
    ShowWindow(application, SW_HIDE);
}

void MinimizeApplication()
{
    if (g_main)
        ShowWindow(g_main, SW_HIDE);
    if (HWND application = ApplicationWindow())
        ShowWindow(application, SW_MINIMIZE);
}

// The comctl32 4.00 of the first Windows 95 has only InitCommonControls,
// which registers the same Windows 95 classes. The import of
// InitCommonControls also keeps comctl32 (version 6 under the manifest)
// loaded before the first window.
void InitCommonControlClasses()
{
    if (!PlatformApi.InitCommonControlsEx) {
        InitCommonControls();
        return;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    if (PlatformApi.InitCommonControlsEx(&controls))
        return;
    // comctl32 4.70 to 5.8x know no ICC_STANDARD_CLASSES and refuse the
    // whole request; the standard controls need no registering there.
    controls.dwICC = ICC_WIN95_CLASSES;
    PlatformApi.InitCommonControlsEx(&controls);
}
