// The store lock's name per release, its access rules, the open that follows
// a refused make, and the abandoned lock. Wine enforces no access rules, so
// the refusals come from stand-ins for CreateMutexA and OpenMutexA.
#include "oeminfo/StoreLock.h"
#include "oeminfo/tests/StoreTestKit.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/SystemError.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <stdexcept>
#include <vector>

namespace {

// What the stand-ins saw and what they answer; a code of NO_ERROR passes the
// call on to Windows.
struct TMutexCalls {
    std::vector<std::string> Created, Opened;
    std::vector<DWORD> OpenAccess;
    std::string Rules;  // the DACL the last make carried, "none" without one
    DWORD CreateError = NO_ERROR;
    DWORD OpenError = NO_ERROR;
} Calls;

std::string SidText(PSID sid)
{
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text))
        return "?";
    std::string result = text;
    LocalFree(text);
    return result;
}

// "<type> <mask> <sid>" for each entry of the descriptor's DACL.
std::string DaclText(const SECURITY_ATTRIBUTES* attributes)
{
    if (!attributes)
        return "none";
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    if (!GetSecurityDescriptorDacl(attributes->lpSecurityDescriptor, &present, &acl, &defaulted) || !present || !acl)
        return "no DACL";
    std::string text;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(acl, i, &ace))
            return text + "unreadable ACE";
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        text += std::to_string(allowed->Header.AceType) + " " + std::to_string(allowed->Mask) + " " +
                SidText(&allowed->SidStart) + ";";
    }
    return text;
}

HANDLE WINAPI RecordingCreateMutex(LPSECURITY_ATTRIBUTES attributes, BOOL owned, LPCSTR name)
{
    Calls.Created.push_back(name);
    Calls.Rules = DaclText(attributes);
    if (Calls.CreateError != NO_ERROR) {
        SetLastError(Calls.CreateError);
        return nullptr;
    }
    return CreateMutexA(attributes, owned, name);
}

HANDLE WINAPI RecordingOpenMutex(DWORD access, BOOL inherit, LPCSTR name)
{
    Calls.Opened.push_back(name);
    Calls.OpenAccess.push_back(access);
    if (Calls.OpenError != NO_ERROR) {
        SetLastError(Calls.OpenError);
        return nullptr;
    }
    return OpenMutexA(access, inherit, name);
}

class StoreLock : public ::testing::Test {
protected:
    void SetUp() override { Calls = TMutexCalls(); }
    // The mutex exists, as when another run made it, for the opens to find.
    THandle existing{CreateMutexA(nullptr, FALSE, "Global\\Marquill.OEMInformation.Lock")};
    TApiSwap<decltype(PlatformApi.CreateMutexA)> create{PlatformApi.CreateMutexA, RecordingCreateMutex};
    TApiSwap<decltype(PlatformApi.OpenMutexA)> open{PlatformApi.OpenMutexA, RecordingOpenMutex};
};

const std::string MachineName = "Global\\Marquill.OEMInformation.Lock";
const std::string PlainName = "Marquill.OEMInformation.Lock";
// SYNCHRONIZE | MUTEX_MODIFY_STATE for SYSTEM, then for Administrators.
const std::string NtRules = "0 1048577 S-1-5-18;0 1048577 S-1-5-32-544;";

std::string LockFailure(DWORD code)
{
    return FormatText("Unable to take the OEM information lock (%s); nothing was written", {SystemErrorText(code)});
}

}  // namespace

// A SYSTEM agent and an administrator's session must meet on one mutex from
// 2000 on; NT 4.0 and 9x refuse the "Global\" prefix, and 9x has the
// security functions as stubs only.
TEST_F(StoreLock, NameAndAccessRulesFollowTheRelease)
{
    const struct {
        DWORD platform, major;
        const std::string& name;
        const std::string& rules;
    } releases[] = {
        {VER_PLATFORM_WIN32_NT, 10, MachineName, NtRules},
        {VER_PLATFORM_WIN32_NT, 6, MachineName, NtRules},
        {VER_PLATFORM_WIN32_NT, 5, MachineName, NtRules},
        {VER_PLATFORM_WIN32_NT, 4, PlainName, NtRules},
        {VER_PLATFORM_WIN32_WINDOWS, 4, PlainName, "none"},
    };
    for (const auto& release : releases) {
        SCOPED_TRACE(testing::Message() << release.platform << "." << release.major);
        Calls = TMutexCalls();
        THandle mutex = OpenStoreMutex(release.platform, release.major);
        EXPECT_TRUE(mutex.Valid());
        EXPECT_EQ(Calls.Created, std::vector<std::string>{release.name});
        EXPECT_EQ(Calls.Rules, release.rules);
        EXPECT_TRUE(Calls.Opened.empty());
    }
}

// A mutex a SYSTEM agent made refuses the full access that making asks for:
// the lock then opens it with the rights it needs, and only when that is
// refused too does the change stop, before anything is written.
TEST_F(StoreLock, RefusedMakeOpensWithTheRightsTheRulesGive)
{
    const struct {
        DWORD createError, openError;
        bool opens;
        DWORD raised;  // NO_ERROR: the lock is taken
    } cases[] = {
        {ERROR_ACCESS_DENIED, NO_ERROR, true, NO_ERROR},
        {ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED, true, ERROR_ACCESS_DENIED},
        {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND, true, ERROR_FILE_NOT_FOUND},
        {ERROR_INVALID_HANDLE, NO_ERROR, false, ERROR_INVALID_HANDLE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.createError << " then " << c.openError);
        Calls = TMutexCalls();
        Calls.CreateError = c.createError;
        Calls.OpenError = c.openError;
        if (c.raised == NO_ERROR)
            EXPECT_NO_THROW(TStoreLock lock);
        else
            EXPECT_EQ(ErrorOf([] { TStoreLock lock; }), LockFailure(c.raised));
        EXPECT_EQ(Calls.Created, std::vector<std::string>{MachineName});
        EXPECT_EQ(Calls.Opened, c.opens ? std::vector<std::string>{MachineName} : std::vector<std::string>{});
        EXPECT_EQ(Calls.OpenAccess,
                  c.opens ? std::vector<DWORD>{SYNCHRONIZE | MUTEX_MODIFY_STATE} : std::vector<DWORD>{});
    }
}

namespace {
DWORD WINAPI TryLockAtOnce(void*)
{
    try {
        TStoreLock lock(0);
    } catch (const EMarquillError&) {
        return 1;
    }
    return 0;
}

// Whether another thread could take the lock now (this thread's own
// ownership would let it in regardless).
bool LockIsFree()
{
    THandle thread(CreateThread(nullptr, 0, TryLockAtOnce, nullptr, 0, nullptr));
    DWORD code = 1;
    return thread.Valid() && WaitForSingleObject(thread.Get(), 5000) == WAIT_OBJECT_0 &&
           GetExitCodeThread(thread.Get(), &code) && code == 0;
}
}  // namespace

// A holder that ended part-way leaves the lock abandoned: the next change
// goes on and tells of it once the lock is free again, whether it succeeded
// or failed; a lock let go normally tells nothing.
TEST_F(StoreLock, AbandonedLockIsTakenAndReportedAfterTheChange)
{
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "change fails" : "change succeeds");
        const THandle waiter = AbandonStoreLock();
        std::vector<std::string> notices;
        bool freeAtNotice = false;
        bool changed = false;
        auto run = [&] {
            UnderStoreLock(
                [&] {
                    changed = true;
                    if (fails)
                        throw std::runtime_error("change failed");
                },
                [&](const std::string& notice) {
                    notices.push_back(notice);
                    freeAtNotice = LockIsFree();
                });
        };
        if (fails)
            EXPECT_THROW(run(), std::runtime_error);
        else
            EXPECT_NO_THROW(run());
        EXPECT_TRUE(changed);
        EXPECT_EQ(notices, std::vector<std::string>{"Another Marquill ended while it was changing the OEM "
                                                    "information; check that it holds what it should"});
        EXPECT_TRUE(freeAtNotice);

        notices.clear();
        EXPECT_NO_THROW(UnderStoreLock([] {}, [&](const std::string& notice) { notices.push_back(notice); }));
        EXPECT_TRUE(notices.empty());
    }
}
