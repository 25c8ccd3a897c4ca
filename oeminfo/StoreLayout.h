#pragma once
// Where the two stores keep the OEM information, and how much of it they
// believe: the one place for the key, the files, the section names and the
// limits that both the window's lenient reader and the command line's
// strict one use.
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/RegistryKey.h"
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
