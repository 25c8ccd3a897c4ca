#pragma once
// The platform calls the two stores make, gathered in one table so that a
// test can put a failing stand-in in place of a single call (a refused
// registry write, a profile write that fails half-way, a copy or deletion
// that does not happen) which Wine cannot be made to produce for real. Each
// member starts out as the Windows function itself.
#include <windows.h>

struct TOEMApi {
    decltype(&::RegCreateKeyExA) RegCreateKeyExA = ::RegCreateKeyExA;
    decltype(&::RegQueryValueExA) RegQueryValueExA = ::RegQueryValueExA;
    decltype(&::RegSetValueExA) RegSetValueExA = ::RegSetValueExA;
    decltype(&::RegDeleteValueA) RegDeleteValueA = ::RegDeleteValueA;
    decltype(&::RegCloseKey) RegCloseKey = ::RegCloseKey;
    decltype(&::GetPrivateProfileStringA) GetPrivateProfileStringA = ::GetPrivateProfileStringA;
    decltype(&::WritePrivateProfileStringA) WritePrivateProfileStringA = ::WritePrivateProfileStringA;
    decltype(&::DeleteFileA) DeleteFileA = ::DeleteFileA;
    decltype(&::CopyFileA) CopyFileA = ::CopyFileA;
    decltype(&::GetSystemDirectoryA) GetSystemDirectoryA = ::GetSystemDirectoryA;
};

extern TOEMApi OEMApi;

// True while a store operation holds its profile file or registry key; every
// operation empties its slot when it ends, also by an error.
bool OEMStoreObjectHeld();
