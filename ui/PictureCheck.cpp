#include "ui/PictureCheck.h"

#include <algorithm>
#include <cctype>

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
    const size_t elementStart = path.find_last_of("\\/:");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos) return std::string();
    if (elementStart != std::string::npos && dot < elementStart) return std::string();
    return path.substr(dot + 1);
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

    int64_t width, height;
    uint16_t planes;
    uint32_t colorsUsed = 0;
    uint32_t sizeImage = 0;
    uint64_t afterHeader = BitmapFileHeaderSize + infoSize;
    if (infoSize == 12) {
        width = U16(info + 4);
        height = U16(info + 6);
        planes = U16(info + 8);
        layout.bitCount = U16(info + 10);
        layout.paletteEntrySize = 3;
        if (layout.bitCount == 16 || layout.bitCount == 32) return TBitmapCheck::Invalid;
    } else {
        width = I32(info + 4);
        height = I32(info + 8);
        planes = U16(info + 12);
        layout.bitCount = U16(info + 14);
        layout.compression = U32(info + 16);
        sizeImage = U32(info + 20);
        colorsUsed = U32(info + 32);
    }
    if (planes != 1 || !ValidBitCount(layout.bitCount)) return TBitmapCheck::Invalid;
    if (!CompressionFitsBitCount(layout.compression, layout.bitCount)) return TBitmapCheck::Invalid;

    // A negative height means rows stored top first; it is held in 64 bits so
    // that INT_MIN negates safely.
    layout.topDown = height < 0;
    if (layout.topDown) height = -height;
    if (width <= 0 || height <= 0 || width > MaxPictureSide || height > MaxPictureSide)
        return TBitmapCheck::Invalid;
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > MaxBitmapPixels)
        return TBitmapCheck::Invalid;
    const bool rle = layout.compression == BmpRle8 || layout.compression == BmpRle4;
    if (rle && layout.topDown) return TBitmapCheck::Invalid;
    layout.width = static_cast<int32_t>(width);
    layout.height = static_cast<int32_t>(height);

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
        const uint32_t maxEntries = 1u << layout.bitCount;
        if (colorsUsed > maxEntries) return TBitmapCheck::Invalid;
        layout.paletteEntries = colorsUsed ? colorsUsed : maxEntries;
        layout.paletteOffset = static_cast<uint32_t>(afterHeader);
        if (!Inside(afterHeader, uint64_t(layout.paletteEntries) * layout.paletteEntrySize, size))
            return TBitmapCheck::Invalid;
    }

    // The pixels may follow the palette at any distance but never overlap the
    // headers, and must lie wholly inside the file.
    if (bitsOffset < afterHeader || bitsOffset > size) return TBitmapCheck::Invalid;
    layout.bitsOffset = bitsOffset;
    const uint64_t available = size - bitsOffset;
    if (rle) {
        if (sizeImage > available) return TBitmapCheck::Invalid;
        layout.bitsSize = sizeImage ? sizeImage : available;
        if (layout.bitsSize < 2) return TBitmapCheck::Invalid;
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

bool CheckIconFile(const uint8_t* data, size_t size, int preferredSide, TIconImage& image)
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
        if (!CheckPngImage(p, bytes, candidate) && !CheckDibImage(p, bytes, candidate, bits))
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

// ---- Enhanced metafile --------------------------------------------------

namespace {

constexpr uint32_t EmrHeader = 1;
constexpr uint32_t EmrEof = 14;
constexpr uint32_t EnhMetaSignature = 0x464D4520;  // " EMF"
constexpr uint32_t MinEnhMetaHeaderSize = 80;
constexpr uint32_t EofRecordSize = 20;

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
    const uint32_t descriptionChars = U32(data + 64);
    const uint32_t descriptionOffset = U32(data + 68);
    if (descriptionChars && !Inside(descriptionOffset, uint64_t(descriptionChars) * 2, headerSize))
        return false;
    if (headerSize >= 88) {
        const uint32_t pixelFormatSize = U32(data + 80);
        const uint32_t pixelFormatOffset = U32(data + 84);
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
    info.bitsOffset = static_cast<uint32_t>(base);
    info.bitsSize = static_cast<uint32_t>(offset + 6);
    return true;
}
