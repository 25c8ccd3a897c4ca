// The command line's reports.
#include "cli/ConsoleOut.h"

#include "base/Format.h"

int UsageError(TConsoleOut& err, const TUsageError& error)
{
    err.Write(error + "\r\n" + UsageHint + "\r\n");
    return ExitUsageError;
}

void ReportError(TConsoleOut& err, const std::string& message)
{
    err.Write(WithFullStop(message) + "\r\n");
}
