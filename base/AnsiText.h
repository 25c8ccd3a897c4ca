#pragma once
// Wide text brought into the ANSI code page only when nothing is lost on the
// way: no best-fit look-alike, no "?" in place of a missing character.
#include <string>
#include <string_view>

#include "base/WideText.h"

// `wide` in the ANSI code page; false when some character has no exact
// counterpart there.
bool ToAnsiExactly(TWideView wide, std::string& ansi);

// `ansi` as wide text (every ANSI text has one).
TWideText ToWide(std::string_view ansi);

// Whether Windows is of the NT family, whose wide functions are real; on
// Windows 9x most of them are stubs that fail.
bool IsNtFamily();
