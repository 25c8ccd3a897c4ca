#pragma once
// Where the two stores keep the OEM information, and how much of it they
// believe: the one place for the key, the files, the section names and the
// limits that both the window's lenient reader and the command line's
// strict one use.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/RegistryKey.h"
#include "oeminfo/OEMFields.h"
#include "oeminfo/StoreTypes.h"
#include "picture/PictureCheck.h"
#include "picture/PlainBitmap.h"

// The key of the registry store in the 64-bit view of HKEY_LOCAL_MACHINE,
// and its full name for messages.
extern const char OEMKeyPath[];
extern const char OEMKeyFullName[];

// The legacy store's sections of oeminfo.ini.
extern const char GeneralSection[];
extern const char SupportSection[];

// A registry value larger than this is not believed; no OEM text comes near it.
constexpr DWORD MaxValueBytes = 16u * 1024 * 1024;
// A store file (oeminfo.ini, or oemlogo.bmp, which is a picture) larger than
// this is not kept.
constexpr uint64_t MaxStoreFileBytes = MaxPictureFileSize;
// Every reader and Remove must take any logo file the program wrote.
static_assert(MaxStoreFileBytes >= MaxLogoBitmapBytes, "a logo the program wrote would not be read back");
// The profile reads' limits, in characters: a value is read whole, however
// long (no value is longer than its file), and the key names of a section
// into one buffer.
constexpr DWORD MaxValueChars = static_cast<DWORD>(MaxStoreFileBytes);
constexpr DWORD KeyNamesBufferChars = 16384;

// The system directory as GetSystemDirectoryA gives it, asked on every call.
std::string GetSystemDir();
std::string IniFilePath();   // GetSystemDir() + "\oeminfo.ini"
std::string LogoFilePath();  // GetSystemDir() + "\oemlogo.bmp"

// How an operation opens the OEM key.
enum class TOEMKeyUse {
    ReadCreating,  // the window: a missing key is created (and reads empty)
    ReadExisting,  // the command line's strict read: a missing key stays missing
    Write,         // creating it when missing; its values may be queried too
};
// Opens the OEM key into `key`; the platform's result.
LONG OpenOEMKey(TRegistryKey& key, TOEMKeyUse use);
// Opens the OEM key for writing (TOEMKeyUse::Write); a refusal raises as
// `refusal` says.
TRegistryKey OpenOEMKeyForWriting(TKeyRefusal refusal);

// The files the store itself reads and writes; the caller sets the WOW64
// redirection.
// A store file's bytes, or missing; one that exists but cannot be read
// (or is larger than any the program writes) raises an error with the
// reason.
TStoredBytes ReadStoreFile(const std::string& path);
// Puts `file` back at `path` as it was (a missing one deleted), whatever the
// attributes of what stands there. False on failure.
bool RestoreStoreFile(const std::string& path, const TStoredBytes& file);
// A new oeminfo.ini in place of the old one, in one step, so that a run
// killed part-way leaves the old file or the new one: the [General] key of
// each of `general` set to its text in `texts`, then `lines` as the support
// lines "Line1" onwards. Raises "Unable to write to ..." on failure.
void WriteIniFile(const TFieldList& general, const std::vector<std::string>& texts,
                  const std::vector<std::string>& lines);
