// High contrast, which Wine refuses to switch on: the platform seam answers
// the query, SetSysColors sets the scheme's colours, and the window's pixels
// are read back as only WM_SETTINGCHANGE or WM_SYSCOLORCHANGE told it of each
// change. SetSysColors changes every window on the desktop: the colours are
// put back, and ctest runs this test alone.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/tests/FormTestFixture.h"

using namespace formtest;

namespace {

const int SchemeElements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT};

// The colours of one scheme, in the order of SchemeElements.
struct TScheme {
    COLORREF window, text, highlight;
};

void SetScheme(const TScheme& scheme)
{
    const COLORREF colors[] = {scheme.window, scheme.text, scheme.highlight};
    ASSERT_TRUE(SetSysColors(3, SchemeElements, colors));
}

class TSysColorsGuard {
public:
    TSysColorsGuard() : saved_{GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_HIGHLIGHT)} {}
    ~TSysColorsGuard() { SetScheme(saved_); }
    TSysColorsGuard(const TSysColorsGuard&) = delete;
    TSysColorsGuard& operator=(const TSysColorsGuard&) = delete;

private:
    TScheme saved_;
};

using LookContrast = TPaintedFormTest;

TEST_F(LookContrast, PixelsFollowHighContrastBothWaysAndNewSystemColours)
{
    TSysColorsGuard restore;
    const TScheme black = {RGB(0, 0, 0), RGB(0xFF, 0xFF, 0), RGB(0, 0xFF, 0xFF)};
    const TScheme white = {RGB(0xFF, 0xFF, 0xFF), RGB(0, 0, 0x80), RGB(0x80, 0, 0x80)};
    const TScheme design = {RGB(0x1A, 0x21, 0x31), RGB(0xD4, 0xD4, 0xD4), RGB(0xD4, 0xD4, 0xD4)};
    struct TStep {
        const char* what;
        bool on;
        const TScheme* sysColors;  // set with SetSysColors first, then WM_SYSCOLORCHANGE; else WM_SETTINGCHANGE alone
        const TScheme& shown;
        COLORREF field, fieldEdge, frame;
    };
    const TStep steps[] = {
        {"switched on", true, nullptr, black, black.window, black.text, black.text},
        {"switched off", false, nullptr, design, RGB(0x4A, 0x5F, 0x8C), design.window, RGB(0x00, 0x63, 0xB1)},
        {"switched on again", true, nullptr, black, black.window, black.text, black.text},
        {"new system colours", true, &white, white, white.window, white.text, white.text},
    };
    SetScheme(black);
    HWND form = form_->Handle();
    HWND general = form_->Control(TCtl::G_1);
    HWND maker = form_->Control(TCtl::Edit_Manufacturer);
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.what);
        TDisplaySettings::HighContrast = step.on;
        if (step.sysColors) {
            SetScheme(*step.sysColors);
            SendMessageA(form, WM_SYSCOLORCHANGE, 0, 0);
        } else {
            SendMessageA(form, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        }
        ASSERT_TRUE(Painted());
        TPixels px, group;
        ASSERT_TRUE(CaptureClient(form, px));
        ASSERT_TRUE(CaptureClient(general, group));
        const RECT field = RectInParent(maker);
        struct TSpot {
            const char* where;
            COLORREF got, want;
        };
        const TSpot spots[] = {
            {"page", px.At(200, 300), step.shown.window},
            {"bottom bar", px.At(300, 455), step.shown.window},
            {"inside General", group.At(60, 160), step.shown.window},
            {"empty field", group.At(field.right - 3, field.top + 10), step.field},
            {"field's edge", group.At(field.left - 1, field.top + 10), step.fieldEdge},
            {"General's frame", group.At(1, 100), step.frame},
        };
        for (const TSpot& spot : spots)
            EXPECT_EQ(ColorText(spot.got), ColorText(spot.want)) << spot.where;
        int labelText = 0;
        TPixels label;
        ASSERT_TRUE(CaptureClient(form_->Control(TCtl::Label_Manufacturer), label));
        for (int x = 0; x < label.width; ++x)
            for (int y = 0; y < label.height; ++y)
                labelText += label.At(x, y) == step.shown.text;
        EXPECT_GT(labelText, 0) << "no label pixel in " << ColorText(step.shown.text);
    }

    // The focus cue in the highlight colour, outside the field's frame too.
    ASSERT_TRUE(PressTab(*form_));
    ASSERT_TRUE(Painted());
    TPixels group;
    ASSERT_TRUE(CaptureClient(general, group));
    const RECT model = RectInParent(form_->Control(TCtl::Edit_Model));
    for (int out : {1, 2})
        EXPECT_EQ(ColorText(group.At(model.left - out, model.top + 10)), ColorText(white.highlight)) << out;
}

}  // namespace
