// The error box.
#include "ui/ErrorBox.h"

#include "base/Format.h"

void ShowErrorBox(const std::string& message, HWND owner)
{
    if (!owner)
        owner = ApplicationWindow();
    MessageBoxA(owner, WithFullStop(message).c_str(), ProgramTitle().c_str(), MB_ICONERROR | MB_OK);
}
