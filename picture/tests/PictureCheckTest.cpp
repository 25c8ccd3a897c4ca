// The structural checks and the bitmap decoder, without any window: these
// also run natively under AddressSanitizer, which turns any read outside a
// file's bytes into a failure.
#include "picture/PictureCheck.h"
#include "picture/tests/PictureTestFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

using namespace picture_test;

namespace {

// The file's bytes in a heap block of exactly their size, so that the
// sanitizer sees a read one byte past the end.
struct TExactBytes {
    explicit TExactBytes(const std::string& s) : size(s.size()), data(new uint8_t[s.size() ? s.size() : 1])
    {
        if (!s.empty()) std::memcpy(data.get(), s.data(), s.size());
    }
    size_t size;
    std::unique_ptr<uint8_t[]> data;
};

TBitmapCheck CheckBmp(const std::string& s)
{
    TExactBytes b(s);
    TBitmapLayout layout;
    return CheckBitmapFile(b.data.get(), b.size, layout);
}

// Checks and, when the check passes, decodes; false when either refuses.
bool CheckAndDecodeBmp(const std::string& s, std::vector<uint32_t>* pixels = nullptr, TBitmapLayout* out = nullptr)
{
    TExactBytes b(s);
    TBitmapLayout layout;
    if (CheckBitmapFile(b.data.get(), b.size, layout) != TBitmapCheck::Valid) return false;
    EXPECT_LE(layout.bitsOffset + layout.bitsSize, b.size);
    std::vector<uint32_t> dest(size_t(layout.width) * size_t(layout.height), 0xDDDDDDDD);
    const bool ok = DecodeBitmap(b.data.get(), b.size, layout, dest.data());
    if (pixels) *pixels = dest;
    if (out) *out = layout;
    return ok;
}

bool CheckIco(const std::string& s, TIconImage* out = nullptr, int preferred = 32, bool pngDecodable = true)
{
    TExactBytes b(s);
    TIconImage image;
    const bool ok = CheckIconFile(b.data.get(), b.size, preferred, pngDecodable, image);
    if (ok) {
        EXPECT_LE(uint64_t(image.offset) + image.size, b.size);
    }
    if (out) *out = image;
    return ok;
}

bool CheckEmf(const std::string& s)
{
    TExactBytes b(s);
    TEnhMetafileInfo info;
    const bool ok = CheckEnhMetafile(b.data.get(), b.size, info);
    if (ok) {
        EXPECT_LE(info.bytes, b.size);
    }
    return ok;
}

bool CheckWmf(const std::string& s, TMetafileInfo* out = nullptr)
{
    TExactBytes b(s);
    TMetafileInfo info;
    const bool ok = CheckMetafile(b.data.get(), b.size, info);
    if (ok) {
        EXPECT_LE(uint64_t(info.bitsOffset) + info.bitsSize, b.size);
    }
    if (out) *out = info;
    return ok;
}

}  // namespace

TEST(PictureExtension, LastElementDecides)
{
    const struct { const char* path; const char* ext; TPictureKind kind; } cases[] = {
        {"C:\\logos\\oemlogo.bmp", "bmp", TPictureKind::Bitmap},
        {"Foo.BMP", "BMP", TPictureKind::Bitmap},
        {"a.b\\c.Ico", "Ico", TPictureKind::Icon},
        {"x.tar.emf", "emf", TPictureKind::EnhMetafile},
        {"C:/dir/pic.WMF", "WMF", TPictureKind::Metafile},
        {"C:\\dir.bmp\\file", "", TPictureKind::Unknown},
        {"dir.bmp/file", "", TPictureKind::Unknown},
        {"noext", "", TPictureKind::Unknown},
        {"trailing.", "", TPictureKind::Unknown},
        {"logo.png", "png", TPictureKind::Unknown},
        {"logo.bmpx", "bmpx", TPictureKind::Unknown},
        {"", "", TPictureKind::Unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.ext, PictureFileExtension(c.path));
        EXPECT_EQ(c.kind, PictureKindFromExtension(PictureFileExtension(c.path)));
    }
}

// Every layout a bitmap file may have decodes to the same picture.
TEST(BitmapDecode, EveryFormatGivesThePicture)
{
    const std::vector<uint32_t> four = {Red, Green, Blue, White};
    const TBmpSpec specs[] = {
        {"rgb24", 7, 5, 24, 0, 40, {}, {0, 0, 0}},
        {"rgb24 top-down", 7, -5, 24, 0, 40, {}, {0, 0, 0}},
        {"rgb32", 7, 5, 32, 0, 40, {}, {0, 0, 0}},
        {"rgb16 555", 7, 5, 16, 0, 40, {}, {0, 0, 0}},
        {"bitfields16 565", 7, 5, 16, 3, 40, {}, {0xF800, 0x07E0, 0x001F}},
        {"bitfields32 swapped", 7, 5, 32, 3, 40, {}, {0x000000FF, 0x0000FF00, 0x00FF0000}},
        {"bitfields32 in v4 header", 7, 5, 32, 3, 108, {}, {0x00FF0000, 0x0000FF00, 0x000000FF}},
        {"rgb24 v5 header", 7, 5, 24, 0, 124, {}, {0, 0, 0}},
        {"core header 24", 7, 5, 24, 0, 12, {}, {0, 0, 0}},
        {"core header 8", 7, 5, 8, 0, 12, std::vector<uint32_t>(256, 0), {0, 0, 0}},
        {"pal8 short palette", 7, 5, 8, 0, 40, four, {0, 0, 0}},
        {"pal4", 9, 5, 4, 0, 40, four, {0, 0, 0}},
        {"rle8", 7, 5, 8, 1, 40, four, {0, 0, 0}},
        {"rle4", 9, 6, 4, 2, 40, four, {0, 0, 0}},
        {"one pixel", 1, 1, 24, 0, 40, {}, {0, 0, 0}},
        {"wide row padding", 33, 3, 24, 0, 40, {}, {0, 0, 0}},
    };
    for (TBmpSpec spec : specs) {
        SCOPED_TRACE(spec.name);
        if (spec.infoSize == 12 && spec.bitCount == 8)
            for (size_t i = 0; i < four.size(); ++i) spec.palette[i] = four[i];
        const int height = spec.height < 0 ? -spec.height : spec.height;
        const TColorAt expected = Quadrants(spec.width, height);
        const std::string file = MakeBmp(spec, expected);
        std::vector<uint32_t> pixels;
        TBitmapLayout layout;
        ASSERT_TRUE(CheckAndDecodeBmp(file, &pixels, &layout));
        ASSERT_EQ(spec.width, layout.width);
        ASSERT_EQ(height, layout.height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < spec.width; ++x)
                ASSERT_EQ(expected(x, y), pixels[size_t(y) * spec.width + x]) << "at " << x << "," << y;
    }
}

TEST(BitmapDecode, OnePaletteTwoColours)
{
    const TColorAt halves = [](int x, int) { return x < 4 ? Red : Blue; };
    const std::string file = MakeBmp({"pal1", 8, 3, 1, 0, 40, {Red, Blue}, {0, 0, 0}}, halves);
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(CheckAndDecodeBmp(file, &pixels));
    for (int x = 0; x < 8; ++x) EXPECT_EQ(halves(x, 0), pixels[size_t(8) + x]) << x;
}

// Run-length data that leaves the image or the stream is cut off, never
// written or read outside.
TEST(BitmapDecode, HostileRunLengthData)
{
    const std::vector<uint32_t> pal = {Red, Green};
    const std::string base = MakeBmp({"rle8", 4, 4, 8, 1, 40, pal, {0, 0, 0}}, [](int, int) { return Red; });
    const size_t bits = Get32(base, BmpOffBits);
    const struct { const char* name; std::string stream; bool decodes; } cases[] = {
        {"run longer than the row", std::string("\xFF\x01\x00\x01", 4), true},
        {"delta far outside", std::string("\x00\x02\xFF\xFF\x05\x01\x00\x01", 8), true},
        {"absolute run past the end", std::string("\x00\xFF\x01\x01", 4), false},
        {"delta cut short", std::string("\x00\x02\x01", 3), false},
        {"no end of bitmap", std::string("\x04\x01\x00\x00", 4), true},
        {"many end of lines", std::string(64, '\0'), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file = base.substr(0, bits) + c.stream;
        Patch32(file, BmpSizeImage, uint32_t(c.stream.size()));
        EXPECT_EQ(c.decodes, CheckAndDecodeBmp(file));
    }
}

TEST(BitmapCheck, MessagesOfTheFileHeader)
{
    EXPECT_EQ(TBitmapCheck::TooShort, CheckBmp("BM"));
    EXPECT_EQ(TBitmapCheck::TooShort, CheckBmp(std::string(13, 'B')));
    EXPECT_EQ(TBitmapCheck::NotBitmap, CheckBmp(std::string(14, 'X')));
    EXPECT_EQ(TBitmapCheck::NotBitmap, CheckBmp("MB" + SampleBmp().substr(2)));
    EXPECT_EQ(TBitmapCheck::Invalid, CheckBmp("BM" + std::string(12, '\0')));
    EXPECT_EQ(TBitmapCheck::Valid, CheckBmp(SampleBmp()));
}

TEST(BitmapCheck, RefusesUnsoundHeaders)
{
    const struct { const char* name; size_t at; uint32_t value; bool word; } cases[] = {
        {"width 0", BmpWidth, 0, false},
        {"width negative", BmpWidth, uint32_t(-7), false},
        {"width huge", BmpWidth, 0x7FFFFFFF, false},
        {"height 0", BmpHeight, 0, false},
        {"height INT_MIN", BmpHeight, 0x80000000, false},
        {"height huge", BmpHeight, 0x7FFFFFFF, false},
        {"height past the pixels", BmpHeight, 6, false},
        {"planes 0", BmpPlanes, 0, true},
        {"planes 2", BmpPlanes, 2, true},
        {"bit count 0", BmpBitCount, 0, true},
        {"bit count 7", BmpBitCount, 7, true},
        {"bit count 32 with too few pixels", BmpBitCount, 32, true},
        {"RLE8 on 24 bits", BmpCompression, 1, false},
        {"RLE4 on 24 bits", BmpCompression, 2, false},
        {"bitfields on 24 bits", BmpCompression, 3, false},
        {"JPEG inside", BmpCompression, 4, false},
        {"PNG inside", BmpCompression, 5, false},
        {"unknown compression", BmpCompression, 0x12345678, false},
        {"info size 41", BmpInfoSize, 41, false},
        {"info size past the file", BmpInfoSize, 124, false},
        {"info size huge", BmpInfoSize, 0xFFFFFFF0, false},
        {"pixels past the end", BmpOffBits, 200, false},
        {"pixel offset wraps", BmpOffBits, 0xFFFFFFF0, false},
        {"pixels inside the header", BmpOffBits, 20, false},
        {"pixels before the header", BmpOffBits, 0, false},
        {"colour table over the pixels", BmpClrUsed, 1, false},
        {"colour table huge", BmpClrUsed, 0xFFFFFFFF, false},
    };
    const std::string good = SampleBmp(7, 5);
    ASSERT_EQ(TBitmapCheck::Valid, CheckBmp(good));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file = good;
        if (c.word) Patch16(file, c.at, c.value); else Patch32(file, c.at, c.value);
        EXPECT_EQ(TBitmapCheck::Invalid, CheckBmp(file));
    }
}

TEST(BitmapCheck, RefusesUnsoundPalettesAndSizes)
{
    const std::vector<uint32_t> four = {Red, Green, Blue, White};
    const std::string pal8 = MakeBmp({"pal8", 7, 5, 8, 0, 40, four, {0, 0, 0}}, Quadrants(7, 5));
    ASSERT_EQ(TBitmapCheck::Valid, CheckBmp(pal8));
    std::string more = pal8;
    Patch32(more, BmpClrUsed, 257);
    EXPECT_EQ(TBitmapCheck::Invalid, CheckBmp(more)) << "more colours than 8 bits index";
    std::string pastEnd = pal8;
    Patch32(pastEnd, BmpClrUsed, 0);  // 256 entries then: past the file's end
    EXPECT_EQ(TBitmapCheck::Invalid, CheckBmp(pastEnd));

    // 64 Mpixel is the cap even where the file would hold the pixels.
    std::string big = SampleBmp(1, 1);
    Patch32(big, BmpWidth, 32767);
    Patch32(big, BmpHeight, 32767);
    EXPECT_EQ(TBitmapCheck::Invalid, CheckBmp(big));

    // A few bytes of run-length data may not claim a huge image; a small one
    // may have as few as it likes.
    std::string claim = MakeBmp({"rle8", 7, 5, 8, 1, 40, four, {0, 0, 0}}, Quadrants(7, 5));
    Patch32(claim, BmpWidth, 1024);
    Patch32(claim, BmpHeight, 1024);
    EXPECT_EQ(TBitmapCheck::Valid, CheckBmp(claim)) << "a million pixels need no more";
    Patch32(claim, BmpHeight, 1025);
    EXPECT_EQ(TBitmapCheck::Invalid, CheckBmp(claim));

    // Run-length data may not be stored top row first.
    std::string rle = MakeBmp({"rle8", 7, 5, 8, 1, 40, four, {0, 0, 0}}, Quadrants(7, 5));
    ASSERT_EQ(TBitmapCheck::Valid, CheckBmp(rle));
    Patch32(rle, BmpHeight, uint32_t(-5));
    EXPECT_EQ(TBitmapCheck::Invalid, CheckBmp(rle));
}

// Cutting a sound file anywhere leaves one the checks refuse.
TEST(PictureCheck, EveryTruncationIsRefused)
{
    const std::string bmp = SampleBmp(), ico = SampleIco(), emf = SampleEmf(), wmf = SampleWmf(),
                      plainWmf = SampleWmf(false);
    ASSERT_TRUE(CheckAndDecodeBmp(bmp));
    ASSERT_TRUE(CheckIco(ico));
    ASSERT_TRUE(CheckEmf(emf));
    ASSERT_TRUE(CheckWmf(wmf));
    ASSERT_TRUE(CheckWmf(plainWmf));
    for (size_t n = 0; n < bmp.size(); ++n)
        EXPECT_NE(TBitmapCheck::Valid, CheckBmp(bmp.substr(0, n))) << n;
    for (size_t n = 0; n < ico.size(); ++n) EXPECT_FALSE(CheckIco(ico.substr(0, n))) << n;
    for (size_t n = 0; n < emf.size(); ++n) EXPECT_FALSE(CheckEmf(emf.substr(0, n))) << n;
    for (size_t n = 0; n < wmf.size(); ++n) EXPECT_FALSE(CheckWmf(wmf.substr(0, n))) << n;
    for (size_t n = 0; n < plainWmf.size(); ++n) EXPECT_FALSE(CheckWmf(plainWmf.substr(0, n))) << n;
}

TEST(IconCheck, PicksThePreferredSizeThenTheMostColours)
{
    const std::vector<uint32_t> two = {Red, Blue}, four = {Red, Green, Blue, White};
    const std::string file = MakeIco({{16, 4, four}, {32, 1, two}, {48, 4, four}, {32, 4, four}});
    TIconImage image;
    ASSERT_TRUE(CheckIco(file, &image, 32));
    EXPECT_EQ(32, image.width);
    EXPECT_EQ(32, image.height);
    EXPECT_EQ(Get32(file, IcoEntry(3) + 12), image.offset) << "the 4-bit 32x32 image";
    ASSERT_TRUE(CheckIco(file, &image, 20));
    EXPECT_EQ(48, image.width) << "without the preferred size, the largest";
}

TEST(IconCheck, PngImagesArePassedOverWhereThePlatformCannotDecodeThem)
{
    const std::string file = JoinIcos(MakeIco({{16, 4, {Red, Green, Blue, White}}}), PngIco(48, Red));
    TIconImage image;
    ASSERT_TRUE(CheckIco(file, &image, 32, true));
    EXPECT_TRUE(image.png) << "the largest wins where PNG is decoded";
    ASSERT_TRUE(CheckIco(file, &image, 32, false));
    EXPECT_FALSE(image.png);
    EXPECT_EQ(16, image.width);
    EXPECT_FALSE(CheckIco(PngIco(48, Red), &image, 32, false));
}

TEST(IconCheck, PassesOverAnUnsoundImageButNotAnEntryOutsideTheFile)
{
    const std::vector<uint32_t> two = {Red, Blue};
    std::string file = MakeIco({{16, 1, two}, {32, 1, two}});
    const size_t second = Get32(file, IcoEntry(1) + 12);
    Patch16(file, second + 12, 3);  // planes 3 in the preferred image
    TIconImage image;
    ASSERT_TRUE(CheckIco(file, &image, 32));
    EXPECT_EQ(16, image.width);

    Patch32(file, IcoEntry(0) + 8, 0x7FFFFFFF);
    EXPECT_FALSE(CheckIco(file));
}

TEST(IconCheck, RefusesUnsoundDirectories)
{
    const std::string good = SampleIco();
    const size_t image = Get32(good, IcoEntry(0) + 12);
    const struct { const char* name; size_t at; uint32_t value; bool word; } cases[] = {
        {"reserved set", 0, 1, true},
        {"cursor type", 2, 2, true},
        {"bitmap type", 2, 0, true},
        {"no images", 4, 0, true},
        {"count past the file", 4, 0xFFFF, true},
        {"size past the end", IcoEntry(0) + 8, 0x10000, false},
        {"offset past the end", IcoEntry(0) + 12, 0x10000, false},
        {"offset wraps", IcoEntry(0) + 12, 0xFFFFFFF0, false},
        {"offset inside the directory", IcoEntry(0) + 12, 8, false},
        {"image header size 0", image, 0, false},
        {"image header size huge", image, 0x7FFFFFFF, false},
        {"image width 0", image + 4, 0, false},
        {"image width huge", image + 4, 0x7FFFFFFF, false},
        {"image height odd", image + 8, 63, false},
        {"image height negative", image + 8, uint32_t(-64), false},
        {"image height INT_MIN", image + 8, 0x80000000, false},
        {"image bit count 3", image + 14, 3, true},
        {"image compressed", image + 16, 1, false},
        {"image colours past 8 bits", image + 32, 3, false},
        {"image bits past the entry", image + 14, 8, true},
    };
    ASSERT_TRUE(CheckIco(good));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file = good;
        if (c.word) Patch16(file, c.at, c.value); else Patch32(file, c.at, c.value);
        EXPECT_FALSE(CheckIco(file));
    }
}

TEST(IconCheck, PngImagesNeedASaneHeader)
{
    std::string png = "\x89PNG\r\n\x1A\n";
    png += std::string("\0\0\0\x0D" "IHDR" "\0\0\0\x40" "\0\0\0\x40" "\x08\x06\0\0\0", 21);
    png += std::string("\0\0\0\0", 4);  // CRC, not checked here
    std::string file;
    Put16(file, 0); Put16(file, 1); Put16(file, 1);
    Put8(file, 64); Put8(file, 64); Put8(file, 0); Put8(file, 0);
    Put16(file, 1); Put16(file, 32); Put32(file, uint32_t(png.size())); Put32(file, 22);
    file += png;
    TIconImage image;
    ASSERT_TRUE(CheckIco(file, &image));
    EXPECT_TRUE(image.png);
    EXPECT_EQ(64, image.width);

    const struct { const char* name; size_t at; uint8_t value; } cases[] = {
        {"signature", 22 + 1, 'X'}, {"chunk type", 22 + 12, 'i'}, {"width 0", 22 + 19, 0},
        {"huge height", 22 + 20, 0x7F}, {"depth 3", 22 + 24, 3}, {"colour type 5", 22 + 25, 5},
        {"interlace 2", 22 + 28, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bad = file;
        bad[c.at] = char(c.value);
        EXPECT_FALSE(CheckIco(bad));
    }
}

TEST(EnhMetafileCheck, RefusesUnsoundHeadersAndRecords)
{
    const std::string good = SampleEmf();
    ASSERT_TRUE(CheckEmf(good));
    const size_t brush = EmfFirstRecord, eof = good.size() - 20;
    const struct { const char* name; size_t at; uint32_t value; } cases[] = {
        {"not a header record", 0, 2},
        {"header size below 88", EmfHeaderSize, 80},
        {"header size not a multiple of 4", EmfHeaderSize, 90},
        {"header size past the file", EmfHeaderSize, 0x1000},
        {"signature", EmfSignature, 0x464D4521},
        {"nBytes past the file", EmfBytes, uint32_t(good.size() + 4)},
        {"nBytes below the header", EmfBytes, 40},
        {"nBytes short of the end record", EmfBytes, uint32_t(good.size() - 4)},
        {"nBytes huge", EmfBytes, 0xFFFFFFFC},
        {"no handle slots", EmfHandles, 0},
        {"frame inverted", EmfFrameRight, uint32_t(-5)},
        {"reference device 0 wide", 72, 0},
        {"reference millimetres negative", 84, uint32_t(-1)},
        {"description past the header", 60, 100},
        {"record size 0", brush + 4, 0},
        {"record size 4", brush + 4, 4},
        {"record size not a multiple of 4", brush + 4, 22},
        {"record size past the end", brush + 4, 0x10000},
        {"record size wraps", brush + 4, 0xFFFFFFFC},
        {"a second header", brush, 1},
        {"end record replaced", eof, 43},
        {"end record too small", eof + 4, 12},
        {"end record palette past it", eof + 8, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file = good;
        Patch32(file, c.at, c.value);
        EXPECT_FALSE(CheckEmf(file));
    }
    // Bytes after nBytes are not the metafile's and do not matter.
    EXPECT_TRUE(CheckEmf(good + std::string(4, '\0')));
}

TEST(MetafileCheck, SizeFromThePlaceableHeaderOrTheWindowExtent)
{
    TMetafileInfo info;
    ASSERT_TRUE(CheckWmf(SampleWmf(true, Blue, 100, 50), &info));
    EXPECT_TRUE(info.placeable);
    EXPECT_EQ(22u, info.bitsOffset);
    EXPECT_EQ(100, info.right - info.left);
    EXPECT_EQ(96, info.unitsPerInch);
    ASSERT_TRUE(CheckWmf(SampleWmf(false, Blue, 80, 40), &info));
    EXPECT_FALSE(info.placeable);
    EXPECT_EQ(0u, info.bitsOffset);
    EXPECT_EQ(80, info.windowExtX);
    EXPECT_EQ(40, info.windowExtY);
    EXPECT_EQ(8u, info.maxRecordWords);  // the pen record
}

TEST(MetafileCheck, RefusesUnsoundHeadersAndRecords)
{
    const std::string good = SampleWmf();
    ASSERT_TRUE(CheckWmf(good));
    const size_t meta = WmfPlaceableSize, first = meta + 18, end = good.size() - 6;
    const struct { const char* name; size_t at; uint32_t value; bool word; } cases[] = {
        {"checksum", WmfChecksum, 0x1234, true},
        {"units per inch 0 (checksum kept)", WmfInch, 0, true},
        {"type 3", meta, 3, true},
        {"header words 8", meta + 2, 8, true},
        {"version 0x200", meta + 4, 0x200, true},
        {"size past the file", meta + 6, 0x1000, false},
        {"size huge", meta + 6, 0x7FFFFFFF, false},
        {"size below the header", meta + 6, 9, false},
        {"record size 0", first, 0, false},
        {"record size 2 words", first, 2, false},
        {"record size past the end", first, 0x1000, false},
        {"record size wraps", first, 0x80000000, false},
        {"end record of 4 words", end, 4, false},
        {"end record missing", end + 4, 0x0102, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file = good;
        if (c.word) Patch16(file, c.at, c.value); else Patch32(file, c.at, c.value);
        if (c.at == WmfInch) {  // keep the checksum right, so the zero itself is refused
            uint16_t sum = 0;
            for (size_t i = 0; i < 20; i += 2) sum ^= uint16_t(uint8_t(file[i]) | (uint8_t(file[i + 1]) << 8));
            Patch16(file, WmfChecksum, sum);
        }
        EXPECT_FALSE(CheckWmf(file));
    }
}

// Records that read counts, offsets, object indices or bitmaps from their
// parameters: each is refused when what it would read is not there.
TEST(MetafileCheck, RecordsReadOnlyWhatTheyHold)
{
    const std::string good = RichWmf();
    ASSERT_TRUE(CheckWmf(good));
    const struct { const char* name; uint16_t function; size_t skip; size_t param; uint32_t value; } cases[] = {
        {"select object past the object table", 0x012D, 0, 0, 2},
        {"select the last slot plus many", 0x012D, 1, 0, 0xFFFF},
        {"delete object past the table", 0x01F0, 0, 0, 2},
        {"polygon of more points than held", 0x0324, 0, 0, 100},
        {"polypolygon of more polygons than held", 0x0538, 0, 0, 50},
        {"polypolygon with a negative count", 0x0538, 0, 1, 0x8000},
        {"polypolygon counts beyond the points", 0x0538, 0, 1, 7},
        {"text longer than its record", 0x0521, 0, 0, 200},
        {"text of negative length", 0x0521, 0, 0, 0xFFFE},
        {"ext text longer than its record", 0x0A32, 0, 2, 300},
        {"ext text with a rectangle not there", 0x0A32, 0, 3, 0x0004},
        {"bitmap width huge", 0x0F43, 0, 14, 0x7FFF},
        {"bitmap of 0 bits", 0x0F43, 0, 18, 0},
        {"bitmap colours as unknown usage", 0x0F43, 0, 2, 7},
        {"bitmap taller than its pixels", 0x0F43, 0, 15, 9},
        {"window extent 0 wide", 0x020C, 0, 1, 0},
        {"window extent 0 high", 0x020C, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t at = WmfRecordAt(good, c.function, c.skip);
        ASSERT_NE(std::string::npos, at);
        std::string file = good;
        Patch16(file, at + 6 + 2 * c.param, c.value);
        EXPECT_FALSE(CheckWmf(file));
    }
}

TEST(EnhMetafileCheck, RecordsReadOnlyWhatTheyHold)
{
    const std::string good = RichEmf();
    ASSERT_TRUE(CheckEmf(good));
    const struct { const char* name; uint32_t type; size_t field; uint32_t value; bool valid; } cases[] = {
        {"select a stock object", 37, 8, 0x80000005, true},
        {"select object past the handle table", 37, 8, 3, false},
        {"create a brush past the table", 39, 8, 99, false},
        {"create a font past the table", 82, 8, 3, false},
        {"polygon of more points than held", 86, 24, 1000, false},
        {"polypolygon of more polygons than held", 91, 24, 1000, false},
        {"polypolygon counts beyond the points", 91, 32, 5, false},
        {"text longer than its record", 84, 44, 1000, false},
        {"text offset past the record", 84, 48, 200, false},
        {"spacing offset wraps", 84, 72, 0xFFFFFFF0, false},
        {"bitmap pixels short", 81, 60, 10, false},
        {"bitmap info past the record", 81, 48, 180, false},
        {"bitmap info cut short", 81, 52, 12, false},
        {"bitmap width huge", 81, 84, 0x7FFFFFFF, false},
        {"bitmap colours as unknown usage", 81, 64, 5, false},
        {"comment longer than its record", 70, 8, 0x7FFFFFFF, false},
        {"a record type not shown from files", 37, 0, 96, false},
        {"window extent 0", 9, 8, 0, false},
        {"world transform singular", 35, 8, 0, false},
        {"world transform not a number", 35, 20, 0x7FC00000, false},
        {"world transform infinite", 35, 8, 0x7F800000, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t at = EmfRecordAt(good, c.type);
        ASSERT_NE(std::string::npos, at);
        std::string file = good;
        Patch32(file, at + c.field, c.value);
        EXPECT_EQ(c.valid, CheckEmf(file));
    }
}

// Hundreds of damaged variants of sound files: whatever the checks let
// through must describe bytes inside the file (the helpers assert that) and
// decode without a read outside it.
TEST(PictureCheck, MutatedFilesStayInsideTheirBytes)
{
    const std::vector<uint32_t> four = {Red, Green, Blue, White};
    const std::string bitmaps[] = {
        SampleBmp(),
        MakeBmp({"pal8", 7, 5, 8, 0, 40, four, {0, 0, 0}}, Quadrants(7, 5)),
        MakeBmp({"rle8", 7, 5, 8, 1, 40, four, {0, 0, 0}}, Quadrants(7, 5)),
        MakeBmp({"rle4", 9, 5, 4, 2, 40, four, {0, 0, 0}}, Quadrants(9, 5)),
        MakeBmp({"bitfields16", 7, 5, 16, 3, 40, {}, {0xF800, 0x07E0, 0x001F}}, Quadrants(7, 5)),
        MakeBmp({"v5", 7, 5, 32, 3, 124, {}, {0xFF0000, 0xFF00, 0xFF}}, Quadrants(7, 5)),
    };
    const std::string ico = MakeIco({{16, 4, four}, {32, 8, four}, {32, 32, {}}});
    int accepted = 0;
    for (uint32_t n = 0; n < 400; ++n) {
        SCOPED_TRACE(n);
        for (const std::string& bmp : bitmaps) accepted += CheckAndDecodeBmp(Mutate(bmp, n));
        accepted += CheckIco(Mutate(ico, n));
        accepted += CheckIco(Mutate(PngIco(16, Red), n));
        accepted += CheckEmf(Mutate(SampleEmf(), n));
        accepted += CheckWmf(Mutate(SampleWmf(), n));
        accepted += CheckWmf(Mutate(SampleWmf(false), n));
        accepted += CheckEmf(Mutate(RichEmf(), n));
        accepted += CheckWmf(Mutate(RichWmf(), n));
    }
    // Flips in pixel data leave sound files: the mutation must not have made
    // every variant unreadable, or this test would prove nothing.
    EXPECT_GT(accepted, 100);
}
