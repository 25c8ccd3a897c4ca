#pragma once
// The one way errors reach the user: a modal box with the error icon and OK,
// captioned with the program's title.
#include <windows.h>

#include <string>

#include "base/ProgramTitle.h"

// The program's icon, or the system's default one where the executable
// carries none (as the test programs do).
HICON ProgramIcon();

// The program's own hidden top-level window, titled with the program's
// title. It owns the error box while the main window is still being built,
// when no window of the program can be active yet. Made on first use.
HWND ApplicationWindow();

// Shows `message` (with the full-stop rule) owned by `owner`, or by the
// application window when `owner` is nullptr. Returns when the user closed it.
void ShowErrorBox(const std::string& message, HWND owner);
