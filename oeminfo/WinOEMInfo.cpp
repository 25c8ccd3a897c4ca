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
#include "base/SafeFiles.h"
#include "oeminfo/LogoFile.h"
#include "oeminfo/StrictStore.h"
#include "picture/Picture.h"
#include "picture/PlainBitmap.h"

#include <cstring>

TStoreMode StoreMode()
{
    return WindowsMajorVersion < 6 ? TStoreMode::Legacy : TStoreMode::Registry;
}

namespace {

// The legacy store's [General] texts of `record` and `lines` as its support
// lines, into a new oeminfo.ini that replaces the old one in one step: a
// run killed part-way leaves the old file or the new one.
void WriteIniFile(const std::string& iniPath, const TOEMInfo& record, const std::vector<std::string>& lines)
{
    TFileReplacement replacement(iniPath);
    bool written = replacement.Prepare();
    {
        const TProfileFile profile(replacement.NewPath());
        for (const TOEMField* field : OEMFieldsIn(TStoreMode::Legacy))
            if (written && field->Legacy == TFieldHome::GeneralKey)
                written = profile.WriteString(GeneralSection, field->Name, record.*field->Text);
        for (size_t n = 1; written && n <= lines.size(); ++n)
            written = profile.WriteString(SupportSection, ("Line" + std::to_string(n)).c_str(), lines[n - 1]);
    }  // letting go of the profile flushes it to the new file
    if (!written || !replacement.Commit())
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
                    OEMInfo.*field->Text = profile.ReadString(GeneralSection, field->Name, MaxValueChars);
            for (const std::string& name : profile.ReadKeyNames(SupportSection, KeyNamesBufferChars))
                OEMInfo.SupportLines->push_back(profile.ReadString(SupportSection, name.c_str(), MaxValueChars));
        }
        const std::string logoPath = LogoFilePath();
        for (const TOEMField* field : fields)
            if (field->Legacy == TFieldHome::LogoFile && IsExistingFile(logoPath))
                OEMInfo.*field->Text = logoPath;
    });
}

void WriteIniOEMInfo(const std::string& Manufacturer, const std::string& Model, const TPicture* Logo,
                     const std::vector<std::string>& Lines)
{
    TOEMInfo record;
    record.Manufacturer = Manufacturer;
    record.Model = Model;
    const std::string logoPath = LogoFilePath();
    // Drawn before anything is written, with the redirection on.
    std::string logo;
    const bool install = Logo && !Logo->Empty();
    if (install && !LogoBitmapBytes(*Logo, TLogoTarget::Legacy, logo))
        RaiseText(N_("Unable to copy the logo to %s"), {logoPath});
    WithRedirectionOff(IsWow64(), [&] {
        WriteIniFile(IniFilePath(), record, Lines);
        if (install && !ReplaceFileBytes(logoPath, logo))
            RaiseText(N_("Unable to copy the logo to %s"), {logoPath});
    });
}

void RemoveIniOEMInfo()
{
    // Each file is moved aside, not read: any file the store can hold goes,
    // whatever its size and attributes; only when both are away is either
    // deleted.
    WithRedirectionOff(IsWow64(), [] {
        const std::string paths[] = {IniFilePath(), LogoFilePath()};
        bool moved[2] = {};
        for (int i = 0; i < 2; ++i) {
            if (!IsExistingFile(paths[i]))
                continue;
            moved[i] = MoveAside(paths[i]);
            if (moved[i])
                continue;
            // Claiming the information is gone while Windows still shows part
            // of it would mislead: the file moved before comes back.
            std::string message = FormatText(ResText(N_("Unable to delete %s")), {paths[i]});
            for (int j = 0; j < i; ++j)
                if (moved[j] && !PutBack(paths[j]))
                    AppendError(message, FormatText(ResText(N_("Unable to restore %s")), {paths[j]}));
            throw EMarquillError(message);
        }
        // An aside file that will not go now is a leftover the next run clears.
        for (int i = 0; i < 2; ++i)
            if (moved[i])
                DropAside(paths[i]);
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

}  // namespace

TRegistryKey OpenOEMKeyForWriting(TKeyRefusal refusal)
{
    TRegistryKey key;
    if (OpenOEMKey(key, TOEMKeyUse::Write) == ERROR_SUCCESS)
        return key;
    if (refusal == TKeyRefusal::NothingWritten)
        throw ENothingWritten(std::string("The registry key ") + OEMKeyFullName +
                              " could not be opened for writing; nothing was written");
    RaiseText(N_("Unable to open registry key %s for writing"), {OEMKeyFullName});
}

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

namespace {

// The type each record text is written with: REG_EXPAND_SZ where the value
// is stored so with that very text (an expandable Logo the user left as it
// was keeps its type), else REG_SZ.
std::vector<DWORD> TypesToWrite(const TRegistryKey& key, const TOEMInfo& info)
{
    const TFieldList fields = RecordFields();
    std::vector<DWORD> types(fields.size(), REG_SZ);
    for (size_t i = 0; i < fields.size(); ++i) {
        const TRegData value = key.QueryText(fields[i]->Name, MaxValueBytes);
        if (value.Result == ERROR_SUCCESS && value.Type == REG_EXPAND_SZ &&
            std::string(value.Bytes.c_str()) == info.*fields[i]->Text)
            types[i] = REG_EXPAND_SZ;
    }
    return types;
}

// Whether the stored Logo names the store's own logo file, which a
// conversion wrote.
bool StoredLogoIsTheLogoFile(const TRegistryKey& key)
{
    for (const TOEMField* field : RecordFields()) {
        if (field->Kind != TFieldKind::Picture)
            continue;
        const TRegData value = key.QueryText(field->Name, MaxValueBytes);
        if (value.Result == ERROR_SUCCESS && (value.Type == REG_SZ || value.Type == REG_EXPAND_SZ) &&
            NamesLogoFile(value.Bytes.c_str(), value.Type == REG_EXPAND_SZ))
            return true;
    }
    return false;
}

}  // namespace

void WriteRegOEMInfo(const TOEMInfo& info)
{
    const TRegistryKey key = OpenOEMKeyForWriting(TKeyRefusal::StandardText);
    const std::vector<DWORD> types = TypesToWrite(key, info);
    const TFieldList fields = RecordFields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (key.SetText(fields[i]->Name, info.*fields[i]->Text, types[i]) != ERROR_SUCCESS)
            RaiseText(N_("Failed to set data for '%s'"), {fields[i]->Name});
}

void RemoveRegOEMInfo()
{
    const TRegistryKey key = OpenOEMKeyForWriting(TKeyRefusal::StandardText);
    // The logo file a conversion wrote goes with the value naming it: moved
    // aside first, deleted once the value is gone, else put back.
    const bool wow64 = IsWow64();
    const std::string logoPath = LogoFilePath();
    const bool moved = StoredLogoIsTheLogoFile(key) && WithRedirectionOff(wow64, [&] {
        if (!IsExistingFile(logoPath))
            return false;
        if (!MoveAside(logoPath))
            RaiseText(N_("Unable to delete %s"), {logoPath});
        return true;
    });
    // Claiming the information is gone while Windows still shows a value
    // would mislead: a refusal is an error, raised once every value was tried.
    bool logoKept = false;
    const char* refused = nullptr;
    for (const TOEMField* field : OEMFieldsIn(TStoreMode::Registry)) {
        const LONG result = key.DeleteValue(field->Name);
        if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND)
            continue;
        logoKept = logoKept || field->Kind == TFieldKind::Picture;
        refused = refused ? refused : field->Name;
    }
    if (moved)
        WithRedirectionOff(wow64, [&] { return logoKept ? PutBack(logoPath) : DropAside(logoPath); });
    if (refused)
        RaiseText(N_("Unable to delete %s"), {std::string(OEMKeyFullName) + "\\" + refused});
}

void ReadOEMInfo(TStoreMode mode)
{
    if (mode == TStoreMode::Legacy)
        ReadIniOEMInfo();
    else
        ReadRegOEMInfo();
}

std::string WriteOEMInfo(TStoreMode mode, const TOEMInfo& record, const TPicture* logo)
{
    if (mode == TStoreMode::Legacy) {
        const std::vector<std::string> noLines;
        WriteIniOEMInfo(record.Manufacturer, record.Model, logo, record.SupportLines ? *record.SupportLines : noLines);
        return WithRedirectionOff(IsWow64(), [] {
            const std::string logoPath = LogoFilePath();
            return IsExistingFile(logoPath) ? logoPath : std::string();
        });
    }
    TOEMInfo written;
    for (const TOEMField* field : RecordFields())
        written.*field->Text = record.*field->Text;
    const TRegistryLogoFile converted(logo);
    if (converted.Written())
        written.Logo = LogoFilePath();
    try {
        WriteRegOEMInfo(written);
    } catch (const EMarquillError& failure) {
        try {
            converted.PutBack();
        } catch (const EMarquillError& alsoFailed) {
            throw EMarquillError(std::string(failure.what()) + ". " + alsoFailed.what());
        }
        throw;
    }
    return written.Logo;
}

void RemoveOEMInfo(TStoreMode mode)
{
    if (mode == TStoreMode::Legacy)
        RemoveIniOEMInfo();
    else
        RemoveRegOEMInfo();
}

namespace {
// Whether `found` says yes for either store file, asked of each in the real
// system directory.
template <class TFound> bool AnyStoreFile(TFound&& found)
{
    return WithRedirectionOff(IsWow64(), [&] {
        bool any = false;
        for (const std::string& path : {IniFilePath(), LogoFilePath()})
            any = found(path) || any;
        return any;
    });
}
}  // namespace

bool ClearStoreLeftovers()
{
    return AnyStoreFile([](const std::string& path) {
        // One that will not go does no harm: the next change replaces it.
        bool found = false;
        ClearLeftovers(path, found);
        return found;
    });
}

bool StoreLeftoversFound()
{
    return AnyStoreFile(HasLeftovers);
}
