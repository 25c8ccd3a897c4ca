// The translation's window-free rules: the language choice, the catalog header's charset, line ends.
#include "TextRules.h"

#include "base/AsciiCase.h"

#include <cstring>

namespace {
struct TLocaleCode {
    unsigned lcid;
    const char* code;
};

const TLocaleCode kLocaleCodes[] = {
    {1030, "da_DK"}, {1031, "de_DE"}, {1032, "el_GR"}, {1033, "en_US"}, {1034, "es_ES"},
    {1035, "fi_FI"}, {1036, "fr_FR"}, {1039, "is_IS"}, {1040, "it_IT"},
    // Korean's identifier has always mapped to ko_KO here; catalogs are named so.
    {1042, "ko_KO"}, {1043, "nl_NL"}, {1044, "nb_NO"}, {1045, "pl_PL"}, {1046, "pt_BR"},
    {1049, "ru_RU"}, {1053, "sv_SE"}, {2057, "en_GB"}, {2060, "fr_BE"}, {2067, "nl_BE"},
    {2068, "nn_NO"}, {2070, "pt_PT"}, {2077, "sv_FI"}, {3082, "es_ES"}, {3084, "fr_CA"},
    {4103, "de_LU"},
};

// Spaces, tabs, line breaks and every other control character.
bool IsSpaceOrControl(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

std::string Trim(const std::string& s)
{
    size_t first = 0;
    size_t last = s.size();
    while (first < last && IsSpaceOrControl(s[first]))
        ++first;
    while (last > first && IsSpaceOrControl(s[last - 1]))
        --last;
    return s.substr(first, last - first);
}
}  // namespace

std::string CodeForLocaleId(unsigned lcid)
{
    for (const TLocaleCode& entry : kLocaleCodes)
        if (entry.lcid == lcid)
            return entry.code;
    return "C";
}

std::string ChooseLanguageCode(const TLocaleFacts& facts)
{
    std::string code;
    if (!facts.langVariable.empty()) {
        code = facts.langVariable;
    } else if (facts.isoLanguage.size() == 2 && facts.isoCountry.size() == 2) {
        std::string language = AsciiUppercase(facts.isoLanguage) == "NO" ? "nb" : facts.isoLanguage;
        code = language + "_" + facts.isoCountry;
    } else {
        code = CodeForLocaleId(facts.threadLocale);
    }
    return code.substr(0, code.find('.'));
}

bool HeaderDeclaresUtf8(const std::string& header)
{
    static const char kField[] = "CONTENT-TYPE: ";
    const size_t fieldLength = std::strlen(kField);
    size_t start = 0;
    while (start <= header.size()) {
        size_t end = header.find('\n', start);
        if (end == std::string::npos)
            end = header.size();
        std::string line = header.substr(start, end - start);
        if (AsciiUppercase(line.substr(0, fieldLength)) == kField)
            return AsciiUppercase(Trim(line.substr(fieldLength))).find("CHARSET=UTF-8") != std::string::npos;
        start = end + 1;
    }
    return false;
}

std::string RemoveCarriageReturns(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

std::string AddCarriageReturns(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}
