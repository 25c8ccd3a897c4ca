// Where the stores live.
#include "oeminfo/StoreLayout.h"

#include "base/PlatformApi.h"
#include "base/ProfileFile.h"
#include "base/ResText.h"
#include "base/SafeFiles.h"
#include "base/SystemError.h"
#include "base/WinFiles.h"

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

TRegistryKey OpenOEMKeyForWriting(TKeyRefusal refusal)
{
    TRegistryKey key;
    if (OpenOEMKey(key, TOEMKeyUse::Write) == ERROR_SUCCESS)
        return key;
    if (refusal == TKeyRefusal::NothingWritten)
        throw ENothingWritten(std::string("The registry key ") + OEMKeyFullName +
                              " could not be opened for writing; nothing was written");
    RaiseText(N_("Unable to open registry key %s for writing"), {OEMKeyFullName});
}

TStoredBytes ReadStoreFile(const std::string& path)
{
    TStoredBytes file;
    file.Present = IsExistingFile(path);
    if (!file.Present)
        return file;
    TWholeFile whole = ReadWholeFile(path, MaxStoreFileBytes, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!whole.Read())
        throw EMarquillError(path + " cannot be read: " + SystemErrorText(whole.Error));
    file.Bytes = std::move(whole.Bytes);
    return file;
}

bool RestoreStoreFile(const std::string& path, const TStoredBytes& file)
{
    if (file.Present)
        return ReplaceFileBytes(path, file.Bytes);
    // Moving aside works whatever the attributes; the aside file goes then.
    return !IsExistingFile(path) || (MoveAside(path) && DropAside(path));
}

void WriteIniFile(const TFieldList& general, const std::vector<std::string>& texts,
                  const std::vector<std::string>& lines)
{
    const std::string iniPath = IniFilePath();
    TFileReplacement replacement(iniPath);
    bool written = replacement.Prepare();
    {
        const TProfileFile profile(replacement.NewPath());
        for (size_t i = 0; written && i < general.size(); ++i)
            written = profile.WriteString(GeneralSection, general[i]->Name, texts[i]);
        for (size_t n = 1; written && n <= lines.size(); ++n)
            written = profile.WriteString(SupportSection, SupportLineName(n).c_str(), lines[n - 1]);
    }  // letting go of the profile flushes it to the new file
    if (!written || !replacement.Commit())
        RaiseText(N_("Unable to write to %s"), {iniPath});
}
