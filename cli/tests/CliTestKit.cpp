#include "cli/tests/CliTestKit.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace clitest {

namespace {

const char KeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation";
const char* const ValueNames[] = {"Manufacturer", "Model", "SupportHours", "SupportPhone", "SupportURL", "Logo"};
const char Missing[] = "<missing>";

std::string IniPath()
{
    return SystemDir() + "\\oeminfo.ini";
}

std::string LogoPath()
{
    return SystemDir() + "\\oemlogo.bmp";
}

HKEY OpenKey64(REGSAM access)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath, 0, nullptr, 0, access | KEY_WOW64_64KEY, nullptr, &key, nullptr);
    return key;
}

// A value's type and bytes as one text; "<missing>" when there is none.
std::string RawValue(const char* name)
{
    DWORD type = REG_NONE;
    std::string data;
    if (!ReadRegValue64(HKEY_LOCAL_MACHINE, KeyPath, name, type, data))
        return Missing;
    return std::to_string(type) + ":" + data;
}

void SetRawValue(const char* name, const std::string& raw)
{
    HKEY key = OpenKey64(KEY_SET_VALUE);
    ASSERT_NE(key, nullptr);
    if (raw == Missing) {
        RegDeleteValueA(key, name);
    } else {
        const size_t colon = raw.find(':');
        const std::string data = raw.substr(colon + 1);
        RegSetValueExA(key, name, 0, std::stoul(raw.substr(0, colon)), reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
    }
    RegCloseKey(key);
}

std::string FileBytes(const std::string& path)
{
    std::string bytes;
    return ReadWholeFile(path, bytes) ? bytes : Missing;
}

void SetFileBytes(const std::string& path, const std::string& bytes)
{
    if (bytes == Missing) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    } else {
        EXPECT_TRUE(WriteWholeFile(path, bytes)) << path;
    }
}

}  // namespace

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
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

void PrepareStore(const std::vector<std::pair<std::string, std::string>>& fields)
{
    if (!Legacy()) {
        for (const char* name : ValueNames)
            SetRawValue(name, Missing);
        for (const auto& field : fields)
            SetRawValue(field.first.c_str(), std::to_string(REG_SZ) + ":" + field.second + '\0');
        return;
    }
    std::string general = "[General]\r\n", support;
    for (const auto& field : fields) {
        if (field.first == "Manufacturer" || field.first == "Model")
            general += field.first + "=" + field.second + "\r\n";
        else if (field.first != "Logo")
            support += field.first + "=" + field.second + "\r\n";
    }
    SetFileBytes(IniPath(), general + (support.empty() ? "" : "[Support Information]\r\n" + support));
}

void SetLogoFile(const std::string& bytes)
{
    SetFileBytes(LogoPath(), bytes.empty() ? Missing : bytes);
}

std::string Outside(const std::string& name)
{
    if (!Legacy()) {
        DWORD type = REG_NONE;
        std::string data;
        if (!ReadRegValue64(HKEY_LOCAL_MACHINE, KeyPath, name.c_str(), type, data))
            return Missing;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_TRUE(!data.empty() && data.back() == '\0') << name << " is stored without its NUL";
        return data.substr(0, data.find('\0'));
    }
    if (name == "Logo")
        return FileBytes(LogoPath());
    const char* section = name == "Manufacturer" || name == "Model" ? "General" : "Support Information";
    char value[4096] = {};
    GetPrivateProfileStringA(section, name.c_str(), Missing, value, sizeof value, IniPath().c_str());
    return value;
}

std::string Snapshot()
{
    if (Legacy())
        return FileBytes(IniPath()) + "|" + FileBytes(LogoPath());
    std::string all;
    for (const char* name : ValueNames)
        all += std::string(name) + "=" + RawValue(name) + "|";
    return all;
}

TStoreKeeper::TStoreKeeper()
{
    if (Legacy()) {
        saved_ = {{IniPath(), FileBytes(IniPath())}, {LogoPath(), FileBytes(LogoPath())}};
        return;
    }
    for (const char* name : ValueNames)
        saved_.emplace_back(name, RawValue(name));
}

TStoreKeeper::~TStoreKeeper()
{
    for (const auto& item : saved_) {
        if (Legacy())
            SetFileBytes(item.first, item.second);
        else
            SetRawValue(item.first.c_str(), item.second);
    }
}

}  // namespace clitest
