// The enhanced metafile's check: its header and every record it plays, so
// that no player reads past a record or indexes past the handle table.
#include "picture/Dib.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace picturecheck;

namespace {

constexpr uint32_t EmrHeader = 1;
constexpr uint32_t EmrEof = 14;
constexpr uint32_t EnhMetaSignature = 0x464D4520;  // " EMF"
constexpr uint32_t MinEnhMetaHeaderSize = 88;  // up to szlMillimeters
constexpr uint32_t EofRecordSize = 20;

// What records of each type read beyond their type and size: a minimum
// size in bytes, and for some a check of the counts, offsets and object
// indices they carry. Types not listed are ignored by players or read
// nothing more.
constexpr TRecordRule EmrMinSizes[] = {
    {10, 16}, {12, 16}, {13, 16}, {15, 20}, {16, 12}, {17, 12}, {18, 12},
    {19, 12}, {20, 12}, {21, 12}, {22, 12}, {23, 32}, {24, 12}, {25, 12}, {26, 16}, {27, 16},
    {29, 24}, {30, 24}, {34, 12}, {41, 28}, {42, 24},
    {43, 24}, {44, 32}, {45, 40}, {46, 40}, {47, 40}, {53, 20}, {54, 16}, {55, 40}, {57, 12},
    {58, 12}, {62, 24}, {63, 24}, {64, 24}, {67, 12}, {98, 12}, {104, 48}, {111, 24}, {115, 12},
    {120, 16},
};

// A bitmap given by offsets into its record: info [offInfo, +cbInfo) and
// pixels [offBits, +cbBits), of which `rows` rows (0: all) are read.
bool CheckEmrBitmap(const TByteReader& r, uint32_t usage, uint32_t offInfo, uint32_t cbInfo,
                    uint32_t offBits, uint32_t cbBits, uint64_t rows = 0)
{
    if (!r.Holds(offInfo, cbInfo) || !r.Holds(offBits, cbBits)) return false;
    uint64_t tableEnd = 0, pixelBytes = 0, rowBytes = 0;
    if (!CheckDibInfo(r.Part(offInfo, cbInfo), usage, tableEnd, pixelBytes, &rowBytes)) return false;
    if (rows && rowBytes) pixelBytes = std::min(pixelBytes, rows * rowBytes);
    return pixelBytes <= cbBits;
}

// A source bitmap that may be absent (no info and no pixels).
bool CheckOptionalEmrBitmap(const TByteReader& r, uint32_t usageAt, uint32_t fieldsAt)
{
    const uint32_t cbInfo = r.U32(fieldsAt + 4);
    if (cbInfo == 0) return true;
    return CheckEmrBitmap(r, r.U32(usageAt), r.U32(fieldsAt), cbInfo, r.U32(fieldsAt + 8), r.U32(fieldsAt + 12));
}

// Region data: a 32-byte header and its rectangles, inside [at, at + bytes).
bool CheckRegionData(const TByteReader& r, uint64_t at, uint32_t bytes)
{
    if (!r.Holds(at, bytes) || bytes < 32) return false;
    if (r.U32(at) != 32) return false;
    return 32 + uint64_t(r.U32(at + 8)) * 16 <= bytes;
}

// An XFORM: finite, of sane magnitude and invertible.
bool SoundTransform(const TByteReader& r, uint32_t at)
{
    float m[6];
    for (int i = 0; i < 6; ++i) {
        const uint32_t bits = r.U32(at + 4 * i);
        std::memcpy(&m[i], &bits, sizeof bits);
        if (!std::isfinite(m[i])) return false;
        if (std::fabs(m[i]) > (i < 4 ? 1e6f : 1e9f)) return false;
    }
    const double determinant = double(m[0]) * m[3] - double(m[1]) * m[2];
    return std::fabs(determinant) > 1e-12;
}

bool CheckEmrRecord(uint32_t type, const TByteReader& r, uint32_t handles)
{
    const uint64_t size = r.Size();
    const auto F = [&r](uint32_t at) { return r.U32(at); };
    const auto created = [handles](uint32_t ih) { return ih < handles; };
    const auto chosen = [handles](uint32_t ih) { return (ih & 0x80000000u) || ih < handles; };
    if (const TRecordRule* rule = FindRecordRule(EmrMinSizes, type)) return size >= rule->minimum;
    switch (type) {
    // Extents of 0 and singular or non-finite transforms make every later
    // coordinate infinite, which the players do not survive.
    case 9: case 11:  // SETWINDOWEXTEX, SETVIEWPORTEXTEX
        return size >= 16 && F(8) != 0 && F(12) != 0;
    case 31: case 32:  // SCALEVIEWPORTEXTEX, SCALEWINDOWEXTEX
        return size >= 24 && F(8) != 0 && F(12) != 0 && F(16) != 0 && F(20) != 0;
    case 35:  // SETWORLDTRANSFORM
        return size >= 32 && SoundTransform(r, 8);
    case 36:  // MODIFYWORLDTRANSFORM
        return size >= 36 && SoundTransform(r, 8);
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
        return size >= 16 && created(F(8)) && uint64_t(r.U16(14)) * 4 <= size - 16;
    case 50:  // SETPALETTEENTRIES
        return size >= 20 && created(F(8)) && uint64_t(F(16)) * 4 <= size - 20;
    case 51:  // RESIZEPALETTE
        return size >= 16 && created(F(8));
    case 82:  // EXTCREATEFONTINDIRECTW: a LOGFONTW at least
        return size >= 104 && created(F(8));
    case 93: case 94:  // CREATEMONOBRUSH, CREATEDIBPATTERNBRUSHPT
        return size >= 32 && created(F(8)) && CheckEmrBitmap(r, F(12), F(16), F(20), F(24), F(28));
    case 95:  // EXTCREATEPEN: an optional pattern, then the pen and its style entries
        if (size < 52 || !created(F(8)) || uint64_t(F(48)) * 4 > size - 52) return false;
        return F(16) == 0 || CheckEmrBitmap(r, 0, F(12), F(16), F(20), F(24));
    case 99: case 100: case 101: case 122:  // colour spaces
        return size >= 12 && created(F(8));
    case 71:  // FILLRGN
        return size >= 32 && created(F(28)) && CheckRegionData(r, 32, F(24));
    case 72:  // FRAMERGN
        return size >= 40 && created(F(28)) && CheckRegionData(r, 40, F(24));
    case 73: case 74:  // INVERTRGN, PAINTRGN
        return size >= 28 && CheckRegionData(r, 28, F(24));
    case 75:  // EXTSELECTCLIPRGN: no data resets the clipping
        return size >= 16 && (F(8) == 0 || CheckRegionData(r, 16, F(8)));
    case 76:  // BITBLT
        return size >= 100 && CheckOptionalEmrBitmap(r, 80, 84);
    case 77: case 114: case 116:  // STRETCHBLT, ALPHABLEND, TRANSPARENTBLT
        return size >= 108 && CheckOptionalEmrBitmap(r, 80, 84);
    case 78:  // MASKBLT: source and mask
        return size >= 128 && CheckOptionalEmrBitmap(r, 80, 84) && CheckOptionalEmrBitmap(r, 108, 112);
    case 79:  // PLGBLT: source and mask
        return size >= 140 && CheckOptionalEmrBitmap(r, 92, 96) && CheckOptionalEmrBitmap(r, 120, 124);
    case 80:  // SETDIBITSTODEVICE: only cScans rows are stored
        return size >= 76 && CheckEmrBitmap(r, F(64), F(48), F(52), F(56), F(60), std::max<uint32_t>(F(72), 1));
    case 81:  // STRETCHDIBITS
        return size >= 80 && CheckEmrBitmap(r, F(64), F(48), F(52), F(56), F(60));
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
    const TByteReader file(data, size);
    if (size < MinEnhMetaHeaderSize || size > MaxPictureFileSize) return false;
    const uint32_t headerSize = file.U32(4);
    if (file.U32(0) != EmrHeader || headerSize < MinEnhMetaHeaderSize || headerSize % 4 ||
        headerSize > size)
        return false;
    if (file.U32(40) != EnhMetaSignature) return false;
    const uint32_t bytes = file.U32(48);
    if (bytes < headerSize || bytes > size || bytes % 4) return false;
    const uint16_t handles = file.U16(56);
    if (handles == 0) return false;  // slot 0 is the metafile's own
    const uint32_t descriptionChars = file.U32(60);
    const uint32_t descriptionOffset = file.U32(64);
    if (descriptionChars && !Inside(descriptionOffset, uint64_t(descriptionChars) * 2, headerSize))
        return false;
    // The reference device's size in pixels and millimetres scales playback:
    // a zero there would be a division by zero in the player.
    for (int field = 72; field < 88; field += 4)
        if (file.I32(field) <= 0) return false;
    if (headerSize >= 100) {
        const uint32_t pixelFormatSize = file.U32(88);
        const uint32_t pixelFormatOffset = file.U32(92);
        if (pixelFormatSize && !Inside(pixelFormatOffset, pixelFormatSize, headerSize)) return false;
    }
    info.frameLeft = file.I32(24);
    info.frameTop = file.I32(28);
    info.frameRight = file.I32(32);
    info.frameBottom = file.I32(36);
    if (info.frameRight < info.frameLeft || info.frameBottom < info.frameTop) return false;

    // Walk the records: each at least 8 bytes, a multiple of 4, inside the
    // metafile; the last is the end-of-file record, ending exactly at nBytes.
    uint64_t offset = headerSize;
    while (true) {
        if (!Inside(offset, 8, bytes)) return false;
        const uint32_t type = file.U32(offset);
        const uint32_t recordSize = file.U32(offset + 4);
        if (recordSize < 8 || recordSize % 4 || !Inside(offset, recordSize, bytes)) return false;
        if (type == EmrHeader) return false;
        if (type != EmrEof && !CheckEmrRecord(type, file.Part(offset, recordSize), handles)) return false;
        if (type == EmrEof) {
            if (recordSize < EofRecordSize || offset + recordSize != bytes) return false;
            const uint32_t paletteEntries = file.U32(offset + 8);
            const uint32_t paletteOffset = file.U32(offset + 12);
            if (paletteEntries && !Inside(paletteOffset, uint64_t(paletteEntries) * 4, recordSize))
                return false;
            break;
        }
        offset += recordSize;
    }
    info.bytes = bytes;
    return true;
}

