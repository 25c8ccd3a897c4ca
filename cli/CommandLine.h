#pragma once
// Marquill started with arguments: one job on the store in force, without a
// window, through the same store operations and picture checks the window
// uses, ended by an exit code.
#include "cli/CliRules.h"

#include <string>
#include <vector>

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

// Runs the command `args` asks for (the arguments without the program name,
// in UTF-8) and gives the exit code. What show writes goes to `out`, messages to `err`.
// The caller has chosen the language (InitTranslation) beforehand.
int RunCommandLine(const std::vector<std::string>& args, TConsoleOut& out, TConsoleOut& err);

// The program's arguments (without its name) in UTF-8. On the NT family the
// wide command line is split, so that any text comes through exactly and no
// best-fit look-alike can split an argument or make an option; an argument
// holding half a surrogate pair is a usage error naming its position (`args`
// still holds one entry per argument). Windows 9x, whose wide command line
// is a stub, splits GetCommandLineA, in the ANSI code page.
TUsageError ProgramArguments(std::vector<std::string>& args);

// The program body when started with arguments: chooses the language as the
// window does (so store and picture messages read as its error box shows
// them), then runs the command with the standard output and error handles;
// an `argumentError` from ProgramArguments ends it as a usage error.
int CommandLineMain(const std::vector<std::string>& args, const TUsageError& argumentError);
