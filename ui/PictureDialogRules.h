#pragma once
// The rules of the picture dialog that need no window: the filter text the
// file dialog takes and the geometry of both previews. Nothing here calls
// Windows, so it also builds natively, under the sanitizers.
#include <string>

#ifdef _WIN32
#include <windows.h>
using TPixelRect = RECT;
#else
// RECT's fields, in RECT's order, for the native build.
struct TPixelRect {
    long left, top, right, bottom;
};
#endif

// The filter in the form the file dialog takes: "a|b|c|d" gives
// "a\0b\0c\0d\0\0". A description left without a pattern, and a pair with
// an empty half (which would end the list there), are dropped.
std::string OfnFilterFromText(const std::string& filter);

// The largest rectangle of the picture's proportions that fits in `box`,
// centred in it; pictures smaller than the box are scaled up. Empty when
// either the picture or the box has no area.
TPixelRect FitPictureRect(int pictureWidth, int pictureHeight, const TPixelRect& box);

// Outer bounds of the "Preview" window: the picture plus `margin` on every
// side, plus the window frame (`frameWidth`, `frameHeight` = outer size minus
// client size), at most three quarters of the screen in each direction, and
// centred on the screen. A captioned window cannot be smaller than the
// system's minimum tracking size (`minWidth`, `minHeight`), so the bounds
// never are either: otherwise the window would not end up centred.
TPixelRect PreviewWindowBounds(int pictureWidth, int pictureHeight, int margin, int frameWidth, int frameHeight,
                               int minWidth, int minHeight, int screenWidth, int screenHeight);
