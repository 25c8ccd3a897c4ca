// The one mapping between the window's fields and the store's record.
#include "ui/FormFields.h"

#include <windows.h>

#include <cstring>

#include "ui/FormWindow.h"

namespace {
// The fields of `mode` that the window shows.
TFieldList ShownFields(TStoreMode mode)
{
    TFieldList shown;
    for (const TOEMField* field : OEMFieldsIn(mode))
        if (field->Control)
            shown.push_back(field);
    return shown;
}
}  // namespace

TCtl FieldControl(const TOEMField& field)
{
    for (size_t i = 0; field.Control && i < FormControlCount; ++i)
        if (std::strcmp(FormControls[i].name, field.Control) == 0)
            return FormControls[i].id;
    return TCtl::None;
}

TOEMInfo RecordFromForm(const TFormWindow& window, TStoreMode mode)
{
    TOEMInfo record;
    if (mode == TStoreMode::Legacy)
        record.SupportLines = std::make_unique<std::vector<std::string>>();
    for (const TOEMField* field : ShownFields(mode)) {
        std::string text = WindowTextOf(window.Control(FieldControl(*field)));
        if (field->Text)
            record.*field->Text = std::move(text);
        else if (!text.empty())
            record.SupportLines->push_back(std::move(text));
    }
    return record;
}

void FormFromRecord(TFormWindow& window, const TOEMInfo& record, TStoreMode mode)
{
    const std::vector<std::string>* lines = mode == TStoreMode::Legacy ? record.SupportLines.get() : nullptr;
    for (const TOEMField* field : ShownFields(mode)) {
        const HWND control = window.Control(FieldControl(*field));
        if (field->Text)
            SetWindowTextA(control, (record.*field->Text).c_str());
        else if (lines && field->Line <= lines->size())
            SetWindowTextA(control, (*lines)[field->Line - 1].c_str());
    }
}
