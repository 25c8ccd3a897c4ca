// The command line's reports.
#include "cli/ConsoleOut.h"

#include "base/AnsiText.h"
#include "base/Format.h"

namespace {

// `utf8` in the ANSI code page, a character it lacks written as \u{XXXX}
// (its code point), as the change lines write it: a usage error quotes the
// argument, which must stay recognisable.
std::string ForMessage(const std::string& utf8)
{
    const TWideText wide = Utf8ToWide(utf8);
    std::string message, ansi;
    for (size_t i = 0; i < wide.size();) {
        const bool pair = i + 1 < wide.size() && wide[i] >= 0xD800 && wide[i] <= 0xDBFF && wide[i + 1] >= 0xDC00 &&
                          wide[i + 1] <= 0xDFFF;
        const TWideView character = TWideView(wide).substr(i, pair ? 2 : 1);
        i += character.size();
        if (ToAnsiExactly(character, ansi)) {
            message += ansi;
            continue;
        }
        const unsigned codePoint =
            pair ? 0x10000 + ((character[0] - 0xD800u) << 10) + (character[1] - 0xDC00u) : character[0];
        char escape[16];
        wsprintfA(escape, "\\u{%04X}", codePoint);
        message += escape;
    }
    return message;
}

}  // namespace

int UsageError(TConsoleOut& err, const TUsageError& error)
{
    err.Write(ForMessage(error + "\r\n" + UsageHint + "\r\n"));
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
