// UTF-8 and UTF-16 converted both ways, well-formed and malformed.
#include "base/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Utf8, DecodesWellFormedAndReplacesMalformedSequences)
{
    const struct {
        const char* name;
        std::string utf8;
        std::vector<char16_t> utf16;
    } cases[] = {
        {"ASCII with NUL", std::string("a\0b", 3), {u'a', 0, u'b'}},
        {"two, three and four bytes", "\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80", {0xFC, 0x20AC, 0xD83D, 0xDE00}},
        {"lone continuation, C0, F5", "\x80" "a\xC0\xF5", {0xFFFD, u'a', 0xFFFD, 0xFFFD}},
        {"break-off resumes at the breaking byte", "\xE2\x82" "a", {0xFFFD, u'a'}},
        {"overlong three bytes eats the byte showing it", "\xE0\x80\x80", {0xFFFD, 0xFFFD}},
        {"surrogate", "\xED\xA0\x80", {0xFFFD, 0xFFFD}},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD}},
        {"short at the end swallows the rest", "a\xE2" "b", {u'a', 0xFFFD}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
    }
}

TEST(Utf8, EncodesAndReplacesLoneSurrogates)
{
    const struct {
        const char* name;
        std::vector<char16_t> utf16;
        std::string utf8;
    } cases[] = {
        {"one to four bytes", {u'a', 0xFC, 0x20AC, 0xD83D, 0xDE00}, "a\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {"lone high, lone low", {0xD800, u'a', 0xDC00}, "\xEF\xBF\xBD" "a\xEF\xBF\xBD"},
        {"high at the end", {u'a', 0xDBFF}, "a\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf16ToUtf8(c.utf16.data(), c.utf16.size()), c.utf8);
    }
}

}  // namespace
