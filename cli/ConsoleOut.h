#pragma once
// Where the command line's texts go, and the exit codes it ends with: shared
// by the commands, which print, and the program body, which runs them.
#include "cli/CliRules.h"

#include <string>

// Where the command line's texts go: standard output or error, or a test's
// own collector.
class TConsoleOut {
public:
    virtual ~TConsoleOut() = default;
    // `text` is in the ANSI code page, lines ending in CR LF. False when it
    // did not arrive whole.
    virtual bool Write(const std::string& text) = 0;
    // `bytes` as they are, in their own encoding, also where Write would
    // convert text for a console. False when they did not arrive whole.
    virtual bool WriteBytes(const std::string& bytes) { return Write(bytes); }
    // UTF-8 text (a byte-order mark first unless it is all ASCII): its bytes
    // as they are, but to a console the characters themselves, which the
    // console's code page might lack. False when it did not arrive whole.
    virtual bool WriteUnicode(const std::string& utf8) { return WriteBytes(utf8); }
};

enum TExitCode : int {
    ExitDone = 0,
    ExitStoreError = 1,  // a store or picture error, with the error box's text
    ExitUsageError = 2,  // a wrong command line or field file; nothing written
};

// Reports a usage error on `err`, with the hint to /?; gives ExitUsageError.
// Usage errors quote the arguments, which are UTF-8; messages go out in the
// ANSI code page, a character it lacks as \u{XXXX}, its code point.
int UsageError(TConsoleOut& err, const TUsageError& error);
// The usage error for a path (`subject` names where it was given) that
// holds a character the ANSI code page lacks: files are opened through the
// ANSI functions.
TUsageError UnopenablePath(const std::string& subject);
// Reports `message` on `err` as the error box would show it.
void ReportError(TConsoleOut& err, const std::string& message);
