#include "ui/WindowProgram.h"

#include "base/Rights.h"
#include "i18n/Translate.h"
#include "ui/ApplicationWindow.h"
#include "ui/ErrorBox.h"
#include "ui/MainForm.h"

#include <exception>

int WindowProgramMain()
{
    if (StartedElevatedCopy())
        return 0;
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
    AppFrm = nullptr;
    return 0;
}
