// The field table's selections.
#include "oeminfo/OEMFields.h"

#include "base/AsciiCase.h"

namespace {

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
    return Select([](const TOEMField& field) { return field.Registry == TRegistryHome::Value && !field.Control; });
}

const TOEMField* OEMFieldNamed(const std::string& name)
{
    for (const TOEMField& field : OEMFieldTable)
        if (SameIgnoringAsciiCase(name, field.Name))
            return &field;
    return nullptr;
}

std::string SupportLineName(size_t number)
{
    return "Line" + std::to_string(number);
}
