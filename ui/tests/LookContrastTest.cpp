// High contrast, which Wine refuses to switch on: the platform seam answers
// the query, SetSysColors sets the scheme, and the window's pixels follow
// each change that only WM_SETTINGCHANGE or WM_SYSCOLORCHANGE announced.
// SetSysColors changes every window on the desktop: the colours are put
// back, and ctest runs this test alone.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/tests/FormTestFixture.h"

using namespace formtest;

namespace {

const int Elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT};

struct TScheme {
    COLORREF colors[3];  // of Elements
    COLORREF window() const { return colors[0]; }
    COLORREF text() const { return colors[1]; }
};

struct TSysColorsGuard {
    TScheme saved = {{GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_HIGHLIGHT)}};
    ~TSysColorsGuard() { SetSysColors(3, Elements, saved.colors); }
};

using LookContrast = TPaintedFormTest;

TEST_F(LookContrast, PixelsFollowHighContrastBothWaysAndNewSystemColours)
{
    TSysColorsGuard restore;
    const TScheme black = {{RGB(0, 0, 0), RGB(0xFF, 0xFF, 0), RGB(0, 0xFF, 0xFF)}};
    const TScheme white = {{RGB(0xFF, 0xFF, 0xFF), RGB(0, 0, 0x80), RGB(0x80, 0, 0x80)}};
    const TScheme design = {{RGB(0x1A, 0x21, 0x31), RGB(0xD4, 0xD4, 0xD4)}};
    struct TStep {
        bool on;
        const TScheme* newColors;  // set, then WM_SYSCOLORCHANGE; else WM_SETTINGCHANGE alone
        const TScheme& shown;
        COLORREF field, fieldEdge, frame;
    };
    const TStep steps[] = {
        {true, nullptr, black, black.window(), black.text(), black.text()},
        {false, nullptr, design, RGB(0x4A, 0x5F, 0x8C), design.window(), RGB(0x00, 0x63, 0xB1)},
        {true, nullptr, black, black.window(), black.text(), black.text()},
        {true, &white, white, white.window(), white.text(), white.text()},
    };
    ASSERT_TRUE(SetSysColors(3, Elements, black.colors));
    HWND general = form_->Control(TCtl::G_1);
    const RECT field = RectInParent(form_->Control(TCtl::Edit_Manufacturer));
    for (const TStep& step : steps) {
        SCOPED_TRACE(&step - steps);
        TDisplaySettings::HighContrast = step.on;
        if (step.newColors) {
            ASSERT_TRUE(SetSysColors(3, Elements, step.newColors->colors));
            SendMessageA(form_->Handle(), WM_SYSCOLORCHANGE, 0, 0);
        } else {
            SendMessageA(form_->Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        }
        ASSERT_TRUE(Painted());
        TPixels page, group, label;
        ASSERT_TRUE(CaptureClient(form_->Handle(), page) && CaptureClient(general, group) &&
                    CaptureClient(form_->Control(TCtl::Label_Manufacturer), label));
        EXPECT_EQ(ColorText(page.At(200, 300)), ColorText(step.shown.window())) << "page";
        EXPECT_EQ(ColorText(page.At(300, 455)), ColorText(step.shown.window())) << "bottom bar";
        EXPECT_EQ(ColorText(group.At(field.right - 3, field.top + 10)), ColorText(step.field)) << "empty field";
        EXPECT_EQ(ColorText(group.At(field.left - 1, field.top + 10)), ColorText(step.fieldEdge)) << "field's edge";
        EXPECT_EQ(ColorText(group.At(1, 100)), ColorText(step.frame)) << "General's frame";
        int text = 0;
        for (COLORREF c : label.data)
            text += c == step.shown.text();
        EXPECT_GT(text, 0) << "no label pixel in " << ColorText(step.shown.text());
    }
    // The focus cue in the highlight colour, outside the field's frame too.
    ASSERT_TRUE(PressTab(*form_));
    ASSERT_TRUE(Painted());
    TPixels group;
    ASSERT_TRUE(CaptureClient(general, group));
    const RECT model = RectInParent(form_->Control(TCtl::Edit_Model));
    for (int out : {1, 2})
        EXPECT_EQ(ColorText(group.At(model.left - out, model.top + 10)), ColorText(white.colors[2])) << out;
}

}  // namespace
