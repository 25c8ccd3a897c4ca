// Feeds arbitrary bytes to the UTF-8 conversion: decoding must not fault, and
// well-formed UTF-16 that it gives must encode back to well-formed UTF-8
// that decodes to the same units.
#include "base/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<char16_t> wide = Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string utf8 = Utf16ToUtf8(wide.data(), wide.size());
    if (Utf8ToUtf16(utf8) != wide)
        abort();
    // The raw bytes read as UTF-16 units, lone surrogates and all.
    std::vector<char16_t> units(size / 2);
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    const std::string encoded = Utf16ToUtf8(units.data(), units.size());
    if (Utf16ToUtf8(Utf8ToUtf16(encoded).data(), Utf8ToUtf16(encoded).size()) != encoded)
        abort();
    return 0;
}
