// File calls as Windows answers them.
#include "tests/support/WindowsLikeFiles.h"

std::vector<TRefusal> Refusals;

namespace {

// Gives the error of the first refusal that names `call` and `path`, and
// drops that refusal.
bool Refused(const char* call, const char* path)
{
    for (auto it = Refusals.begin(); it != Refusals.end(); ++it) {
        if (it->Call != call || !EndsWith(path, it->PathEnd))
            continue;
        SetLastError(it->Error);
        Refusals.erase(it);
        return true;
    }
    return false;
}

BOOL Refuse(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

bool HasAttribute(const char* path, DWORD attribute)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & attribute) != 0;
}

}  // namespace

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

HANDLE WINAPI WindowsLikeCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                    DWORD disposition, DWORD flags, HANDLE templ)
{
    const DWORD attributes = GetFileAttributesA(path);
    const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        ((truncates && (flags & kept) != kept) || ((attributes & FILE_ATTRIBUTE_READONLY) && (access & GENERIC_WRITE)))) {
        Refuse(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (Refused("CreateFileA", path))
        return INVALID_HANDLE_VALUE;
    return CreateFileA(path, access, share, security, disposition, flags, templ);
}

BOOL WINAPI WindowsLikeMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags)
{
    if ((flags & MOVEFILE_REPLACE_EXISTING) && HasAttribute(to, FILE_ATTRIBUTE_READONLY))
        return Refuse(ERROR_ACCESS_DENIED);
    return !Refused("MoveFileExA", to) && MoveFileExA(from, to, flags);
}

BOOL WINAPI NineXMoveFileEx(LPCSTR, LPCSTR, DWORD)
{
    return Refuse(ERROR_CALL_NOT_IMPLEMENTED);
}

BOOL WINAPI RefusableMoveFile(LPCSTR from, LPCSTR to)
{
    return !Refused("MoveFileA", to) && MoveFileA(from, to);
}

BOOL WINAPI WindowsLikeDeleteFile(LPCSTR path)
{
    if (HasAttribute(path, FILE_ATTRIBUTE_READONLY))
        return Refuse(ERROR_ACCESS_DENIED);
    return !Refused("DeleteFileA", path) && DeleteFileA(path);
}

BOOL WINAPI RefusableSetFileAttributes(LPCSTR path, DWORD attributes)
{
    return !Refused("SetFileAttributesA", path) && SetFileAttributesA(path, attributes);
}
