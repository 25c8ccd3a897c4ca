#pragma once
// The picture-open dialog: the common file-open dialog with a preview of the
// selected picture at its right, and the modal "Preview" window.
#include <windows.h>

#include <commdlg.h>

#include <string>

// The filter text and the fitting of both previews follow these rules.
#include "ui/PictureDialogRules.h"

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
