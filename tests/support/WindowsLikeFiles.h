#pragma once
// File calls as Windows answers them, for tests under Wine: as root there a
// read-only, hidden or system file is overwritten, replaced and deleted like
// any other, and MoveFileExA works on every release Wine reports. The
// stand-ins refuse as Windows does, and refuse chosen calls on chosen paths.
#include "base/PlatformApi.h"
#include "tests/support/TestSupport.h"

#include <string>
#include <vector>

constexpr DWORD AllGuards = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// One call a stand-in refuses, once: the function's name ("CreateFileA",
// "MoveFileExA", "MoveFileA", "DeleteFileA", "SetFileAttributesA"), the
// end of the path it refuses (the destination of a move), the error it gives.
struct TRefusal {
    std::string Call, PathEnd;
    DWORD Error = NO_ERROR;
};
extern std::vector<TRefusal> Refusals;

bool EndsWith(const std::string& text, const std::string& end);

// Windows refuses to truncate a hidden or system file unless the call names
// those attributes, and any write to a read-only one.
HANDLE WINAPI WindowsLikeCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                    DWORD disposition, DWORD flags, HANDLE templ);
// A read-only file is neither replaced nor deleted; renaming it is allowed.
BOOL WINAPI WindowsLikeMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags);
BOOL WINAPI WindowsLikeDeleteFile(LPCSTR path);
BOOL WINAPI RefusableMoveFile(LPCSTR from, LPCSTR to);
BOOL WINAPI RefusableSetFileAttributes(LPCSTR path, DWORD attributes);
// Windows 95/98/Me: MoveFileExA is a stub.
BOOL WINAPI NineXMoveFileEx(LPCSTR, LPCSTR, DWORD);

// While it lives, PlatformApi's file calls are the stand-ins above and no
// refusal is pending.
class TWindowsLikeFiles {
public:
    TWindowsLikeFiles() { Refusals.clear(); }
    ~TWindowsLikeFiles() { Refusals.clear(); }

private:
    TApiSwap<decltype(PlatformApi.CreateFileA)> create_{PlatformApi.CreateFileA, WindowsLikeCreateFile};
    TApiSwap<decltype(PlatformApi.MoveFileExA)> moveEx_{PlatformApi.MoveFileExA, WindowsLikeMoveFileEx};
    TApiSwap<decltype(PlatformApi.MoveFileA)> move_{PlatformApi.MoveFileA, RefusableMoveFile};
    TApiSwap<decltype(PlatformApi.DeleteFileA)> erase_{PlatformApi.DeleteFileA, WindowsLikeDeleteFile};
    TApiSwap<decltype(PlatformApi.SetFileAttributesA)> setAttributes_{PlatformApi.SetFileAttributesA,
                                                                      RefusableSetFileAttributes};
};
