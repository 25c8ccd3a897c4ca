#include "ui/ErrorBox.h"

#include "ui/resource.h"

#include "base/Format.h"

namespace {
constexpr const char* ApplicationClass = "MarquillApplication";

LRESULT CALLBACK ApplicationProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
}  // namespace

HICON ProgramIcon()
{
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MARQUILL));
    return icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
}

HWND ApplicationWindow()
{
    static HWND wnd = nullptr;
    if (wnd && IsWindow(wnd))
        return wnd;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ApplicationProc;
    wc.hInstance = instance;
    wc.lpszClassName = ApplicationClass;
    wc.hIcon = ProgramIcon();
    RegisterClassExA(&wc);
    // Never shown: a popup without size, so it has no place on the screen.
    wnd = CreateWindowExA(0, ApplicationClass, ProgramTitle().c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0,
                          nullptr, nullptr, instance, nullptr);
    return wnd;
}

void ShowErrorBox(const std::string& message, HWND owner)
{
    if (!owner)
        owner = ApplicationWindow();
    MessageBoxA(owner, WithFullStop(message).c_str(), ProgramTitle().c_str(), MB_ICONERROR | MB_OK);
}
