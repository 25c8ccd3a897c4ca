// The command line run in this process against the real store in force,
// built once seeing Windows 10 (registry store) and once Windows XP (legacy
// store); the store is prepared and read from outside.
#include "cli/CommandLine.h"
#include "cli/StdStream.h"
#include "cli/tests/CliTestKit.h"

#include "base/Format.h"
#include "base/Utf8.h"
#include "base/PlatformApi.h"
#include "base/SystemError.h"
#include "base/WinHandles.h"
#include "oeminfo/OEMFields.h"
#include "oeminfo/StoreLock.h"
#include "oeminfo/tests/StoreTestKit.h"
#include "tests/support/TestSupport.h"
#include "picture/Picture.h"
#include "picture/PlainBitmap.h"
#include "picture/tests/PictureTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace clitest;
using namespace std::string_literals;

namespace {

struct TRun {
    int Code;
    std::string Out, Err;
};

TRun Cli(const std::vector<std::string>& args)
{
    TCollect out, err;
    const int code = RunCommandLine(args, out, err);
    return {code, out.Text, err.Text};
}

// The error box's text for a picture that fails to load.
std::string PictureError(const std::string& path)
{
    return WithFullStop(ErrorOf([&] { TPicture().LoadFromFile(path); }));
}

const std::string Umlauts = "M\xFCller & S\xF6hne";  // code page 1252
const std::string UmlautsUtf8 = "M\xC3\xBCller & S\xC3\xB6hne";

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WriteWholeFile(Logo, Bmp)); }
    void TearDown() override
    {
        ClearStore();
        for (const std::string& path : scratch_)
            DeleteFileA(path.c_str());
    }
    std::string Scratch(const std::string& name, const std::string& bytes = "")
    {
        scratch_.push_back(TempDir() + "\\marquill-cli-" + name);
        EXPECT_TRUE(bytes.empty() || WriteWholeFile(scratch_.back(), bytes));
        return scratch_.back();
    }

    std::vector<std::string> scratch_;
    const std::string Bmp = MakeBmp24(2, 2, [](int x, int y) { return RGB(x * 100, y * 100, 7); });
    const std::string Logo = Scratch("logo.bmp");
};

TEST_F(CommandLine, ShowThenApplyRoundTripsEveryField)
{
    // Not all ASCII: UTF-8 with a byte-order mark.
    std::string shown = "\xEF\xBB\xBFManufacturer=" + UmlautsUtf8 + "\r\n";
    if (Legacy()) {
        // The profile functions drop the blanks around a value.
        PrepareStore({{"Manufacturer", Umlauts}, {"Model", "X 1"}, {"Line1", "a=b"}, {"Line2", ""}, {"Line3", "c"}},
                     Bmp);
        shown += "Model=X 1\r\nLine1=a=b\r\nLine2=\r\nLine3=c\r\n";
        for (int n = 4; n <= 10; ++n)
            shown += "Line" + std::to_string(n) + "=\r\n";
        shown += "Logo=" + SystemDir() + "\\oemlogo.bmp\r\n";
    } else {
        PrepareStore({{"Manufacturer", Umlauts}, {"Model", "  X 1  "}, {"SupportHours", ""},
                      {"SupportURL", "http://x/?a=b"}, {"Logo", Logo}});
        shown += "Model=  X 1  \r\nSupportHours=\r\nSupportPhone\r\nSupportURL=http://x/?a=b\r\nLogo=" + Logo +
                 "\r\nSupportProvider\r\nSupportAppURL\r\nTradeInURL\r\nRecycleURL\r\n";
    }
    const TRun show = Cli({"/show"});
    EXPECT_EQ(show.Code, 0);
    EXPECT_EQ(show.Out, shown);
    EXPECT_EQ(show.Err, "");

    PrepareStore({{"Manufacturer", "x"}, {"Model", "x"}, {"Line1", "x"}, {"SupportPhone", "x"}}, Legacy() ? Bmp : "");
    const TRun apply = Cli({"-APPLY", "@" + Scratch("shown.txt", show.Out)});
    EXPECT_EQ(apply.Code, 0) << apply.Err;
    EXPECT_EQ(Outside("Manufacturer"), Umlauts);
    const TFields expected =
        Legacy() ? TFields{{"Model", "X 1"}, {"Line1", "a=b"}, {"Line2", "c"}, {"Line3", "<missing>"}, {"Logo", Bmp}}
                 : TFields{{"Model", "  X 1  "}, {"SupportHours", ""}, {"SupportPhone", "<missing>"},
                           {"SupportURL", "http://x/?a=b"}, {"Logo", Logo}};
    for (const auto& field : expected)
        EXPECT_EQ(Outside(field.first), field.second) << field.first;
}

TEST_F(CommandLine, ApplyKeepsFieldsNotGivenAndWritesAsApplyDoes)
{
    PrepareStore({{"Manufacturer", "M"}, {"Model", "X"}, {"Line1", "a"}, {"Line2", "b"}, {"Logo", "C:\\old.bmp"}});
    const std::string file = "/file:" + Scratch("f.txt", "Logo=" + Logo);
    // The editor that wrote the field file may still hold it open.
    const THandle writer(CreateFileA(file.substr(6).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer.Valid());
    const TRun run = Legacy() ? Cli({"/apply", "line1=", "Line3= c", file}) : Cli({"/apply", "model=", "SupportURL(asis)= u ", file});
    ASSERT_EQ(run.Code, 0) << run.Err;
    const TFields expected =
        Legacy() ? TFields{{"Manufacturer", "M"}, {"Line1", "b"}, {"Line2", "c"}, {"Line3", "<missing>"}, {"Logo", Bmp}}
                 : TFields{{"Manufacturer", "M"}, {"Model", ""}, {"SupportURL", " u "}, {"SupportHours", "<missing>"}, {"Logo", Logo}};
    for (const auto& field : expected)
        EXPECT_EQ(Outside(field.first), field.second) << field.first;
    // An empty Logo= stores no logo path, and leaves the logo file there is.
    ASSERT_EQ(Cli({"/apply", "Logo="}).Code, 0);
    EXPECT_EQ(Outside("Logo"), Legacy() ? Bmp : "");
}

TEST_F(CommandLine, ExitCodesAndBadInputRejectedBeforeAnyWrite)
{
    PrepareStore({{"Manufacturer", "M"}, {"Model", "X"}, {"Line1", "a"}}, Bmp);
    const std::string before = Snapshot();
    const std::string other = Legacy() ? "SupportURL" : "Line1", dir = TempDir() + "\\marquill-cli-";
    const std::string png = Scratch("logo.png", Bmp), broken = Scratch("broken.bmp", "XX" + Bmp.substr(2));
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out, err;  // what each begins with; empty: nothing at all
    } cases[] = {
        {{"/?"}, 0, "Sets the OEM information from a script.", ""},
        {{"-Help"}, 0, "Sets the OEM information from a script.", ""},
        {{"/show"}, 0, "Manufacturer=M\r\nModel=X\r\n", ""},
        {{"/list"}, 2, "", "Unknown command \"/list\".\r\nType Marquill /? for the commands and the fields.\r\n"},
        {{"/show", "/remove"}, 2, "", "\"/remove\" is no option of /show"},
        {{"/apply", "Colour=red"}, 2, "", "Unknown field \"Colour\" (argument \"Colour=red\")."},
        {{"/apply", "Model=Y", "@" + Scratch("dup.txt", "\r\nMODEL=Z\r\n")}, 2, "",
         "\"Model\" is given twice: argument \"Model=Y\" and " + dir + "dup.txt, line 2."},
        {{"/apply", other + "=x"}, 2, "",
         "\"" + other + "\" (argument \"" + other + "=x\") is a field of " + (Legacy() ? "registry" : "legacy") +
             " mode; this Windows keeps the OEM information in " + (Legacy() ? "legacy" : "registry") + " mode."},
        {{"/apply", "Model=a\r\nb"}, 2, "", "The value of \"Model\" (argument \"Model=a\r\nb\") holds a line break or a NUL character."},
        {{"/apply", "Model=a\nb"}, 2, "", "The value of \"Model\" (argument \"Model=a\nb\") holds a line break or a NUL character."},
        {{"/apply", "@" + Scratch("nul.txt", std::string("Model=a\0b", 9))}, 2, "",
         dir + "nul.txt, line 1 holds a NUL character."},
        {{"/apply", "Manufacturer=" + std::string(2048, 'w')}, 2, "",
         "The value of \"Manufacturer\" (argument \"Manufacturer=w"},
        {{"/apply", "Model=Y", "@" + dir + "missing.txt"}, 2, "", "Cannot read the field file " + dir + "missing.txt: "},
        {{"/apply", "/file:" + TempDir()}, 2, "", "Cannot read the field file " + TempDir() + ": "},
        {{"/apply", "=Model"}, 2, "", "\"=Model\" is not of the form Name=Value."},
        {{"/apply", "Model=Y", "Logo=" + dir + "missing.bmp"}, 1, "", PictureError(dir + "missing.bmp") + "\r\n"},
        {{"/apply", "Model=Y", "Logo=" + png}, 1, "", PictureError(png) + "\r\n"},
        {{"/apply", "Model=Y", "Logo=" + broken}, 1, "", PictureError(broken) + "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back().substr(0, 60));
        const TRun run = Cli(c.args);
        EXPECT_EQ(run.Code, c.code);
        EXPECT_EQ(c.out.empty() ? run.Out : run.Out.substr(0, c.out.size()), c.out);
        EXPECT_EQ(c.err.empty() ? run.Err : run.Err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(Snapshot(), before) << "something was written";
    }
    EXPECT_EQ(Cli({"/apply", "Manufacturer=" + std::string(2047, 'w')}).Code, 0) << "the longest value is taken";
    EXPECT_EQ(Outside("Manufacturer"), std::string(2047, 'w'));
    EXPECT_EQ(Cli({"/REMOVE"}).Code, 0);
    EXPECT_EQ(Outside("Manufacturer"), "<missing>");
}

// Refuses the writes of values numbered RefuseFrom to RefuseTo (counted
// from 1; a profile write counts when it names a key).
int Writes, RefuseFrom, RefuseTo;
bool Refused()
{
    ++Writes;
    return Writes >= RefuseFrom && Writes <= RefuseTo;
}
LONG WINAPI RefusingRegSet(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    return Refused() ? ERROR_ACCESS_DENIED : ::RegSetValueExA(key, name, reserved, type, data, size);
}
LONG WINAPI RefusingRegSetW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    return Refused() ? ERROR_ACCESS_DENIED : ::RegSetValueExW(key, name, reserved, type, data, size);
}
BOOL WINAPI RefusingProfileWrite(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path)
{
    return key && Refused() ? FALSE : ::WritePrivateProfileStringA(section, key, value, path);
}

TEST_F(CommandLine, RefusedWritePartWayPutsTheOldValuesBack)
{
    TFields old = {{"Manufacturer", "Old M"}, {"Model", "Old X"}};
    if (!Legacy())
        old.emplace_back("SupportHours", "old hours");
    for (int n = 1; Legacy() && n <= 11; ++n)  // the line past the tenth comes back too
        old.emplace_back("Line" + std::to_string(n), "old " + std::to_string(n));
    const std::string failure =
        Legacy() ? "Unable to write to " + SystemDir() + "\\oeminfo.ini.\r\n" : "Failed to set data for 'SupportHours'\r\n";
    TApiSwap<decltype(PlatformApi.RegSetValueExA)> regSwap(PlatformApi.RegSetValueExA, RefusingRegSet);
    TApiSwap<decltype(PlatformApi.RegSetValueExW)> regWideSwap(PlatformApi.RegSetValueExW, RefusingRegSetW);
    TApiSwap<decltype(PlatformApi.WritePrivateProfileStringA)> iniSwap(PlatformApi.WritePrivateProfileStringA,
                                                                 RefusingProfileWrite);
    // The legacy store's bytes go back as bytes, past the profile functions.
    const struct {
        int refuseTo;
        std::string err;
    } cases[] = {
        {3, failure + "The OEM information read before was written back.\r\n"},
        {Legacy() ? 3 : 1000, Legacy() ? failure + "The OEM information read before was written back.\r\n"
                                       : failure + "Writing back the OEM information read before failed too:\r\n"
                                                   "Failed to set data for 'Manufacturer'\r\n"},
    };
    for (const auto& c : cases) {
        PrepareStore(old);
        if (!Legacy())
            SetWideValue("SupportHours", L"\x8054\x60F3 hours");  // beyond what the ANSI functions carry
        const std::string before = Snapshot();
        Writes = 0, RefuseFrom = 3, RefuseTo = c.refuseTo;
        const TRun run = Cli({"/apply", "Manufacturer=New", "Model=New", Legacy() ? "Line1=new" : "SupportHours=new"});
        EXPECT_EQ(run.Code, 1);
        EXPECT_EQ(run.Err, c.err);
        if (c.refuseTo != 3)
            continue;
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(Legacy() || WideValue("SupportHours") == std::wstring(L"\x8054\x60F3 hours"), true);
    }
}

LONG WINAPI RefusingOpen(HKEY, LPCSTR, DWORD, REGSAM, PHKEY)
{
    return ERROR_ACCESS_DENIED;
}
LONG WINAPI RefusingQuery(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD)
{
    return ERROR_ACCESS_DENIED;
}
LONG WINAPI RefusingQueryW(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD)
{
    return ERROR_ACCESS_DENIED;
}
LONG WINAPI RefusingCreate(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD)
{
    return ERROR_ACCESS_DENIED;
}

// A key whose access list refuses reading, or a file another program holds
// without sharing, is no empty store: a backup of it would be silently
// empty, and an apply would empty the fields not given.
TEST_F(CommandLine, StoreThatCannotBeReadIsAStoreError)
{
    PrepareStore({{"Manufacturer", "M"}, {"SupportURL", "u"}, {"Line1", "a"}}, Bmp);
    const std::string key = "The registry key HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
                            "OEMInformation ";
    const std::string before = Snapshot();
    // Wine's registry has no access control: the refusals a DACL gives are
    // handed over through the platform seam.
    struct TCase {
        std::function<void()> refuse;
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<TCase> registryCases = {
        {[] { PlatformApi.RegOpenKeyExA = RefusingOpen; }, {"/show"}, key + "cannot be read: "},
        {[] { PlatformApi.RegOpenKeyExA = RefusingOpen; }, {"/apply", "Model=Y"}, key + "cannot be read: "},
        {[] { PlatformApi.RegQueryValueExA = RefusingQuery, PlatformApi.RegQueryValueExW = RefusingQueryW; },
         {"/show"}, "The registry value Manufacturer cannot be read: "},
        {[] { PlatformApi.RegQueryValueExA = RefusingQuery, PlatformApi.RegQueryValueExW = RefusingQueryW; },
         {"/apply", "Model=Y"}, "The registry value Manufacturer cannot be read: "},
        {[] { PlatformApi.RegCreateKeyExA = RefusingCreate; }, {"/apply", "Model=Y"},
         key + "could not be opened for writing; nothing was written.\r\n"},
        {[] { PlatformApi.RegOpenKeyExA = RefusingOpen; }, {"/test", "Model=Y"}, key + "cannot be read: "},
        {[] { PlatformApi.RegQueryValueExA = RefusingQuery, PlatformApi.RegQueryValueExW = RefusingQueryW; },
         {"/test", "Model=Y"}, "The registry value Manufacturer cannot be read: "},
    };
    const std::string ini = SystemDir() + "\\oeminfo.ini";
    const std::vector<TCase> legacyCases = {
        {nullptr, {"/show"}, ini + " cannot be read: "},
        {nullptr, {"/apply", "Model=Y"}, ini + " cannot be read: "},
        {nullptr, {"/test", "Model=Y"}, ini + " cannot be read: "},
    };
    const TPlatformApi saved = PlatformApi;
    for (const auto& c : Legacy() ? legacyCases : registryCases) {
        SCOPED_TRACE(c.err);
        THandle holder(Legacy() ? CreateFileA(IniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                : nullptr);
        if (c.refuse)
            c.refuse();
        const TRun run = Cli(c.args);
        PlatformApi = saved;
        holder.Reset();
        // /test says why as its last line, on standard output alone.
        const bool test = c.args[0] == "/test";
        const std::string& said = test ? run.Out : run.Err;
        EXPECT_EQ(run.Code, 1);
        EXPECT_EQ(test ? run.Err : run.Out, "");
        EXPECT_EQ(said.substr(0, c.err.size()), c.err);
        EXPECT_EQ(said.find("Writing back"), std::string::npos);
        EXPECT_EQ(said.find("\r\n"), said.size() - 2) << "one line";
        EXPECT_EQ(Snapshot(), before);
    }
    if (Legacy())
        return;
    const DWORD number = 7;
    HKEY handle = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation", 0,
                            KEY_SET_VALUE | KEY_WOW64_64KEY, &handle),
              ERROR_SUCCESS);
    RegSetValueExA(handle, "Logo", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(handle);
    const std::string typed = Snapshot();
    for (const TRun& run : {Cli({"/show"}), Cli({"/apply", "Model=Y"})}) {
        EXPECT_EQ(run.Code, 1);
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err, "Invalid data type for 'Logo'\r\n");
    }
    // The inventory's form carries it, and names no logo file.
    const TRun json = Cli({"/show", "/format:json"});
    EXPECT_EQ(json.Code, 0) << json.Err;
    EXPECT_NE(json.Out.find("\"Logo\": {\"exists\": true, \"type\": \"REG_DWORD\", \"value\": null, "
                            "\"nulTerminated\": null, \"data\": \"07000000\"}"),
              std::string::npos)
        << json.Out;
    EXPECT_NE(json.Out.find("\"logo\": null"), std::string::npos) << json.Out;
    EXPECT_EQ(Snapshot(), typed);
}

// Fields not given are never rewritten through the ANSI functions, which
// would turn what the code page lacks into "?" and cut a text at a NUL.
TEST_F(CommandLine, FieldsNotGivenKeepExactlyWhatIsStored)
{
    const std::wstring maker = L"\x8054\x60F3", model = L"\x0416\x0443\x043A", cut(L"abc\0def", 7);
    if (Legacy()) {
        const std::wstring text = L"\xFEFF[General]\r\nManufacturer=" + maker + L"\r\nModel=" + model + L"\r\n";
        ASSERT_TRUE(WriteWholeFile(IniPath(),
                                   std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2)));
        const std::string before = Snapshot();
        for (const auto& args : {std::vector<std::string>{"/apply", "Line1=u"}, {"/show"}}) {
            const TRun run = Cli(args);
            EXPECT_EQ(run.Code, 1);
            EXPECT_EQ(run.Out, "");
            EXPECT_NE(run.Err.find("\"Manufacturer\" holds characters the ANSI code page lacks"), std::string::npos)
                << run.Err;
        }
        EXPECT_EQ(Snapshot(), before);
        return;
    }
    SetWideValue("Manufacturer", maker);
    SetWideValue("Model", model);
    SetWideValue("SupportHours", cut);
    ASSERT_EQ(Cli({"/apply", "SupportPhone=u"}).Code, 0);
    EXPECT_EQ(WideValue("Manufacturer"), maker);
    EXPECT_EQ(WideValue("Model"), model);
    EXPECT_EQ(WideValue("SupportHours"), cut);
    EXPECT_EQ(Outside("SupportPhone"), "u");
}

// What /show writes must read back through /apply as it was stored.
TEST_F(CommandLine, ShowFailsRatherThanWriteWhatApplyCannotReadBack)
{
    if (Legacy())
        GTEST_SKIP() << "a profile line holds no line break and no NUL";
    const struct {
        std::wstring value;
        std::string err;
        bool terminated = true;
    } cases[] = {
        {L"x\r\n;comment", "\"SupportURL\" holds a line break or a NUL character"},
        {std::wstring(L"abc\0def", 7), "\"SupportURL\" holds a line break or a NUL character"},
        {L"\x8054\xD800", "\"SupportURL\" holds half a UTF-16 surrogate pair"},
        {std::wstring(2048, L'u'), "\"SupportURL\" is 2048 characters long; registry mode takes at most 2047, which "
                                   "/apply cannot put back; nothing was shown.\r\n"},
        {L"http://x", "\"SupportURL\" holds data that /apply would not write back byte for byte", false},
    };
    for (const auto& c : cases) {
        SetWideValue("SupportURL", c.value, REG_SZ, c.terminated);
        const TRun run = Cli({"/show"});
        EXPECT_EQ(run.Code, 1);
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err.substr(0, c.err.size()), c.err);
    }
}

// Müller, ©, CJK and an emoji as Notepad (UTF-8, with or without a mark)
// and Windows PowerShell (UTF-16LE) save them: one store whichever wrote
// the file; legacy mode takes what code page 1252 holds and names the field
// of what it lacks.
TEST_F(CommandLine, FieldFilesInEveryEncodingGiveTheSameStore)
{
    const struct {
        std::u16string text;
        std::string ansi;  // code page 1252; empty where it lacks the text
    } samples[] = {{u"M\u00FCller", "M\xFCller"}, {u"\u00A9 2026", "\xA9 2026"}, {u"\u8054\u60F3", ""}, {u"\U0001F600", ""}};
    for (const auto& sample : samples) {
        const std::u16string line = u"Manufacturer=" + sample.text + u"\r\n";
        const std::string utf8 = Utf16ToUtf8(line.data(), line.size());
        for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8, "\xFF\xFE" + Utf16(line)}) {
            SCOPED_TRACE(utf8 + " as " + std::to_string(bytes.size()) + " bytes");
            PrepareStore({{"Manufacturer", "x"}});
            const TRun run = Cli({"/apply", "@" + Scratch("encoded.txt", bytes)});
            if (!Legacy()) {
                EXPECT_EQ(run.Code, 0) << run.Err;
                EXPECT_EQ(WideValue("Manufacturer"), std::wstring(sample.text.begin(), sample.text.end()));
            } else if (!sample.ansi.empty()) {
                EXPECT_EQ(run.Code, 0) << run.Err;
                EXPECT_EQ(Outside("Manufacturer"), sample.ansi);
            } else {
                EXPECT_EQ(run.Code, 2);
                EXPECT_NE(run.Err.find("\"Manufacturer\" (" + Scratch("encoded.txt") + ", line 1) holds a character "
                                       "the ANSI code page lacks (character 1)"),
                          std::string::npos)
                    << run.Err;
                EXPECT_EQ(Outside("Manufacturer"), "x");
            }
        }
    }
}

// Registry mode stores an argument's text exactly; legacy mode names the
// field and the character the code page lacks. Change lines are ASCII.
TEST_F(CommandLine, ArgumentsCarryAnyTextAndChangeLinesEscapeIt)
{
    PrepareStore({{"Model", "X"}});
    const std::string cjk = "\xC2\xA9\xE8\x81\x94\xE6\x83\xB3";  // ©联想
    // Files are opened through the ANSI functions.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"/apply", "@C:\\" + cjk + ".txt"}, {"/show", "/out:C:\\" + cjk + ".txt"}}) {
        const TRun run = Cli(args);
        EXPECT_EQ(run.Code, 2);
        // Named as given: what the code page lacks as its code point.
        EXPECT_NE(run.Err.find("C:\\\xA9\\u{8054}\\u{60F3}.txt\" names a file by characters the ANSI code page lacks"),
                  std::string::npos)
            << run.Err;
    }
    const TRun test = Cli({"/test", "Model=" + cjk});
    const TRun apply = Cli({"/apply", "Model=" + cjk});
    if (Legacy()) {
        for (const TRun& run : {test, apply}) {
            EXPECT_EQ(run.Code, 2);
            EXPECT_EQ(run.Err.rfind("The value of \"Model\" (argument \"Model=", 0), 0u) << run.Err;
            EXPECT_NE(run.Err.find("lacks (character 2)"), std::string::npos) << run.Err;
        }
        EXPECT_EQ(Outside("Model"), "X");
        const TRun ansi = Cli({"/test", "Model=\xC2\xA9"});
        EXPECT_EQ(ansi.Out, "Model: \"X\" -> \"\\u{00A9}\"\r\ndrift in 1 field\r\n");
        return;
    }
    EXPECT_EQ(test.Out, "Model: \"X\" -> \"\\u{00A9}\\u{8054}\\u{60F3}\"\r\ndrift in 1 field\r\n");
    EXPECT_EQ(apply.Code, 0) << apply.Err;
    EXPECT_EQ(WideValue("Model"), L"\xA9\x8054\x60F3");
    const TRun logo = Cli({"/apply", "Logo=C:\\" + cjk + ".bmp"});
    EXPECT_EQ(logo.Code, 2);
    EXPECT_NE(logo.Err.find("names a file by characters the ANSI code page lacks"), std::string::npos) << logo.Err;
}

// Any text the key holds goes through /show /out, /remove and /apply and
// comes back byte for byte.
TEST_F(CommandLine, BackupCarriesAnyText)
{
    if (Legacy())
        GTEST_SKIP() << "legacy mode keeps the ANSI code page's texts";
    SetRawKey({{"Manufacturer", {REG_SZ, Utf16(u"\u8054\u60F3\0"s)}},
               {"Model", {REG_SZ, Utf16(u"\U0001F600\0"s)}},
               {"SupportHours", {REG_SZ, Utf16(u"\u00A9\0"s)}},
               {"SupportPhone", {REG_SZ, Utf16(u"\u00C2\u00A9\0"s)}},
               {"SupportProvider", {REG_EXPAND_SZ, Utf16(u"%TEMP%\\\u8054\0"s)}}});
    const TRawValues before = RawKey();
    const std::string backup = Scratch("unicode-backup.txt");
    const TRun show = Cli({"/show", "/out:" + backup});
    ASSERT_EQ(show.Code, 0) << show.Err;
    std::string bytes;
    ASSERT_TRUE(ReadFileInto(backup, bytes));
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    ASSERT_EQ(Cli({"/remove"}).Code, 0);
    ASSERT_NE(RawKey(), before);
    const TRun apply = Cli({"/apply", "@" + backup});
    EXPECT_EQ(apply.Code, 0) << apply.Err;
    EXPECT_EQ(RawKey(), before);
    EXPECT_EQ(Cli({"/test", "@" + backup}).Out, "compliant\r\n");
}

TEST_F(CommandLine, NewerValuesRoundTripAndRemoveDeletesThem)
{
    if (Legacy()) {
        EXPECT_EQ(Cli({"/apply", "SupportProvider=P"}).Code, 2) << "a field of registry mode only";
        return;
    }
    PrepareStore({{"Manufacturer", "M"}});
    ASSERT_EQ(Cli({"/apply", "SupportProvider=Help Desk", "supportappurl=ms-app://x",
                   "TradeInURL=https://trade.example/in", "recycleurl=http://recycle.example/"})
                  .Code,
              0);
    const TRun show = Cli({"/show"});
    const std::string tail = "SupportProvider=Help Desk\r\nSupportAppURL=ms-app://x\r\n"
                             "TradeInURL=https://trade.example/in\r\nRecycleURL=http://recycle.example/\r\n";
    ASSERT_GE(show.Out.size(), tail.size());
    EXPECT_EQ(show.Out.substr(show.Out.size() - tail.size()), tail);
    ClearStore();
    ASSERT_EQ(Cli({"/apply", "@" + Scratch("newer.txt", show.Out)}).Code, 0);
    EXPECT_EQ(Outside("SupportAppURL"), "ms-app://x");
    EXPECT_EQ(Outside("TradeInURL"), "https://trade.example/in");
    EXPECT_EQ(Outside("RecycleURL"), "http://recycle.example/");
    EXPECT_EQ(Outside("Manufacturer"), "M");
    ASSERT_EQ(Cli({"/remove"}).Code, 0);
    for (const char* name : {"SupportProvider", "SupportAppURL", "TradeInURL", "RecycleURL"})
        EXPECT_EQ(Outside(name), "<missing>") << name;
}


// What /show prints, /apply puts back with the same names, types and bytes,
// also after /remove: an expandable logo, an address from elsewhere, an
// empty value and missing ones.
TEST_F(CommandLine, BackupRestoresTheKeyExactly)
{
    if (Legacy())
        GTEST_SKIP() << "legacy mode has no types, no absent values and no markers";
    // Where Windows' 64-bit reader finds %SystemRoot%\system32.
    const std::string systemLogo = LogoPath().substr(0, LogoPath().rfind('\\')) + "\\oem.bmp";
    ASSERT_TRUE(WriteWholeFile(systemLogo, Bmp));
    PrepareStore({{"Manufacturer", "M"}, {"SupportHours", ""}, {"SupportURL", "www.example.com"}});
    SetWideValue("Logo", L"%SystemRoot%\\system32\\oem.bmp", REG_EXPAND_SZ);
    const std::string before = Snapshot();
    const TRun show = Cli({"/show"});
    ASSERT_EQ(show.Code, 0) << show.Err;
    EXPECT_EQ(show.Out, "Manufacturer=M\r\nModel\r\nSupportHours=\r\nSupportPhone\r\n"
                        "SupportURL(asis)=www.example.com\r\nLogo(expand)=%SystemRoot%\\system32\\oem.bmp\r\n"
                        "SupportProvider\r\nSupportAppURL\r\nTradeInURL\r\nRecycleURL\r\n");
    const std::string backup = "@" + Scratch("backup.txt", show.Out);
    ASSERT_EQ(Cli({"/remove"}).Code, 0);
    const TRun apply = Cli({"/apply", backup});
    EXPECT_EQ(apply.Code, 0) << apply.Err;
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Cli({"/test", backup}).Out, "compliant\r\n");

    SetWideValue("Model", std::wstring(2048, L'm'));
    const TRun tooLong = Cli({"/show"});
    EXPECT_EQ(tooLong.Code, 1);
    EXPECT_EQ(tooLong.Out, "");
    const std::string named = "\"Model\" is 2048 characters long; registry mode takes at most 2047";
    EXPECT_EQ(tooLong.Err.substr(0, named.size()), named);
    DeleteFileA(systemLogo.c_str());
}

// Backslashes doubled, as the change lines quote a text.
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return quoted + "\"";
}

TEST_F(CommandLine, TestComparesWithWhatApplyWouldLeaveAndWritesNothing)
{
    const std::string otherBmp = MakeBmp24(2, 2, [](int, int) { return RGB(1, 2, 3); });
    const std::string logoArg = "Logo=" + Logo, installed = Quoted(SystemDir() + "\\oemlogo.bmp");
    const struct {
        TFields store;
        std::vector<std::string> args;  // after /test
        int code;
        std::string out, err;  // err: what it begins with
        std::string logoFile = "";
    } registryCases[] = {
        {{{"Manufacturer", "M"}, {"Model", "X"}, {"Logo", Logo}}, {"Manufacturer=M", "SupportPhone", logoArg}, 0,
         "compliant\r\n", ""},
        {{{"Model", "a\"b\\c"}, {"SupportPhone", "p"}}, {"Model=x", "SupportHours=", "SupportPhone", "Manufacturer(expand)=M"},
         1,
         "Manufacturer: (absent) -> (expand) \"M\"\r\nModel: \"a\\\"b\\\\c\" -> \"x\"\r\nSupportHours: (absent) -> \"\"\r\n"
         "SupportPhone: \"p\" -> (absent)\r\ndrift in 4 fields\r\n",
         ""},
        {{{"Logo", "C:\\old.bmp"}}, {logoArg}, 1, "Logo: \"C:\\\\old.bmp\" -> " + Quoted(Logo) + "\r\ndrift in 1 field\r\n",
         ""},
        {{{"SupportURL", "www.example.com"}}, {"SupportURL=www.example.com"}, 0, "compliant\r\n", ""},
        {{}, {"SupportURL=www.example.com"}, 2, "",
         "The value of \"SupportURL\" (argument \"SupportURL=www.example.com\") is no absolute web address: start it "
         "with http:// or https://, or give it as SupportURL(asis)=... to take it as it is.\r\n"},
        {{}, {"Model=x", "MODEL"}, 2, "", "\"Model\" is given twice: argument \"Model=x\" and argument \"MODEL\"."},
    };
    const decltype(registryCases) legacyCases = {
        {{{"Manufacturer", "M"}, {"Model", "X"}, {"Line1", "a"}}, {"Manufacturer=M", "Line1=a", logoArg}, 0,
         "compliant\r\n", "", Bmp},
        {{{"Manufacturer", "M"}, {"Line1", "a"}, {"Line2", "b"}}, {"Line1=", "Model=X"}, 1,
         "Model: \"\" -> \"X\"\r\nLine1: \"a\" -> \"b\"\r\nLine2: \"b\" -> (absent)\r\ndrift in 3 fields\r\n", "", Bmp},
        {{{"Manufacturer", "M"}}, {"Manufacturer=M", logoArg}, 1,
         "Logo: " + installed + " -> " + installed + "\r\ndrift in 1 field\r\n", "", otherBmp},
        {{{"Manufacturer", "M"}}, {logoArg}, 1, "Logo: (absent) -> " + installed + "\r\ndrift in 1 field\r\n", ""},
        {{}, {"Model"}, 2, "",
         "\"Model\" (argument \"Model\") is no Name=Value: a bare name, (expand) and (asis) are for registry mode"},
        {{}, {}, 2, "", "/test needs the fields to compare: Name=Value, @file or /file:path.\r\n"},
    };
    for (const auto& c : Legacy() ? legacyCases : registryCases) {
        SCOPED_TRACE(c.args.empty() ? "no fields" : c.args[0]);
        PrepareStore(c.store, c.logoFile);
        const std::string before = Snapshot();
        std::vector<std::string> args = {"/test"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const TRun run = Cli(args);
        EXPECT_EQ(run.Code, c.code);
        EXPECT_EQ(run.Out, c.out);
        EXPECT_EQ(run.Err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(c.err.empty(), run.Err.empty()) << run.Err;
        EXPECT_EQ(Snapshot(), before) << "/test wrote";
    }
}

// Registry mode: Windows shows only a bitmap, so an icon becomes
// oemlogo.bmp in the real system directory, and /test compares that file's
// bytes as well as the stored path.
TEST_F(CommandLine, TestComparesAConvertedLogoByItsBytes)
{
    if (Legacy())
        GTEST_SKIP() << "legacy mode's logo file is in the other /test cases";
    const std::string icon = "Logo=" + Scratch("logo.ico", picture_test::MakeIco({{16, 32, {}}}));
    const std::string installed = Quoted(SystemDir() + "\\oemlogo.bmp");
    PrepareStore({});
    const struct {
        std::vector<std::string> args;
        std::string out;
        std::function<void()> then;
    } steps[] = {
        {{"/test", icon}, "Logo: (absent) -> " + installed + "\r\ndrift in 1 field\r\n", nullptr},
        {{"/apply", icon}, "Logo: (absent) -> " + installed + "\r\nchanged 1 field\r\n", nullptr},
        {{"/test", icon}, "compliant\r\n", [this] { ASSERT_TRUE(WriteWholeFile(LogoPath(), Bmp)); }},
        {{"/test", icon}, "Logo: " + installed + " -> " + installed + "\r\ndrift in 1 field\r\n", nullptr},
        {{"/apply", icon}, "Logo: " + installed + " -> " + installed + "\r\nchanged 1 field\r\n", nullptr},
        {{"/apply", icon}, "unchanged\r\n", nullptr},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.args[0] + " " + step.out);
        const TRun run = Cli(step.args);
        EXPECT_EQ(run.Out, step.out);
        EXPECT_EQ(run.Err, "");
        if (step.then)
            step.then();
    }
    EXPECT_EQ(Outside("Logo"), SystemDir() + "\\oemlogo.bmp");
    DeleteFileA(LogoPath().c_str());
}

// The store's own time stamps: the key's last write, or both files'.
std::string StoreTimes()
{
    FILETIME times[2] = {};
    if (Legacy()) {
        const std::string paths[] = {IniPath(), LogoPath()};
        for (int i = 0; i < 2; ++i) {
            const THandle file(CreateFileA(paths[i].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                           nullptr));
            EXPECT_TRUE(GetFileTime(file.Get(), nullptr, nullptr, &times[i])) << paths[i];
        }
    } else {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation", 0,
                                KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, &times[0]),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    std::string text;
    for (const FILETIME& time : times)
        text += std::to_string(time.dwHighDateTime) + ":" + std::to_string(time.dwLowDateTime) + " ";
    return text;
}

// Lets the clock move on, so that a write would leave another time stamp.
void LetTheClockMove()
{
    auto now = [] {
        FILETIME time = {};
        GetSystemTimeAsFileTime(&time);
        return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    const uint64_t start = now();
    for (int i = 0; i < 1000 && now() - start < 200000; ++i)  // 20 ms
        Sleep(5);
}

TEST_F(CommandLine, ApplyWritesNothingWhenTheStoreHoldsWhatWasAsked)
{
    const TFields store = Legacy() ? TFields{{"Manufacturer", "M"}, {"Model", "X"}, {"Line1", "a"}}
                                   : TFields{{"Manufacturer", "M"}, {"Model", "X"}, {"Logo", Logo}};
    const struct {
        std::vector<std::string> args;
        std::string out;
    } registryCases[] = {
        {{"/apply", "Manufacturer=M", "Model=X", "SupportPhone", "Logo=" + Logo}, "unchanged\r\n"},
        {{"/apply", "Manufacturer=N", "SupportPhone=1", "Model"},
         "Manufacturer: \"M\" -> \"N\"\r\nModel: \"X\" -> (absent)\r\nSupportPhone: (absent) -> \"1\"\r\n"
         "changed 3 fields\r\n"},
    };
    const decltype(registryCases) legacyCases = {
        {{"/apply", "Manufacturer=M", "Line1=a", "Logo=" + Logo}, "unchanged\r\n"},
        {{"/apply", "Model=Y"}, "Model: \"X\" -> \"Y\"\r\nchanged 1 field\r\n"},
    };
    for (const auto& c : Legacy() ? legacyCases : registryCases) {
        SCOPED_TRACE(c.out);
        PrepareStore(store, Bmp);
        const std::string before = Snapshot(), times = StoreTimes();
        LetTheClockMove();
        const TRun run = Cli(c.args);
        EXPECT_EQ(run.Code, 0);
        EXPECT_EQ(run.Out, c.out);
        EXPECT_EQ(run.Err, "");
        const bool unchanged = c.out == "unchanged\r\n";
        EXPECT_EQ(Snapshot() == before, unchanged);
        EXPECT_EQ(StoreTimes() == times, unchanged) << times;
    }
}

}  // namespace

// A run after one killed part-way (its lock abandoned, or its files left
// beside the store) does its job and then says so, in English, on standard
// output before the last line: a command that exits 0 leaves the error
// output empty. Only /show's data keeps standard output to itself.
TEST_F(CommandLine, NoticesOfAKilledRunGoToStandardOutputBeforeTheLastLine)
{
    const std::string notice =
        "Another Marquill ended while it was changing the OEM information; check that it holds what it should.\r\n";
    const std::string leftover = LogoPath() + ".marquill-new";
    const struct {
        std::vector<std::string> args;
        std::string last;  // the summary after the notice; "-": the notice on the error output
    } commands[] = {{{"/show"}, "-"},
                    {{"/show", "/format:json", "/out:" + Scratch("shown.json")}, ""},
                    {{"/apply", "Manufacturer=Acme"}, "unchanged\r\n"},
                    {{"/test", "Manufacturer=Acme"}, "compliant\r\n"},
                    {{"/remove"}, ""}};
    for (const bool abandoned : {true, false}) {
        for (const auto& c : commands) {
            SCOPED_TRACE((abandoned ? "abandoned lock, " : "leftover file, ") + c.args[0] + " " +
                         std::to_string(c.args.size()));
            PrepareStore({{"Manufacturer", "Acme"}});
            const std::string shown = Cli({"/show"}).Out;
            THandle waiter;
            if (abandoned)
                waiter = AbandonStoreLock();
            else
                ASSERT_TRUE(WriteWholeFile(leftover, "half"));
            TRun run = Cli(c.args);
            EXPECT_EQ(run.Code, 0);
            EXPECT_EQ(run.Out, c.last == "-" ? shown : notice + c.last);
            EXPECT_EQ(run.Err, c.last == "-" ? notice : "");
            EXPECT_EQ(Outside("Manufacturer"), c.args[0] == "/remove" ? "<missing>" : "Acme");
            EXPECT_EQ(GetFileAttributesA(leftover.c_str()), INVALID_FILE_ATTRIBUTES);
            run = Cli(c.args);
            EXPECT_EQ(run.Err, "") << "a lock let go normally";
            EXPECT_EQ(run.Out.find("Another Marquill"), std::string::npos);
        }
    }
}

namespace {

BOOL WINAPI RefusingMoveEx(LPCSTR, LPCSTR, DWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

bool IsThere(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A form either holds every value exactly or fails naming the field, and
// then writes nothing: no part to the output, no file. (JSON holds any
// value: ShowFormats.JsonCarriesDataThatIsNoTextAsItsBytes.) Legacy mode
// has no .reg or answer-file form.
TEST_F(CommandLine, ShowFormatsGiveAllOrNothing)
{
    using namespace std::string_literals;
    const std::string file = Scratch("refused.out");
    const std::string hint = "\r\n"s + UsageHint + "\r\n";
    struct TCase {
        std::string format;
        int code;
        std::string err;
    };
    std::vector<TCase> cases;
    if (Legacy()) {
        cases = {{"/format:reg", 2, "/format:reg writes registry values: it is for registry mode only." + hint},
                 {"/format:unattend", 2,
                  "/format:unattend writes the values of the registry: it is for registry mode only." + hint},
                 {"/format:answerfile", 2,
                  "/format:answerfile writes the values of the registry: it is for registry mode only." + hint}};
    } else {
        SetRawKey({{"Manufacturer", {REG_SZ, Utf16(u"a\x01z\0"s)}},
                   {"Model", {REG_SZ, Utf16(u"x\xD800\0"s)}},
                   {"SupportPhone", {REG_SZ, Utf16(u"no final NUL"s)}}});
        const std::string nothing = "; nothing was shown.\r\n";
        cases = {{"/format:reg", 1, "SupportPhone does not end in a NUL character, which reg import would add" + nothing},
                 {"/format:UNATTEND", 1, "Manufacturer holds U+0001, which XML 1.0 cannot hold" + nothing},
                 {"/format:answerfile", 1, "Manufacturer holds U+0001, which XML 1.0 cannot hold" + nothing}};
    }
    for (const TCase& c : cases) {
        for (const bool toFile : {false, true}) {
            SCOPED_TRACE(c.format + (toFile ? " to a file" : ""));
            const TRun run = toFile ? Cli({"/show", c.format, "/out:" + file}) : Cli({"/show", c.format});
            EXPECT_EQ(run.Code, c.code);
            EXPECT_EQ(run.Out, "");
            EXPECT_EQ(run.Err, c.err);
            EXPECT_FALSE(IsThere(file) || IsThere(file + ".marquill-new"));
        }
    }
}

BOOL WINAPI StubComputerNameW(LPWSTR, LPDWORD)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

BOOL WINAPI FailingComputerNameA(LPSTR, LPDWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

// Windows 9x has GetComputerNameW as a stub that fails: the JSON form names
// the computer by the ANSI function there, and by null where neither can.
TEST_F(CommandLine, JsonNamesTheComputerWhereTheWideFunctionIsAStub)
{
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &size));
    TApiSwap<decltype(PlatformApi.GetComputerNameW)> stub(PlatformApi.GetComputerNameW, StubComputerNameW);
    TRun run = Cli({"/show", "/format:json"});
    EXPECT_EQ(run.Code, 0);
    EXPECT_NE(run.Out.find("\r\n  \"computer\": \"" + std::string(name, size) + "\",\r\n"), std::string::npos)
        << run.Out;
    TApiSwap<decltype(PlatformApi.GetComputerNameA)> fail(PlatformApi.GetComputerNameA, FailingComputerNameA);
    run = Cli({"/show", "/format:json"});
    EXPECT_EQ(run.Code, 0);
    EXPECT_NE(run.Out.find("\r\n  \"computer\": null,\r\n"), std::string::npos) << run.Out;
}

// A file the output cannot replace keeps its older bytes, and the new ones
// written beside it are gone.
TEST_F(CommandLine, OutRefusedAtTheReplaceKeepsTheOlderFile)
{
    PrepareStore({{"Manufacturer", "M"}});
    const std::string file = Scratch("older.out", "older bytes");
    TApiSwap<decltype(PlatformApi.MoveFileExA)> refuse(PlatformApi.MoveFileExA, RefusingMoveEx);
    const TRun run = Cli({"/show", "/format:json", "/out:" + file});
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "The OEM information could not be written to " + file + ": " +
                           SystemErrorText(ERROR_ACCESS_DENIED) + ".\r\n");
    std::string bytes;
    EXPECT_TRUE(ReadFileInto(file, bytes));
    EXPECT_EQ(bytes, "older bytes");
    EXPECT_FALSE(IsThere(file + ".marquill-new"));
}

// Windows' own reader of the logo is a 64-bit program: the test reaches its
// system directory as Sysnative, and the 32-bit one as SystemDir().
std::string Real64BitSystemDir()
{
    const std::string logo = LogoPath();
    return logo.substr(0, logo.rfind('\\'));
}

class CommandLineLogo : public CommandLine {
protected:
    void TearDown() override
    {
        for (const std::string& path : {LogoPath(), Real64BitSystemDir() + "\\marquill-cli-64.bmp",
                                        SystemDir() + "\\marquill-cli-32.bmp"}) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        CommandLine::TearDown();
    }
    std::string LogoFile()
    {
        std::string bytes;
        return ReadFileInto(LogoPath(), bytes) ? bytes : "<missing>";
    }
};

// A 108-byte metafile whose frame claims 1300 x 1300 mm became a 72 MB
// oemlogo.bmp, which the store's readers and Remove then refused.
TEST_F(CommandLineLogo, HugeFrameMetafileBecomesASmallLogoThatRemoveDeletes)
{
    const std::string emf = Scratch("big.emf", picture_test::HugeFrameEmf());
    PrepareStore({{"Manufacturer", "M"}});
    const TRun apply = Cli({"/apply", "Manufacturer=Acme", "Logo=" + emf});
    ASSERT_EQ(apply.Code, 0) << apply.Err;
    const std::string logo = LogoFile();
    ASSERT_NE(logo, "<missing>");
    EXPECT_LE(logo.size(), 54u + 4u * MaxLogoSide * MaxLogoSide);
    EXPECT_EQ(Cli({"/show"}).Code, 0);
    const TRun remove = Cli({"/remove"});
    EXPECT_EQ(remove.Code, 0) << remove.Err;
    EXPECT_EQ(LogoFile(), "<missing>");
}

// A 32-bit program's System32 is SysWOW64: a logo was checked there, so one
// only in the real System32 was refused and one only in SysWOW64, which
// Windows never shows, accepted; a relative path was stored as given.
TEST_F(CommandLineLogo, LogoIsCheckedWhereWindowsReadsIt)
{
    ASSERT_TRUE(WriteWholeFile(Real64BitSystemDir() + "\\marquill-cli-64.bmp", Bmp));
    ASSERT_TRUE(WriteWholeFile(SystemDir() + "\\marquill-cli-32.bmp", Bmp));
    Scratch("relative.bmp", Bmp);
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_TRUE(SetCurrentDirectoryA(TempDir().c_str()));
    const struct {
        std::string given;
        int code;
        std::string stored;  // registry mode's Logo
    } cases[] = {
        {SystemDir() + "\\marquill-cli-64.bmp", 0, SystemDir() + "\\marquill-cli-64.bmp"},
        {SystemDir() + "\\marquill-cli-32.bmp", 1, "<missing>"},
        {"marquill-cli-relative.bmp", 0, TempDir() + "\\marquill-cli-relative.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        PrepareStore({{"Manufacturer", "M"}});
        const TRun run = Cli({"/apply", "Logo=" + c.given});
        EXPECT_EQ(run.Code, c.code) << run.Err;
        EXPECT_EQ(Outside("Logo"), Legacy() ? (c.code == 0 ? Bmp : "<missing>") : c.stored);
    }
    SetCurrentDirectoryA(current);
}

// Windows shows only a bitmap as the logo: an icon's path was stored as it
// was, and Windows showed none.
TEST_F(CommandLineLogo, IconInRegistryModeBecomesTheLogoFileItNames)
{
    if (Legacy())
        GTEST_SKIP() << "the legacy store converts into oemlogo.bmp always";
    const std::string icon = Scratch("clear.ico", picture_test::AlphaIcon());
    const std::string storedPath = SystemDir() + "\\oemlogo.bmp";
    ASSERT_EQ(Cli({"/apply", "Logo=" + icon}).Code, 0);
    EXPECT_EQ(Outside("Logo"), storedPath);
    const std::string logo = LogoFile();
    ASSERT_GE(logo.size(), 54u + 16 * 16 * 4);
    EXPECT_EQ(picture_test::Get32(logo, 14), 40u) << "header size";
    EXPECT_EQ(picture_test::Get32(logo, 28) & 0xFFFF, 32u) << "bits per pixel";
    // Bottom row first: the top-left quadrant is transparent, the
    // bottom-left one opaque blue.
    const auto pixel = [&](int x, int y) { return picture_test::Get32(logo, 54 + 4 * (size_t(15 - y) * 16 + x)); };
    EXPECT_EQ(pixel(2, 2), 0x00FFFFFFu) << "transparent: white with alpha 0";
    EXPECT_EQ(pixel(2, 13), 0xFF0000FFu) << "opaque blue";

    // A refused value write puts the logo file back as it was.
    const std::string old = LogoFile();
    TApiSwap<decltype(PlatformApi.RegSetValueExA)> regSwap(PlatformApi.RegSetValueExA, RefusingRegSet);
    TApiSwap<decltype(PlatformApi.RegSetValueExW)> regWideSwap(PlatformApi.RegSetValueExW, RefusingRegSetW);
    for (const bool existed : {true, false}) {
        SCOPED_TRACE(existed ? "old logo file" : "no logo file");
        if (!existed)
            DeleteFileA(LogoPath().c_str());
        // Logo names another file, so the value is written and refused.
        SetWideValue("Logo", L"C:\\elsewhere.bmp");
        Writes = 0, RefuseFrom = 1, RefuseTo = 1;
        const TRun run = Cli({"/apply", "Logo=" + Scratch("other.ico", picture_test::MaskIcon())});
        EXPECT_EQ(run.Code, 1);
        EXPECT_EQ(run.Err, "Failed to set data for 'Logo'\r\nThe OEM information read before was written back.\r\n");
        EXPECT_EQ(LogoFile(), existed ? old : "<missing>");
    }
    Writes = 0, RefuseTo = 0;
    ASSERT_EQ(Cli({"/apply", "Logo=" + icon}).Code, 0);
    ASSERT_EQ(Cli({"/remove"}).Code, 0);
    EXPECT_EQ(LogoFile(), "<missing>");
    EXPECT_EQ(Outside("Logo"), "<missing>");
}

int KeyOpensForWriting;
LONG WINAPI RefusingLaterCreate(HKEY root, LPCSTR path, DWORD reserved, LPSTR cls, DWORD options, REGSAM access,
                                LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    return ++KeyOpensForWriting > 1 ? ERROR_ACCESS_DENIED
                                    : ::RegCreateKeyExA(root, path, reserved, cls, options, access, security, key,
                                                        disposition);
}

// A refused value write whose writing back could not open the key left the
// converted logo in oemlogo.bmp instead of the file there was.
TEST_F(CommandLineLogo, LogoFileGoesBackWhenTheValuesCannot)
{
    if (Legacy())
        GTEST_SKIP() << "the legacy store writes no registry values";
    ASSERT_EQ(Cli({"/apply", "Logo=" + Scratch("clear.ico", picture_test::AlphaIcon())}).Code, 0);
    const std::string old = LogoFile();
    SetWideValue("Logo", L"C:\\elsewhere.bmp");
    TApiSwap<decltype(PlatformApi.RegSetValueExA)> regSwap(PlatformApi.RegSetValueExA, RefusingRegSet);
    TApiSwap<decltype(PlatformApi.RegSetValueExW)> regWideSwap(PlatformApi.RegSetValueExW, RefusingRegSetW);
    TApiSwap<decltype(PlatformApi.RegCreateKeyExA)> openSwap(PlatformApi.RegCreateKeyExA, RefusingLaterCreate);
    Writes = 0, RefuseFrom = 1, RefuseTo = 1, KeyOpensForWriting = 0;
    const TRun run = Cli({"/apply", "Logo=" + Scratch("other.emf", picture_test::SampleEmf())});
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Err, "Failed to set data for 'Logo'\r\nWriting back the OEM information read before failed too:\r\n"
                       "The registry key HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
                       "OEMInformation could not be opened for writing; nothing was written.\r\n");
    EXPECT_EQ(KeyOpensForWriting, 2);
    EXPECT_TRUE(LogoFile() == old) << "the converted logo was left in oemlogo.bmp";
}

// A buffer of 2048 characters reads 2047 of anything longer: a long field
// not given was cut on every /apply.
TEST_F(CommandLineLogo, LongLegacyFieldNotGivenIsKeptExactly)
{
    if (!Legacy())
        GTEST_SKIP() << "registry values are carried as bytes";
    const std::string model(3000, 'm');
    PrepareStore({{"Manufacturer", "Old"}, {"Model", model}, {"Line1", model}});
    const TRun run = Cli({"/apply", "Manufacturer=New"});
    ASSERT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(Outside("Manufacturer"), "New");
    EXPECT_EQ(Outside("Model"), model);
    EXPECT_EQ(Outside("Line1"), model);
}

std::string ChangedLogo;
// Another program replaces the logo while the run waits for the lock.
HANDLE WINAPI CreateMutexChangingTheLogo(LPSECURITY_ATTRIBUTES security, BOOL owner, LPCSTR name)
{
    WriteWholeFile(ChangedLogo, picture_test::SampleBmp(3, 3));
    return ::CreateMutexA(security, owner, name);
}

// The logo was checked on one read and installed from a second one, so a
// file changed in between was installed unchecked.
TEST_F(CommandLineLogo, LogoChangedAfterItsCheckIsInstalledAsChecked)
{
    if (!Legacy())
        GTEST_SKIP() << "registry mode installs no bitmap";
    PrepareStore({{"Manufacturer", "M"}});
    ChangedLogo = Logo;
    TApiSwap<decltype(PlatformApi.CreateMutexA)> swap(PlatformApi.CreateMutexA, CreateMutexChangingTheLogo);
    ASSERT_EQ(Cli({"/apply", "Logo=" + Logo}).Code, 0);
    EXPECT_EQ(LogoFile(), Bmp);
}

// The field table is the one list of fields: every row of the store in force
// reaches every consumer, so a row cannot be half-added. /apply takes each
// (the schema) and writes it, /show gives it back in every form, and the
// store's own writers carry each text of the window's record.
TEST_F(CommandLine, EveryFieldRowReachesEveryConsumer)
{
    const TStoreMode mode = Legacy() ? TStoreMode::Legacy : TStoreMode::Registry;
    const TFieldList fields = OEMFieldsIn(mode);
    const TFieldSchema schema = SchemaOf(mode);
    EXPECT_EQ(schema.Fields, fields);
    for (const TOEMField* field : AllOEMFields()) {
        if (IsStoredIn(*field, mode))
            continue;
        EXPECT_NE(std::find(schema.OtherMode.begin(), schema.OtherMode.end(), field->Name), schema.OtherMode.end())
            << field->Name;
    }

    auto valueOf = [&](const TOEMField& field) {
        if (field.Kind == TFieldKind::Picture)
            return Logo;
        return (field.Kind == TFieldKind::Url ? "https://x.example/" : "v ") + std::string(field.Name);
    };
    auto outsideOf = [&](const TOEMField& field) {
        return field.Legacy == TLegacyHome::LogoFile && Legacy() ? Bmp : valueOf(field);
    };
    const std::string shownLogo = SystemDir() + "\\oemlogo.bmp";
    std::vector<std::string> args = {"/apply"};
    for (const TOEMField* field : fields)
        args.push_back(field->Name + ("=" + valueOf(*field)));
    const TRun apply = Cli(args);
    ASSERT_EQ(apply.Code, 0) << apply.Err;
    const TRun show = Cli({"/show"});
    EXPECT_EQ(show.Code, 0) << show.Err;
    for (const TOEMField* field : fields) {
        SCOPED_TRACE(field->Name);
        EXPECT_EQ(Outside(field->Name), outsideOf(*field));
        const std::string shown = field->Legacy == TLegacyHome::LogoFile && Legacy() ? shownLogo : valueOf(*field);
        EXPECT_NE(show.Out.find(field->Name + ("=" + shown) + "\r\n"), std::string::npos) << show.Out;
    }

    // Each form holds every field under its name; JSON and the .reg file
    // double a backslash, and the .reg file is UTF-16.
    auto utf16 = [](const std::string& ascii) { return Utf16(std::u16string(ascii.begin(), ascii.end())); };
    const struct {
        const char* format;
        std::function<std::string(const TOEMField&, const std::string&)> entry;
    } forms[] = {
        {"/format:json",
         [](const TOEMField& f, const std::string& v) {
             return "\"" + std::string(f.Name) + "\": {\"exists\": true, \"type\": " +
                    (Legacy() ? "null" : "\"REG_SZ\"") + ", \"value\": \"" + v + "\"";
         }},
        {"/format:reg",
         [&](const TOEMField& f, const std::string& v) { return utf16("\"" + std::string(f.Name) + "\"=\"" + v + "\""); }},
        {"/format:unattend",
         [](const TOEMField& f, const std::string& v) {
             const std::string element = f.AnswerElement ? f.AnswerElement : "(none)";
             return "<" + element + ">" + v + "</" + element + ">";
         }},
    };
    for (const auto& form : forms) {
        const std::string format = form.format;
        if (Legacy() && format != "/format:json")
            continue;
        SCOPED_TRACE(format);
        const TRun run = Cli({"/show", format});
        ASSERT_EQ(run.Code, 0) << run.Err;
        for (const TOEMField* field : fields) {
            const std::string value = field->Legacy == TLegacyHome::LogoFile && Legacy() ? shownLogo : valueOf(*field);
            std::string escaped;
            for (char c : value)
                escaped += c == '\\' && format != "/format:unattend" ? std::string("\\\\") : std::string(1, c);
            EXPECT_NE(run.Out.find(form.entry(*field, escaped)), std::string::npos) << field->Name << "\n" << run.Out;
        }
    }

    // The store's writers the window calls: each text of the record, in the
    // record's order, lands in the field of that row.
    ClearStore();
    std::vector<std::string> texts;
    std::vector<std::string> lines;
    for (const TOEMField* field : fields) {
        if (field->Text)
            texts.push_back(valueOf(*field));
        else if (field->Legacy == TLegacyHome::SupportLine)
            lines.push_back(valueOf(*field));
    }
    TPicture picture;
    picture.LoadFromFile(Logo);
    UnderStoreLock(
        [&] {
            if (Legacy()) {
                ASSERT_EQ(texts.size(), 3u);
                WriteIniOEMInfo(texts[0], texts[1], &picture, lines);
            } else {
                ASSERT_EQ(texts.size(), 6u);
                WriteRegOEMInfo(texts[0], texts[1], texts[2], texts[3], texts[4], texts[5]);
            }
        },
        [](const std::string&) {});
    for (const TOEMField* field : fields) {
        if (!field->Text && field->Legacy != TLegacyHome::SupportLine)
            continue;
        EXPECT_EQ(Outside(field->Name), outsideOf(*field)) << field->Name;
    }
}

}  // namespace

namespace {

BOOL WINAPI StubWriteConsoleW(HANDLE, const VOID*, DWORD, LPDWORD, LPVOID)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

}  // namespace

// /show's lines reach a console that is not redirected as the characters
// themselves; where WriteConsoleW is a stub (Windows 9x), in the console's
// code page, which lacks the CJK ones.
TEST(StdStream, WritesUnicodeToAConsoleAsWideText)
{
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    const THandle console(CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(console.Valid());
    const HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, console.Get());
    const struct {
        bool stub;
        std::wstring shown;
    } cases[] = {{false, L"M\xFCller \x8054\x60F3\xD83D\xDE00."}, {true, L"M\xFCller ??"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stub ? "stub" : "wide");
        DWORD done = 0;
        FillConsoleOutputCharacterW(console.Get(), L' ', 200, {0, 0}, &done);
        SetConsoleCursorPosition(console.Get(), {0, 0});
        const decltype(PlatformApi.WriteConsoleW) write = c.stub ? StubWriteConsoleW : PlatformApi.WriteConsoleW;
        TApiSwap<decltype(PlatformApi.WriteConsoleW)> swap(PlatformApi.WriteConsoleW, write);
        EXPECT_TRUE(TStdStream(STD_OUTPUT_HANDLE).WriteUnicode("\xEF\xBB\xBFM\xC3\xBCller \xE8\x81\x94\xE6\x83\xB3"
                                                               "\xF0\x9F\x98\x80."));
        std::wstring read(c.shown.size(), L'\xDDDD');
        ReadConsoleOutputCharacterW(console.Get(), &read[0], static_cast<DWORD>(read.size()), {0, 0}, &done);
        EXPECT_EQ(read, c.shown);
    }
    SetStdHandle(STD_OUTPUT_HANDLE, saved);
    FreeConsole();
}

namespace {
// The token of a run that is not elevated: no Administrators group enabled.
BOOL WINAPI NotAnAdministrator(HANDLE, PSID, PBOOL member)
{
    *member = FALSE;
    return TRUE;
}

HANDLE WINAPI RefusedMutex(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

HANDLE WINAPI RefusedOpenMutex(DWORD, BOOL, LPCSTR)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}
}  // namespace

// Without an administrator's rights, and refused the lock that another run
// made: /show, /test and /? read as they do elevated; /apply and /remove
// stop at once, saying why, with nothing written.
TEST_F(CommandLine, ReadingNeedsNoRightsAndChangingStopsAtOnce)
{
    TApiSwap<decltype(PlatformApi.CheckTokenMembership)> token(PlatformApi.CheckTokenMembership, NotAnAdministrator);
    TApiSwap<decltype(PlatformApi.CreateMutexA)> create(PlatformApi.CreateMutexA, RefusedMutex);
    TApiSwap<decltype(PlatformApi.OpenMutexA)> open(PlatformApi.OpenMutexA, RefusedOpenMutex);
    PrepareStore({{"Manufacturer", "M"}, {"Model", "X"}}, Legacy() ? Bmp : "");
    const std::string before = Snapshot();
    const std::string refusal =
        "Changing the OEM information needs an elevated prompt (Run as administrator); nothing was written.\r\n";
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out, err;  // "*" for any non-empty text
    } cases[] = {
        {{"/show"}, 0, "*", ""},
        {{"/show", "/format:json"}, 0, "*", ""},
        {{"/test", "Model=X"}, 0, "compliant\r\n", ""},
        {{"/test", "Model=Y"}, 1, "Model: \"X\" -> \"Y\"\r\ndrift in 1 field\r\n", ""},
        {{"/?"}, 0, "*", ""},
        {{"/apply", "Model=Y"}, 1, "", refusal},
        {{"/apply", "Model=X"}, 1, "", refusal},
        {{"/remove"}, 1, "", refusal},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
        const TRun run = Cli(c.args);
        EXPECT_EQ(run.Code, c.code) << run.Err;
        if (c.out == "*")
            EXPECT_FALSE(run.Out.empty());
        else
            EXPECT_EQ(run.Out, c.out);
        EXPECT_EQ(run.Err, c.err);
        EXPECT_EQ(Snapshot(), before);
    }
}
