// The .ico file's check: its directory, each image's header, and the choice
// of the image to show.
#include "picture/Dib.h"

#include <cstdint>

using namespace picturecheck;

namespace {

constexpr uint32_t IconDirSize = 6;
constexpr uint32_t IconDirEntrySize = 16;
constexpr int32_t MaxIconSide = 1024;

bool CheckPngImage(const TByteReader& p, TIconImage& image)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    // Signature, then the IHDR chunk: length, type, 13 bytes, CRC.
    if (p.Size() < 8 + 8 + 13 + 4 || !p.Matches(0, signature, 8)) return false;
    if (p.U32BigEndian(8) != 13 || !p.Matches(12, "IHDR", 4)) return false;
    const uint32_t width = p.U32BigEndian(16);
    const uint32_t height = p.U32BigEndian(20);
    const uint8_t depth = p.U8(24), colorType = p.U8(25);
    if (width == 0 || height == 0 || width > MaxIconSide || height > MaxIconSide) return false;
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16) return false;
    if (colorType != 0 && colorType != 2 && colorType != 3 && colorType != 4 && colorType != 6)
        return false;
    if (p.U8(26) != 0 || p.U8(27) != 0 || p.U8(28) > 1) return false;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.png = true;
    return true;
}

// An icon image proper: an info header, the colour table, the colour
// (XOR) bits and the 1-bit transparency (AND) mask, both bottom-up.
bool CheckDibImage(const TByteReader& p, TIconImage& image, uint16_t& bitCount)
{
    if (p.Size() < 40) return false;
    const uint32_t headerSize = p.U32(0);
    if (headerSize != 40 && headerSize != 108 && headerSize != 124) return false;
    if (headerSize > p.Size()) return false;
    const int32_t width = p.I32(4);
    const int32_t doubleHeight = p.I32(8);
    const uint16_t planes = p.U16(12);
    bitCount = p.U16(14);
    const uint32_t compression = p.U32(16);
    const uint32_t colorsUsed = p.U32(32);
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
    if (needed > p.Size()) return false;
    image.width = width;
    image.height = height;
    image.png = false;
    return true;
}

}  // namespace

bool CheckIconFile(const uint8_t* data, size_t size, int preferredSide, bool pngDecodable, TIconImage& image)
{
    image = TIconImage();
    const TByteReader file(data, size);
    if (size < IconDirSize || size > MaxPictureFileSize) return false;
    if (file.U16(0) != 0 || file.U16(2) != 1) return false;
    const uint32_t count = file.U16(4);
    if (count == 0) return false;
    const uint64_t directoryEnd = IconDirSize + uint64_t(count) * IconDirEntrySize;
    if (directoryEnd > size) return false;

    bool found = false;
    uint16_t bestBits = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t entry = IconDirSize + uint64_t(i) * IconDirEntrySize;
        const uint32_t bytes = file.U32(entry + 8);
        const uint32_t offset = file.U32(entry + 12);
        // Every image must lie in the file after the directory, or the
        // directory itself is not to be trusted.
        if (offset < directoryEnd || !file.Holds(offset, bytes)) return false;

        TIconImage candidate;
        uint16_t bits = 32;
        const TByteReader p = file.Part(offset, bytes);
        const bool png = CheckPngImage(p, candidate);
        if (png ? !pngDecodable : !CheckDibImage(p, candidate, bits))
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
