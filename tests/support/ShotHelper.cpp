// The screenshot script's helper: finds Marquill's window, clicks a button
// on request (or closes the window), waits until the window is fully
// painted and prints its screen rectangle ("x y width height") for cropping.
// Usage: screenshot_helper [--click <button text> | --close]
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "tests/support/Painted.h"

namespace {
const char* g_wanted = nullptr;
HWND g_found = nullptr;

BOOL CALLBACK FindButton(HWND child, LPARAM)
{
    char text[64] = {};
    GetWindowTextA(child, text, sizeof text);
    if (std::strcmp(text, g_wanted) != 0)
        return TRUE;
    g_found = child;
    return FALSE;
}
}  // namespace

int main(int argc, char** argv)
{
    const char* caption = "Marquill :: www.marquill.org";
    HWND wnd = nullptr;
    for (int i = 0; i < 600 && !(wnd = FindWindowA(nullptr, caption)); ++i)
        Sleep(50);
    if (!wnd) {
        std::fprintf(stderr, "the window did not appear\n");
        return 1;
    }
    if (argc > 2 && std::strcmp(argv[1], "--click") == 0) {
        g_wanted = argv[2];
        EnumChildWindows(wnd, FindButton, 0);
        if (!g_found) {
            std::fprintf(stderr, "no button \"%s\"\n", argv[2]);
            return 1;
        }
        SendMessageA(g_found, BM_CLICK, 0, 0);
    }
    if (argc > 1 && std::strcmp(argv[1], "--close") == 0) {
        PostMessageA(wnd, WM_CLOSE, 0, 0);
        return 0;
    }
    bool painted = false;
    for (int i = 0; i < 200 && !(painted = FullyPainted(wnd)); ++i)
        Sleep(50);
    if (!painted) {
        std::fprintf(stderr, "the window did not finish painting\n");
        return 1;
    }
    RECT r;
    GetWindowRect(wnd, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
}
