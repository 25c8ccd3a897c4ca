// The picture dialog's rules that need no window: the filter text the file
// dialog takes and the geometry of both previews. Built natively under the
// sanitizers, and for Windows with the dialog's tests.
#include <gtest/gtest.h>

#include <string>

#include "ui/PictureDialogRules.h"

namespace {

using namespace std::string_literals;

void ExpectRect(const TPixelRect& got, const TPixelRect& expected)
{
    EXPECT_EQ(got.left, expected.left);
    EXPECT_EQ(got.top, expected.top);
    EXPECT_EQ(got.right, expected.right);
    EXPECT_EQ(got.bottom, expected.bottom);
}

struct TFilterCase {
    const char* name;
    std::string text;
    std::string expected;
};

class OfnFilter : public testing::TestWithParam<TFilterCase> {};

TEST_P(OfnFilter, SplitsPairsIntoNulSeparatedList)
{
    const TFilterCase& c = GetParam();
    EXPECT_EQ(OfnFilterFromText(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OfnFilter,
    testing::Values(TFilterCase{"one_pair", "Bitmaps (*.bmp)|*.bmp", "Bitmaps (*.bmp)\0*.bmp\0\0"s},
                    TFilterCase{"two_pairs", "A|*.a|B|*.b;*.c", "A\0*.a\0B\0*.b;*.c\0\0"s},
                    TFilterCase{"empty", "", ""},
                    TFilterCase{"description_alone", "Lonely", ""},
                    TFilterCase{"trailing_description_dropped", "A|*.a|Lonely", "A\0*.a\0\0"s},
                    // An empty half would end the list early and hide what follows.
                    TFilterCase{"empty_pattern_skipped", "A||B|*.b", "B\0*.b\0\0"s},
                    TFilterCase{"empty_description_skipped", "|*.a|B|*.b", "B\0*.b\0\0"s},
                    TFilterCase{"trailing_bar", "A|*.a|", "A\0*.a\0\0"s}),
    [](const testing::TestParamInfo<TFilterCase>& info) { return std::string(info.param.name); });

struct TFitCase {
    const char* name;
    int pictureWidth, pictureHeight;
    TPixelRect box;
    TPixelRect expected;
};

class FitPicture : public testing::TestWithParam<TFitCase> {};

TEST_P(FitPicture, KeepsProportionsAndCentres)
{
    const TFitCase& c = GetParam();
    ExpectRect(FitPictureRect(c.pictureWidth, c.pictureHeight, c.box), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitPicture,
    testing::Values(
        // Smaller pictures are scaled up, larger ones down.
        TFitCase{"wide_scaled_up", 40, 20, {0, 0, 100, 100}, {0, 25, 100, 75}},
        TFitCase{"tall_scaled_up", 10, 30, {0, 0, 90, 90}, {30, 0, 60, 90}},
        TFitCase{"wide_scaled_down", 2000, 100, {0, 0, 200, 200}, {0, 95, 200, 105}},
        TFitCase{"same_shape", 50, 50, {10, 20, 110, 120}, {10, 20, 110, 120}},
        TFitCase{"offset_box", 40, 20, {5, 5, 45, 85}, {5, 35, 45, 55}},
        // Odd leftovers put the extra pixel after the picture.
        TFitCase{"odd_leftover", 2, 1, {0, 0, 10, 8}, {0, 1, 10, 6}},
        // A sliver never vanishes: at least one pixel of the short side.
        TFitCase{"sliver_kept", 10000, 1, {0, 0, 100, 100}, {0, 49, 100, 50}},
        TFitCase{"empty_picture", 0, 0, {3, 4, 100, 100}, {3, 4, 3, 4}},
        TFitCase{"negative_picture", -5, 10, {0, 0, 100, 100}, {0, 0, 0, 0}},
        TFitCase{"empty_box", 40, 20, {10, 10, 10, 50}, {10, 10, 10, 10}},
        // Products beyond 32 bits stay exact.
        TFitCase{"huge_picture", 100000, 50000, {0, 0, 60000, 60000}, {0, 15000, 60000, 45000}}),
    [](const testing::TestParamInfo<TFitCase>& info) { return std::string(info.param.name); });

struct TBoundsCase {
    const char* name;
    int pictureWidth, pictureHeight, frameWidth, frameHeight, minWidth, minHeight, screenWidth, screenHeight;
    TPixelRect expected;
};

class PreviewBounds : public testing::TestWithParam<TBoundsCase> {};

TEST_P(PreviewBounds, PictureWithMarginCappedAndCentred)
{
    const TBoundsCase& c = GetParam();
    ExpectRect(PreviewWindowBounds(c.pictureWidth, c.pictureHeight, 5, c.frameWidth, c.frameHeight, c.minWidth,
                                   c.minHeight, c.screenWidth, c.screenHeight),
               c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewBounds,
    testing::Values(
        // 40x20 plus 5 on each side plus an 8x27 frame: 58x57, centred on 1280x1024.
        TBoundsCase{"small_picture", 40, 20, 8, 27, 0, 0, 1280, 1024, {611, 483, 669, 540}},
        TBoundsCase{"too_wide", 2000, 100, 8, 27, 0, 0, 1280, 1024, {160, 443, 1120, 580}},
        TBoundsCase{"too_tall", 100, 5000, 8, 27, 0, 0, 1280, 1024, {581, 128, 699, 896}},
        TBoundsCase{"too_large_both_ways", 4000, 4000, 8, 27, 0, 0, 1024, 768, {128, 96, 896, 672}},
        TBoundsCase{"empty_picture_margin_only", 0, 0, 0, 0, 0, 0, 100, 100, {45, 45, 55, 55}},
        // The system's smallest captioned window, still centred.
        TBoundsCase{"below_minimum", 40, 20, 8, 27, 112, 60, 1280, 1024, {584, 482, 696, 542}},
        // The three-quarter limit wins over a minimum larger than it.
        TBoundsCase{"minimum_beyond_limit", 10, 10, 8, 27, 200, 200, 200, 200, {25, 25, 175, 175}}),
    [](const testing::TestParamInfo<TBoundsCase>& info) { return std::string(info.param.name); });

}  // namespace
