// The Windows metafile's check: the placeable header, the metafile header
// and every record it plays.
#include "picture/Dib.h"

#include <algorithm>

using namespace picturecheck;

namespace {

constexpr uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr uint32_t PlaceableHeaderSize = 22;
constexpr uint32_t MetaHeaderSize = 18;  // 9 words
constexpr uint16_t MetaSetWindowExt = 0x020C;

// What a record of each function reads from its parameters, so that no
// player reads past its record or indexes past the object table. Functions
// not listed read nothing of their parameters (or are not played at all).
// The minimum is in parameter words.
constexpr TRecordRule FixedMetaRecords[] = {
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

// `p` holds the record's parameters: `words` of them, and `tail` bytes
// from there to the end of the whole metafile.
bool CheckMetaRecord(uint16_t function, const TByteReader& p, uint64_t words, uint64_t tail, uint16_t objects)
{
    const auto P = [&p](uint64_t i) { return p.U16(2 * i); };
    const auto object = [objects](uint16_t index) { return index < objects; };
    const uint64_t bytes = words * 2;
    if (const TRecordRule* rule = FindRecordRule(FixedMetaRecords, function)) return words >= rule->minimum;
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
        return words >= 11 && CheckPackedDib(p.From(22), P(2));
    case 0x0B41:  // DIBSTRETCHBLT
        return words >= 10 && CheckPackedDib(p.From(20), 0);
    case 0x0940:  // DIBBITBLT, without a bitmap when the source was none
        if (words <= 9) return words == 9;
        return CheckPackedDib(p.From(16), 0);
    case 0x0D33:  // SETDIBTODEV
        return words >= 9 && CheckPackedDib(p.From(18), P(0));
    case 0x0142:  // DIBCREATEPATTERNBRUSH
        return words >= 2 && CheckPackedDib(p.From(4), P(1) ? 1 : 0);
    case 0x01F9:  // CREATEPATTERNBRUSH
        if (words < 2) return false;
        if (P(0) == 5) return CheckPackedDib(p.From(4), P(1));  // BS_DIBPATTERN
        if (P(0) != 3) return true;                                   // not played
        return words >= 24 && DdbFits(p.U32(8), p.U32(12), P(8), P(9), bytes - 48);
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
    const TByteReader file(data, size);
    if (size > MaxPictureFileSize) return false;
    uint64_t base = 0;
    if (size >= 4 && file.U32(0) == PlaceableKey) {
        if (size < PlaceableHeaderSize) return false;
        uint16_t checksum = 0;
        for (int i = 0; i < 10; ++i) checksum ^= file.U16(2 * i);
        if (checksum != file.U16(20)) return false;
        info.placeable = true;
        info.left = file.I16(6);
        info.top = file.I16(8);
        info.right = file.I16(10);
        info.bottom = file.I16(12);
        info.unitsPerInch = file.U16(14);
        if (info.unitsPerInch == 0) return false;
        base = PlaceableHeaderSize;
    }
    if (!file.Holds(base, MetaHeaderSize)) return false;
    const TByteReader header = file.From(base);
    const uint16_t type = header.U16(0);
    const uint16_t headerWords = header.U16(2);
    const uint16_t version = header.U16(4);
    const uint64_t bytes = uint64_t(header.U32(6)) * 2;
    if ((type != 1 && type != 2) || headerWords != MetaHeaderSize / 2) return false;
    if (version != 0x100 && version != 0x300) return false;
    if (bytes < MetaHeaderSize + 6 || !file.Holds(base, bytes)) return false;
    const uint16_t objects = header.U16(10);

    // Records: a size in words (at least the 3 of size and function), then
    // the function; the end record is function 0 of 3 words.
    uint64_t offset = MetaHeaderSize;
    while (true) {
        if (!Inside(offset, 6, bytes)) return false;
        const uint64_t recordBytes = uint64_t(header.U32(offset)) * 2;
        const uint16_t function = header.U16(offset + 4);
        if (recordBytes < 6 || !Inside(offset, recordBytes, bytes)) return false;
        info.maxRecordWords = std::max(info.maxRecordWords, static_cast<uint32_t>(recordBytes / 2));
        if (function == 0) {
            if (recordBytes != 6) return false;
            break;
        }
        if (function == MetaSetWindowExt && recordBytes >= 10 && !info.windowExtX) {
            info.windowExtY = header.I16(offset + 6);
            info.windowExtX = header.I16(offset + 8);
        }
        offset += recordBytes;
    }
    const uint64_t end = offset + 6;

    // Now that the metafile's end is known, what each record reads.
    for (uint64_t at = MetaHeaderSize; at + 6 < end;) {
        const uint64_t recordBytes = uint64_t(header.U32(at)) * 2;
        if (!CheckMetaRecord(header.U16(at + 4), header.Part(at + 6, recordBytes - 6), recordBytes / 2 - 3,
                             end - at - 6, objects))
            return false;
        at += recordBytes;
    }
    info.bitsOffset = static_cast<uint32_t>(base);
    info.bitsSize = static_cast<uint32_t>(end);
    return true;
}
