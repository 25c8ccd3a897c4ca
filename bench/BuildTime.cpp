// Measures, inside one process, how long the main window takes to be built,
// loaded from the store in force and shown (the window's constructor, first
// paint included), and counts the windows it holds then. Each run opens the
// window afresh; one unmeasured warm-up run comes first.
//
// Usage: BuildTime <runs>
// Prints "build <median ms>", "build-fastest <ms>" and "windows <count>"
// (the window itself and every window inside it).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "BenchStats.h"
#include "i18n/Translate.h"
#include "oeminfo/WinOEMInfo.h"
#include "ui/ApplicationWindow.h"
#include "ui/MainForm.h"

namespace {
BOOL CALLBACK CountWindow(HWND, LPARAM param)
{
    ++*reinterpret_cast<int*>(param);
    return TRUE;
}

// Lets the window finish what its showing queued, as the program's loop would.
void DrainMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 0;
    if (runs < 1 || runs > 1000) {
        std::fprintf(stderr, "usage: BuildTime <runs of 1 to 1000>\n");
        return 2;
    }
    InitCommonControls();
    InitTranslation();
    ApplicationWindow();
    std::vector<double> times;
    int windows = 0;
    for (int run = 0; run <= runs; ++run) {
        OEMInfo = TOEMInfo{};
        const double start = NowMs();
        auto form = std::make_unique<TAppFrm>();
        const double ms = NowMs() - start;
        if (run > 0)
            times.push_back(ms);
        windows = 1;
        EnumChildWindows(form->Handle(), CountWindow, reinterpret_cast<LPARAM>(&windows));
        form.reset();
        DrainMessages();
    }
    std::printf("build %.1f\nbuild-fastest %.1f\nwindows %d\n", Median(times),
                *std::min_element(times.begin(), times.end()), windows);
    return 0;
}
