// The program body: the one window and its message loop.
#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "i18n/Translate.h"
#include "ui/ErrorBox.h"
#include "ui/MainForm.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
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
