#pragma once
// A text file's bytes as UTF-8, read by the marks and encodings that
// Windows' own tools write: Notepad saves UTF-8 without a byte-order mark,
// Windows PowerShell 5.1's ">" and Out-File UTF-16LE with one, and older
// editors and hand-made files the ANSI code page. No Windows call here: the
// caller hands in the ANSI code page's conversion.
//
// - UTF-8 mark (EF BB BF): UTF-8, which must then be well-formed;
// - UTF-16LE mark (FF FE): UTF-16LE, of even length, surrogates paired;
// - UTF-16BE mark (FE FF): refused;
// - no mark: UTF-8 when the bytes are well-formed UTF-8 and not all ASCII,
//   else the ANSI code page. A hand-written ANSI file that happens to be
//   well-formed UTF-8 (cp1252 "Ã©", C3 A9) thus reads as UTF-8 ("é"); saved
//   with a UTF-8 mark as UTF-8 it reads as written.
#include <cstddef>
#include <string>
#include <string_view>

// ANSI text in, the same text in UTF-8 out.
using TAnsiToUtf8 = std::string (*)(std::string_view ansi);

// Why a file cannot be read as text, and on which line (counted from 1).
struct TTextFileProblem {
    size_t Line = 0;
    const char* What = "";  // "is not well-formed UTF-8 after its UTF-8 byte-order mark"
};

// `bytes` as UTF-8 without a mark in `utf8`; false, with `problem` set, when
// they break the rules above.
bool DecodeTextFile(std::string_view bytes, TAnsiToUtf8 ansiToUtf8, std::string& utf8, TTextFileProblem& problem);
