// Text files as the tools that write them save them: every mark, none, and
// the ways each can be broken. Natively the ANSI code page is a stand-in
// for 1252 (Latin-1 for the bytes used here); under Wine it is the real one.
#include "base/TextFileDecode.h"

#include "base/Utf8.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "base/AnsiText.h"
#endif

namespace {

std::string AnsiStandIn(std::string_view ansi)
{
#ifdef _WIN32
    return AnsiToUtf8(ansi);
#else
    std::string utf8;
    for (char c : ansi)
        AppendUtf8(utf8, static_cast<unsigned char>(c));
    return utf8;
#endif
}

std::string Utf16Le(std::u16string_view text, bool oddByte = false)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return oddByte ? bytes + "x" : bytes;
}

// Müller, ©, 联想 (CJK) and an emoji: one, two, three and four UTF-8 bytes.
const std::string Sample = "M\xC3\xBCller \xC2\xA9 \xE8\x81\x94\xE6\x83\xB3 \xF0\x9F\x98\x80\r\n";

TEST(TextFileDecode, ReadsEachMarkAndUnmarkedText)
{
    const struct {
        const char* name;
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {"UTF-8 without a mark", Sample, Sample},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + Sample, Sample},
        {"UTF-16LE with a mark", Utf16Le(u"M\u00FCller \u00A9 \u8054\u60F3 \U0001F600\r\n"), Sample},
        {"unmarked C2 A9 is UTF-8, as documented", "\xC2\xA9", "\xC2\xA9"},
        {"ANSI that is no UTF-8 stays ANSI", "Caf\xE9", "Caf\xC3\xA9"},
        {"ASCII", "Model=X\r\n", "Model=X\r\n"},
        {"a mark alone", "\xEF\xBB\xBF", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string utf8 = "\xDD";
        TTextFileProblem problem;
        EXPECT_TRUE(DecodeTextFile(c.bytes, AnsiStandIn, utf8, problem)) << problem.What;
        EXPECT_EQ(utf8, c.utf8);
    }
}

TEST(TextFileDecode, RefusesBrokenTextNamingTheLine)
{
    const struct {
        const char* name;
        std::string bytes;
        size_t line;
    } cases[] = {
        {"invalid after a UTF-8 mark", "\xEF\xBB\xBFModel=a\r\nModel=\xC3\r\n", 2},
        {"overlong after a UTF-8 mark", "\xEF\xBB\xBF\n\n\xC0\xAF", 3},
        {"odd-length UTF-16LE", Utf16Le(u"a\r\nb", true), 2},
        {"unpaired high surrogate", Utf16Le(u"a\nb\xD800"), 2},
        {"unpaired low surrogate", Utf16Le(u"\xDC00"), 1},
        {"UTF-16BE", "\xFE\xFF\0M", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string utf8;
        TTextFileProblem problem;
        EXPECT_FALSE(DecodeTextFile(c.bytes, AnsiStandIn, utf8, problem));
        EXPECT_EQ(problem.Line, c.line);
        EXPECT_STRNE(problem.What, "");
    }
}

}  // namespace
