#pragma once
// Marquill started with arguments: one job on the store in force, without a
// window, through the same store operations and picture checks the window
// uses, ended by an exit code.
#include "cli/CliRules.h"
#include "cli/ConsoleOut.h"

#include <string>
#include <vector>

// Runs the command `args` asks for (the arguments without the program name)
// and gives the exit code. What show writes goes to `out`, messages to `err`.
// The caller has chosen the language (InitTranslation) beforehand.
int RunCommandLine(const std::vector<std::string>& args, TConsoleOut& out, TConsoleOut& err);

// The program's arguments (without its name) in the ANSI code page. On the
// NT family the wide command line is split by the same rules and every
// argument must come into the ANSI code page exactly, with no best-fit
// look-alike, else the usage error names its position (`args` still holds
// one entry per argument). Windows 9x splits GetCommandLineA.
TUsageError ProgramArguments(std::vector<std::string>& args);

// The program body when started with arguments: chooses the language as the
// window does (so store and picture messages read as its error box shows
// them), then runs the command with the standard output and error handles;
// an `argumentError` from ProgramArguments ends it as a usage error.
int CommandLineMain(const std::vector<std::string>& args, const TUsageError& argumentError);
