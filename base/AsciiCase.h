#pragma once
// Case in ASCII only, for names, keys and extensions that are ASCII by rule:
// no locale takes part, so the answer is the same everywhere.
#include <string>
#include <string_view>

inline char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string AsciiUppercase(std::string text)
{
    for (char& c : text)
        c = AsciiUpper(c);
    return text;
}

inline bool SameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}
