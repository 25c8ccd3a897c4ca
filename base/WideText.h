#pragma once
// The program's wide (UTF-16) text type.
#include <string>
#include <string_view>

// Traits of its own, so that this is not std::wstring: the C++ library
// ships that one compiled whole, and linking it made Marquill.exe some 35 KB
// larger for the few members the program uses.
struct TWideTraits : std::char_traits<wchar_t> {};
using TWideText = std::basic_string<wchar_t, TWideTraits>;
using TWideView = std::basic_string_view<wchar_t, TWideTraits>;
