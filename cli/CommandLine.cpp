#include "cli/CommandLine.h"

#include "base/AnsiText.h"
#include "base/Format.h"
#include "base/Rights.h"
#include "cli/CliRules.h"
#include "cli/DesiredState.h"
#include "cli/ShowOutput.h"
#include "cli/StdStream.h"
#include "i18n/Translate.h"
#include "oeminfo/StoreLock.h"
#include "oeminfo/StrictStore.h"
#include "oeminfo/WinOEMInfo.h"

#include <windows.h>

#include <exception>

namespace {

// Asked before anything else is read: a script learns at once that the
// run was refused, and nothing is written.
const char NeedsElevation[] =
    "Changing the OEM information needs an elevated prompt (Run as administrator); nothing was written";

int StoreError(TConsoleOut& err, const std::string& message)
{
    ReportError(err, message);
    return ExitStoreError;
}

// A backup that cannot be read back is no backup: a value /apply could not
// put back as it was fails.
int ShowText(TStoreMode mode, std::string& text, TConsoleOut& err)
{
    std::string error;
    if (!BackupText(mode, text, error))
        return StoreError(err, error);
    return ExitDone;
}

// The machine-readable forms come whole or not at all: a value the form
// cannot hold exactly fails, naming it.
int ShowFormatted(TStoreMode mode, TShowFormat format, std::string& bytes, TConsoleOut& err)
{
    TFormatResult result = FormatShown(format, ReadShownStore(mode));
    if (!result.Error.empty()) {
        std::string error = result.Error;
        if (!error.empty() && error.back() == '.')
            error.pop_back();
        return StoreError(err, error + "; nothing was shown");
    }
    bytes = std::move(result.Output);
    return ExitDone;
}

// Messages kept until the store has been read for the last time.
class TKeptText : public TConsoleOut {
public:
    bool Write(const std::string& text) override
    {
        Text += text;
        return true;
    }
    std::string Text;
};

// Output that did not arrive whole fails. The forms go out in their own
// encodings, byte for byte; the backup's lines are ANSI text, which a
// console shows in its code page. The output is written once the store is
// read, outside its lock.
int Show(TStoreMode mode, const TCliRequest& request, TConsoleOut& out, TConsoleOut& err)
{
    std::string bytes;
    const bool text = request.Format == TShowFormat::Text;
    int code = ExitDone;
    TKeptText readErrors;
    ReadUnderStoreLock(
        [&] {
            readErrors.Text.clear();
            code = text ? ShowText(mode, bytes, readErrors) : ShowFormatted(mode, request.Format, bytes, readErrors);
            return std::to_string(code) + readErrors.Text + '\0' + bytes;
        },
        // Standard output is the data itself unless it goes to a file.
        [&](const std::string& notice) { ReportError(request.OutPath.empty() ? err : out, notice); });
    if (!readErrors.Text.empty())
        err.Write(readErrors.Text);
    if (code != ExitDone)
        return code;
    std::string error;
    if (!request.OutPath.empty() && !WriteOutputFile(request.OutPath, bytes, error))
        return StoreError(err, error);
    if (request.OutPath.empty() && !(text ? out.Write(bytes) : out.WriteBytes(bytes)))
        return StoreError(err, "The OEM information could not be written to the output whole");
    return ExitDone;
}

// A form that does not apply to the store in force is a wrong command line.
TUsageError ShowFormatInMode(TShowFormat format, TStoreMode mode)
{
    if (format == TShowFormat::Text)
        return TUsageError();
    TShownStore empty;
    empty.Mode = mode == TStoreMode::Legacy ? TShownStoreMode::Legacy : TShownStoreMode::Registry;
    const TFormatResult result = FormatShown(format, empty);
    return result.WrongMode ? result.Error : TUsageError();
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
            const TUsageError wrongMode = ShowFormatInMode(request.Format, mode);
            if (!wrongMode.empty())
                return UsageError(err, wrongMode);
            return Show(mode, request, out, err);
        }
        case TCliCommand::Test:
            return ApplyOrTest(mode, request, out, err);
        case TCliCommand::Apply:
            if (!MayChangeStore())
                return StoreError(err, NeedsElevation);
            return ApplyOrTest(mode, request, out, err);
        case TCliCommand::Remove:
            if (!MayChangeStore())
                return StoreError(err, NeedsElevation);
            UnderStoreLock([&] { RemoveOEMInfo(mode); }, [&](const std::string& notice) { ReportError(out, notice); });
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
