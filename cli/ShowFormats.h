#pragma once
// The machine-readable forms of /show: a JSON object for inventories, a .reg
// file that `reg import` restores, and an answer-file fragment. They know no
// window and no store: the caller reads the store into a TShownStore, so
// this also builds natively, under the sanitizers.
//
// Every value comes out exact, or not at all: each formatter gives either
// its whole output or an English error naming the field, never a part.
//
// Beside them, /show's own form (Name=Value lines, cli/DesiredState.h's
// BackupText) is UTF-8 with a byte-order mark when a value is not ASCII, and
// plain ASCII otherwise, to a file, a pipe or /out alike; to a console it
// goes as wide text (WriteConsoleW). /apply reads field files by their mark
// (UTF-8 or UTF-16LE), unmarked ones as UTF-8 when they are well-formed
// UTF-8 and not all ASCII, and otherwise in the ANSI code page
// (base/TextFileDecode.h), so what /show wrote reads back whatever the code
// page. The change lines of /test and /apply are ASCII (cli/ChangeLines.h).
//
// JSON (`/show /format:json`): one object, UTF-8 without a byte-order mark,
// CR LF line ends, characters outside ASCII written as themselves (a UTF-16
// surrogate pair as its one 4-byte UTF-8 character). Keys never change;
// scripts depend on them:
//   {
//     "store": "registry" | "legacy",
//     "fields": {                          one member per field, in /show order
//       "<Name>": {
//         "exists": true | false,
//         "type": "REG_SZ" | "REG_EXPAND_SZ" | null,    null: legacy mode or absent
//         "value": "<text>" | null,                      null: absent
//         "nulTerminated": true | false | null           registry data ending in a
//       }                                                NUL (which "value" omits);
//     },                                                 null: legacy mode or absent
//     "wow6432NodeOnly": {                 OEM values only the 32-bit view holds
//       "<Name>": { the same four keys; "type" may name any registry type
//                   ("REG_DWORD", ..., or "0x<hex>") and "value" is null when
//                   the data is no text }
//     },
//     "logo": null | { "path": "<text>", "exists": true | false, "loads": true | false }
//   }
// "value" is the data read as UTF-16 up to its last code unit, without the
// final NUL: NULs inside show as \u0000, other control characters as \t,
// \n, \r, \b, \f or \u00XX (upper-case hex), DEL as \u007F. A field whose text is no UTF-16
// (an odd byte count, an unpaired surrogate) or whose type is no text is an
// error; in the notes it gives "value": null.
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
// included, named as the answer file spells it. Text is escaped as &amp;
// &lt; &gt;, tab, CR and LF as &#9; &#13; &#10; so that no parser
// normalises them; any other character XML 1.0 cannot hold is an error.
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
    // Registry mode: OEM values that only the 32-bit view (WOW6432Node) holds.
    std::vector<TShownValue> Wow6432NodeOnly;
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
