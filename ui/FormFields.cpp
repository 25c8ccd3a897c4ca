// The one mapping between the window's fields and the store's record.
#include "ui/FormFields.h"

#include <windows.h>

#include <iterator>

#include "ui/FormWindow.h"

namespace {
struct TFieldControl {
    std::string TOEMInfo::*text;
    TCtl control;
};
// The logo's path lives in a label that is never shown.
const TFieldControl FieldControls[] = {
    {&TOEMInfo::Manufacturer, TCtl::Edit_Manufacturer}, {&TOEMInfo::Model, TCtl::Edit_Model},
    {&TOEMInfo::SupportHours, TCtl::Edit_SHours},       {&TOEMInfo::SupportPhone, TCtl::Edit_SPhone},
    {&TOEMInfo::SupportURL, TCtl::Edit_SUrl},           {&TOEMInfo::Logo, TCtl::Label_Logo},
};
static_assert(std::size(FieldControls) == OEMFieldCount, "every field of the record needs its control");
}  // namespace

const TCtl LineControls[OEMLineFieldCount] = {
    TCtl::Edit_Line1, TCtl::Edit_Line2, TCtl::Edit_Line3, TCtl::Edit_Line4, TCtl::Edit_Line5,
    TCtl::Edit_Line6, TCtl::Edit_Line7, TCtl::Edit_Line8, TCtl::Edit_Line9, TCtl::Edit_Line10,
};

TCtl FieldControl(std::string TOEMInfo::*text)
{
    for (const TFieldControl& field : FieldControls)
        if (field.text == text)
            return field.control;
    return TCtl::None;
}

TOEMInfo RecordFromForm(const TFormWindow& window, TStoreMode mode)
{
    TOEMInfo record;
    for (const TOEMField& field : OEMFields)
        if (IsStoredIn(field, mode))
            record.*field.Text = WindowTextOf(window.Control(FieldControl(field.Text)));
    if (mode == TStoreMode::Legacy) {
        record.SupportLines = std::make_unique<std::vector<std::string>>();
        for (TCtl line : LineControls) {
            std::string text = WindowTextOf(window.Control(line));
            if (!text.empty())
                record.SupportLines->push_back(text);
        }
    }
    return record;
}

void FormFromRecord(TFormWindow& window, const TOEMInfo& record, TStoreMode mode)
{
    for (const TOEMField& field : OEMFields)
        if (IsStoredIn(field, mode))
            SetWindowTextA(window.Control(FieldControl(field.Text)), (record.*field.Text).c_str());
    if (mode != TStoreMode::Legacy || !record.SupportLines)
        return;
    const std::vector<std::string>& lines = *record.SupportLines;
    for (size_t i = 0; i < lines.size() && i < OEMLineFieldCount; ++i)
        SetWindowTextA(window.Control(LineControls[i]), lines[i].c_str());
}
