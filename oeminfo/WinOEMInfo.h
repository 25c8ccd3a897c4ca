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

void ReadIniOEMInfo();
void WriteIniOEMInfo(const std::string& Manufacturer, const std::string& Model, const std::string& LogoPath,
                     const std::vector<std::string>& Lines);
// Deletes both files or neither: when the second cannot be deleted, the
// first is written back from the bytes it held.
void RemoveIniOEMInfo();

void ReadRegOEMInfo();
void WriteRegOEMInfo(const std::string& Manufacturer, const std::string& Model, const std::string& SupportHours,
                     const std::string& SupportPhone, const std::string& SupportURL, const std::string& Logo);
// The same, taking the record's texts from a record (its SupportLines are not used).
void WriteRegOEMInfo(const TOEMInfo& info);
// Deletes the record's values and those only the command line writes.
void RemoveRegOEMInfo();

// The store of `mode`, for callers that work on whichever is in force.
// ReadOEMInfo fills OEMInfo as the store's reader does. WriteOEMInfo writes a
// whole record: the registry store its texts; the legacy store its
// [General] texts and logo with SupportLines (none when there is no list)
// as the lines, numbered as they stand.
void ReadOEMInfo(TStoreMode mode);
void WriteOEMInfo(TStoreMode mode, const TOEMInfo& record);
void RemoveOEMInfo(TStoreMode mode);
