// The `old -> new` lines and the last lines of /test and /apply: the texts
// scripts match, so each form is pinned here.
#include "cli/ChangeLines.h"

#include <gtest/gtest.h>

namespace {

TShownValue Reg(uint32_t type, std::string bytes)
{
    TShownValue value;
    value.Name = "Model";
    value.Present = true;
    value.Type = type;
    value.Bytes = std::move(bytes);
    return value;
}

TShownValue Sz(const std::u16string& text, uint32_t type = ShownRegSz)
{
    std::string bytes;
    for (char16_t c : text + u'\0') {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return Reg(type, bytes);
}

std::string Narrow(const TWideText& text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

TEST(ChangeLines, QuoteEveryValueUnambiguously)
{
    TShownValue absent;
    absent.Name = "Model";
    TShownValue legacy = absent;
    legacy.Present = true;
    legacy.Text = L"a\"b";
    // The code page the caller's output can hold: here ASCII and Latin-1.
    const TCanShow latin1 = [](char32_t c) { return c < 0x100; };
    const struct {
        TShownStoreMode mode;
        TShownValue before, after;
        const char* line;
    } cases[] = {
        {TShownStoreMode::Registry, Sz(u"X1"), Sz(u"X2"), "Model: \"X1\" -> \"X2\""},
        {TShownStoreMode::Registry, absent, Sz(u""), "Model: (absent) -> \"\""},
        {TShownStoreMode::Registry, Sz(u"say \"hi\" C:\\d\\"), absent,
         "Model: \"say \\\"hi\\\" C:\\\\d\\\\\" -> (absent)"},
        {TShownStoreMode::Registry, Sz(u"t\tr\rn\n"), Sz(u"\\t"), "Model: \"t\\tr\\rn\\n\" -> \"\\\\t\""},
        {TShownStoreMode::Registry, Sz(std::u16string(u"0\0" u"1\x1F\x7F\x85", 6)), Sz(u"\u00E9"),
         "Model: \"0\\u{0000}1\\u{001F}\\u{007F}\\u{0085}\" -> \"?\""},
        {TShownStoreMode::Registry, Sz(u"\u8054\u60F3 \u0416"), Sz(u"\U0001F600|\xD800|\xDC00"),
         "Model: \"\\u{8054}\\u{60F3} \\u{0416}\" -> \"\\u{1F600}|\\u{D800}|\\u{DC00}\""},
        {TShownStoreMode::Registry, Sz(u"%A%"), Sz(u"%A%", ShownRegExpandSz),
         "Model: \"%A%\" -> (expand) \"%A%\""},
        {TShownStoreMode::Registry, Reg(ShownRegSz, std::string("a\0", 2)), Reg(ShownRegExpandSz, "abc"),
         "Model: \"a\" (no final NUL) -> (odd length, 3 bytes)"},
        {TShownStoreMode::Registry, Reg(4, std::string(4, '\0')), Sz(u"x"), "Model: (type 4) -> \"x\""},
        {TShownStoreMode::Legacy, legacy, absent, "Model: \"a\\\"b\" -> (absent)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Narrow(ChangeLine(c.mode, c.before, c.after, latin1)), c.line);
    EXPECT_EQ(ChangeLine(TShownStoreMode::Registry, absent, Sz(u"\u00E9"), latin1), L"Model: (absent) -> \"\u00E9\"")
        << "what the code page holds shows as itself";
}

TEST(ChangeLines, SummariesCountFieldsInEnglish)
{
    const struct {
        size_t n;
        const char* test;
        const char* apply;
    } cases[] = {
        {0, "compliant", "unchanged"},
        {1, "drift in 1 field", "changed 1 field"},
        {12, "drift in 12 fields", "changed 12 fields"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TestSummary(c.n), c.test);
        EXPECT_EQ(ApplySummary(c.n), c.apply);
    }
}

}  // namespace
