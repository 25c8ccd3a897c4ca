#pragma once
// The main window described as data: one row per control, parents before
// their children, in creation order. The window is built from this table and
// scaled from it, and the translation walks the texts it names; a control's
// look is found here and nowhere else.
#include <windows.h>
#include <commctrl.h>  // CLR_NONE, CLR_DEFAULT

#include <cstddef>

enum class TControlKind { Form, PageControl, Page, Panel, ZanthPanel, Label, Edit, Button, Image, PictureDialog };

// How a control follows its parent's size: None keeps the designed place,
// Bottom sticks to the parent's bottom edge across its full width.
enum class TAlign { None, Bottom };

struct TControlDesc {
    const char* name;
    TControlKind kind;
    const char* parent;  // nullptr for the form itself and for the dialog
    // Client coordinates in the parent at 96 dpi. A label with width and
    // height 0 sizes itself to its text.
    int left, top, width, height;
    const char* text;  // caption, or the dialog's filter; N_() marked where it is language
    // Own font: face, character height in pixels at 96 dpi (LOGFONT height is
    // its negative) and text colour. A nullptr face takes the parent's font
    // whole (face, height and colour), and the two fields after it are unused.
    const char* fontFace;
    int fontHeight;
    COLORREF fontColor;  // CLR_DEFAULT: the system's window-text colour
    COLORREF color;  // background; CLR_NONE shows the parent's
    int tag;
    int tabOrder;  // order among the focusable siblings; -1 for controls that take no focus
    bool visible;
    TAlign align;
    bool handCursor;  // the mouse pointer turns to a hand over the control
};

extern const TControlDesc FormControls[];
extern const size_t FormControlCount;

// The design's reference: positions are scaled by (height of "0" in the
// window font) / FormDesignTextHeight, fonts by (screen dpi) / 96.
constexpr int FormDesignTextHeight = 13;
constexpr int FormDesignDpi = 96;

// The row named `name`, or nullptr.
const TControlDesc* FindControlDesc(const char* name);
