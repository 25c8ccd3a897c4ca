// The field table.
#include "oeminfo/OEMFields.h"

#include <iterator>

TOEMInfo OEMInfo;

namespace {

// What Windows' profile functions read back of a value in the legacy store,
// and Windows' advice for registry values: one bound keeps a field file good
// for either mode.
constexpr unsigned MaxText = 2047;

constexpr TFieldHome Value = TFieldHome::RegistryValue, General = TFieldHome::GeneralKey,
                     Support = TFieldHome::SupportLine, LogoFile = TFieldHome::LogoFile, None = TFieldHome::None;
constexpr TFieldKind Text = TFieldKind::Text, Url = TFieldKind::Url, Picture = TFieldKind::Picture;

#define SUPPORT_LINE(n) {"Line" #n, None, Support, nullptr, n, "Edit_Line" #n, MaxText, Text, false}

// Columns: name, registry store, legacy store, record text, line, control,
// longest value, kind, expandable.
constexpr TOEMField OEMFieldTable[] = {
    {"Manufacturer", Value, General, &TOEMInfo::Manufacturer, 0, "Edit_Manufacturer", MaxText, Text, false},
    {"Model", Value, General, &TOEMInfo::Model, 0, "Edit_Model", MaxText, Text, false},
    {"SupportHours", Value, None, &TOEMInfo::SupportHours, 0, "Edit_SHours", MaxText, Text, false},
    {"SupportPhone", Value, None, &TOEMInfo::SupportPhone, 0, "Edit_SPhone", MaxText, Text, false},
    {"SupportURL", Value, None, &TOEMInfo::SupportURL, 0, "Edit_SUrl", MaxText, Url, false},
    SUPPORT_LINE(1),
    SUPPORT_LINE(2),
    SUPPORT_LINE(3),
    SUPPORT_LINE(4),
    SUPPORT_LINE(5),
    SUPPORT_LINE(6),
    SUPPORT_LINE(7),
    SUPPORT_LINE(8),
    SUPPORT_LINE(9),
    SUPPORT_LINE(10),
    // The logo's path lives in a label that is never shown.
    {"Logo", Value, LogoFile, &TOEMInfo::Logo, 0, "Label_Logo", MaxText, Picture, true},
    // Windows 10 and 11 read these beyond the six: the name shown for
    // support, instead of Manufacturer, a support app's link, preferred
    // over SupportURL, and the addresses of a trade-in and a recycling offer.
    {"SupportProvider", Value, None, nullptr, 0, nullptr, MaxText, Text, false},
    {"SupportAppURL", Value, None, nullptr, 0, nullptr, MaxText, Text, false},
    {"TradeInURL", Value, None, nullptr, 0, nullptr, MaxText, Url, false},
    {"RecycleURL", Value, None, nullptr, 0, nullptr, MaxText, Url, false},
};

#undef SUPPORT_LINE

template <class TPick> TFieldList Select(TPick pick)
{
    TFieldList fields;
    for (const TOEMField& field : OEMFieldTable)
        if (pick(field))
            fields.push_back(&field);
    return fields;
}

}  // namespace

TFieldList AllOEMFields()
{
    return Select([](const TOEMField&) { return true; });
}

TFieldList OEMFieldsIn(TStoreMode mode)
{
    return Select([mode](const TOEMField& field) { return IsStoredIn(field, mode); });
}

TFieldList RecordFields()
{
    return Select([](const TOEMField& field) { return field.Text != nullptr; });
}

TFieldList CommandLineOnlyFields()
{
    return Select([](const TOEMField& field) { return field.Registry == TFieldHome::RegistryValue && !field.Control; });
}
