#include "i18n/TextRules.h"

#include <gtest/gtest.h>

TEST(LanguageChoice, FollowsLangThenUserLocaleThenThreadLocale)
{
    struct {
        TLocaleFacts facts;
        const char* expected;
    } const cases[] = {
        {{"de_DE.UTF-8", "fr", "FR", 1040}, "de_DE"},
        {{"de_DE", "", "", 0}, "de_DE"},
        {{"pt_BR.ISO-8859-1@euro", "", "", 0}, "pt_BR"},
        {{"C", "de", "DE", 1031}, "C"},
        {{".UTF-8", "de", "DE", 1031}, ""},       // cut before the first "." and nothing else
        {{"  fr_FR", "", "", 0}, "  fr_FR"},      // blanks are not trimmed
        {{"", "de", "AT", 1031}, "de_AT"},
        {{"", "no", "NO", 1044}, "nb_NO"},
        {{"", "NO", "NO", 0}, "nb_NO"},
        {{"", "No", "NO", 0}, "nb_NO"},
        {{"", "nn", "NO", 0}, "nn_NO"},
        {{"", "fil", "PH", 1031}, "de_DE"},       // three letters: the table decides
        {{"", "de", "", 1030}, "da_DK"},
        {{"", "d", "DE", 1053}, "sv_SE"},
        {{"", "", "", 1042}, "ko_KO"},
        {{"", "", "", 2068}, "nn_NO"},
        {{"", "", "", 0x0C0A}, "es_ES"},
        {{"", "", "", 0x0411}, "C"},              // Japanese has no catalog code
        {{"", "", "", 0}, "C"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, ChooseLanguageCode(c.facts))
            << "LANG='" << c.facts.langVariable << "' iso='" << c.facts.isoLanguage << "_" << c.facts.isoCountry
            << "' lcid=" << c.facts.threadLocale;
    }
}

TEST(LanguageChoice, MapsEveryKnownLocaleId)
{
    struct {
        unsigned lcid;
        const char* code;
    } const table[] = {
        {1030, "da_DK"}, {1031, "de_DE"}, {1032, "el_GR"}, {1033, "en_US"}, {1034, "es_ES"},
        {1035, "fi_FI"}, {1036, "fr_FR"}, {1039, "is_IS"}, {1040, "it_IT"}, {1042, "ko_KO"},
        {1043, "nl_NL"}, {1044, "nb_NO"}, {1045, "pl_PL"}, {1046, "pt_BR"}, {1049, "ru_RU"},
        {1053, "sv_SE"}, {2057, "en_GB"}, {2060, "fr_BE"}, {2067, "nl_BE"}, {2068, "nn_NO"},
        {2070, "pt_PT"}, {2077, "sv_FI"}, {3082, "es_ES"}, {3084, "fr_CA"}, {4103, "de_LU"},
        {1029, "C"}, {1048, "C"}, {5127, "C"}, {0xFFFFFFFFu, "C"},
    };
    for (const auto& entry : table)
        EXPECT_EQ(entry.code, CodeForLocaleId(entry.lcid)) << entry.lcid;
}

TEST(HeaderCheck, AcceptsOnlyADeclaredUtf8Charset)
{
    struct {
        const char* header;
        bool accepted;
    } const cases[] = {
        {"Content-Type: text/plain; charset=UTF-8\n", true},
        {"Content-Type: text/plain; charset=utf-8\n", true},
        {"content-type: text/plain; charset=Utf-8", true},
        {"Project-Id-Version: x\nCONTENT-TYPE: text/plain; charset=UTF-8\nX: y\n", true},
        {"Content-Type:    text/plain; charset=UTF-8   \n", true},
        {"Content-Type: text/plain; charset=UTF-8\r\n", true},
        {"Content-Type: text/plain; charset=UTF8\n", false},
        {"Content-Type: text/plain; charset = UTF-8\n", false},
        {"Content-Type: text/plain; charset =UTF-8\n", false},
        {"Content-Type:text/plain; charset=UTF-8\n", false},
        {"Content-Type\t: text/plain; charset=UTF-8\n", false},
        {"Content-Type: text/plain; charset=ISO-8859-1\n", false},
        // Only the first Content-Type line counts.
        {"Content-Type: text/plain; charset=CP1252\nContent-Type: text/plain; charset=UTF-8\n", false},
        {"X-Content-Type: text/plain; charset=UTF-8\n", false},
        {"Project-Id-Version: x\n", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.accepted, HeaderDeclaresUtf8(c.header)) << c.header;
}

TEST(LineEnds, KeysLoseCarriageReturnsAndResultsGainThem)
{
    struct {
        const char* in;
        const char* removed;
        const char* added;
    } const cases[] = {
        {"", "", ""},
        {"one line", "one line", "one line"},
        {"a\r\nb", "a\nb", "a\r\nb"},
        {"a\nb\n", "a\nb\n", "a\r\nb\r\n"},
        {"\n\n", "\n\n", "\r\n\r\n"},
        {"a\rb", "ab", "a\rb"},
        {"a\r\r\nb", "a\nb", "a\r\r\nb"},
        {"\r", "", "\r"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.removed, RemoveCarriageReturns(c.in)) << c.in;
        EXPECT_EQ(c.added, AddCarriageReturns(c.in)) << c.in;
    }
}
