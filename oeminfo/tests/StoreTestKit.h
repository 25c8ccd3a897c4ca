#pragma once
// What the tests of both stores share: swapping one platform call for a
// stand-in, catching the error an operation raises, and a translation hook
// that shows whether a message was translated before it was filled in.
#include "base/PlatformApi.h"
#include "base/WinHandles.h"
#include "oeminfo/WinOEMInfo.h"
#include "tests/support/TestSupport.h"

#include <functional>
#include <string>

// The message of the EMarquillError that `operation` raises; records a test
// failure (and gives "") when it raises none.
std::string ErrorOf(const std::function<void()>& operation);

// OEMInfo as it is when the program starts: texts empty, no list.
void ResetOEMInfo();

// While it lives, standard texts come back as "T[<english>]" when they still
// hold a "%s" (a template, as they must be looked up) and as "UNFILLED-FIRST"
// otherwise, so a message filled before its lookup shows.
class TBracketTranslation {
public:
    TBracketTranslation();
    ~TBracketTranslation();
    TBracketTranslation(const TBracketTranslation&) = delete;
    TBracketTranslation& operator=(const TBracketTranslation&) = delete;
};

// Counts of calls that release a store's objects, taken by stand-ins that
// pass each call on to Windows.
struct TReleaseCounts {
    int RegKeysOpened = 0;  // successful RegCreateKeyExA calls
    int RegCloseKeyCalls = 0;
    int ProfileFlushes = 0;  // WritePrivateProfileStringA(NULL, NULL, NULL, path)
    std::string LastFlushedPath;
};
extern TReleaseCounts ReleaseCounts;

LONG WINAPI CountingRegCreateKeyEx(HKEY root, LPCSTR path, DWORD reserved, LPSTR cls, DWORD options,
                                   REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition);
LONG WINAPI CountingRegCloseKey(HKEY key);
// Passes every call on; counts the flushes; refuses (FALSE, nothing written)
// the write of the key named in FailProfileWriteOfKey, when that is set.
extern std::string FailProfileWriteOfKey;
BOOL WINAPI CountingWritePrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path);

// A deletion that reports failure and leaves the file where it is.
BOOL WINAPI RefusingDeleteFile(LPCSTR path);

// Leaves the machine's store lock abandoned: a thread takes it and ends
// while holding it. The handle returned keeps the mutex alive, as a run
// waiting for it does; without one the mutex would go with the thread's
// handle, and its abandonment with it.
THandle AbandonStoreLock();
