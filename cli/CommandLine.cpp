#include "cli/CommandLine.h"

#include "base/AnsiText.h"
#include "base/Error.h"
#include "base/Format.h"
#include "base/SystemError.h"
#include "base/WinFiles.h"
#include "base/WinHandles.h"
#include "cli/CliRules.h"
#include "cli/StdStream.h"
#include "i18n/Translate.h"
#include "oeminfo/LogoFile.h"
#include "oeminfo/StoreLayout.h"
#include "oeminfo/StoreLock.h"
#include "oeminfo/StrictStore.h"
#include "oeminfo/WinOEMInfo.h"
#include "picture/Picture.h"

#include <windows.h>

#include <exception>
#include <memory>

namespace {

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
    for (const TOEMField* field : OEMFieldsIn(mode)) {
        schema.Names.push_back(field->Name);
        schema.MaxLengths.push_back(field->MaxLength);
        if (field->MaxLength > schema.MaxValueLength)
            schema.MaxValueLength = field->MaxLength;
    }
    for (const TOEMField* field : OEMFieldsIn(other))
        if (!IsStoredIn(*field, mode))
            schema.OtherMode.push_back(field->Name);
    return schema;
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

int StoreError(TConsoleOut& err, const std::string& message)
{
    ReportError(err, message);
    return ExitStoreError;
}

// The texts the store holds, read strictly: a store that cannot be read,
// or a text that cannot be written as stored, raises an error.
std::vector<std::string> ReadStoreStrictly(TStoreMode mode, const TFieldList& fields)
{
    auto lacking = [](const TOEMField* field) {
        return EMarquillError("\"" + std::string(field->Name) +
                              "\" holds characters the ANSI code page lacks; nothing was shown");
    };
    if (mode == TStoreMode::Legacy) {
        ReadLegacyFiles();
        const TStoredRecord stored = ReadLegacyRecord(fields);
        if (const TOEMField* uncarried = UncarriedField(fields, stored, std::vector<bool>(fields.size(), false)))
            throw lacking(uncarried);
        return stored.Values;
    }
    const std::vector<TStoredBytes> stored = ReadOEMValues(fields);
    std::vector<std::string> values(fields.size());
    for (size_t i = 0; i < fields.size(); ++i)
        if (!OEMValueText(stored[i], values[i]))
            throw lacking(fields[i]);
    return values;
}

// A backup that cannot be read back is no backup: a value /apply could not
// take, or output that did not arrive whole, fails.
int Show(TStoreMode mode, TConsoleOut& out, TConsoleOut& err)
{
    const TFieldList fields = OEMFieldsIn(mode);
    const std::vector<std::string> values = ReadStoreStrictly(mode, fields);
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (values[i].find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            return StoreError(err, "\"" + std::string(fields[i]->Name) +
                                       "\" holds a line break or a NUL character, which /apply cannot read back; "
                                       "nothing was shown");
        text += fields[i]->Name + ("=" + values[i]) + "\r\n";
    }
    if (!out.Write(text))
        return StoreError(err, "The OEM information could not be written to the output whole");
    return ExitDone;
}

// Runs `write`; when it fails part-way, reports why and runs `restore`,
// which puts back what was there before.
template <class TWrite, class TRestore> int WriteOrRestore(TConsoleOut& err, TWrite write, TRestore restore)
{
    try {
        write();
        return ExitDone;
    } catch (const ENothingWritten& failure) {
        return StoreError(err, failure.what());
    } catch (const std::exception& failure) {
        ReportError(err, failure.what());
    }
    try {
        restore();
        err.Write("The OEM information read before was written back.\r\n");
    } catch (const std::exception& restoreFailure) {
        err.Write("Writing back the OEM information read before failed too:\r\n");
        ReportError(err, restoreFailure.what());
    }
    return ExitStoreError;
}

// Registry mode writes only the values given; before that it keeps each
// one's type and bytes (or that it was missing) to put back on failure.
// A logo Windows cannot show as it is becomes the logo file, written before
// the values and put back with them.
int ApplyToRegistry(const TFieldList& fields, const std::vector<std::string>& values,
                    const std::vector<bool>& given, const TPicture* logo, TConsoleOut& err)
{
    const std::vector<TStoredBytes> stored = ReadOEMValues(fields);
    TFieldList names;
    std::vector<std::string> texts;
    std::vector<TStoredBytes> before;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (!given[i])
            continue;
        names.push_back(fields[i]);
        texts.push_back(values[i]);
        before.push_back(stored[i]);
    }
    std::unique_ptr<TRegistryLogoFile> converted;
    try {
        converted = std::make_unique<TRegistryLogoFile>(logo);
    } catch (const std::exception& failure) {
        return StoreError(err, failure.what());
    }
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i]->Kind == TFieldKind::Picture && converted->Written())
            texts[i] = LogoFilePath();
    return WriteOrRestore(
        err, [&] { WriteOEMValues(names, texts); },
        [&] {
            RestoreOEMValues(names, before);
            converted->PutBack();
        });
}

// Legacy mode rewrites oeminfo.ini as Apply does, so the fields not given
// must come through the ANSI functions unchanged; both files' bytes are
// kept to put back on failure.
int ApplyToIniFiles(const TFieldList& fields, std::vector<std::string> values, const std::vector<bool>& given,
                    const TPicture* logo, TConsoleOut& err)
{
    const std::vector<TStoredBytes> files = ReadLegacyFiles();
    const TStoredRecord stored = ReadLegacyRecord(fields);
    if (const TOEMField* uncarried = UncarriedField(fields, stored, given))
        return StoreError(err, "The stored \"" + std::string(uncarried->Name) +
                                   "\" holds characters the ANSI code page lacks and would be lost: give it a "
                                   "value; nothing was written");
    for (size_t i = 0; i < fields.size(); ++i)
        if (!given[i])
            values[i] = stored.Values[i];
    return WriteOrRestore(
        err, [&] { WriteLegacyRecord(fields, values, logo); }, [&] { RestoreLegacyFiles(files); });
}

int Apply(TStoreMode mode, const TCliRequest& request, TConsoleOut& err)
{
    const TFieldList fields = OEMFieldsIn(mode);
    std::vector<TFieldAssignment> assignments;
    TUsageError error = GatherFields(request, assignments);
    std::vector<std::string> values;
    std::vector<bool> given;
    if (error.empty())
        error = CheckFields(assignments, SchemaOf(mode), values, given);
    if (!error.empty())
        return UsageError(err, error);

    // The logo must pass the checks the window's Open makes, on the file
    // Windows itself will read; what is installed or converted is made from
    // the bytes checked, never from a second read. An empty one stores no
    // logo (and in legacy mode keeps the logo file there is).
    TPicture picture;
    const TPicture* logo = nullptr;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i]->Kind == TFieldKind::Picture && given[i] && !values[i].empty()) {
            values[i] = LoadLogoAsWindowsReads(values[i], false, picture);
            logo = &picture;
        }
    }

    int code = ExitDone;
    UnderStoreLock(
        [&] {
            code = mode == TStoreMode::Registry ? ApplyToRegistry(fields, values, given, logo, err)
                                                : ApplyToIniFiles(fields, values, given, logo, err);
        },
        [&](const std::string& notice) { ReportError(err, notice); });
    return code;
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
        case TCliCommand::Show: {
            int code = ExitDone;
            UnderStoreLock([&] { code = Show(mode, out, err); },
                           [&](const std::string& notice) { ReportError(err, notice); });
            return code;
        }
        case TCliCommand::Apply:
            return Apply(mode, request, err);
        case TCliCommand::Remove:
            UnderStoreLock([&] { RemoveOEMInfo(mode); },
                           [&](const std::string& notice) { ReportError(err, notice); });
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

TUsageError ProgramArguments(std::vector<std::string>& args)
{
    args.clear();
    // Windows 9x has GetCommandLineW as a stub only; there the ANSI line is
    // all there is.
    if (!IsNtFamily()) {
        args = SplitCommandLine(GetCommandLineA());
        return TUsageError();
    }
    // GetCommandLineA would hand over a best-fit reading, in which a
    // fullwidth quote is a real one and splits one argument into two.
    TUsageError error;
    for (const TWideText& wide : SplitCommandLine(GetCommandLineW())) {
        args.emplace_back();
        if (!ToAnsiExactly(wide, args.back()) && error.empty())
            error = "Argument " + std::to_string(args.size()) +
                    " holds characters the ANSI code page lacks; nothing was written.";
    }
    return error;
}

int CommandLineMain(const std::vector<std::string>& args, const TUsageError& argumentError)
{
    TStdStream out(STD_OUTPUT_HANDLE);
    TStdStream err(STD_ERROR_HANDLE);
    // No box may wait for a click that a deployment script never gives.
    SetTranslationReport([&err](const std::string& text) { err.Write(text + "\r\n"); });
    int code = ExitStoreError;
    try {
        InitTranslation();
        code = argumentError.empty() ? RunCommandLine(args, out, err) : UsageError(err, argumentError);
    } catch (const std::exception& e) {
        ReportError(err, e.what());
    }
    SetTranslationReport(nullptr);
    return code;
}
