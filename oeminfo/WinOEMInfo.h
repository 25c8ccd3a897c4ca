#pragma once
// The two persistent homes of the OEM information as the window uses them:
// the legacy INI store (oeminfo.ini and oemlogo.bmp in the system directory,
// Windows before Vista) and the registry store (the OEMInformation key,
// Vista and later). Their reader is lenient: it shows what it could read.
// The command line's strict reader and writer, oeminfo/StrictStore, stand
// beside them.
#include <windows.h>

#include "base/WindowsVersion.h"
#include "oeminfo/OEMFields.h"
#include "oeminfo/StoreLayout.h"

#include <string>
#include <vector>

// The record the window's reader fills; see TOEMInfo.
extern TOEMInfo OEMInfo;

TStoreMode StoreMode();

class TPicture;

void ReadIniOEMInfo();
// Writes oeminfo.ini whole, replacing the old file in one step, then
// installs `Logo` (the picture checked for the record's logo; nullptr or one
// never loaded keeps the logo file there is) as oemlogo.bmp from its checked
// bytes: as they are when Windows reads them, else converted. Gives the
// logo file's path when there is one, else "": the Logo the store holds.
std::string WriteIniOEMInfo(const std::string& Manufacturer, const std::string& Model, const TPicture* Logo,
                            const std::vector<std::string>& Lines);
// Deletes both files or neither: each is moved aside, and deleted only when
// both are; when the second cannot be moved, the first is moved back.
void RemoveIniOEMInfo();

void ReadRegOEMInfo();
// Writes the six values. `picture` is the one checked for `Logo` (nullptr
// when there is none or it is unchanged): an icon or metafile, which Windows
// does not show as the logo, becomes oemlogo.bmp in the real system
// directory, written first and named by the Logo written, and put back when
// a value cannot be written. A value stored as REG_EXPAND_SZ with the text
// written keeps that type; every other is written as REG_SZ. Gives the Logo
// written.
std::string WriteRegOEMInfo(const std::string& Manufacturer, const std::string& Model,
                            const std::string& SupportHours, const std::string& SupportPhone,
                            const std::string& SupportURL, const std::string& Logo, const TPicture* picture = nullptr);
// Deletes the record's values and those only the command line writes, and
// the logo file a conversion wrote when the stored Logo names it.
void RemoveRegOEMInfo();

// The store of `mode`, for callers that work on whichever is in force:
// ReadOEMInfo fills OEMInfo as the store's reader does.
void ReadOEMInfo(TStoreMode mode);
void RemoveOEMInfo(TStoreMode mode);

// Deletes what a run killed part-way left beside oeminfo.ini and
// oemlogo.bmp (see ClearLeftovers); true when there was any.
bool ClearStoreLeftovers();
// Whether there is any, without touching them.
bool StoreLeftoversFound();
