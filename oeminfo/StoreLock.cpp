// The named mutex that lets one change of the OEM information run at a time.
#include "oeminfo/StoreLock.h"

#include "base/Error.h"
#include "base/Format.h"
#include "oeminfo/WinOEMInfo.h"
#include "base/PlatformApi.h"
#include "base/ResText.h"
#include "base/SystemError.h"
#include "base/WindowsVersion.h"

#include <exception>
#include <optional>

namespace {

const char PlainLockName[] = "Marquill.OEMInformation.Lock";

[[noreturn]] void RaiseLockFailure(DWORD code)
{
    if (code == ERROR_ACCESS_DENIED)
        throw EStoreLockRefused(FormatText(ResText(N_("Unable to take the OEM information lock (%s); nothing was written")),
                                           {SystemErrorText(code)}));
    throw EMarquillError(FormatText(ResText(N_("Unable to take the OEM information lock (%s); nothing was written")),
                                    {SystemErrorText(code)}));
}

// A Ctrl+C or Ctrl+Break at the console a command-line run is attached to
// would end it where it stands, a write half done: while the lock is held
// they are ignored.
BOOL WINAPI IgnoreBreak(DWORD event)
{
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}

class TBreakIgnored {
public:
    TBreakIgnored() { SetConsoleCtrlHandler(IgnoreBreak, TRUE); }
    ~TBreakIgnored() { SetConsoleCtrlHandler(IgnoreBreak, FALSE); }
    TBreakIgnored(const TBreakIgnored&) = delete;
    TBreakIgnored& operator=(const TBreakIgnored&) = delete;
};

bool AllowMutexUse(PACL acl, PSID sid)
{
    return AddAccessAllowedAce(acl, ACL_REVISION, StoreLockAccess, sid) != FALSE;
}

}  // namespace

std::string StoreLockName(DWORD platformId, DWORD majorVersion)
{
    if (platformId == VER_PLATFORM_WIN32_NT && majorVersion >= 5)
        return std::string("Global\\") + PlainLockName;
    return PlainLockName;
}

TStoreLockSecurity::TStoreLockSecurity()
{
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    if (!AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system_) ||
        !AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &administrators_))
        return;
    auto acl = reinterpret_cast<PACL>(acl_);
    const DWORD aceBytes = sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD);
    const DWORD aclBytes = sizeof(ACL) + 2 * aceBytes + GetLengthSid(system_) + GetLengthSid(administrators_);
    if (aclBytes > sizeof acl_) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return;
    }
    if (!InitializeAcl(acl, aclBytes, ACL_REVISION) || !AllowMutexUse(acl, system_) ||
        !AllowMutexUse(acl, administrators_) ||
        !InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE))
        return;
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = &descriptor_;
    attributes_.bInheritHandle = FALSE;
    built_ = true;
}

TStoreLockSecurity::~TStoreLockSecurity()
{
    if (administrators_)
        FreeSid(administrators_);
    if (system_)
        FreeSid(system_);
}

THandle OpenStoreMutex(DWORD platformId, DWORD majorVersion)
{
    const std::string name = StoreLockName(platformId, majorVersion);
    SECURITY_ATTRIBUTES* attributes = nullptr;
    std::optional<TStoreLockSecurity> security;
    if (platformId == VER_PLATFORM_WIN32_NT) {
        attributes = security.emplace().Attributes();
        if (!attributes)
            RaiseLockFailure(GetLastError());
    }
    THandle mutex(PlatformApi.CreateMutexA(attributes, FALSE, name.c_str()));
    if (mutex.Valid())
        return mutex;
    DWORD error = GetLastError();
    // Made by another account (or by another run, under the rules above):
    // making asks for full access, which the rules do not give. Taking it
    // needs only the rights they do give. A lock of this session's own
    // would not keep out the other account's run, so there is none.
    if (error == ERROR_ACCESS_DENIED) {
        mutex.Reset(PlatformApi.OpenMutexA(StoreLockAccess, FALSE, name.c_str()));
        if (mutex.Valid())
            return mutex;
        error = GetLastError();
    }
    RaiseLockFailure(error);
}

TStoreLock::TStoreLock(DWORD timeoutMs) : Mutex(OpenStoreMutex(WindowsPlatformId, WindowsMajorVersion))
{
    const DWORD result = WaitForSingleObject(Mutex.Get(), timeoutMs);
    // A mutex left by a process that ended while holding it is ours now. That
    // process writes nothing more, so going on is safe; but its change may
    // have stopped half-way, which the user must hear of.
    abandoned_ = result == WAIT_ABANDONED;
    if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED)
        throw EMarquillError(ResText(N_("Another Marquill is changing the OEM information; nothing was written")));
}

TStoreLock::~TStoreLock()
{
    if (Mutex.Valid())
        ReleaseMutex(Mutex.Get());
}

std::string AbandonedLockNotice()
{
    return N_("Another Marquill ended while it was changing the OEM information; check that it holds what it should");
}

void UnderStoreLock(const std::function<void()>& change, const std::function<void(const std::string&)>& notify,
                    DWORD timeoutMs)
{
    bool abandoned = false;
    std::exception_ptr failure;
    {
        const TStoreLock lock(timeoutMs);
        const TBreakIgnored noBreak;
        abandoned = lock.Abandoned();
        try {
            // Files a killed run left beside the store tell of it too.
            abandoned = ClearStoreLeftovers() || abandoned;
            change();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (abandoned)
        notify(AbandonedLockNotice());
    if (failure)
        std::rethrow_exception(failure);
}

namespace {
// What one read gave, an error included, so that two can be compared.
struct TStoreRead {
    std::string Text;
    std::exception_ptr Failure;
};

TStoreRead ReadOnce(const std::function<std::string()>& read)
{
    TStoreRead result;
    try {
        result.Text = read();
    } catch (const std::exception& e) {
        result.Text = std::string("\1") + e.what();
        result.Failure = std::current_exception();
    }
    return result;
}
}  // namespace

void ReadUnderStoreLock(const std::function<std::string()>& read,
                        const std::function<void(const std::string&)>& notify, DWORD timeoutMs)
{
    try {
        UnderStoreLock([&] { read(); }, notify, timeoutMs);
        return;
    } catch (const EStoreLockRefused&) {
    }
    if (StoreLeftoversFound())
        throw EMarquillError("A Marquill that was stopped while it was changing the OEM information left files beside "
                             "it; run this from an elevated prompt (Run as administrator), which puts them right");
    TStoreRead previous = ReadOnce(read);
    for (int attempt = 1; attempt < StoreReadAttempts; ++attempt) {
        Sleep(StoreReadPauseMs);
        TStoreRead current = ReadOnce(read);
        if (current.Text == previous.Text) {
            if (current.Failure)
                std::rethrow_exception(current.Failure);
            return;
        }
        previous = std::move(current);
    }
    throw EMarquillError("The OEM information kept changing while it was read without the lock, which only an "
                         "elevated run may take");
}
