// Marquill.exe itself started with arguments as a script starts it, its
// standard output and error redirected to pipes. Wine sets the Windows
// version per executable name, so each mode runs a copy of the program named
// for it, beside the real one (where the catalogs are).
#include "cli/tests/CliTestKit.h"

#include "base/Format.h"
#include "base/WinHandles.h"
#include "i18n/Translate.h"
#include "i18n/tests/MoBuilder.h"
#include "oeminfo/tests/StoreTestKit.h"
#include "tests/support/TestSupport.h"
#include "picture/Picture.h"

#include <gtest/gtest.h>

using namespace clitest;

namespace {

std::string ProgramDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\') + 1) + "..\\..\\app\\";
}

struct TChild {
    bool Ended = false;
    DWORD Code = 12345;
    std::string Out, Err;
};

// Takes what has arrived in `pipe` without waiting for more.
void Drain(HANDLE pipe, std::string& into)
{
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        std::string chunk(available, '\0');
        DWORD got = 0;
        if (!ReadFile(pipe, &chunk[0], available, &got, nullptr) || got == 0)
            return;
        into.append(chunk, 0, got);
    }
}

// Starts `exe` with `arguments` (through the wide function, so that the
// program sees them exactly) and its output handles on pipes, collects both
// until it ends (never blocking on a pipe that something else may still
// hold open) and gives its exit code. With `outReaderGone` the standard
// output's pipe has no reader left.
TChild RunProgram(const std::string& exe, const std::wstring& arguments, bool outReaderGone = false)
{
    TChild child;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read[2] = {}, write[2] = {};
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(CreatePipe(&read[i], &write[i], &inherit, 0));
        SetHandleInformation(read[i], HANDLE_FLAG_INHERIT, 0);
    }
    THandle outReader(read[0]), errReader(read[1]);
    if (outReaderGone) {
        outReader.Reset();
        read[0] = nullptr;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write[0];
    startup.hStdError = write[1];
    PROCESS_INFORMATION info = {};
    const std::wstring wideExe(exe.begin(), exe.end());
    std::wstring command = L"\"" + wideExe + L"\" " + arguments;
    const BOOL started = CreateProcessW(wideExe.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &info);
    CloseHandle(write[0]);
    CloseHandle(write[1]);
    if (!started) {
        ADD_FAILURE() << exe << " did not start: " << GetLastError();
        return child;
    }
    THandle process(info.hProcess), thread(info.hThread);
    for (const DWORD start = GetTickCount(); !child.Ended && GetTickCount() - start < 20000;) {
        child.Ended = WaitForSingleObject(process.Get(), 20) == WAIT_OBJECT_0;
        if (read[0])
            Drain(read[0], child.Out);
        Drain(read[1], child.Err);
    }
    if (!child.Ended)
        TerminateProcess(process.Get(), 99);
    GetExitCodeProcess(process.Get(), &child.Code);
    return child;
}

TChild RunProgram(const std::string& exe, const std::string& asciiArguments)
{
    return RunProgram(exe, std::wstring(asciiArguments.begin(), asciiArguments.end()));
}

// The error box's text for a picture that fails, in the language `code`.
std::string PictureErrorIn(const char* code, const std::string& path)
{
    ResetTranslation(code, ProgramDir() + "locale\\");
    const std::string message = WithFullStop(ErrorOf([&] { TPicture().LoadFromFile(path); }));
    ResetTranslation("C", "C:\\marquill-no-catalogs\\");
    return message;
}

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        Exe = ProgramDir() + (Legacy() ? "MarquillCli-winxp.exe" : "MarquillCli-win10.exe");
        ASSERT_TRUE(CopyFileA((ProgramDir() + "Marquill.exe").c_str(), Exe.c_str(), FALSE)) << GetLastError();
    }
    void TearDown() override
    {
        DeleteFileA(Exe.c_str());
        ClearStore();
    }

    std::string Exe;
};

TEST_F(Program, WritesToRedirectedHandlesAndEndsWithItsExitCode)
{
    const std::string maker = "M\xFCller & S\xF6hne";
    PrepareStore({{"Manufacturer", maker}, {"Model", "X"}});
    std::string shown = "Manufacturer=" + maker + "\r\nModel=X\r\n";
    if (Legacy()) {
        for (int n = 1; n <= 10; ++n)
            shown += "Line" + std::to_string(n) + "=\r\n";
    } else {
        shown += "SupportHours\r\nSupportPhone\r\nSupportURL\r\n";
    }
    shown += Legacy() ? "Logo=\r\n" : "Logo\r\nSupportProvider\r\nSupportAppURL\r\n";
    const std::string germanError = PictureErrorIn("de_DE", "C:\\logo.png");
    ASSERT_NE(germanError, PictureErrorIn("C", "C:\\logo.png")) << "no German catalog to tell the languages apart";

    const struct {
        const char* arguments;
        const char* lang;
        DWORD code;
        std::string out, err;
    } cases[] = {
        {"/show", "C", 0, shown, ""},
        {"-Frobnicate", "C", 2, "",
         "Unknown command \"-Frobnicate\".\r\nType Marquill /? for the commands and the fields.\r\n"},
        {"/test \"Model=Child 2\"", "C", 1, "Model: \"X\" -> \"Child 2\"\r\ndrift in 1 field\r\n", ""},
        {"/apply \"Model=Child 2\"", "C", 0, "Model: \"X\" -> \"Child 2\"\r\nchanged 1 field\r\n", ""},
        // A detection script: exit 0, standard output, no error output.
        {"/test \"Model=Child 2\"", "de_DE.UTF-8", 0, "compliant\r\n", ""},
        {"/apply Logo=C:\\logo.png", "de_DE.UTF-8", 1, "", germanError + "\r\n"},
        {"/test Logo=C:\\logo.png", "de_DE.UTF-8", 1, germanError + "\r\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        SetEnvironmentVariableA("LANG", c.lang);  // the child inherits it
        const TChild child = RunProgram(Exe, c.arguments);
        EXPECT_TRUE(child.Ended);
        EXPECT_EQ(child.Code, c.code);
        EXPECT_EQ(child.Out, c.out);
        EXPECT_EQ(child.Err, c.err);
    }
    SetEnvironmentVariableA("LANG", "C");
    EXPECT_EQ(Outside("Model"), "Child 2");
}

// A catalog that does not declare UTF-8 is reported on the error output, as
// the window reports it in a box: a box here would hold a deployment script
// until someone clicked it.
TEST_F(Program, ReportsARejectedCatalogWithoutABox)
{
    const std::string dir = ProgramDir() + "locale\\xx\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "LC_MESSAGES").c_str(), nullptr);
    const std::string catalog = dir + "LC_MESSAGES\\default.mo";
    ASSERT_TRUE(WriteWholeFile(catalog, CatalogWithHeader("Content-Type: text/plain; charset=ISO-8859-1\n", "x")));
    SetEnvironmentVariableA("LANG", "xx");
    const TChild child = RunProgram(Exe, "/apply Logo=C:\\logo.png");
    SetEnvironmentVariableA("LANG", "C");
    DeleteFileA(catalog.c_str());
    RemoveDirectoryA((dir + "LC_MESSAGES").c_str());
    RemoveDirectoryA(dir.c_str());

    ASSERT_TRUE(child.Ended) << "the program waited, as at a box";
    EXPECT_EQ(child.Code, 1u);
    EXPECT_EQ(child.Err.rfind("Localization problem: The translation for the language code xx (in ", 0), 0u) << child.Err;
    const std::string tail = "Translations are turned off.\r\n" + PictureErrorIn("C", "C:\\logo.png") + "\r\n";
    EXPECT_EQ(child.Err.substr(child.Err.size() - std::min(child.Err.size(), tail.size())), tail);
}

// Arguments reach the program as given: GetCommandLineA's best-fit reading
// would make a fullwidth quote a real one (one argument becoming two, the
// second setting the logo) and a fullwidth solidus a command's slash.
TEST_F(Program, ArgumentsThatTheCodePageCannotHoldAreRefused)
{
    PrepareStore({{"Manufacturer", "M"}});
    const std::string before = Snapshot();
    const struct {
        std::wstring arguments;
        std::string err;
    } cases[] = {
        {L"/apply \"Manufacturer=x\xFF02 \xFF02Logo=C:\\inj.bmp\"", "Argument 2 holds characters"},
        {L"\xFF0F" L"apply Model=x", "Argument 1 holds characters"},
        {L"/apply Model=\x0416\x0443\x043A", "Argument 2 holds characters"},
    };
    for (const auto& c : cases) {
        const TChild child = RunProgram(Exe, c.arguments);
        EXPECT_EQ(child.Code, 2u);
        EXPECT_EQ(child.Err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(Snapshot(), before);
    }
}

// A backup cut short is a failure, not a success with an empty file.
TEST_F(Program, ShowIntoAPipeWithoutReaderFails)
{
    PrepareStore({{"Manufacturer", "M"}});
    const TChild child = RunProgram(Exe, L"/show", true);
    EXPECT_EQ(child.Code, 1u);
    EXPECT_EQ(child.Err, "The OEM information could not be written to the output whole.\r\n");
}

// A startup script and a scheduled task may run at once: the runs take
// turns, so the store ends with one whole record, never a mix.
TEST_F(Program, ParallelAppliesEndWithOneWholeRecord)
{
    std::vector<std::string> names = {"Manufacturer", "Model"};
    for (int n = 1; Legacy() && n <= 10; ++n)
        names.push_back("Line" + std::to_string(n));
    if (!Legacy())
        names.insert(names.end(), {"SupportHours", "SupportPhone", "SupportURL", "SupportProvider", "SupportAppURL"});
    const int runs = 10;
    for (int trial = 0; trial < 3; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        ClearStore();
        std::vector<THandle> processes;
        std::vector<HANDLE> waits;
        for (int i = 0; i < runs; ++i) {
            std::string command = "\"" + Exe + "\" /apply";
            for (const std::string& name : names)
                command += " \"" + name + (name == "SupportURL" ? "(asis)" : "") + "=run " + std::to_string(i) + " " +
                           name + "\"";
            STARTUPINFOA startup = {};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION info = {};
            ASSERT_TRUE(CreateProcessA(Exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                       &startup, &info));
            CloseHandle(info.hThread);
            processes.emplace_back(info.hProcess);
            waits.push_back(info.hProcess);
        }
        ASSERT_EQ(WaitForMultipleObjects(runs, waits.data(), TRUE, 60000), WAIT_OBJECT_0);
        for (const THandle& process : processes) {
            DWORD code = 99;
            GetExitCodeProcess(process.Get(), &code);
            EXPECT_EQ(code, 0u);
        }
        const std::string maker = Outside("Manufacturer");
        const std::string run = maker.substr(0, maker.find(' ', 4));
        int mixed = 0;
        for (const std::string& name : names)
            mixed += Outside(name) != run + " " + name;
        EXPECT_EQ(mixed, 0) << "fields not from " << run;
    }
}

}  // namespace
