#pragma once
// One change of the OEM information at a time, across processes and across
// sessions: the window's Apply and Remove and every command-line run hold
// this lock, so a deployment agent running as SYSTEM, a scheduled task and an
// administrator's window take turns.
#include "base/Error.h"
#include "base/WinHandles.h"

#include <functional>
#include <string>

// How long a change waits for another one to end before it gives up.
constexpr DWORD StoreLockTimeoutMs = 30000;

// The rights a run needs on the mutex (wait for it, release it), and the
// only ones its access rules hand out.
constexpr DWORD StoreLockAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

// The mutex's name on the release `platformId` (GetVersionExA's) `majorVersion`:
// "Global\Marquill.OEMInformation.Lock", one for the whole machine, from
// NT 5.0 on; the plain name on NT 4.0 and 95/98/Me, where the backslash makes
// the name invalid and there is one session anyway.
std::string StoreLockName(DWORD platformId, DWORD majorVersion);

// The access rules the mutex is made with on the NT family: SYSTEM and
// Administrators may wait for it and release it. Without them, a mutex a
// SYSTEM agent made would get SYSTEM's default rules, which let an
// administrator only read it.
class TStoreLockSecurity {
public:
    TStoreLockSecurity();
    ~TStoreLockSecurity();
    TStoreLockSecurity(const TStoreLockSecurity&) = delete;
    TStoreLockSecurity& operator=(const TStoreLockSecurity&) = delete;

    // nullptr when they could not be built; GetLastError says why.
    SECURITY_ATTRIBUTES* Attributes() { return built_ ? &attributes_ : nullptr; }

private:
    PSID system_ = nullptr;
    PSID administrators_ = nullptr;
    alignas(DWORD) unsigned char acl_[128] = {};
    SECURITY_DESCRIPTOR descriptor_ = {};
    SECURITY_ATTRIBUTES attributes_ = {};
    bool built_ = false;
};

// The machine's store mutex as the release `platformId` `majorVersion` names
// it: made (with TStoreLockSecurity's rules on the NT family, with none on
// 95/98/Me, which have the security functions as stubs only), or, where its
// rules refuse the full access that making asks for, opened with
// StoreLockAccess. Raises an error (nothing written) when neither works.
THandle OpenStoreMutex(DWORD platformId, DWORD majorVersion);

// Holds the machine's store mutex while it lives. Raises an error (nothing
// written) when the mutex cannot be made or opened, or not taken within
// `timeoutMs`.
class TStoreLock {
public:
    explicit TStoreLock(DWORD timeoutMs = StoreLockTimeoutMs);
    ~TStoreLock();
    TStoreLock(const TStoreLock&) = delete;
    TStoreLock& operator=(const TStoreLock&) = delete;

    // True when the previous holder ended while it held the lock: its change
    // may have stopped part-way, so the record wants checking. Windows keeps
    // that only while another handle keeps the mutex alive (a run waiting
    // for it, as when runs start together); a holder that ended with no
    // other run about takes its mutex, and this trace, with it. The legacy
    // store's leftover files (ClearLeftovers) tell of such a run too.
    bool Abandoned() const { return abandoned_; }

private:
    THandle Mutex;
    bool abandoned_ = false;
};

// The lock's access rules refused this run (it is not elevated, and another
// run made the mutex): it may still read the store, without the lock.
class EStoreLockRefused : public EMarquillError {
public:
    using EMarquillError::EMarquillError;
};

// What the user is told after a change that took an abandoned lock, in
// English: the command line writes it as it is, beside its English summary,
// so that an engine's log holds it whole; the window shows ResText of it.
std::string AbandonedLockNotice();

// Runs `change` holding the store lock, after clearing what a run killed
// part-way left beside the store files. When the lock was abandoned, or
// such files were found, hands AbandonedLockNotice() to `notify` once the
// lock is let go (no one waits on the user reading it), also when `change`
// failed; its error then travels on.
void UnderStoreLock(const std::function<void()>& change, const std::function<void(const std::string&)>& notify,
                    DWORD timeoutMs = StoreLockTimeoutMs);

// How often, and how far apart, a run without the lock reads the store
// until two reads in a row agree.
constexpr int StoreReadAttempts = 5;
constexpr DWORD StoreReadPauseMs = 100;

// Runs `read`, which only reads the store and gives what it read, as
// UnderStoreLock runs a change. A run the lock's access rules refuse reads
// without it: it touches nothing a killed run left beside the store files
// (finding any, it raises an error asking for an elevated run, since a
// removal killed part-way may have moved oeminfo.ini aside), and calls
// `read` until two calls in a row give the same (an error counts as what
// was read), at most StoreReadAttempts times, else raises an error that the
// store kept changing.
void ReadUnderStoreLock(const std::function<std::string()>& read,
                        const std::function<void(const std::string&)>& notify, DWORD timeoutMs = StoreLockTimeoutMs);
