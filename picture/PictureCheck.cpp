// The structural checks of the four picture file kinds, and the bitmap decoder.
#include "picture/PictureCheck.h"

#include "base/Format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace {

// Little-endian reads; callers have checked that the bytes are there.
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
int16_t I16(const uint8_t* p) { return static_cast<int16_t>(U16(p)); }
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
uint32_t U32BigEndian(const uint8_t* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

// True when [offset, offset + length) lies inside a block of `size` bytes.
bool Inside(uint64_t offset, uint64_t length, uint64_t size)
{
    return offset <= size && length <= size - offset;
}

bool ValidBitCount(uint16_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Bytes of one pixel row, padded to 32 bits as every DIB row is.
uint64_t RowStride(uint64_t width, uint64_t bits) { return ((width * bits + 31) / 32) * 4; }

}  // namespace

std::string PictureFileExtension(const std::string& path)
{
    const std::string_view element = LastPathElement(path);
    const size_t dot = element.rfind('.');
    if (dot == std::string_view::npos) return std::string();
    return std::string(element.substr(dot + 1));
}

TPictureKind PictureKindFromExtension(const std::string& ext)
{
    std::string lower(ext);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "bmp") return TPictureKind::Bitmap;
    if (lower == "ico") return TPictureKind::Icon;
    if (lower == "emf") return TPictureKind::EnhMetafile;
    if (lower == "wmf") return TPictureKind::Metafile;
    return TPictureKind::Unknown;
}

// ---- Bitmap -------------------------------------------------------------

namespace {

constexpr uint32_t BitmapFileHeaderSize = 14;

bool KnownInfoHeaderSize(uint32_t size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool CompressionFitsBitCount(uint32_t compression, uint16_t bits)
{
    switch (compression) {
    case BmpRgb: return true;
    case BmpRle8: return bits == 8;
    case BmpRle4: return bits == 4;
    case BmpBitfields:
    case BmpAlphaBitfields: return bits == 16 || bits == 32;
    default: return false;  // JPEG and PNG inside a DIB are not shown
    }
}

// The fields of a DIB's info header that the checks rely on, whether the
// DIB stands in a .bmp file or inside a metafile record.
struct TDibHeader {
    int32_t width = 0;
    int32_t height = 0;  // always positive; see topDown
    bool topDown = false;
    uint16_t bitCount = 0;
    uint32_t compression = BmpRgb;
    uint32_t colorsUsed = 0;
    uint32_t sizeImage = 0;
};

// Reads and checks an info header of a known size whose bytes are all
// there: one plane, a bit count and compression that go together, a size
// within the caps, and no more colours than the bits can index.
bool ReadDibHeader(const uint8_t* info, uint32_t headerSize, TDibHeader& header)
{
    header = TDibHeader();
    int64_t width, height;
    uint16_t planes;
    if (headerSize == 12) {
        width = U16(info + 4);
        height = U16(info + 6);
        planes = U16(info + 8);
        header.bitCount = U16(info + 10);
        if (header.bitCount == 16 || header.bitCount == 32) return false;
    } else {
        width = I32(info + 4);
        height = I32(info + 8);
        planes = U16(info + 12);
        header.bitCount = U16(info + 14);
        header.compression = U32(info + 16);
        header.sizeImage = U32(info + 20);
        header.colorsUsed = U32(info + 32);
    }
    if (planes != 1 || !ValidBitCount(header.bitCount)) return false;
    if (!CompressionFitsBitCount(header.compression, header.bitCount)) return false;

    // A negative height means rows stored top first; it is held in 64 bits so
    // that INT_MIN negates safely. Run-length data is only ever bottom-up.
    header.topDown = height < 0;
    if (header.topDown) height = -height;
    if (header.topDown && (header.compression == BmpRle8 || header.compression == BmpRle4)) return false;
    if (width <= 0 || height <= 0 || width > MaxPictureSide || height > MaxPictureSide) return false;
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > MaxBitmapPixels) return false;
    if (header.bitCount <= 8 && header.colorsUsed > (1u << header.bitCount)) return false;
    header.width = static_cast<int32_t>(width);
    header.height = static_cast<int32_t>(height);
    return true;
}

}  // namespace

TBitmapCheck CheckBitmapFile(const uint8_t* data, size_t size, TBitmapLayout& layout)
{
    layout = TBitmapLayout();
    if (size < BitmapFileHeaderSize) return TBitmapCheck::TooShort;
    if (data[0] != 'B' || data[1] != 'M') return TBitmapCheck::NotBitmap;
    if (size > MaxPictureFileSize) return TBitmapCheck::Invalid;

    const uint32_t bitsOffset = U32(data + 10);
    const uint8_t* info = data + BitmapFileHeaderSize;
    if (!Inside(BitmapFileHeaderSize, 4, size)) return TBitmapCheck::Invalid;
    const uint32_t infoSize = U32(info);
    if (!KnownInfoHeaderSize(infoSize) || !Inside(BitmapFileHeaderSize, infoSize, size))
        return TBitmapCheck::Invalid;

    TDibHeader header;
    if (!ReadDibHeader(info, infoSize, header)) return TBitmapCheck::Invalid;
    layout.width = header.width;
    layout.height = header.height;
    layout.topDown = header.topDown;
    layout.bitCount = header.bitCount;
    layout.compression = header.compression;
    if (infoSize == 12) layout.paletteEntrySize = 3;
    const uint32_t colorsUsed = header.colorsUsed;
    const uint32_t sizeImage = header.sizeImage;
    const bool rle = layout.compression == BmpRle8 || layout.compression == BmpRle4;
    uint64_t afterHeader = BitmapFileHeaderSize + infoSize;

    // Colour masks: in the header from 52 bytes on, else right after it.
    if (layout.bitCount == 16) {
        layout.masks[0] = 0x7C00; layout.masks[1] = 0x03E0; layout.masks[2] = 0x001F;
    } else if (layout.bitCount == 32) {
        layout.masks[0] = 0xFF0000; layout.masks[1] = 0x00FF00; layout.masks[2] = 0x0000FF;
    }
    if (layout.compression == BmpBitfields || layout.compression == BmpAlphaBitfields) {
        const int maskCount = layout.compression == BmpAlphaBitfields ? 4 : 3;
        const uint8_t* masks;
        if (infoSize >= 52) {
            masks = info + 40;
            if (maskCount == 4 && infoSize < 56) return TBitmapCheck::Invalid;
        } else {
            if (!Inside(afterHeader, 4u * maskCount, size)) return TBitmapCheck::Invalid;
            masks = data + afterHeader;
            afterHeader += 4u * maskCount;
        }
        for (int i = 0; i < maskCount; ++i) layout.masks[i] = U32(masks + 4 * i);
        if (layout.bitCount == 16)
            for (uint32_t& m : layout.masks) m &= 0xFFFF;
    }

    if (layout.bitCount <= 8) {
        layout.paletteEntries = colorsUsed ? colorsUsed : 1u << layout.bitCount;
        layout.paletteOffset = static_cast<uint32_t>(afterHeader);
        if (!Inside(afterHeader, uint64_t(layout.paletteEntries) * layout.paletteEntrySize, size))
            return TBitmapCheck::Invalid;
    }

    // Above 8 bits a colour table is optional and unused here, but one that
    // is declared must lie before the pixels like any other.
    const uint64_t tableEnd = layout.bitCount <= 8
                                  ? afterHeader + uint64_t(layout.paletteEntries) * layout.paletteEntrySize
                                  : afterHeader + uint64_t(colorsUsed) * 4;
    // The pixels may follow the palette at any distance but never overlap the
    // headers, and must lie wholly inside the file.
    if (bitsOffset < tableEnd || bitsOffset > size) return TBitmapCheck::Invalid;
    layout.bitsOffset = bitsOffset;
    const uint64_t available = size - bitsOffset;
    if (rle) {
        if (sizeImage > available) return TBitmapCheck::Invalid;
        layout.bitsSize = sizeImage ? sizeImage : available;
        if (layout.bitsSize < 2) return TBitmapCheck::Invalid;
        // Run-length data is small for the pixels it fills, but a few bytes
        // claiming a huge image would have us allocate and draw it all.
        const uint64_t pixels = uint64_t(layout.width) * uint64_t(layout.height);
        if (pixels > MaxRlePixelsPerByte * layout.bitsSize && pixels > MaxRlePixelsAnyway)
            return TBitmapCheck::Invalid;
    } else {
        const uint64_t needed = RowStride(layout.width, layout.bitCount) * uint64_t(layout.height);
        if (needed > available) return TBitmapCheck::Invalid;
        layout.bitsSize = needed;
    }
    return TBitmapCheck::Valid;
}

namespace {

// One colour channel given by a bit mask, widened or narrowed to 8 bits.
struct TChannel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit TChannel(uint32_t m) : mask(m)
    {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        uint32_t v = m >> shift;
        while (v) { ++bits; v >>= 1; }
    }
    uint32_t Extract(uint32_t pixel) const
    {
        if (!bits) return 0;
        const uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return v >> (bits - 8);
        const uint32_t max = (1u << bits) - 1;
        return v * 255 / max;
    }
};

uint32_t PaletteColor(const uint8_t* data, const TBitmapLayout& layout, uint32_t index)
{
    if (index >= layout.paletteEntries) return 0;  // an index past the palette shows black
    const uint8_t* e = data + layout.paletteOffset + uint64_t(index) * layout.paletteEntrySize;
    return (uint32_t(e[2]) << 16) | (uint32_t(e[1]) << 8) | e[0];
}

void DecodeRows(const uint8_t* data, const TBitmapLayout& layout, uint32_t* dest)
{
    const uint64_t stride = RowStride(layout.width, layout.bitCount);
    const TChannel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]);
    uint32_t palette[256] = {};
    for (uint32_t i = 0; i < layout.paletteEntries && i < 256; ++i)
        palette[i] = PaletteColor(data, layout, i);
    for (int32_t y = 0; y < layout.height; ++y) {
        const uint8_t* row = data + layout.bitsOffset + stride * uint64_t(y);
        const int32_t destY = layout.topDown ? y : layout.height - 1 - y;
        uint32_t* out = dest + uint64_t(destY) * uint64_t(layout.width);
        for (int32_t x = 0; x < layout.width; ++x) {
            uint32_t pixel;
            switch (layout.bitCount) {
            case 1: pixel = palette[(row[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: pixel = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
            case 8: pixel = palette[row[x]]; break;
            case 24: {
                const uint8_t* p = row + 3 * x;
                pixel = (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
                break;
            }
            default: {
                const uint32_t raw = layout.bitCount == 16 ? U16(row + 2 * x) : U32(row + 4 * x);
                pixel = (red.Extract(raw) << 16) | (green.Extract(raw) << 8) | blue.Extract(raw);
                break;
            }
            }
            out[x] = pixel;
        }
    }
}

// Run-length encoded pixels (8 or 4 bits), stored bottom row first. Writes
// that fall outside the image are dropped, as the platform does; a stream
// that ends without its end-of-bitmap mark keeps what it drew.
bool DecodeRle(const uint8_t* data, const TBitmapLayout& layout, uint32_t* dest)
{
    const bool four = layout.compression == BmpRle4;
    uint32_t palette[256] = {};
    for (uint32_t i = 0; i < layout.paletteEntries && i < 256; ++i)
        palette[i] = PaletteColor(data, layout, i);
    std::fill(dest, dest + uint64_t(layout.width) * uint64_t(layout.height), palette[0]);

    const uint8_t* p = data + layout.bitsOffset;
    const uint8_t* const end = p + layout.bitsSize;
    int64_t x = 0, y = 0;  // y counts rows from the bottom
    auto put = [&](uint32_t index) {
        if (x >= 0 && x < layout.width && y >= 0 && y < layout.height)
            dest[uint64_t(layout.height - 1 - y) * uint64_t(layout.width) + uint64_t(x)] = palette[index & 0xFF];
        ++x;
    };
    while (end - p >= 2 && y < layout.height) {
        const uint8_t count = p[0];
        const uint8_t value = p[1];
        p += 2;
        if (count) {
            for (int i = 0; i < count && x < layout.width; ++i)
                put(four ? ((i & 1) ? (value & 0xF) : (value >> 4)) : value);
            continue;
        }
        switch (value) {
        case 0: x = 0; ++y; break;  // end of line
        case 1: return true;        // end of bitmap
        case 2:
            if (end - p < 2) return false;
            x += p[0];
            y += p[1];
            p += 2;
            break;
        default: {
            const uint64_t bytes = four ? (uint64_t(value) + 1) / 2 : value;
            const uint64_t padded = (bytes + 1) & ~uint64_t(1);
            if (uint64_t(end - p) < bytes) return false;
            for (int i = 0; i < value; ++i) {
                const uint8_t b = p[four ? i / 2 : i];
                put(four ? ((i & 1) ? (b & 0xF) : (b >> 4)) : b);
            }
            p += std::min<uint64_t>(padded, uint64_t(end - p));
            break;
        }
        }
    }
    return true;
}

}  // namespace

bool DecodeBitmap(const uint8_t* data, size_t size, const TBitmapLayout& layout, uint32_t* dest)
{
    // The layout came from CheckBitmapFile on these bytes; guard the one
    // assumption everything below rests on anyway.
    if (!Inside(layout.bitsOffset, layout.bitsSize, size)) return false;
    if (layout.compression == BmpRle8 || layout.compression == BmpRle4)
        return DecodeRle(data, layout, dest);
    DecodeRows(data, layout, dest);
    return true;
}

// ---- Icon ---------------------------------------------------------------

namespace {

constexpr uint32_t IconDirSize = 6;
constexpr uint32_t IconDirEntrySize = 16;
constexpr int32_t MaxIconSide = 1024;

bool CheckPngImage(const uint8_t* p, uint32_t size, TIconImage& image)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    // Signature, then the IHDR chunk: length, type, 13 bytes, CRC.
    if (size < 8 + 8 + 13 + 4 || !std::equal(signature, signature + 8, p)) return false;
    if (U32BigEndian(p + 8) != 13 || !std::equal(p + 12, p + 16, "IHDR")) return false;
    const uint32_t width = U32BigEndian(p + 16);
    const uint32_t height = U32BigEndian(p + 20);
    const uint8_t depth = p[24], colorType = p[25];
    if (width == 0 || height == 0 || width > MaxIconSide || height > MaxIconSide) return false;
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16) return false;
    if (colorType != 0 && colorType != 2 && colorType != 3 && colorType != 4 && colorType != 6)
        return false;
    if (p[26] != 0 || p[27] != 0 || p[28] > 1) return false;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.png = true;
    return true;
}

// An icon image proper: an info header, the colour table, the colour
// (XOR) bits and the 1-bit transparency (AND) mask, both bottom-up.
bool CheckDibImage(const uint8_t* p, uint32_t size, TIconImage& image, uint16_t& bitCount)
{
    if (size < 40) return false;
    const uint32_t headerSize = U32(p);
    if (headerSize != 40 && headerSize != 108 && headerSize != 124) return false;
    if (headerSize > size) return false;
    const int32_t width = I32(p + 4);
    const int32_t doubleHeight = I32(p + 8);
    const uint16_t planes = U16(p + 12);
    bitCount = U16(p + 14);
    const uint32_t compression = U32(p + 16);
    const uint32_t colorsUsed = U32(p + 32);
    if (width <= 0 || width > MaxIconSide) return false;
    if (doubleHeight <= 0 || doubleHeight % 2 || doubleHeight / 2 > MaxIconSide) return false;
    if (planes != 1 || !ValidBitCount(bitCount) || compression != BmpRgb) return false;
    const int32_t height = doubleHeight / 2;
    uint64_t colors = 0;
    if (bitCount <= 8) {
        if (colorsUsed > (1u << bitCount)) return false;
        colors = colorsUsed ? colorsUsed : (1u << bitCount);
    }
    const uint64_t needed = uint64_t(headerSize) + colors * 4 +
                            RowStride(uint64_t(width), bitCount) * uint64_t(height) +
                            RowStride(uint64_t(width), 1) * uint64_t(height);
    if (needed > size) return false;
    image.width = width;
    image.height = height;
    image.png = false;
    return true;
}

}  // namespace

bool CheckIconFile(const uint8_t* data, size_t size, int preferredSide, bool pngDecodable, TIconImage& image)
{
    image = TIconImage();
    if (size < IconDirSize || size > MaxPictureFileSize) return false;
    if (U16(data) != 0 || U16(data + 2) != 1) return false;
    const uint32_t count = U16(data + 4);
    if (count == 0) return false;
    const uint64_t directoryEnd = IconDirSize + uint64_t(count) * IconDirEntrySize;
    if (directoryEnd > size) return false;

    bool found = false;
    uint16_t bestBits = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = data + IconDirSize + uint64_t(i) * IconDirEntrySize;
        const uint32_t bytes = U32(entry + 8);
        const uint32_t offset = U32(entry + 12);
        // Every image must lie in the file after the directory, or the
        // directory itself is not to be trusted.
        if (offset < directoryEnd || !Inside(offset, bytes, size)) return false;

        TIconImage candidate;
        uint16_t bits = 32;
        const uint8_t* p = data + offset;
        const bool png = CheckPngImage(p, bytes, candidate);
        if (png ? !pngDecodable : !CheckDibImage(p, bytes, candidate, bits))
            continue;
        candidate.offset = offset;
        candidate.size = bytes;

        const auto preferred = [&](const TIconImage& im) {
            return im.width == preferredSide && im.height == preferredSide;
        };
        bool better;
        if (!found) {
            better = true;
        } else if (preferred(candidate) != preferred(image)) {
            better = preferred(candidate);
        } else if (!preferred(candidate) &&
                   int64_t(candidate.width) * candidate.height != int64_t(image.width) * image.height) {
            better = int64_t(candidate.width) * candidate.height > int64_t(image.width) * image.height;
        } else if (bits != bestBits) {
            better = bits > bestBits;
        } else {
            better = image.png && !candidate.png;  // a plain DIB needs no codec
        }
        if (better) {
            image = candidate;
            bestBits = bits;
            found = true;
        }
    }
    return found;
}

// ---- Bitmaps inside metafile records ------------------------------------

namespace {

// A DIB's info header and colour table, as metafile records carry them: the
// table's entries are colours (usage 0) or 16-bit palette indices (usage 1).
// Gives where the table ends and how many bytes the pixels need.
bool CheckDibInfo(const uint8_t* info, uint64_t infoBytes, uint32_t usage, uint64_t& tableEnd,
                  uint64_t& pixelBytes, uint64_t* rowBytes = nullptr)
{
    if (usage > 1 || infoBytes < 4) return false;
    const uint32_t headerSize = U32(info);
    if (!KnownInfoHeaderSize(headerSize) || headerSize > infoBytes) return false;
    TDibHeader header;
    if (!ReadDibHeader(info, headerSize, header)) return false;
    const uint16_t bits = header.bitCount;
    const uint32_t compression = header.compression;
    const bool rle = compression == BmpRle8 || compression == BmpRle4;
    uint64_t colors = header.colorsUsed;
    if (bits <= 8 && !colors) colors = 1u << bits;
    const uint64_t entrySize = usage == 1 ? 2 : headerSize == 12 ? 3 : 4;
    const uint64_t masks = (compression == BmpBitfields && headerSize == 40) ? 12
                           : (compression == BmpAlphaBitfields && headerSize == 40) ? 16 : 0;
    tableEnd = headerSize + masks + colors * entrySize;
    if (tableEnd > infoBytes) return false;
    if (rle) {
        if (header.sizeImage < 2) return false;
        pixelBytes = header.sizeImage;
        if (rowBytes) *rowBytes = 0;
    } else {
        pixelBytes = RowStride(uint64_t(header.width), bits) * uint64_t(header.height);
        if (rowBytes) *rowBytes = RowStride(uint64_t(header.width), bits);
    }
    return true;
}

// A DIB with its pixels right after its colour table, all within `size`.
bool CheckPackedDib(const uint8_t* p, uint64_t size, uint32_t usage)
{
    uint64_t tableEnd = 0, pixelBytes = 0;
    if (!CheckDibInfo(p, size, usage, tableEnd, pixelBytes)) return false;
    return Inside(tableEnd, pixelBytes, size);
}

}  // namespace

// ---- Enhanced metafile --------------------------------------------------

namespace {

constexpr uint32_t EmrHeader = 1;
constexpr uint32_t EmrEof = 14;
constexpr uint32_t EnhMetaSignature = 0x464D4520;  // " EMF"
constexpr uint32_t MinEnhMetaHeaderSize = 88;  // up to szlMillimeters
constexpr uint32_t EofRecordSize = 20;

// What records of each type read beyond their type and size: a minimum
// size, and for some a check of the counts, offsets and object indices they
// carry. Types not listed are ignored by players or read nothing more.
struct TEmrMinSize {
    uint32_t type;
    uint32_t minSize;
};
constexpr TEmrMinSize EmrMinSizes[] = {
    {10, 16}, {12, 16}, {13, 16}, {15, 20}, {16, 12}, {17, 12}, {18, 12},
    {19, 12}, {20, 12}, {21, 12}, {22, 12}, {23, 32}, {24, 12}, {25, 12}, {26, 16}, {27, 16},
    {29, 24}, {30, 24}, {34, 12}, {41, 28}, {42, 24},
    {43, 24}, {44, 32}, {45, 40}, {46, 40}, {47, 40}, {53, 20}, {54, 16}, {55, 40}, {57, 12},
    {58, 12}, {62, 24}, {63, 24}, {64, 24}, {67, 12}, {98, 12}, {104, 48}, {111, 24}, {115, 12},
    {120, 16},
};

// A bitmap given by offsets into its record: info [offInfo, +cbInfo) and
// pixels [offBits, +cbBits), of which `rows` rows (0: all) are read.
bool CheckEmrBitmap(const uint8_t* r, uint32_t size, uint32_t usage, uint32_t offInfo, uint32_t cbInfo,
                    uint32_t offBits, uint32_t cbBits, uint64_t rows = 0)
{
    if (!Inside(offInfo, cbInfo, size) || !Inside(offBits, cbBits, size)) return false;
    uint64_t tableEnd = 0, pixelBytes = 0, rowBytes = 0;
    if (!CheckDibInfo(r + offInfo, cbInfo, usage, tableEnd, pixelBytes, &rowBytes)) return false;
    if (rows && rowBytes) pixelBytes = std::min(pixelBytes, rows * rowBytes);
    return pixelBytes <= cbBits;
}

// A source bitmap that may be absent (no info and no pixels).
bool CheckOptionalEmrBitmap(const uint8_t* r, uint32_t size, uint32_t usageAt, uint32_t fieldsAt)
{
    const uint32_t cbInfo = U32(r + fieldsAt + 4);
    if (cbInfo == 0) return true;
    return CheckEmrBitmap(r, size, U32(r + usageAt), U32(r + fieldsAt), cbInfo, U32(r + fieldsAt + 8),
                          U32(r + fieldsAt + 12));
}

// Region data: a 32-byte header and its rectangles, inside [at, at + bytes).
bool CheckRegionData(const uint8_t* r, uint32_t size, uint64_t at, uint32_t bytes)
{
    if (!Inside(at, bytes, size) || bytes < 32) return false;
    const uint8_t* rgn = r + at;
    if (U32(rgn) != 32) return false;
    return 32 + uint64_t(U32(rgn + 8)) * 16 <= bytes;
}

// An XFORM: finite, of sane magnitude and invertible.
bool SoundTransform(const uint8_t* p)
{
    float m[6];
    for (int i = 0; i < 6; ++i) {
        const uint32_t bits = U32(p + 4 * i);
        std::memcpy(&m[i], &bits, sizeof bits);
        if (!std::isfinite(m[i])) return false;
        if (std::fabs(m[i]) > (i < 4 ? 1e6f : 1e9f)) return false;
    }
    const double determinant = double(m[0]) * m[3] - double(m[1]) * m[2];
    return std::fabs(determinant) > 1e-12;
}

bool CheckEmrRecord(uint32_t type, const uint8_t* r, uint32_t size, uint32_t handles)
{
    const auto F = [r](uint32_t at) { return U32(r + at); };
    const auto created = [handles](uint32_t ih) { return ih < handles; };
    const auto chosen = [handles](uint32_t ih) { return (ih & 0x80000000u) || ih < handles; };
    for (const TEmrMinSize& rule : EmrMinSizes)
        if (rule.type == type) return size >= rule.minSize;
    switch (type) {
    // Extents of 0 and singular or non-finite transforms make every later
    // coordinate infinite, which the players do not survive.
    case 9: case 11:  // SETWINDOWEXTEX, SETVIEWPORTEXTEX
        return size >= 16 && F(8) != 0 && F(12) != 0;
    case 31: case 32:  // SCALEVIEWPORTEXTEX, SCALEWINDOWEXTEX
        return size >= 24 && F(8) != 0 && F(12) != 0 && F(16) != 0 && F(20) != 0;
    case 35:  // SETWORLDTRANSFORM
        return size >= 32 && SoundTransform(r + 8);
    case 36:  // MODIFYWORLDTRANSFORM
        return size >= 36 && SoundTransform(r + 8);
    case 2: case 3: case 4: case 5: case 6:  // POLY*: bounds, count, 32-bit points
        return size >= 28 && uint64_t(F(24)) * 8 <= size - 28;
    case 85: case 86: case 87: case 88: case 89:  // POLY*16
        return size >= 28 && uint64_t(F(24)) * 4 <= size - 28;
    case 7: case 8: case 90: case 91: {  // POLYPOLY*: bounds, polygons, points, counts, points
        if (size < 32) return false;
        const uint64_t polys = F(24), points = F(28), pointSize = type <= 8 ? 8 : 4;
        if (polys * 4 + points * pointSize > size - 32) return false;
        uint64_t sum = 0;
        for (uint64_t i = 0; i < polys; ++i) sum += F(uint32_t(32 + 4 * i));
        return sum <= points;
    }
    case 56:  // POLYDRAW: points, then one type byte each
        return size >= 28 && uint64_t(F(24)) * 9 <= size - 28;
    case 92:  // POLYDRAW16
        return size >= 28 && uint64_t(F(24)) * 5 <= size - 28;
    case 83: case 84: {  // EXTTEXTOUTA / W
        if (size < 76) return false;
        const uint64_t chars = F(44);
        const uint64_t dxBytes = chars * 4 * ((F(52) & 0x2000) ? 2 : 1);  // ETO_PDY: pairs
        return Inside(F(48), chars * (type == 84 ? 2 : 1), size) && Inside(F(72), dxBytes, size);
    }
    case 96: case 97: case 108:  // POLYTEXTOUT and SMALLTEXTOUT: not shown from files
        return false;
    case 37: case 40: case 48:  // SELECTOBJECT, DELETEOBJECT, SELECTPALETTE
        return size >= 12 && (type == 40 ? created(F(8)) : chosen(F(8)));
    case 38:  // CREATEPEN
        return size >= 28 && created(F(8));
    case 39:  // CREATEBRUSHINDIRECT
        return size >= 24 && created(F(8));
    case 49:  // CREATEPALETTE: version and count, then entries
        return size >= 16 && created(F(8)) && uint64_t(U16(r + 14)) * 4 <= size - 16;
    case 50:  // SETPALETTEENTRIES
        return size >= 20 && created(F(8)) && uint64_t(F(16)) * 4 <= size - 20;
    case 51:  // RESIZEPALETTE
        return size >= 16 && created(F(8));
    case 82:  // EXTCREATEFONTINDIRECTW: a LOGFONTW at least
        return size >= 104 && created(F(8));
    case 93: case 94:  // CREATEMONOBRUSH, CREATEDIBPATTERNBRUSHPT
        return size >= 32 && created(F(8)) && CheckEmrBitmap(r, size, F(12), F(16), F(20), F(24), F(28));
    case 95:  // EXTCREATEPEN: an optional pattern, then the pen and its style entries
        if (size < 52 || !created(F(8)) || uint64_t(F(48)) * 4 > size - 52) return false;
        return F(16) == 0 || CheckEmrBitmap(r, size, 0, F(12), F(16), F(20), F(24));
    case 99: case 100: case 101: case 122:  // colour spaces
        return size >= 12 && created(F(8));
    case 71:  // FILLRGN
        return size >= 32 && created(F(28)) && CheckRegionData(r, size, 32, F(24));
    case 72:  // FRAMERGN
        return size >= 40 && created(F(28)) && CheckRegionData(r, size, 40, F(24));
    case 73: case 74:  // INVERTRGN, PAINTRGN
        return size >= 28 && CheckRegionData(r, size, 28, F(24));
    case 75:  // EXTSELECTCLIPRGN: no data resets the clipping
        return size >= 16 && (F(8) == 0 || CheckRegionData(r, size, 16, F(8)));
    case 76:  // BITBLT
        return size >= 100 && CheckOptionalEmrBitmap(r, size, 80, 84);
    case 77: case 114: case 116:  // STRETCHBLT, ALPHABLEND, TRANSPARENTBLT
        return size >= 108 && CheckOptionalEmrBitmap(r, size, 80, 84);
    case 78:  // MASKBLT: source and mask
        return size >= 128 && CheckOptionalEmrBitmap(r, size, 80, 84) && CheckOptionalEmrBitmap(r, size, 108, 112);
    case 79:  // PLGBLT: source and mask
        return size >= 140 && CheckOptionalEmrBitmap(r, size, 92, 96) && CheckOptionalEmrBitmap(r, size, 120, 124);
    case 80:  // SETDIBITSTODEVICE: only cScans rows are stored
        return size >= 76 && CheckEmrBitmap(r, size, F(64), F(48), F(52), F(56), F(60), std::max<uint32_t>(F(72), 1));
    case 81:  // STRETCHDIBITS
        return size >= 80 && CheckEmrBitmap(r, size, F(64), F(48), F(52), F(56), F(60));
    case 118: {  // GRADIENTFILL: vertices, then triangles or rectangles of vertex indices
        if (size < 36) return false;
        const uint64_t vertices = F(24), shapes = F(28), indices = F(32) == 2 ? 3 : 2;
        if (vertices * 16 + shapes * indices * 4 > size - 36) return false;
        const uint64_t first = 36 + vertices * 16;
        for (uint64_t i = 0; i < shapes * indices; ++i)
            if (F(uint32_t(first + 4 * i)) >= vertices) return false;
        return true;
    }
    case 70:  // GDICOMMENT
        return size >= 12 && F(8) <= size - 12;
    case 105: case 106:  // DRAWESCAPE, EXTESCAPE
        return size >= 16 && F(12) <= size - 16;
    default:
        return true;
    }
}

}  // namespace

bool CheckEnhMetafile(const uint8_t* data, size_t size, TEnhMetafileInfo& info)
{
    info = TEnhMetafileInfo();
    if (size < MinEnhMetaHeaderSize || size > MaxPictureFileSize) return false;
    const uint32_t headerSize = U32(data + 4);
    if (U32(data) != EmrHeader || headerSize < MinEnhMetaHeaderSize || headerSize % 4 ||
        headerSize > size)
        return false;
    if (U32(data + 40) != EnhMetaSignature) return false;
    const uint32_t bytes = U32(data + 48);
    if (bytes < headerSize || bytes > size || bytes % 4) return false;
    const uint16_t handles = U16(data + 56);
    if (handles == 0) return false;  // slot 0 is the metafile's own
    const uint32_t descriptionChars = U32(data + 60);
    const uint32_t descriptionOffset = U32(data + 64);
    if (descriptionChars && !Inside(descriptionOffset, uint64_t(descriptionChars) * 2, headerSize))
        return false;
    // The reference device's size in pixels and millimetres scales playback:
    // a zero there would be a division by zero in the player.
    for (int field = 72; field < 88; field += 4)
        if (I32(data + field) <= 0) return false;
    if (headerSize >= 100) {
        const uint32_t pixelFormatSize = U32(data + 88);
        const uint32_t pixelFormatOffset = U32(data + 92);
        if (pixelFormatSize && !Inside(pixelFormatOffset, pixelFormatSize, headerSize)) return false;
    }
    info.frameLeft = I32(data + 24);
    info.frameTop = I32(data + 28);
    info.frameRight = I32(data + 32);
    info.frameBottom = I32(data + 36);
    if (info.frameRight < info.frameLeft || info.frameBottom < info.frameTop) return false;

    // Walk the records: each at least 8 bytes, a multiple of 4, inside the
    // metafile; the last is the end-of-file record, ending exactly at nBytes.
    uint64_t offset = headerSize;
    while (true) {
        if (!Inside(offset, 8, bytes)) return false;
        const uint32_t type = U32(data + offset);
        const uint32_t recordSize = U32(data + offset + 4);
        if (recordSize < 8 || recordSize % 4 || !Inside(offset, recordSize, bytes)) return false;
        if (type == EmrHeader) return false;
        if (type != EmrEof && !CheckEmrRecord(type, data + offset, recordSize, handles)) return false;
        if (type == EmrEof) {
            if (recordSize < EofRecordSize || offset + recordSize != bytes) return false;
            const uint32_t paletteEntries = U32(data + offset + 8);
            const uint32_t paletteOffset = U32(data + offset + 12);
            if (paletteEntries && !Inside(paletteOffset, uint64_t(paletteEntries) * 4, recordSize))
                return false;
            break;
        }
        offset += recordSize;
    }
    info.bytes = bytes;
    return true;
}

// ---- Windows metafile ---------------------------------------------------

namespace {

constexpr uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr uint32_t PlaceableHeaderSize = 22;
constexpr uint32_t MetaHeaderSize = 18;  // 9 words
constexpr uint16_t MetaSetWindowExt = 0x020C;

// What a record of each function reads from its parameters, so that no
// player reads past its record or indexes past the object table. Functions
// not listed read nothing of their parameters (or are not played at all).
struct TMetaRecordRule {
    uint16_t function;
    uint16_t minParams;
};
constexpr TMetaRecordRule FixedMetaRecords[] = {
    {0x0201, 2}, {0x0102, 1}, {0x0103, 1}, {0x0104, 1}, {0x0105, 1}, {0x0106, 1}, {0x0107, 1},
    {0x0209, 2}, {0x020B, 2}, {0x020D, 2}, {0x020F, 2},
    {0x0211, 2}, {0x0213, 2}, {0x0214, 2}, {0x0415, 4}, {0x0416, 4}, {0x0817, 8},
    {0x0418, 4}, {0x0419, 4}, {0x081A, 8}, {0x041B, 4}, {0x061C, 6}, {0x061D, 6}, {0x041F, 4},
    {0x0220, 2}, {0x0127, 1}, {0x0830, 8}, {0x012E, 1}, {0x0231, 2}, {0x0108, 1}, {0x020A, 2},
    {0x0548, 5}, {0x02FA, 5}, {0x02FC, 4},
};

// A device-dependent bitmap of Windows 3.0 records: rows padded to 16 bits.
bool DdbFits(uint64_t width, uint64_t height, uint64_t planes, uint64_t bits, uint64_t available)
{
    if (width == 0 || height == 0 || width > uint64_t(MaxPictureSide) || height > uint64_t(MaxPictureSide))
        return false;
    if (planes != 1 || !ValidBitCount(static_cast<uint16_t>(bits))) return false;
    return ((width * bits + 15) / 16) * 2 * height <= available;
}

// `p` points at the record's parameters: `words` of them, and `tail` bytes
// from there to the end of the whole metafile.
bool CheckMetaRecord(uint16_t function, const uint8_t* p, uint64_t words, uint64_t tail, uint16_t objects)
{
    const auto P = [p](uint64_t i) { return U16(p + 2 * i); };
    const auto object = [objects](uint16_t index) { return index < objects; };
    const uint64_t bytes = words * 2;
    for (const TMetaRecordRule& rule : FixedMetaRecords)
        if (rule.function == function) return words >= rule.minParams;
    switch (function) {
    // An extent of 0 makes the scale of every later coordinate infinite.
    case 0x020C:  // SETWINDOWEXT
    case 0x020E:  // SETVIEWPORTEXT
        return words >= 2 && P(0) != 0 && P(1) != 0;
    case 0x0410:  // SCALEWINDOWEXT
    case 0x0412:  // SCALEVIEWPORTEXT
        return words >= 4 && P(0) != 0 && P(1) != 0 && P(2) != 0 && P(3) != 0;
    case 0x01F0:  // DELETEOBJECT
    case 0x012D:  // SELECTOBJECT
    case 0x012A:  // INVERTREGION
    case 0x012B:  // PAINTREGION
        return words >= 1 && object(P(0));
    case 0x012C:  // SELECTCLIPREGION, 0 for none
        return words >= 1 && (P(0) == 0 || object(P(0)));
    case 0x0234:  // SELECTPALETTE
        return words >= 2 && object(P(1));
    case 0x0228:  // FILLREGION
        return words >= 2 && object(P(0)) && object(P(1));
    case 0x0429:  // FRAMEREGION
        return words >= 4 && object(P(2)) && object(P(3));
    case 0x0521: {  // TEXTOUT: length, text, y, x
        const int16_t length = static_cast<int16_t>(P(0));
        return words >= 1 && length >= 0 && words >= 3 + (uint64_t(length) + 1) / 2;
    }
    case 0x0324:  // POLYGON
    case 0x0325:  // POLYLINE
        return words >= 1 && words >= 1 + 2 * uint64_t(P(0));
    case 0x0538: {  // POLYPOLYGON: count, counts, points
        if (words < 1 || words < 1 + uint64_t(P(0))) return false;
        uint64_t points = 0;
        for (uint64_t i = 0; i < P(0); ++i) {
            const int16_t n = static_cast<int16_t>(P(1 + i));
            if (n < 0) return false;
            points += uint64_t(n);
        }
        return words >= 1 + uint64_t(P(0)) + 2 * points;
    }
    case 0x02FB:  // CREATEFONTINDIRECT: the face name is read as 32 bytes whatever the record's size
        return words >= 9 && tail >= 18 + 32;
    case 0x00F7:  // CREATEPALETTE: version, count, entries
        return words >= 2 && words >= 2 + 2 * uint64_t(P(1));
    case 0x0626:  // ESCAPE: function, byte count, data
        return words >= 2 && words >= 2 + (uint64_t(P(1)) + 1) / 2;
    case 0x0A32: {  // EXTTEXTOUT: y, x, length, options, [rectangle], text
        if (words < 4) return false;
        const uint64_t rect = (P(3) & 0x0006) ? 4 : 0;  // ETO_OPAQUE | ETO_CLIPPED
        return words >= 4 + rect + (uint64_t(P(2)) + 1) / 2;
    }
    case 0x0F43:  // STRETCHDIB
        return words >= 11 && CheckPackedDib(p + 22, bytes - 22, P(2));
    case 0x0B41:  // DIBSTRETCHBLT
        return words >= 10 && CheckPackedDib(p + 20, bytes - 20, 0);
    case 0x0940:  // DIBBITBLT, without a bitmap when the source was none
        if (words <= 9) return words == 9;
        return CheckPackedDib(p + 16, bytes - 16, 0);
    case 0x0D33:  // SETDIBTODEV
        return words >= 9 && CheckPackedDib(p + 18, bytes - 18, P(0));
    case 0x0142:  // DIBCREATEPATTERNBRUSH
        return words >= 2 && CheckPackedDib(p + 4, bytes - 4, P(1) ? 1 : 0);
    case 0x01F9:  // CREATEPATTERNBRUSH
        if (words < 2) return false;
        if (P(0) == 5) return CheckPackedDib(p + 4, bytes - 4, P(1));  // BS_DIBPATTERN
        if (P(0) != 3) return true;                                   // not played
        return words >= 24 && DdbFits(U32(p + 8), U32(p + 12), U16(p + 16), U16(p + 18), bytes - 48);
    case 0x0922:  // BITBLT with a device-dependent bitmap
        return words >= 12 && DdbFits(P(7), P(8), P(10), P(11), bytes - 24);
    case 0x0B23:  // STRETCHBLT with a device-dependent bitmap
        return words >= 15 && DdbFits(P(10), P(11), P(13), P(14), bytes - 30);
    case 0x06FF: {  // CREATEREGION: bands of "m y0 y1 x1 .. xm m"
        if (words < 11) return false;
        uint64_t at = 11;
        for (uint64_t band = 0; band < P(5); ++band) {
            if (at >= words) return false;
            const uint64_t m = P(at);
            if (m % 2 || at + m + 3 >= words || P(at + m + 3) != m) return false;
            at += m + 4;
        }
        return true;
    }
    default:
        return true;
    }
}

}  // namespace

bool CheckMetafile(const uint8_t* data, size_t size, TMetafileInfo& info)
{
    info = TMetafileInfo();
    if (size > MaxPictureFileSize) return false;
    uint64_t base = 0;
    if (size >= 4 && U32(data) == PlaceableKey) {
        if (size < PlaceableHeaderSize) return false;
        uint16_t checksum = 0;
        for (int i = 0; i < 10; ++i) checksum ^= U16(data + 2 * i);
        if (checksum != U16(data + 20)) return false;
        info.placeable = true;
        info.left = I16(data + 6);
        info.top = I16(data + 8);
        info.right = I16(data + 10);
        info.bottom = I16(data + 12);
        info.unitsPerInch = U16(data + 14);
        if (info.unitsPerInch == 0) return false;
        base = PlaceableHeaderSize;
    }
    if (!Inside(base, MetaHeaderSize, size)) return false;
    const uint8_t* header = data + base;
    const uint16_t type = U16(header);
    const uint16_t headerWords = U16(header + 2);
    const uint16_t version = U16(header + 4);
    const uint64_t bytes = uint64_t(U32(header + 6)) * 2;
    if ((type != 1 && type != 2) || headerWords != MetaHeaderSize / 2) return false;
    if (version != 0x100 && version != 0x300) return false;
    if (bytes < MetaHeaderSize + 6 || !Inside(base, bytes, size)) return false;
    const uint16_t objects = U16(header + 10);

    // Records: a size in words (at least the 3 of size and function), then
    // the function; the end record is function 0 of 3 words.
    uint64_t offset = MetaHeaderSize;
    while (true) {
        if (!Inside(offset, 6, bytes)) return false;
        const uint8_t* record = header + offset;
        const uint64_t recordBytes = uint64_t(U32(record)) * 2;
        const uint16_t function = U16(record + 4);
        if (recordBytes < 6 || !Inside(offset, recordBytes, bytes)) return false;
        info.maxRecordWords = std::max(info.maxRecordWords, static_cast<uint32_t>(recordBytes / 2));
        if (function == 0) {
            if (recordBytes != 6) return false;
            break;
        }
        if (function == MetaSetWindowExt && recordBytes >= 10 && !info.windowExtX) {
            info.windowExtY = I16(record + 6);
            info.windowExtX = I16(record + 8);
        }
        offset += recordBytes;
    }
    const uint64_t end = offset + 6;

    // Now that the metafile's end is known, what each record reads.
    for (uint64_t at = MetaHeaderSize; at + 6 < end;) {
        const uint8_t* record = header + at;
        const uint64_t recordBytes = uint64_t(U32(record)) * 2;
        if (!CheckMetaRecord(U16(record + 4), record + 6, recordBytes / 2 - 3, end - at - 6, objects))
            return false;
        at += recordBytes;
    }
    info.bitsOffset = static_cast<uint32_t>(base);
    info.bitsSize = static_cast<uint32_t>(end);
    return true;
}
