#pragma once
// A registry key in the 64-bit view, whatever the program's own bitness (or,
// asked for, in the 32-bit view): opening or creating it, reading a value
// whole, setting and deleting one.
// Every call goes through PlatformApi; each answer is the platform's own
// result code, for the caller to turn into its message.
#include <windows.h>

#include <string>

#include "base/WinHandles.h"

// A value's data as the platform gave it, or why there is none.
struct TRegData {
    // ERROR_SUCCESS when read whole; else the platform's refusal
    // (ERROR_FILE_NOT_FOUND for a value that is not there), or
    // ERROR_MORE_DATA for one larger than the cap or still growing after
    // the last attempt.
    LONG Result = ERROR_SUCCESS;
    // Whether Result is the answer to the first question, the size.
    bool AtSizeQuery = false;
    DWORD Type = REG_NONE;
    std::string Bytes;  // exactly the bytes given; no terminating NUL is assumed
};

// The 32-bit view is where a 32-bit program's writes land on 64-bit Windows
// when it does not ask for the 64-bit one (WOW6432Node); on 32-bit Windows
// both are the one registry.
enum class TRegistryView { Bit64, Bit32 };

class TRegistryKey {
public:
    // Opens `path` under `root` with `access`; the result of RegOpenKeyExA.
    LONG Open(HKEY root, const char* path, REGSAM access, TRegistryView view = TRegistryView::Bit64);
    // The same, creating the key when it is missing (RegCreateKeyExA).
    LONG Create(HKEY root, const char* path, REGSAM access);
    bool Valid() const { return key_.Valid(); }

    // The value `name` read whole: its size asked first, then its data,
    // asked again with the size the platform reports while the value grows
    // in between, a bounded number of times and never beyond `maxBytes`.
    // QueryText reads through the ANSI function (text in the ANSI code
    // page), QueryBytes through the wide one, which gives the stored bytes
    // unchanged.
    TRegData QueryText(const char* name, DWORD maxBytes) const;
    TRegData QueryBytes(const char* name, DWORD maxBytes) const;

    // Sets `text` as a REG_SZ (or REG_EXPAND_SZ) value, with its terminating NUL.
    LONG SetText(const char* name, const std::string& text, DWORD type = REG_SZ) const;
    // Sets `bytes` as they are, of type `type`, through the wide function.
    LONG SetBytes(const char* name, DWORD type, const std::string& bytes) const;
    LONG DeleteValue(const char* name) const;

private:
    TRegKey key_;
};
