#pragma once
// The program's own top-level window, titled with the program's title. It
// stands for the program on the taskbar and in Alt+Tab: it is shown, with
// no size and so no place on the screen, while the main window (which it
// owns) exists; minimising the main window minimises it to its button,
// restoring or activating it brings the main window back, and closing it
// closes the main window. While the main window is being built it is still
// hidden and owns the error box, since no window of the program can be
// active yet.
#include <windows.h>

// A window class's icons: the program's icon, or the system's default one
// where the executable carries none (as the test programs do), and its small
// picture taken from the executable's own small image.
void SetProgramIcons(WNDCLASSEXA& wc);

// The application window; made on first use.
HWND ApplicationWindow();

// `main` is the window the application window now stands for (shown with
// it); nullptr when it goes (the application window hides again).
void SetMainWindow(HWND main);

// The main window's minimise: it hides, and the application window goes to
// its taskbar button.
void MinimizeApplication();

// The common controls' window classes registered, before the first window.
void InitCommonControlClasses();
