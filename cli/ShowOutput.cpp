// /show's machine-readable forms: the store read for them, and where they go.
#include "cli/ShowOutput.h"

#include "base/AnsiText.h"
#include "base/AsciiCase.h"
#include "base/PlatformApi.h"
#include "base/SafeFiles.h"
#include "base/SystemError.h"
#include "base/WindowsVersion.h"
#include "oeminfo/LogoFile.h"
#include "oeminfo/StrictStore.h"

#include <windows.h>

#include <algorithm>

namespace {

// The logo as Windows' reader finds the file the Logo text names, and as
// /apply checks it.
TShownLogo ShownLogo(const TWideText& text, bool expandable)
{
    TShownLogo logo;
    logo.Named = !text.empty();
    if (!logo.Named)
        return logo;
    const TFoundLogo found = FindLogoAsWindowsReads(text, expandable);
    logo.Path = found.Path;
    logo.Exists = found.Exists;
    logo.Loads = found.Loads;
    return logo;
}

TShownStore ReadRegistry(const TFieldList& fields)
{
    TShownStore store;
    store.Mode = TShownStoreMode::Registry;
    const std::vector<TStoredBytes> stored = ReadOEMValues(fields, true);
    for (size_t i = 0; i < fields.size(); ++i) {
        store.Fields.push_back(ShownValue(fields[i]->Name, stored[i]));
        const bool isText = stored[i].Type == REG_SZ || stored[i].Type == REG_EXPAND_SZ;
        if (fields[i]->Kind == TFieldKind::Picture && stored[i].Present && isText)
            store.Logo = ShownLogo(StoredWideText(stored[i]), stored[i].Type == REG_EXPAND_SZ);
    }
    const std::vector<TStoredBytes> bit32 = ReadWow6432NodeValues(fields);
    for (size_t i = 0; i < fields.size(); ++i)
        if (bit32[i].Present)
            store.Wow6432Node.push_back(ShownValue(fields[i]->Name, bit32[i]));
    return store;
}

// The texts as the wide profile functions read them, so that a UTF-16
// oeminfo.ini's characters come out exact; Windows 9x has only the ANSI
// ones, and its texts are all there is.
TShownStore ReadLegacy(const TFieldList& fields)
{
    TShownStore store;
    store.Mode = TShownStoreMode::Legacy;
    const TStoredRecord record = ReadLegacyRecord(fields);
    const std::vector<TWideText> wide = IsNtFamily() ? ReadIniWide(fields) : std::vector<TWideText>();
    const std::vector<std::string> general = ReadGeneralKeyNames();
    for (size_t i = 0; i < fields.size(); ++i) {
        const TOEMField& field = *fields[i];
        TShownValue value;
        value.Name = field.Name;
        switch (field.Legacy) {
        case TLegacyHome::GeneralKey:
            value.Present = std::any_of(general.begin(), general.end(),
                                        [&](const std::string& key) { return SameIgnoringAsciiCase(key, field.Name); });
            break;
        case TLegacyHome::SupportLine: value.Present = field.Line <= record.Lines.size(); break;
        default: value.Present = !record.Values[i].empty(); break;
        }
        value.Text = field.Legacy != TLegacyHome::LogoFile && !wide.empty() ? wide[i] : ToWide(record.Values[i]);
        if (field.Legacy == TLegacyHome::LogoFile && value.Present)
            store.Logo = ShownLogo(value.Text, false);
        store.Fields.push_back(std::move(value));
    }
    return store;
}

// Windows 9x has GetComputerNameW as a stub that fails: its name is the
// ANSI one.
TWideText ComputerName()
{
    wchar_t wide[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (PlatformApi.GetComputerNameW(wide, &size))
        return TWideText(wide, size);
    char ansi[MAX_COMPUTERNAME_LENGTH + 1];
    size = MAX_COMPUTERNAME_LENGTH + 1;
    return PlatformApi.GetComputerNameA(ansi, &size) ? ToWide(std::string(ansi, size)) : TWideText();
}

}  // namespace

TShownValue ShownValue(const char* name, const TStoredBytes& stored)
{
    TShownValue value;
    value.Name = name;
    value.Present = stored.Present;
    value.Type = stored.Type;
    value.Bytes = stored.Bytes;
    return value;
}

TShownStore ReadShownStore(TStoreMode mode)
{
    const TFieldList fields = OEMFieldsIn(mode);
    TShownStore store = mode == TStoreMode::Registry ? ReadRegistry(fields) : ReadLegacy(fields);
    store.Computer = ComputerName();
    return store;
}

TFormatResult FormatShown(TShowFormat format, const TShownStore& store)
{
    switch (format) {
    case TShowFormat::Json: return FormatJson(store);
    case TShowFormat::Reg: return FormatReg(store);
    case TShowFormat::Unattend: return FormatUnattend(store);
    case TShowFormat::AnswerFile: return FormatAnswerFile(store);
    case TShowFormat::Text: break;
    }
    TFormatResult none;
    none.Error = "The Name=Value form is not one of these.";
    return none;
}

bool WriteOutputFile(const std::string& path, const std::string& bytes, std::string& error)
{
    if (ReplaceFileBytes(path, bytes))
        return true;
    error = "The OEM information could not be written to " + path + ": " + SystemErrorText(GetLastError());
    return false;
}
