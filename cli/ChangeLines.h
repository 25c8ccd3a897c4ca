#pragma once
// The lines /test and /apply print about what differs or changed, in
// English whatever the language, so that scripts can match them:
//
//   Model: "X1" -> "X2"
//   SupportURL: (absent) -> ""
//   Logo: "C:\\oem.bmp" -> (expand) "%SystemRoot%\\oem.bmp"
//
// A value shows as:
// - (absent)                  the field does not exist;
// - "text"                    a text (legacy mode, or REG_SZ);
// - (expand) "text"           a REG_EXPAND_SZ text;
// - ... (no final NUL)        after the quotes: registry data that does not
//                             end in a NUL (the text shows all of it);
// - (odd length, N bytes)     registry data that is no UTF-16 text;
// - (type N)                  a registry value of a type other than text.
// Inside the quotes: \" for a quote, \\ for a backslash, \t \r \n for tab,
// CR and LF, and \u{XXXX} (upper-case hex, 4 to 6 digits, the code point)
// for any other control character (C0, DEL, C1), an unpaired surrogate
// (\u{D800}), and every character the caller cannot show (\u{1F600} for
// one outside the BMP, never its two surrogates); /test and /apply show
// ASCII alone, so that their lines read the same in every code page. A
// backslash in the text is always doubled, so every other backslash starts
// an escape.
//
// The last line of /test is "compliant" or "drift in N fields", of /apply
// "unchanged" or "changed N fields"; with N = 1, "field" (so a script
// matches "^drift in [0-9]+ fields?$").
#include <cstddef>
#include <string>

#include "base/WideText.h"
#include "cli/ShowFormats.h"

// Whether the output's code page holds `codePoint` (never asked for a
// control character or a surrogate).
using TCanShow = bool (*)(char32_t codePoint);

// "Name: <before> -> <after>", without a line end; the name is `after`'s.
TWideText ChangeLine(TShownStoreMode mode, const TShownValue& before, const TShownValue& after,
                     TCanShow canShow);

std::string TestSummary(size_t driftedFields);   // "compliant" for none
std::string ApplySummary(size_t changedFields);  // "unchanged" for none
