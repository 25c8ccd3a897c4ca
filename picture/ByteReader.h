#pragma once
// The one reader of a picture file's bytes: little-endian fields at offsets
// into a block whose size it knows. A read that would leave the block gives
// 0, so a check that misjudged a length reads zeros, never memory outside
// the file.
#include <cstdint>

// True when [offset, offset + length) lies inside a block of `size` bytes.
inline bool Inside(uint64_t offset, uint64_t length, uint64_t size)
{
    return offset <= size && length <= size - offset;
}

class TByteReader {
public:
    TByteReader(const uint8_t* data, uint64_t size) : data_(data), size_(size) {}

    uint64_t Size() const { return size_; }
    bool Holds(uint64_t offset, uint64_t length) const { return Inside(offset, length, size_); }
    // The bytes from `offset` on (none when it lies past the end).
    TByteReader From(uint64_t offset) const
    {
        return offset <= size_ ? TByteReader(data_ + offset, size_ - offset) : TByteReader(data_, 0);
    }
    // At most `length` bytes from `offset`.
    TByteReader Part(uint64_t offset, uint64_t length) const
    {
        const TByteReader rest = From(offset);
        return TByteReader(rest.data_, length < rest.size_ ? length : rest.size_);
    }

    uint8_t U8(uint64_t at) const { return at < size_ ? data_[at] : 0; }
    uint16_t U16(uint64_t at) const
    {
        if (!Holds(at, 2)) return 0;
        return static_cast<uint16_t>(data_[at] | (data_[at + 1] << 8));
    }
    uint32_t U32(uint64_t at) const
    {
        if (!Holds(at, 4)) return 0;
        const uint8_t* p = data_ + at;
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    int16_t I16(uint64_t at) const { return static_cast<int16_t>(U16(at)); }
    int32_t I32(uint64_t at) const { return static_cast<int32_t>(U32(at)); }
    uint32_t U32BigEndian(uint64_t at) const
    {
        if (!Holds(at, 4)) return 0;
        const uint8_t* p = data_ + at;
        return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
               (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
    }
    // True when the block starts `at` with the `length` bytes of `text`.
    bool Matches(uint64_t at, const void* text, uint64_t length) const
    {
        if (!Holds(at, length)) return false;
        const uint8_t* expected = static_cast<const uint8_t*>(text);
        for (uint64_t i = 0; i < length; ++i)
            if (data_[at + i] != expected[i]) return false;
        return true;
    }

private:
    const uint8_t* data_;
    uint64_t size_;
};
