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

// Every control of the window, named as its row of the description and
// numbered as the row's index (checked where the table is defined): a
// control is addressed by one of these, so a misspelt one does not compile.
// Some read oddly (T_XP, the editing page; G_1, its "General" panel;
// Label_MOdel; Button4Cli) but are the window's own names and stay.
enum class TCtl : int {
    None = -1,
    AppFrm,
    PageControl1,
    T_XP,
    G_1,
    Label_Manufacturer,
    Edit_Manufacturer,
    Label_MOdel,
    Edit_Model,
    Label_SHours,
    Edit_SHours,
    Label_SPhone,
    Edit_SPhone,
    Label_SUrl,
    Edit_SUrl,
    G_2,
    Label_Line1,
    Edit_Line1,
    Label_Line2,
    Edit_Line2,
    Label_Line3,
    Edit_Line3,
    Label_Line4,
    Edit_Line4,
    Label_Line5,
    Edit_Line5,
    Label_Line6,
    Edit_Line6,
    Label_Line7,
    Edit_Line7,
    Label_Line8,
    Edit_Line8,
    Label_Line9,
    Edit_Line9,
    Label_Line10,
    Edit_Line10,
    G_3,
    Image1,
    Label_Logo,
    Btn_Open,
    T_About,
    G_4,
    Label_OSGroup1,
    Label_Win11,
    Label_Win10,
    Label_Win7,
    Label_Win8,
    Label_WinVista,
    Label_OSGroup2,
    Label_Win2003,
    Label_WinXP,
    Label_Win2000,
    Label_WinNT4,
    Label_OSGroup3,
    Label_WinME,
    Label_Win98,
    Label_Win95,
    G_5,
    Label_App,
    Label_AppValue,
    Label_Version,
    Label_VersionValue,
    Label_Author,
    Label_AuthorValue,
    Label_WWW,
    Label_WWWValue,
    Label_Contact,
    Label_ContactValue,
    Btn_Back,
    Panel1,
    Label9,
    Label10,
    Btn_About,
    Btn_Remove,
    Btn_Apply,
    OpenPictureDialog1,
};
constexpr size_t FormControlCount = static_cast<size_t>(TCtl::OpenPictureDialog1) + 1;

struct TControlDesc {
    TCtl id;
    const char* name;
    TControlKind kind;
    TCtl parent;  // None for the form itself and for the dialog
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
    // Lies over its siblings of earlier rows where they overlap (the bottom
    // bar over the page control, "Support Info" over "General"), so it comes
    // first among them; every other row follows the rows before it, and the
    // window reads as the table does.
    bool stacksOver;
};

extern const TControlDesc FormControls[FormControlCount];

// The picture box's name is its text and the logo path that Apply stores;
// this word stands for the path while there is none.
extern const char* const NoLogoText;

inline const TControlDesc& Desc(TCtl id)
{
    return FormControls[static_cast<size_t>(id)];
}

// The design's reference: positions are scaled by (height of "0" in the
// window font) / FormDesignTextHeight, fonts by (screen dpi) / 96.
constexpr int FormDesignTextHeight = 13;
constexpr int FormDesignDpi = 96;
