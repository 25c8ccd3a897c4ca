// The store lock's name per release, its access rules, the open that follows
// a refused make, and the abandoned lock. Wine enforces no access rules, so
// the refusals come from stand-ins for CreateMutexA and OpenMutexA.
#include "oeminfo/StoreLock.h"
#include "oeminfo/tests/StoreTestKit.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/SystemError.h"
#include "base/Wow64.h"
#include "oeminfo/StoreLayout.h"

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

// A run the lock's rules refuse (not elevated, and another run made the
// mutex) reads without it, until two reads in a row agree (an error too),
// at most five times 100 ms apart; one that may take the lock reads once.
TEST_F(StoreLock, RefusedReaderReadsUntilTwoReadsAgree)
{
    const std::string keptChanging =
        "The OEM information kept changing while it was read without the lock, which only an elevated run may take";
    const struct {
        bool refused;
        std::vector<std::string> reads;  // "!x" raises the error x
        size_t calls;
        std::string raised;
    } cases[] = {
        {false, {"a"}, 1, ""},
        {true, {"a", "a"}, 2, ""},
        {true, {"a", "b", "b"}, 3, ""},
        {true, {"a", "b", "a", "b", "b"}, 5, ""},
        {true, {"a", "b", "c", "d", "e", "f"}, 5, keptChanging},
        {true, {"!gone", "a", "!gone", "!gone"}, 4, "gone"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.reads.size() << " reads, refused " << c.refused);
        Calls = TMutexCalls();
        Calls.CreateError = Calls.OpenError = c.refused ? ERROR_ACCESS_DENIED : NO_ERROR;
        size_t calls = 0;
        const auto read = [&] {
            const std::string& next = c.reads.at(calls++);
            if (next[0] == '!')
                throw EMarquillError(next.substr(1));
            return next;
        };
        const DWORD start = GetTickCount();
        const auto run = [&] { ReadUnderStoreLock(read, [](const std::string&) {}); };
        if (c.raised.empty())
            EXPECT_NO_THROW(run());
        else
            EXPECT_EQ(ErrorOf(run), c.raised);
        EXPECT_EQ(calls, c.calls);
        // The timer's steps may shorten each pause by some 16 ms.
        EXPECT_GE(GetTickCount() - start, (c.calls - 1) * (StoreReadPauseMs - 20));
    }
}

// A killed run's files beside the store (a removal may have moved
// oeminfo.ini aside) are for an elevated run to put right: a refused
// reader leaves them, reads nothing and asks for one.
TEST_F(StoreLock, RefusedReaderLeavesLeftoversAndAsksForElevation)
{
    Calls.CreateError = Calls.OpenError = ERROR_ACCESS_DENIED;
    const std::string aside = WithRedirectionOff(IsWow64(), [] { return IniFilePath(); }) + ".marquill-aside";
    WithRedirectionOff(IsWow64(), [&] {
        THandle file(CreateFileA(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        return file.Valid();
    });
    bool read = false;
    const std::string error = ErrorOf([&] {
        ReadUnderStoreLock(
            [&] {
                read = true;
                return std::string();
            },
            [](const std::string&) {});
    });
    const bool kept = WithRedirectionOff(IsWow64(), [&] {
        const bool there = GetFileAttributesA(aside.c_str()) != INVALID_FILE_ATTRIBUTES;
        DeleteFileA(aside.c_str());
        return there;
    });
    EXPECT_FALSE(read);
    EXPECT_TRUE(kept);
    EXPECT_NE(error.find("run this from an elevated prompt"), std::string::npos) << error;
}
