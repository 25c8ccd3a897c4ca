#pragma once
// The two persistent homes of the OEM information as the window uses them:
// the legacy INI store (oeminfo.ini and oemlogo.bmp in the system directory,
// Windows before Vista) and the registry store (the OEMInformation key,
// Vista and later). Their reader is lenient: it shows what it could read.
// The command line's strict reader is oeminfo/StrictStore.
#include <windows.h>

#include "base/WindowsVersion.h"
#include "oeminfo/OEMFields.h"
#include "oeminfo/StoreLayout.h"

#include <string>
#include <vector>

TStoreMode StoreMode();

class TPicture;

void ReadIniOEMInfo();
// Writes oeminfo.ini whole, replacing the old file in one step, then
// installs `Logo` (the picture checked for the record's logo; nullptr or an
// empty one keeps the logo file there is) as oemlogo.bmp from its checked
// bytes: as they are when Windows reads them, else converted.
void WriteIniOEMInfo(const std::string& Manufacturer, const std::string& Model, const TPicture* Logo,
                     const std::vector<std::string>& Lines);
// Deletes both files or neither: each is moved aside, and deleted only when
// both are; when the second cannot be moved, the first is moved back.
void RemoveIniOEMInfo();

void ReadRegOEMInfo();
// Opens the OEM key for writing (TOEMKeyUse::Write). A refusal raises the
// text its reader expects: the window's standard one, or for the command
// line ENothingWritten, which says that nothing was written.
enum class TKeyRefusal { StandardText, NothingWritten };
TRegistryKey OpenOEMKeyForWriting(TKeyRefusal refusal);
void WriteRegOEMInfo(const std::string& Manufacturer, const std::string& Model, const std::string& SupportHours,
                     const std::string& SupportPhone, const std::string& SupportURL, const std::string& Logo);
// The same, taking the record's texts from a record (its SupportLines are
// not used). A value stored as REG_EXPAND_SZ with the text written keeps
// that type; every other is written as REG_SZ.
void WriteRegOEMInfo(const TOEMInfo& info);
// Deletes the record's values and those only the command line writes, and
// the logo file a conversion wrote when the stored Logo names it.
void RemoveRegOEMInfo();

// The store of `mode`, for callers that work on whichever is in force.
// ReadOEMInfo fills OEMInfo as the store's reader does. WriteOEMInfo writes a
// whole record: the registry store its texts; the legacy store its
// [General] texts with SupportLines (none when there is no list) as the
// lines, numbered as they stand. `logo` is the picture the caller checked
// for record.Logo (nullptr when there is none or it is unchanged): the
// legacy store installs it as oemlogo.bmp; the registry store converts an
// icon or metafile into oemlogo.bmp, which then becomes the Logo. Gives the
// Logo the store now holds: the registry's text, or the legacy logo file's
// path ("" when there is none).
void ReadOEMInfo(TStoreMode mode);
std::string WriteOEMInfo(TStoreMode mode, const TOEMInfo& record, const TPicture* logo);
void RemoveOEMInfo(TStoreMode mode);

// Deletes what a run killed part-way left beside oeminfo.ini and
// oemlogo.bmp (see ClearLeftovers); true when there was any.
bool ClearStoreLeftovers();
// Whether there is any, without touching them.
bool StoreLeftoversFound();
