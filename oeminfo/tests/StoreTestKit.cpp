#include "StoreTestKit.h"

#include "base/Error.h"
#include "base/ResText.h"
#include "base/WindowsVersion.h"
#include "oeminfo/StoreLock.h"

#include <gtest/gtest.h>

std::string ErrorOf(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const EMarquillError& error) {
        return error.what();
    }
    ADD_FAILURE() << "the operation raised no error";
    return std::string();
}

void ResetOEMInfo()
{
    OEMInfo.Manufacturer.clear();
    OEMInfo.Model.clear();
    OEMInfo.SupportHours.clear();
    OEMInfo.SupportPhone.clear();
    OEMInfo.SupportURL.clear();
    OEMInfo.Logo.clear();
    OEMInfo.SupportLines.reset();
}

namespace {
std::string BracketHook(const std::string& english)
{
    if (english.find("%s") == std::string::npos)
        return "UNFILLED-FIRST";
    return "T[" + english + "]";
}
}  // namespace

TBracketTranslation::TBracketTranslation() { SetResTextHook(BracketHook); }
TBracketTranslation::~TBracketTranslation() { SetResTextHook(nullptr); }

TReleaseCounts ReleaseCounts;
std::string FailProfileWriteOfKey;

LONG WINAPI CountingRegCreateKeyEx(HKEY root, LPCSTR path, DWORD reserved, LPSTR cls, DWORD options,
                                   REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    LONG result = ::RegCreateKeyExA(root, path, reserved, cls, options, access, security, key, disposition);
    if (result == ERROR_SUCCESS)
        ++ReleaseCounts.RegKeysOpened;
    return result;
}

LONG WINAPI CountingRegCloseKey(HKEY key)
{
    ++ReleaseCounts.RegCloseKeyCalls;
    return ::RegCloseKey(key);
}

BOOL WINAPI CountingWritePrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path)
{
    if (!section && !key && !value) {
        ++ReleaseCounts.ProfileFlushes;
        ReleaseCounts.LastFlushedPath = path ? path : "";
    }
    if (key && !FailProfileWriteOfKey.empty() && FailProfileWriteOfKey == key) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return ::WritePrivateProfileStringA(section, key, value, path);
}

BOOL WINAPI RefusingDeleteFile(LPCSTR)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

namespace {
DWORD WINAPI TakeStoreLockAndEnd(void*)
{
    THandle mutex = OpenStoreMutex(WindowsPlatformId, WindowsMajorVersion);
    return WaitForSingleObject(mutex.Get(), 5000);
}
}  // namespace

THandle AbandonStoreLock()
{
    THandle waiter = OpenStoreMutex(WindowsPlatformId, WindowsMajorVersion);
    THandle thread(CreateThread(nullptr, 0, TakeStoreLockAndEnd, nullptr, 0, nullptr));
    DWORD taken = WAIT_FAILED;
    EXPECT_TRUE(thread.Valid() && WaitForSingleObject(thread.Get(), 10000) == WAIT_OBJECT_0 &&
                GetExitCodeThread(thread.Get(), &taken));
    EXPECT_TRUE(taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED) << taken;
    return waiter;
}
