#pragma once
// The Windows release the program runs on, as GetVersionExA reports it once
// when the program starts. Whatever differs between releases asks here.
#include <windows.h>

// The major version; 0 when the query fails.
extern const DWORD WindowsMajorVersion;
// VER_PLATFORM_WIN32_WINDOWS on 95, 98 and ME; VER_PLATFORM_WIN32_NT from
// NT 4.0 on.
extern const DWORD WindowsPlatformId;

inline bool IsWindows9xFamily()
{
    return WindowsPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
