#include "MoCatalog.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr uint32_t kMagic = 0x950412DEu;
constexpr uint32_t kSwappedMagic = 0xDE120495u;
constexpr uint64_t kHeaderSize = 28;

uint32_t Swap(uint32_t v)
{
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

uint32_t ReadLittle(const std::string& bytes, uint64_t offset)
{
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    // The host order is fixed per build; normalise to little-endian reading.
    const uint16_t probe = 1;
    if (*reinterpret_cast<const unsigned char*>(&probe) == 0)
        v = Swap(v);
    return v;
}

bool Fail(std::string* why, const char* reason)
{
    if (why)
        *why = reason;
    return false;
}

// The part of an original or a translation up to its first NUL.
std::string_view Singular(std::string_view s)
{
    size_t nul = s.find('\0');
    return nul == std::string_view::npos ? s : s.substr(0, nul);
}
}  // namespace

uint32_t TMoCatalog::HashString(std::string_view text)
{
    uint32_t hval = 0;
    for (unsigned char c : text) {
        if (c == 0)
            break;
        hval = (hval << 4) + c;
        uint32_t g = hval & 0xF0000000u;
        if (g != 0) {
            hval ^= g >> 24;
            hval ^= g;
        }
    }
    return hval;
}

uint32_t TMoCatalog::Word(uint64_t offset) const
{
    uint32_t v = ReadLittle(bytes_, offset);
    return swap_ ? Swap(v) : v;
}

std::string_view TMoCatalog::Entry(uint32_t table, uint32_t i) const
{
    // Checked in Parse for every i < count_: offset + length + 1 <= size and
    // a NUL at offset + length.
    uint64_t at = uint64_t(table) + uint64_t(i) * 8;
    return std::string_view(bytes_.data() + Word(at + 4), Word(at));
}

std::string_view TMoCatalog::Original(uint32_t i) const
{
    return Singular(Entry(originals_, i));
}

std::string_view TMoCatalog::Translation(uint32_t i) const
{
    return Singular(Entry(translations_, i));
}

std::optional<TMoCatalog> TMoCatalog::Parse(std::string bytes, std::string* why)
{
    TMoCatalog cat;
    cat.bytes_ = std::move(bytes);
    const uint64_t size = cat.bytes_.size();
    if (size < kHeaderSize) {
        Fail(why, "shorter than a catalog header");
        return std::nullopt;
    }
    uint32_t magic = ReadLittle(cat.bytes_, 0);
    if (magic == kSwappedMagic)
        cat.swap_ = true;
    else if (magic != kMagic) {
        Fail(why, "no catalog magic number");
        return std::nullopt;
    }
    // Only the major revision tells an incompatible layout; GNU knows 0 and 1.
    if ((cat.Word(4) >> 16) > 1) {
        Fail(why, "unknown major revision");
        return std::nullopt;
    }
    cat.count_ = cat.Word(8);
    cat.originals_ = cat.Word(12);
    cat.translations_ = cat.Word(16);
    cat.hashSize_ = cat.Word(20);
    cat.hashTable_ = cat.Word(24);

    const uint64_t tableBytes = uint64_t(cat.count_) * 8;
    if (uint64_t(cat.originals_) + tableBytes > size || uint64_t(cat.translations_) + tableBytes > size) {
        Fail(why, "string table past the end of the file");
        return std::nullopt;
    }
    for (uint32_t table : {cat.originals_, cat.translations_}) {
        for (uint32_t i = 0; i < cat.count_; ++i) {
            uint64_t at = uint64_t(table) + uint64_t(i) * 8;
            uint64_t length = cat.Word(at);
            uint64_t offset = cat.Word(at + 4);
            if (offset + length + 1 > size) {
                Fail(why, "string past the end of the file");
                return std::nullopt;
            }
            if (cat.bytes_[offset + length] != '\0') {
                Fail(why, "string without its terminating NUL");
                return std::nullopt;
            }
        }
    }
    if (cat.hashSize_ > 2) {
        if (uint64_t(cat.hashTable_) + uint64_t(cat.hashSize_) * 4 > size) {
            Fail(why, "hash table past the end of the file");
            return std::nullopt;
        }
        for (uint32_t i = 0; i < cat.hashSize_; ++i) {
            if (cat.Word(uint64_t(cat.hashTable_) + uint64_t(i) * 4) > cat.count_) {
                Fail(why, "hash entry past the string tables");
                return std::nullopt;
            }
        }
    }
    return cat;
}

std::optional<std::string_view> TMoCatalog::Lookup(std::string_view key) const
{
    return HasHashTable() ? LookupByHash(key) : LookupBySearch(key);
}

std::optional<std::string_view> TMoCatalog::LookupByHash(std::string_view key) const
{
    // A key with a NUL inside can never equal an original's singular part.
    if (!HasHashTable() || key.find('\0') != std::string_view::npos)
        return std::nullopt;
    const uint32_t hash = HashString(key);
    uint32_t idx = hash % hashSize_;
    const uint32_t incr = 1 + (hash % (hashSize_ - 2));
    // A valid table names each of the count_ entries at most once, so a probe
    // meets an empty slot or the key within count_ + 1 slots. One that does
    // not is walking a broken table (a hostile one can fill millions of slots
    // with the same entry): stop there and let the sorted originals answer,
    // which keeps a catalog whose strings are sound translating.
    const uint64_t bound = std::min<uint64_t>(hashSize_, uint64_t(count_) + 1);
    for (uint64_t step = 0; step < bound; ++step) {
        uint32_t entry = Word(uint64_t(hashTable_) + uint64_t(idx) * 4);
        if (entry == 0)
            return std::nullopt;
        if (Original(entry - 1) == key)
            return Translation(entry - 1);
        idx = idx >= hashSize_ - incr ? idx - (hashSize_ - incr) : idx + incr;
    }
    return LookupBySearch(key);
}

std::optional<std::string_view> TMoCatalog::LookupBySearch(std::string_view key) const
{
    if (key.find('\0') != std::string_view::npos)
        return std::nullopt;
    uint32_t bottom = 0;
    uint32_t top = count_;
    while (bottom < top) {
        uint32_t mid = bottom + (top - bottom) / 2;
        int cmp = key.compare(Original(mid));
        if (cmp == 0)
            return Translation(mid);
        if (cmp < 0)
            top = mid;
        else
            bottom = mid + 1;
    }
    return std::nullopt;
}

std::string_view TMoCatalog::Header() const
{
    return Lookup("").value_or(std::string_view());
}
