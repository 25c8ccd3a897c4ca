// Profile files through the platform's profile functions.
#include "base/ProfileFile.h"

#include "base/AnsiText.h"
#include "base/KeyList.h"
#include "base/PlatformApi.h"

TProfileFile::TProfileFile(std::string path) : path_(std::move(path)) {}

TProfileFile::~TProfileFile()
{
    PlatformApi.WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}

std::string TProfileFile::ReadString(const char* section, const char* key, DWORD capacity) const
{
    std::string value(capacity, '\0');
    const DWORD length =
        PlatformApi.GetPrivateProfileStringA(section, key, "", &value[0], capacity, path_.c_str());
    value.resize(length < capacity ? length : capacity - 1);
    return value;
}

std::vector<std::string> TProfileFile::ReadKeyNames(const char* section, DWORD capacity) const
{
    std::string names(capacity, '\0');
    const DWORD length =
        PlatformApi.GetPrivateProfileStringA(section, nullptr, "", &names[0], capacity, path_.c_str());
    return SplitKeyList<std::string>(names.data(), length, capacity);
}

TWideText TProfileFile::ReadWideString(const TWideText& section, const TWideText& key, DWORD capacity) const
{
    TWideText value(capacity, L'\0');
    const DWORD length =
        GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", &value[0], capacity, ToWide(path_).c_str());
    value.resize(length < capacity ? length : capacity - 1);
    return value;
}

std::vector<TWideText> TProfileFile::ReadWideKeyNames(const TWideText& section, DWORD capacity) const
{
    TWideText names(capacity, L'\0');
    const DWORD length =
        GetPrivateProfileStringW(section.c_str(), nullptr, L"", &names[0], capacity, ToWide(path_).c_str());
    return SplitKeyList<TWideText>(names.data(), length, capacity);
}

bool TProfileFile::WriteString(const char* section, const char* key, const std::string& value) const
{
    return PlatformApi.WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str()) != FALSE;
}
