#pragma once
// The system's own words for an error code.
#include <windows.h>

#include <string>
#include <string_view>

// The system's text for `code`, without the trailing blanks, line breaks and
// full stop it comes with, so that it reads as the end of a sentence. Where
// the system has no text, `fallback` with the code in place of its "%d".
std::string SystemErrorText(DWORD code, std::string_view fallback = "system error %d");
