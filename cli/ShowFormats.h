#pragma once
// The machine-readable forms of /show: a JSON object for inventories, a .reg
// file that `reg import` restores, an answer-file fragment and a whole answer
// file. They know no window and no store: the caller reads the store into a
// TShownStore, so this also builds natively, under the sanitizers.
//
// Every value comes out exact, or not at all: each formatter gives either
// its whole output or an English error naming the field, never a part.
//
// JSON (`/show /format:json`): one object, UTF-8 without a byte-order mark,
// CR LF line ends, characters outside ASCII written as themselves (a UTF-16
// surrogate pair as its one 4-byte UTF-8 character). Keys never change;
// scripts depend on them, and keys are only added, with "schema" counted up:
//   {
//     "schema": 2,                         1 had no "schema", "computer",
//                                          "wow6432Node" or "data"
//     "computer": "<text>" | null,         the computer's name as Windows gives
//                                          it (GetComputerNameW; the ANSI one on
//                                          Windows 9x); null: it cannot be read
//     "store": "registry" | "legacy",
//     "fields": {                          one member per field, in /show order
//       "<Name>": {
//         "exists": true | false,
//         "type": "REG_SZ" | "REG_DWORD" | ... | "0x<hex>" | null,
//                                          any registry type; null: legacy
//                                          mode or absent
//         "value": "<text>" | null,        null: absent (see "exists") or no text
//         "nulTerminated": true | false | null,  registry data ending in a NUL
//                                          (which "value" omits); null: legacy
//                                          mode, absent or no text
//         "data": "<HEX>"                  only where "value" is null and the
//       }                                  value exists: its raw bytes
//     },                                   (legacy mode: its UTF-16LE ones)
//     "wow6432NodeOnly": {                 OEM values only the 32-bit view holds
//       "<Name>": { the keys of a field }
//     },
//     "wow6432Node": {                     every OEM value the 32-bit view holds
//       "<Name>": { the keys of a field,
//                   "in64": "absent" | "otherType" | "otherBytes" | "same" }
//     },                                   what the 64-bit view holds of it
//     "logo": null | { "path": "<text>" | null, "exists": true | false, "loads": true | false,
//                      "data": "<HEX>" (only where "path" is null: a path
//                      that is no UTF-16 text, as UTF-16LE) }
//   }
// "value" is the data read as UTF-16 up to its last code unit, without the
// final NUL: NULs inside show as \u0000, other control characters as \t,
// \n, \r, \b, \f or \u00XX (upper-case hex), DEL as \u007F. Data that is not
// text (a type other than REG_SZ and REG_EXPAND_SZ, an odd byte count, an
// unpaired surrogate) gives "value": null and the bytes in "data", upper-case
// hex without separators: so every value comes out exact, and JSON never
// fails for a value. "wow6432NodeOnly" and "wow6432Node" are empty in legacy
// mode and on 32-bit Windows, which has one view.
//
// .reg (`/show /format:reg`, registry mode only): UTF-16LE with a byte-order
// mark, CR LF lines, "Windows Registry Editor Version 5.00", a blank line,
// the key, one line per field, a blank line. REG_SZ as "Name"="text" with
// \" and \\; a REG_SZ holding a control character (or an unpaired
// surrogate) as hex(1):, REG_EXPAND_SZ as hex(2): (the bytes, final NUL
// included, wrapped as regedit wraps them); an absent field as "Name"=-.
// Data `reg import` would not restore byte for byte (an odd byte count, no
// final NUL) is an error.
//
// Answer file (`/show /format:unattend`, registry mode only): the
// <OEMInformation> element of the Microsoft-Windows-Shell-Setup component,
// UTF-8 without a byte-order mark or XML declaration (it is pasted into an
// answer file), CR LF line ends; one child per present field, empty ones
// included, named as the field table's answer-file column spells it. Text
// is escaped as &amp; &lt; &gt;, tab, CR and LF as &#9; &#13; &#10; so
// that no parser normalises them; any other character XML 1.0 cannot hold
// is an error. So is what the component's documentation forbids, naming
// the field and the rule: a value over the table's documented limit (in
// UTF-16 code units), a non-empty web address that breaks the table's URL
// rule (Setup's for SupportURL; Marquill's own, the same, for the
// addresses Setup documents none for), a non-empty picture path that does
// not end in ".bmp", and a REG_EXPAND_SZ value, whose type the answer file
// cannot carry. Empty elements are allowed.
//
// Whole answer file (`/show /format:answerfile`, registry mode only): UTF-8
// without a byte-order mark, with an XML declaration, CR LF line ends:
// <unattend xmlns="urn:schemas-microsoft-com:unattend"> holding
// <settings pass="offlineServicing"> (the pass DISM's /Apply-Unattend runs
// on a mounted image), and in it the component once for each of x86, amd64
// and arm64 (Setup passes over the ones an image lacks), each with the
// name, processorArchitecture, publicKeyToken, language, versionScope and
// the wcm namespace that answer files give it, around the same
// <OEMInformation> as the fragment, by the same rules.
#include <cstdint>
#include <string>
#include <vector>

#include "base/WideText.h"

enum class TShownStoreMode { Registry, Legacy };

// The registry types the formats carry as text.
constexpr uint32_t ShownRegSz = 1;        // REG_SZ
constexpr uint32_t ShownRegExpandSz = 2;  // REG_EXPAND_SZ

// One field (or one value of the 32-bit view) as the store holds it.
struct TShownValue {
    std::string Name;  // the registry value's or the profile key's name
    bool Present = false;
    // Registry mode: the value's type and its data exactly as
    // RegQueryValueExW returns them (UTF-16LE, normally ending in a NUL).
    uint32_t Type = 0;
    std::string Bytes;
    // Legacy mode: the text as the wide profile functions read it.
    TWideText Text;
};

struct TShownLogo {
    bool Named = false;  // false: the store names no logo (JSON "logo": null)
    TWideText Path;
    bool Exists = false;
    bool Loads = false;
};

struct TShownStore {
    TShownStoreMode Mode = TShownStoreMode::Registry;
    std::vector<TShownValue> Fields;          // in /show order
    // Registry mode on 64-bit Windows: every OEM value the 32-bit view
    // (WOW6432Node) holds.
    std::vector<TShownValue> Wow6432Node;
    TWideText Computer;  // empty: unknown
    TShownLogo Logo;
};

struct TFormatResult {
    std::string Output;  // the whole output, in its encoding; empty on failure
    std::string Error;   // empty on success
    // The format does not apply to the store mode in force (a usage error).
    bool WrongMode = false;
};

// A present value read as text: its data as UTF-16 code units, without the
// final NUL. False, with the English reason naming the value, when it is no
// text: another type than REG_SZ or REG_EXPAND_SZ, or an odd byte count.
struct TValueText {
    std::vector<char16_t> Units;
    bool NulTerminated = true;  // registry data that ended in a NUL
};
bool ReadValueText(TShownStoreMode mode, const TShownValue& value, TValueText& text, std::string& error);

// The code point at units[i], moving i past it; an unpaired surrogate comes
// back as itself (0xD800 to 0xDFFF).
char32_t NextCodePoint(const std::vector<char16_t>& units, size_t& i);

// C0, DEL and C1: what no line of text may hold as itself.
inline bool IsControlChar(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}
inline bool IsSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

TFormatResult FormatJson(const TShownStore& store);
TFormatResult FormatReg(const TShownStore& store);
TFormatResult FormatUnattend(const TShownStore& store);
TFormatResult FormatAnswerFile(const TShownStore& store);
