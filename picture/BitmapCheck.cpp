// The .bmp file's check and the bitmap decoder.
#include "picture/Dib.h"

#include <algorithm>

using namespace picturecheck;

namespace {

constexpr uint32_t BitmapFileHeaderSize = 14;

}  // namespace

TBitmapCheck CheckBitmapFile(const uint8_t* data, size_t size, TBitmapLayout& layout)
{
    layout = TBitmapLayout();
    const TByteReader file(data, size);
    if (size < BitmapFileHeaderSize) return TBitmapCheck::TooShort;
    if (file.U8(0) != 'B' || file.U8(1) != 'M') return TBitmapCheck::NotBitmap;
    if (size > MaxPictureFileSize) return TBitmapCheck::Invalid;

    const uint32_t bitsOffset = file.U32(10);
    const TByteReader info = file.From(BitmapFileHeaderSize);
    if (!file.Holds(BitmapFileHeaderSize, 4)) return TBitmapCheck::Invalid;
    const uint32_t infoSize = info.U32(0);
    if (!KnownInfoHeaderSize(infoSize) || !file.Holds(BitmapFileHeaderSize, infoSize))
        return TBitmapCheck::Invalid;

    if (!ReadDibHeader(info, infoSize, layout)) return TBitmapCheck::Invalid;
    if (infoSize == 12) layout.paletteEntrySize = 3;
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
        uint64_t masks;
        if (infoSize >= 52) {
            masks = BitmapFileHeaderSize + 40;
            if (maskCount == 4 && infoSize < 56) return TBitmapCheck::Invalid;
        } else {
            if (!file.Holds(afterHeader, 4u * maskCount)) return TBitmapCheck::Invalid;
            masks = afterHeader;
            afterHeader += 4u * maskCount;
        }
        for (int i = 0; i < maskCount; ++i) layout.masks[i] = file.U32(masks + 4 * i);
        if (layout.bitCount == 16)
            for (uint32_t& m : layout.masks) m &= 0xFFFF;
    }

    if (layout.bitCount <= 8) {
        layout.paletteEntries = layout.colorsUsed ? layout.colorsUsed : 1u << layout.bitCount;
        layout.paletteOffset = static_cast<uint32_t>(afterHeader);
        if (!file.Holds(afterHeader, uint64_t(layout.paletteEntries) * layout.paletteEntrySize))
            return TBitmapCheck::Invalid;
    }

    // Above 8 bits a colour table is optional and unused here, but one that
    // is declared must lie before the pixels like any other.
    const uint64_t tableEnd = layout.bitCount <= 8
                                  ? afterHeader + uint64_t(layout.paletteEntries) * layout.paletteEntrySize
                                  : afterHeader + uint64_t(layout.colorsUsed) * 4;
    // The pixels may follow the palette at any distance but never overlap the
    // headers, and must lie wholly inside the file.
    if (bitsOffset < tableEnd || bitsOffset > size) return TBitmapCheck::Invalid;
    layout.bitsOffset = bitsOffset;
    const uint64_t available = size - bitsOffset;
    if (rle) {
        if (layout.sizeImage > available) return TBitmapCheck::Invalid;
        layout.bitsSize = layout.sizeImage ? layout.sizeImage : available;
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

// The palette's first 256 colours as 0x00RRGGBB; an index past the palette
// shows black.
void ReadPalette(const TByteReader& file, const TBitmapLayout& layout, uint32_t (&palette)[256])
{
    for (uint32_t i = 0; i < layout.paletteEntries && i < 256; ++i) {
        const uint64_t e = layout.paletteOffset + uint64_t(i) * layout.paletteEntrySize;
        palette[i] = (uint32_t(file.U8(e + 2)) << 16) | (uint32_t(file.U8(e + 1)) << 8) | file.U8(e);
    }
}

void DecodeRows(const TByteReader& file, const TBitmapLayout& layout, uint32_t* dest)
{
    const uint64_t stride = RowStride(layout.width, layout.bitCount);
    const TChannel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]);
    uint32_t palette[256] = {};
    ReadPalette(file, layout, palette);
    for (int32_t y = 0; y < layout.height; ++y) {
        const TByteReader row = file.Part(layout.bitsOffset + stride * uint64_t(y), stride);
        const int32_t destY = layout.topDown ? y : layout.height - 1 - y;
        uint32_t* out = dest + uint64_t(destY) * uint64_t(layout.width);
        for (int32_t x = 0; x < layout.width; ++x) {
            uint32_t pixel;
            switch (layout.bitCount) {
            case 1: pixel = palette[(row.U8(x >> 3) >> (7 - (x & 7))) & 1]; break;
            case 4: pixel = palette[(row.U8(x >> 1) >> ((x & 1) ? 0 : 4)) & 0xF]; break;
            case 8: pixel = palette[row.U8(x)]; break;
            case 24: {
                const uint64_t p = 3 * uint64_t(x);
                pixel = (uint32_t(row.U8(p + 2)) << 16) | (uint32_t(row.U8(p + 1)) << 8) | row.U8(p);
                break;
            }
            default: {
                const uint32_t raw = layout.bitCount == 16 ? row.U16(2 * uint64_t(x)) : row.U32(4 * uint64_t(x));
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
bool DecodeRle(const TByteReader& file, const TBitmapLayout& layout, uint32_t* dest)
{
    const bool four = layout.compression == BmpRle4;
    uint32_t palette[256] = {};
    ReadPalette(file, layout, palette);
    std::fill(dest, dest + uint64_t(layout.width) * uint64_t(layout.height), palette[0]);

    const TByteReader stream = file.Part(layout.bitsOffset, layout.bitsSize);
    const uint64_t end = stream.Size();
    uint64_t p = 0;
    int64_t x = 0, y = 0;  // y counts rows from the bottom
    auto put = [&](uint32_t index) {
        if (x >= 0 && x < layout.width && y >= 0 && y < layout.height)
            dest[uint64_t(layout.height - 1 - y) * uint64_t(layout.width) + uint64_t(x)] = palette[index & 0xFF];
        ++x;
    };
    while (end - p >= 2 && y < layout.height) {
        const uint8_t count = stream.U8(p);
        const uint8_t value = stream.U8(p + 1);
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
            x += stream.U8(p);
            y += stream.U8(p + 1);
            p += 2;
            break;
        default: {
            const uint64_t bytes = four ? (uint64_t(value) + 1) / 2 : value;
            const uint64_t padded = (bytes + 1) & ~uint64_t(1);
            if (end - p < bytes) return false;
            for (int i = 0; i < value; ++i) {
                const uint8_t b = stream.U8(p + (four ? i / 2 : i));
                put(four ? ((i & 1) ? (b & 0xF) : (b >> 4)) : b);
            }
            p += std::min<uint64_t>(padded, end - p);
            break;
        }
        }
    }
    return true;
}

}  // namespace

bool DecodeBitmap(const uint8_t* data, size_t size, const TBitmapLayout& layout, uint32_t* dest)
{
    const TByteReader file(data, size);
    // The layout came from CheckBitmapFile on these bytes; guard the one
    // assumption everything below rests on anyway.
    if (!file.Holds(layout.bitsOffset, layout.bitsSize)) return false;
    if (layout.compression == BmpRle8 || layout.compression == BmpRle4)
        return DecodeRle(file, layout, dest);
    DecodeRows(file, layout, dest);
    return true;
}
