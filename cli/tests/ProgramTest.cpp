// Marquill.exe itself started with arguments as a script starts it, its
// standard output and error redirected to pipes. Wine sets the Windows
// version per executable name, so each mode runs a copy of the program named
// for it, beside the real one (where the catalogs are).
#include "cli/tests/CliTestKit.h"

#include "base/Format.h"
#include "base/WinHandles.h"
#include "i18n/Translate.h"
#include "i18n/tests/MoBuilder.h"
#include "oeminfo/OEMFields.h"
#include "oeminfo/tests/StoreTestKit.h"
#include "tests/support/TestSupport.h"
#include "picture/Picture.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <msxml2.h>
#include <nlohmann/json.hpp>

using namespace clitest;
using namespace std::string_literals;
using nlohmann::ordered_json;

namespace {

// The fields the URL rule holds to, which take "(asis)" for a plain text:
// those the README names, not the field table under test.
bool IsWebAddress(const std::string& name)
{
    for (const char* address : {"SupportURL", "TradeInURL", "RecycleURL"})
        if (name == address)
            return true;
    return false;
}

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
    // Not all ASCII: UTF-8 with a byte-order mark.
    std::string shown = "\xEF\xBB\xBFManufacturer=M\xC3\xBCller & S\xC3\xB6hne\r\nModel=X\r\n";
    if (Legacy()) {
        for (int n = 1; n <= 10; ++n)
            shown += "Line" + std::to_string(n) + "=\r\n";
    } else {
        shown += "SupportHours\r\nSupportPhone\r\nSupportURL\r\n";
    }
    shown += Legacy() ? "Logo=\r\n" : "Logo\r\nSupportProvider\r\nSupportAppURL\r\nTradeInURL\r\nRecycleURL\r\n";
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
// second setting the logo) and a fullwidth solidus a command's slash. The
// wide command line keeps them text: registry mode stores it exactly, legacy
// mode refuses what its code page lacks, naming the field.
TEST_F(Program, ArgumentsCarryAnyTextAndLookAlikesStayText)
{
    const std::wstring injected = L"x\xFF02 \xFF02Logo=C:\\inj.bmp", cyrillic = L"\x0416\x0443\x043A";
    const struct {
        std::wstring arguments;
        std::wstring manufacturer;  // stored in registry mode
        std::string err;            // legacy mode's, or both modes'
    } cases[] = {
        {L"/apply \"Manufacturer=" + injected + L"\"", injected, "The value of \"Manufacturer\" (argument "},
        {L"/apply Manufacturer=" + cyrillic, cyrillic, "The value of \"Manufacturer\" (argument "},
        {L"\xFF0F" L"apply Manufacturer=x", L"", "Unknown command \""},
    };
    for (const auto& c : cases) {
        PrepareStore({{"Manufacturer", "M"}});
        const std::string before = Snapshot();
        const TChild child = RunProgram(Exe, c.arguments);
        if (!Legacy() && !c.manufacturer.empty()) {
            EXPECT_EQ(child.Code, 0u) << child.Err;
            EXPECT_EQ(WideValue("Manufacturer"), c.manufacturer);
            EXPECT_EQ(Outside("Logo"), "<missing>");
            continue;
        }
        EXPECT_EQ(child.Code, 2u);
        EXPECT_EQ(child.Err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(Snapshot(), before);
    }
}

// `/show > file` in cmd.exe keeps the bytes, so the file puts back any text.
TEST_F(Program, ShowRedirectedByCmdRestoresAnyText)
{
    if (Legacy())
        GTEST_SKIP() << "legacy mode keeps the ANSI code page's texts";
    SetRawKey({{"Manufacturer", {REG_SZ, Utf16(u"\u8054\u60F3 \U0001F600\0"s)}},
               {"Model", {REG_EXPAND_SZ, Utf16(u"\u00A9 \u00C2\u00A9\0"s)}}});
    const TRawValues before = RawKey();
    const std::string file = TempDir() + "\\marquill-cmd-backup.txt";
    char cmd[MAX_PATH] = {};
    GetSystemDirectoryA(cmd, MAX_PATH);
    const TChild show = RunProgram(std::string(cmd) + "\\cmd.exe", "/c " + Exe + " /show > " + file);
    EXPECT_EQ(show.Code, 0u) << show.Err;
    ClearStore();
    const TChild apply = RunProgram(Exe, "/apply \"@" + file + "\"");
    EXPECT_EQ(apply.Code, 0u) << apply.Err;
    DeleteFileA(file.c_str());
    EXPECT_EQ(RawKey(), before);
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
        names.insert(names.end(), {"SupportHours", "SupportPhone", "SupportURL", "SupportProvider", "SupportAppURL",
                                        "TradeInURL", "RecycleURL"});
    const int runs = 10;
    for (int trial = 0; trial < 3; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        ClearStore();
        std::vector<THandle> processes;
        std::vector<HANDLE> waits;
        for (int i = 0; i < runs; ++i) {
            std::string command = "\"" + Exe + "\" /apply";
            for (const std::string& name : names)
                command += " \"" + name + (IsWebAddress(name) ? "(asis)" : "") + "=run " + std::to_string(i) + " " +
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

// --- /show's machine-readable forms, each read back by what reads it -------

std::wstring FromCodePage(const std::string& text, UINT codePage)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    return wide;
}

std::string ToCodePage(const std::wstring& wide, UINT codePage)
{
    std::string text(wide.size() * 4, '\0');
    text.resize(WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0],
                                    static_cast<int>(text.size()), nullptr, nullptr));
    return text;
}

std::wstring WideOf(std::string utf16)
{
    return std::wstring(reinterpret_cast<const wchar_t*>(utf16.data()), utf16.size() / 2);
}

std::vector<std::string> FieldNames()
{
    std::vector<std::string> names;
    for (const TOEMField* field : OEMFieldsIn(Legacy() ? TStoreMode::Legacy : TStoreMode::Registry))
        names.push_back(field->Name);
    return names;
}

ordered_json ParseJson(const std::string& text)
{
    ordered_json json = ordered_json::parse(text, nullptr, false);
    EXPECT_FALSE(json.is_discarded()) << text;
    return json;
}

// A registry value as the JSON form must give it.
ordered_json ExpectedJson(const TRawValues& key, const std::string& name)
{
    const auto value = key.find(name);
    if (value == key.end())
        return {{"exists", false}, {"type", nullptr}, {"value", nullptr}, {"nulTerminated", nullptr}};
    std::wstring text = WideOf(value->second.Bytes);
    const bool nulTerminated = !text.empty() && text.back() == L'\0';
    if (nulTerminated)
        text.pop_back();
    return {{"exists", true},
            {"type", value->second.Type == REG_SZ ? "REG_SZ" : "REG_EXPAND_SZ"},
            {"value", ToCodePage(text, CP_UTF8)},
            {"nulTerminated", nulTerminated}};
}

// Every field as the store holds it, in /show's order; in registry mode
// with its type and whether it ends in a NUL, the values only WOW6432Node
// holds (which Windows' 64-bit reader ignores), and the logo as a file that
// exists and loads.
TEST_F(Program, JsonShowsTheStoreExactly)
{
    char expanded[MAX_PATH] = {};
    ExpandEnvironmentStringsA("%TEMP%\\marquill-json-logo.bmp", expanded, MAX_PATH);
    const std::string logo = Legacy() ? SystemDir() + "\\oemlogo.bmp" : expanded;
    const std::string bmp = MakeBmp24(2, 1, [](int x, int) { return RGB(x * 200, 0, 9); });
    ordered_json fields, notes = ordered_json::object(), bit32 = ordered_json::object();
    if (Legacy()) {
        // A UTF-16 oeminfo.ini holds what the ANSI code page lacks.
        ASSERT_TRUE(WriteWholeFile(IniPath(), Utf16(u"\xFEFF[General]\r\nManufacturer=\u0416\u0443\u043A \u8054\u60F3\r\n"
                                                    u"[Support Information]\r\nLine1=a \"b\" C:\\x\\\r\nLine2=\r\n")));
        ASSERT_TRUE(WriteWholeFile(LogoPath(), bmp));
        const ordered_json absent = {{"exists", false}, {"type", nullptr}, {"value", nullptr}, {"nulTerminated", nullptr}};
        auto text = [](const std::string& value) {
            return ordered_json{{"exists", true}, {"type", nullptr}, {"value", value}, {"nulTerminated", nullptr}};
        };
        fields["Manufacturer"] = text("\xD0\x96\xD1\x83\xD0\xBA \xE8\x81\x94\xE6\x83\xB3");
        fields["Model"] = absent;
        fields["Line1"] = text("a \"b\" C:\\x\\");
        fields["Line2"] = text("");
        for (int n = 3; n <= 10; ++n)
            fields["Line" + std::to_string(n)] = absent;
        fields["Logo"] = text(logo);
    } else {
        ASSERT_TRUE(WriteWholeFile(logo, bmp));
        SetRawKey({{"Manufacturer", {REG_SZ, Utf16(u"Acme \"Q\" C:\\x\\\0"s)}},
                   {"Model", {REG_SZ, Utf16(u"tab\there\r\nline\x01 \x7F\0"s)}},
                   {"SupportPhone", {REG_SZ, Utf16(u"\u8054\u60F3 \u0416\u0443\u043A \U0001F600\0"s)}},
                   {"SupportURL", {REG_SZ, Utf16(u"\0"s)}},
                   {"Logo", {REG_EXPAND_SZ, Utf16(u"%TEMP%\\marquill-json-logo.bmp\0"s)}},
                   {"SupportProvider", {REG_SZ, Utf16(u"no final NUL"s)}},
                   {"SupportAppURL", {REG_BINARY, "\x00\xFF"s}},
                   {"RecycleURL", {REG_SZ, Utf16(u"nul\0inside\0"s)}}});
        // A 32-bit tool's values: two the 64-bit view lacks (one no text),
        // one it holds alike, one with other bytes, one with another type.
        SetRawKey({{"SupportHours", {REG_SZ, Utf16(u"from a 32-bit tool\0"s)}},
                   {"Manufacturer", {REG_SZ, Utf16(u"Acme \"Q\" C:\\x\\\0"s)}},
                   {"Model", {REG_SZ, Utf16(u"written by a 32-bit tool\0"s)}},
                   {"Logo", {REG_SZ, Utf16(u"%TEMP%\\marquill-json-logo.bmp\0"s)}},
                   {"TradeInURL", {REG_DWORD, "\x01\0\0\0"s}}},
                  true);
        const TRawValues stored = RawKey();
        for (const std::string& name : FieldNames())
            fields[name] = ExpectedJson(stored, name);
        auto bytes = [](const char* type, const char* data) {
            return ordered_json{
                {"exists", true}, {"type", type}, {"value", nullptr}, {"nulTerminated", nullptr}, {"data", data}};
        };
        fields["SupportAppURL"] = bytes("REG_BINARY", "00FF");
        notes["SupportHours"] = ExpectedJson(RawKey(true), "SupportHours");
        notes["TradeInURL"] = bytes("REG_DWORD", "01000000");
        for (const char* name : {"Manufacturer", "Model", "SupportHours", "Logo"})
            bit32[name] = ExpectedJson(RawKey(true), name);
        bit32["TradeInURL"] = notes["TradeInURL"];
        const char* const in64[][2] = {{"Manufacturer", "same"},
                                       {"Model", "otherBytes"},
                                       {"SupportHours", "absent"},
                                       {"Logo", "otherType"},
                                       {"TradeInURL", "absent"}};
        for (const auto& field : in64)
            bit32[field[0]]["in64"] = field[1];
    }
    const TChild child = RunProgram(Exe, "/show /format:json");
    if (!Legacy()) {
        SetRawKey({}, true);
        DeleteFileA(logo.c_str());
    }
    ASSERT_EQ(child.Code, 0u) << child.Err;
    EXPECT_EQ(child.Err, "");
    const ordered_json json = ParseJson(child.Out);
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(GetComputerNameW(computer, &size));
    EXPECT_EQ(json["schema"], 2);
    EXPECT_EQ(json["computer"], ToCodePage(std::wstring(computer, size), CP_UTF8));
    EXPECT_EQ(json["store"], Legacy() ? "legacy" : "registry");
    EXPECT_EQ(json["fields"], fields);
    EXPECT_EQ(json["wow6432NodeOnly"], notes);
    EXPECT_EQ(json["wow6432Node"], bit32);
    const ordered_json logoFile = {{"path", logo}, {"exists", true}, {"loads", true}};
    EXPECT_EQ(json["logo"], logoFile);
}

// What /apply took, the JSON form gives back; its values, as a field file,
// make /apply put back the same store.
TEST_F(Program, JsonGivesWhatApplyTookAndApplyTakesItBack)
{
    TFields given = {{"Manufacturer", "M\xFCller \"&\" S\xF6hne"}, {"Model", "C:\\dir\\ x\\"}};
    if (Legacy())
        given.insert(given.end(), {{"Line1", "a=b"}, {"Line2", "\\t"}});
    else
        given.insert(given.end(), {{"SupportURL", ""}, {"TradeInURL", "https://t.example/?a=b&c=%41"}});
    std::string lines;
    for (const auto& field : given)
        lines += field.first + "=" + field.second + "\r\n";
    const std::string file = TempDir() + "\\marquill-json-fields.txt";
    ClearStore();
    ASSERT_TRUE(WriteWholeFile(file, lines));
    ASSERT_EQ(RunProgram(Exe, "/apply @" + file).Code, 0u);
    const std::string applied = Snapshot();

    const TChild child = RunProgram(Exe, "/show /format:json");
    ASSERT_EQ(child.Code, 0u) << child.Err;
    const ordered_json json = ParseJson(child.Out);
    for (const auto& field : given)
        EXPECT_EQ(json["fields"][field.first]["value"], ToCodePage(FromCodePage(field.second, CP_ACP), CP_UTF8))
            << field.first;
    std::string again;
    for (const auto& field : json["fields"].items())
        if (field.value()["exists"] == true)
            again += field.key() + "=" +
                     ToCodePage(FromCodePage(field.value()["value"].get<std::string>(), CP_UTF8), CP_ACP) + "\r\n";
    ClearStore();
    ASSERT_TRUE(WriteWholeFile(file, again));
    EXPECT_EQ(RunProgram(Exe, "/apply @" + file).Code, 0u);
    DeleteFileA(file.c_str());
    EXPECT_EQ(Snapshot(), applied);
}

// Texts each form must carry exactly: its quoting and escape characters,
// blanks, control characters, characters beyond the ANSI code page and
// beyond UTF-16's first plane, an empty text and an expandable one. The
// other fields are absent.
TRawValues AwkwardValues()
{
    return {
        {"Manufacturer", {REG_SZ, Utf16(u"\"quoted\" 'A & B' <C> ]]> C:\\dir\\ \\\\server\\\0"s)}},
        {"Model", {REG_SZ, Utf16(u"tab\tCR\rLF\nCRLF\r\n  x  \0"s)}},
        {"SupportPhone", {REG_SZ, Utf16(u"\u8054\u60F3 \u0416\u0443\u043A \U0001F600\0"s)}},
        {"SupportURL", {REG_SZ, Utf16(u"\0"s)}},
        {"Logo", {REG_EXPAND_SZ, Utf16(u"%SystemRoot%\\oem.bmp\0"s)}},
        {"TradeInURL", {REG_SZ, Utf16(u"https://t.example/?q=\"a\\b\"&c=1\0"s)}},
    };
}

// reg import of the .reg form puts back every value with its type and every
// byte, and deletes what it finds for an absent field.
TEST_F(Program, RegOutputImportedByRegExeGivesAByteIdenticalKey)
{
    if (Legacy()) {
        for (const char* format : {"/format:reg", "/format:unattend", "/format:answerfile"}) {
            const TChild child = RunProgram(Exe, "/show "s + format);
            EXPECT_EQ(child.Code, 2u) << format;
            EXPECT_EQ(child.Out, "");
            EXPECT_NE(child.Err.find("it is for registry mode only.\r\nType Marquill /?"), std::string::npos) << child.Err;
        }
        return;
    }
    // Beyond the other forms' values: a NUL inside, and unpaired surrogates
    // in an expandable value long enough for its hex(2): lines to wrap.
    TRawValues stored = AwkwardValues();
    stored["SupportHours"] = {REG_SZ, Utf16(u"nul\0inside\0"s)};
    stored["SupportProvider"] = {REG_EXPAND_SZ, Utf16(std::u16string(1000, u'%') + u"\ta\xD800z\xDC00\0"s)};
    SetRawKey(stored);
    const std::string file = TempDir() + "\\marquill-show.reg";
    const TChild child = RunProgram(Exe, "/show /format:reg \"/out:" + file + "\"");
    EXPECT_EQ(child.Code, 0u) << child.Err;
    EXPECT_EQ(child.Out + child.Err, "");
    // What the import must change: other data, another type, and values of
    // fields that are absent.
    SetRawKey({{"Model", {REG_EXPAND_SZ, Utf16(u"old\0"s)}},
               {"SupportAppURL", {REG_SZ, Utf16(u"stale\0"s)}},
               {"RecycleURL", {REG_SZ, Utf16(u"stale\0"s)}}});
    const TChild import = RunProgram(SystemDir() + "\\reg.exe", "import \"" + file + "\" /reg:64");
    DeleteFileA(file.c_str());
    EXPECT_EQ(import.Code, 0u) << import.Err;
    EXPECT_EQ(RawKey(), stored);
}

using TXmlChildren = std::vector<std::pair<std::wstring, std::wstring>>;

// An answer file or its fragment as an XML parser (MSXML) reads it: the
// root's name and each <OEMInformation>'s element children in order, with
// their texts. (The components' attributes are expat's to check, natively.)
struct TAnswerRead {
    std::wstring Root;
    std::vector<TXmlChildren> Informations;
};

// Each node of `list`, released after `visit`.
template <class TVisit> void ForEachNode(IXMLDOMNodeList* list, TVisit visit)
{
    long count = 0;
    list->get_length(&count);
    for (long i = 0; i < count; ++i) {
        IXMLDOMNode* node = nullptr;
        if (list->get_item(i, &node) == S_OK) {
            visit(node);
            node->Release();
        }
    }
    list->Release();
}

// The name of `node` or, with `text`, its text.
std::wstring NodeString(IXMLDOMNode* node, bool text = false)
{
    BSTR value = nullptr;
    if ((text ? node->get_text(&value) : node->get_nodeName(&value)) != S_OK)
        return L"<none>";
    std::wstring string(value, SysStringLen(value));
    SysFreeString(value);
    return string;
}

TAnswerRead ReadAnswerXml(const std::string& utf8)
{
    TAnswerRead read;
    static const GUID DomDocument30 = {0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};
    static const GUID IidDomDocument = {0x2933bf81, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
    CoInitialize(nullptr);
    IXMLDOMDocument* doc = nullptr;
    if (FAILED(CoCreateInstance(DomDocument30, nullptr, CLSCTX_INPROC_SERVER, IidDomDocument,
                                reinterpret_cast<void**>(&doc)))) {
        ADD_FAILURE() << "no XML parser";
        CoUninitialize();
        return read;
    }
    doc->put_preserveWhiteSpace(VARIANT_TRUE);
    BSTR xml = SysAllocString(FromCodePage(utf8, CP_UTF8).c_str());
    VARIANT_BOOL parsed = VARIANT_FALSE;
    doc->loadXML(xml, &parsed);
    SysFreeString(xml);
    IXMLDOMElement* root = nullptr;
    if (parsed != VARIANT_TRUE || doc->get_documentElement(&root) != S_OK) {
        ADD_FAILURE() << "not well-formed XML:\n" << utf8;
    } else {
        read.Root = NodeString(root);
        root->Release();
        IXMLDOMNodeList* list = nullptr;
        BSTR tag = SysAllocString(L"OEMInformation");
        if (doc->getElementsByTagName(tag, &list) == S_OK)
            ForEachNode(list, [&](IXMLDOMNode* information) {
                IXMLDOMNodeList* children = nullptr;
                read.Informations.emplace_back();
                if (information->get_childNodes(&children) == S_OK)
                    ForEachNode(children, [&](IXMLDOMNode* child) {
                        DOMNodeType type = NODE_INVALID;
                        if (child->get_nodeType(&type) == S_OK && type == NODE_ELEMENT)
                            read.Informations.back().emplace_back(NodeString(child), NodeString(child, true));
                    });
            });
        SysFreeString(tag);
    }
    doc->Release();
    CoUninitialize();
    return read;
}

// The fragment and the whole answer file parse, and hold each present field
// (empty ones too), named as the answer file spells it, with its exact
// text; the whole file holds it once for each architecture.
TEST_F(Program, UnattendFragmentParsesAndHoldsTheValuesSet)
{
    if (Legacy())
        GTEST_SKIP() << "refused with exit 2: RegOutputImportedByRegExeGivesAByteIdenticalKey";
    // An answer file holds text only: the expandable logo path as text.
    TRawValues stored = AwkwardValues();
    stored["Logo"].Type = REG_SZ;
    SetRawKey(stored);
    TXmlChildren expected;
    for (const std::string& name : FieldNames()) {
        const auto value = stored.find(name);
        if (value != stored.end())
            expected.emplace_back(std::wstring(name.begin(), name.end()), WideOf(value->second.Bytes).c_str());
    }
    const TChild fragment = RunProgram(Exe, "/show /format:unattend");
    ASSERT_EQ(fragment.Code, 0u) << fragment.Err;
    const TAnswerRead part = ReadAnswerXml(fragment.Out);
    EXPECT_EQ(part.Root, L"OEMInformation");
    EXPECT_EQ(part.Informations, std::vector<TXmlChildren>(1, expected)) << fragment.Out;

    const TChild whole = RunProgram(Exe, "/show /format:answerfile");
    ASSERT_EQ(whole.Code, 0u) << whole.Err;
    const TAnswerRead file = ReadAnswerXml(whole.Out);
    EXPECT_EQ(file.Root, L"unattend");
    EXPECT_EQ(file.Informations, std::vector<TXmlChildren>(3, expected)) << whole.Out;
}

// /out writes the bytes the output gets, in the form's own encoding, and a
// file that cannot be written leaves nothing behind: no part of it, no
// file beside it.
TEST_F(Program, OutWritesTheExactBytesOrNoFile)
{
    PrepareStore({{"Manufacturer", "M\xFCller"}, {"Model", "X"}});
    std::vector<std::string> formats = {"", "/format:json"};
    if (!Legacy())
        formats.insert(formats.end(), {"/format:reg", "/format:unattend", "/format:answerfile"});
    const std::string file = TempDir() + "\\marquill-out.txt";
    const std::string dir = TempDir() + "\\marquill-out-dir";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    for (const std::string& format : formats) {
        SCOPED_TRACE(format);
        ASSERT_TRUE(WriteWholeFile(file, "an older and longer file's bytes"));
        const TChild shown = RunProgram(Exe, "/show " + format);
        const TChild written = RunProgram(Exe, "/show " + format + " /out:" + file);
        std::string bytes;
        EXPECT_TRUE(ReadFileInto(file, bytes));
        EXPECT_EQ(written.Code, 0u);
        EXPECT_EQ(written.Out + written.Err, "");
        EXPECT_EQ(bytes, shown.Out);
        EXPECT_EQ(shown.Code, 0u);

        const TChild refused = RunProgram(Exe, "/show " + format + " /out:" + dir);
        EXPECT_EQ(refused.Code, 1u);
        EXPECT_EQ(refused.Out, "");
        EXPECT_EQ(refused.Err.rfind("The OEM information could not be written to " + dir + ": ", 0), 0u) << refused.Err;
        EXPECT_TRUE(GetFileAttributesA(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
        EXPECT_EQ(GetFileAttributesA((dir + ".marquill-new").c_str()), INVALID_FILE_ATTRIBUTES);
    }
    DeleteFileA(file.c_str());
    RemoveDirectoryA(dir.c_str());
}

// The README's fleet recipes, taken from their section: the fenced blocks
// of one language, in the order they stand.
std::vector<std::string> RecipeBlocks(const std::string& recipes, const std::string& language)
{
    std::vector<std::string> blocks;
    const std::string fence = "```" + language + "\n";
    for (size_t at = recipes.find(fence); at != std::string::npos; at = recipes.find(fence, at)) {
        at += fence.size();
        blocks.push_back(recipes.substr(at, recipes.find("```", at) - at));
    }
    return blocks;
}

// The batch file as cmd.exe reads it: CR LF.
std::string AsBatchFile(const std::string& block)
{
    return std::regex_replace(block, std::regex("\n"), "\r\n");
}

size_t Occurrences(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

std::string LastLine(std::string out)
{
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out.substr(out.rfind('\n') + 1);
}

// The recipes as the engines run them: the batch files through cmd.exe as
// they stand, and each Marquill.exe command of the other scripts through
// cmd.exe in the folder they install to, with the exit code and last line
// the script relies on; a command that exits 0 writes no error output. The
// scripts that cannot run here (PowerShell is a stub under Wine, and the
// engines are not here) are checked for the forms that hold in Windows
// PowerShell 5.1 and in Ansible when a file is missing or the output empty.
TEST_F(Program, FleetRecipesKeepTheirContract)
{
    if (Legacy())
        GTEST_SKIP() << "the recipes are for fleets of Windows 10 and 11";
    std::string readme;
    ASSERT_TRUE(ReadFileInto(MARQUILL_README, readme));
    readme = std::regex_replace(readme, std::regex("\r\n"), "\n");
    const size_t section = readme.find("\n## Fleet engines\n");
    ASSERT_NE(section, std::string::npos);
    const std::string recipes = readme.substr(section, readme.find("\n## ", section + 1) - section);

    const std::regex exeCall(R"(Marquill\.exe"? (/[^|'\n]*[^|'\n ]))");
    std::set<std::string> commands;
    std::string install, uninstall;
    for (const char* language : {"powershell", "yaml", "bat"}) {
        for (const std::string& block : RecipeBlocks(recipes, language)) {
            SCOPED_TRACE(block);
            // The batch files run whole, below.
            if (block.rfind("@echo off", 0) == 0) {
                (block.find("/apply") != std::string::npos ? install : uninstall) = AsBatchFile(block);
                continue;
            }
            for (std::sregex_iterator it(block.begin(), block.end(), exeCall), end; it != end; ++it)
                commands.insert((*it)[1].str());
            if (language[0] == 'b')
                continue;
            EXPECT_EQ(block.find("2>"), std::string::npos) << "error records in PowerShell 5.1";
            EXPECT_FALSE(std::regex_search(block, std::regex(R"(\$\w+\[-1\]|stdout_lines\[)")))
                << "the last line of a string or of no output";
            EXPECT_EQ(Occurrences(block, "stdout_lines"), Occurrences(block, "stdout_lines | last | default('')"));
            if (block.find("Marquill.exe /") != std::string::npos) {
                EXPECT_NE(block.find("Test-Path"), std::string::npos) << "a missing exe exits 0";
                EXPECT_NE(block.find("exit 3"), std::string::npos);
            }
            if (block.find("win_command") != std::string::npos && block.find("/test") != std::string::npos) {
                EXPECT_NE(block.find("when: ansible_check_mode"), std::string::npos);
            }
        }
    }
    const std::vector<std::string> fieldFiles = RecipeBlocks(recipes, "ini");
    ASSERT_EQ(fieldFiles.size(), 1u);
    ASSERT_FALSE(install.empty() || uninstall.empty());
    const std::string test = "/test /file:oem.txt", apply = "/apply /file:oem.txt";
    const std::string answerFile = "/show /format:answerfile /out:oem.xml",
                      fragment = "/show /format:unattend /out:OEMInformation.xml";
    std::string detect;  // the Win32 app's, which carries its fields
    for (const std::string& command : commands)
        if (command.rfind("/test ", 0) == 0 && command != test)
            detect = command;
    ASSERT_EQ(commands, (std::set<std::string>{apply, test, detect, answerFile, fragment}));

    const std::string package = TempDir() + "\\marquill-package", oemTxt = package + "\\oem.txt";
    char programFiles[MAX_PATH] = {};
    ExpandEnvironmentStringsA("%ProgramFiles(x86)%\\Marquill", programFiles, MAX_PATH);
    const std::string folder = programFiles;
    CreateDirectoryA(package.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((ProgramDir() + "Marquill.exe").c_str(), (package + "\\Marquill.exe").c_str(), FALSE));
    ASSERT_TRUE(WriteWholeFile(package + "\\install.cmd", install));
    ASSERT_TRUE(WriteWholeFile(package + "\\uninstall.cmd", uninstall));
    const std::string fields = AsBatchFile(fieldFiles[0]);
    PrepareStore({{"Manufacturer", "Contoso"}, {"Model", "X1"}});

    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string cmd = std::string(system) + "\\cmd.exe";
    // Each step: the package's batch file (`script`), or a Marquill.exe
    // command in the folder; `fieldFile`: whether oem.txt is in the package
    // (before the step) and in the folder.
    const struct {
        std::string script, command;
        bool fieldFile;
        DWORD code;
        std::string last;
        std::string made = {}, holds = {};  // a file the command writes in the folder, and a line it holds
    } steps[] = {
        {"install.cmd", "", false, 3, "Marquill could not run: oem.txt is not beside install.cmd."},
        {"install.cmd", "", true, 0, "changed 4 fields"},
        {"", test, true, 0, "compliant"},
        {"", detect, true, 0, "compliant"},
        {"", apply, true, 0, "unchanged"},
        {"", answerFile, true, 0, "", "oem.xml", "<settings pass=\"offlineServicing\">"},
        {"", fragment, true, 0, "", "OEMInformation.xml", "<Model>X 1</Model>"},
        {"install.cmd", "", true, 0, "unchanged"},
        // A machine that drifted, or that holds the fields of a version before.
        {"", "/apply Model=X1", true, 0, "changed 1 field"},
        {"", test, true, 1, "drift in 1 field"},
        {"", detect, true, 1, "drift in 1 field"},
        // Without oem.txt Marquill exits 2, never 1 (drift), with nothing on
        // standard output: the last line the scripts take is none.
        {"", test, false, 2, ""},
        {"", apply, false, 2, ""},
        {"install.cmd", "", true, 0, "changed 1 field"},
        {"uninstall.cmd", "", true, 0, "Marquill is removed. The OEM information stays as it was set."},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.script + step.command);
        if (step.fieldFile)
            ASSERT_TRUE(WriteWholeFile(oemTxt, fields));
        else
            DeleteFileA(oemTxt.c_str());
        if (!step.script.empty()) {
            const TChild run = RunProgram(cmd, "/c " + package + "\\" + step.script);
            EXPECT_EQ(run.Code, step.code) << run.Out << run.Err;
            EXPECT_EQ(LastLine(run.Out), step.last) << run.Out;
            continue;
        }
        const std::string inFolder = folder + "\\oem.txt";
        if (step.fieldFile)
            ASSERT_TRUE(WriteWholeFile(inFolder, fields));
        else
            DeleteFileA(inFolder.c_str());
        const TChild run = RunProgram(cmd, "/c cd /d \"" + folder + "\" && Marquill.exe " + step.command);
        EXPECT_TRUE(run.Ended);
        EXPECT_EQ(run.Code, step.code) << run.Out << run.Err;
        EXPECT_EQ(LastLine(run.Out), step.last) << run.Out;
        if (step.code != 2) {
            EXPECT_EQ(run.Err, "");
        }
        if (!step.made.empty()) {
            std::string made;
            EXPECT_TRUE(ReadFileInto(folder + "\\" + step.made, made));
            EXPECT_NE(made.find(step.holds), std::string::npos) << made;
            DeleteFileA((folder + "\\" + step.made).c_str());
        }
    }
    EXPECT_EQ(Outside("Model"), "X 1") << "the OEM information stays";
    EXPECT_EQ(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES) << "uninstall.cmd removes the folder";
    for (const char* file : {"Marquill.exe", "oem.txt", "install.cmd", "uninstall.cmd"})
        DeleteFileA((package + "\\" + file).c_str());
    RemoveDirectoryA(package.c_str());
}

}  // namespace
