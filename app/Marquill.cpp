// The program body: the one window and its message loop; started with
// arguments, one job for a script instead, without a window.
#include <windows.h>

#include <exception>

#include "cli/CliRules.h"
#include "cli/CommandLine.h"
#include "i18n/Translate.h"
#include "ui/ApplicationWindow.h"
#include "ui/ErrorBox.h"
#include "ui/MainForm.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::vector<std::string> args;
    const TUsageError argumentError = ProgramArguments(args);
    if (!args.empty())
        return CommandLineMain(args, argumentError);

    InitCommonControlClasses();
    try {
        InitTranslation();
        ApplicationWindow();
        AppFrm = new TAppFrm;
        AppFrm->QuitOnDestroy = true;
    } catch (const std::exception& e) {
        ShowErrorBox(e.what(), nullptr);
        return 1;
    }

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (AppFrm && AppFrm->IsFormMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    delete AppFrm;
    return 0;
}
