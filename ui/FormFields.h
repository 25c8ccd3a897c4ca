#pragma once
// Which control of the window holds which part of the OEM information, and
// the copy between the window's fields and a record, in either direction,
// for the store in force: the registry store's texts, or the legacy store's
// [General] texts and logo with the support lines. The field table names
// each field's control.
#include <string>

#include "oeminfo/OEMFields.h"
#include "ui/FormData.h"

class TFormWindow;

// The control the field table names for `field`; None for a field the
// window does not show.
TCtl FieldControl(const TOEMField& field);

// The record the window's fields hold in `mode`. In legacy mode its
// SupportLines are the non-empty line fields in order, so the stored lines
// are numbered without gaps; the texts the mode does not store stay empty.
TOEMInfo RecordFromForm(const TFormWindow& window, TStoreMode mode);

// Puts the texts `mode` stores from `record` into the window's fields; in
// legacy mode also its support lines, as many as there are line fields.
void FormFromRecord(TFormWindow& window, const TOEMInfo& record, TStoreMode mode);
