#pragma once
// Writes .mo files for tests that need catalogs msgfmt would never make:
// chosen headers, and exact layouts to corrupt field by field.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TMoLayout {
    uint32_t count = 0;
    uint32_t originals = 0;     // offset of the originals' table
    uint32_t translations = 0;  // offset of the translations' table
    uint32_t hashSize = 0;
    uint32_t hashTable = 0;     // offset of the hash table
};

class TMoBuilder {
public:
    TMoBuilder& Add(const std::string& original, const std::string& translation);
    TMoBuilder& BigEndian(bool big = true);
    TMoBuilder& HashTable(bool with = true);
    // The file's bytes; the entries are sorted as msgfmt sorts them.
    std::string Build(TMoLayout* layout = nullptr) const;

private:
    std::vector<std::pair<std::string, std::string>> entries_;
    bool big_ = false;
    bool hash_ = true;
};

// A 32-bit word of a catalog, in the catalog's byte order.
uint32_t GetWord(const std::string& bytes, uint32_t offset, bool big);
void PutWord(std::string& bytes, uint32_t offset, uint32_t value, bool big);

// A catalog whose header is exactly `header`, with one entry "Apply".
std::string CatalogWithHeader(const std::string& header, const std::string& applyTranslation);
