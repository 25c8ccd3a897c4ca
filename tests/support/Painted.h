#pragma once
// Whether a window shows its final pixels: shared by the tests and the
// screenshot helper, which must not capture a half-painted window either.
#include <windows.h>

// True when the window is visible and neither it nor any visible window
// inside it waits for WM_PAINT: what the screen shows is final.
bool FullyPainted(HWND top);
