#pragma once
// The two persistent homes of the OEM information: the legacy INI store
// (oeminfo.ini and oemlogo.bmp in the system directory, Windows before Vista)
// and the registry store (the OEMInformation key, Vista and later).
#include <windows.h>

#include "base/WindowsVersion.h"

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

// The record's texts, listed once. The registry store reads, writes and
// removes them in this order, each as the value of the same name; the legacy
// store keeps those marked Legacy (its support lines stand apart, in
// SupportLines). Whatever else names a field (the window, text forms of the
// record) goes through this list.
struct TOEMField {
    const char* Name;
    std::string TOEMInfo::*Text;
    bool Legacy;
};
constexpr size_t OEMFieldCount = 6;
extern const TOEMField OEMFields[OEMFieldCount];

// The key of the registry store in the 64-bit view of HKEY_LOCAL_MACHINE,
// and its full name for messages.
extern const char OEMKeyPath[];
extern const char OEMKeyFullName[];

// Values of the same key that Windows 10 and 11 read beyond the six: the
// name shown for support ("SupportProvider", shown instead of Manufacturer)
// and a support app's link ("SupportAppURL", preferred over SupportURL). The
// window never writes them; the command line does, and Remove deletes them.
constexpr size_t OEMNewerValueCount = 2;
extern const char* const OEMNewerValues[OEMNewerValueCount];

// The legacy store's support lines that can be edited: "Line1" to "Line10".
// Lines read beyond these are not shown, and an edit writes only these back.
constexpr size_t OEMLineFieldCount = 10;

enum class TStoreMode { Legacy, Registry };
TStoreMode StoreMode();

// Whether the store of `mode` keeps `field`.
inline bool IsStoredIn(const TOEMField& field, TStoreMode mode)
{
    return mode == TStoreMode::Registry || field.Legacy;
}

// The system directory as GetSystemDirectoryA gives it, asked on every call.
std::string GetSystemDir();

std::string IniFilePath();   // GetSystemDir() + "\oeminfo.ini"
std::string LogoFilePath();  // GetSystemDir() + "\oemlogo.bmp"

void ReadIniOEMInfo();
void WriteIniOEMInfo(const std::string& Manufacturer, const std::string& Model, const std::string& LogoPath,
                     const std::vector<std::string>& Lines);
// Deletes both files or neither: when the second cannot be deleted, the
// first is written back from the bytes it held.
void RemoveIniOEMInfo();

void ReadRegOEMInfo();
void WriteRegOEMInfo(const std::string& Manufacturer, const std::string& Model, const std::string& SupportHours,
                     const std::string& SupportPhone, const std::string& SupportURL, const std::string& Logo);
// The same, taking the six texts from a record (its SupportLines are not used).
void WriteRegOEMInfo(const TOEMInfo& info);
// Deletes the six values and the newer ones.
void RemoveRegOEMInfo();

// The store of `mode`, for callers that work on whichever is in force.
// ReadOEMInfo fills OEMInfo as the store's reader does. WriteOEMInfo writes a
// whole record: the registry store its six texts; the legacy store its
// manufacturer, model and logo with SupportLines (none when there is no
// list) as the lines, numbered as they stand.
void ReadOEMInfo(TStoreMode mode);
void WriteOEMInfo(TStoreMode mode, const TOEMInfo& record);
void RemoveOEMInfo(TStoreMode mode);
