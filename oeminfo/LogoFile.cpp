// The logo as Windows reads it.
#include "oeminfo/LogoFile.h"

#include "base/AsciiCase.h"
#include "base/Error.h"
#include "base/ResText.h"
#include "base/SafeFiles.h"
#include "base/WinFiles.h"
#include "base/Wow64.h"
#include "oeminfo/StoreLayout.h"
#include "picture/Picture.h"
#include "picture/PlainBitmap.h"

#include <vector>

namespace {

// A 32-bit process gets the 32-bit program folders for these; Windows'
// reader, a 64-bit program, the 64-bit ones, which WOW64 names so.
struct TWow64Variable {
    const char* asked;
    const char* meant;
};
constexpr TWow64Variable Wow64Variables[] = {
    {"%ProgramFiles%", "%ProgramW6432%"},
    {"%CommonProgramFiles%", "%CommonProgramW6432%"},
};

std::string As64BitReaderNames(std::string text)
{
    for (const TWow64Variable& variable : Wow64Variables) {
        const std::string asked = variable.asked;
        for (size_t at = 0; at + asked.size() <= text.size();) {
            if (!SameIgnoringAsciiCase(std::string_view(text).substr(at, asked.size()), asked)) {
                ++at;
                continue;
            }
            text.replace(at, asked.size(), variable.meant);
            at += std::char_traits<char>::length(variable.meant);
        }
    }
    return text;
}

std::string Expanded(const std::string& text)
{
    // The result is bounded by the longest environment Windows keeps.
    std::vector<char> buffer(text.size() + MAX_PATH);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (needed == 0)
            return text;
        if (needed <= buffer.size())
            return buffer.data();
        buffer.assign(needed + 1, '\0');
    }
    return text;
}

}  // namespace

std::string LogoFileAsWindowsReads(const std::string& text, bool expandable)
{
    if (!expandable)
        return FullPathName(text);
    return FullPathName(Expanded(IsWow64() ? As64BitReaderNames(text) : text));
}

std::string LoadLogoAsWindowsReads(const std::string& text, bool expandable, TPicture& picture)
{
    const std::string path = LogoFileAsWindowsReads(text, expandable);
    std::string bytes = WithRedirectionOff(IsWow64(), [&] { return TPicture::ReadFile(path); });
    picture.LoadFromBytes(std::move(bytes), path);
    return expandable ? text : path;
}

bool NamesLogoFile(const std::string& text, bool expandable)
{
    return !text.empty() && lstrcmpiA(LogoFileAsWindowsReads(text, expandable).c_str(), LogoFilePath().c_str()) == 0;
}

bool RestoreStoreFile(const std::string& path, const TStoredBytes& file)
{
    if (file.Present)
        return ReplaceFileBytes(path, file.Bytes);
    // Moving aside works whatever the attributes; the aside file goes then.
    return !IsExistingFile(path) || (MoveAside(path) && DropAside(path));
}

TRegistryLogoFile::TRegistryLogoFile(const TPicture* picture)
{
    if (!picture || !LogoNeedsConversion(*picture, TLogoTarget::Registry))
        return;
    const std::string path = LogoFilePath();
    std::string bytes;
    if (!LogoBitmapBytes(*picture, TLogoTarget::Registry, bytes))
        RaiseText(N_("Unable to copy the logo to %s"), {path});
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
