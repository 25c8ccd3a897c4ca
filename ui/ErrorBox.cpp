#include "ui/ErrorBox.h"

#include "ui/resource.h"

#include "base/Format.h"

namespace {
constexpr const char* ApplicationClass = "TApplication";

LRESULT CALLBACK ApplicationProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
}  // namespace

std::string ProgramTitle()
{
    char path[MAX_PATH + 1] = {};
    DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH)
        return std::string();
    return ProgramTitleOf(std::string(path, len));
}

std::string ProgramTitleOf(const std::string& exePath)
{
    // The shared rule says where the name starts and where it is cut; the
    // letters are lower-cased here from the name as written, by the ANSI code
    // page, so that letters beyond ASCII follow and a first character of two
    // bytes stays whole.
    const size_t slash = exePath.find_last_of("\\/:");
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::string title = exePath.substr(start, ProgramTitleFromPath(exePath).size());
    if (title.empty())
        return title;
    char* rest = CharNextA(&title[0]);
    const size_t restLength = title.size() - static_cast<size_t>(rest - &title[0]);
    if (restLength > 0)
        CharLowerBuffA(rest, static_cast<DWORD>(restLength));
    return title;
}

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
