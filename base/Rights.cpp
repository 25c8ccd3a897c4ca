#include "base/Rights.h"

#include "base/PlatformApi.h"
#include "base/WinHandles.h"
#include "base/WindowsVersion.h"

bool MayChangeStore()
{
    if (!PlatformApi.CheckTokenMembership)
        return true;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &administrators))
        return true;
    // A filtered administrator's token holds the group for denying only,
    // which this check does not count.
    BOOL member = TRUE;
    if (!PlatformApi.CheckTokenMembership(nullptr, administrators, &member))
        member = TRUE;
    FreeSid(administrators);
    return member != FALSE;
}

namespace {
bool IsFilteredAdministrator()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    const THandle owned(token);
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    return PlatformApi.GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size) &&
           type == TokenElevationTypeLimited;
}
}  // namespace

bool StartedElevatedCopy()
{
    if (WindowsPlatformId != VER_PLATFORM_WIN32_NT || WindowsMajorVersion < 6 || !IsFilteredAdministrator())
        return false;
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    // A failure other than the user's No shows no box of the shell's: the
    // window that opens instead says all there is to say.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "runas";
    info.lpFile = path;
    info.nShow = SW_SHOWNORMAL;
    return PlatformApi.ShellExecuteExA(&info) != FALSE;
}
