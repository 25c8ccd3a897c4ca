// UTF-8 to UTF-16 and back, replacing malformed input as the platform does.
#include "base/Utf8.h"

#include <cstdint>

namespace {

constexpr char32_t Replacement = 0xFFFD;

// How many continuation bytes follow a lead byte; 0 for a byte that cannot
// lead a sequence. Bytes below 0x80 are handled before this is asked.
unsigned ContinuationCount(uint8_t lead)
{
    if (lead >= 0xC2 && lead <= 0xDF) return 1;
    if (lead >= 0xE0 && lead <= 0xEF) return 2;
    if (lead >= 0xF0 && lead <= 0xF4) return 3;
    return 0;
}

// One code point starting at `at` (a byte from 0x80 up); `at` is moved past
// what it used. Continuation bytes are taken one by one, and the sequence is
// given up as soon as the prefix read so far can no longer be a valid code
// point, so a break-off consumes only the bytes that belonged to it.
char32_t DecodeSequence(std::string_view text, size_t& at)
{
    const uint8_t lead = static_cast<uint8_t>(text[at++]);
    const unsigned count = ContinuationCount(lead);
    if (count == 0) return Replacement;
    if (count > text.size() - at) {
        at = text.size();
        return Replacement;
    }
    char32_t value = lead & (0x3F >> count);
    for (unsigned i = 0; i < count; ++i) {
        const uint8_t next = static_cast<uint8_t>(text[at]) ^ 0x80;
        if (next >= 0x40) return Replacement;
        value = (value << 6) | next;
        ++at;
        // The bits left to come: reject as early as the prefix shows an
        // overlong form, a surrogate or a value beyond U+10FFFF.
        const unsigned shift = 6 * (count - 1 - i);
        const char32_t low = value << shift;
        const char32_t high = low | ((char32_t(1) << shift) - 1);
        const char32_t minimum = count == 1 ? 0x80 : count == 2 ? 0x800 : 0x10000;
        if (high < minimum || low > 0x10FFFF || (low >= 0xD800 && high <= 0xDFFF)) return Replacement;
    }
    return value;
}

void AppendUtf16(std::vector<char16_t>& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
        return;
    }
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 | (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
}


}  // namespace

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::vector<char16_t> Utf8ToUtf16(std::string_view utf8)
{
    std::vector<char16_t> out;
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        const uint8_t byte = static_cast<uint8_t>(utf8[at]);
        if (byte < 0x80) {
            out.push_back(byte);
            ++at;
            continue;
        }
        AppendUtf16(out, DecodeSequence(utf8, at));
    }
    return out;
}

size_t InvalidUtf8At(std::string_view utf8)
{
    static constexpr std::string_view EncodedReplacement = "\xEF\xBF\xBD";
    for (size_t at = 0; at < utf8.size();) {
        const size_t start = at;
        if (static_cast<uint8_t>(utf8[at]) < 0x80) {
            ++at;
            continue;
        }
        if (DecodeSequence(utf8, at) == Replacement && utf8.substr(start, at - start) != EncodedReplacement)
            return start;
    }
    return std::string_view::npos;
}

size_t Utf16Length(std::string_view utf8)
{
    size_t units = 0;
    for (char c : utf8) {
        const uint8_t byte = static_cast<uint8_t>(c);
        units += (byte & 0xC0) != 0x80;
        units += byte >= 0xF0;
    }
    return units;
}

std::string Utf16ToUtf8(const char16_t* text, size_t length)
{
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        const char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, Replacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}
