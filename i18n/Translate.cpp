// Translation of the window's texts and the standard texts through the catalogs.
#include "Translate.h"

#include "MoCatalog.h"
#include "Platform.h"
#include "TextRules.h"
#include "base/Error.h"
#include "base/Format.h"
#include "base/ResText.h"

#include <map>
#include <optional>
#include <set>

namespace {
enum class TDomainState { NotOpened, Open, NoCatalog, SwitchedOff };

struct TDomain {
    TDomainState state = TDomainState::NotOpened;
    std::optional<TMoCatalog> catalog;
};

struct TTranslation {
    std::string languageCode = "C";
    std::string catalogDir;
    std::map<std::string, TDomain> domains;
    std::set<const TTranslatable*> translatedWindows;
};

TTranslation& State()
{
    static TTranslation state;
    return state;
}

std::function<void(const std::string&)> Report;

std::string CatalogPath(const std::string& code, const std::string& domain)
{
    const char delim = i18n_platform::kPathDelimiter;
    return State().catalogDir + code + delim + "LC_MESSAGES" + delim + domain + ".mo";
}

void OpenDomain(const std::string& name, TDomain& domain)
{
    const std::string& code = State().languageCode;
    std::string path = CatalogPath(code, name);
    if (!i18n_platform::IsExistingFile(path)) {
        path = CatalogPath(code.substr(0, 2), name);
        if (!i18n_platform::IsExistingFile(path)) {
            domain.state = TDomainState::NoCatalog;
            return;
        }
    }
    // Switched off before anything can fail, so that a broken catalog is
    // reported by the one lookup that found it and not by every later one.
    domain.state = TDomainState::SwitchedOff;
    std::string bytes;
    std::optional<TMoCatalog> catalog;
    if (i18n_platform::ReadCatalogFile(path, bytes))
        catalog = TMoCatalog::Parse(std::move(bytes));
    if (!catalog) {
        // Not routed through the "default" domain: this may be that domain's
        // own catalog failing to open.
        throw EMarquillError("This file is not a valid GNU gettext mo file: " + path);
    }
    if (!HeaderDeclaresUtf8(std::string(catalog->Header()))) {
        const std::string caption = "Localization problem";
        const std::string text = "The translation for the language code " + code + " (in " + path +
                                 ") does not have charset=utf-8 in its Content-Type. Translations are turned off.";
        if (Report)
            Report(caption + ": " + text);
        else
            i18n_platform::ShowLocalizationProblem(caption, text);
        return;
    }
    domain.catalog = std::move(catalog);
    domain.state = TDomainState::Open;
}

std::string ToolkitText(const std::string& english)
{
    // Standard texts are loaded in places that have no handler to report to
    // (a dialog's hook, the building of another error's message): report a
    // broken "default" catalog here, once, and carry on in English.
    try {
        return TranslateText("default", english);
    } catch (const EMarquillError& e) {
        if (Report)
            Report(WithFullStop(e.what()));
        else
            i18n_platform::ShowError(e.what());
    } catch (const std::exception&) {
    }
    return english;
}

void Visit(TTranslatable& object, const std::string& domain, std::set<const TTranslatable*>& visited)
{
    if (!visited.insert(&object).second)
        return;
    TranslateProperties(object, domain);
    for (TTranslatable* child : object.Children()) {
        if (child && State().translatedWindows.count(child) == 0)
            Visit(*child, domain, visited);
    }
}
}  // namespace

void SetTranslationReport(std::function<void(const std::string& text)> report)
{
    Report = std::move(report);
}

void InitTranslation()
{
    TLocaleFacts facts = i18n_platform::GatherLocaleFacts();
    ResetTranslation(ChooseLanguageCode(facts), i18n_platform::ExecutableDir() + "locale" +
                                                    i18n_platform::kPathDelimiter);
}

const std::string& LanguageCode()
{
    return State().languageCode;
}

void ResetTranslation(const std::string& languageCode, const std::string& catalogDir)
{
    TTranslation& state = State();
    state.languageCode = languageCode;
    state.catalogDir = catalogDir;
    state.domains.clear();
    state.translatedWindows.clear();
    SetResTextHook(ToolkitText);
}

std::string TranslateText(const std::string& domainName, const std::string& text)
{
    if (text.empty())
        return text;
    TDomain& domain = State().domains[domainName];
    if (domain.state == TDomainState::NotOpened)
        OpenDomain(domainName, domain);
    if (domain.state == TDomainState::SwitchedOff)
        return text;
    // Texts without an entry get the same line ends as translated ones, so a
    // window text reads alike whichever catalog is (or is not) there.
    std::string result = RemoveCarriageReturns(i18n_platform::AnsiToUtf8(text));
    // A text of carriage returns alone leaves an empty key, which would find
    // the catalog's header.
    if (domain.state == TDomainState::Open && !result.empty()) {
        if (std::optional<std::string_view> found = domain.catalog->Lookup(result))
            result = std::string(*found);
    }
    return i18n_platform::Utf8ToAnsi(AddCarriageReturns(result));
}

void TranslateProperties(TTranslatable& object, const std::string& domain)
{
    for (const TTextProperty& property : object.TextProperties()) {
        std::string value = property.get();
        if (value.empty())
            continue;
        std::string translated = TranslateText(domain, value);
        if (translated != value)
            property.set(translated);
    }
}

void TranslateComponent(TTranslatable& window, const std::string& domain)
{
    if (State().translatedWindows.count(&window) != 0)
        return;
    std::set<const TTranslatable*> visited;
    Visit(window, domain, visited);
    State().translatedWindows.insert(&window);
}
