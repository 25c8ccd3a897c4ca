#pragma once
// The one way errors reach the user: a modal box with the error icon and OK,
// captioned with the program's title.
#include <windows.h>

#include <string>

#include "base/ProgramTitle.h"
#include "ui/ApplicationWindow.h"

// Shows `message` (with the full-stop rule) owned by `owner`, or by the
// application window when `owner` is nullptr. Returns when the user closed it.
void ShowErrorBox(const std::string& message, HWND owner);
