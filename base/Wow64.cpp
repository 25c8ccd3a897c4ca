// The WOW64 query and the redirection switch, through PlatformApi.
#include "base/Wow64.h"

#include "base/Error.h"
#include "base/PlatformApi.h"
#include "base/ResText.h"

bool IsWow64()
{
    if (!PlatformApi.IsWow64Process)
        return false;
    BOOL wow64 = FALSE;
    if (!PlatformApi.IsWow64Process(GetCurrentProcess(), &wow64))
        throw EMarquillError("IsWow64: bad process handle");
    return wow64 != FALSE;
}

namespace {
bool HasSwitch()
{
    return PlatformApi.Wow64DisableWow64FsRedirection && PlatformApi.Wow64RevertWow64FsRedirection;
}
}  // namespace

TWow64RedirectionSwitch::TWow64RedirectionSwitch(bool active)
{
    if (!active || !HasSwitch())
        return;
    if (!PlatformApi.Wow64DisableWow64FsRedirection(&saved_))
        RaiseText(N_("Unable to switch the file system redirection"));
    off_ = true;
}

TWow64RedirectionSwitch::~TWow64RedirectionSwitch()
{
    if (off_)
        PlatformApi.Wow64RevertWow64FsRedirection(saved_);
}

void TWow64RedirectionSwitch::SwitchBack()
{
    if (!off_)
        return;
    off_ = false;
    if (!PlatformApi.Wow64RevertWow64FsRedirection(saved_))
        RaiseText(N_("Unable to switch the file system redirection"));
}
