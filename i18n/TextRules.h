#pragma once
// The translation layer's rules that need no window and no file: which
// language the user wants, whether a catalog header declares UTF-8, and the
// line ends of looked-up texts. Pure, so they are tested natively.
#include <string>

// What the platform says about the user's language; gathered at the edge.
struct TLocaleFacts {
    std::string langVariable;  // LANG, empty when unset
    std::string isoLanguage;   // ISO 639 name of the user locale, empty when unknown
    std::string isoCountry;    // ISO 3166 name of the user locale, empty when unknown
    unsigned threadLocale = 0; // the thread's locale identifier
};

// LANG when set, else language "_" country when both have two letters ("no"
// read as "nb"), else the thread locale by the table, else "C"; in every case
// cut before the first ".".
std::string ChooseLanguageCode(const TLocaleFacts& facts);

// The code for a locale identifier, "C" for one we have no code for.
std::string CodeForLocaleId(unsigned lcid);

// True when the header's first "Content-Type: " line (letter case ignored)
// has a value naming charset=UTF-8.
bool HeaderDeclaresUtf8(const std::string& header);

// Catalog keys carry line feeds alone.
std::string RemoveCarriageReturns(const std::string& text);

// Window texts want CR LF: a CR before every LF that has none.
std::string AddCarriageReturns(const std::string& text);
