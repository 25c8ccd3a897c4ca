// Marquill.com, the console companion of Marquill.exe. cmd.exe and
// PowerShell try .COM before .EXE, so `Marquill /show` typed at a prompt
// runs this console program, which the prompt waits for. It starts
// Marquill.exe from its own folder with the very command-line tail it was
// given, hands on its standard handles, waits and exits with Marquill's
// exit code; without arguments it starts the window and returns at once.
//
// Built without the C and C++ runtimes, so that it stays a few kilobytes:
// no static constructors, no exceptions, nothing from the library.
#include <windows.h>

namespace {

// Marquill.exe is missing or did not start.
constexpr UINT ExitCouldNotRun = 3;

// Nothing a key press can stop: the companion always waits for Marquill,
// which decides itself when a Ctrl+C may end it.
BOOL WINAPI IgnoreBreak(DWORD event)
{
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}

bool IsConsole(HANDLE handle)
{
    DWORD mode;
    return GetConsoleMode(handle, &mode) != FALSE;
}

// Large buffers live here rather than on the stack: a frame over a page
// would call the runtime's stack probe.
WCHAR WideText[4096];
char ConsoleBytes[3 * 4096];

// Well-formed UTF-8, as Marquill writes it, into WideText; a character
// beyond the BMP becomes its surrogate pair. The count of wide characters.
int Utf8ToWide(const char* text, int length)
{
    int wide = 0;
    for (int i = 0; i < length && wide < 4096;) {
        const BYTE lead = static_cast<BYTE>(text[i]);
        const int bytes = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        DWORD c = bytes == 1 ? lead : lead & (0xFF >> (bytes + 1));
        for (int k = 1; k < bytes && i + k < length; ++k)
            c = (c << 6) | (static_cast<BYTE>(text[i + k]) & 0x3F);
        i += bytes;
        if (c > 0xFFFF) {
            if (wide + 2 > 4096)
                break;
            WideText[wide++] = static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10));
            c = 0xDC00 + ((c - 0x10000) & 0x3FF);
        }
        WideText[wide++] = static_cast<WCHAR>(c);
    }
    return wide;
}

// Text in `codePage` onto a console: as wide characters, which the NT
// family shows as they are; 95/98/Me, which have WriteConsoleW as a stub
// only, get the console's own code page.
void WriteConsoleText(HANDLE console, const char* text, int length, UINT codePage = CP_ACP)
{
    int wide = MultiByteToWideChar(codePage, 0, text, length, WideText, 4096);
    // The first Windows 95 has no UTF-8 code page: decode it here.
    if (wide <= 0 && codePage == CP_UTF8)
        wide = Utf8ToWide(text, length);
    DWORD written;
    if (wide <= 0 || WriteConsoleW(console, WideText, wide, &written, nullptr))
        return;
    const int bytes =
        WideCharToMultiByte(GetConsoleOutputCP(), 0, WideText, wide, ConsoleBytes, sizeof ConsoleBytes, nullptr, nullptr);
    if (bytes > 0)
        WriteFile(console, ConsoleBytes, bytes, &written, nullptr);
}

void WriteText(HANDLE handle, const char* text)
{
    const int length = lstrlenA(text);
    DWORD written;
    if (IsConsole(handle))
        WriteConsoleText(handle, text, length);
    else
        WriteFile(handle, text, length, &written, nullptr);
}

char Relayed[4096];

// The bytes of the character that starts with `lead`, as far as the lead
// byte tells.
int CharacterBytes(BYTE lead, UINT codePage)
{
    if (codePage != CP_UTF8)
        return IsDBCSLeadByte(lead) ? 2 : 1;
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// Before Windows XP a program cannot attach to another's console, so
// Marquill writes into a pipe and this shows it: text in the ANSI code
// page, or UTF-8 from a byte-order mark on (as /show writes a value that is
// not ASCII). A character cut in two by a read waits for the rest.
void Relay(HANDLE pipe, HANDLE console)
{
    static const char utf8Mark[] = "\xEF\xBB\xBF";
    UINT codePage = CP_ACP;
    int kept = 0;
    DWORD got;
    while (ReadFile(pipe, Relayed + kept, sizeof Relayed - kept, &got, nullptr) && got > 0) {
        const int end = kept + static_cast<int>(got);
        int start = 0;
        if (end >= 3 && Relayed[0] == utf8Mark[0] && Relayed[1] == utf8Mark[1] && Relayed[2] == utf8Mark[2]) {
            codePage = CP_UTF8;
            start = 3;
        }
        int whole = start;
        while (whole < end) {
            const int step = CharacterBytes(static_cast<BYTE>(Relayed[whole]), codePage);
            if (whole + step > end)
                break;
            whole += step;
        }
        WriteConsoleText(console, Relayed + start, whole - start, codePage);
        kept = end - whole;
        for (int i = 0; i < kept; ++i)
            Relayed[i] = Relayed[whole + i];
    }
}

// What the NT family and 95/98/Me differ in: the wide command line, which
// carries every character, or the ANSI one, which is all 9x has.
template <class TChar, class TStartupInfo> struct TCallsFor {
    using Char = TChar;
    using StartupInfo = TStartupInfo;
    TChar*(WINAPI* CommandLine)();
    DWORD(WINAPI* ModuleFileName)(HMODULE, TChar*, DWORD);
    BOOL(WINAPI* CreateProcess)(const TChar*, TChar*, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD,
                                LPVOID, const TChar*, TStartupInfo*, LPPROCESS_INFORMATION);
    TChar* Command;
};

// The longest command line Windows takes, the program's path in front.
constexpr DWORD CommandLineSize = 32768 + MAX_PATH + 16;
union {
    WCHAR Wide[CommandLineSize];
    char Ansi[CommandLineSize];
} Command;

char Reason[512];

[[noreturn]] void CouldNotRun(const char* what)
{
    const DWORD error = GetLastError();
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    WriteText(err, "Marquill could not run: ");
    WriteText(err, what);
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, Reason,
                        sizeof Reason, nullptr))
        lstrcpyA(Reason, "the system gave no reason.\r\n");
    WriteText(err, Reason);
    ExitProcess(ExitCouldNotRun);
}

// `"<own folder>\Marquill.exe"` and the raw tail of our own command line,
// quoting and all: the program name ends at its closing quote when it
// starts with one, else at the first blank. False when only blanks follow.
template <class TCalls> bool BuildCommand(const TCalls& calls)
{
    using Char = typename TCalls::Char;
    Char* command = calls.Command;
    command[0] = '"';
    const DWORD length = calls.ModuleFileName(nullptr, command + 1, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        CouldNotRun("its own path is too long: ");
    DWORD folder = length + 1;
    while (folder > 1 && command[folder - 1] != '\\')
        --folder;
    const char exeName[] = "Marquill.exe\"";
    for (const char* c = exeName; *c; ++c)
        command[folder++] = *c;

    const Char* tail = calls.CommandLine();
    if (*tail == '"') {
        for (++tail; *tail && *tail != '"'; ++tail) {
        }
        if (*tail)
            ++tail;
    } else {
        while (*tail && *tail != ' ' && *tail != '\t')
            ++tail;
    }
    bool arguments = false;
    for (; *tail && folder < CommandLineSize - 1; ++tail) {
        arguments = arguments || (*tail != ' ' && *tail != '\t');
        command[folder++] = *tail;
    }
    command[folder] = 0;
    return arguments;
}

// An inheritable copy of `handle` for Marquill, which gets the files and
// pipes as they are. A console goes to it as nothing: before Windows 8 a
// console handle works only in a process attached to that console, and
// Marquill attaches to ours itself.
HANDLE Inheritable(HANDLE handle)
{
    HANDLE copy = nullptr;
    if (handle && handle != INVALID_HANDLE_VALUE)
        DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS);
    return copy;
}

template <class TCalls> BOOL Start(const TCalls& calls, BOOL inherit, typename TCalls::StartupInfo& startup,
                                    PROCESS_INFORMATION& process)
{
    return calls.CreateProcess(nullptr, calls.Command, nullptr, nullptr, inherit, 0, nullptr, nullptr, &startup,
                               &process);
}

template <class TCalls> [[noreturn]] void Run(const TCalls& calls, bool relayToConsole)
{
    const bool arguments = BuildCommand(calls);
    typename TCalls::StartupInfo startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    // The window is the user's to close: start it and return.
    if (!arguments) {
        if (!Start(calls, FALSE, startup, process))
            CouldNotRun("Marquill.exe beside Marquill.com: ");
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        ExitProcess(0);
    }

    const DWORD which[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    HANDLE given[3];
    HANDLE console = nullptr, relayRead = nullptr, relayWrite = nullptr;
    for (int i = 0; i < 3; ++i) {
        const HANDLE own = GetStdHandle(which[i]);
        if (!IsConsole(own)) {
            given[i] = Inheritable(own);
            continue;
        }
        given[i] = nullptr;
        if (!relayToConsole || i == 0)
            continue;
        // One pipe for both streams keeps their lines in the order written.
        if (!console) {
            console = own;
            CreatePipe(&relayRead, &relayWrite, nullptr, 0);
        }
        given[i] = Inheritable(relayWrite);
    }
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = given[0];
    startup.hStdOutput = given[1];
    startup.hStdError = given[2];
    const BOOL started = Start(calls, TRUE, startup, process);
    for (HANDLE handle : given)
        if (handle)
            CloseHandle(handle);
    if (relayWrite)
        CloseHandle(relayWrite);
    if (!started)
        CouldNotRun("Marquill.exe beside Marquill.com: ");
    CloseHandle(process.hThread);
    if (relayRead)
        Relay(relayRead, console);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = ExitCouldNotRun;
    GetExitCodeProcess(process.hProcess, &code);
    ExitProcess(code);
}

}  // namespace

// The compiler may turn a zeroed structure into a call to memset, which
// no runtime provides here.
extern "C" void* memset(void* target, int value, size_t size)
{
    auto* bytes = static_cast<volatile unsigned char*>(target);
    while (size--)
        *bytes++ = static_cast<unsigned char>(value);
    return target;
}

extern "C" void CompanionMain()
{
    SetConsoleCtrlHandler(IgnoreBreak, TRUE);
    const DWORD version = GetVersion();
    const bool ntFamily = (version & 0x80000000) == 0;
    const DWORD major = version & 0xFF, minor = (version >> 8) & 0xFF;
    // AttachConsole came with Windows XP (5.1).
    const bool relay = major < 5 || (major == 5 && minor == 0);
    // Made here, not as constants: without the C runtime no static
    // constructor would fill in the imported functions' addresses.
    if (ntFamily)
        Run(TCallsFor<WCHAR, STARTUPINFOW>{GetCommandLineW, GetModuleFileNameW, CreateProcessW, Command.Wide}, relay);
    Run(TCallsFor<char, STARTUPINFOA>{GetCommandLineA, GetModuleFileNameA, CreateProcessA, Command.Ansi}, relay);
}
