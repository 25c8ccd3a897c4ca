#pragma once
// The OEM information's fields, listed once. Each row says where each store
// keeps the field, which rules a value given for it must pass, how an answer
// file names it, and which of the window's controls edits it; the rows stand
// in the order /show writes them. The stores, the window, the command line,
// its checks and /show's forms all walk this table, so a field is added by
// adding its row. Nothing here calls Windows: the native builds of the
// command line's rules and of /show's forms read it too.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct TOEMInfo {
    std::string Manufacturer;
    std::string Model;
    std::string SupportHours;
    std::string SupportPhone;
    std::string SupportURL;
    std::string Logo;
    // Created by ReadIniOEMInfo, released by the window's close handler.
    std::unique_ptr<std::vector<std::string>> SupportLines;
};

// Windows before Vista reads the legacy store, Vista and later the registry.
enum class TStoreMode { Legacy, Registry };

// Where the registry store keeps a field.
enum class TRegistryHome : unsigned char {
    None,   // it does not keep it
    Value,  // the OEM key's string value of the field's name
};

// Where the legacy store keeps a field.
enum class TLegacyHome : unsigned char {
    None,         // it does not keep it
    GeneralKey,   // the key of the field's name in oeminfo.ini's [General]
    SupportLine,  // a line of oeminfo.ini's [Support Information], by its place
    LogoFile,     // oemlogo.bmp in the system directory; the field is its path
};

// What a value of the field is.
enum class TFieldKind : unsigned char {
    Text,
    Url,      // an address Windows shows as a link
    Picture,  // a picture's path, which must load as the window loads it
};

// Whose rule makes a web address acceptable: Setup's answer-file
// documentation asks it of SupportURL; for the newer addresses it documents
// none, and Marquill asks the same of them by its own choice.
enum class TUrlRule : unsigned char { None, Setup, Marquill };

// What Windows' profile functions read back of a value in the legacy store,
// and Windows' advice for registry values: one bound keeps a field file good
// for either mode.
constexpr unsigned MaxFieldText = 2047;

struct TOEMField {
    const char* Name = nullptr;  // as the registry, the profile file, /show and /apply name it
    TRegistryHome Registry = TRegistryHome::None;
    TLegacyHome Legacy = TLegacyHome::None;
    std::string TOEMInfo::*Text = nullptr;  // its text in the record; nullptr for a support line and a field the window never writes
    unsigned Line = 0;                      // SupportLine: its number, counted from 1
    const char* Control = nullptr;          // the window's control that shows it; nullptr for none
    unsigned MaxLength = MaxFieldText;      // the longest value the command line takes, in bytes of the ANSI code page
    TFieldKind Kind = TFieldKind::Text;
    TUrlRule UrlRule = TUrlRule::None;  // Url: whose rule applies
    bool Expandable = false;            // Windows expands environment variables in it (REG_EXPAND_SZ)
    // The element of an answer file's <OEMInformation> that holds it (named
    // as the field); nullptr when an answer file has none.
    const char* AnswerElement = nullptr;
    // The answer file's documented limit, in UTF-16 code units; 0 for none.
    unsigned AnswerLimit = 0;
};

// The makers of a row: each column has its own, so that no two columns can
// be swapped unnoticed, as positional rows would allow.
class TFieldRow {
public:
    explicit constexpr TFieldRow(const char* name) { row_.Name = name; }
    constexpr operator TOEMField() const { return row_; }

    constexpr TFieldRow Registry() const
    {
        TFieldRow r = *this;
        r.row_.Registry = TRegistryHome::Value;
        return r;
    }
    constexpr TFieldRow General() const { return Legacy(TLegacyHome::GeneralKey, 0); }
    constexpr TFieldRow SupportLine(unsigned line) const { return Legacy(TLegacyHome::SupportLine, line); }
    constexpr TFieldRow LogoFile() const { return Legacy(TLegacyHome::LogoFile, 0); }
    constexpr TFieldRow Record(std::string TOEMInfo::*text) const
    {
        TFieldRow r = *this;
        r.row_.Text = text;
        return r;
    }
    constexpr TFieldRow Control(const char* control) const
    {
        TFieldRow r = *this;
        r.row_.Control = control;
        return r;
    }
    constexpr TFieldRow Url(TUrlRule rule) const
    {
        TFieldRow r = *this;
        r.row_.Kind = TFieldKind::Url;
        r.row_.UrlRule = rule;
        return r;
    }
    constexpr TFieldRow Picture() const
    {
        TFieldRow r = *this;
        r.row_.Kind = TFieldKind::Picture;
        return r;
    }
    constexpr TFieldRow Expandable() const
    {
        TFieldRow r = *this;
        r.row_.Expandable = true;
        return r;
    }
    // An element of the field's name in an answer file, with its documented
    // limit in UTF-16 code units (0: none documented).
    constexpr TFieldRow AnswerFile(unsigned limit) const
    {
        TFieldRow r = *this;
        r.row_.AnswerElement = row_.Name;
        r.row_.AnswerLimit = limit;
        return r;
    }

private:
    constexpr TFieldRow Legacy(TLegacyHome home, unsigned line) const
    {
        TFieldRow r = *this;
        r.row_.Legacy = home;
        r.row_.Line = line;
        return r;
    }

    TOEMField row_;
};

constexpr TFieldRow Field(const char* name)
{
    return TFieldRow(name);
}

#define MARQUILL_SUPPORT_LINE(n) Field("Line" #n).SupportLine(n).Control("Edit_Line" #n)

// Every row, in /show order.
inline constexpr TOEMField OEMFieldTable[] = {
    Field("Manufacturer").Registry().General().Record(&TOEMInfo::Manufacturer).Control("Edit_Manufacturer").AnswerFile(256),
    Field("Model").Registry().General().Record(&TOEMInfo::Model).Control("Edit_Model").AnswerFile(256),
    Field("SupportHours").Registry().Record(&TOEMInfo::SupportHours).Control("Edit_SHours").AnswerFile(256),
    Field("SupportPhone").Registry().Record(&TOEMInfo::SupportPhone).Control("Edit_SPhone").AnswerFile(256),
    Field("SupportURL").Registry().Record(&TOEMInfo::SupportURL).Control("Edit_SUrl").Url(TUrlRule::Setup).AnswerFile(2083),
    MARQUILL_SUPPORT_LINE(1),
    MARQUILL_SUPPORT_LINE(2),
    MARQUILL_SUPPORT_LINE(3),
    MARQUILL_SUPPORT_LINE(4),
    MARQUILL_SUPPORT_LINE(5),
    MARQUILL_SUPPORT_LINE(6),
    MARQUILL_SUPPORT_LINE(7),
    MARQUILL_SUPPORT_LINE(8),
    MARQUILL_SUPPORT_LINE(9),
    MARQUILL_SUPPORT_LINE(10),
    // The logo's path lives in a label that is never shown.
    Field("Logo").Registry().LogoFile().Record(&TOEMInfo::Logo).Control("Label_Logo").Picture().Expandable().AnswerFile(256),
    // Windows 10 and 11 read these beyond the six: the name shown for
    // support, instead of Manufacturer, a support app's link (a store link,
    // which no URL rule fits), preferred over SupportURL, and the addresses
    // of a trade-in and a recycling offer. The window never writes them.
    Field("SupportProvider").Registry().AnswerFile(0),
    Field("SupportAppURL").Registry().AnswerFile(0),
    Field("TradeInURL").Registry().Url(TUrlRule::Marquill).AnswerFile(0),
    Field("RecycleURL").Registry().Url(TUrlRule::Marquill).AnswerFile(0),
};

#undef MARQUILL_SUPPORT_LINE

// How many rows `pick` takes; for the operations whose parameters the
// platform's interface fixes, to hold them to the table when it compiles.
template <class TPick> constexpr size_t CountOEMFields(TPick pick)
{
    size_t count = 0;
    for (const TOEMField& field : OEMFieldTable)
        count += pick(field) ? 1 : 0;
    return count;
}

inline bool IsStoredIn(const TOEMField& field, TStoreMode mode)
{
    return mode == TStoreMode::Registry ? field.Registry != TRegistryHome::None : field.Legacy != TLegacyHome::None;
}

using TFieldList = std::vector<const TOEMField*>;

// Every row, in /show order.
TFieldList AllOEMFields();
// The fields the store of `mode` keeps, in /show order.
TFieldList OEMFieldsIn(TStoreMode mode);
// The fields the record holds as texts (TOEMInfo's six), in store order.
TFieldList RecordFields();
// The registry values only the command line writes (Remove deletes them too).
TFieldList CommandLineOnlyFields();
// The row named `name` (letter case ignored); nullptr for none.
const TOEMField* OEMFieldNamed(const std::string& name);
// The key of oeminfo.ini's support line `number` (counted from 1), also for
// lines past the last line field.
std::string SupportLineName(size_t number);
