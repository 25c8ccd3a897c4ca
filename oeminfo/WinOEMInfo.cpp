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
#include "oeminfo/StoreTypes.h"
#include "picture/Picture.h"
#include "picture/PlainBitmap.h"

#include <cstring>

TOEMInfo OEMInfo;

TStoreMode StoreMode()
{
    return WindowsMajorVersion < 6 ? TStoreMode::Legacy : TStoreMode::Registry;
}

namespace {

constexpr bool IsGeneralKey(const TOEMField& field)
{
    return field.Legacy == TLegacyHome::GeneralKey;
}
constexpr bool HasRecordText(const TOEMField& field)
{
    return field.Text != nullptr;
}
// The record's text of the `n`th row that has one.
constexpr std::string TOEMInfo::*RecordText(size_t n)
{
    for (const TOEMField& field : OEMFieldTable)
        if (field.Text && n-- == 0)
            return field.Text;
    return nullptr;
}

// The platform's interface fixes the parameters of WriteRegOEMInfo and
// WriteIniOEMInfo: they take the table's texts in the table's order, and a
// row added to the record or to [General] fails here, not at run time.
static_assert(CountOEMFields(HasRecordText) == 6 && RecordText(0) == &TOEMInfo::Manufacturer &&
                  RecordText(1) == &TOEMInfo::Model && RecordText(2) == &TOEMInfo::SupportHours &&
                  RecordText(3) == &TOEMInfo::SupportPhone && RecordText(4) == &TOEMInfo::SupportURL &&
                  RecordText(5) == &TOEMInfo::Logo,
              "WriteRegOEMInfo takes the record's texts in the table's order");
static_assert(CountOEMFields(IsGeneralKey) == 2, "WriteIniOEMInfo takes the [General] texts in the table's order");

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
                if (field->Legacy == TLegacyHome::GeneralKey)
                    OEMInfo.*field->Text = profile.ReadString(GeneralSection, field->Name, MaxValueChars);
            for (const std::string& name : profile.ReadKeyNames(SupportSection, KeyNamesBufferChars))
                OEMInfo.SupportLines->push_back(profile.ReadString(SupportSection, name.c_str(), MaxValueChars));
        }
        const std::string logoPath = LogoFilePath();
        for (const TOEMField* field : fields)
            if (field->Legacy == TLegacyHome::LogoFile && IsExistingFile(logoPath))
                OEMInfo.*field->Text = logoPath;
    });
}

std::string WriteIniOEMInfo(const std::string& Manufacturer, const std::string& Model, const TPicture* Logo,
                            const std::vector<std::string>& Lines)
{
    const std::string* texts[] = {&Manufacturer, &Model};
    TFieldList general;
    std::vector<std::string> values;
    for (const TOEMField* field : OEMFieldsIn(TStoreMode::Legacy)) {
        if (IsGeneralKey(*field)) {
            general.push_back(field);
            values.push_back(*texts[values.size()]);
        }
    }
    const std::string logoPath = LogoFilePath();
    // Drawn before anything is written, with the redirection on.
    std::string logo;
    const bool install = Logo && (!Logo->Empty() || Logo->IsEmptyBitmap()) &&
                         LogoFileBytes(*Logo, TStoreMode::Legacy, logo);
    return WithRedirectionOff(IsWow64(), [&] {
        WriteIniFile(general, values, Lines);
        if (install && !ReplaceFileBytes(logoPath, logo))
            RaiseText(N_("Unable to copy the logo to %s"), {logoPath});
        return IsExistingFile(logoPath) ? logoPath : std::string();
    });
}

void RemoveIniOEMInfo()
{
    // Each file is moved aside, not read: any file the store can hold goes,
    // whatever its size and attributes; only when both are away is either
    // deleted.
    WithRedirectionOff(IsWow64(), [] {
        const std::string ini = IniFilePath(), logo = LogoFilePath();
        const bool iniThere = IsExistingFile(ini), logoThere = IsExistingFile(logo);
        if (iniThere && !MoveAside(ini))
            RaiseText(N_("Unable to delete %s"), {ini});
        if (logoThere && !MoveAside(logo)) {
            // Claiming the information is gone while Windows still shows
            // part of it would mislead: the file moved before comes back.
            std::string message = FormatText(ResText(N_("Unable to delete %s")), {logo});
            if (iniThere && !PutBack(ini))
                AppendError(message, FormatText(ResText(N_("Unable to restore %s")), {ini}));
            throw EMarquillError(message);
        }
        // An aside file that will not go now is a leftover the next run clears.
        if (iniThere)
            DropAside(ini);
        if (logoThere)
            DropAside(logo);
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

void ReadRegOEMInfo()
{
    TRegistryKey key;
    if (OpenOEMKey(key, TOEMKeyUse::ReadCreating) != ERROR_SUCCESS)
        return;
    for (const TOEMField* field : RecordFields())
        OEMInfo.*field->Text = ReadRegText(key, field->Name);
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

namespace {

void WriteRegRecord(const TOEMInfo& info)
{
    const TRegistryKey key = OpenOEMKeyForWriting(TKeyRefusal::StandardText);
    const std::vector<DWORD> types = TypesToWrite(key, info);
    const TFieldList fields = RecordFields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (key.SetText(fields[i]->Name, info.*fields[i]->Text, types[i]) != ERROR_SUCCESS)
            RaiseText(N_("Failed to set data for '%s'"), {fields[i]->Name});
}

}  // namespace

std::string WriteRegOEMInfo(const std::string& Manufacturer, const std::string& Model, const std::string& SupportHours,
                            const std::string& SupportPhone, const std::string& SupportURL, const std::string& Logo,
                            const TPicture* picture)
{
    const std::string* texts[] = {&Manufacturer, &Model, &SupportHours, &SupportPhone, &SupportURL, &Logo};
    TOEMInfo record;
    const TFieldList fields = RecordFields();
    for (size_t i = 0; i < fields.size(); ++i)
        record.*fields[i]->Text = *texts[i];
    std::string bytes;
    const bool converts = picture && LogoFileBytes(*picture, TStoreMode::Registry, bytes);
    const TRegistryLogoFile converted(converts ? &bytes : nullptr);
    if (converted.Written())
        record.Logo = LogoFilePath();
    try {
        WriteRegRecord(record);
    } catch (const EMarquillError& failure) {
        try {
            converted.PutBack();
        } catch (const EMarquillError& alsoFailed) {
            throw EMarquillError(std::string(failure.what()) + ". " + alsoFailed.what());
        }
        throw;
    }
    return record.Logo;
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
        const bool ini = found(IniFilePath());
        const bool logo = found(LogoFilePath());
        return ini || logo;
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
