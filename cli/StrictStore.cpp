// The store in force read strictly and written back exactly for the command line.
#include "cli/StrictStore.h"

#include "base/AnsiText.h"
#include "base/Error.h"
#include "base/Format.h"
#include "base/PlatformApi.h"
#include "base/ResText.h"
#include "base/SystemError.h"
#include "base/WinFiles.h"
#include "base/WinHandles.h"
#include "base/Wow64.h"
#include "oeminfo/WinOEMInfo.h"

#include <algorithm>
#include <cstring>

namespace {

// Values larger than this are not believed; no OEM text comes near it.
const DWORD MaxValueBytes = 16u * 1024 * 1024;
// A value that keeps growing between the size query and the read is given
// up on after this many tries.
const int MaxReadAttempts = 4;
// No oeminfo.ini or OEM logo comes near this.
const uint64_t MaxStoreFileBytes = 64u * 1024 * 1024;

[[noreturn]] void Raise(const std::string& message)
{
    throw EMarquillError(message);
}

[[noreturn]] void RaiseFor(const char* englishTemplate, const std::string& argument)
{
    Raise(FormatText(ResText(englishTemplate), {argument}));
}

TStoredBytes ReadOEMValue(HKEY key, const std::string& name)
{
    const TWideText wideName = ToWide(name);
    TStoredBytes value;
    DWORD size = 0;
    LONG result = PlatformApi.RegQueryValueExW(key, wideName.c_str(), nullptr, nullptr, nullptr, &size);
    for (int attempt = 0; result != ERROR_FILE_NOT_FOUND && attempt < MaxReadAttempts; ++attempt) {
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
            Raise("The registry value " + name + " cannot be read: " + SystemErrorText(static_cast<DWORD>(result)));
        if (size > MaxValueBytes)
            break;
        value.Bytes.assign(size, '\0');
        DWORD got = size;
        result = PlatformApi.RegQueryValueExW(key, wideName.c_str(), nullptr, &value.Type,
                                              reinterpret_cast<BYTE*>(&value.Bytes[0]), &got);
        if (result == ERROR_MORE_DATA) {
            size = got > size ? got : size * 2;
            continue;
        }
        if (result != ERROR_SUCCESS)
            continue;
        if (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ)
            RaiseFor(N_("Invalid data type for '%s'"), name);
        value.Bytes.resize(got < size ? got : size);
        value.Present = true;
        return value;
    }
    if (result == ERROR_FILE_NOT_FOUND)
        return TStoredBytes();
    RaiseFor(N_("Failed to get data for '%s'"), name);
}

// Opens the OEM key for writing, creating it when missing.
TRegKey OpenForWriting()
{
    HKEY key = nullptr;
    if (PlatformApi.RegCreateKeyExA(HKEY_LOCAL_MACHINE, OEMKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw ENothingWritten(std::string("The registry key ") + OEMKeyFullName +
                              " could not be opened for writing; nothing was written");
    return TRegKey(key);
}

TWideText ReadWideProfileString(const wchar_t* section, const wchar_t* key, const TWideText& path,
                                   DWORD capacity)
{
    TWideText value(capacity, L'\0');
    DWORD length = GetPrivateProfileStringW(section, key, L"", &value[0], capacity, path.c_str());
    value.resize(length < capacity ? length : capacity - 1);
    return value;
}

}  // namespace

std::vector<TStoredBytes> ReadOEMValues(const std::vector<std::string>& names)
{
    std::vector<TStoredBytes> values(names.size());
    HKEY opened = nullptr;
    const LONG result =
        PlatformApi.RegOpenKeyExA(HKEY_LOCAL_MACHINE, OEMKeyPath, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened);
    if (result == ERROR_FILE_NOT_FOUND)
        return values;
    if (result != ERROR_SUCCESS)
        Raise(std::string("The registry key ") + OEMKeyFullName +
              " cannot be read: " + SystemErrorText(static_cast<DWORD>(result)));
    const TRegKey key(opened);
    for (size_t i = 0; i < names.size(); ++i)
        values[i] = ReadOEMValue(key.Get(), names[i]);
    return values;
}

bool OEMValueText(const TStoredBytes& value, std::string& text)
{
    TWideText wide(value.Bytes.size() / sizeof(wchar_t), L'\0');
    if (!wide.empty())
        std::memcpy(&wide[0], value.Bytes.data(), wide.size() * sizeof(wchar_t));
    if (!wide.empty() && wide.back() == L'\0')
        wide.pop_back();
    return ToAnsiExactly(wide, text);
}

void WriteOEMValues(const std::vector<std::string>& names, const std::vector<std::string>& texts)
{
    const TRegKey key = OpenForWriting();
    for (size_t i = 0; i < names.size(); ++i) {
        if (PlatformApi.RegSetValueExA(key.Get(), names[i].c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(texts[i].c_str()),
                                       static_cast<DWORD>(texts[i].size() + 1)) != ERROR_SUCCESS)
            RaiseFor(N_("Failed to set data for '%s'"), names[i]);
    }
}

void RestoreOEMValues(const std::vector<std::string>& names, const std::vector<TStoredBytes>& values)
{
    const TRegKey key = OpenForWriting();
    for (size_t i = 0; i < names.size(); ++i) {
        const TStoredBytes& value = values[i];
        const LONG result =
            value.Present
                ? PlatformApi.RegSetValueExW(key.Get(), ToWide(names[i]).c_str(), 0, value.Type,
                                             reinterpret_cast<const BYTE*>(value.Bytes.data()),
                                             static_cast<DWORD>(value.Bytes.size()))
                : PlatformApi.RegDeleteValueA(key.Get(), names[i].c_str());
        if (result != ERROR_SUCCESS && (value.Present || result != ERROR_FILE_NOT_FOUND))
            RaiseFor(N_("Failed to set data for '%s'"), names[i]);
    }
}

std::vector<TStoredBytes> ReadLegacyFiles()
{
    // The files the store itself reads and writes: on 64-bit Windows those
    // of the real system directory.
    TWow64RedirectionOff redirectionOff(IsWow64());
    std::vector<TStoredBytes> files;
    for (const std::string& path : {IniFilePath(), LogoFilePath()}) {
        TStoredBytes file;
        file.Present = IsExistingFile(path);
        if (file.Present) {
            TWholeFile whole = ReadWholeFile(path, MaxStoreFileBytes, FILE_SHARE_READ | FILE_SHARE_WRITE);
            if (!whole.Read())
                Raise(path + " cannot be read: " + SystemErrorText(whole.Error));
            file.Bytes = std::move(whole.Bytes);
        }
        files.push_back(std::move(file));
    }
    redirectionOff.Restore();
    return files;
}

void RestoreLegacyFiles(const std::vector<TStoredBytes>& files)
{
    TWow64RedirectionOff redirectionOff(IsWow64());
    const std::string paths[] = {IniFilePath(), LogoFilePath()};
    for (size_t i = 0; i < files.size(); ++i) {
        if (!files[i].Present && IsExistingFile(paths[i]))
            PlatformApi.DeleteFileA(paths[i].c_str());
        const bool restored = files[i].Present ? WriteFileBytes(paths[i], files[i].Bytes) : !IsExistingFile(paths[i]);
        if (!restored)
            RaiseFor(N_("Unable to write to %s"), paths[i]);
    }
    redirectionOff.Restore();
}

bool ReadIniWide(TWideIniRecord& record)
{
    record = TWideIniRecord();
    if (!IsNtFamily())
        return false;
    TWow64RedirectionOff redirectionOff(IsWow64());
    const std::string path = IniFilePath();
    if (!IsExistingFile(path))
        return true;
    // As the store's reader: values of up to 2047 characters, the support
    // lines in file order, a key list cut short losing its last name.
    const DWORD valueChars = 2048, namesChars = 16384;
    const TWideText widePath = ToWide(path);
    const wchar_t general[] = L"General", support[] = L"Support Information";
    record.Manufacturer = ReadWideProfileString(general, L"Manufacturer", widePath, valueChars);
    record.Model = ReadWideProfileString(general, L"Model", widePath, valueChars);
    TWideText names(namesChars, L'\0');
    DWORD length = GetPrivateProfileStringW(support, nullptr, L"", &names[0], namesChars, widePath.c_str());
    const bool truncated = length >= namesChars - 2;
    names.resize(length < namesChars ? length : namesChars - 1);
    for (size_t start = 0; start < names.size();) {
        const size_t end = std::min(names.find(L'\0', start), names.size());
        record.Lines.push_back(
            ReadWideProfileString(support, names.substr(start, end - start).c_str(), widePath, valueChars));
        start = end + 1;
    }
    if (truncated && !record.Lines.empty())
        record.Lines.pop_back();
    redirectionOff.Restore();
    return true;
}
