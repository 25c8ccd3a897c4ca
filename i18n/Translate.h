#pragma once
// Translation of the window's texts and of the program's messages through
// GNU .mo catalogs in locale\<code>\LC_MESSAGES\<domain>.mo beside the exe.
#include <functional>
#include <string>
#include <vector>

// Chooses the language once (LANG, else the user locale, else the thread
// locale), fixes the catalog directory beside the executable and routes the
// standard texts (ResText) through the "default" domain. Called by the
// program body before the window is created.
void InitTranslation();

// Where the translation layer's own reports go: the notice about a catalog
// that does not declare UTF-8, and the error of a "default" catalog that
// cannot be read while a standard text is loaded. Empty (the default) shows
// them in their boxes; a run without a window, which must never stop at a
// box nobody sees, hands them to its error output instead.
void SetTranslationReport(std::function<void(const std::string& text)> report);

// The language code chosen at start, e.g. "de_DE" or "C".
const std::string& LanguageCode();

// For tests: start over with this language code and catalog directory
// (ending in a path delimiter), every domain back to "not yet opened".
void ResetTranslation(const std::string& languageCode, const std::string& catalogDir);

// The translation of `text` (ANSI code page) in `domain`, or `text` itself.
std::string TranslateText(const std::string& domain, const std::string& text);

// One text property of a translatable object.
struct TTextProperty {
    std::function<std::string()> get;
    std::function<void(const std::string&)> set;
};

// Anything TranslateComponent can walk: a window, a control, a font, a page.
class TTranslatable {
public:
    virtual ~TTranslatable() = default;
    // Every text property a window description can set, except names.
    virtual std::vector<TTextProperty> TextProperties() = 0;
    // Objects owned by this one or referred to by its properties (a font, the
    // active page, owned controls). The walker visits each object once.
    virtual std::vector<TTranslatable*> Children() = 0;
};

// Translates `window` and everything reachable from it in place, once per
// window for the whole run.
void TranslateComponent(TTranslatable& window, const std::string& domain);

// Translates the text properties of `object` alone, as TranslateComponent
// does for each object it visits: for a part of a window made after the
// window was translated.
void TranslateProperties(TTranslatable& object, const std::string& domain);
