// The two OEM information stores: the legacy INI store and the registry store.
#include "WinOEMInfo.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/PlatformApi.h"
#include "base/ResText.h"
#include "base/WinFiles.h"
#include "base/WinHandles.h"
#include "base/Wow64.h"
#include "picture/PlainBitmap.h"

#include <cstring>

TOEMInfo OEMInfo;

const TOEMField OEMFields[OEMFieldCount] = {
    {"Manufacturer", &TOEMInfo::Manufacturer, true}, {"Model", &TOEMInfo::Model, true},
    {"SupportHours", &TOEMInfo::SupportHours, false}, {"SupportPhone", &TOEMInfo::SupportPhone, false},
    {"SupportURL", &TOEMInfo::SupportURL, false},     {"Logo", &TOEMInfo::Logo, true},
};

const char* const OEMNewerValues[OEMNewerValueCount] = {"SupportProvider", "SupportAppURL"};

TStoreMode StoreMode()
{
    return WindowsMajorVersion < 6 ? TStoreMode::Legacy : TStoreMode::Registry;
}

std::string GetSystemDir()
{
    char dir[MAX_PATH] = {};
    PlatformApi.GetSystemDirectoryA(dir, MAX_PATH);
    // A directory too long for the buffer leaves it untouched (empty), never
    // unterminated.
    dir[MAX_PATH - 1] = '\0';
    return dir;
}

std::string IniFilePath()
{
    return GetSystemDir() + "\\oeminfo.ini";
}

std::string LogoFilePath()
{
    return GetSystemDir() + "\\oemlogo.bmp";
}

namespace {

const char GeneralSection[] = "General";
const char SupportSection[] = "Support Information";
const DWORD ValueBufferChars = 2048;
const DWORD KeyNamesBufferBytes = 16384;
// No OEM logo or oeminfo.ini comes near this; a larger file is not kept.
const uint64_t MaxKeptFileBytes = 64u * 1024 * 1024;

// The profile file an INI operation works on. Windows may keep a cached copy
// of a profile file; letting go of it asks for that copy to reach the disk.
class TProfileFile {
public:
    explicit TProfileFile(std::string path) : Path(std::move(path)) {}
    ~TProfileFile() { PlatformApi.WritePrivateProfileStringA(nullptr, nullptr, nullptr, Path.c_str()); }
    TProfileFile(const TProfileFile&) = delete;
    TProfileFile& operator=(const TProfileFile&) = delete;

    std::string ReadString(const char* section, const char* key) const
    {
        char value[ValueBufferChars] = {};
        DWORD length =
            PlatformApi.GetPrivateProfileStringA(section, key, "", value, ValueBufferChars, Path.c_str());
        if (length >= ValueBufferChars)
            length = ValueBufferChars - 1;
        value[length] = '\0';
        return value;
    }

    // The key names of `section` in file order. A line "=b" has an empty
    // name: it is listed as a zero-length entry, which only the returned
    // length tells from the list's end, and looking up "" gives its value.
    // When the names overflow the buffer, the last one comes back cut short;
    // it is dropped so that no made-up name is looked up.
    std::vector<std::string> ReadKeyNames(const char* section) const
    {
        std::vector<char> names(KeyNamesBufferBytes, '\0');
        DWORD length = PlatformApi.GetPrivateProfileStringA(section, nullptr, "", names.data(), KeyNamesBufferBytes,
                                                            Path.c_str());
        bool truncated = length >= KeyNamesBufferBytes - 2;
        if (length > KeyNamesBufferBytes - 1)
            length = KeyNamesBufferBytes - 1;
        names[length] = '\0';

        std::vector<std::string> result;
        const char* end = names.data() + length;
        for (const char* name = names.data(); name < end;) {
            size_t nameLength = strnlen(name, static_cast<size_t>(end - name));
            result.emplace_back(name, nameLength);
            name += nameLength + 1;
        }
        if (truncated && !result.empty())
            result.pop_back();
        return result;
    }

    bool WriteString(const char* section, const char* key, const std::string& value) const
    {
        return PlatformApi.WritePrivateProfileStringA(section, key, value.c_str(), Path.c_str()) != FALSE;
    }

    const std::string& FilePath() const { return Path; }

private:
    std::string Path;
};

[[noreturn]] void RaiseFor(const char* englishTemplate, const std::string& argument)
{
    throw EMarquillError(FormatText(ResText(englishTemplate), {argument}));
}

// Whether two paths name one file: the same full path in any letter case, or
// (reached by another name) the same file on the same volume.
bool IsSameFile(const std::string& a, const std::string& b)
{
    char fullA[MAX_PATH] = {};
    char fullB[MAX_PATH] = {};
    DWORD lengthA = GetFullPathNameA(a.c_str(), MAX_PATH, fullA, nullptr);
    DWORD lengthB = GetFullPathNameA(b.c_str(), MAX_PATH, fullB, nullptr);
    if (lengthA > 0 && lengthA < MAX_PATH && lengthB > 0 && lengthB < MAX_PATH && lstrcmpiA(fullA, fullB) == 0)
        return true;

    auto identify = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        THandle file(PlatformApi.CreateFileA(path.c_str(), 0, share | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                             nullptr));
        // Windows 95, 98 and ME know no FILE_SHARE_DELETE and refuse it.
        if (!file.Valid() && GetLastError() == ERROR_INVALID_PARAMETER)
            file.Reset(PlatformApi.CreateFileA(path.c_str(), 0, share, nullptr, OPEN_EXISTING, 0, nullptr));
        return file.Valid() && GetFileInformationByHandle(file.Get(), &info) != FALSE;
    };
    BY_HANDLE_FILE_INFORMATION infoA = {};
    BY_HANDLE_FILE_INFORMATION infoB = {};
    if (!identify(a, infoA) || !identify(b, infoB))
        return false;
    return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow &&
           (infoA.nFileIndexHigh != 0 || infoA.nFileIndexLow != 0);
}

}  // namespace

// The legacy store works in the system directory that Windows itself reads:
// on 64-bit Windows before Vista, System Properties is a 64-bit program, so
// each operation switches the WOW64 redirection off while it runs.

void ReadIniOEMInfo()
{
    TWow64RedirectionOff redirectionOff(IsWow64());
    OEMInfo.SupportLines = std::make_unique<std::vector<std::string>>();

    std::string iniPath = IniFilePath();
    if (IsExistingFile(iniPath)) {
        TProfileFile profile(iniPath);
        OEMInfo.Manufacturer = profile.ReadString(GeneralSection, "Manufacturer");
        OEMInfo.Model = profile.ReadString(GeneralSection, "Model");
        for (const std::string& name : profile.ReadKeyNames(SupportSection))
            OEMInfo.SupportLines->push_back(profile.ReadString(SupportSection, name.c_str()));
    }

    std::string logoPath = LogoFilePath();
    if (IsExistingFile(logoPath))
        OEMInfo.Logo = logoPath;
    redirectionOff.Restore();
}

void WriteIniOEMInfo(const std::string& Manufacturer, const std::string& Model, const std::string& LogoPath,
                     const std::vector<std::string>& Lines)
{
    TWow64RedirectionOff redirectionOff(IsWow64());
    std::string iniPath = IniFilePath();
    if (IsExistingFile(iniPath))
        PlatformApi.DeleteFileA(iniPath.c_str());

    {
        TProfileFile profile(iniPath);
        bool written = profile.WriteString(GeneralSection, "Manufacturer", Manufacturer) &&
                       profile.WriteString(GeneralSection, "Model", Model);
        for (size_t n = 1; written && n <= Lines.size(); ++n)
            written = profile.WriteString(SupportSection, ("Line" + std::to_string(n)).c_str(), Lines[n - 1]);
        if (!written)
            RaiseFor(N_("Unable to write to %s"), iniPath);
    }

    // Nothing to copy: no logo chosen, a chosen file that is gone, or the
    // installed logo itself (copying a file onto itself would fail).
    std::string logoPath = LogoFilePath();
    if (!IsExistingFile(LogoPath) || IsSameFile(LogoPath, logoPath)) {
        redirectionOff.Restore();
        return;
    }
    if (!InstallAsPlainBitmap(LogoPath, logoPath))
        RaiseFor(N_("Unable to copy the logo to %s"), logoPath);

    // The copy takes over the source's attributes: a logo picked from a
    // read-only medium would become a file that the next Apply cannot
    // replace and Remove cannot delete.
    DWORD attributes = GetFileAttributesA(logoPath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        SetFileAttributesA(logoPath.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL);
    }
    redirectionOff.Restore();
}

void RemoveIniOEMInfo()
{
    TWow64RedirectionOff redirectionOff(IsWow64());
    const std::string paths[] = {IniFilePath(), LogoFilePath()};
    std::string kept[2];
    bool existed[2] = {};
    for (int i = 0; i < 2; ++i) {
        existed[i] = IsExistingFile(paths[i]);
        if (!existed[i])
            continue;
        // A file whose bytes cannot be kept could not be put back.
        TWholeFile file = ReadWholeFile(paths[i], MaxKeptFileBytes, FILE_SHARE_READ | FILE_SHARE_WRITE);
        if (!file.Read())
            RaiseFor(N_("Unable to delete %s"), paths[i]);
        kept[i] = std::move(file.Bytes);
    }
    // Claiming the information is gone while Windows still shows part of it
    // would mislead: a file that outlived its deletion is reported, and the
    // one deleted before it comes back.
    for (int i = 0; i < 2; ++i) {
        if (!existed[i])
            continue;
        PlatformApi.DeleteFileA(paths[i].c_str());
        if (!IsExistingFile(paths[i]))
            continue;
        std::string message = FormatText(ResText(N_("Unable to delete %s")), {paths[i]});
        for (int j = 0; j < i; ++j)
            if (existed[j] && !WriteFileBytes(paths[j], kept[j]))
                message += ". " + FormatText(ResText(N_("Unable to restore %s")), {paths[j]});
        throw EMarquillError(message);
    }
    redirectionOff.Restore();
}

const char OEMKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation";
const char OEMKeyFullName[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation";

namespace {

const REGSAM ReadAccess = KEY_READ | KEY_WOW64_64KEY;
const REGSAM WriteAccess = KEY_WRITE | KEY_WOW64_64KEY;
static_assert(ReadAccess == 0x20119, "read access mask");
static_assert(WriteAccess == 0x20106, "write access mask");

// Values larger than this are not believed; no OEM text comes near it.
const DWORD MaxValueBytes = 64u * 1024 * 1024;
// A value that keeps growing between the size query and the read is given
// up on after this many tries.
const int MaxReadAttempts = 4;

// Opens (creating when missing) the OEM key in the 64-bit view; empty when
// the platform refuses.
TRegKey OpenOEMKey(REGSAM access)
{
    HKEY key = nullptr;
    LONG result = PlatformApi.RegCreateKeyExA(HKEY_LOCAL_MACHINE, OEMKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                              access, nullptr, &key, nullptr);
    return TRegKey(result == ERROR_SUCCESS ? key : nullptr);
}

// The text of one value: empty when it is missing or empty. The data is
// never trusted to end in a NUL or to keep the size first reported.
std::string ReadRegText(HKEY key, const char* name)
{
    DWORD size = 0;
    if (PlatformApi.RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return std::string();

    for (int attempt = 0; attempt < MaxReadAttempts; ++attempt) {
        if (size > MaxValueBytes)
            break;
        std::vector<char> data(static_cast<size_t>(size) + 1, '\0');
        DWORD type = REG_NONE;
        DWORD got = size;
        LONG result =
            PlatformApi.RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
        if (result == ERROR_MORE_DATA && got > size) {
            size = got;
            continue;
        }
        if (result != ERROR_SUCCESS)
            break;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            RaiseFor(N_("Invalid data type for '%s'"), name);
        if (got > size)
            got = size;
        return std::string(data.data(), strnlen(data.data(), got));
    }
    RaiseFor(N_("Failed to get data for '%s'"), name);
}

}  // namespace

void ReadRegOEMInfo()
{
    TRegKey key = OpenOEMKey(ReadAccess);
    if (!key.Valid())
        return;
    for (const TOEMField& field : OEMFields)
        OEMInfo.*field.Text = ReadRegText(key.Get(), field.Name);
}

void WriteRegOEMInfo(const std::string& Manufacturer, const std::string& Model, const std::string& SupportHours,
                     const std::string& SupportPhone, const std::string& SupportURL, const std::string& Logo)
{
    TOEMInfo info;
    info.Manufacturer = Manufacturer;
    info.Model = Model;
    info.SupportHours = SupportHours;
    info.SupportPhone = SupportPhone;
    info.SupportURL = SupportURL;
    info.Logo = Logo;
    WriteRegOEMInfo(info);
}

void WriteRegOEMInfo(const TOEMInfo& info)
{
    TRegKey key = OpenOEMKey(WriteAccess);
    if (!key.Valid())
        RaiseFor(N_("Unable to open registry key %s for writing"), OEMKeyFullName);
    for (const TOEMField& field : OEMFields) {
        const std::string& text = info.*field.Text;
        LONG result = PlatformApi.RegSetValueExA(key.Get(), field.Name, 0, REG_SZ,
                                                 reinterpret_cast<const BYTE*>(text.c_str()),
                                                 static_cast<DWORD>(text.size() + 1));
        if (result != ERROR_SUCCESS)
            RaiseFor(N_("Failed to set data for '%s'"), field.Name);
    }
}

void RemoveRegOEMInfo()
{
    TRegKey key = OpenOEMKey(WriteAccess);
    if (!key.Valid())
        RaiseFor(N_("Unable to open registry key %s for writing"), OEMKeyFullName);
    for (const TOEMField& field : OEMFields)
        PlatformApi.RegDeleteValueA(key.Get(), field.Name);
    for (const char* name : OEMNewerValues)
        PlatformApi.RegDeleteValueA(key.Get(), name);
}

void ReadOEMInfo(TStoreMode mode)
{
    if (mode == TStoreMode::Legacy)
        ReadIniOEMInfo();
    else
        ReadRegOEMInfo();
}

void WriteOEMInfo(TStoreMode mode, const TOEMInfo& record)
{
    if (mode == TStoreMode::Registry) {
        WriteRegOEMInfo(record);
        return;
    }
    const std::vector<std::string> noLines;
    WriteIniOEMInfo(record.Manufacturer, record.Model, record.Logo,
                    record.SupportLines ? *record.SupportLines : noLines);
}

void RemoveOEMInfo(TStoreMode mode)
{
    if (mode == TStoreMode::Legacy)
        RemoveIniOEMInfo();
    else
        RemoveRegOEMInfo();
}
