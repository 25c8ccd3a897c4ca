#pragma once
// A reader of GNU .mo message catalogs, written for this program because the
// target carries no libintl. Knows no window and no file system: it is handed
// the file's bytes and checks every offset in them before it trusts one.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TMoCatalog {
public:
    // Parses a whole catalog file. Gives nothing (and `why`, when asked, a
    // short reason) when the bytes are not a well-formed .mo file.
    static std::optional<TMoCatalog> Parse(std::string bytes, std::string* why = nullptr);

    // The translation of `key`: the hash table when the file has one, else a
    // binary search over the sorted originals (also where the hash table
    // proves broken). An original with a plural form
    // ("msgid\0msgid_plural") matches on its singular; a plural translation
    // gives its first form.
    std::optional<std::string_view> Lookup(std::string_view key) const;
    std::optional<std::string_view> LookupByHash(std::string_view key) const;
    std::optional<std::string_view> LookupBySearch(std::string_view key) const;

    bool HasHashTable() const { return hashSize_ > 2; }
    uint32_t Count() const { return count_; }
    // Entry i's strings up to their first NUL (singular forms).
    std::string_view Original(uint32_t i) const;
    std::string_view Translation(uint32_t i) const;
    // The catalog's header: the translation of the empty original, or empty.
    std::string_view Header() const;

    // GNU gettext's string hash (the PJW variant it uses for .mo files).
    static uint32_t HashString(std::string_view text);

private:
    TMoCatalog() = default;
    uint32_t Word(uint64_t offset) const;
    std::string_view Entry(uint32_t table, uint32_t i) const;

    std::string bytes_;
    bool swap_ = false;
    uint32_t count_ = 0;
    uint32_t originals_ = 0;
    uint32_t translations_ = 0;
    uint32_t hashSize_ = 0;
    uint32_t hashTable_ = 0;
};
