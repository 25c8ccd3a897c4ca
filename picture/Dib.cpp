// The device-independent bitmap's info header and colour table, checked
// once for the bitmap file and the metafile records that carry a DIB.
#include "picture/Dib.h"

namespace picturecheck {

namespace {

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

bool ValidBitCount(uint16_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

uint64_t RowStride(uint64_t width, uint64_t bits) { return ((width * bits + 31) / 32) * 4; }

bool KnownInfoHeaderSize(uint32_t size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool ReadDibHeader(const TByteReader& info, uint32_t headerSize, TDibHeader& header)
{
    header = TDibHeader();
    int64_t width, height;
    uint16_t planes;
    if (headerSize == 12) {
        width = info.U16(4);
        height = info.U16(6);
        planes = info.U16(8);
        header.bitCount = info.U16(10);
        if (header.bitCount == 16 || header.bitCount == 32) return false;
    } else {
        width = info.I32(4);
        height = info.I32(8);
        planes = info.U16(12);
        header.bitCount = info.U16(14);
        header.compression = info.U32(16);
        header.sizeImage = info.U32(20);
        header.colorsUsed = info.U32(32);
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

bool CheckDibInfo(const TByteReader& info, uint32_t usage, uint64_t& tableEnd, uint64_t& pixelBytes,
                  uint64_t* rowBytes)
{
    if (usage > 1 || info.Size() < 4) return false;
    const uint32_t headerSize = info.U32(0);
    if (!KnownInfoHeaderSize(headerSize) || headerSize > info.Size()) return false;
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
    if (tableEnd > info.Size()) return false;
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

bool CheckPackedDib(const TByteReader& dib, uint32_t usage)
{
    uint64_t tableEnd = 0, pixelBytes = 0;
    if (!CheckDibInfo(dib, usage, tableEnd, pixelBytes)) return false;
    return dib.Holds(tableEnd, pixelBytes);
}

}  // namespace picturecheck
