// The two OEM information stores as the window reads and writes them.
#include "WinOEMInfo.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/PlatformApi.h"
#include "base/ProfileFile.h"
#include "base/RegistryKey.h"
#include "base/ResText.h"
#include "base/WinFiles.h"
#include "base/WinHandles.h"
#include "base/Wow64.h"
#include "picture/PlainBitmap.h"

#include <cstring>

TStoreMode StoreMode()
{
    return WindowsMajorVersion < 6 ? TStoreMode::Legacy : TStoreMode::Registry;
}

namespace {

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

    TFileIdentity idA, idB;
    return ReadFileIdentity(a, idA) && ReadFileIdentity(b, idB) && idA == idB &&
           (idA.IndexHigh != 0 || idA.IndexLow != 0);
}

// The legacy store's [General] texts of `record` and `lines` as its support
// lines, into a new oeminfo.ini.
void WriteIniFile(const std::string& iniPath, const TOEMInfo& record, const std::vector<std::string>& lines)
{
    if (IsExistingFile(iniPath))
        PlatformApi.DeleteFileA(iniPath.c_str());
    TProfileFile profile(iniPath);
    bool written = true;
    for (const TOEMField* field : OEMFieldsIn(TStoreMode::Legacy))
        if (written && field->Legacy == TFieldHome::GeneralKey)
            written = profile.WriteString(GeneralSection, field->Name, record.*field->Text);
    for (size_t n = 1; written && n <= lines.size(); ++n)
        written = profile.WriteString(SupportSection, ("Line" + std::to_string(n)).c_str(), lines[n - 1]);
    if (!written)
        RaiseText(N_("Unable to write to %s"), {iniPath});
}

}  // namespace

// The legacy store works in the system directory that Windows itself reads:
// on 64-bit Windows before Vista, System Properties is a 64-bit program, so
// each operation switches the WOW64 redirection off while it reads or
// writes the files.

void ReadIniOEMInfo()
{
    WithRedirectionOff(IsWow64(), [] {
        OEMInfo.SupportLines = std::make_unique<std::vector<std::string>>();
        const TFieldList fields = OEMFieldsIn(TStoreMode::Legacy);
        const std::string iniPath = IniFilePath();
        if (IsExistingFile(iniPath)) {
            const TProfileFile profile(iniPath);
            for (const TOEMField* field : fields)
                if (field->Legacy == TFieldHome::GeneralKey)
                    OEMInfo.*field->Text = profile.ReadString(GeneralSection, field->Name, ValueBufferChars);
            for (const std::string& name : profile.ReadKeyNames(SupportSection, KeyNamesBufferChars))
                OEMInfo.SupportLines->push_back(profile.ReadString(SupportSection, name.c_str(), ValueBufferChars));
        }
        const std::string logoPath = LogoFilePath();
        for (const TOEMField* field : fields)
            if (field->Legacy == TFieldHome::LogoFile && IsExistingFile(logoPath))
                OEMInfo.*field->Text = logoPath;
    });
}

void WriteIniOEMInfo(const std::string& Manufacturer, const std::string& Model, const std::string& LogoPath,
                     const std::vector<std::string>& Lines)
{
    TOEMInfo record;
    record.Manufacturer = Manufacturer;
    record.Model = Model;
    const bool wow64 = IsWow64();
    const std::string logoPath = LogoFilePath();
    // Nothing to copy: no logo chosen, a chosen file that is gone, or the
    // installed logo itself (copying a file onto itself would fail).
    const bool install = WithRedirectionOff(wow64, [&] {
        WriteIniFile(IniFilePath(), record, Lines);
        return IsExistingFile(LogoPath) && !IsSameFile(LogoPath, logoPath);
    });
    if (!install)
        return;
    if (!InstallAsPlainBitmap(LogoPath, logoPath, wow64))
        RaiseText(N_("Unable to copy the logo to %s"), {logoPath});

    // The copy takes over the source's attributes: a logo picked from a
    // read-only medium would become a file that the next Apply cannot
    // replace and Remove cannot delete.
    WithRedirectionOff(wow64, [&] {
        DWORD attributes = GetFileAttributesA(logoPath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
            SetFileAttributesA(logoPath.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL);
        }
    });
}

void RemoveIniOEMInfo()
{
    WithRedirectionOff(IsWow64(), [] {
        const std::string paths[] = {IniFilePath(), LogoFilePath()};
        std::string kept[2];
        bool existed[2] = {};
        for (int i = 0; i < 2; ++i) {
            existed[i] = IsExistingFile(paths[i]);
            if (!existed[i])
                continue;
            // A file whose bytes cannot be kept could not be put back.
            TWholeFile file = ReadWholeFile(paths[i], MaxStoreFileBytes, FILE_SHARE_READ | FILE_SHARE_WRITE);
            if (!file.Read())
                RaiseText(N_("Unable to delete %s"), {paths[i]});
            kept[i] = std::move(file.Bytes);
        }
        // Claiming the information is gone while Windows still shows part of
        // it would mislead: a file that outlived its deletion is reported, and
        // the one deleted before it comes back.
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
    });
}

namespace {

// The text of one value: empty when it is missing, empty, or cannot be
// sized. The data is never trusted to end in a NUL.
std::string ReadRegText(const TRegistryKey& key, const char* name)
{
    const TRegData value = key.QueryText(name, MaxValueBytes);
    if (value.AtSizeQuery)
        return std::string();
    if (value.Result != ERROR_SUCCESS)
        RaiseText(N_("Failed to get data for '%s'"), {name});
    if (value.Bytes.empty())
        return std::string();
    if (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ)
        RaiseText(N_("Invalid data type for '%s'"), {name});
    return std::string(value.Bytes.c_str());
}

TRegistryKey OpenForWriting()
{
    TRegistryKey key;
    if (OpenOEMKey(key, TOEMKeyUse::Write) != ERROR_SUCCESS)
        RaiseText(N_("Unable to open registry key %s for writing"), {OEMKeyFullName});
    return key;
}

}  // namespace

void ReadRegOEMInfo()
{
    TRegistryKey key;
    if (OpenOEMKey(key, TOEMKeyUse::ReadCreating) != ERROR_SUCCESS)
        return;
    for (const TOEMField* field : RecordFields())
        OEMInfo.*field->Text = ReadRegText(key, field->Name);
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
    const TRegistryKey key = OpenForWriting();
    for (const TOEMField* field : RecordFields())
        if (key.SetText(field->Name, info.*field->Text) != ERROR_SUCCESS)
            RaiseText(N_("Failed to set data for '%s'"), {field->Name});
}

void RemoveRegOEMInfo()
{
    const TRegistryKey key = OpenForWriting();
    for (const TOEMField* field : OEMFieldsIn(TStoreMode::Registry))
        key.DeleteValue(field->Name);
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
