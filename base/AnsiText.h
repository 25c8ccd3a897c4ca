#pragma once
// Between wide text and the 8-bit code pages, through the platform (UTF-8
// goes through base/Utf8 instead: the first Windows 95 has no UTF-8 code
// page). The exact form brings wide text into the ANSI code page only when
// nothing is lost on the way: no best-fit look-alike, no "?" in place of a
// missing character.
#include <windows.h>

#include <string>
#include <string_view>

#include "base/WideText.h"

// `text`, in the code page `codePage`, as wide text; empty when the platform
// cannot convert it (every ANSI text has a wide form).
TWideText ToWide(std::string_view text, UINT codePage = CP_ACP);

// `wide` in the code page `codePage`, a character it lacks given as the
// platform maps it (a look-alike or the code page's default character);
// empty when the platform cannot convert it.
std::string FromWide(TWideView wide, UINT codePage = CP_ACP);

// `wide` in the ANSI code page; false when some character has no exact
// counterpart there.
bool ToAnsiExactly(TWideView wide, std::string& ansi);

// Between wide text and UTF-8, the command line's text for any character
// (base/Utf8's conversion, which replaces a malformed part).
TWideText Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(TWideView wide);
// ANSI text as UTF-8 (every ANSI text has one).
std::string AnsiToUtf8(std::string_view ansi);
// `utf8` in the ANSI code page exactly, as ToAnsiExactly brings it there;
// false when some character has no exact counterpart. `position` (when
// given) is then the first such character's, counted from 1.
bool Utf8ToAnsiExactly(std::string_view utf8, std::string& ansi, size_t* position = nullptr);

// Whether Windows is of the NT family, whose wide functions are real; on
// Windows 9x most of them are stubs that fail.
bool IsNtFamily();
