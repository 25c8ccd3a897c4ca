// Measures how long a window program takes from its start to its window being
// shown and filled: starts it, waits (polling, bounded) for a visible
// top-level window of that process with the given title and, when asked, a
// visible edit field holding the given text, then closes it. Several
// programs are measured by turns, so that a change in the machine's load
// weighs on all of them alike. One unmeasured warm-up round comes first; the
// median of the others is printed.
//
// Usage: StartTime <runs> <timeout-ms> {<exe> <window title> <edit text or ->}...
// Prints "run <round> <program> <ms>" per run, then per program (numbered
// from 1 in the order given) "median <program> <ms>", "fastest <program> <ms>"
// and "failed <program> <count>".
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchStats.h"

namespace {
struct TTarget {
    DWORD processId;
    const char* title;
    const char* editText;  // nullptr: the window alone is enough
    bool editFound;
    bool windowReady;
};

std::string TextOf(HWND wnd)
{
    // WM_GETTEXT, unlike GetWindowTextA, reaches into a control of another process.
    char buf[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 500,
                             &copied))
        return {};
    buf[sizeof buf - 1] = 0;
    return buf;
}

BOOL CALLBACK FindFilledEdit(HWND child, LPARAM param)
{
    auto* target = reinterpret_cast<TTarget*>(param);
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    // IsWindowVisible also looks at the parents: an edit on a hidden page does not count.
    if (lstrcmpiA(cls, "Edit") == 0 && IsWindowVisible(child) && TextOf(child) == target->editText) {
        target->editFound = true;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindWindowOf(HWND wnd, LPARAM param)
{
    auto* target = reinterpret_cast<TTarget*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid != target->processId || !IsWindowVisible(wnd))
        return TRUE;
    char title[256] = {};
    GetWindowTextA(wnd, title, sizeof title);
    if (lstrcmpA(title, target->title) != 0)
        return TRUE;
    if (target->editText) {
        target->editFound = false;
        EnumChildWindows(wnd, FindFilledEdit, param);
        if (!target->editFound)
            return TRUE;
    }
    target->windowReady = true;
    return FALSE;
}

BOOL CALLBACK CloseWindowsOf(HWND wnd, LPARAM param)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == static_cast<DWORD>(param))
        PostMessageA(wnd, WM_CLOSE, 0, 0);
    return TRUE;
}

class TChildProcess {
public:
    explicit TChildProcess(const PROCESS_INFORMATION& info) : m_info(info) {}
    ~TChildProcess()
    {
        EnumWindows(CloseWindowsOf, static_cast<LPARAM>(m_info.dwProcessId));
        if (WaitForSingleObject(m_info.hProcess, 5000) != WAIT_OBJECT_0)
            TerminateProcess(m_info.hProcess, 1);
        CloseHandle(m_info.hThread);
        CloseHandle(m_info.hProcess);
    }
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;
    HANDLE Handle() const { return m_info.hProcess; }
    DWORD Id() const { return m_info.dwProcessId; }

private:
    PROCESS_INFORMATION m_info;
};

// Milliseconds to the ready window, or a negative value when it never came.
double TimeOneStart(const std::string& exe, DWORD timeoutMs, const char* title, const char* editText)
{
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info = {};
    double start = NowMs();
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
        return -1;
    }
    TChildProcess child(info);
    TTarget target = {child.Id(), title, editText, false, false};
    for (;;) {
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&target));
        if (target.windowReady)
            return NowMs() - start;
        if (NowMs() - start > timeoutMs)
            return -1;
        // The short wait also notices a program that ended without a window.
        if (WaitForSingleObject(child.Handle(), 2) == WAIT_OBJECT_0)
            return -1;
    }
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 6 || (argc - 3) % 3 != 0) {
        std::fprintf(stderr, "usage: StartTime <runs> <timeout-ms> {<exe> <window title> <edit text or ->}...\n");
        return 2;
    }
    int runs = std::atoi(argv[1]);
    DWORD timeoutMs = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    if (runs < 1 || runs > 1000 || timeoutMs == 0) {
        std::fprintf(stderr, "runs must be 1 to 1000 and the timeout above 0\n");
        return 2;
    }
    struct TProgram {
        std::string exe;
        const char* title;
        const char* editText;
        std::vector<double> times;
        int failed;
    };
    std::vector<TProgram> programs;
    for (int i = 3; i + 2 < argc; i += 3)
        programs.push_back({argv[i], argv[i + 1], lstrcmpA(argv[i + 2], "-") == 0 ? nullptr : argv[i + 2], {}, 0});

    for (TProgram& p : programs)
        TimeOneStart(p.exe, timeoutMs, p.title, p.editText);
    for (int round = 1; round <= runs; ++round) {
        for (size_t i = 0; i < programs.size(); ++i) {
            TProgram& p = programs[i];
            double ms = TimeOneStart(p.exe, timeoutMs, p.title, p.editText);
            if (ms < 0) {
                ++p.failed;
                std::printf("run %d %u failed\n", round, static_cast<unsigned>(i + 1));
                continue;
            }
            p.times.push_back(ms);
            std::printf("run %d %u %.1f\n", round, static_cast<unsigned>(i + 1), ms);
        }
    }
    bool allMeasured = true;
    for (size_t i = 0; i < programs.size(); ++i) {
        const std::vector<double>& times = programs[i].times;
        unsigned number = static_cast<unsigned>(i + 1);
        std::printf("median %u %.1f\nfastest %u %.1f\nfailed %u %d\n", number, Median(times), number,
                    times.empty() ? 0.0 : *std::min_element(times.begin(), times.end()), number, programs[i].failed);
        allMeasured &= !programs[i].times.empty();
    }
    return allMeasured ? 0 : 1;
}
