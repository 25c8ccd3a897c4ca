#include "cli/CommandLine.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/WinFiles.h"
#include "base/WinHandles.h"
#include "base/Wow64.h"
#include "cli/CliRules.h"
#include "cli/StdStream.h"
#include "i18n/Translate.h"
#include "oeminfo/WinOEMInfo.h"
#include "picture/Picture.h"

#include <windows.h>

#include <exception>

namespace {

// The legacy store's profile reader gives back at most 2047 characters of a
// value. The registry reader would take far more, but Windows advises
// against values over 2048 bytes, and one bound for both modes keeps a field
// file good for either.
constexpr size_t MaxValueLength = 2047;

// A field as the command line names it, and where it lives in the record:
// one of its texts, or (legacy mode) support line `Line`, counted from 1.
struct TCliField {
    std::string Name;
    std::string TOEMInfo::*Text;
    size_t Line;
};

// Registry mode: the record's six texts. Legacy mode: the texts that store
// keeps, with the editable support lines before the logo, as in the window.
std::vector<TCliField> FieldsOf(TStoreMode mode)
{
    std::vector<TCliField> fields;
    for (const TOEMField& field : OEMFields) {
        if (!IsStoredIn(field, mode))
            continue;
        if (mode == TStoreMode::Legacy && field.Text == &TOEMInfo::Logo)
            for (size_t line = 1; line <= OEMLineFieldCount; ++line)
                fields.push_back({"Line" + std::to_string(line), nullptr, line});
        fields.push_back({field.Name, field.Text, 0});
    }
    return fields;
}

const char* ModeName(TStoreMode mode)
{
    return mode == TStoreMode::Legacy ? "legacy mode" : "registry mode";
}

TFieldSchema SchemaOf(TStoreMode mode)
{
    const TStoreMode other = mode == TStoreMode::Legacy ? TStoreMode::Registry : TStoreMode::Legacy;
    TFieldSchema schema;
    schema.ModeName = ModeName(mode);
    schema.OtherModeName = ModeName(other);
    schema.MaxValueLength = MaxValueLength;
    for (const TCliField& field : FieldsOf(mode))
        schema.Names.push_back(field.Name);
    for (const TCliField& field : FieldsOf(other)) {
        bool shared = false;
        for (const std::string& name : schema.Names)
            shared = shared || name == field.Name;
        if (!shared)
            schema.OtherMode.push_back(field.Name);
    }
    return schema;
}

// The record the store in force holds, read as the window reads it when it
// opens; `Lines` keeps every support line read, also those past the tenth.
struct TStoredRecord {
    std::vector<std::string> Values;  // one per field of the mode
    std::vector<std::string> Lines;
};

TStoredRecord ReadStore(TStoreMode mode, const std::vector<TCliField>& fields)
{
    OEMInfo = TOEMInfo();
    ReadOEMInfo(mode);
    TStoredRecord record;
    if (OEMInfo.SupportLines)
        record.Lines = *OEMInfo.SupportLines;
    for (const TCliField& field : fields) {
        if (field.Text)
            record.Values.push_back(OEMInfo.*field.Text);
        else
            record.Values.push_back(field.Line <= record.Lines.size() ? record.Lines[field.Line - 1] : "");
    }
    return record;
}

// Writes the whole record as Apply does: registry mode the six texts; legacy
// mode the non-empty lines in order, renumbered, and the logo copied by the
// store. `lines` (when given) are the legacy lines to write as they are.
void WriteStore(TStoreMode mode, const std::vector<TCliField>& fields, const std::vector<std::string>& values,
                const std::vector<std::string>* lines = nullptr)
{
    TOEMInfo info;
    info.SupportLines = std::make_unique<std::vector<std::string>>();
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].Text)
            info.*fields[i].Text = values[i];
        else if (!values[i].empty())
            info.SupportLines->push_back(values[i]);
    }
    if (lines)
        *info.SupportLines = *lines;
    WriteOEMInfo(mode, info);
}

void ReportError(TConsoleOut& err, const std::string& message)
{
    err.Write(WithFullStop(message) + "\r\n");
}

int UsageError(TConsoleOut& err, const TUsageError& error)
{
    err.Write(error + "\r\n" + UsageHint + "\r\n");
    return ExitUsageError;
}

// The platform's text for an error code, without its line break and full stop.
std::string ReasonText(DWORD code)
{
    char buffer[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                                  sizeof buffer, nullptr);
    std::string text(buffer, length < sizeof buffer ? length : 0);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "system error " + std::to_string(code) : text;
}

TUsageError ReadFieldFile(const std::string& path, std::string& bytes)
{
    auto cannotRead = [&path](const std::string& reason) {
        return "Cannot read the field file " + path + ": " + reason + ".";
    };
    THandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return cannotRead(ReasonText(GetLastError()));
    uint64_t size = 0;
    if (!FileSizeOf(file.Get(), size))
        return cannotRead(ReasonText(GetLastError()));
    if (size > MaxFieldFileBytes)
        return path + " is larger than a field file can be (" + std::to_string(MaxFieldFileBytes) + " bytes).";
    bytes.assign(static_cast<size_t>(size), '\0');
    for (DWORD done = 0; done < size;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), &bytes[done], static_cast<DWORD>(size) - done, &got, nullptr))
            return cannotRead(ReasonText(GetLastError()));
        if (got == 0)
            return cannotRead("it ended early");
        done += got;
    }
    return TUsageError();
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

int Show(TStoreMode mode, TConsoleOut& out)
{
    const std::vector<TCliField> fields = FieldsOf(mode);
    const TStoredRecord record = ReadStore(mode, fields);
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i)
        text += fields[i].Name + "=" + record.Values[i] + "\r\n";
    out.Write(text);
    return ExitDone;
}

int Apply(TStoreMode mode, const TCliRequest& request, TConsoleOut& err)
{
    const std::vector<TCliField> fields = FieldsOf(mode);
    std::vector<TFieldAssignment> assignments;
    TUsageError error = GatherFields(request, assignments);
    std::vector<std::string> values;
    std::vector<bool> given;
    if (error.empty())
        error = CheckFields(assignments, SchemaOf(mode), values, given);
    if (!error.empty())
        return UsageError(err, error);

    // The logo must pass the checks the window's Open makes; an empty one
    // stores no logo (and in legacy mode keeps the logo file there is).
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].Text == &TOEMInfo::Logo && given[i] && !values[i].empty()) {
            // The legacy store reads the logo with the redirection off, as
            // the window's load does; the check must see the same file.
            TWow64RedirectionOff redirectionOff(mode == TStoreMode::Legacy && IsWow64());
            TPicture picture;
            picture.LoadFromFile(values[i]);
            redirectionOff.Restore();
        }
    }

    const TStoredRecord stored = ReadStore(mode, fields);
    for (size_t i = 0; i < fields.size(); ++i)
        if (!given[i])
            values[i] = stored.Values[i];
    try {
        WriteStore(mode, fields, values);
    } catch (const std::exception& failure) {
        ReportError(err, failure.what());
        // Part of the record may be written: put back what was read, all the
        // lines included (those past the tenth too).
        try {
            WriteStore(mode, fields, stored.Values, &stored.Lines);
            err.Write("The OEM information read before was written back.\r\n");
        } catch (const std::exception& restoreFailure) {
            err.Write("Writing back the OEM information read before failed too:\r\n");
            ReportError(err, restoreFailure.what());
        }
        return ExitStoreError;
    }
    return ExitDone;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, TConsoleOut& out, TConsoleOut& err)
{
    TCliRequest request;
    const TUsageError error = ParseArguments(args, request);
    if (!error.empty())
        return UsageError(err, error);

    const TStoreMode mode = StoreMode();
    try {
        switch (request.Command) {
        case TCliCommand::Help:
            out.Write(HelpText(SchemaOf(TStoreMode::Registry), SchemaOf(TStoreMode::Legacy)));
            return ExitDone;
        case TCliCommand::Show:
            return Show(mode, out);
        case TCliCommand::Apply:
            return Apply(mode, request, err);
        case TCliCommand::Remove:
            RemoveOEMInfo(mode);
            return ExitDone;
        }
    } catch (const std::exception& e) {
        // A store that cannot be read, a logo that fails the picture checks:
        // the text the window's error box would show.
        ReportError(err, e.what());
        return ExitStoreError;
    }
    return ExitUsageError;
}

int CommandLineMain(const std::vector<std::string>& args)
{
    TStdStream out(STD_OUTPUT_HANDLE);
    TStdStream err(STD_ERROR_HANDLE);
    // No box may wait for a click that a deployment script never gives.
    SetTranslationReport([&err](const std::string& text) { err.Write(text + "\r\n"); });
    int code = ExitStoreError;
    try {
        InitTranslation();
        code = RunCommandLine(args, out, err);
    } catch (const std::exception& e) {
        ReportError(err, e.what());
    }
    SetTranslationReport(nullptr);
    return code;
}
