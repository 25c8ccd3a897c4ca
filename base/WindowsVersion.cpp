// The running release, read once.
#include "base/WindowsVersion.h"

namespace {

OSVERSIONINFOA QueryVersion()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info))
        return OSVERSIONINFOA();
    return info;
}

const OSVERSIONINFOA Version = QueryVersion();

}  // namespace

const DWORD WindowsMajorVersion = Version.dwMajorVersion;
const DWORD WindowsPlatformId = Version.dwPlatformId;
