// The WOW64 query and the redirection switch, through PlatformApi.
#include "base/Wow64.h"

#include <exception>

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

void SetWow64FsRedirection(bool Enable)
{
    if (!PlatformApi.Wow64EnableWow64FsRedirection)
        return;
    if (!PlatformApi.Wow64EnableWow64FsRedirection(Enable ? TRUE : FALSE))
        throw EMarquillError(ResText(N_("Unable to switch the file system redirection")));
}

TWow64RedirectionOff::TWow64RedirectionOff(bool active) : active_(active)
{
    if (active_)
        SetWow64FsRedirection(false);
}

TWow64RedirectionOff::~TWow64RedirectionOff()
{
    if (!active_)
        return;
    try {
        SetWow64FsRedirection(true);
    } catch (const std::exception&) {
    }
}

void TWow64RedirectionOff::Restore()
{
    if (!active_)
        return;
    active_ = false;
    SetWow64FsRedirection(true);
}
