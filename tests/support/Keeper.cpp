// Holds Wine's desktop and services open for the whole test run: started
// before ctest with its output sent elsewhere, so no test process is the one
// that starts them (they would inherit that test's output pipe and keep ctest
// waiting), and each test process starts in a fraction of the time.
// Given a file path, creates that file once its window (and so the desktop)
// exists, for the script that must not start ctest before then.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR readyFile, int)
{
    HWND wnd = CreateWindowExA(0, "STATIC", "marquill-test-keeper", 0, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (!wnd)
        return 1;
    if (readyFile && *readyFile) {
        HANDLE ready = CreateFileA(readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (ready == INVALID_HANDLE_VALUE)
            return 1;
        CloseHandle(ready);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
