#pragma once
// Marquill started with arguments: one job on the store in force, without a
// window, through the same store operations and picture checks the window
// uses, ended by an exit code.
#include <string>
#include <vector>

// Where the command line's texts go: standard output or error, or a test's
// own collector.
class TConsoleOut {
public:
    virtual ~TConsoleOut() = default;
    // `text` is in the ANSI code page, lines ending in CR LF.
    virtual void Write(const std::string& text) = 0;
};

enum TExitCode : int {
    ExitDone = 0,
    ExitStoreError = 1,  // a store or picture error, with the error box's text
    ExitUsageError = 2,  // a wrong command line or field file; nothing written
};

// Runs the command `args` asks for (the arguments without the program name)
// and gives the exit code. What show writes goes to `out`, messages to `err`.
// The caller has chosen the language (InitTranslation) beforehand.
int RunCommandLine(const std::vector<std::string>& args, TConsoleOut& out, TConsoleOut& err);

// The program body when started with arguments: chooses the language as the
// window does (so store and picture messages read as its error box shows
// them), then runs the command with the standard output and error handles.
int CommandLineMain(const std::vector<std::string>& args);
