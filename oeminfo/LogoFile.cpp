// The logo as Windows reads it.
#include "oeminfo/LogoFile.h"

#include "base/AnsiText.h"
#include "base/Error.h"
#include "base/ResText.h"
#include "base/SafeFiles.h"
#include "base/WinFiles.h"
#include "base/Wow64.h"
#include "oeminfo/StoreLayout.h"
#include "picture/Picture.h"
#include "picture/PlainBitmap.h"

#include <exception>
#include <vector>

std::string LogoFileAsWindowsReads(const std::string& text, bool expandable)
{
    return FullPathName(expandable ? ExpandAsWindowsReads(text) : text);
}

std::string LoadLogoAsWindowsReads(const std::string& text, bool expandable, TPicture& picture)
{
    const std::string path = LogoFileAsWindowsReads(text, expandable);
    std::string bytes = WithRedirectionOff(IsWow64(), [&] { return TPicture::ReadFile(path); });
    picture.LoadFromBytes(std::move(bytes), path);
    return expandable ? text : path;
}

TFoundLogo FindLogoAsWindowsReads(const TWideText& text, bool expandable)
{
    TFoundLogo logo;
    const bool wow64 = IsWow64();
    std::string ansi;
    if (!ToAnsiExactly(text, ansi)) {
        logo.Path = text;
        const DWORD attributes = WithRedirectionOff(wow64, [&] { return GetFileAttributesW(text.c_str()); });
        logo.Exists = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        return logo;
    }
    const std::string path = LogoFileAsWindowsReads(ansi, expandable);
    logo.Path = ToWide(path);
    logo.Exists = WithRedirectionOff(wow64, [&] { return IsExistingFile(path); });
    try {
        TPicture picture;
        LoadLogoAsWindowsReads(ansi, expandable, picture);
        logo.Loads = true;
    } catch (const std::exception&) {
        logo.Loads = false;
    }
    return logo;
}

bool NamesLogoFile(const std::string& text, bool expandable)
{
    return !text.empty() && lstrcmpiA(LogoFileAsWindowsReads(text, expandable).c_str(), LogoFilePath().c_str()) == 0;
}

bool LogoFileBytes(const TPicture& picture, TStoreMode mode, std::string& bytes)
{
    const TLogoTarget target = mode == TStoreMode::Legacy ? TLogoTarget::Legacy : TLogoTarget::Registry;
    if (mode == TStoreMode::Registry && !LogoNeedsConversion(picture, target))
        return false;
    if (picture.IsEmptyBitmap()) {
        bytes.clear();
        return true;
    }
    if (!LogoBitmapBytes(picture, target, bytes))
        RaiseText(N_("Unable to copy the logo to %s"), {LogoFilePath()});
    return true;
}

TRegistryLogoFile::TRegistryLogoFile(const std::string* bytes)
{
    if (bytes)
        Write(*bytes);
}

void TRegistryLogoFile::Write(const std::string& bytes)
{
    const std::string path = LogoFilePath();
    WithRedirectionOff(IsWow64(), [&] {
        before_ = ReadStoreFile(path);
        if (!ReplaceFileBytes(path, bytes))
            RaiseText(N_("Unable to copy the logo to %s"), {path});
    });
    written_ = true;
}

void TRegistryLogoFile::PutBack() const
{
    if (!written_)
        return;
    const std::string path = LogoFilePath();
    if (!WithRedirectionOff(IsWow64(), [&] { return RestoreStoreFile(path, before_); }))
        RaiseText(N_("Unable to restore %s"), {path});
}
