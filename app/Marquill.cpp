// The program body: the one window and its message loop; started with
// arguments, one job for a script instead, without a window.
#include <windows.h>

#include "cli/CliRules.h"
#include "cli/CommandLine.h"
#include "ui/WindowProgram.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::vector<std::string> args;
    const TUsageError argumentError = ProgramArguments(args);
    if (!args.empty())
        return CommandLineMain(args, argumentError);
    return WindowProgramMain();
}
