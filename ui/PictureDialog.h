#pragma once
// The picture-open dialog: the common file-open dialog with a preview of the
// selected picture at its right, and the modal "Preview" window.
#include <windows.h>

#include <string>

class TOpenPictureDialog {
public:
    std::string Filter;    // "Bitmaps (*.bmp)|*.bmp" form: description|pattern pairs
    std::string FileName;  // offered pre-filled; the chosen full path after Execute

    // Runs the dialog modally; true when the user chose a file.
    bool Execute(HWND owner);
};
