#include "MoBuilder.h"

#include "i18n/MoCatalog.h"

#include <algorithm>

namespace {
bool IsPrime(uint32_t n)
{
    if (n < 2)
        return false;
    for (uint32_t d = 2; d * d <= n; ++d)
        if (n % d == 0)
            return false;
    return true;
}
}  // namespace

uint32_t GetWord(const std::string& bytes, uint32_t offset, bool big)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        uint32_t byte = static_cast<unsigned char>(bytes.at(offset + i));
        v |= big ? byte << (8 * (3 - i)) : byte << (8 * i);
    }
    return v;
}

void PutWord(std::string& bytes, uint32_t offset, uint32_t value, bool big)
{
    for (int i = 0; i < 4; ++i) {
        int shift = big ? 8 * (3 - i) : 8 * i;
        bytes.at(offset + i) = static_cast<char>((value >> shift) & 0xFF);
    }
}

TMoBuilder& TMoBuilder::Add(const std::string& original, const std::string& translation)
{
    entries_.emplace_back(original, translation);
    return *this;
}

TMoBuilder& TMoBuilder::BigEndian(bool big)
{
    big_ = big;
    return *this;
}

TMoBuilder& TMoBuilder::HashTable(bool with)
{
    hash_ = with;
    return *this;
}

std::string TMoBuilder::Build(TMoLayout* layoutOut) const
{
    auto entries = entries_;
    std::sort(entries.begin(), entries.end());
    TMoLayout layout;
    layout.count = static_cast<uint32_t>(entries.size());
    layout.originals = 28;
    layout.translations = layout.originals + 8 * layout.count;
    if (hash_) {
        layout.hashSize = std::max<uint32_t>(3, layout.count * 4 / 3);
        while (!IsPrime(layout.hashSize))
            ++layout.hashSize;
    }
    layout.hashTable = layout.translations + 8 * layout.count;
    uint32_t stringsAt = layout.hashTable + 4 * layout.hashSize;

    std::string bytes(stringsAt, '\0');
    PutWord(bytes, 0, 0x950412DEu, big_);
    PutWord(bytes, 8, layout.count, big_);
    PutWord(bytes, 12, layout.originals, big_);
    PutWord(bytes, 16, layout.translations, big_);
    PutWord(bytes, 20, layout.hashSize, big_);
    PutWord(bytes, 24, layout.hashTable, big_);
    for (int pass = 0; pass < 2; ++pass) {
        uint32_t table = pass == 0 ? layout.originals : layout.translations;
        for (uint32_t i = 0; i < layout.count; ++i) {
            const std::string& s = pass == 0 ? entries[i].first : entries[i].second;
            PutWord(bytes, table + 8 * i, static_cast<uint32_t>(s.size()), big_);
            PutWord(bytes, table + 8 * i + 4, static_cast<uint32_t>(bytes.size()), big_);
            bytes += s;
            bytes += '\0';
        }
    }
    for (uint32_t i = 0; i < layout.count && hash_; ++i) {
        uint32_t hash = TMoCatalog::HashString(entries[i].first);
        uint32_t idx = hash % layout.hashSize;
        uint32_t incr = 1 + hash % (layout.hashSize - 2);
        while (GetWord(bytes, layout.hashTable + 4 * idx, big_) != 0)
            idx = (idx + incr) % layout.hashSize;
        PutWord(bytes, layout.hashTable + 4 * idx, i + 1, big_);
    }
    if (layoutOut)
        *layoutOut = layout;
    return bytes;
}

std::string CatalogWithHeader(const std::string& header, const std::string& applyTranslation)
{
    return TMoBuilder().Add("", header).Add("Apply", applyTranslation).Build();
}
