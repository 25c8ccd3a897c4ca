// Our UTF-8 conversion against the platform's own CP_UTF8, which it stands in
// for: every short sequence over bytes at the edges of UTF-8's ranges.
#include "base/Utf8.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const unsigned char EdgeBytes[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1, 0xC2,
                                   0xDF, 0xE0, 0xE1, 0xED, 0xEF, 0xF0, 0xF1, 0xF4, 0xF5, 0xFF};
constexpr size_t EdgeCount = sizeof EdgeBytes;

std::vector<char16_t> PlatformUtf16(const std::string& utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::vector<char16_t> wide(static_cast<size_t>(length));
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                        reinterpret_cast<wchar_t*>(wide.data()), length);
    return wide;
}

std::string PlatformUtf8(const std::vector<char16_t>& wide)
{
    const auto* text = reinterpret_cast<const wchar_t*>(wide.data());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                           nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(wide.size()), &out[0], length, nullptr, nullptr);
    return out;
}

TEST(Utf8, DecodesEverySequenceAsThePlatform)
{
    size_t mismatches = 0;
    size_t combinations = 1;
    for (size_t length = 1; length <= 4; ++length) {
        combinations *= EdgeCount;
        for (size_t n = 0; n < combinations && mismatches < 5; ++n) {
            std::string text;
            for (size_t i = 0, rest = n; i < length; ++i, rest /= EdgeCount)
                text += static_cast<char>(EdgeBytes[rest % EdgeCount]);
            if (Utf8ToUtf16(text) == PlatformUtf16(text))
                continue;
            ++mismatches;
            std::string hex;
            for (unsigned char b : text)
                hex += " " + std::to_string(b);
            ADD_FAILURE() << "bytes" << hex;
        }
    }
}

TEST(Utf8, EncodesEveryUnitAsThePlatform)
{
    const char16_t units[] = {0x0000, 0x007F, 0x0080, 0x07FF, 0x0800, 0xD7FF, 0xD800, 0xDBFF,
                              0xDC00, 0xDFFF, 0xE000, 0xFFFD, 0xFFFF, u'a'};
    for (char16_t first : units) {
        for (char16_t second : units) {
            const std::vector<char16_t> wide = {first, second};
            EXPECT_EQ(Utf16ToUtf8(wide.data(), wide.size()), PlatformUtf8(wide)) << int(first) << " " << int(second);
        }
    }
}

}  // namespace
