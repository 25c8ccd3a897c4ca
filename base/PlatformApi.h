#pragma once
// The platform calls whose failures the tests must provoke and which Wine
// cannot be made to produce for real: a refused registry write, a profile
// write failing half-way, a move or deletion that does not happen, a
// file refused for its attributes, a lock refused by its access rules, a file
// dialog that cannot be shown, a WOW64 query or switch that fails, and the
// answers of older Windows: a code page it lacks, a cursor it lacks, a
// sharing flag it refuses, a function it lacks or a control class it does
// not know. The program makes these calls only through this one table; a
// test puts a stand-in in one member and puts the old one back (TApiSwap in
// the tests' support). Each member starts out as the platform's own function.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

struct TPlatformApi {
    TPlatformApi();

    decltype(&::RegCreateKeyExA) RegCreateKeyExA = ::RegCreateKeyExA;
    decltype(&::RegOpenKeyExA) RegOpenKeyExA = ::RegOpenKeyExA;
    decltype(&::RegQueryValueExA) RegQueryValueExA = ::RegQueryValueExA;
    decltype(&::RegSetValueExA) RegSetValueExA = ::RegSetValueExA;
    // The wide forms carry a value's bytes unchanged; Windows 9x has them as
    // stubs only, and they are called only in registry mode (Vista and later).
    decltype(&::RegQueryValueExW) RegQueryValueExW = ::RegQueryValueExW;
    decltype(&::RegSetValueExW) RegSetValueExW = ::RegSetValueExW;
    decltype(&::RegDeleteValueA) RegDeleteValueA = ::RegDeleteValueA;
    decltype(&::RegCloseKey) RegCloseKey = ::RegCloseKey;
    decltype(&::GetPrivateProfileStringA) GetPrivateProfileStringA = ::GetPrivateProfileStringA;
    decltype(&::WritePrivateProfileStringA) WritePrivateProfileStringA = ::WritePrivateProfileStringA;
    decltype(&::DeleteFileA) DeleteFileA = ::DeleteFileA;
    // Windows 95/98/Me have MoveFileExA only as a stub that fails with
    // ERROR_CALL_NOT_IMPLEMENTED; a read-only, hidden or system file refuses
    // some of these calls on Windows but not under Wine as root.
    decltype(&::MoveFileExA) MoveFileExA = ::MoveFileExA;
    decltype(&::MoveFileA) MoveFileA = ::MoveFileA;
    decltype(&::SetFileAttributesA) SetFileAttributesA = ::SetFileAttributesA;
    // The store lock: a mutex another account made can refuse this session
    // by its access rules, which Wine does not enforce.
    decltype(&::CreateMutexA) CreateMutexA = ::CreateMutexA;
    decltype(&::OpenMutexA) OpenMutexA = ::OpenMutexA;
    decltype(&::GetSystemDirectoryA) GetSystemDirectoryA = ::GetSystemDirectoryA;
    // A stub that fails on Windows 9x, which has the ANSI form only.
    decltype(&::GetComputerNameW) GetComputerNameW = ::GetComputerNameW;
    decltype(&::GetComputerNameA) GetComputerNameA = ::GetComputerNameA;
    // The file dialog's DLL is loaded when the dialog is first asked for:
    // imported, it and the shell DLLs it needs would load at every start.
    // Where it cannot load, the dialog fails with CDERR_INITIALIZATION.
    BOOL(WINAPI* GetOpenFileNameA)(LPOPENFILENAMEA);
    DWORD(WINAPI* CommDlgExtendedError)();
    decltype(&::MultiByteToWideChar) MultiByteToWideChar = ::MultiByteToWideChar;
    decltype(&::WideCharToMultiByte) WideCharToMultiByte = ::WideCharToMultiByte;
    decltype(&::LoadCursorA) LoadCursorA = ::LoadCursorA;
    decltype(&::CreateFileA) CreateFileA = ::CreateFileA;
    // High contrast and the keyboard cues: Wine will not switch high
    // contrast on, and 95 and NT 4.0 fail both queries.
    decltype(&::SystemParametersInfoA) SystemParametersInfoA = ::SystemParametersInfoA;
    // Who the program runs as: a filtered administrator's token (Vista and
    // later), which Wine never gives, and the elevation prompt that such a
    // window start asks for. The shell's DLL is loaded only for that prompt.
    decltype(&::GetTokenInformation) GetTokenInformation = ::GetTokenInformation;
    BOOL(WINAPI* ShellExecuteExA)(SHELLEXECUTEINFOA*);
    // Functions that older releases lack are never imported: the
    // constructor looks them up at run time, and nullptr means the running
    // Windows has none. Windows 95 to 2000 lack these four; 32-bit XP lacks
    // the redirection pair, which came with the 64-bit releases.
    BOOL(WINAPI* IsWow64Process)(HANDLE, PBOOL) = nullptr;
    BOOL(WINAPI* Wow64DisableWow64FsRedirection)(PVOID*) = nullptr;
    BOOL(WINAPI* Wow64RevertWow64FsRedirection)(PVOID) = nullptr;
    BOOL(WINAPI* AttachConsole)(DWORD) = nullptr;
    // Whether the token holds a group enabled; Windows 2000 brought it.
    // Wine's token is always an administrator's.
    BOOL(WINAPI* CheckTokenMembership)(HANDLE, PSID, PBOOL) = nullptr;
    // 64-bit XP and Server 2003 brought it; 32-bit XP has it as a stub that
    // fails, the earlier releases none.
    UINT(WINAPI* GetSystemWow64DirectoryA)(LPSTR, UINT) = nullptr;
    // comctl32 4.70 brought it; the first Windows 95 has only
    // InitCommonControls. Looked up only where the program has comctl32
    // loaded already (it imports it).
    BOOL(WINAPI* InitCommonControlsEx)(const INITCOMMONCONTROLSEX*) = nullptr;
};

extern TPlatformApi PlatformApi;
