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
#include "oeminfo/StoreChange.h"
#include "oeminfo/StoreLock.h"
#include "oeminfo/StrictStore.h"

#include <windows.h>

#include <algorithm>
#include <exception>

namespace {

// A field of the change as the change lines show it.
TShownValue Shown(TStoreMode mode, const std::string& name, const TStoredBytes& value)
{
    if (mode == TStoreMode::Registry)
        return ShownValue(name.c_str(), value);
    TShownValue shown;
    shown.Name = name;
    shown.Present = value.Present;
    shown.Text = ToWide(value.Bytes);
    return shown;
}

// The lines are ASCII, every other character escaped by its code point: an
// engine's log decodes a program's output in a code page of its own (Windows
// PowerShell in the OEM one), and ASCII reads the same in all of them.
std::string ChangeLines(const TStoreChange& change)
{
    const TShownStoreMode mode = change.Mode == TStoreMode::Legacy ? TShownStoreMode::Legacy : TShownStoreMode::Registry;
    std::string lines;
    for (const TFieldChange& field : change.Changes) {
        const TWideText line = ChangeLine(mode, Shown(change.Mode, field.Name, field.Before),
                                          Shown(change.Mode, field.Name, field.After), [](char32_t c) { return c < 0x80; });
        for (wchar_t c : line)
            lines += static_cast<char>(c);
        lines += "\r\n";
    }
    return lines;
}

// `name` is the file's name as given, in UTF-8.
TUsageError ReadFieldFile(const std::string& name, std::string& bytes)
{
    std::string path;
    if (!Utf8ToAnsiExactly(name, path))
        return UnopenablePath("\"" + name + "\"");
    // A file that another program still holds open for writing is read as
    // it stands.
    TWholeFile file = ReadWholeFile(path, MaxFieldFileBytes, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (file.Read()) {
        bytes = std::move(file.Bytes);
        return TUsageError();
    }
    if (file.Error == ERROR_FILE_TOO_LARGE)
        return name + " is larger than a field file can be (" + std::to_string(MaxFieldFileBytes) + " bytes).";
    return "Cannot read the field file " + name + ": " +
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
                error = ParseFieldFile(bytes, source.Text, AnsiToUtf8, fields);
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

// Legacy mode keeps texts in the ANSI code page: the values given (UTF-8)
// are brought there exactly, before their lengths are counted in its bytes.
TUsageError ValuesInAnsi(std::vector<TFieldAssignment>& fields)
{
    for (TFieldAssignment& field : fields) {
        std::string ansi;
        size_t position = 0;
        if (!Utf8ToAnsiExactly(field.Value, ansi, &position))
            return "The value of \"" + field.Name + "\" (" + field.Origin + ") holds a character the ANSI code page " +
                   "lacks (character " + std::to_string(position) + "), which legacy mode cannot store.";
        field.Value = std::move(ansi);
    }
    return TUsageError();
}

// The program opens a Logo given with the ANSI file functions.
TUsageError PathsOpenable(const TFieldSchema& schema, const std::vector<TGivenField>& given)
{
    std::string ignored;
    for (size_t i = 0; i < schema.Fields.size(); ++i)
        if (schema.Fields[i]->Kind == TFieldKind::Picture && given[i].Given &&
            !Utf8ToAnsiExactly(given[i].Value, ignored))
            return UnopenablePath("The value of \"" + std::string(schema.Fields[i]->Name) + "\" (" + given[i].Origin + ")");
    return TUsageError();
}

// What each field of `schema` asks, for the store.
std::vector<TFieldRequest> Requests(const std::vector<TGivenField>& given)
{
    std::vector<TFieldRequest> requests(given.size());
    for (size_t i = 0; i < given.size(); ++i) {
        requests[i].Given = given[i].Given;
        requests[i].Absent = given[i].Absent;
        requests[i].Expand = given[i].Expand;
        requests[i].Value = given[i].Value;
    }
    return requests;
}

// /apply's writes of a change, giving the exit code: a failure reported on
// `err`, with whether what was there before was written back.
int WriteChange(const TStoreChange& change, TConsoleOut& err)
{
    std::string restoreError;
    try {
        WriteStoreChange(change, restoreError);
        return ExitDone;
    } catch (const ENothingWritten& failure) {
        ReportError(err, failure.what());
        return ExitStoreError;
    } catch (const std::exception& failure) {
        ReportError(err, failure.what());
    }
    if (restoreError.empty()) {
        err.Write("The OEM information read before was written back.\r\n");
    } else {
        err.Write("Writing back the OEM information read before failed too:\r\n");
        ReportError(err, restoreError);
    }
    return ExitStoreError;
}

}  // namespace

int ApplyOrTest(TStoreMode mode, const TCliRequest& request, TConsoleOut& out, TConsoleOut& err)
{
    const bool test = request.Command == TCliCommand::Test;
    const TFieldSchema schema = SchemaOf(mode);
    std::vector<TFieldAssignment> assignments;
    TUsageError error = GatherFields(request, assignments);
    if (error.empty() && mode == TStoreMode::Legacy)
        error = ValuesInAnsi(assignments);
    std::vector<TGivenField> given;
    if (error.empty())
        error = CheckFields(assignments, schema, given);
    if (error.empty() && mode == TStoreMode::Registry)
        error = PathsOpenable(schema, given);
    if (!error.empty())
        return UsageError(err, error);

    // Notices go to standard output before the last line, as the summary
    // does: an engine reports that line, and counts any error output after
    // an exit 0 as a failure.
    std::string lines, notices;
    size_t differences = 0;
    int code = ExitDone;
    try {
        const std::vector<TFieldRequest> requests = Requests(given);
        const TRequestedLogo logo = CheckRequestedLogo(mode, requests);
        const auto compare = [&] {
            const TStoreChange change = ReadStoreChange(mode, requests, logo);
            if (mode == TStoreMode::Registry)
                error = CheckWebAddresses(schema, given, change.StoredAsGiven);
            if (!error.empty())
                return;
            differences = change.Changes.size();
            lines = ChangeLines(change);
            if (!test && differences > 0)
                code = WriteChange(change, err);
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
        std::string refusal;
        if (mode == TStoreMode::Registry) {
            field.Absent = !stored[i].Present;
            if (field.Absent) {
                text += FieldLine(name, field) + "\r\n";
                continue;
            }
            const TWideText wide = StoredWideText(stored[i]);
            field.Value = WideToUtf8(wide);
            field.Expand = stored[i].Type == REG_EXPAND_SZ;
            field.AsIs = fields[i]->Kind == TFieldKind::Url && !field.Value.empty() && !IsAbsoluteHttpUrl(field.Value);
            std::string ansi;
            if (Utf8ToWide(field.Value) != wide)
                refusal = "holds half a UTF-16 surrogate pair, which is no text";
            else if (fields[i]->Kind == TFieldKind::Picture && !Utf8ToAnsiExactly(field.Value, ansi))
                refusal = "names a file by characters the ANSI code page lacks";
        }
        if (refusal.empty())
            refusal = ValueRefusal(schema, i, field.Value);
        if (refusal.empty() && mode == TStoreMode::Registry &&
            RegistryValueOf(field.Expand, field.Value).Bytes != stored[i].Bytes)
            refusal = "holds data that /apply would not write back byte for byte (an odd length, or no final NUL)";
        if (!refusal.empty()) {
            error = "\"" + name + "\" " + refusal + ", which /apply cannot put back; nothing was shown";
            return false;
        }
        const std::string line = FieldLine(name, field);
        text += (mode == TStoreMode::Legacy ? AnsiToUtf8(line) : line) + "\r\n";
    }
    // A file that is all ASCII stays as such files always were.
    if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        text.insert(0, "\xEF\xBB\xBF");
    return true;
}
