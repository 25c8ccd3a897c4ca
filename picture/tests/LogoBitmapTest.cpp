// The logo file made from a loaded picture: which pictures are installed as
// they are, the bitmap the others become (its size, shape and transparency,
// the same in every session), and that only the checked bytes are used.
// Built for a Windows of the NT family and for Windows 98, which draws
// fewer bit-field layouts.
#include "picture/PlainBitmap.h"

#include "base/WindowsVersion.h"
#include "picture/Picture.h"
#include "picture/tests/PictureTestFiles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

using namespace picture_test;

namespace {

// A logo file's pixels as 0xAARRGGBB (alpha 0xFF for 24 bits), after
// checking the shape every conversion has: 40-byte header, uncompressed,
// bottom row first, nothing after the pixels.
struct TLogo {
    int width = 0, height = 0, bitCount = 0;
    std::string bytes;

    uint32_t At(int x, int y) const
    {
        const size_t pixel = size_t(bitCount / 8);
        const size_t stride = (size_t(width) * pixel + 3) & ~size_t(3);
        const size_t at = 54 + size_t(height - 1 - y) * stride + size_t(x) * pixel;
        const uint32_t alpha = bitCount == 32 ? uint8_t(bytes[at + 3]) : 0xFF;
        return alpha << 24 | uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 1])) << 8 |
               uint8_t(bytes[at]);
    }
};

void ExpectConverted(const TLogo& logo, TLogoTarget target, int width, int height, int line)
{
    SCOPED_TRACE("from line " + std::to_string(line));
    const int bits = target == TLogoTarget::Legacy ? 24 : 32;
    ASSERT_GE(logo.bytes.size(), 54u);
    EXPECT_EQ('B', logo.bytes[0]);
    EXPECT_EQ('M', logo.bytes[1]);
    EXPECT_EQ(54u, Get32(logo.bytes, BmpOffBits));
    EXPECT_EQ(40u, Get32(logo.bytes, BmpInfoSize));
    EXPECT_EQ(uint32_t(width), Get32(logo.bytes, BmpWidth));
    EXPECT_EQ(uint32_t(height), Get32(logo.bytes, BmpHeight));
    EXPECT_EQ(uint32_t(bits), Get32(logo.bytes, BmpBitCount) & 0xFFFF);
    EXPECT_EQ(0u, Get32(logo.bytes, BmpCompression));
    const size_t stride = (size_t(width) * bits / 8 + 3) & ~size_t(3);
    ASSERT_EQ(54 + stride * size_t(height), logo.bytes.size());
}

TLogo Converted(const TPicture& picture, TLogoTarget target, int width, int height, int line)
{
    TLogo logo;
    EXPECT_TRUE(LogoNeedsConversion(picture, target)) << "from line " << line;
    EXPECT_TRUE(LogoBitmapBytes(picture, target, logo.bytes)) << "from line " << line;
    ExpectConverted(logo, target, width, height, line);
    logo.width = width;
    logo.height = height;
    logo.bitCount = target == TLogoTarget::Legacy ? 24 : 32;
    return logo;
}

TPicture* Loaded(TPicture& picture, const std::string& bytes, const std::string& name)
{
    picture.LoadFromBytes(bytes, name);
    return &picture;
}

class LogoBitmap : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
        dir_ = std::string(temp) + "marquill-logo-" + std::to_string(GetCurrentProcessId()) + "\\";
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    void TearDown() override
    {
        for (const std::string& path : written_) DeleteFileA(path.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    std::string Path(const std::string& name)
    {
        written_.push_back(dir_ + name);
        return dir_ + name;
    }

    std::string dir_;
    std::vector<std::string> written_;
};

}  // namespace

TEST_F(LogoBitmap, HugeMetafileFrameMadeA72MegabyteLogo)
{
    const std::string emf = HugeFrameEmf();
    ASSERT_EQ(108u, emf.size());
    TPicture picture;
    picture.LoadFromBytes(emf, "big.emf");
    for (TLogoTarget target : {TLogoTarget::Legacy, TLogoTarget::Registry})
        Converted(picture, target, MaxLogoSide, MaxLogoSide, __LINE__);
}

TEST_F(LogoBitmap, ConversionKeepsProportionsAndNeverEnlarges)
{
    const struct {
        const char* name;
        std::string bytes;
        int width, height;
        TColorAt color;  // at the quadrants' centres, with (width, height) the logo's size
        std::vector<TLogoTarget> targets;
    } cases[] = {
        {"wide.emf", SampleEmf(Green, 1000, 500), 256, 128, [](int, int) { return Green; },
         {TLogoTarget::Legacy, TLogoTarget::Registry}},
        {"tall.wmf", SampleWmf(true, Blue, 500, 1000), 128, 256, [](int, int) { return Blue; },
         {TLogoTarget::Legacy, TLogoTarget::Registry}},
        {"wide.bmp", MakeBmp({"v5", 1000, 500, 32, 3, 124, {}, {0xFF0000, 0xFF00, 0xFF}}, Quadrants(1000, 500)),
         256, 128, Quadrants(256, 128), {TLogoTarget::Legacy}},
        {"small.ico", SampleColorIco(), 32, 32, Quadrants(32, 32), {TLogoTarget::Legacy, TLogoTarget::Registry}},
        {"small.emf", SampleEmf(Red, 40, 30), 40, 30, [](int, int) { return Red; },
         {TLogoTarget::Legacy, TLogoTarget::Registry}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        picture.LoadFromBytes(c.bytes, c.name);
        for (TLogoTarget target : c.targets) {
            const TLogo logo = Converted(picture, target, c.width, c.height, __LINE__);
            if (HasFatalFailure()) return;
            for (int y = c.height / 4; y < c.height; y += c.height / 2)
                for (int x = c.width / 4; x < c.width; x += c.width / 2)
                    EXPECT_EQ(0xFF000000 | c.color(x, y), logo.At(x, y)) << std::hex << x << "," << y;
        }
    }
}

TEST_F(LogoBitmap, TransparentIconPartsBecomeWhiteWithNoAlpha)
{
    const TColorAt quadrants = Quadrants(16, 16);
    for (const auto& icon : {AlphaIcon(), MaskIcon()}) {
        SCOPED_TRACE(icon.size());
        TPicture picture;
        picture.LoadFromBytes(icon, "clear.ico");
        for (TLogoTarget target : {TLogoTarget::Legacy, TLogoTarget::Registry}) {
            const TLogo logo = Converted(picture, target, 16, 16, __LINE__);
            if (HasFatalFailure()) return;
            // Legacy bitmaps have no alpha: the transparent part shows white.
            const uint32_t clear = target == TLogoTarget::Legacy ? 0xFFFFFFFF : 0x00FFFFFF;
            for (int y = 2; y < 16; y += 4)
                for (int x = 2; x < 16; x += 4)
                    EXPECT_EQ(x < 8 && y < 8 ? clear : 0xFF000000 | quadrants(x, y), logo.At(x, y))
                        << std::hex << x << "," << y;
        }
    }
}

TEST_F(LogoBitmap, ConversionIsTheSameWhateverTheDialogFaceColour)
{
    // The face colour was the background of a conversion, so a SYSTEM agent
    // and a user converted one picture to different bytes.
    const std::string files[][2] = {{"clear.ico", AlphaIcon()}, {"mask.ico", MaskIcon()}, {"rich.emf", RichEmf()}};
    const int element = COLOR_3DFACE;
    const COLORREF face = GetSysColor(COLOR_3DFACE);
    for (const auto& file : files) {
        SCOPED_TRACE(file[0]);
        TPicture picture;
        picture.LoadFromBytes(file[1], file[0]);
        for (TLogoTarget target : {TLogoTarget::Legacy, TLogoTarget::Registry}) {
            std::string before, after;
            ASSERT_TRUE(LogoBitmapBytes(picture, target, before));
            const COLORREF other = RGB(12, 34, 56);
            ASSERT_TRUE(SetSysColors(1, &element, &other));
            ASSERT_EQ(other, GetSysColor(COLOR_3DFACE));
            const bool converted = LogoBitmapBytes(picture, target, after);
            SetSysColors(1, &element, &face);
            ASSERT_TRUE(converted);
            EXPECT_TRUE(before == after);
        }
    }
}

TEST_F(LogoBitmap, BitfieldMasksNineXCannotShowNeedConversion)
{
    // Legacy mode converts what the running release cannot show itself;
    // the registry's reader shows any checked bitmap.
    const bool nineX = IsWindows9xFamily();
    auto bmp = [](int bits, uint32_t compression, uint32_t infoSize, std::initializer_list<uint32_t> masks) {
        TBmpSpec spec = {"", 6, 4, bits, compression, infoSize, {}, {0, 0, 0}};
        std::copy(masks.begin(), masks.end(), spec.masks);
        // A 12-byte header cannot say the palette is short.
        if (bits <= 8) spec.palette = {Red, Green, Blue, White};
        if (infoSize == 12) spec.palette.resize(size_t(1) << bits, Black);
        return MakeBmp(spec, Quadrants(6, 4));
    };
    const struct {
        const char* name;
        std::string bytes;
        bool legacyNT, legacy9x, registry;
    } cases[] = {
        {"rgb24.bmp", SampleBmp(), false, false, false},
        {"core.bmp", bmp(4, 0, 12, {}), false, false, false},
        {"rle8.bmp", bmp(8, 1, 40, {}), false, false, false},
        {"rgb16.bmp", bmp(16, 0, 40, {}), false, false, false},
        {"555.bmp", bmp(16, 3, 40, {0x7C00, 0x03E0, 0x001F}), false, false, false},
        {"565.bmp", bmp(16, 3, 40, {0xF800, 0x07E0, 0x001F}), false, false, false},
        {"444.bmp", bmp(16, 3, 40, {0x0F00, 0x00F0, 0x000F}), false, true, false},
        {"bgr565.bmp", bmp(16, 3, 40, {0x001F, 0x07E0, 0xF800}), false, true, false},
        {"888.bmp", bmp(32, 3, 40, {0xFF0000, 0x00FF00, 0x0000FF}), false, false, false},
        {"bgr888.bmp", bmp(32, 3, 40, {0x0000FF, 0x00FF00, 0xFF0000}), false, true, false},
        {"101010.bmp", bmp(32, 3, 40, {0x3FF00000, 0x000FFC00, 0x000003FF}), false, true, false},
        {"v4.bmp", bmp(32, 3, 108, {0xFF0000, 0x00FF00, 0x0000FF}), true, true, false},
        {"a.ico", SampleColorIco(), true, true, true},
        {"a.emf", SampleEmf(), true, true, true},
        {"a.wmf", SampleWmf(), true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        picture.LoadFromBytes(c.bytes, c.name);
        EXPECT_EQ(nineX ? c.legacy9x : c.legacyNT, LogoNeedsConversion(picture, TLogoTarget::Legacy));
        EXPECT_EQ(c.registry, LogoNeedsConversion(picture, TLogoTarget::Registry));
        for (TLogoTarget target : {TLogoTarget::Legacy, TLogoTarget::Registry}) {
            std::string bytes;
            ASSERT_TRUE(LogoBitmapBytes(picture, target, bytes));
            EXPECT_EQ(!LogoNeedsConversion(picture, target), bytes == c.bytes);
        }
    }
    EXPECT_FALSE(LogoNeedsConversion(TPicture(), TLogoTarget::Legacy));
    std::string none = "untouched";
    EXPECT_FALSE(LogoBitmapBytes(TPicture(), TLogoTarget::Registry, none));
}

TEST_F(LogoBitmap, LogoChangedAfterItsCheckGivesTheCheckedBytes)
{
    const struct {
        const char* name;
        std::string checked, later;
    } cases[] = {
        {"copied.bmp", SampleBmp(), SampleBmp(9, 9)},
        {"converted.ico", SampleColorIco(), SampleIco()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = Path(c.name);
        ASSERT_TRUE(WriteWholeFile(source, c.checked));
        TPicture picture;
        picture.LoadFromFile(source);
        ASSERT_TRUE(WriteWholeFile(source, c.later));
        EXPECT_EQ(c.checked, picture.Bytes());

        TPicture fromChecked;
        std::string expected;
        ASSERT_TRUE(LogoBitmapBytes(*Loaded(fromChecked, c.checked, c.name), TLogoTarget::Legacy, expected));
        std::string installed;
        ASSERT_TRUE(LogoBitmapBytes(picture, TLogoTarget::Legacy, installed));
        EXPECT_TRUE(expected == installed);
    }
}
