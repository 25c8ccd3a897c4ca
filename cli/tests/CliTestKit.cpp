#include "cli/tests/CliTestKit.h"

#include "base/Wow64.h"
#include "oeminfo/WinOEMInfo.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace clitest {

namespace {

const char KeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation";
const char Missing[] = "<missing>";

// The legacy store works in the system directory Windows reads, which a
// 32-bit program on 64-bit Windows reaches only as Sysnative.
std::string StoreDirOnDisk()
{
    if (!IsWow64())
        return SystemDir();
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\Sysnative";
}

// A value as "<type>:<bytes>", or a file's bytes; "<missing>" for none.
std::string Raw(const std::string& name)
{
    std::string data;
    DWORD type = REG_NONE;
    if (Legacy())
        return ReadFileInto(name, data) ? data : Missing;
    return ReadRegValue64(HKEY_LOCAL_MACHINE, KeyPath, name.c_str(), type, data) ? std::to_string(type) + ":" + data
                                                                                   : Missing;
}

void SetRaw(const std::string& name, const std::string& raw)
{
    if (Legacy()) {
        DeleteFileA(name.c_str());
        EXPECT_TRUE(raw == Missing || WriteWholeFile(name, raw)) << name;
        return;
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const size_t colon = raw.find(':');
    if (raw == Missing)
        RegDeleteValueA(key, name.c_str());
    else
        RegSetValueExA(key, name.c_str(), 0, std::stoul(raw.substr(0, colon)),
                       reinterpret_cast<const BYTE*>(raw.data() + colon + 1), static_cast<DWORD>(raw.size() - colon - 1));
    RegCloseKey(key);
}

std::vector<std::string> StoreParts()
{
    if (Legacy())
        return {IniPath(), LogoPath()};
    std::vector<std::string> names;
    for (const TOEMField* field : RecordFields())
        names.push_back(field->Name);
    for (const TOEMField* field : CommandLineOnlyFields())
        names.push_back(field->Name);
    return names;
}

}  // namespace

std::string IniPath() { return StoreDirOnDisk() + "\\oeminfo.ini"; }
std::string LogoPath() { return StoreDirOnDisk() + "\\oemlogo.bmp"; }

bool Legacy()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    return info.dwMajorVersion < 6;
}

std::string SystemDir()
{
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, MAX_PATH);
    return dir;
}

std::string TempDir()
{
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    std::string path = dir;
    return path.substr(0, path.find_last_not_of('\\') + 1);
}

void PrepareStore(const TFields& fields, const std::string& logo)
{
    ClearStore();
    if (!Legacy()) {
        const std::vector<std::string> values = StoreParts();
        for (const auto& field : fields)
            if (std::find(values.begin(), values.end(), field.first) != values.end())
                SetRaw(field.first, std::to_string(REG_SZ) + ":" + field.second + '\0');
        return;
    }
    std::string general = "[General]\r\n", support;
    for (const auto& field : fields)
        if (field.first != "Logo")
            (field.first == "Manufacturer" || field.first == "Model" ? general : support) +=
                field.first + "=" + field.second + "\r\n";
    SetRaw(IniPath(), general + (support.empty() ? "" : "[Support Information]\r\n" + support));
    if (!logo.empty())
        SetRaw(LogoPath(), logo);
}

std::string Outside(const std::string& name)
{
    if (Legacy() && name == "Logo")
        return Raw(LogoPath());
    if (Legacy()) {
        char value[4096] = {};
        const char* section = name == "Manufacturer" || name == "Model" ? "General" : "Support Information";
        GetPrivateProfileStringA(section, name.c_str(), Missing, value, sizeof value, IniPath().c_str());
        return value;
    }
    const std::string raw = Raw(name);
    EXPECT_TRUE(raw == Missing || (raw.rfind("1:", 0) == 0 && raw.back() == '\0')) << name << " is no REG_SZ";
    return raw == Missing ? raw : raw.substr(2, raw.find('\0') - 2);
}

std::string Snapshot()
{
    std::string all;
    for (const std::string& part : StoreParts())
        all += part + "=" + Raw(part) + "|";
    return all;
}

void SetWideValue(const std::string& name, const std::wstring& data, unsigned long type, bool terminated)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring wideName(name.begin(), name.end());
    // RegSetValueExW counts a NUL right after the data in, as NT does: an
    // unterminated value needs something else there.
    const std::wstring buffer = terminated ? data : data + L"?";
    RegSetValueExW(key, wideName.c_str(), 0, type, reinterpret_cast<const BYTE*>(buffer.c_str()),
                   static_cast<DWORD>((data.size() + (terminated ? 1 : 0)) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::wstring WideValue(const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyPath, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return L"<missing>";
    const std::wstring wideName(name.begin(), name.end());
    wchar_t data[4096] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    const LONG result = RegQueryValueExW(key, wideName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    const size_t length = size / sizeof(wchar_t);
    if (result != ERROR_SUCCESS || length == 0 || data[length - 1] != L'\0')
        return L"<missing>";
    return std::wstring(data, length - 1);
}

namespace {

HKEY OpenRawKey(bool view32)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath, 0, nullptr, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE | (view32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY), nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

}  // namespace

std::string Utf16(const std::u16string& text)
{
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

TRawValues RawKey(bool view32)
{
    TRawValues values;
    HKEY key = OpenRawKey(view32);
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::string bytes(size, '\xDD');
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size);
        bytes.resize(size);
        values[std::string(name, name + nameLength)] = {type, bytes};
    }
    RegCloseKey(key);
    return values;
}

void SetRawKey(const TRawValues& values, bool view32)
{
    HKEY key = OpenRawKey(view32);
    for (const auto& old : RawKey(view32))
        RegDeleteValueA(key, old.first.c_str());
    for (const auto& value : values) {
        const std::wstring name(value.first.begin(), value.first.end());
        // The wide function adds a NUL to a text that lacks one when a NUL
        // follows it in memory (as after a std::string's data): a text meant
        // without one must not be followed by one.
        const std::string data = value.second.Bytes + "\xDD\xDD";
        EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, value.second.Type, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(value.second.Bytes.size())),
                  ERROR_SUCCESS)
            << value.first;
    }
    RegCloseKey(key);
}

void ClearStore()
{
    for (const std::string& part : StoreParts())
        SetRaw(part, Missing);
}

}  // namespace clitest
