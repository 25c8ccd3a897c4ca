// The picked logo's path as Windows' 64-bit reader should be given it.
#include "ui/LogoPath.h"

#include <windows.h>

#include "base/PlatformApi.h"
#include "base/WinFiles.h"
#include "base/Wow64.h"
#include "oeminfo/StoreLayout.h"

namespace {
// The 32-bit system directory of 64-bit Windows; empty where there is none.
std::string SystemWow64Dir()
{
    if (!PlatformApi.GetSystemWow64DirectoryA)
        return std::string();
    char dir[MAX_PATH] = {};
    const UINT length = PlatformApi.GetSystemWow64DirectoryA(dir, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(dir, length) : std::string();
}

// Whether the two views reach different files under `path`, or a file only
// with the redirection on.
bool ViewsDiffer(const std::string& path)
{
    TFileIdentity seen, real;
    if (!ReadFileIdentity(path, seen))
        return false;
    const bool realFound = WithRedirectionOff(true, [&] { return ReadFileIdentity(path, real); });
    return !realFound || real != seen;
}
}  // namespace

std::string PathAsTheUserSawIt(const std::string& path)
{
    if (!IsWow64())
        return path;
    const std::string full = FullPathName(path);
    const std::string systemDir = GetSystemDir();
    const size_t prefix = systemDir.size();
    if (prefix == 0 || full.size() <= prefix + 1 || full[prefix] != '\\' ||
        lstrcmpiA(full.substr(0, prefix).c_str(), systemDir.c_str()) != 0)
        return path;
    const std::string wow64Dir = SystemWow64Dir();
    if (wow64Dir.empty() || !ViewsDiffer(path))
        return path;
    return wow64Dir + full.substr(prefix);
}
