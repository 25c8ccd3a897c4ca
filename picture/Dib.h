#pragma once
// The device-independent bitmap's headers as every picture kind carries
// them: in a .bmp file, in an icon's images and inside metafile records.
// Internal to the picture checks.
#include "picture/ByteReader.h"
#include "picture/PictureCheck.h"

#include <cstddef>
#include <cstdint>

namespace picturecheck {

bool ValidBitCount(uint16_t bits);
// Bytes of one pixel row, padded to 32 bits as every DIB row is.
uint64_t RowStride(uint64_t width, uint64_t bits);
bool KnownInfoHeaderSize(uint32_t size);

// Reads and checks an info header of a known size whose bytes are all
// there: one plane, a bit count and compression that go together, a size
// within the caps, and no more colours than the bits can index.
bool ReadDibHeader(const TByteReader& info, uint32_t headerSize, TDibHeader& header);

// A DIB's info header and colour table, as metafile records carry them: the
// table's entries are colours (usage 0) or 16-bit palette indices (usage 1).
// Gives where the table ends and how many bytes the pixels need.
bool CheckDibInfo(const TByteReader& info, uint32_t usage, uint64_t& tableEnd, uint64_t& pixelBytes,
                  uint64_t* rowBytes = nullptr);

// A DIB with its pixels right after its colour table, all within `dib`.
bool CheckPackedDib(const TByteReader& dib, uint32_t usage);

// What a metafile record of one type reads at the least (in the unit its
// format counts records in); types without a rule are checked one by one.
struct TRecordRule {
    uint32_t type;
    uint32_t minimum;
};

// The rule for `type` in `rules`, or null when it has none.
template <size_t N>
const TRecordRule* FindRecordRule(const TRecordRule (&rules)[N], uint32_t type)
{
    for (const TRecordRule& rule : rules)
        if (rule.type == type) return &rule;
    return nullptr;
}

}  // namespace picturecheck
