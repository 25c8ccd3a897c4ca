// /show's machine-readable forms: the store read for them, and where they go.
#include "cli/ShowOutput.h"

#include "base/AnsiText.h"
#include "base/AsciiCase.h"
#include "base/Error.h"
#include "base/ProfileFile.h"
#include "base/RegistryKey.h"
#include "base/SafeFiles.h"
#include "base/SystemError.h"
#include "base/WinFiles.h"
#include "base/Wow64.h"
#include "oeminfo/StoreLayout.h"
#include "oeminfo/StrictStore.h"
#include "picture/Picture.h"

#include <windows.h>

#include <algorithm>
#include <exception>

namespace {

// A 32-bit tool that does not ask for the 64-bit view writes to WOW6432Node,
// which Windows' 64-bit reader never looks at: the OEM values found there
// and not in the 64-bit view, of any type.
std::vector<TShownValue> Wow6432NodeOnly(const std::vector<TShownValue>& fields)
{
    std::vector<TShownValue> notes;
    // On 32-bit Windows both views are the one key.
    if (!IsWow64())
        return notes;
    TRegistryKey key;
    const LONG opened = key.Open(HKEY_LOCAL_MACHINE, OEMKeyPath, KEY_QUERY_VALUE, TRegistryView::Bit32);
    if (opened == ERROR_FILE_NOT_FOUND)
        return notes;
    auto unreadable = [](const std::string& what, LONG result) {
        return EMarquillError(what + " in the 32-bit registry view cannot be read: " +
                              SystemErrorText(static_cast<DWORD>(result)));
    };
    if (opened != ERROR_SUCCESS)
        throw unreadable(std::string("The registry key ") + OEMKeyFullName, opened);
    for (const TShownValue& field : fields) {
        if (field.Present)
            continue;
        const TRegData data = key.QueryBytes(field.Name.c_str(), MaxValueBytes);
        if (data.Result == ERROR_FILE_NOT_FOUND)
            continue;
        if (data.Result != ERROR_SUCCESS)
            throw unreadable("The registry value " + field.Name, data.Result);
        TShownValue note;
        note.Name = field.Name;
        note.Present = true;
        note.Type = data.Type;
        note.Bytes = data.Bytes;
        notes.push_back(std::move(note));
    }
    return notes;
}

// The logo file `path` names as Windows' reader finds it: read with the
// WOW64 redirection off, as the 64-bit reader sees the system directory,
// decoded with it on. A path the ANSI code page cannot hold is one the
// program's picture reader cannot open: it does not load.
TShownLogo ShownLogo(const TWideText& path)
{
    TShownLogo logo;
    logo.Named = !path.empty();
    logo.Path = path;
    if (!logo.Named)
        return logo;
    const bool wow64 = IsWow64();
    std::string ansi;
    if (!ToAnsiExactly(path, ansi)) {
        const DWORD attributes = WithRedirectionOff(wow64, [&] { return GetFileAttributesW(path.c_str()); });
        logo.Exists = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        return logo;
    }
    logo.Exists = WithRedirectionOff(wow64, [&] { return IsExistingFile(ansi); });
    try {
        std::string bytes = WithRedirectionOff(wow64, [&] { return TPicture::ReadFile(ansi); });
        TPicture picture;
        picture.LoadFromBytes(std::move(bytes), ansi);
        logo.Loads = true;
    } catch (const std::exception&) {
        logo.Loads = false;
    }
    return logo;
}

// A REG_EXPAND_SZ logo names the file its variables expand to.
TWideText Expanded(const TWideText& text)
{
    TWideText expanded(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD size = ExpandEnvironmentStringsW(text.c_str(), &expanded[0], static_cast<DWORD>(expanded.size()));
        if (size == 0)
            return text;
        if (size <= expanded.size()) {
            expanded.resize(size - 1);
            return expanded;
        }
        expanded.assign(size, L'\0');
    }
    return text;
}

TShownStore ReadRegistry(const TFieldList& fields)
{
    TShownStore store;
    store.Mode = TShownStoreMode::Registry;
    const std::vector<TStoredBytes> stored = ReadOEMValues(fields);
    for (size_t i = 0; i < fields.size(); ++i) {
        TShownValue value;
        value.Name = fields[i]->Name;
        value.Present = stored[i].Present;
        value.Type = stored[i].Type;
        value.Bytes = stored[i].Bytes;
        store.Fields.push_back(std::move(value));
        if (fields[i]->Kind == TFieldKind::Picture && stored[i].Present) {
            const TWideText text = StoredWideText(stored[i]);
            store.Logo = ShownLogo(stored[i].Type == REG_EXPAND_SZ ? Expanded(text) : text);
        }
    }
    store.Wow6432NodeOnly = Wow6432NodeOnly(store.Fields);
    return store;
}

// The keys oeminfo.ini's [General] holds, for telling a key that is there
// but empty from one that is not there.
std::vector<std::string> GeneralKeys()
{
    return WithRedirectionOff(IsWow64(), [] {
        const std::string path = IniFilePath();
        if (!IsExistingFile(path))
            return std::vector<std::string>();
        return TProfileFile(path).ReadKeyNames(GeneralSection, KeyNamesBufferChars);
    });
}

// The texts as the wide profile functions read them, so that a UTF-16
// oeminfo.ini's characters come out exact; Windows 9x has only the ANSI
// ones, and its texts are all there is.
TShownStore ReadLegacy(const TFieldList& fields)
{
    TShownStore store;
    store.Mode = TShownStoreMode::Legacy;
    ReadLegacyFiles();
    const TStoredRecord record = ReadLegacyRecord(fields);
    const std::vector<TWideText> wide = IsNtFamily() ? ReadIniWide(fields) : std::vector<TWideText>();
    const std::vector<std::string> general = GeneralKeys();
    for (size_t i = 0; i < fields.size(); ++i) {
        const TOEMField& field = *fields[i];
        TShownValue value;
        value.Name = field.Name;
        switch (field.Legacy) {
        case TFieldHome::GeneralKey:
            value.Present = std::any_of(general.begin(), general.end(),
                                        [&](const std::string& key) { return SameIgnoringAsciiCase(key, field.Name); });
            break;
        case TFieldHome::SupportLine: value.Present = field.Line <= record.Lines.size(); break;
        default: value.Present = !record.Values[i].empty(); break;
        }
        value.Text = field.Legacy != TFieldHome::LogoFile && !wide.empty() ? wide[i] : ToWide(record.Values[i]);
        if (field.Legacy == TFieldHome::LogoFile && value.Present)
            store.Logo = ShownLogo(value.Text);
        store.Fields.push_back(std::move(value));
    }
    return store;
}

}  // namespace

TShownStore ReadShownStore(TStoreMode mode)
{
    const TFieldList fields = OEMFieldsIn(mode);
    return mode == TStoreMode::Registry ? ReadRegistry(fields) : ReadLegacy(fields);
}

TFormatResult FormatShown(TShowFormat format, const TShownStore& store)
{
    switch (format) {
    case TShowFormat::Json: return FormatJson(store);
    case TShowFormat::Reg: return FormatReg(store);
    case TShowFormat::Unattend: return FormatUnattend(store);
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
