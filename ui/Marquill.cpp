// The program body: the one window and its message loop.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <exception>

#include "i18n/Translate.h"
#include "ui/ErrorBox.h"
#include "ui/MainForm.h"

// The C++ library's own handler for an uncaught exception writes the
// exception's demangled type to stderr, which a windowed program has not got,
// and then aborts; for that it links the whole demangler, some 45 KB. This one
// aborts the same way without it.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx

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
