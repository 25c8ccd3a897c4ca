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

std::string ChangeLines(const TStoreChange& change)
{
    const TShownStoreMode mode = change.Mode == TStoreMode::Legacy ? TShownStoreMode::Legacy : TShownStoreMode::Registry;
    std::string lines;
    for (const TFieldChange& field : change.Changes) {
        const TWideText wide = ChangeLine(mode, Shown(change.Mode, field.Name, field.Before),
                                          Shown(change.Mode, field.Name, field.After), AnsiCanShow);
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
        const std::vector<TFieldRequest> requests = Requests(given);
        const TRequestedLogo logo = CheckRequestedLogo(schema.Fields, requests);
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
