#pragma once
// The URL rule: what the answer file's documentation asks of SupportURL,
// "http://" or "https://" (letter case ignored), then a host (something
// other than "/", "?" or "#" right after "//"), and no blank, control
// character or DEL anywhere. Characters beyond ASCII pass: the ANSI code
// page's in a field given to /apply, UTF-8 in an answer file's text.
#include "base/AsciiCase.h"

#include <string_view>

inline bool IsAbsoluteHttpUrl(std::string_view text)
{
    std::string_view rest;
    for (std::string_view scheme : {"http://", "https://"})
        if (text.size() >= scheme.size() && SameIgnoringAsciiCase(text.substr(0, scheme.size()), scheme))
            rest = text.substr(scheme.size());
    if (rest.empty() || rest[0] == '/' || rest[0] == '?' || rest[0] == '#')
        return false;
    for (char c : text)
        if (static_cast<unsigned char>(c) <= ' ' || c == '\x7F')
            return false;
    return true;
}
