// The window's look in legacy mode, where both upper groups show: the
// shortened "General" group, the support lines, and line 7's smaller text.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "tests/support/TestSupport.h"
#include "ui/MainForm.h"
#include "ui/Zanth.Panel.h"
#include "ui/tests/FormTestFixture.h"

using namespace formtest;

namespace {

const COLORREF EditBack = RGB(0x4A, 0x5F, 0x8C);
const COLORREF FrameBlue = RGB(0x00, 0x63, 0xB1);

// The box around everything in a control's client area that is not its
// background: the drawn text.
RECT InkBox(HWND wnd, COLORREF back)
{
    TPixels px;
    EXPECT_TRUE(CaptureClient(wnd, px));
    RECT box = {px.width, px.height, -1, -1};
    for (int y = 0; y < px.height; ++y) {
        for (int x = 0; x < px.width; ++x) {
            if (px.At(x, y) == back)
                continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    }
    return box;
}

using LookLegacyTest = TPaintedFormTest;

TEST_F(LookLegacyTest, GeneralGroupEndsAboveTheSupportLines)
{
    const RECT general = RectInParent(form_->Control(TCtl::G_1));
    const RECT support = RectInParent(form_->Control(TCtl::G_2));
    EXPECT_EQ(general.left, 8);
    EXPECT_EQ(general.top, 6);
    EXPECT_EQ(general.right - general.left, 393);
    EXPECT_EQ(general.bottom - general.top, 91 - 10);
    EXPECT_EQ(support.top, 91);
    EXPECT_EQ(support.bottom - support.top, 286);
    EXPECT_TRUE(IsWindowVisible(form_->Control(TCtl::G_2)));
    EXPECT_FALSE(IsWindowVisible(form_->Control(TCtl::Edit_SHours)));
    EXPECT_FALSE(IsWindowVisible(form_->Control(TCtl::Label_SHours)));
}

TEST_F(LookLegacyTest, BothGroupsAreFramedAtTheirOwnSize)
{
    for (const char* name : {"G_1", "G_2"}) {
        SCOPED_TRACE(name);
        TZanthPanel* panel = TZanthPanel::FromHandle(ControlNamed(*form_, name));
        ASSERT_NE(panel, nullptr);
        TPixels px;
        ASSERT_TRUE(CaptureClient(panel->Handle(), px));
        for (const std::string& error : CaptionedFrameErrors(px, CaptionExtent(*panel), FrameBlue))
            ADD_FAILURE() << error;
    }
}

TEST_F(LookLegacyTest, LineSevenTextIsSmallerThanTheOtherLines)
{
    const struct {
        const char* name;
        LONG height;
    } fonts[] = {{"Edit_Line6", -13}, {"Edit_Line7", -11}, {"Edit_Line8", -13}};
    for (const auto& font : fonts)
        EXPECT_EQ(FontHeightOf(ControlNamed(*form_, font.name)), font.height) << font.name;

    for (const char* name : {"Edit_Line6", "Edit_Line7", "Edit_Line8"})
        SetText(*form_, name, "HHHHHHHH");
    ASSERT_TRUE(Painted());
    const RECT six = InkBox(form_->Control(TCtl::Edit_Line6), EditBack);
    const RECT seven = InkBox(form_->Control(TCtl::Edit_Line7), EditBack);
    const RECT eight = InkBox(form_->Control(TCtl::Edit_Line8), EditBack);
    ASSERT_GT(six.right, 0) << "line 6 shows no text";
    ASSERT_GT(seven.right, 0) << "line 7 shows no text";
    EXPECT_LT(seven.bottom - seven.top, six.bottom - six.top) << "line 7's letters are not shorter";
    EXPECT_LT(seven.right - seven.left, six.right - six.left) << "line 7's text is not narrower";
    EXPECT_EQ(eight.bottom - eight.top, six.bottom - six.top) << "line 8 differs from line 6";
    EXPECT_EQ(eight.right - eight.left, six.right - six.left) << "line 8 differs from line 6";
}

}  // namespace
