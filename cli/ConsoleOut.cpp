// The command line's reports.
#include "cli/ConsoleOut.h"

#include "base/AnsiText.h"
#include "base/Format.h"

int UsageError(TConsoleOut& err, const TUsageError& error)
{
    err.Write(FromWide(Utf8ToWide(error + "\r\n" + UsageHint + "\r\n")));
    return ExitUsageError;
}

TUsageError UnopenablePath(const std::string& subject)
{
    return subject + " names a file by characters the ANSI code page lacks, which Marquill cannot open.";
}

void ReportError(TConsoleOut& err, const std::string& message)
{
    err.Write(WithFullStop(message) + "\r\n");
}
