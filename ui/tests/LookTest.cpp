// The window's look in registry mode, read back from the screen: exact
// control rectangles, colours, the groups' frames and the logo's clipping.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "ui/FormData.h"
#include "ui/MainForm.h"
#include "ui/Zanth.Panel.h"
#include "ui/tests/FormTestFixture.h"
#include "ui/tests/LookExpectations.h"

using namespace formtest;

namespace {

const COLORREF WindowBack = RGB(0x1A, 0x21, 0x31);
const COLORREF EditBack = RGB(0x4A, 0x5F, 0x8C);
const COLORREF PageText = RGB(0xD4, 0xD4, 0xD4);
const COLORREF Silver = RGB(0xC0, 0xC0, 0xC0);
const COLORREF FrameBlue = RGB(0x00, 0x63, 0xB1);

// The point (x, y) of a control's client area in the window's client area.
POINT InForm(const TAppFrm& form, const char* name, int x, int y)
{
    POINT pt = {x, y};
    MapWindowPoints(ControlNamed(form, name), form.Handle(), &pt, 1);
    return pt;
}

void ExpectFrame(const TAppFrm& form, const char* name, const char* caption)
{
    SCOPED_TRACE(name);
    HWND wnd = ControlNamed(form, name);
    ASSERT_NE(wnd, nullptr);
    TZanthPanel* panel = TZanthPanel::FromHandle(wnd);
    ASSERT_NE(panel, nullptr) << "not a captioned frame panel";
    EXPECT_EQ(panel->Caption(), caption);
    EXPECT_TRUE(panel->ShowBorder());
    EXPECT_EQ(panel->BorderColor(), FrameBlue);
    EXPECT_EQ(panel->Color(), WindowBack);
    TPixels px;
    ASSERT_TRUE(CaptureClient(wnd, px));
    const SIZE text = CaptionExtent(*panel);
    EXPECT_EQ(text.cy, 13) << "the caption is not in Tahoma 11 pixels";
    for (const std::string& error : CaptionedFrameErrors(px, text, FrameBlue))
        ADD_FAILURE() << error;
    // The caption is drawn in the page's text colour.
    int textPixels = 0;
    for (int y = 0; y < text.cy; ++y)
        for (int x = 15; x < 15 + text.cx; ++x)
            textPixels += px.At(x, y) == PageText;
    EXPECT_GT(textPixels, 0) << "no caption pixel in " << ColorText(PageText);
}

// Counts the pixels of one colour in a control's client area, in its
// leftmost `width` columns when given.
int CountColor(HWND wnd, COLORREF color, int width = -1)
{
    TPixels px;
    EXPECT_TRUE(CaptureClient(wnd, px));
    if (width < 0 || width > px.width)
        width = px.width;
    int count = 0;
    for (int y = 0; y < px.height; ++y)
        for (int x = 0; x < width; ++x)
            count += px.At(x, y) == color;
    return count;
}

bool Overlap(const RECT& a, const RECT& b)
{
    RECT both;
    return IntersectRect(&both, &a, &b) != FALSE;
}

// How much of a control, from its left edge, no visible sibling covers.
int UncoveredWidth(HWND wnd)
{
    const RECT own = RectInParent(wnd);
    int width = own.right - own.left;
    for (HWND sib = GetWindow(GetParent(wnd), GW_CHILD); sib; sib = GetWindow(sib, GW_HWNDNEXT)) {
        if (sib == wnd || !IsWindowVisible(sib))
            continue;
        const RECT other = RectInParent(sib);
        if (Overlap(own, other) && other.left > own.left && other.left - own.left < width)
            width = other.left - own.left;
    }
    return width;
}

class LookTest : public TPaintedFormTest {
protected:
    void Repaint() { ASSERT_TRUE(Painted()); }
};

TEST_F(LookTest, ControlsLieAtTheirDesignedRectangles)
{
    RECT client = {};
    GetClientRect(form_->Handle(), &client);
    EXPECT_EQ(client.right, 636);
    EXPECT_EQ(client.bottom, 460);
    form_->Button4Cli();
    for (const TPlace& p : RegistryModePlaces) {
        if (BuiltInRegistryMode(p.name))
            ExpectPlace(*form_, p);
        else
            EXPECT_EQ(ControlNamed(*form_, p.name), nullptr) << p.name;
    }
}

TEST_F(LookTest, ControlsShowTheirDesignedTexts)
{
    form_->Button4Cli();
    for (const TShownText& t : ShownTexts) {
        SCOPED_TRACE(t.name);
        if (!BuiltInRegistryMode(t.name))
            continue;
        HWND wnd = ControlNamed(*form_, t.name);
        ASSERT_NE(wnd, nullptr);
        if (TZanthPanel* panel = TZanthPanel::FromHandle(wnd)) {
            EXPECT_EQ(panel->Caption(), t.text);
        } else {
            char text[128];
            std::memset(text, 0xdd, sizeof text);
            ASSERT_GT(GetWindowTextA(wnd, text, sizeof text), 0);
            EXPECT_STREQ(text, t.text);
        }
    }
    EXPECT_FALSE(IsWindowVisible(form_->Control(TCtl::Label_Logo)));
}

TEST_F(LookTest, WindowFrameIsFixedWithMinimiseAndMaximise)
{
    const LONG style = GetWindowLongA(form_->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the border can be dragged";
    char caption[128] = {};
    GetWindowTextA(form_->Handle(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Marquill :: www.marquill.org");
    EXPECT_NE(GetClassLongPtrA(form_->Handle(), GCLP_HICON), 0) << "the window has no icon";
}

TEST_F(LookTest, MaximisedTheBottomBarFollowsTheBottomEdge)
{
    ShowWindow(form_->Handle(), SW_MAXIMIZE);
    Repaint();
    RECT client = {};
    GetClientRect(form_->Handle(), &client);
    ASSERT_GT(client.bottom, 460) << "the window did not maximise";
    const RECT bar = RectInParent(form_->Control(TCtl::Panel1));
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.right, client.right);
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(bar.bottom - bar.top, 41);
    const RECT pages = RectInParent(form_->Control(TCtl::PageControl1));
    EXPECT_EQ(pages.left, 0);
    EXPECT_EQ(pages.top, 0);
    EXPECT_EQ(pages.right, 640);
    EXPECT_EQ(pages.bottom, 450);
}

// Maximised, the window once painted nothing beside its page control: Wine
// showed black there, Windows whatever lay under the window.
TEST_F(LookTest, MaximisedTheFormBackgroundFillsBesideThePageControl)
{
    ShowWindow(form_->Handle(), SW_MAXIMIZE);
    Repaint();
    RECT client = {};
    GetClientRect(form_->Handle(), &client);
    const RECT bar = RectInParent(form_->Control(TCtl::Panel1));
    ASSERT_GT(client.right, 660) << "the window did not maximise";
    ASSERT_GT(bar.top, 470) << "the window did not maximise";
    TPixels px;
    ASSERT_TRUE(CaptureClient(form_->Handle(), px));
    const POINT spots[] = {{645, 5}, {client.right - 1, bar.top - 1}, {5, 455}, {645, 455}};
    for (const POINT& spot : spots)
        EXPECT_EQ(ColorText(px.At(spot.x, spot.y)), "#1A2131") << "at " << spot.x << ", " << spot.y;
}

struct TSpot {
    const char* where;
    int x, y;  // in the window's client area
    COLORREF color;
};

TEST_F(LookTest, BackgroundsHaveTheirColours)
{
    SetText(*form_, "Edit_Manufacturer", "");
    Repaint();
    TPixels px;
    ASSERT_TRUE(CaptureClient(form_->Handle(), px));
    const POINT edit = InForm(*form_, "Edit_Manufacturer", 238, 10);
    const TSpot spots[] = {
        {"page below the groups", 200, 300, WindowBack},
        {"page right of the picture group", 625, 300, WindowBack},
        {"bottom bar", 300, 455, WindowBack},
        {"bottom bar's right end", 630, 440, WindowBack},
        {"inside the general group", 60, 160, WindowBack},
        {"empty edit field", edit.x, edit.y, EditBack},
    };
    for (const TSpot& s : spots)
        EXPECT_EQ(ColorText(px.At(s.x, s.y)), ColorText(s.color)) << s.where << " at " << s.x << ", " << s.y;
}

TEST_F(LookTest, TextsHaveTheirColoursOnTheirBackgrounds)
{
    SetText(*form_, "Edit_Model", "HHHH");
    Repaint();
    struct TTextCase {
        const char* name;
        COLORREF text, back;
    };
    const TTextCase cases[] = {
        {"Edit_Model", PageText, EditBack},
        {"Label_Manufacturer", PageText, WindowBack},
        {"Label9", Silver, WindowBack},
        {"Label10", Silver, WindowBack},
    };
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (const TTextCase& c : cases) {
        SCOPED_TRACE(c.name);
        HWND wnd = ControlNamed(*form_, c.name);
        ASSERT_NE(wnd, nullptr);
        EXPECT_GT(CountColor(wnd, c.text), 0) << "no pixel in " << ColorText(c.text);
        EXPECT_GT(CountColor(wnd, c.back), 0) << "no pixel in " << ColorText(c.back);
        EXPECT_EQ(CountColor(wnd, face, UncoveredWidth(wnd)), 0) << "system grey shows behind the text";
    }
}

TEST_F(LookTest, BottomBarTextsClearTheButtons)
{
    // A notice running under a button loses its end.
    for (const char* label : {"Label9", "Label10"}) {
        const RECT text = RectInParent(ControlNamed(*form_, label));
        for (const char* button : {"Btn_About", "Btn_Remove", "Btn_Apply"})
            EXPECT_FALSE(Overlap(text, RectInParent(ControlNamed(*form_, button))))
                << label << " (" << text.left << ".." << text.right << ") runs under " << button;
    }
}

// The support lines are built in legacy mode only: LookLegacyTest checks
// their fonts, line seven's the smaller one.
TEST_F(LookTest, EditsUseTahomaThirteenAndLabelsTheSmallerPageFont)
{
    struct TFontCase {
        const char* name;
        LONG height;
    };
    const TFontCase cases[] = {
        {"Edit_Manufacturer", -13},
        {"Edit_SUrl", -13},
        {"Label_Manufacturer", -11},
    };
    for (const TFontCase& c : cases) {
        const HWND control = ControlNamed(*form_, c.name);
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(FontHeightOf(control), c.height) << c.name;
    }
}

TEST_F(LookTest, GroupFramesRunThroughTheirCaptions)
{
    ExpectFrame(*form_, "G_1", "General");
    ExpectFrame(*form_, "G_3", "Picture");
    form_->Button4Cli();
    Repaint();
    ASSERT_EQ(form_->ActivePageName(), "T_About");
    ExpectFrame(*form_, "G_4", "Supported OS");
    ExpectFrame(*form_, "G_5", "About");
}

TEST_F(LookTest, NoTabStripShows)
{
    // Both pages start right at the top of the page control: no strip above.
    for (const char* page : {"T_XP", "T_About"}) {
        const RECT r = RectInParent(ControlNamed(*form_, page));
        EXPECT_EQ(r.top, 0) << page;
        EXPECT_EQ(r.left, 0) << page;
    }
    TPixels px;
    ASSERT_TRUE(CaptureClient(form_->Handle(), px));
    for (int x = 0; x < 636; ++x)
        for (int y = 0; y < 6; ++y)
            ASSERT_EQ(px.At(x, y), WindowBack) << "something drawn above the groups at " << x << ", " << y;
}

// A logo whose first pixel is yellow, whose top-left 172 x 172 is red and
// whose rest is green: only red and yellow may show in the picture box.
std::string LogoBmp(int size)
{
    return MakeBmp24(size, size, [](int x, int y) {
        if (x == 0 && y == 0)
            return RGB(0xFF, 0xFF, 0);
        return (x < 172 && y < 172) ? RGB(0xFF, 0, 0) : RGB(0, 0xFF, 0);
    });
}

// Puts back the machine's "Logo" value as it was, and removes the key again
// when this test made it.
class TLogoValueGuard {
public:
    TLogoValueGuard()
    {
        HKEY key = nullptr;
        keyExisted_ = RegOpenKeyExA(HKEY_LOCAL_MACHINE, OemKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS;
        if (key)
            RegCloseKey(key);
        had_ = ReadRegValue64(HKEY_LOCAL_MACHINE, OemKey, "Logo", type_, data_);
    }
    ~TLogoValueGuard()
    {
        HKEY key = OpenOemKey();
        if (!key)
            return;
        if (had_)
            RegSetValueExA(key, "Logo", 0, type_, reinterpret_cast<const BYTE*>(data_.data()),
                           static_cast<DWORD>(data_.size()));
        else
            RegDeleteValueA(key, "Logo");
        DWORD values = 0, subkeys = 0;
        const bool empty = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                            nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                           values == 0 && subkeys == 0;
        RegCloseKey(key);
        if (!keyExisted_ && empty)
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, OemKey, KEY_WOW64_64KEY, 0);
    }
    TLogoValueGuard(const TLogoValueGuard&) = delete;
    TLogoValueGuard& operator=(const TLogoValueGuard&) = delete;

private:
    bool keyExisted_ = false;
    bool had_ = false;
    DWORD type_ = REG_SZ;
    std::string data_;
};

std::string TempDir()
{
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    return dir;
}

struct TLogoCase {
    int size;
    int shownRed;  // the red part's width and height inside the box
};

class LogoLookTest : public ::testing::TestWithParam<TLogoCase> {};

TEST_P(LogoLookTest, LogoShowsFromTheBoxCornerAtItsOwnSize)
{
    ExpectDesignScale();
    ASSERT_FALSE(HasFatalFailure());
    const TLogoCase c = GetParam();
    TLogoValueGuard restore;
    TScratchFile logo(TempDir() + "marquill-look-logo-" + std::to_string(c.size) + ".bmp", LogoBmp(c.size));
    SetRegString("Logo", logo.Path());
    TMessageBoxCatcher boxes;
    std::unique_ptr<TAppFrm> form = OpenForm();
    ASSERT_TRUE(form && IsWindowVisible(form->Handle())) << "the window did not appear";
    ASSERT_TRUE(PumpUntil(*form, [&] { return FullyPainted(form->Handle()); }));
    ASSERT_EQ(boxes.Count(), 0) << boxes.Last().text;

    TPixels px;
    ASSERT_TRUE(CaptureClient(form->Control(TCtl::G_3), px));
    const int boxLeft = 16, boxTop = 21, box = 172;
    EXPECT_EQ(ColorText(px.At(boxLeft, boxTop)), "#FFFF00") << "the picture does not start at the box's corner";
    int green = 0, misplaced = 0;
    for (int y = 0; y < box; ++y) {
        for (int x = 0; x < box; ++x) {
            if (x == 0 && y == 0)
                continue;
            const COLORREF got = px.At(boxLeft + x, boxTop + y);
            green += got == RGB(0, 0xFF, 0);
            const COLORREF want = (x < c.shownRed && y < c.shownRed) ? RGB(0xFF, 0, 0) : WindowBack;
            if (got != want && ++misplaced <= 5)
                ADD_FAILURE() << "box pixel (" << x << ", " << y << ") is " << ColorText(got) << ", want "
                              << ColorText(want);
        }
    }
    EXPECT_EQ(green, 0) << "the picture is scaled into the box instead of cut off";
    EXPECT_EQ(misplaced, 0);
    // Right of and below the box, the panel's own background.
    for (int i = 0; i < box; i += 7) {
        EXPECT_EQ(px.At(boxLeft + box, boxTop + i), WindowBack) << "right of the box at row " << i;
        EXPECT_EQ(px.At(boxLeft + i, boxTop + box), WindowBack) << "below the box at column " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, LogoLookTest,
                         ::testing::Values(TLogoCase{200, 172},  // larger: cut at the box's edges
                                           TLogoCase{100, 100},  // smaller: top-left part only
                                           TLogoCase{172, 172}));

}  // namespace
