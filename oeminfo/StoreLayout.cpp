// Where the stores live.
#include "oeminfo/StoreLayout.h"

#include "base/PlatformApi.h"

const char OEMKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation";
const char OEMKeyFullName[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation";
const char GeneralSection[] = "General";
const char SupportSection[] = "Support Information";

std::string GetSystemDir()
{
    char dir[MAX_PATH] = {};
    PlatformApi.GetSystemDirectoryA(dir, MAX_PATH);
    // A directory too long for the buffer leaves it untouched (empty), never
    // unterminated.
    dir[MAX_PATH - 1] = '\0';
    return dir;
}

std::string IniFilePath()
{
    return GetSystemDir() + "\\oeminfo.ini";
}

std::string LogoFilePath()
{
    return GetSystemDir() + "\\oemlogo.bmp";
}

LONG OpenOEMKey(TRegistryKey& key, TOEMKeyUse use)
{
    // The key opening adds KEY_WOW64_64KEY to each.
    static_assert((KEY_READ | KEY_WOW64_64KEY) == 0x20119, "read access mask");
    // A write asks what it replaces: an expandable value keeps its type, and
    // Remove deletes the logo file only when the Logo names it.
    static_assert((KEY_WRITE | KEY_QUERY_VALUE | KEY_WOW64_64KEY) == 0x20107, "write access mask");
    switch (use) {
    case TOEMKeyUse::ReadCreating: return key.Create(HKEY_LOCAL_MACHINE, OEMKeyPath, KEY_READ);
    case TOEMKeyUse::ReadExisting: return key.Open(HKEY_LOCAL_MACHINE, OEMKeyPath, KEY_QUERY_VALUE);
    case TOEMKeyUse::Write: break;
    }
    return key.Create(HKEY_LOCAL_MACHINE, OEMKeyPath, KEY_WRITE | KEY_QUERY_VALUE);
}
