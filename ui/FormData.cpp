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

// A row under construction: a maker below fills in what its kind of control
// usually has, and these change the few columns a row has otherwise.
struct TRow : TControlDesc {
    template <class T>
    constexpr TRow With(T TControlDesc::*column, T value) const
    {
        TRow row = *this;
        row.*column = value;
        return row;
    }
    constexpr TRow Font(const char* face, int height, COLORREF textColor) const
    {
        return With(&TControlDesc::fontFace, face)
            .With(&TControlDesc::fontHeight, height)
            .With(&TControlDesc::fontColor, textColor);
    }
    constexpr TRow ParentFont() const { return Font(nullptr, 0, 0); }
    constexpr TRow Back(COLORREF background) const { return With(&TControlDesc::color, background); }
    constexpr TRow Tag(int value) const { return With(&TControlDesc::tag, value); }
    constexpr TRow Hidden() const { return With(&TControlDesc::visible, false); }
    constexpr TRow Align(TAlign value) const { return With(&TControlDesc::align, value); }
    constexpr TRow HandCursor() const { return With(&TControlDesc::handCursor, true); }
    constexpr TRow StacksOver() const { return With(&TControlDesc::stacksOver, true); }
};

// Any kind: the parent's font and background, no tag, shown, not aligned.
constexpr TRow Row(TCtl id, const char* name, TControlKind kind, TCtl parent, int left, int top, int width, int height,
                   const char* text, int tabOrder)
{
    return {{id, name, kind, parent, left, top, width, height, text, nullptr, 0, 0, Parents, 0, tabOrder, true, NoAlign,
             false, false}};
}

// Sized to its text, and never focused.
constexpr TRow Label(TCtl id, const char* name, TCtl parent, int left, int top, const char* text)
{
    return Row(id, name, TControlKind::Label, parent, left, top, 0, 0, text, -1);
}

// A field: one line high, empty, light text on the fields' blue.
constexpr TRow Edit(TCtl id, const char* name, TCtl parent, int left, int top, int width, int tabOrder)
{
    return Row(id, name, TControlKind::Edit, parent, left, top, width, 21, "", tabOrder)
        .Font(FACE, 13, PageText)
        .Back(EditBack);
}

constexpr TRow Button(TCtl id, const char* name, TCtl parent, int left, int top, int width, const char* text,
                      int tabOrder)
{
    return Row(id, name, TControlKind::Button, parent, left, top, width, 25, text, tabOrder);
}

// A captioned frame around a group of controls.
constexpr TRow Frame(TCtl id, const char* name, TCtl parent, int left, int top, int width, int height,
                     const char* text, int tabOrder)
{
    return Row(id, name, TControlKind::ZanthPanel, parent, left, top, width, height, text, tabOrder);
}

// A container without a caption.
constexpr TRow Panel(TCtl id, const char* name, TCtl parent, int left, int top, int width, int height, int tabOrder)
{
    return Row(id, name, TControlKind::Panel, parent, left, top, width, height, "", tabOrder);
}

// A page fills the page control, in the pages' font; its caption is its name.
constexpr TRow Page(TCtl id, const char* name, int tabOrder)
{
    return Row(id, name, TControlKind::Page, TCtl::PageControl1, 0, 0, 640, 450, name, tabOrder)
        .Font(FACE, 11, PageText);
}
}  // namespace

// Each row names its identifier and name (made from the same word), its
// parent, its place and what else differs from its kind's maker.
#define CTL(name) TCtl::name, #name

constexpr TControlDesc FormControls[] = {
    Row(CTL(AppFrm), TControlKind::Form, TCtl::None, 0, 0, 636, 460, N_("Marquill :: www.marquill.org"), -1)
        .Font(FACE, 11, SystemText)
        .Back(PanelBack),
    Row(CTL(PageControl1), TControlKind::PageControl, TCtl::AppFrm, 0, 0, 640, 450, "", 0),

    // The editing page.
    Page(CTL(T_XP), 0).Hidden(),
    Frame(CTL(G_1), TCtl::T_XP, 8, 6, 393, 171, N_("General"), 0),
    Label(CTL(Label_Manufacturer), TCtl::G_1, 15, 19, N_("Manufacturer")),
    Edit(CTL(Edit_Manufacturer), TCtl::G_1, 136, 16, 241, 0),
    Label(CTL(Label_MOdel), TCtl::G_1, 15, 46, N_("Model")),
    Edit(CTL(Edit_Model), TCtl::G_1, 136, 43, 241, 1),
    Label(CTL(Label_SHours), TCtl::G_1, 15, 72, N_("Support Hours")),
    Edit(CTL(Edit_SHours), TCtl::G_1, 136, 70, 241, 2),
    Label(CTL(Label_SPhone), TCtl::G_1, 16, 100, N_("Support Phone")),
    Edit(CTL(Edit_SPhone), TCtl::G_1, 136, 97, 241, 3),
    Label(CTL(Label_SUrl), TCtl::G_1, 16, 128, N_("Support URL")),
    Edit(CTL(Edit_SUrl), TCtl::G_1, 136, 124, 241, 4),

    // Support lines: each edit carries its line number as its tag. Line 7
    // keeps the page's smaller font and is reached last by the Tab key.
    Frame(CTL(G_2), TCtl::T_XP, 8, 91, 393, 286, N_("Support Info"), 1).StacksOver(),
    Label(CTL(Label_Line1), TCtl::G_2, 19, 21, N_("Line1")),
    Edit(CTL(Edit_Line1), TCtl::G_2, 107, 16, 270, 0).Tag(1),
    Label(CTL(Label_Line2), TCtl::G_2, 18, 48, N_("Line2")),
    Edit(CTL(Edit_Line2), TCtl::G_2, 107, 43, 270, 1).Tag(2),
    Label(CTL(Label_Line3), TCtl::G_2, 18, 73, N_("Line3")),
    Edit(CTL(Edit_Line3), TCtl::G_2, 107, 70, 270, 2).Tag(3),
    Label(CTL(Label_Line4), TCtl::G_2, 18, 102, N_("Line4")),
    Edit(CTL(Edit_Line4), TCtl::G_2, 107, 97, 270, 3).Tag(4),
    Label(CTL(Label_Line5), TCtl::G_2, 18, 128, N_("Line5")),
    Edit(CTL(Edit_Line5), TCtl::G_2, 107, 124, 270, 4).Tag(5),
    Label(CTL(Label_Line6), TCtl::G_2, 19, 154, N_("Line6")),
    Edit(CTL(Edit_Line6), TCtl::G_2, 107, 150, 270, 5).Tag(6),
    Label(CTL(Label_Line7), TCtl::G_2, 19, 183, N_("Line7")),
    Edit(CTL(Edit_Line7), TCtl::G_2, 107, 177, 270, 9).Tag(7).ParentFont(),
    Label(CTL(Label_Line8), TCtl::G_2, 19, 210, N_("Line8")),
    Edit(CTL(Edit_Line8), TCtl::G_2, 107, 204, 270, 6).Tag(8),
    Label(CTL(Label_Line9), TCtl::G_2, 19, 237, N_("Line9")),
    Edit(CTL(Edit_Line9), TCtl::G_2, 107, 231, 270, 7).Tag(9),
    Label(CTL(Label_Line10), TCtl::G_2, 19, 264, N_("Line10")),
    Edit(CTL(Edit_Line10), TCtl::G_2, 107, 258, 270, 8).Tag(10),

    Frame(CTL(G_3), TCtl::T_XP, 407, 6, 209, 231, N_("Picture"), 2),
    // Its text names it for screen readers, with the logo path after it.
    Row(CTL(Image1), TControlKind::Image, TCtl::G_3, 16, 21, 172, 172, N_("Logo"), -1),
    // Never shown: it holds the logo path that Apply stores.
    Label(CTL(Label_Logo), TCtl::G_3, 16, 199, "Label_Logo").Hidden(),
    Button(CTL(Btn_Open), TCtl::G_3, 115, 199, 75, N_("Open"), 0),

    // The about page, active as designed until loading has succeeded.
    Page(CTL(T_About), 1),
    Frame(CTL(G_4), TCtl::T_About, 9, 3, 608, 145, N_("Supported OS"), 0).Font(FACE, 11, PageText),
    Label(CTL(Label_OSGroup1), TCtl::G_4, 19, 24, "->"),
    Label(CTL(Label_Win11), TCtl::G_4, 77, 24, "Windows 11 x64"),
    Label(CTL(Label_Win10), TCtl::G_4, 243, 24, "Windows 10 x86/x64"),
    Label(CTL(Label_Win7), TCtl::G_4, 445, 24, "Windows 7 x86/x64"),
    Label(CTL(Label_Win8), TCtl::G_4, 243, 43, "Windows 8.x x86/x64"),
    Label(CTL(Label_WinVista), TCtl::G_4, 445, 43, "Windows Vista x86/x64"),
    Label(CTL(Label_OSGroup2), TCtl::G_4, 19, 74, "->"),
    Label(CTL(Label_Win2003), TCtl::G_4, 77, 74, "Windows Server 2003"),
    Label(CTL(Label_WinXP), TCtl::G_4, 243, 74, "Windows XP x86/x64"),
    Label(CTL(Label_Win2000), TCtl::G_4, 445, 74, "Windows 2000"),
    Label(CTL(Label_WinNT4), TCtl::G_4, 445, 93, "Windows NT4"),
    Label(CTL(Label_OSGroup3), TCtl::G_4, 19, 112, "->"),
    Label(CTL(Label_WinME), TCtl::G_4, 77, 112, "Windows ME"),
    Label(CTL(Label_Win98), TCtl::G_4, 243, 112, "Windows 98/98SE"),
    Label(CTL(Label_Win95), TCtl::G_4, 445, 112, "Windows 95/OSR1/OSR2.x"),

    Frame(CTL(G_5), TCtl::T_About, 9, 163, 608, 145, N_("About"), 1).Font(FACE, 11, PageText),
    Label(CTL(Label_App), TCtl::G_5, 19, 24, N_("App:")),
    Label(CTL(Label_AppValue), TCtl::G_5, 121, 24, "Marquill"),
    Label(CTL(Label_Version), TCtl::G_5, 19, 43, N_("Version:")),
    Label(CTL(Label_VersionValue), TCtl::G_5, 121, 43, MARQUILL_VERSION),
    Label(CTL(Label_Author), TCtl::G_5, 19, 72, N_("Author:")),
    Label(CTL(Label_AuthorValue), TCtl::G_5, 121, 72, "The Marquill developers"),
    Label(CTL(Label_WWW), TCtl::G_5, 19, 91, N_("WWW:")),
    Label(CTL(Label_WWWValue), TCtl::G_5, 121, 91, "www.marquill.org"),
    Label(CTL(Label_Contact), TCtl::G_5, 19, 110, N_("Contact:")),
    Label(CTL(Label_ContactValue), TCtl::G_5, 121, 110, "support@marquill.org"),
    Button(CTL(Btn_Back), TCtl::T_About, 517, 382, 99, N_("Back"), 2),

    // The bottom bar lies over the page control's lower edge.
    Panel(CTL(Panel1), TCtl::AppFrm, 0, 419, 636, 41, 1).Back(PanelBack).Align(TAlign::Bottom).StacksOver(),
    Label(CTL(Label9), TCtl::Panel1, 110, 5, N_("Free software, without warranty.")).Font(FACE, 11, Silver),
    Label(CTL(Label10), TCtl::Panel1, 110, 24, "www.marquill.org").Font(FACE, 11, Silver).HandCursor(),
    Button(CTL(Btn_About), TCtl::Panel1, 13, 6, 91, N_("About..."), 2),
    Button(CTL(Btn_Remove), TCtl::Panel1, 344, 6, 171, N_("Remove All OEM Info"), 1),
    Button(CTL(Btn_Apply), TCtl::Panel1, 521, 6, 99, N_("Apply"), 0),

    Row(CTL(OpenPictureDialog1), TControlKind::PictureDialog, TCtl::None, 0, 0, 0, 0, N_("Bitmaps (*.bmp)|*.bmp"), -1)
        .Hidden(),
};

#undef CTL

// TRANSLATORS: read by screen readers after "Logo" when no logo is set.
const char* const NoLogoText = N_("none");

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
