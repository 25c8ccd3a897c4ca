// The program body: the one window and its message loop; started with
// arguments, one job for a script instead, without a window.
#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "base/LoadedFunction.h"
#include "cli/CliRules.h"
#include "cli/CommandLine.h"
#include "i18n/Translate.h"
#include "ui/ErrorBox.h"
#include "ui/MainForm.h"

namespace {

// InitCommonControlsEx came with comctl32 4.70; the comctl32 4.00 of the
// first Windows 95 has only InitCommonControls, which registers the same
// Windows 95 classes. The import of InitCommonControls also keeps comctl32
// (version 6 under the manifest) loaded before the first window.
void InitControls()
{
    using TInitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto initEx = LoadedFunction<TInitEx>("comctl32.dll", "InitCommonControlsEx");
    if (!initEx) {
        InitCommonControls();
        return;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    if (initEx(&controls))
        return;
    // comctl32 4.70 to 5.8x know no ICC_STANDARD_CLASSES and refuse the
    // whole request; the standard controls need no registering there.
    controls.dwICC = ICC_WIN95_CLASSES;
    initEx(&controls);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::vector<std::string> args;
    const TUsageError argumentError = ProgramArguments(args);
    if (!args.empty())
        return CommandLineMain(args, argumentError);

    InitControls();
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
