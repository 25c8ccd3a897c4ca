// The .reg output as `reg import /reg:64` reads it into the real key: each
// value must come back with its type and every byte, and an absent field
// must delete what was there. Only reg.exe can say what it restores.
#include <windows.h>

#include "cli/ShowFormats.h"
#include "cli/tests/CliTestKit.h"

#include <gtest/gtest.h>

namespace {

using namespace clitest;
using namespace std::string_literals;

// reg.exe's exit code, or -1 when it did not run to its end.
int RegImport(const std::wstring& file)
{
    std::wstring command = L"reg.exe import \"" + file + L"\" /reg:64";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

TEST(RegFormat, RegImportRestoresEveryValueByteForByte)
{
    const struct {
        const char* name;
        TRawValue data;  // Type 0: the field is absent
    } cases[] = {
        {"Manufacturer", {REG_SZ, Utf16(u"Acme Corporation\0"s)}},
        {"Model", {REG_SZ, Utf16(u"X1 \"Pro\" C:\\dir\\ \\\\server\\\0"s)}},
        {"SupportHours", {REG_SZ, Utf16(u"Mon\tFri\r\n9-5\rx\ny\0"s)}},
        {"Logo", {REG_EXPAND_SZ, Utf16(u"%SystemRoot%\\system32\\oem.bmp\0"s)}},
        {"SupportPhone", {REG_SZ, Utf16(u"\u8054\u60F3 \u0416\u0443\u043A \U0001F600 \u00E9\0"s)}},
        {"SupportURL", {REG_SZ, Utf16(u"\0"s)}},
        {"SupportProvider", {REG_SZ, Utf16(u"nul\0inside\0"s)}},
        {"SupportAppURL", {0, ""}},
        {"TradeInURL", {REG_SZ, Utf16(std::u16string(2047, u'w') + u'\0')}},
        {"RecycleURL", {REG_EXPAND_SZ, Utf16(std::u16string(1000, u'%') + u"\t\0"s)}},
        {"Unpaired", {REG_SZ, Utf16(u"a\xD800z\xDC00\0"s)}},
    };
    TShownStore store;
    TRawValues expected;
    for (const auto& c : cases) {
        TShownValue value;
        value.Name = c.name;
        value.Present = c.data.Type != 0;
        value.Type = c.data.Type;
        value.Bytes = c.data.Bytes;
        store.Fields.push_back(value);
        if (value.Present)
            expected[c.name] = c.data;
    }
    const TFormatResult result = FormatReg(store);
    ASSERT_EQ(result.Error, "");

    wchar_t dir[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, dir), 0u);
    const std::wstring file = std::wstring(dir) + L"marquill-regformat.reg";
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(handle, result.Output.data(), static_cast<DWORD>(result.Output.size()), &written, nullptr);
    CloseHandle(handle);
    ASSERT_EQ(written, result.Output.size());

    // What the import must replace or delete: other types, other data, and
    // a value for the absent field.
    SetRawKey({{"SupportAppURL", {REG_SZ, Utf16(u"stale\0"s)}},
            {"Logo", {REG_SZ, Utf16(u"C:\\old.bmp\0"s)}},
            {"Model", {REG_EXPAND_SZ, Utf16(u"old\0"s)}}});
    EXPECT_EQ(RegImport(file), 0);
    const TRawValues restored = RawKey();
    SetRawKey({});
    DeleteFileW(file.c_str());

    for (const auto& want : expected) {
        const auto got = restored.find(want.first);
        if (got == restored.end())
            ADD_FAILURE() << want.first << " is missing";
        else
            EXPECT_EQ(got->second, want.second) << want.first;
    }
    for (const auto& got : restored)
        EXPECT_TRUE(expected.count(got.first)) << got.first << " should not be there: " << got.second;
}

}  // namespace
