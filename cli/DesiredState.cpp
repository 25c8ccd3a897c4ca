#include "cli/DesiredState.h"

#include "base/AnsiText.h"
#include "base/AsciiCase.h"
#include "base/Error.h"
#include "base/Format.h"
#include "base/ResText.h"
#include "base/SystemError.h"
#include "base/WinFiles.h"
#include "base/Wow64.h"
#include "cli/ChangeLines.h"
#include "cli/ShowOutput.h"
#include "oeminfo/LogoFile.h"
#include "oeminfo/StoreLayout.h"
#include "oeminfo/StoreLock.h"
#include "picture/PlainBitmap.h"

#include <windows.h>

#include <algorithm>
#include <exception>

namespace {

bool SameStored(const TStoredBytes& a, const TStoredBytes& b)
{
    return a.Present == b.Present && (!a.Present || (a.Type == b.Type && a.Bytes == b.Bytes));
}

TShownValue ShownText(const std::string& name, bool present, const std::string& text)
{
    TShownValue shown;
    shown.Name = name;
    shown.Present = present;
    shown.Text = ToWide(text);
    return shown;
}

std::string LogoBytes(const TPicture& picture, TLogoTarget target)
{
    std::string bytes;
    if (!LogoBitmapBytes(picture, target, bytes))
        RaiseText(N_("Unable to copy the logo to %s"), {LogoFilePath()});
    return bytes;
}

void ReadRegistryState(const TFieldSchema& schema, const std::vector<TGivenField>& given, const TRequestedLogo& logo,
                       TDesiredState& state)
{
    const TFieldList fields = OEMFieldsIn(TStoreMode::Registry);
    const std::vector<TStoredBytes> stored = ReadOEMValues(fields);
    std::vector<bool> storedAsGiven(fields.size(), false);
    for (size_t i = 0; i < fields.size(); ++i) {
        const TGivenField& field = given[i];
        if (!field.Given)
            continue;
        storedAsGiven[i] = stored[i].Present && StoredWideText(stored[i]) == ToWide(field.Value);
        TStoredBytes after = field.Absent ? TStoredBytes() : RegistryValueOf(field.Expand, field.Value);
        bool fileDiffers = false;
        if (fields[i]->Kind == TFieldKind::Picture && logo.Picture) {
            after = RegistryValueOf(field.Expand, logo.StoredText);
            if (LogoNeedsConversion(*logo.Picture, TLogoTarget::Registry)) {
                after = RegistryValueOf(false, LogoFilePath());
                state.LogoFileBytes = LogoBytes(*logo.Picture, TLogoTarget::Registry);
                state.LogoFileBefore = ReadLogoFile();
                fileDiffers = state.LogoFileDiffers =
                    !state.LogoFileBefore.Present || state.LogoFileBefore.Bytes != state.LogoFileBytes;
            }
        }
        const bool valueDiffers = !SameStored(stored[i], after);
        if (valueDiffers) {
            state.Values.push_back(fields[i]);
            state.Before.push_back(stored[i]);
            state.After.push_back(after);
        }
        if (valueDiffers || fileDiffers) {
            state.ShownBefore.push_back(ShownValue(fields[i]->Name, stored[i]));
            state.ShownAfter.push_back(ShownValue(fields[i]->Name, after));
        }
    }
    state.UrlRuleError = CheckWebAddresses(schema, given, storedAsGiven);
}

// Legacy mode writes the whole record: the lines not given keep their
// texts, the non-empty ones are renumbered, and a line past the last line
// field is dropped.
void ReadLegacyState(const std::vector<TGivenField>& given, const TRequestedLogo& logo, TDesiredState& state)
{
    const TFieldList fields = OEMFieldsIn(TStoreMode::Legacy);
    state.Files = ReadLegacyFiles();
    const TStoredRecord stored = ReadLegacyRecord(fields);
    std::vector<bool> givenFlags(fields.size());
    for (size_t i = 0; i < fields.size(); ++i)
        givenFlags[i] = given[i].Given;
    if (const TOEMField* uncarried = UncarriedField(fields, stored, givenFlags))
        throw EMarquillError("The stored \"" + std::string(uncarried->Name) +
                             "\" holds characters the ANSI code page lacks and would be lost: give it a value; "
                             "nothing was written");
    state.RecordFields = fields;
    state.Record = stored.Values;
    std::vector<std::string> lines;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (given[i].Given)
            state.Record[i] = fields[i]->Kind == TFieldKind::Picture && logo.Picture ? logo.StoredText : given[i].Value;
        if (fields[i]->Legacy == TFieldHome::SupportLine && !state.Record[i].empty())
            lines.push_back(state.Record[i]);
        if (fields[i]->Legacy == TFieldHome::GeneralKey && state.Record[i] != stored.Values[i]) {
            state.ShownBefore.push_back(ShownText(fields[i]->Name, true, stored.Values[i]));
            state.ShownAfter.push_back(ShownText(fields[i]->Name, true, state.Record[i]));
        }
    }
    for (size_t n = 0; n < std::max(lines.size(), stored.Lines.size()); ++n) {
        const bool was = n < stored.Lines.size(), will = n < lines.size();
        if (was == will && (!was || stored.Lines[n] == lines[n]))
            continue;
        const std::string name = "Line" + std::to_string(n + 1);
        state.ShownBefore.push_back(ShownText(name, was, was ? stored.Lines[n] : ""));
        state.ShownAfter.push_back(ShownText(name, will, will ? lines[n] : ""));
    }
    if (!logo.Picture)
        return;
    state.LogoFileBefore = state.Files[1];
    state.LogoFileBytes = LogoBytes(*logo.Picture, TLogoTarget::Legacy);
    state.LogoFileDiffers = !state.LogoFileBefore.Present || state.LogoFileBefore.Bytes != state.LogoFileBytes;
    if (state.LogoFileDiffers) {
        state.ShownBefore.push_back(ShownText("Logo", state.LogoFileBefore.Present, LogoFilePath()));
        state.ShownAfter.push_back(ShownText("Logo", true, LogoFilePath()));
    }
}

// Whether the output's code page holds `codePoint`.
bool AnsiCanShow(char32_t codePoint)
{
    TWideText wide;
    if (codePoint > 0xFFFF) {
        wide += static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
        wide += static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    } else {
        wide += static_cast<wchar_t>(codePoint);
    }
    std::string ignored;
    return ToAnsiExactly(wide, ignored);
}

std::string ChangeLines(const TDesiredState& state)
{
    const TShownStoreMode mode = state.Mode == TStoreMode::Legacy ? TShownStoreMode::Legacy : TShownStoreMode::Registry;
    std::string lines;
    for (size_t i = 0; i < state.ShownBefore.size(); ++i) {
        const TWideText wide = ChangeLine(mode, state.ShownBefore[i], state.ShownAfter[i], AnsiCanShow);
        std::string line;
        if (!ToAnsiExactly(wide, line))
            line = FromWide(wide);
        lines += line + "\r\n";
    }
    return lines;
}

TUsageError ReadFieldFile(const std::string& path, std::string& bytes)
{
    // A file that another program still holds open for writing is read as
    // it stands.
    TWholeFile file = ReadWholeFile(path, MaxFieldFileBytes, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (file.Read()) {
        bytes = std::move(file.Bytes);
        return TUsageError();
    }
    if (file.Error == ERROR_FILE_TOO_LARGE)
        return path + " is larger than a field file can be (" + std::to_string(MaxFieldFileBytes) + " bytes).";
    return "Cannot read the field file " + path + ": " +
           (file.Error == ERROR_HANDLE_EOF ? std::string("it ended early") : SystemErrorText(file.Error)) + ".";
}

// Every field given, by arguments and files in their order.
TUsageError GatherFields(const TCliRequest& request, std::vector<TFieldAssignment>& fields)
{
    for (const TFieldSource& source : request.Sources) {
        TUsageError error;
        if (source.IsFile) {
            std::string bytes;
            error = ReadFieldFile(source.Text, bytes);
            if (error.empty())
                error = ParseFieldFile(bytes, source.Text, fields);
        } else {
            TFieldAssignment field;
            error = ParseFieldArgument(source.Text, field);
            fields.push_back(std::move(field));
        }
        if (!error.empty())
            return error;
    }
    return TUsageError();
}

}  // namespace

TStoredBytes RegistryValueOf(bool expand, const std::string& text)
{
    const TWideText wide = ToWide(text);
    TStoredBytes value;
    value.Present = true;
    value.Type = expand ? REG_EXPAND_SZ : REG_SZ;
    value.Bytes.assign(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * sizeof(wchar_t));
    return value;
}

TRequestedLogo CheckRequestedLogo(const TFieldList& fields, const std::vector<TGivenField>& given)
{
    TRequestedLogo logo;
    for (size_t i = 0; i < fields.size(); ++i) {
        // An empty Logo= stores no logo (and in legacy mode keeps the logo
        // file there is).
        if (fields[i]->Kind != TFieldKind::Picture || !given[i].Given || given[i].Absent || given[i].Value.empty())
            continue;
        // Windows expands the text of a field it reads as expandable, and
        // only when it is stored so.
        logo.Picture = std::make_unique<TPicture>();
        logo.StoredText =
            LoadLogoAsWindowsReads(given[i].Value, fields[i]->Expandable && given[i].Expand, *logo.Picture);
    }
    return logo;
}

TDesiredState ReadDesiredState(TStoreMode mode, const TFieldSchema& schema, const std::vector<TGivenField>& given,
                               const TRequestedLogo& logo)
{
    TDesiredState state;
    state.Mode = mode;
    state.Logo = logo.Picture.get();
    if (mode == TStoreMode::Registry)
        ReadRegistryState(schema, given, logo, state);
    else
        ReadLegacyState(given, logo, state);
    return state;
}

int ApplyOrTest(TStoreMode mode, const TCliRequest& request, TConsoleOut& out, TConsoleOut& err)
{
    const bool test = request.Command == TCliCommand::Test;
    const TFieldSchema schema = SchemaOf(mode);
    std::vector<TFieldAssignment> assignments;
    TUsageError error = GatherFields(request, assignments);
    std::vector<TGivenField> given;
    if (error.empty())
        error = CheckFields(assignments, schema, given);
    if (!error.empty())
        return UsageError(err, error);

    // Notices go to standard output before the last line, as the summary
    // does: an engine reports that line, and counts any error output after
    // an exit 0 as a failure.
    std::string lines, notices;
    size_t differences = 0;
    int code = ExitDone;
    try {
        const TRequestedLogo logo = CheckRequestedLogo(OEMFieldsIn(mode), given);
        const auto compare = [&] {
            const TDesiredState state = ReadDesiredState(mode, schema, given, logo);
            error = state.UrlRuleError;
            if (!error.empty())
                return;
            differences = state.ShownBefore.size();
            lines = ChangeLines(state);
            if (!test && differences > 0)
                code = WriteDesiredState(state, err);
        };
        const auto notify = [&](const std::string& notice) { notices += WithFullStop(notice) + "\r\n"; };
        // /test only reads: a run without the rights to take the lock may.
        if (test)
            ReadUnderStoreLock(
                [&] {
                    compare();
                    return error + '\0' + lines;
                },
                notify);
        else
            UnderStoreLock(compare, notify);
    } catch (const std::exception& failure) {
        if (!test) {
            out.Write(notices);
            throw;
        }
        out.Write(notices + WithFullStop(failure.what()) + "\r\n");
        return ExitStoreError;
    }
    if (!error.empty()) {
        out.Write(notices);
        return UsageError(err, error);
    }
    if (test) {
        out.Write(lines + notices + TestSummary(differences) + "\r\n");
        return differences == 0 ? ExitDone : ExitStoreError;
    }
    out.Write(code == ExitDone ? lines + notices + ApplySummary(differences) + "\r\n" : notices);
    return code;
}

bool BackupText(TStoreMode mode, std::string& text, std::string& error)
{
    const TFieldList fields = OEMFieldsIn(mode);
    const TFieldSchema schema = SchemaOf(mode);
    std::vector<TGivenField> shown(fields.size());
    std::vector<TStoredBytes> stored(fields.size());
    if (mode == TStoreMode::Legacy) {
        ReadLegacyFiles();
        const TStoredRecord record = ReadLegacyRecord(fields);
        if (const TOEMField* uncarried = UncarriedField(fields, record, std::vector<bool>(fields.size(), false))) {
            error = "\"" + std::string(uncarried->Name) + "\" holds characters the ANSI code page lacks; nothing was shown";
            return false;
        }
        for (size_t i = 0; i < fields.size(); ++i)
            shown[i].Value = record.Values[i];
    } else {
        stored = ReadOEMValues(fields);
    }
    text.clear();
    for (size_t i = 0; i < fields.size(); ++i) {
        TGivenField& field = shown[i];
        const std::string name = fields[i]->Name;
        if (mode == TStoreMode::Registry) {
            field.Absent = !stored[i].Present;
            if (field.Absent) {
                text += FieldLine(name, field) + "\r\n";
                continue;
            }
            if (!OEMValueText(stored[i], field.Value)) {
                error = "\"" + name + "\" holds characters the ANSI code page lacks; nothing was shown";
                return false;
            }
            field.Expand = stored[i].Type == REG_EXPAND_SZ;
            field.AsIs = fields[i]->Kind == TFieldKind::Url && !field.Value.empty() && !IsAbsoluteHttpUrl(field.Value);
        }
        std::string refusal = ValueRefusal(schema, i, field.Value);
        if (refusal.empty() && mode == TStoreMode::Registry &&
            RegistryValueOf(field.Expand, field.Value).Bytes != stored[i].Bytes)
            refusal = "holds data that /apply would not write back byte for byte (an odd length, or no final NUL)";
        if (!refusal.empty()) {
            error = "\"" + name + "\" " + refusal + ", which /apply cannot put back; nothing was shown";
            return false;
        }
        text += FieldLine(name, field) + "\r\n";
    }
    return true;
}
