// The one table of platform calls that tests can replace, with its defaults.
#include "base/PlatformApi.h"

#include "base/LoadedFunction.h"

namespace {
// Loaded once, for the program's life, as an imported DLL would be.
bool FileDialogsLoaded()
{
    static const bool loaded = LoadLibraryA("comdlg32.dll") != nullptr;
    return loaded;
}

template <class TFn> TFn FileDialogFunction(const char* name)
{
    return FileDialogsLoaded() ? LoadedFunction<TFn>("comdlg32.dll", name) : nullptr;
}

BOOL WINAPI OpenFileNameDialog(LPOPENFILENAMEA ofn)
{
    auto open = FileDialogFunction<decltype(&::GetOpenFileNameA)>("GetOpenFileNameA");
    return open ? open(ofn) : FALSE;
}

DWORD WINAPI FileDialogError()
{
    auto error = FileDialogFunction<decltype(&::CommDlgExtendedError)>("CommDlgExtendedError");
    return error ? error() : CDERR_INITIALIZATION;
}
BOOL WINAPI ShellExecuteWithShell(SHELLEXECUTEINFOA* info)
{
    static const bool loaded = LoadLibraryA("shell32.dll") != nullptr;
    auto execute = loaded ? LoadedFunction<decltype(&::ShellExecuteExA)>("shell32.dll", "ShellExecuteExA") : nullptr;
    if (execute)
        return execute(info);
    SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
}
}  // namespace

TPlatformApi::TPlatformApi()
    : GetOpenFileNameA(OpenFileNameDialog), CommDlgExtendedError(FileDialogError), ShellExecuteExA(ShellExecuteWithShell)
{
    IsWow64Process = LoadedFunction<decltype(IsWow64Process)>("kernel32.dll", "IsWow64Process");
    Wow64DisableWow64FsRedirection =
        LoadedFunction<decltype(Wow64DisableWow64FsRedirection)>("kernel32.dll", "Wow64DisableWow64FsRedirection");
    Wow64RevertWow64FsRedirection =
        LoadedFunction<decltype(Wow64RevertWow64FsRedirection)>("kernel32.dll", "Wow64RevertWow64FsRedirection");
    AttachConsole = LoadedFunction<decltype(AttachConsole)>("kernel32.dll", "AttachConsole");
    CheckTokenMembership = LoadedFunction<decltype(CheckTokenMembership)>("advapi32.dll", "CheckTokenMembership");
    GetSystemWow64DirectoryA =
        LoadedFunction<decltype(GetSystemWow64DirectoryA)>("kernel32.dll", "GetSystemWow64DirectoryA");
    InitCommonControlsEx = LoadedFunction<decltype(InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx");
}

TPlatformApi PlatformApi;
