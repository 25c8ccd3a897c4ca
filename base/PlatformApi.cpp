// The one table of platform calls that tests can replace, with its defaults.
#include "base/PlatformApi.h"

#include "base/LoadedFunction.h"

TPlatformApi::TPlatformApi()
{
    IsWow64Process = LoadedFunction<decltype(IsWow64Process)>("kernel32.dll", "IsWow64Process");
    Wow64EnableWow64FsRedirection =
        LoadedFunction<decltype(Wow64EnableWow64FsRedirection)>("kernel32.dll", "Wow64EnableWow64FsRedirection");
}

TPlatformApi PlatformApi;
