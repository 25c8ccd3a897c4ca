// Feeds arbitrary bytes to the catalog reader: it must reject them or look up
// every key it claims to hold, by hash and by search, without a fault.
#include "i18n/MoCatalog.h"
#include "i18n/TextRules.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto catalog = TMoCatalog::Parse(std::string(reinterpret_cast<const char*>(data), size));
    if (!catalog)
        return 0;
    HeaderDeclaresUtf8(std::string(catalog->Header()));
    // Bounded: the reader already checked Count against the file's size.
    for (uint32_t i = 0; i < catalog->Count(); ++i) {
        std::string_view key = catalog->Original(i);
        catalog->LookupByHash(key);
        catalog->LookupBySearch(key);
        catalog->Lookup(std::string(key) + "x");
        (void)catalog->Translation(i);
    }
    return 0;
}
