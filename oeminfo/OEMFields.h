#pragma once
// The OEM information's fields, listed once. Each row says where each store
// keeps the field, which rules a value given for it must pass, and which of
// the window's controls edits it; the rows stand in the order /show writes
// them. The stores, the window, the command line and its checks all walk
// this table, so a field is added by adding its row.
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

extern TOEMInfo OEMInfo;

// Windows before Vista reads the legacy store, Vista and later the registry.
enum class TStoreMode { Legacy, Registry };

// Where a store keeps a field.
enum class TFieldHome : unsigned char {
    None,           // this store does not keep it
    RegistryValue,  // the OEM key's string value of the field's name
    GeneralKey,     // the key of the field's name in oeminfo.ini's [General]
    SupportLine,    // a line of oeminfo.ini's [Support Information], by its place
    LogoFile,       // oemlogo.bmp in the system directory; the field is its path
};

// What a value of the field is.
enum class TFieldKind : unsigned char {
    Text,
    Url,      // an address Windows shows as a link
    Picture,  // a picture's path, which must load as the window loads it
};

struct TOEMField {
    const char* Name;  // as the registry, the profile file, /show and /apply name it
    TFieldHome Registry;
    TFieldHome Legacy;
    std::string TOEMInfo::*Text;  // its text in the record; nullptr for a support line and a field the window never writes
    unsigned Line;                // SupportLine: its number, counted from 1
    const char* Control;          // the window's control that shows it; nullptr for none
    // The longest value the command line takes: in UTF-16 code units in
    // registry mode, in bytes of the ANSI code page in legacy mode.
    unsigned MaxLength;
    TFieldKind Kind;
    bool Expandable;  // Windows expands environment variables in it (REG_EXPAND_SZ)
};

// Where the store of `mode` keeps `field`.
inline TFieldHome HomeIn(const TOEMField& field, TStoreMode mode)
{
    return mode == TStoreMode::Registry ? field.Registry : field.Legacy;
}
inline bool IsStoredIn(const TOEMField& field, TStoreMode mode)
{
    return HomeIn(field, mode) != TFieldHome::None;
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
