#pragma once
// The modal "Preview" window: one picture scaled to fit, centred on the
// screen, closed with Escape.
#include <windows.h>

class TPicture;

void ShowPreviewWindow(HWND owner, const TPicture& picture);
