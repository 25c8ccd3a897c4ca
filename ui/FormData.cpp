#include "FormData.h"

#include <cstring>

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

// Columns: name, kind, parent, left, top, width, height, text, font face,
// font height, font colour, background, tag, tab order, visible, align, hand cursor.
const TControlDesc FormControls[] = {
    {"AppFrm", TControlKind::Form, nullptr, 0, 0, 636, 460, N_("Marquill :: www.marquill.org"), FACE, 11, SystemText,
     PanelBack, 0, -1, true, NoAlign, false},
    {"PageControl1", TControlKind::PageControl, "AppFrm", 0, 0, 640, 450, "", nullptr, 0, 0, Parents, 0, 0, true,
     NoAlign, false},

    // The editing page.
    {"T_XP", TControlKind::Page, "PageControl1", 0, 0, 640, 450, "T_XP", FACE, 11, PageText, Parents, 0, 0, false,
     NoAlign, false},
    {"G_1", TControlKind::ZanthPanel, "T_XP", 8, 6, 393, 171, N_("General"), nullptr, 0, 0, Parents, 0, 0, true,
     NoAlign, false},
    {"Label_Manufacturer", TControlKind::Label, "G_1", 15, 19, 0, 0, N_("Manufacturer"), nullptr, 0, 0, Parents, 0, -1,
     true, NoAlign, false},
    {"Edit_Manufacturer", TControlKind::Edit, "G_1", 136, 16, 241, 21, "", FACE, 13, PageText, EditBack, 0, 0, true,
     NoAlign, false},
    {"Label_MOdel", TControlKind::Label, "G_1", 15, 46, 0, 0, N_("Model"), nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {"Edit_Model", TControlKind::Edit, "G_1", 136, 43, 241, 21, "", FACE, 13, PageText, EditBack, 0, 1, true, NoAlign,
     false},
    {"Label_SHours", TControlKind::Label, "G_1", 15, 72, 0, 0, N_("Support Hours"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Edit_SHours", TControlKind::Edit, "G_1", 136, 70, 241, 21, "", FACE, 13, PageText, EditBack, 0, 2, true, NoAlign,
     false},
    {"Label_SPhone", TControlKind::Label, "G_1", 16, 100, 0, 0, N_("Support Phone"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Edit_SPhone", TControlKind::Edit, "G_1", 136, 97, 241, 21, "", FACE, 13, PageText, EditBack, 0, 3, true, NoAlign,
     false},
    {"Label_SUrl", TControlKind::Label, "G_1", 16, 128, 0, 0, N_("Support URL"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Edit_SUrl", TControlKind::Edit, "G_1", 136, 124, 241, 21, "", FACE, 13, PageText, EditBack, 0, 4, true, NoAlign,
     false},

    // Support lines: each edit carries its line number as its tag. Line 7
    // keeps the page's smaller font and is reached last by the Tab key.
    {"G_2", TControlKind::ZanthPanel, "T_XP", 8, 91, 393, 286, N_("Support Info"), nullptr, 0, 0, Parents, 0, 1, true,
     NoAlign, false},
    {"Label_Line1", TControlKind::Label, "G_2", 19, 21, 0, 0, N_("Line1"), nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {"Edit_Line1", TControlKind::Edit, "G_2", 107, 16, 270, 21, "", FACE, 13, PageText, EditBack, 1, 0, true, NoAlign,
     false},
    {"Label_Line2", TControlKind::Label, "G_2", 18, 48, 0, 0, N_("Line2"), nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {"Edit_Line2", TControlKind::Edit, "G_2", 107, 43, 270, 21, "", FACE, 13, PageText, EditBack, 2, 1, true, NoAlign,
     false},
    {"Label_Line3", TControlKind::Label, "G_2", 18, 73, 0, 0, N_("Line3"), nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {"Edit_Line3", TControlKind::Edit, "G_2", 107, 70, 270, 21, "", FACE, 13, PageText, EditBack, 3, 2, true, NoAlign,
     false},
    {"Label_Line4", TControlKind::Label, "G_2", 18, 102, 0, 0, N_("Line4"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Edit_Line4", TControlKind::Edit, "G_2", 107, 97, 270, 21, "", FACE, 13, PageText, EditBack, 4, 3, true, NoAlign,
     false},
    {"Label_Line5", TControlKind::Label, "G_2", 18, 128, 0, 0, N_("Line5"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Edit_Line5", TControlKind::Edit, "G_2", 107, 124, 270, 21, "", FACE, 13, PageText, EditBack, 5, 4, true, NoAlign,
     false},
    {"Label_Line6", TControlKind::Label, "G_2", 19, 154, 0, 0, N_("Line6"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Edit_Line6", TControlKind::Edit, "G_2", 107, 150, 270, 21, "", FACE, 13, PageText, EditBack, 6, 5, true, NoAlign,
     false},
    {"Label_Line7", TControlKind::Label, "G_2", 19, 183, 0, 0, N_("Line7"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Edit_Line7", TControlKind::Edit, "G_2", 107, 177, 270, 21, "", nullptr, 0, 0, EditBack, 7, 9, true, NoAlign,
     false},
    {"Label_Line8", TControlKind::Label, "G_2", 19, 210, 0, 0, N_("Line8"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Edit_Line8", TControlKind::Edit, "G_2", 107, 204, 270, 21, "", FACE, 13, PageText, EditBack, 8, 6, true, NoAlign,
     false},
    {"Label_Line9", TControlKind::Label, "G_2", 19, 237, 0, 0, N_("Line9"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Edit_Line9", TControlKind::Edit, "G_2", 107, 231, 270, 21, "", FACE, 13, PageText, EditBack, 9, 7, true, NoAlign,
     false},
    {"Label_Line10", TControlKind::Label, "G_2", 19, 264, 0, 0, N_("Line10"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Edit_Line10", TControlKind::Edit, "G_2", 107, 258, 270, 21, "", FACE, 13, PageText, EditBack, 10, 8, true,
     NoAlign, false},

    {"G_3", TControlKind::ZanthPanel, "T_XP", 407, 6, 209, 231, N_("Picture"), nullptr, 0, 0, Parents, 0, 2, true,
     NoAlign, false},
    {"Image1", TControlKind::Image, "G_3", 16, 21, 172, 172, "", nullptr, 0, 0, Parents, 0, -1, true, NoAlign, false},
    // Never shown: it holds the logo path that Apply stores.
    {"Label_Logo", TControlKind::Label, "G_3", 16, 199, 0, 0, "Label_Logo", nullptr, 0, 0, Parents, 0, -1, false,
     NoAlign, false},
    {"Btn_Open", TControlKind::Button, "G_3", 115, 199, 75, 25, N_("Open"), nullptr, 0, 0, Parents, 0, 0, true, NoAlign,
     false},

    // The about page, active as designed until loading has succeeded.
    {"T_About", TControlKind::Page, "PageControl1", 0, 0, 640, 450, "T_About", FACE, 11, PageText, Parents, 0, 1, true,
     NoAlign, false},
    {"G_4", TControlKind::ZanthPanel, "T_About", 9, 3, 608, 145, N_("Supported OS"), FACE, 11, PageText, Parents, 0, 0,
     true, NoAlign, false},
    {"Label_OSGroup1", TControlKind::Label, "G_4", 19, 24, 0, 0, "->", nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {"Label_Win11", TControlKind::Label, "G_4", 77, 24, 0, 0, "Windows 11 x64", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Label_Win10", TControlKind::Label, "G_4", 243, 24, 0, 0, "Windows 10 x86/x64", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Label_Win7", TControlKind::Label, "G_4", 445, 24, 0, 0, "Windows 7 x86/x64", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Label_Win8", TControlKind::Label, "G_4", 243, 43, 0, 0, "Windows 8.x x86/x64", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Label_WinVista", TControlKind::Label, "G_4", 445, 43, 0, 0, "Windows Vista x86/x64", nullptr, 0, 0, Parents, 0, -1,
     true, NoAlign, false},
    {"Label_OSGroup2", TControlKind::Label, "G_4", 19, 74, 0, 0, "->", nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {"Label_Win2003", TControlKind::Label, "G_4", 77, 74, 0, 0, "Windows Server 2003", nullptr, 0, 0, Parents, 0, -1,
     true, NoAlign, false},
    {"Label_WinXP", TControlKind::Label, "G_4", 243, 74, 0, 0, "Windows XP x86/x64", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Label_Win2000", TControlKind::Label, "G_4", 445, 74, 0, 0, "Windows 2000", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Label_WinNT4", TControlKind::Label, "G_4", 445, 93, 0, 0, "Windows NT4", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Label_OSGroup3", TControlKind::Label, "G_4", 19, 112, 0, 0, "->", nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {"Label_WinME", TControlKind::Label, "G_4", 77, 112, 0, 0, "Windows ME", nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {"Label_Win98", TControlKind::Label, "G_4", 243, 112, 0, 0, "Windows 98/98SE", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Label_Win95", TControlKind::Label, "G_4", 445, 112, 0, 0, "Windows 95/OSR1/OSR2.x", nullptr, 0, 0, Parents, 0, -1,
     true, NoAlign, false},

    {"G_5", TControlKind::ZanthPanel, "T_About", 9, 163, 608, 145, N_("About"), FACE, 11, PageText, Parents, 0, 1, true,
     NoAlign, false},
    {"Label_App", TControlKind::Label, "G_5", 19, 24, 0, 0, N_("App:"), nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {"Label_AppValue", TControlKind::Label, "G_5", 121, 24, 0, 0, "Marquill", nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Label_Version", TControlKind::Label, "G_5", 19, 43, 0, 0, N_("Version:"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Label_VersionValue", TControlKind::Label, "G_5", 121, 43, 0, 0, MARQUILL_VERSION, nullptr, 0, 0, Parents, 0, -1,
     true, NoAlign, false},
    {"Label_Author", TControlKind::Label, "G_5", 19, 72, 0, 0, N_("Author:"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Label_AuthorValue", TControlKind::Label, "G_5", 121, 72, 0, 0, "The Marquill developers", nullptr, 0, 0, Parents,
     0, -1, true, NoAlign, false},
    {"Label_WWW", TControlKind::Label, "G_5", 19, 91, 0, 0, N_("WWW:"), nullptr, 0, 0, Parents, 0, -1, true, NoAlign,
     false},
    {"Label_WWWValue", TControlKind::Label, "G_5", 121, 91, 0, 0, "www.marquill.org", nullptr, 0, 0, Parents, 0, -1,
     true, NoAlign, false},
    {"Label_Contact", TControlKind::Label, "G_5", 19, 110, 0, 0, N_("Contact:"), nullptr, 0, 0, Parents, 0, -1, true,
     NoAlign, false},
    {"Label_ContactValue", TControlKind::Label, "G_5", 121, 110, 0, 0, "support@marquill.org", nullptr, 0, 0, Parents, 0,
     -1, true, NoAlign, false},
    {"Btn_Back", TControlKind::Button, "T_About", 517, 382, 99, 25, N_("Back"), nullptr, 0, 0, Parents, 0, 2, true,
     NoAlign, false},

    // The bottom bar lies over the page control's lower edge.
    {"Panel1", TControlKind::Panel, "AppFrm", 0, 419, 636, 41, "", nullptr, 0, 0, PanelBack, 0, 1, true, TAlign::Bottom,
     false},
    {"Label9", TControlKind::Label, "Panel1", 110, 5, 0, 0, N_("Free software, without warranty."), FACE,
     11, Silver, Parents, 0, -1, true, NoAlign, false},
    {"Label10", TControlKind::Label, "Panel1", 110, 24, 0, 0, "www.marquill.org", FACE, 11, Silver, Parents, 0, -1, true,
     NoAlign, true},
    {"Btn_About", TControlKind::Button, "Panel1", 13, 6, 91, 25, N_("About..."), nullptr, 0, 0, Parents, 0, 2, true,
     NoAlign, false},
    {"Btn_Remove", TControlKind::Button, "Panel1", 344, 6, 171, 25, N_("Remove All OEM Info"), nullptr, 0, 0, Parents, 0,
     1, true, NoAlign, false},
    {"Btn_Apply", TControlKind::Button, "Panel1", 521, 6, 99, 25, N_("Apply"), nullptr, 0, 0, Parents, 0, 0, true,
     NoAlign, false},

    {"OpenPictureDialog1", TControlKind::PictureDialog, nullptr, 0, 0, 0, 0, N_("Bitmaps (*.bmp)|*.bmp"), nullptr, 0, 0,
     Parents, 0, -1, false, NoAlign, false},
};

const size_t FormControlCount = sizeof FormControls / sizeof FormControls[0];

const TControlDesc* FindControlDesc(const char* name)
{
    for (const TControlDesc& desc : FormControls)
        if (std::strcmp(desc.name, name) == 0)
            return &desc;
    return nullptr;
}
