// The main window's description: one row per control.
#include "FormData.h"

#include <iterator>

#include "MarquillVersion.h"
#include "base/ResText.h"

namespace {
constexpr COLORREF PanelBack = RGB(0x1A, 0x21, 0x31);
constexpr COLORREF EditBack = RGB(0x4A, 0x5F, 0x8C);
constexpr COLORREF PageText = RGB(0xD4, 0xD4, 0xD4);
constexpr COLORREF Silver = RGB(0xC0, 0xC0, 0xC0);
// The window's own font draws in the system's window-text colour.
constexpr COLORREF SystemText = CLR_DEFAULT;
constexpr COLORREF Parents = CLR_NONE;

// TRANSLATORS: the font of the whole window; give another face only where
// Tahoma cannot show the language's letters.
constexpr const char* FACE = N_("Tahoma");

constexpr TAlign NoAlign = TAlign::None;
}  // namespace

// Columns: identifier and name, kind, parent, left, top, width, height, text, font face,
// font height, font colour, background, tag, tab order, visible, align, hand cursor.
// A row's identifier and, made from the same word, its name.
#define CTL(name) TCtl::name, #name

constexpr TControlDesc FormControls[] = {
    {CTL(AppFrm), TControlKind::Form, TCtl::None, 0, 0, 636, 460, N_("Marquill :: www.marquill.org"), FACE, 11, SystemText,
     PanelBack, 0, -1, true, NoAlign, false},
    {CTL(PageControl1), TControlKind::PageControl, TCtl::AppFrm, 0, 0, 640, 450, "", nullptr, 0, 0, Parents, 0, 0, true,
     NoAlign, false},

    // The editing page.
    {CTL(T_XP), TControlKind::Page, TCtl::PageControl1, 0, 0, 640, 450, "T_XP", FACE, 11, PageText, Parents, 0, 0, false,
     NoAlign, false},
    {CTL(G_1), TControlKind::ZanthPanel, TCtl::T_XP, 8, 6, 393, 171, N_("General"), nullptr, 0, 0, Parents, 0, 0, true,
     NoAlign, false},
    {CTL(Label_Manufacturer), TControlKind::Label, TCtl::G_1, 15, 19, 0, 0, N_("Manufacturer"), nullptr, 0, 0, Parents, 0, -1,
     true, NoAlign, false},
    {CTL(Edit_Manufacturer), TControlKind::Edit, TCtl::G_1, 136, 16, 241, 21, "", FACE, 13, PageText, EditBack, 0, 0, true,
     NoAlign, false},
    {CTL(Label_MOdel), TControlKind::Label, TCtl::G_1, 15, 46, 0, 0, N_("Model"), nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {CTL(Edit_Model), TControlKind::Edit, TCtl::G_1, 136, 43, 241, 21, "", FACE, 13, PageText, EditBack, 0, 1, true, NoAlign,
     false},
    {CTL(Label_SHours), TControlKind::Label, TCtl::G_1, 15, 72, 0, 0, N_("Support Hours"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Edit_SHours), TControlKind::Edit, TCtl::G_1, 136, 70, 241, 21, "", FACE, 13, PageText, EditBack, 0, 2, true, NoAlign,
     false},
    {CTL(Label_SPhone), TControlKind::Label, TCtl::G_1, 16, 100, 0, 0, N_("Support Phone"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Edit_SPhone), TControlKind::Edit, TCtl::G_1, 136, 97, 241, 21, "", FACE, 13, PageText, EditBack, 0, 3, true, NoAlign,
     false},
    {CTL(Label_SUrl), TControlKind::Label, TCtl::G_1, 16, 128, 0, 0, N_("Support URL"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Edit_SUrl), TControlKind::Edit, TCtl::G_1, 136, 124, 241, 21, "", FACE, 13, PageText, EditBack, 0, 4, true, NoAlign,
     false},

    // Support lines: each edit carries its line number as its tag. Line 7
    // keeps the page's smaller font and is reached last by the Tab key.
    {CTL(G_2), TControlKind::ZanthPanel, TCtl::T_XP, 8, 91, 393, 286, N_("Support Info"), nullptr, 0, 0, Parents, 0, 1, true,
     NoAlign, false},
    {CTL(Label_Line1), TControlKind::Label, TCtl::G_2, 19, 21, 0, 0, N_("Line1"), nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {CTL(Edit_Line1), TControlKind::Edit, TCtl::G_2, 107, 16, 270, 21, "", FACE, 13, PageText, EditBack, 1, 0, true, NoAlign,
     false},
    {CTL(Label_Line2), TControlKind::Label, TCtl::G_2, 18, 48, 0, 0, N_("Line2"), nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {CTL(Edit_Line2), TControlKind::Edit, TCtl::G_2, 107, 43, 270, 21, "", FACE, 13, PageText, EditBack, 2, 1, true, NoAlign,
     false},
    {CTL(Label_Line3), TControlKind::Label, TCtl::G_2, 18, 73, 0, 0, N_("Line3"), nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {CTL(Edit_Line3), TControlKind::Edit, TCtl::G_2, 107, 70, 270, 21, "", FACE, 13, PageText, EditBack, 3, 2, true, NoAlign,
     false},
    {CTL(Label_Line4), TControlKind::Label, TCtl::G_2, 18, 102, 0, 0, N_("Line4"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Edit_Line4), TControlKind::Edit, TCtl::G_2, 107, 97, 270, 21, "", FACE, 13, PageText, EditBack, 4, 3, true, NoAlign,
     false},
    {CTL(Label_Line5), TControlKind::Label, TCtl::G_2, 18, 128, 0, 0, N_("Line5"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Edit_Line5), TControlKind::Edit, TCtl::G_2, 107, 124, 270, 21, "", FACE, 13, PageText, EditBack, 5, 4, true, NoAlign,
     false},
    {CTL(Label_Line6), TControlKind::Label, TCtl::G_2, 19, 154, 0, 0, N_("Line6"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Edit_Line6), TControlKind::Edit, TCtl::G_2, 107, 150, 270, 21, "", FACE, 13, PageText, EditBack, 6, 5, true, NoAlign,
     false},
    {CTL(Label_Line7), TControlKind::Label, TCtl::G_2, 19, 183, 0, 0, N_("Line7"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Edit_Line7), TControlKind::Edit, TCtl::G_2, 107, 177, 270, 21, "", nullptr, 0, 0, EditBack, 7, 9, true, NoAlign,
     false},
    {CTL(Label_Line8), TControlKind::Label, TCtl::G_2, 19, 210, 0, 0, N_("Line8"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Edit_Line8), TControlKind::Edit, TCtl::G_2, 107, 204, 270, 21, "", FACE, 13, PageText, EditBack, 8, 6, true, NoAlign,
     false},
    {CTL(Label_Line9), TControlKind::Label, TCtl::G_2, 19, 237, 0, 0, N_("Line9"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Edit_Line9), TControlKind::Edit, TCtl::G_2, 107, 231, 270, 21, "", FACE, 13, PageText, EditBack, 9, 7, true, NoAlign,
     false},
    {CTL(Label_Line10), TControlKind::Label, TCtl::G_2, 19, 264, 0, 0, N_("Line10"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Edit_Line10), TControlKind::Edit, TCtl::G_2, 107, 258, 270, 21, "", FACE, 13, PageText, EditBack, 10, 8, true,
     NoAlign, false},

    {CTL(G_3), TControlKind::ZanthPanel, TCtl::T_XP, 407, 6, 209, 231, N_("Picture"), nullptr, 0, 0, Parents, 0, 2, true,
     NoAlign, false},
    {CTL(Image1), TControlKind::Image, TCtl::G_3, 16, 21, 172, 172, "", nullptr, 0, 0, Parents, 0, -1, true, NoAlign, false},
    // Never shown: it holds the logo path that Apply stores.
    {CTL(Label_Logo), TControlKind::Label, TCtl::G_3, 16, 199, 0, 0, "Label_Logo", nullptr, 0, 0, Parents, 0, -1, false,
     NoAlign, false},
    {CTL(Btn_Open), TControlKind::Button, TCtl::G_3, 115, 199, 75, 25, N_("Open"), nullptr, 0, 0, Parents, 0, 0, true, NoAlign,
     false},

    // The about page, active as designed until loading has succeeded.
    {CTL(T_About), TControlKind::Page, TCtl::PageControl1, 0, 0, 640, 450, "T_About", FACE, 11, PageText, Parents, 0, 1, true,
     NoAlign, false},
    {CTL(G_4), TControlKind::ZanthPanel, TCtl::T_About, 9, 3, 608, 145, N_("Supported OS"), FACE, 11, PageText, Parents, 0, 0,
     true, NoAlign, false},
    {CTL(Label_OSGroup1), TControlKind::Label, TCtl::G_4, 19, 24, 0, 0, "->", nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {CTL(Label_Win11), TControlKind::Label, TCtl::G_4, 77, 24, 0, 0, "Windows 11 x64", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Label_Win10), TControlKind::Label, TCtl::G_4, 243, 24, 0, 0, "Windows 10 x86/x64", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Label_Win7), TControlKind::Label, TCtl::G_4, 445, 24, 0, 0, "Windows 7 x86/x64", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Label_Win8), TControlKind::Label, TCtl::G_4, 243, 43, 0, 0, "Windows 8.x x86/x64", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Label_WinVista), TControlKind::Label, TCtl::G_4, 445, 43, 0, 0, "Windows Vista x86/x64", nullptr, 0, 0, Parents, 0, -1,
     true, NoAlign, false},
    {CTL(Label_OSGroup2), TControlKind::Label, TCtl::G_4, 19, 74, 0, 0, "->", nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {CTL(Label_Win2003), TControlKind::Label, TCtl::G_4, 77, 74, 0, 0, "Windows Server 2003", nullptr, 0, 0, Parents, 0, -1,
     true, NoAlign, false},
    {CTL(Label_WinXP), TControlKind::Label, TCtl::G_4, 243, 74, 0, 0, "Windows XP x86/x64", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Label_Win2000), TControlKind::Label, TCtl::G_4, 445, 74, 0, 0, "Windows 2000", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Label_WinNT4), TControlKind::Label, TCtl::G_4, 445, 93, 0, 0, "Windows NT4", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Label_OSGroup3), TControlKind::Label, TCtl::G_4, 19, 112, 0, 0, "->", nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {CTL(Label_WinME), TControlKind::Label, TCtl::G_4, 77, 112, 0, 0, "Windows ME", nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {CTL(Label_Win98), TControlKind::Label, TCtl::G_4, 243, 112, 0, 0, "Windows 98/98SE", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Label_Win95), TControlKind::Label, TCtl::G_4, 445, 112, 0, 0, "Windows 95/OSR1/OSR2.x", nullptr, 0, 0, Parents, 0, -1,
     true, NoAlign, false},

    {CTL(G_5), TControlKind::ZanthPanel, TCtl::T_About, 9, 163, 608, 145, N_("About"), FACE, 11, PageText, Parents, 0, 1, true,
     NoAlign, false},
    {CTL(Label_App), TControlKind::Label, TCtl::G_5, 19, 24, 0, 0, N_("App:"), nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {CTL(Label_AppValue), TControlKind::Label, TCtl::G_5, 121, 24, 0, 0, "Marquill", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Label_Version), TControlKind::Label, TCtl::G_5, 19, 43, 0, 0, N_("Version:"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Label_VersionValue), TControlKind::Label, TCtl::G_5, 121, 43, 0, 0, MARQUILL_VERSION, nullptr, 0, 0, Parents, 0, -1,
     true, NoAlign, false},
    {CTL(Label_Author), TControlKind::Label, TCtl::G_5, 19, 72, 0, 0, N_("Author:"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Label_AuthorValue), TControlKind::Label, TCtl::G_5, 121, 72, 0, 0, "The Marquill developers", nullptr, 0, 0, Parents,
     0, -1, true, NoAlign, false},
    {CTL(Label_WWW), TControlKind::Label, TCtl::G_5, 19, 91, 0, 0, N_("WWW:"), nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {CTL(Label_WWWValue), TControlKind::Label, TCtl::G_5, 121, 91, 0, 0, "www.marquill.org", nullptr, 0, 0, Parents, 0, -1,
     true, NoAlign, false},
    {CTL(Label_Contact), TControlKind::Label, TCtl::G_5, 19, 110, 0, 0, N_("Contact:"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {CTL(Label_ContactValue), TControlKind::Label, TCtl::G_5, 121, 110, 0, 0, "support@marquill.org", nullptr, 0, 0, Parents, 0,
     -1, true, NoAlign, false},
    {CTL(Btn_Back), TControlKind::Button, TCtl::T_About, 517, 382, 99, 25, N_("Back"), nullptr, 0, 0, Parents, 0, 2, true,
     NoAlign, false},

    // The bottom bar lies over the page control's lower edge.
    {CTL(Panel1), TControlKind::Panel, TCtl::AppFrm, 0, 419, 636, 41, "", nullptr, 0, 0, PanelBack, 0, 1, true, TAlign::Bottom,
     false},
    {CTL(Label9), TControlKind::Label, TCtl::Panel1, 110, 5, 0, 0, N_("Free software, without warranty."), FACE,
     11, Silver, Parents, 0, -1, true, NoAlign, false},
    {CTL(Label10), TControlKind::Label, TCtl::Panel1, 110, 24, 0, 0, "www.marquill.org", FACE, 11, Silver, Parents, 0, -1, true,
     NoAlign, true},
    {CTL(Btn_About), TControlKind::Button, TCtl::Panel1, 13, 6, 91, 25, N_("About..."), nullptr, 0, 0, Parents, 0, 2, true,
     NoAlign, false},
    {CTL(Btn_Remove), TControlKind::Button, TCtl::Panel1, 344, 6, 171, 25, N_("Remove All OEM Info"), nullptr, 0, 0, Parents, 0,
     1, true, NoAlign, false},
    {CTL(Btn_Apply), TControlKind::Button, TCtl::Panel1, 521, 6, 99, 25, N_("Apply"), nullptr, 0, 0, Parents, 0, 0, true,
     NoAlign, false},

    {CTL(OpenPictureDialog1), TControlKind::PictureDialog, TCtl::None, 0, 0, 0, 0, N_("Bitmaps (*.bmp)|*.bmp"), nullptr, 0, 0,
     Parents, 0, -1, false, NoAlign, false},
};

#undef CTL

// Each identifier is its row's index, and every row has one.
constexpr bool RowsFollowTheirIdentifiers()
{
    for (size_t i = 0; i < std::size(FormControls); ++i)
        if (static_cast<size_t>(FormControls[i].id) != i)
            return false;
    return true;
}
static_assert(RowsFollowTheirIdentifiers(), "the rows of FormControls must follow the order of TCtl");
static_assert(std::size(FormControls) == FormControlCount, "every TCtl needs its row");
