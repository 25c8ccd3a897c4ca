// Profile files through the platform's profile functions.
#include "base/ProfileFile.h"

#include "base/AnsiText.h"
#include "base/KeyList.h"
#include "base/PlatformApi.h"

namespace {

// The first buffer holds every value the store normally has; each step
// takes four times as much, so even the cap is reached in a few reads.
constexpr DWORD FirstValueChars = 2048;

// `read(buffer, capacity)` gives the characters it put there, at most
// capacity - 1: that many means the value may go on past the buffer.
template <class TText, class TRead> TText ReadGrowing(DWORD maxChars, TRead read)
{
    DWORD capacity = maxChars < FirstValueChars ? maxChars : FirstValueChars;
    for (;;) {
        TText value(capacity, typename TText::value_type());
        const DWORD length = read(&value[0], capacity);
        value.resize(length < capacity ? length : capacity - 1);
        if (value.size() + 1 < capacity || capacity >= maxChars)
            return value;
        capacity = capacity > maxChars / 4 ? maxChars : capacity * 4;
    }
}

}  // namespace

TProfileFile::TProfileFile(std::string path) : path_(std::move(path)) {}

TProfileFile::~TProfileFile()
{
    PlatformApi.WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}

std::string TProfileFile::ReadString(const char* section, const char* key, DWORD maxChars) const
{
    return ReadGrowing<std::string>(maxChars, [&](char* buffer, DWORD capacity) {
        return PlatformApi.GetPrivateProfileStringA(section, key, "", buffer, capacity, path_.c_str());
    });
}

std::vector<std::string> TProfileFile::ReadKeyNames(const char* section, DWORD capacity) const
{
    std::string names(capacity, '\0');
    const DWORD length =
        PlatformApi.GetPrivateProfileStringA(section, nullptr, "", &names[0], capacity, path_.c_str());
    return SplitKeyList<std::string>(names.data(), length, capacity);
}

TWideText TProfileFile::ReadWideString(const TWideText& section, const TWideText& key, DWORD maxChars) const
{
    const TWideText path = ToWide(path_);
    return ReadGrowing<TWideText>(maxChars, [&](wchar_t* buffer, DWORD capacity) {
        return GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer, capacity, path.c_str());
    });
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
