// Replacing, moving aside and deleting store files whatever their attributes.
#include "base/SafeFiles.h"

#include "base/PlatformApi.h"
#include "base/WinHandles.h"

namespace {

// The attributes SetFileAttributesA can give back; the others (compressed,
// encrypted, sparse...) belong to the file system, not to the caller.
constexpr DWORD SettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Gives false with `code` as the last error, whatever cleanup ran since.
bool Failed(DWORD code)
{
    SetLastError(code);
    return false;
}

DWORD AttributesOf(const std::string& path)
{
    return GetFileAttributesA(path.c_str());
}

bool SetAttributes(const std::string& path, DWORD attributes)
{
    attributes &= SettableAttributes;
    return PlatformApi.SetFileAttributesA(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

// Lifts the guarding attributes of the file `path` has as `attributes`.
bool LiftGuards(const std::string& path, DWORD attributes)
{
    return (attributes & GuardingAttributes) == 0 || SetAttributes(path, attributes & ~GuardingAttributes);
}

// Puts the guarding attributes back on `path`, which LiftGuards took off.
bool RestoreGuards(const std::string& path, DWORD attributes)
{
    return (attributes & GuardingAttributes) == 0 || SetAttributes(path, attributes);
}

bool IsNoFile(DWORD code)
{
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

// Deletes `path` whatever its attributes; true when it is gone or was never
// there. A deletion refused leaves the file with its attributes.
bool DeleteAnyFile(const std::string& path)
{
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return IsNoFile(GetLastError()) || Failed(GetLastError());
    if (!LiftGuards(path, attributes))
        return false;
    if (PlatformApi.DeleteFileA(path.c_str()))
        return true;
    const DWORD error = GetLastError();
    RestoreGuards(path, attributes);
    return Failed(error);
}

bool WriteAll(const std::string& path, const std::string& bytes)
{
    THandle file(
        PlatformApi.CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;
    for (size_t done = 0; done < bytes.size();) {
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr))
            return false;
        if (written == 0)
            return Failed(ERROR_WRITE_FAULT);
        done += written;
    }
    // On disk before the rename makes it the store file.
    return FlushFileBuffers(file.Get()) != FALSE;
}

// Windows 95/98/Me: no replacing rename, so the target goes aside while the
// new file takes its name. `attributes` are the target's, already lifted.
bool ReplaceByRenames(const std::string& newPath, const std::string& target, DWORD attributes)
{
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    const std::string aside = AsideFilePath(target);
    if (existed && (!DeleteAnyFile(aside) || !PlatformApi.MoveFileA(target.c_str(), aside.c_str())))
        return false;
    if (!PlatformApi.MoveFileA(newPath.c_str(), target.c_str())) {
        const DWORD error = GetLastError();
        if (existed)
            PlatformApi.MoveFileA(aside.c_str(), target.c_str());
        return Failed(error);
    }
    // The new content is in place; an old file that will not go now is a
    // leftover the next run clears.
    if (existed)
        DeleteAnyFile(aside);
    return true;
}

}  // namespace

std::string NewFilePath(const std::string& target)
{
    return target + NewFileSuffix;
}

std::string AsideFilePath(const std::string& target)
{
    return target + AsideFileSuffix;
}

TFileReplacement::TFileReplacement(std::string target) : target_(std::move(target)), newPath_(NewFilePath(target_)) {}

TFileReplacement::~TFileReplacement()
{
    if (!pending_)
        return;
    const DWORD error = GetLastError();
    DeleteAnyFile(newPath_);
    SetLastError(error);
}

bool TFileReplacement::Prepare()
{
    pending_ = true;
    return DeleteAnyFile(newPath_);
}

bool TFileReplacement::Commit()
{
    const DWORD attributes = AttributesOf(target_);
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    bool replaced = (existed || IsNoFile(GetLastError())) && (!existed || LiftGuards(target_, attributes));
    if (replaced) {
        replaced = PlatformApi.MoveFileExA(newPath_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        if (!replaced && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED)
            replaced = ReplaceByRenames(newPath_, target_, attributes);
        if (!replaced && existed) {
            const DWORD error = GetLastError();
            RestoreGuards(target_, attributes);
            SetLastError(error);
        }
    }
    pending_ = false;
    if (!replaced) {
        const DWORD error = GetLastError();
        DeleteAnyFile(newPath_);
        return Failed(error);
    }
    // The replacing file came with the new file's attributes.
    return !existed || (attributes & GuardingAttributes) == 0 || SetAttributes(target_, attributes);
}

bool ReplaceFileBytes(const std::string& target, const std::string& bytes)
{
    TFileReplacement replacement(target);
    return replacement.Prepare() && WriteAll(replacement.NewPath(), bytes) && replacement.Commit();
}

bool MoveAside(const std::string& target)
{
    // A rename is allowed whatever the attributes, and keeps them.
    const std::string aside = AsideFilePath(target);
    return DeleteAnyFile(aside) && PlatformApi.MoveFileA(target.c_str(), aside.c_str()) != FALSE;
}

bool PutBack(const std::string& target)
{
    return PlatformApi.MoveFileA(AsideFilePath(target).c_str(), target.c_str()) != FALSE;
}

bool DropAside(const std::string& target)
{
    return DeleteAnyFile(AsideFilePath(target));
}

bool HasLeftovers(const std::string& target)
{
    return AttributesOf(NewFilePath(target)) != INVALID_FILE_ATTRIBUTES ||
           AttributesOf(AsideFilePath(target)) != INVALID_FILE_ATTRIBUTES;
}

bool ClearLeftovers(const std::string& target, bool& found)
{
    const std::string leftovers[] = {NewFilePath(target), AsideFilePath(target)};
    found = false;
    DWORD error = NO_ERROR;
    // Without its target, the aside file is the last whole copy: a
    // replacement on 95/98/Me killed before the new file took its place.
    if (AttributesOf(target) == INVALID_FILE_ATTRIBUTES && AttributesOf(leftovers[1]) != INVALID_FILE_ATTRIBUTES) {
        found = true;
        if (!PutBack(target))
            error = GetLastError();
    }
    for (const std::string& path : leftovers) {
        found = found || AttributesOf(path) != INVALID_FILE_ATTRIBUTES;
        if (!DeleteAnyFile(path) && error == NO_ERROR)
            error = GetLastError();
    }
    return error == NO_ERROR || Failed(error);
}
