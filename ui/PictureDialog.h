#pragma once
// The picture-open dialog: the common file-open dialog with a preview of the
// selected picture at its right, and the modal "Preview" window.
#include <windows.h>

#include <commdlg.h>

#include <string>

class TOpenPictureDialog {
public:
    std::string Filter;    // "Bitmaps (*.bmp)|*.bmp" form: description|pattern pairs
    std::string FileName;  // offered pre-filled; the chosen full path after Execute

    // Runs the dialog modally; true when the user chose a file. Cancelling
    // gives false and leaves FileName alone. A dialog that cannot be shown at
    // all raises EMarquillError, so that the failure is not taken for a cancel.
    // The dialog is asked for through PlatformApi.GetOpenFileNameA.
    bool Execute(HWND owner);

    // Controls of the preview panel, inside the dialog's template child.
    enum : int {
        IdPictureLabel = 0x5A0,  // " (WxH)" or "Picture:"
        IdPreviewArea = 0x5A1,   // the picture scaled to fit, "(None)" or "Invalid image"
        IdPreviewButton = 0x5A2  // opens the "Preview" window
    };
};

// The filter in the form the file dialog takes: "a|b|c|d" gives
// "a\0b\0c\0d\0\0". A description left without a pattern, and a pair with
// an empty half (which would end the list there), are dropped.
std::string OfnFilterFromText(const std::string& filter);

// The largest rectangle of the picture's proportions that fits in `box`,
// centred in it; pictures smaller than the box are scaled up. Empty when
// either the picture or the box has no area.
RECT FitPictureRect(int pictureWidth, int pictureHeight, const RECT& box);

// Outer bounds of the "Preview" window: the picture plus `margin` on every
// side, plus the window frame (`frameWidth`, `frameHeight` = outer size minus
// client size), at most three quarters of the screen in each direction, and
// centred on the screen. A captioned window cannot be smaller than the
// system's minimum tracking size (`minWidth`, `minHeight`), so the bounds
// never are either: otherwise the window would not end up centred.
RECT PreviewWindowBounds(int pictureWidth, int pictureHeight, int margin, int frameWidth, int frameHeight,
                         int minWidth, int minHeight, int screenWidth, int screenHeight);
