#pragma once
// Between UTF-8 and UTF-16, in our own code: the first Windows 95 has no
// UTF-8 code page, so the platform is asked only between UTF-16 and ANSI.
//
// Malformed input is replaced as Windows (Vista on) and Wine do it for
// MultiByteToWideChar(CP_UTF8, 0) and WideCharToMultiByte(CP_UTF8, 0), so a
// text comes out the same whichever of the two converts it:
// - a lead byte that cannot start a sequence (80-C1, F5-FF), or a sequence
//   that breaks off, is overlong, names a surrogate or lies beyond U+10FFFF,
//   gives one U+FFFD; decoding goes on at the byte that broke it off;
// - a sequence whose lead byte promises more bytes than the text has left
//   gives one U+FFFD for the whole rest of the text;
// - a UTF-16 surrogate without its partner gives U+FFFD (EF BF BD).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A vector, not std::u16string: the program would link the library's whole
// wide string instantiation for it.
std::vector<char16_t> Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(const char16_t* text, size_t length);
// The offset of the first byte of `utf8` that is no part of a well-formed
// sequence (a stray continuation byte, a sequence broken off, overlong, a
// surrogate, or beyond U+10FFFF); npos when all of it is well-formed.
size_t InvalidUtf8At(std::string_view utf8);
// How many UTF-16 code units well-formed `utf8` takes: one per code point,
// two for one beyond U+FFFF.
size_t Utf16Length(std::string_view utf8);
// Appends the UTF-8 bytes of code point `c` (a scalar value: no surrogate,
// nothing past U+10FFFF).
void AppendUtf8(std::string& out, char32_t c);
