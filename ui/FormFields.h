#pragma once
// Which control of the window holds which part of the OEM information, and
// the copy between the window's fields and a record, in either direction,
// for the store in force: the registry store's six texts, or the legacy
// store's manufacturer, model and logo with the support lines.
#include <string>

#include "oeminfo/WinOEMInfo.h"
#include "ui/FormData.h"

class TFormWindow;

// The control that holds the record's text `text` (one of OEMFields).
TCtl FieldControl(std::string TOEMInfo::*text);

// The support line fields, "Line1" first.
extern const TCtl LineControls[OEMLineFieldCount];

// The record the window's fields hold in `mode`. In legacy mode its
// SupportLines are the non-empty line fields in order, so the stored lines
// are numbered without gaps; the texts the mode does not store stay empty.
TOEMInfo RecordFromForm(const TFormWindow& window, TStoreMode mode);

// Puts the texts `mode` stores from `record` into the window's fields; in
// legacy mode also its support lines, as many as there are line fields.
void FormFromRecord(TFormWindow& window, const TOEMInfo& record, TStoreMode mode);
