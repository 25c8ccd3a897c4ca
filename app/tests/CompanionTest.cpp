// Marquill.com beside Marquill.exe, as a prompt and a script meet them:
// started by the test with pipes, by cmd.exe, and in a real console.
#include "cli/tests/CliTestKit.h"

#include "base/WinHandles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace clitest;

namespace {

std::string AppDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\') + 1) + "..\\";
}

// A folder of the test's own holding copies of the built programs under
// the names given, removed again with what was put there.
class TFolder {
public:
    using TCopies = std::vector<std::pair<std::string, std::string>>;
    explicit TFolder(const TCopies& copies)
        : Path(TempDir() + "\\marquill-companion-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++Made))
    {
        CreateDirectoryA(Path.c_str(), nullptr);
        for (const auto& copy : copies) {
            Files.push_back(Path + "\\" + copy.second);
            EXPECT_TRUE(CopyFileA((AppDir() + copy.first).c_str(), Files.back().c_str(), FALSE)) << copy.second;
        }
    }
    ~TFolder()
    {
        for (const std::string& file : Files)
            DeleteFileA(file.c_str());
        RemoveDirectoryA(Path.c_str());
    }
    TFolder(const TFolder&) = delete;
    TFolder& operator=(const TFolder&) = delete;

    const std::string Path;

private:
    static inline int Made = 0;
    std::vector<std::string> Files;
};

struct TEnded {
    DWORD Code = 12345;
    std::string Out, Err;
};

void Drain(HANDLE pipe, std::string& into)
{
    DWORD available = 0;
    while (pipe && PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        std::string chunk(available, '\0');
        DWORD got = 0;
        if (!ReadFile(pipe, &chunk[0], available, &got, nullptr) || got == 0)
            return;
        into.append(chunk, 0, got);
    }
}

// A started program with its standard input, output and error on pipes,
// ended when the test is done with it.
class TChild {
public:
    TChild(const std::wstring& command, const std::string& folder = "")
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE childEnd[3] = {};
        HANDLE ours[3] = {};
        for (int i = 0; i < 3; ++i) {
            HANDLE read = nullptr, write = nullptr;
            EXPECT_TRUE(CreatePipe(&read, &write, &inherit, 0));
            childEnd[i] = i == 0 ? read : write;
            ours[i] = i == 0 ? write : read;
            SetHandleInformation(ours[i], HANDLE_FLAG_INHERIT, 0);
        }
        Input.Reset(ours[0]);
        Output.Reset(ours[1]);
        Error.Reset(ours[2]);
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childEnd[0];
        startup.hStdOutput = childEnd[1];
        startup.hStdError = childEnd[2];
        PROCESS_INFORMATION info = {};
        std::wstring line = command;
        const std::wstring wideFolder(folder.begin(), folder.end());
        const BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                            folder.empty() ? nullptr : wideFolder.c_str(), &startup, &info);
        for (HANDLE handle : childEnd)
            CloseHandle(handle);
        EXPECT_TRUE(started) << GetLastError();
        if (started) {
            Process.Reset(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    ~TChild()
    {
        if (Process.Valid() && WaitForSingleObject(Process.Get(), 0) != WAIT_OBJECT_0)
            TerminateProcess(Process.Get(), 99);
    }
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;

    // Collects the output until `done` says so or the program ends; false
    // when neither happened within `timeoutMs`.
    bool Collect(const std::function<bool()>& done, DWORD timeoutMs = 20000)
    {
        for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;) {
            const bool ended = !Process.Valid() || WaitForSingleObject(Process.Get(), 20) == WAIT_OBJECT_0;
            Drain(Output.Get(), Result.Out);
            Drain(Error.Get(), Result.Err);
            if (ended || done())
                return true;
        }
        return false;
    }

    TEnded Wait()
    {
        EXPECT_TRUE(Collect([] { return false; })) << "did not end";
        if (Process.Valid())
            GetExitCodeProcess(Process.Get(), &Result.Code);
        return Result;
    }

    void Send(const std::string& line)
    {
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(Input.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr));
    }

    TEnded Result;

private:
    THandle Process, Input, Output, Error;
};

std::wstring Wide(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

TEnded RunProgram(const std::string& program, const std::wstring& arguments)
{
    return TChild(L"\"" + Wide(program) + L"\"" + arguments).Wait();
}

class Companion : public ::testing::Test {
protected:
    void SetUp() override { PrepareStore({{"Manufacturer", "Contoso"}, {"Model", "X 1"}}); }
    void TearDown() override { ClearStore(); }
};

}  // namespace

// What Marquill.exe makes of its arguments shows in its answer: through the
// companion it must be what it is started directly, blanks, quotes and
// characters the ANSI code page lacks included (the wide command line goes
// on: an ANSI one would hand over "??" for the Chinese name, which the
// answer would show).
TEST_F(Companion, PassesTheCommandLineTailAsItIs)
{
    const struct {
        std::wstring tail;
        std::string out;  // "" where only the program started directly says
    } cases[] = {
        {L" /test \"Model=X 1\"", "compliant\r\n"},
        {L"\t/test   \"Model=say \\\"hi\\\"  now\"",
         "Model: \"X 1\" -> \"say \\\"hi\\\"  now\"\r\ndrift in 1 field\r\n"},
        {L" /test \"Model=M\u00fcller \u2013 S\u00f6hne\"", ""},
        {L" /test Model=\u4e2d\u6587", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "expected " << c.out);
        const TEnded direct = RunProgram(AppDir() + "Marquill.exe", c.tail);
        const TEnded companion = RunProgram(AppDir() + "Marquill.com", c.tail);
        EXPECT_EQ(companion.Code, direct.Code);
        EXPECT_EQ(companion.Out, direct.Out);
        EXPECT_EQ(companion.Err, direct.Err);
        EXPECT_EQ(direct.Out.find('?'), std::string::npos) << direct.Out;
        if (!c.out.empty()) {
            EXPECT_EQ(companion.Out, c.out);
        }
    }
}

TEST_F(Companion, MissingMarquillExeExitsThreeSayingWhy)
{
    const TFolder folder(TFolder::TCopies{{"Marquill.com", "Marquill.com"}});
    const TEnded run = RunProgram(folder.Path + "\\Marquill.com", L" /show");
    EXPECT_EQ(run.Code, 3u);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err.rfind("Marquill could not run: Marquill.exe beside Marquill.com: ", 0), 0u) << run.Err;
}

// cmd.exe tries .COM before .EXE: Probe.com, a companion with no
// Marquill.exe beside it, answers 3; Probe.exe (Marquill.exe) would answer
// the usage with 0.
TEST_F(Companion, CmdChoosesTheComBeforeTheExe)
{
    const TFolder folder({{"Marquill.com", "Probe.com"}, {"Marquill.exe", "Probe.exe"}});
    const TEnded chosen = TChild(L"cmd.exe /c Probe /?", folder.Path).Wait();
    EXPECT_EQ(chosen.Code, 3u);
    EXPECT_NE(chosen.Err.find("Marquill could not run"), std::string::npos) << chosen.Err;
    const TEnded exe = TChild(L"cmd.exe /c Probe.exe /?", folder.Path).Wait();
    EXPECT_EQ(exe.Code, 0u);
    EXPECT_NE(exe.Out.find("/show"), std::string::npos);
}

namespace {

// An interactive cmd.exe in `folder`, fed one line after each prompt as a
// user types: what each line printed before the next prompt. Whatever
// arrives after a prompt counts for the line that follows it.
std::vector<std::string> AtThePrompt(const std::string& folder, const std::vector<std::string>& lines)
{
    TChild cmd(L"cmd.exe", folder);
    const std::string prompt = "\r\n" + folder + ">";
    std::string& out = cmd.Result.Out;
    std::vector<std::string> printed;
    for (size_t i = 0; i <= lines.size(); ++i) {
        const bool prompted = cmd.Collect([&] { return out.find(prompt) != std::string::npos; }, 10000);
        const size_t at = prompted ? out.find(prompt) : out.size();
        std::string answer = out.substr(0, at) + cmd.Result.Err + (prompted ? "" : " (no prompt)");
        out.erase(0, prompted ? at + prompt.size() : at);
        cmd.Result.Err.clear();
        while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r'))
            answer.pop_back();
        if (i > 0)
            printed.push_back(answer);
        if (i < lines.size())
            cmd.Send(lines[i] + "\r\n");
    }
    cmd.Send("exit\r\n");
    return printed;
}

}  // namespace

// Typed at a prompt, Marquill answers in place before the next prompt and
// sets %errorlevel%. With Marquill.exe alone, a window program that the
// prompt does not wait for, the same lines go wrong.
TEST_F(Companion, PromptWaitsAndGetsTheExitCode)
{
    const std::vector<std::string> lines = {
        "Marquill /test \"Model=X 1\"", "echo [%errorlevel%]", "Marquill /test Model=Y",
        "echo [%errorlevel%]",         "Marquill /test /bogus",       "echo [%errorlevel%]",
        "Marquill /show",
    };
    std::string shown = "Manufacturer=Contoso\r\nModel=X 1\r\n";
    for (const char* name : {"SupportHours", "SupportPhone", "SupportURL", "Logo", "SupportProvider", "SupportAppURL",
                             "TradeInURL", "RecycleURL"})
        shown += std::string(name) + "\r\n";
    shown.resize(shown.size() - 2);
    const std::vector<std::string> expected = {
        "compliant",
        "[0]",
        "Model: \"X 1\" -> \"Y\"\r\ndrift in 1 field",
        "[1]",
        "\"/bogus\" is no option of /test: give fields as Name=Value, @file or /file:path.\r\n"
        "Type Marquill /? for the commands and the fields.",
        "[2]",
        shown,
    };
    const TFolder both({{"Marquill.com", "Marquill.com"}, {"Marquill.exe", "Marquill.exe"}});
    EXPECT_EQ(AtThePrompt(both.Path, lines), expected);
    const TFolder exeAlone(TFolder::TCopies{{"Marquill.exe", "Marquill.exe"}});
    EXPECT_NE(AtThePrompt(exeAlone.Path, lines), expected);
}

// Without arguments the companion starts the window and returns while it
// is open: the prompt is free again at once.
TEST_F(Companion, WithoutArgumentsReturnsWhileTheWindowIsOpen)
{
    const TEnded run = RunProgram(AppDir() + "Marquill.com", L"");
    EXPECT_EQ(run.Code, 0u);
    HWND form = nullptr;
    DWORD process = 0;
    ASSERT_TRUE(WaitFor(
        [&] {
            form = FindWindowA("TAppFrm", nullptr);
            return form && IsWindowVisible(form) && GetWindowThreadProcessId(form, &process) &&
                   process != GetCurrentProcessId();
        },
        15000));
    THandle program(OpenProcess(SYNCHRONIZE, FALSE, process));
    PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(program.Get(), 10000), WAIT_OBJECT_0);
}

namespace {

// The console's screen as text: its rows, blanks at their ends dropped,
// empty rows at the end too.
std::wstring ScreenText(HANDLE screen)
{
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    EXPECT_TRUE(GetConsoleScreenBufferInfo(screen, &info));
    std::wstring text;
    for (SHORT row = 0; row < info.dwSize.Y; ++row) {
        std::wstring line(info.dwSize.X, L'\xdddd');
        DWORD read = 0;
        EXPECT_TRUE(ReadConsoleOutputCharacterW(screen, &line[0], info.dwSize.X, COORD{0, row}, &read));
        line.resize(read);
        line.erase(line.find_last_not_of(L' ') + 1);
        text += line + L"\n";
    }
    text.erase(text.find_last_not_of(L'\n') + 1);
    return text;
}

void ClearScreen(HANDLE screen)
{
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    GetConsoleScreenBufferInfo(screen, &info);
    DWORD done = 0;
    FillConsoleOutputCharacterW(screen, L' ', info.dwSize.X * info.dwSize.Y, COORD{0, 0}, &done);
    SetConsoleCursorPosition(screen, COORD{0, 0});
}

}  // namespace

// In a real console the text is on the screen, exact, once the companion
// returns: from XP on Marquill.exe writes there itself, attached to the
// companion's console, as wide text; before XP (the companion seeing
// Windows 2000) the companion relays /show's UTF-8 lines. A redirected
// error output goes to its file only.
TEST_F(Companion, ShowsInPlaceInARealConsole)
{
    // Characters no one code page holds: the console shows them as they are.
    SetWideValue("Manufacturer", L"Z\u00fcrich \u4e2d\u6587 AG");
    std::wstring shown = L"Manufacturer=Z\u00fcrich \u4e2d\u6587 AG\nModel=X 1";
    for (const wchar_t* name : {L"SupportHours", L"SupportPhone", L"SupportURL", L"Logo", L"SupportProvider",
                                L"SupportAppURL", L"TradeInURL", L"RecycleURL"})
        shown += std::wstring(L"\n") + name;
    const std::string usage = "\"/format:x\" names no format of /show";
    const TFolder folder(
        {{"Marquill.com", "Marquill.com"}, {"Marquill.com", "MarquillOld.com"}, {"Marquill.exe", "Marquill.exe"}});
    const std::string errPath = folder.Path + "\\err.txt";
    const struct {
        const char* program;
        const wchar_t* tail;
        bool errToFile;
        std::wstring screen;
        std::string errFile;
    } cases[] = {
        {"Marquill.com", L" /show", false, shown, ""},
        {"Marquill.com", L" /show", true, shown, ""},
        {"Marquill.com", L" /show /format:x", true, L"", usage},
        {"MarquillOld.com", L" /show", false, shown, ""},
        {"MarquillOld.com", L" /show /format:x", true, L"", usage},
    };
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    {
        const THandle screen(CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         &inherit, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(screen.Valid());
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.program << " " << c.errToFile << " " << c.errFile);
            ClearScreen(screen.Get());
            THandle errFile(c.errToFile ? CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                                      CREATE_ALWAYS, 0, nullptr)
                                        : nullptr);
            STARTUPINFOW startup = {};
            startup.cb = sizeof startup;
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = screen.Get();
            startup.hStdError = c.errToFile ? errFile.Get() : screen.Get();
            PROCESS_INFORMATION info = {};
            std::wstring command = L"\"" + Wide(folder.Path + "\\" + c.program) + L"\"" + c.tail;
            ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                       &info));
            const THandle process(info.hProcess), thread(info.hThread);
            EXPECT_EQ(WaitForSingleObject(process.Get(), 20000), WAIT_OBJECT_0);
            errFile.Reset();
            EXPECT_EQ(ScreenText(screen.Get()), c.screen);
            std::string err;
            if (c.errToFile)
                ReadFileInto(errPath, err);
            EXPECT_EQ(err.substr(0, c.errFile.size()), c.errFile);
            EXPECT_EQ(err.empty(), c.errFile.empty()) << err;
        }
    }
    FreeConsole();
    DeleteFileA(errPath.c_str());
}
