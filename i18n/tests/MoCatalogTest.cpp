#include "MoBuilder.h"
#include "i18n/MoCatalog.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <libintl.h>
#include <locale.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {
std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

const char* const kVariants[] = {"little", "big", "little-nohash", "big-nohash"};

std::string TestCatalog(const std::string& po, const std::string& variant)
{
    std::string bytes = ReadFile(std::string(TEST_MO_DIR) + "/" + po + "-" + variant + ".mo");
    EXPECT_FALSE(bytes.empty()) << po << "-" << variant << ".mo was not built";
    return bytes;
}

std::string Found(const TMoCatalog& catalog, std::string_view key)
{
    auto found = catalog.Lookup(key);
    return found ? std::string(*found) : std::string("<miss>");
}
}  // namespace

TEST(MoCatalogMsgfmt, FindsEveryShapeOfEntryInEveryLayout)
{
    struct {
        std::string key;
        std::string expected;
    } const cases[] = {
        {"Apply", "Übernehmen"},
        {"Remove All OEM Info", "Alle OEM-Infos entfernen"},
        {"First line\nSecond line", "Erste Zeile\nZweite Zeile"},
        {"Größe", "Size"},
        {"%d file", "%d Datei"},          // a plural entry, found by its singular
        {"%d files", "<miss>"},           // never by its plural
        {"menu\x04Open", "Öffnen (Menü)"}, // a context entry, by its full key
        {"Open", "Öffnen"},
        {"Same", "Same"},
        {"Appl", "<miss>"},
        {"Applyx", "<miss>"},
        {std::string("Apply\0x", 7), "<miss>"},
        {"zzz", "<miss>"},
        {"", "Project-Id-Version: sample\nMIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n"
             "Content-Transfer-Encoding: 8bit\nPlural-Forms: nplurals=2; plural=(n != 1);\n"},
    };
    for (const char* variant : kVariants) {
        SCOPED_TRACE(variant);
        std::string why;
        auto catalog = TMoCatalog::Parse(TestCatalog("sample", variant), &why);
        ASSERT_TRUE(catalog) << why;
        EXPECT_EQ(std::string(variant).find("nohash") == std::string::npos, catalog->HasHashTable());
        EXPECT_EQ(11u, catalog->Count());
        for (const auto& c : cases)
            EXPECT_EQ(c.expected, Found(*catalog, c.key)) << "key: " << c.key;
        EXPECT_EQ(std::string(catalog->Lookup("").value()), std::string(catalog->Header()));
    }
}

TEST(MoCatalogMsgfmt, HashAndSearchAgreeOnEveryKeyOfALargeCatalog)
{
    for (const char* variant : {"little", "big"}) {
        SCOPED_TRACE(variant);
        auto catalog = TMoCatalog::Parse(TestCatalog("many", variant));
        ASSERT_TRUE(catalog);
        ASSERT_TRUE(catalog->HasHashTable());
        ASSERT_EQ(601u, catalog->Count());
        for (int i = 1; i <= 600; ++i) {
            std::string key = "key " + std::to_string(i);
            auto byHash = catalog->LookupByHash(key);
            ASSERT_TRUE(byHash) << key;
            EXPECT_EQ("value " + std::to_string(i), std::string(*byHash));
            EXPECT_EQ(byHash, catalog->LookupBySearch(key));
            EXPECT_FALSE(catalog->LookupByHash(key + "x")) << key;
        }
    }
}

TEST(MoCatalogMsgfmt, BothByteOrdersHoldTheSameEntries)
{
    auto little = TMoCatalog::Parse(TestCatalog("many", "little-nohash"));
    auto big = TMoCatalog::Parse(TestCatalog("many", "big"));
    ASSERT_TRUE(little && big);
    ASSERT_EQ(little->Count(), big->Count());
    for (uint32_t i = 0; i < little->Count(); ++i) {
        EXPECT_EQ(little->Original(i), big->Original(i));
        EXPECT_EQ(little->Translation(i), big->Translation(i));
    }
}

// The catalogs Debian's packages install, read by glibc's own gettext for the
// reference: every key must give what dgettext gives.
TEST(MoCatalogSystem, AgreesWithGlibcOnInstalledCatalogs)
{
    const std::string language = "de";
    const std::string dir = "/usr/share/locale/" + language + "/LC_MESSAGES";
    std::vector<std::string> domains;
    if (DIR* listing = opendir(dir.c_str())) {
        while (dirent* entry = readdir(listing)) {
            std::string name = entry->d_name;
            if (name.size() > 3 && name.compare(name.size() - 3, 3, ".mo") == 0)
                domains.push_back(name.substr(0, name.size() - 3));
        }
        closedir(listing);
    }
    std::sort(domains.begin(), domains.end());
    ASSERT_FALSE(domains.empty()) << "no catalogs under " << dir;

    setenv("LANGUAGE", language.c_str(), 1);
    ASSERT_TRUE(setlocale(LC_ALL, "C.UTF-8"));
    int compared = 0;
    for (const std::string& domain : domains) {
        if (compared == 6)
            break;
        auto catalog = TMoCatalog::Parse(ReadFile(dir + "/" + domain + ".mo"));
        ASSERT_TRUE(catalog) << domain;
        // glibc would convert other character sets; compare like with like.
        if (std::string(catalog->Header()).find("charset=UTF-8") == std::string::npos)
            continue;
        SCOPED_TRACE(domain);
        bindtextdomain(domain.c_str(), "/usr/share/locale");
        bind_textdomain_codeset(domain.c_str(), "UTF-8");
        for (uint32_t i = 0; i < catalog->Count(); ++i) {
            std::string key(catalog->Original(i));
            if (key.empty())
                continue;
            auto ours = catalog->Lookup(key);
            ASSERT_TRUE(ours) << key;
            EXPECT_EQ(std::string(dgettext(domain.c_str(), key.c_str())), std::string(*ours)) << key;
            if (catalog->HasHashTable())
                EXPECT_EQ(ours, catalog->LookupBySearch(key)) << key;
        }
        ++compared;
    }
    EXPECT_GT(compared, 0);
    setlocale(LC_ALL, "C");
}

TEST(MoCatalogInvalid, EveryTruncationIsRejected)
{
    for (const char* variant : kVariants) {
        SCOPED_TRACE(variant);
        std::string whole = TestCatalog("sample", variant);
        ASSERT_TRUE(TMoCatalog::Parse(whole));
        for (size_t length = 0; length < whole.size(); ++length)
            EXPECT_FALSE(TMoCatalog::Parse(whole.substr(0, length))) << "cut at " << length;
    }
}

TEST(MoCatalogInvalid, OutOfRangeFieldsAreRejected)
{
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        TMoLayout layout;
        const std::string good =
            TMoBuilder().BigEndian(big).Add("", "charset=UTF-8").Add("a", "b").Add("c", "d").Build(&layout);
        ASSERT_TRUE(TMoCatalog::Parse(good));
        const uint32_t size = static_cast<uint32_t>(good.size());
        const uint32_t firstLength = layout.originals + 8;  // entry 1: "a"
        const uint32_t firstOffset = layout.originals + 12;
        struct {
            const char* what;
            uint32_t at;
            uint32_t value;
        } const cases[] = {
            {"bad magic", 0, 0x12345678u},
            {"major revision 2", 4, 0x00020000u},
            {"count past the end", 8, 0x10000000u},
            {"count wrapping 32 bits", 8, 0xFFFFFFFFu},
            {"originals past the end", 12, size},
            {"originals wrapping 32 bits", 12, 0xFFFFFFF0u},
            {"translations past the end", 16, size - 4},
            {"hash table past the end", 24, size},
            {"hash table wrapping 32 bits", 24, 0xFFFFFFFCu},
            {"hash size past the end", 20, 0x40000000u},
            {"string offset past the end", firstOffset, size},
            {"string offset wrapping 32 bits", firstOffset, 0xFFFFFFFFu},
            {"string length past the end", firstLength, size},
            {"string length wrapping 32 bits", firstLength, 0xFFFFFFFFu},
            {"string without its NUL", firstLength, 2},
            {"hash entry past the count", layout.hashTable, layout.count + 1},
            {"hash entry at the top", layout.hashTable, 0xFFFFFFFFu},
        };
        for (const auto& c : cases) {
            std::string bytes = good;
            if (c.at == layout.hashTable) {
                // Corrupt an empty slot so the entry is certainly read.
                uint32_t slot = layout.hashTable;
                while (GetWord(bytes, slot, big) != 0)
                    slot += 4;
                PutWord(bytes, slot, c.value, big);
            } else {
                PutWord(bytes, c.at, c.value, big);
            }
            std::string why;
            EXPECT_FALSE(TMoCatalog::Parse(bytes, &why)) << c.what;
            EXPECT_FALSE(why.empty()) << c.what;
        }
    }
}

TEST(MoCatalogInvalid, AHashTableWithoutAnEmptySlotEndsTheProbe)
{
    TMoLayout layout;
    std::string bytes = TMoBuilder().Add("a", "1").Add("b", "2").Build(&layout);
    ASSERT_EQ(3u, layout.hashSize);
    for (uint32_t i = 0; i < layout.hashSize; ++i)
        PutWord(bytes, layout.hashTable + 4 * i, i % 2 + 1, false);
    auto catalog = TMoCatalog::Parse(bytes);
    ASSERT_TRUE(catalog);
    EXPECT_FALSE(catalog->Lookup("missing"));
    EXPECT_FALSE(catalog->Lookup(""));
}

// Every slot of a hostile table naming one entry made each look-up walk the
// whole table: 27 s to start with a 64 MB catalog. A valid table holds at most
// Count() entries, so a probe that meets more filled slots than that must
// stop there and let the sorted originals answer. The second row leaves the
// slot after that bound empty: a probe walking on would stop at it and miss.
TEST(MoCatalogInvalid, HashProbeWalkedPastTheEntryCount)
{
    TMoLayout layout;
    const std::string good = TMoBuilder().Add("", "charset=UTF-8").Add("other", "1").Add("wanted", "2").Build(&layout);
    const uint32_t hash = TMoCatalog::HashString("wanted");
    const uint32_t incr = 1 + hash % (layout.hashSize - 2);
    const uint32_t emptyAfterBound = (hash % layout.hashSize + (layout.count + 1) * incr) % layout.hashSize;
    ASSERT_LT(layout.count + 1, layout.hashSize);
    for (bool leaveEmpty : {false, true}) {
        SCOPED_TRACE(leaveEmpty ? "empty slot after the bound" : "no empty slot");
        std::string bytes = good;
        for (uint32_t i = 0; i < layout.hashSize; ++i)
            PutWord(bytes, layout.hashTable + 4 * i, leaveEmpty && i == emptyAfterBound ? 0 : 2, false);
        auto catalog = TMoCatalog::Parse(bytes);
        ASSERT_TRUE(catalog);
        EXPECT_EQ("2", Found(*catalog, "wanted"));
        EXPECT_EQ("<miss>", Found(*catalog, "missing"));
    }
}

TEST(MoCatalogInvalid, UnsortedOriginalsOnlyMissNeverFail)
{
    std::string bytes = TMoBuilder().HashTable(false).Add("a", "1").Add("b", "2").Add("c", "3").Build();
    // Swap the first two originals' table entries: the order is now b, a, c.
    std::string swapped = bytes;
    for (int k = 0; k < 8; ++k)
        std::swap(swapped[28 + k], swapped[36 + k]);
    auto catalog = TMoCatalog::Parse(swapped);
    ASSERT_TRUE(catalog);
    EXPECT_EQ("3", std::string(catalog->Lookup("c").value()));
    // Keys the file does not hold still miss.
    EXPECT_FALSE(catalog->Lookup("d"));
    EXPECT_FALSE(catalog->Lookup(""));
    // For the two out of order, found or missed are both fine: the sanitizers
    // watch that the search stays inside the tables.
    for (const char* key : {"a", "b"})
        catalog->Lookup(key);
}

TEST(MoCatalogInvalid, EmptyAndTinyFilesAreRejected)
{
    for (const std::string& bytes : {std::string(), std::string("\xde\x12\x04\x95", 4), std::string(27, '\0')})
        EXPECT_FALSE(TMoCatalog::Parse(bytes)) << bytes.size() << " bytes";
    // A header with no entries at all is a valid, empty catalog.
    auto empty = TMoCatalog::Parse(TMoBuilder().HashTable(false).Build());
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->Lookup("Apply"));
    EXPECT_TRUE(empty->Header().empty());
}
