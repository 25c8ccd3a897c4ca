#pragma once
// File questions asked by more than one part of the program on Windows.
#include <windows.h>

#include <cstdint>
#include <string>

// True when a file, not a directory, is found under `path`; an empty path
// names nothing (rather than the current directory).
bool IsExistingFile(const std::string& path);

// `path` made full as GetFullPathNameA makes it (against the current
// folder and drive); `path` itself when the platform cannot.
std::string FullPathName(const std::string& path);

// The full path of the running executable. Read into a buffer that grows
// until the path fits, so it is never cut short; empty when the platform
// gives none or the path exceeds the longest one Windows allows (32767).
std::string ModuleFilePath();

// The size of an open file, through GetFileSize because Windows 95 and NT 4.0
// have no GetFileSizeEx. INVALID_FILE_SIZE is also the low dword of a file of
// n * 4 GB + 4 GB - 1 bytes, so only the error code tells a failure.
inline bool FileSizeOf(HANDLE file, uint64_t& size)
{
    DWORD high = 0;
    SetLastError(NO_ERROR);
    const DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return false;
    size = (static_cast<uint64_t>(high) << 32) | low;
    return true;
}

// A whole file's bytes, or why they could not be had.
struct TWholeFile {
    std::string Bytes;
    // NO_ERROR when the file was read whole; else the platform's error code,
    // ERROR_FILE_TOO_LARGE beyond the cap, ERROR_HANDLE_EOF when the file
    // ended before its size.
    DWORD Error = NO_ERROR;
    // Whether the file was opened, that is whether the failure, if any, came
    // while it was being read.
    bool Opened = false;
    bool Read() const { return Error == NO_ERROR; }
};

// The whole contents of the file `path`, opened with the sharing `share`
// allows other programs; files larger than `maxBytes` are refused unread.
TWholeFile ReadWholeFile(const std::string& path, uint64_t maxBytes, DWORD share);

// Replaces the file `path` by `bytes`; false when it cannot be written whole.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
