// What /apply would leave, and its writes.
#include "oeminfo/StoreChange.h"

#include "base/AnsiText.h"
#include "base/Error.h"
#include "oeminfo/LogoFile.h"
#include "oeminfo/StoreLayout.h"
#include "oeminfo/StrictStore.h"

#include <algorithm>

namespace {

bool SameStored(const TStoredBytes& a, const TStoredBytes& b)
{
    return a.Present == b.Present && (!a.Present || (a.Type == b.Type && a.Bytes == b.Bytes));
}

// Legacy mode: a field whose text differs, present or not on either side.
void AddTextChange(TStoreChange& change, const std::string& name, bool was, const std::string& before, bool will,
                   const std::string& after)
{
    change.Changes.emplace_back();
    TFieldChange& field = change.Changes.back();
    field.Name = name;
    field.Before.Present = was;
    field.Before.Bytes = before;
    field.After.Present = will;
    field.After.Bytes = after;
}

// The oemlogo.bmp the store of `mode` would write for `logo`'s picture,
// beside the one there is (read by `readBefore` only then); false when it
// writes none.
template <class TReadBefore>
bool DecideLogoFile(TStoreMode mode, const TRequestedLogo& logo, TReadBefore readBefore, TStoreChange& change)
{
    if (!logo.Picture || !LogoFileBytes(*logo.Picture, mode, change.LogoFileBytes))
        return false;
    change.LogoFileBefore = readBefore();
    change.LogoFileDiffers = !change.LogoFileBefore.Present || change.LogoFileBefore.Bytes != change.LogoFileBytes;
    return true;
}

void ReadRegistryChange(const std::vector<TFieldRequest>& requests, const TRequestedLogo& logo, TStoreChange& change)
{
    const TFieldList fields = OEMFieldsIn(TStoreMode::Registry);
    const std::vector<TStoredBytes> stored = ReadOEMValues(fields);
    change.StoredAsGiven = std::vector<bool>(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        const TFieldRequest& request = requests[i];
        if (!request.Given)
            continue;
        change.StoredAsGiven[i] = stored[i].Present && StoredWideText(stored[i]) == ToWide(request.Value);
        TStoredBytes after = request.Absent ? TStoredBytes() : RegistryValueOf(request.Expand, request.Value);
        bool fileDiffers = false;
        if (fields[i]->Kind == TFieldKind::Picture && logo.Picture) {
            after = RegistryValueOf(request.Expand, logo.StoredText);
            if (DecideLogoFile(TStoreMode::Registry, logo, ReadLogoFile, change)) {
                after = RegistryValueOf(false, LogoFilePath());
                fileDiffers = change.LogoFileDiffers;
            }
        }
        const bool valueDiffers = !SameStored(stored[i], after);
        if (valueDiffers) {
            change.Values.push_back(fields[i]);
            change.Before.push_back(stored[i]);
            change.After.push_back(after);
        }
        if (valueDiffers || fileDiffers)
            change.Changes.push_back({fields[i]->Name, stored[i], after});
    }
}

// Legacy mode writes the whole record: the lines not given keep their
// texts, the non-empty ones are renumbered, and a line past the last line
// field is dropped.
void ReadLegacyChange(const std::vector<TFieldRequest>& requests, const TRequestedLogo& logo, TStoreChange& change)
{
    const TFieldList fields = OEMFieldsIn(TStoreMode::Legacy);
    const TStoredRecord stored = ReadLegacyRecord(fields);
    std::vector<bool> given(fields.size());
    for (size_t i = 0; i < fields.size(); ++i)
        given[i] = requests[i].Given;
    if (const TOEMField* uncarried = UncarriedField(fields, stored, given))
        throw EMarquillError("The stored \"" + std::string(uncarried->Name) +
                             "\" holds characters the ANSI code page lacks and would be lost: give it a value; "
                             "nothing was written");
    change.Files = stored.Files;
    change.RecordFields = fields;
    change.Record = stored.Values;
    std::vector<std::string> lines;
    const char* logoName = nullptr;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i]->Legacy == TLegacyHome::LogoFile)
            logoName = fields[i]->Name;
        if (requests[i].Given)
            change.Record[i] =
                fields[i]->Kind == TFieldKind::Picture && logo.Picture ? logo.StoredText : requests[i].Value;
        if (fields[i]->Legacy == TLegacyHome::SupportLine && !change.Record[i].empty())
            lines.push_back(change.Record[i]);
        if (fields[i]->Legacy == TLegacyHome::GeneralKey && change.Record[i] != stored.Values[i])
            AddTextChange(change, fields[i]->Name, true, stored.Values[i], true, change.Record[i]);
    }
    for (size_t n = 0; n < std::max(lines.size(), stored.Lines.size()); ++n) {
        const bool was = n < stored.Lines.size(), will = n < lines.size();
        if (was == will && (!was || stored.Lines[n] == lines[n]))
            continue;
        AddTextChange(change, SupportLineName(n + 1), was, was ? stored.Lines[n] : "", will, will ? lines[n] : "");
    }
    if (!logoName)
        return;
    DecideLogoFile(TStoreMode::Legacy, logo, [&] { return stored.Files.Logo; }, change);
    if (change.LogoFileDiffers)
        AddTextChange(change, logoName, change.LogoFileBefore.Present, LogoFilePath(), true, LogoFilePath());
}

}  // namespace

TRequestedLogo CheckRequestedLogo(const TFieldList& fields, const std::vector<TFieldRequest>& requests)
{
    TRequestedLogo logo;
    for (size_t i = 0; i < fields.size(); ++i) {
        // An empty Logo= stores no logo (and in legacy mode keeps the logo
        // file there is).
        const TFieldRequest& request = requests[i];
        if (fields[i]->Kind != TFieldKind::Picture || !request.Given || request.Absent || request.Value.empty())
            continue;
        // Windows expands the text of a field it reads as expandable, and
        // only when it is stored so.
        logo.Picture = std::make_unique<TPicture>();
        logo.StoredText = LoadLogoAsWindowsReads(request.Value, fields[i]->Expandable && request.Expand, *logo.Picture);
    }
    return logo;
}

TStoreChange ReadStoreChange(TStoreMode mode, const std::vector<TFieldRequest>& requests, const TRequestedLogo& logo)
{
    TStoreChange change;
    change.Mode = mode;
    if (mode == TStoreMode::Registry)
        ReadRegistryChange(requests, logo, change);
    else
        ReadLegacyChange(requests, logo, change);
    return change;
}

void WriteStoreChange(const TStoreChange& change, std::string& restoreError)
{
    const std::string* logoFile = change.LogoFileDiffers ? &change.LogoFileBytes : nullptr;
    if (change.Mode == TStoreMode::Registry)
        WriteOEMValues(change.Values, change.Before, change.After, logoFile, restoreError);
    else
        WriteLegacyRecord(change.RecordFields, change.Record, logoFile, change.Files, restoreError);
}
