#pragma once
// Picture files built byte by byte for the tests, so that each test knows
// exactly where every header field sits when it breaks one. No Windows here:
// the checker's native tests use these too.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace picture_test {

// Colours as 0x00RRGGBB.
constexpr uint32_t Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, White = 0xFFFFFF;

using TColorAt = std::function<uint32_t(int x, int y)>;  // y = 0 is the top row

// Four quadrants that show a flipped or shifted image at once.
inline TColorAt Quadrants(int width, int height)
{
    return [=](int x, int y) {
        const bool left = x < width / 2, top = y < height / 2;
        return top ? (left ? Red : Green) : (left ? Blue : White);
    };
}

inline void Put8(std::string& s, uint32_t v) { s.push_back(static_cast<char>(v & 0xFF)); }
inline void Put16(std::string& s, uint32_t v) { Put8(s, v); Put8(s, v >> 8); }
inline void Put32(std::string& s, uint32_t v) { Put16(s, v); Put16(s, v >> 16); }
inline void Patch16(std::string& s, size_t at, uint32_t v)
{
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void Patch32(std::string& s, size_t at, uint32_t v)
{
    Patch16(s, at, v & 0xFFFF);
    Patch16(s, at + 2, v >> 16);
}
inline uint32_t Get32(const std::string& s, size_t at)
{
    return uint32_t(uint8_t(s[at])) | (uint32_t(uint8_t(s[at + 1])) << 8) |
           (uint32_t(uint8_t(s[at + 2])) << 16) | (uint32_t(uint8_t(s[at + 3])) << 24);
}

// ---- Bitmaps ------------------------------------------------------------

struct TBmpSpec {
    const char* name;
    int width;
    int height;            // negative: top row first
    int bitCount;
    uint32_t compression;  // 0 RGB, 1 RLE8, 2 RLE4, 3 BITFIELDS
    uint32_t infoSize;     // 12, 40, 108, 124
    std::vector<uint32_t> palette;  // for 1, 4 and 8 bits
    uint32_t masks[3];     // for 16 and 32 bits; all 0 = the BI_RGB defaults
};

inline uint32_t PackChannel(uint32_t value8, uint32_t mask)
{
    if (!mask) return 0;
    int shift = 0, bits = 0;
    while (!((mask >> shift) & 1)) ++shift;
    for (uint32_t m = mask >> shift; m; m >>= 1) ++bits;
    const uint32_t max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
    const uint32_t v = bits >= 8 ? (value8 << (bits - 8)) : (value8 * max + 127) / 255;
    return (v << shift) & mask;
}

inline int PaletteIndex(const std::vector<uint32_t>& palette, uint32_t color)
{
    for (size_t i = 0; i < palette.size(); ++i)
        if (palette[i] == color) return static_cast<int>(i);
    return 0;
}

// Rows of palette indices (bottom row first) run-length encoded in the
// simplest sound way: runs of equal pixels, an end-of-line after each row
// and the end-of-bitmap mark.
inline std::string EncodeRle(const std::vector<std::vector<int>>& rowsBottomUp, bool four)
{
    std::string out;
    for (const auto& row : rowsBottomUp) {
        size_t x = 0;
        while (x < row.size()) {
            size_t run = 1;
            while (x + run < row.size() && row[x + run] == row[x] && run < 254) ++run;
            Put8(out, static_cast<uint32_t>(run));
            Put8(out, four ? static_cast<uint32_t>((row[x] << 4) | row[x]) : static_cast<uint32_t>(row[x]));
            x += run;
        }
        Put8(out, 0); Put8(out, 0);
    }
    Put8(out, 0); Put8(out, 1);
    return out;
}

inline std::string MakeBmp(const TBmpSpec& spec, const TColorAt& colorAt)
{
    const int rows = spec.height < 0 ? -spec.height : spec.height;
    const bool bitfields = spec.compression == 3;
    uint32_t masks[3] = {spec.masks[0], spec.masks[1], spec.masks[2]};
    if (!masks[0] && !masks[1] && !masks[2]) {
        if (spec.bitCount == 16) { masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F; }
        if (spec.bitCount == 32) { masks[0] = 0xFF0000; masks[1] = 0x00FF00; masks[2] = 0x0000FF; }
    }

    std::string pixels;
    const bool rle = spec.compression == 1 || spec.compression == 2;
    if (rle) {
        std::vector<std::vector<int>> bottomUp;
        for (int r = rows - 1; r >= 0; --r) {
            std::vector<int> row;
            for (int x = 0; x < spec.width; ++x) row.push_back(PaletteIndex(spec.palette, colorAt(x, r)));
            bottomUp.push_back(row);
        }
        pixels = EncodeRle(bottomUp, spec.compression == 2);
    } else {
        const size_t stride = ((size_t(spec.width) * spec.bitCount + 31) / 32) * 4;
        for (int i = 0; i < rows; ++i) {
            const int y = spec.height < 0 ? i : rows - 1 - i;
            std::string row(stride, '\0');
            for (int x = 0; x < spec.width; ++x) {
                const uint32_t c = colorAt(x, y);
                const int index = PaletteIndex(spec.palette, c);
                switch (spec.bitCount) {
                case 1: row[x / 8] = char(row[x / 8] | (index << (7 - x % 8))); break;
                case 4: row[x / 2] = char(row[x / 2] | (index << (x % 2 ? 0 : 4))); break;
                case 8: row[x] = char(index); break;
                case 24:
                    row[3 * x] = char(c & 0xFF);
                    row[3 * x + 1] = char((c >> 8) & 0xFF);
                    row[3 * x + 2] = char((c >> 16) & 0xFF);
                    break;
                default: {
                    const uint32_t v = PackChannel((c >> 16) & 0xFF, masks[0]) |
                                       PackChannel((c >> 8) & 0xFF, masks[1]) | PackChannel(c & 0xFF, masks[2]);
                    for (int b = 0; b < spec.bitCount / 8; ++b) row[x * (spec.bitCount / 8) + b] = char(v >> (8 * b));
                }
                }
            }
            pixels += row;
        }
    }

    std::string info;
    Put32(info, spec.infoSize);
    if (spec.infoSize == 12) {
        Put16(info, spec.width); Put16(info, rows); Put16(info, 1); Put16(info, spec.bitCount);
    } else {
        Put32(info, uint32_t(spec.width)); Put32(info, uint32_t(spec.height));
        Put16(info, 1); Put16(info, spec.bitCount);
        Put32(info, spec.compression);
        Put32(info, rle ? uint32_t(pixels.size()) : 0);
        Put32(info, 3780); Put32(info, 3780);
        Put32(info, uint32_t(spec.palette.size())); Put32(info, 0);
        if (spec.infoSize > 40) {
            for (uint32_t m : masks) Put32(info, bitfields ? m : 0);
            Put32(info, 0);  // alpha mask
            info.resize(spec.infoSize, '\0');
        } else if (bitfields) {
            for (uint32_t m : masks) Put32(info, m);
        }
    }
    for (uint32_t c : spec.palette) {
        Put8(info, c); Put8(info, c >> 8); Put8(info, c >> 16);
        if (spec.infoSize != 12) Put8(info, 0);
    }
    std::string file = "BM";
    Put32(file, uint32_t(14 + info.size() + pixels.size()));
    Put32(file, 0);
    Put32(file, uint32_t(14 + info.size()));
    return file + info + pixels;
}

// Offsets into a bitmap with a 40-byte info header.
enum : size_t { BmpOffBits = 10, BmpInfoSize = 14, BmpWidth = 18, BmpHeight = 22, BmpPlanes = 26,
                BmpBitCount = 28, BmpCompression = 30, BmpSizeImage = 34, BmpClrUsed = 46 };

// The plain 24-bit bottom-up bitmap most files are.
inline std::string SampleBmp(int width = 7, int height = 5)
{
    return MakeBmp({"rgb24", width, height, 24, 0, 40, {}, {0, 0, 0}}, Quadrants(width, height));
}

// ---- Icons --------------------------------------------------------------

struct TIconSpec {
    int side;
    int bitCount;  // 1, 4, 8 or 32
    std::vector<uint32_t> palette;
};

// An .ico of the given images; each image shows Quadrants in its palette's
// colours and is fully opaque.
inline std::string MakeIco(const std::vector<TIconSpec>& images)
{
    std::vector<std::string> bodies;
    for (const TIconSpec& im : images) {
        const TColorAt color = Quadrants(im.side, im.side);
        std::string b;
        Put32(b, 40); Put32(b, im.side); Put32(b, im.side * 2);
        Put16(b, 1); Put16(b, im.bitCount);
        Put32(b, 0); Put32(b, 0); Put32(b, 0); Put32(b, 0);
        Put32(b, uint32_t(im.palette.size())); Put32(b, 0);
        for (uint32_t c : im.palette) Put32(b, c);
        const size_t stride = ((size_t(im.side) * im.bitCount + 31) / 32) * 4;
        for (int y = im.side - 1; y >= 0; --y) {
            std::string row(stride, '\0');
            for (int x = 0; x < im.side; ++x) {
                const uint32_t c = color(x, y);
                const int index = PaletteIndex(im.palette, c);
                switch (im.bitCount) {
                case 1: row[x / 8] = char(row[x / 8] | (index << (7 - x % 8))); break;
                case 4: row[x / 2] = char(row[x / 2] | (index << (x % 2 ? 0 : 4))); break;
                case 8: row[x] = char(index); break;
                default:
                    row[4 * x] = char(c & 0xFF); row[4 * x + 1] = char((c >> 8) & 0xFF);
                    row[4 * x + 2] = char((c >> 16) & 0xFF); row[4 * x + 3] = char(0xFF);
                }
            }
            b += row;
        }
        b += std::string(((size_t(im.side) + 31) / 32) * 4 * im.side, '\0');  // AND mask: opaque
        bodies.push_back(b);
    }
    std::string file;
    Put16(file, 0); Put16(file, 1); Put16(file, uint32_t(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const TIconSpec& im = images[i];
        Put8(file, im.side & 0xFF); Put8(file, im.side & 0xFF);
        Put8(file, im.bitCount <= 8 ? uint32_t(im.palette.size()) & 0xFF : 0); Put8(file, 0);
        Put16(file, 1); Put16(file, im.bitCount);
        Put32(file, uint32_t(bodies[i].size())); Put32(file, offset);
        offset += uint32_t(bodies[i].size());
    }
    for (const std::string& b : bodies) file += b;
    return file;
}

constexpr uint32_t Black = 0x000000;

// The two-colour 32x32 icon of the tests: black, with the bottom right
// quadrant white (a 1-bit icon is monochrome wherever it is drawn).
inline std::string SampleIco()
{
    return MakeIco({{32, 1, {Black, White}}});
}
// The same quadrants as the bitmaps, in 16 colours.
inline std::string SampleColorIco()
{
    return MakeIco({{32, 4, {Red, Green, Blue, White}}});
}
// Directory offsets: entry i starts at 6 + 16 * i; its size at +8, offset at +12.
inline size_t IcoEntry(size_t i) { return 6 + 16 * i; }

// A true-colour PNG of one colour, stored without compression (deflate's
// stored blocks), as icons of 256 pixels usually hold their image.
inline void PutBigEndian32(std::string& s, uint32_t v)
{
    Put8(s, v >> 24); Put8(s, v >> 16); Put8(s, v >> 8); Put8(s, v);
}
inline uint32_t Crc32(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}
inline std::string MakePng(int side, uint32_t color)
{
    std::string raw;
    for (int y = 0; y < side; ++y) {
        Put8(raw, 0);  // no filter
        for (int x = 0; x < side; ++x) { Put8(raw, color >> 16); Put8(raw, color >> 8); Put8(raw, color); Put8(raw, 0xFF); }
    }
    std::string z = "\x78\x01";
    for (size_t at = 0; at < raw.size(); at += 65535) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        Put8(z, at + n == raw.size() ? 1 : 0);
        Put16(z, uint32_t(n)); Put16(z, uint32_t(~n & 0xFFFF));
        z += raw.substr(at, n);
    }
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) { a = (a + c) % 65521; b = (b + a) % 65521; }
    PutBigEndian32(z, (b << 16) | a);
    auto chunk = [](const char* type, const std::string& data) {
        std::string c;
        PutBigEndian32(c, uint32_t(data.size()));
        const std::string body = std::string(type) + data;
        c += body;
        PutBigEndian32(c, Crc32(body));
        return c;
    };
    std::string header;
    PutBigEndian32(header, uint32_t(side)); PutBigEndian32(header, uint32_t(side));
    header += std::string("\x08\x06\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1A\n", 8) + chunk("IHDR", header) + chunk("IDAT", z) + chunk("IEND", "");
}
// An icon whose one image is such a PNG.
inline std::string PngIco(int side, uint32_t color)
{
    const std::string png = MakePng(side, color);
    std::string file;
    Put16(file, 0); Put16(file, 1); Put16(file, 1);
    Put8(file, side & 0xFF); Put8(file, side & 0xFF); Put8(file, 0); Put8(file, 0);
    Put16(file, 1); Put16(file, 32); Put32(file, uint32_t(png.size())); Put32(file, 22);
    return file + png;
}

// One icon holding the images of `a` then those of `b`.
inline std::string JoinIcos(const std::string& a, const std::string& b)
{
    const uint32_t countA = uint8_t(a[4]) | uint8_t(a[5]) << 8, countB = uint8_t(b[4]) | uint8_t(b[5]) << 8;
    const size_t dirA = 6 + 16 * countA, dirB = 6 + 16 * countB, dir = dirA + 16 * countB;
    std::string file = a.substr(0, 6);
    Patch16(file, 4, countA + countB);
    for (uint32_t i = 0; i < countA; ++i) {
        std::string entry = a.substr(IcoEntry(i), 16);
        Patch32(entry, 12, Get32(entry, 12) - uint32_t(dirA) + uint32_t(dir));
        file += entry;
    }
    for (uint32_t i = 0; i < countB; ++i) {
        std::string entry = b.substr(IcoEntry(i), 16);
        Patch32(entry, 12, Get32(entry, 12) - uint32_t(dirB) + uint32_t(dir + a.size() - dirA));
        file += entry;
    }
    return file + a.substr(dirA) + b.substr(dirB);
}

// ---- Enhanced metafiles -------------------------------------------------

// A width x height (pixels at 96 dpi) metafile that fills itself with one
// colour: a solid brush, the null pen, a rectangle, the end record.
inline std::string SampleEmf(uint32_t color = Green, int width = 100, int height = 50)
{
    std::string records;
    auto rec = [&](uint32_t type, std::initializer_list<uint32_t> params) {
        Put32(records, type); Put32(records, uint32_t(8 + 4 * params.size()));
        for (uint32_t p : params) Put32(records, p);
    };
    const uint32_t bgr = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
    rec(39, {1, 0, bgr, 0});             // EMR_CREATEBRUSHINDIRECT
    rec(37, {1});                        // EMR_SELECTOBJECT brush
    rec(37, {0x80000008});               // EMR_SELECTOBJECT stock NULL_PEN
    rec(43, {0, 0, uint32_t(width + 1), uint32_t(height + 1)});  // EMR_RECTANGLE
    rec(14, {0, 16, 20});                // EMR_EOF
    std::string file;
    Put32(file, 1); Put32(file, 88);
    Put32(file, 0); Put32(file, 0); Put32(file, uint32_t(width - 1)); Put32(file, uint32_t(height - 1));
    Put32(file, 0); Put32(file, 0);
    Put32(file, uint32_t(width * 2540 / 96)); Put32(file, uint32_t(height * 2540 / 96));
    Put32(file, 0x464D4520); Put32(file, 0x10000);
    Put32(file, uint32_t(88 + records.size())); Put32(file, 6);
    Put16(file, 2); Put16(file, 0);
    Put32(file, 0); Put32(file, 0); Put32(file, 0);
    Put32(file, 960); Put32(file, 720);  // reference device: 96 dpi
    Put32(file, 254); Put32(file, 190);
    return file + records;
}
enum : size_t { EmfHeaderSize = 4, EmfFrameRight = 32, EmfSignature = 40, EmfBytes = 48, EmfHandles = 56,
                EmfFirstRecord = 88 };

// ---- Windows metafiles --------------------------------------------------

// The same picture as a metafile: with the placeable header its bounding box
// is width x height units at 96 to the inch.
inline std::string SampleWmf(bool placeable = true, uint32_t color = Blue, int width = 100, int height = 50)
{
    std::string records;
    auto rec = [&](uint16_t function, std::initializer_list<uint16_t> params) {
        Put32(records, uint32_t(3 + params.size())); Put16(records, function);
        for (uint16_t p : params) Put16(records, p);
    };
    const uint32_t bgr = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
    rec(0x020B, {0, 0});                                       // SETWINDOWORG
    rec(0x020C, {uint16_t(height), uint16_t(width)});          // SETWINDOWEXT
    rec(0x02FC, {0, uint16_t(bgr & 0xFFFF), uint16_t(bgr >> 16), 0});  // CREATEBRUSHINDIRECT
    rec(0x012D, {0});                                          // SELECTOBJECT brush
    rec(0x02FA, {5, 0, 0, 0, 0});                              // CREATEPENINDIRECT PS_NULL
    rec(0x012D, {1});                                          // SELECTOBJECT pen
    rec(0x041B, {uint16_t(height + 1), uint16_t(width + 1), 0, 0});  // RECTANGLE
    rec(0x0000, {});                                           // end
    std::string meta;
    Put16(meta, 1); Put16(meta, 9); Put16(meta, 0x300);
    Put32(meta, uint32_t((18 + records.size()) / 2));
    Put16(meta, 2); Put32(meta, 8); Put16(meta, 0);
    meta += records;
    if (!placeable) return meta;
    std::string head;
    Put32(head, 0x9AC6CDD7); Put16(head, 0);
    Put16(head, 0); Put16(head, 0); Put16(head, uint32_t(width)); Put16(head, uint32_t(height));
    Put16(head, 96); Put32(head, 0);
    uint16_t sum = 0;
    for (size_t i = 0; i < head.size(); i += 2) sum ^= uint16_t(uint8_t(head[i]) | (uint8_t(head[i + 1]) << 8));
    Put16(head, sum);
    return head + meta;
}
enum : size_t { WmfPlaceableSize = 22, WmfInch = 14, WmfChecksum = 20 };

// Metafiles that use the records with counts, offsets, object indices and
// bitmaps inside, where the checks have the most to do.
inline std::string RichEmf()
{
    std::string records;
    auto rec = [&](uint32_t type, const std::string& body) {
        Put32(records, type); Put32(records, uint32_t(8 + body.size()));
        records += body;
    };
    auto words = [](std::initializer_list<uint32_t> v) { std::string b; for (uint32_t x : v) Put32(b, x); return b; };
    auto shorts = [](std::initializer_list<uint32_t> v) { std::string b; for (uint32_t x : v) Put16(b, x); return b; };
    rec(35, words({0x3F800000, 0, 0, 0x3F800000, 0, 0}));     // SETWORLDTRANSFORM identity
    rec(9, words({100, 50}));                                  // SETWINDOWEXTEX, no effect in MM_TEXT
    rec(39, words({1, 0, 0x00FF00, 0}));                       // CREATEBRUSHINDIRECT green
    rec(37, words({1}));
    rec(37, words({0x80000008}));
    rec(43, words({0, 0, 101, 51}));                           // RECTANGLE
    rec(86, words({0, 0, 10, 10, 3}) + shorts({0, 0, 10, 0, 5, 10}));  // POLYGON16
    rec(91, words({0, 0, 20, 20, 2, 6, 3, 3}) + shorts({0, 0, 5, 0, 0, 5, 10, 10, 15, 10, 10, 15}));  // POLYPOLYGON16
    {
        std::string font = words({2, uint32_t(-12), 0, 0, 0, 400});
        font += std::string(8, '\0');                          // italic .. pitch and family
        const char face[] = "Tahoma";
        for (int i = 0; i < 32; ++i) Put16(font, i < 6 ? uint32_t(face[i]) : 0);
        rec(82, font);                                         // EXTCREATEFONTINDIRECTW
    }
    rec(37, words({2}));
    rec(84, words({0, 0, 20, 20, 1, 0, 0, 5, 5, 2, 76, 0, 0, 0, uint32_t(-1), uint32_t(-1), 80}) +
                shorts({'H', 'i'}) + words({7, 7}));          // EXTTEXTOUTW "Hi"
    {
        std::string body = words({0, 0, 80, 25, 60, 5, 0, 0, 4, 4, 80, 40, 120, 64, 0, 0x00CC0020, 20, 20});
        body += words({40, 4, 4}).substr(0, 12);               // BITMAPINFOHEADER: size, width, height
        Put16(body, 1); Put16(body, 32);
        body += words({0, 64, 0, 0, 0, 0});
        for (int i = 0; i < 16; ++i) Put32(body, Red);
        rec(81, body);                                         // STRETCHDIBITS 4x4 red
    }
    rec(70, words({8}) + "MARQUILL");                          // GDICOMMENT
    rec(14, words({0, 16, 20}));                               // EOF
    std::string file = SampleEmf().substr(0, 88);
    Patch32(file, EmfBytes, uint32_t(88 + records.size()));
    Patch32(file, 52, 16);
    Patch16(file, EmfHandles, 3);
    return file + records;
}

inline std::string RichWmf()
{
    std::string records;
    auto rec = [&](uint16_t function, const std::string& params) {
        Put32(records, uint32_t(3 + params.size() / 2)); Put16(records, function);
        records += params;
    };
    auto shorts = [](std::initializer_list<uint32_t> v) { std::string b; for (uint32_t x : v) Put16(b, x); return b; };
    rec(0x020B, shorts({0, 0}));
    rec(0x020C, shorts({50, 100}));
    rec(0x02FC, shorts({0, 0xFF00, 0, 0}));                                     // brush, object 0
    rec(0x012D, shorts({0}));
    rec(0x041B, shorts({51, 101, 0, 0}));
    rec(0x0324, shorts({3, 0, 0, 10, 0, 5, 10}));                               // POLYGON
    rec(0x0538, shorts({2, 3, 3, 0, 0, 5, 0, 0, 5, 10, 10, 15, 10, 10, 15}));   // POLYPOLYGON
    {
        std::string font = shorts({uint32_t(-12), 0, 0, 0, 400, 0, 0, 0, 0});
        font += std::string("Tahoma") + std::string(26, '\0');
        rec(0x02FB, font);                                                       // font, object 1
    }
    rec(0x012D, shorts({1}));
    rec(0x0521, shorts({2}) + "Hi" + shorts({5, 5}));                           // TEXTOUT
    rec(0x0A32, shorts({20, 5, 2, 0}) + "Hi");                                  // EXTTEXTOUT
    {
        std::string p = shorts({0x0020, 0x00CC, 0, 4, 4, 0, 0, 20, 20, 5, 60});   // STRETCHDIB
        Put32(p, 40); Put32(p, 4); Put32(p, 4); Put16(p, 1); Put16(p, 32);
        Put32(p, 0); Put32(p, 64); Put32(p, 0); Put32(p, 0); Put32(p, 0); Put32(p, 0);
        for (int i = 0; i < 16; ++i) Put32(p, Red);
        rec(0x0F43, p);
    }
    rec(0x01F0, shorts({1}));                                                   // DELETEOBJECT font
    rec(0x0000, "");
    std::string file = SampleWmf(true);
    const std::string head = file.substr(0, 22 + 18);
    std::string meta = head.substr(22);
    Patch32(meta, 6, uint32_t((18 + records.size()) / 2));
    uint32_t longest = 0;
    for (size_t at = 0; at < records.size(); at += Get32(records, at) * 2) longest = std::max(longest, Get32(records, at));
    Patch32(meta, 12, longest);
    return head.substr(0, 22) + meta + records;
}

// Where the first EMF record of `type` / WMF record of `function` starts.
inline size_t EmfRecordAt(const std::string& s, uint32_t type)
{
    for (size_t at = Get32(s, 4); at + 8 <= s.size(); at += Get32(s, at + 4))
        if (Get32(s, at) == type) return at;
    return std::string::npos;
}
inline size_t WmfRecordAt(const std::string& s, uint16_t function, size_t skip = 0)
{
    const size_t base = Get32(s, 0) == 0x9AC6CDD7 ? 22 : 0;
    for (size_t at = base + 18; at + 6 <= s.size(); at += Get32(s, at) * 2) {
        if ((Get32(s, at + 4) & 0xFFFF) == function && skip-- == 0) return at;
        if (Get32(s, at) == 0) break;
    }
    return std::string::npos;
}

// ---- Logos ---------------------------------------------------------------

// An enhanced metafile of a header and an end record whose frame claims
// 1300 x 1300 mm: 4913 pixels a side at 96 dpi.
inline std::string HugeFrameEmf()
{
    std::string file = SampleEmf().substr(0, EmfFirstRecord);
    for (uint32_t v : {14u, 20u, 0u, 16u, 20u}) Put32(file, v);  // EMR_EOF
    Patch32(file, EmfFrameRight, 130000);
    Patch32(file, EmfFrameRight + 4, 130000);
    Patch32(file, EmfBytes, uint32_t(file.size()));
    Patch32(file, EmfBytes + 4, 2);  // records
    Patch32(file, EmfHandles, 1);
    return file;
}

// Where an icon's only image keeps its pixels and its AND mask.
struct TIconImageAt {
    size_t pixels, mask, stride;
};
inline TIconImageAt IconImageAt(const std::string& icon, int side, int bitCount)
{
    const size_t body = Get32(icon, IcoEntry(0) + 12);
    const size_t pixels = body + 40 + 4 * size_t(Get32(icon, body + 32));
    const size_t stride = ((size_t(side) * bitCount + 31) / 32) * 4;
    return {pixels, pixels + stride * side, stride};
}

// 16-pixel icons whose top-left quadrant is transparent: by its alpha (the
// colour left red, as a reader ignoring alpha would show it) or, without
// alpha, by the AND mask over black.
inline std::string AlphaIcon()
{
    std::string icon = MakeIco({{16, 32, {}}});
    const TIconImageAt at = IconImageAt(icon, 16, 32);
    for (size_t row = 8; row < 16; ++row)  // bottom-up: the top half
        for (size_t x = 0; x < 8; ++x) icon[at.pixels + row * at.stride + 4 * x + 3] = 0;
    return icon;
}
inline std::string MaskIcon()
{
    std::string icon = MakeIco({{16, 4, {Red, Green, Blue, White, Black}}});
    const TIconImageAt at = IconImageAt(icon, 16, 4);
    for (size_t row = 8; row < 16; ++row) {
        icon.replace(at.pixels + row * at.stride, 4, 4, '\x44');  // Black
        icon[at.mask + row * 4] = '\xFF';
    }
    return icon;
}

// ---- Mutation ------------------------------------------------------------

// A small deterministic generator, so a failing variant can be rebuilt.
class TRandom {
public:
    explicit TRandom(uint32_t seed) : state_(seed * 2654435761u + 1) {}
    uint32_t Next()
    {
        state_ ^= state_ << 13; state_ ^= state_ >> 17; state_ ^= state_ << 5;
        return state_;
    }
    uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }

private:
    uint32_t state_;
};

// Variant `n` of `original`: a few bytes changed, most of them among the
// first 150 where the headers are, and now and then the file cut short or
// a 32-bit field set to an extreme value.
inline std::string Mutate(const std::string& original, uint32_t n)
{
    TRandom random(n + 1);
    std::string s = original;
    const uint32_t changes = 1 + random.Below(4);
    for (uint32_t i = 0; i < changes && !s.empty(); ++i) {
        const uint32_t span = random.Below(4) ? std::min<uint32_t>(150, uint32_t(s.size())) : uint32_t(s.size());
        const uint32_t at = random.Below(span);
        switch (random.Below(4)) {
        case 0:
            if (at + 4 <= s.size()) {
                static const uint32_t extremes[] = {0, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFF, 0x10000};
                Patch32(s, at, extremes[random.Below(6)]);
                break;
            }
            [[fallthrough]];
        case 1: s[at] = char(s[at] ^ (1 << random.Below(8))); break;
        default: s[at] = char(random.Below(256)); break;
        }
    }
    if (random.Below(8) == 0) s.resize(random.Below(uint32_t(s.size())));
    return s;
}

}  // namespace picture_test
