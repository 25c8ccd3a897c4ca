#pragma once
// File questions asked by more than one part of the program on Windows.
#include <windows.h>

#include <string>

// True when a file, not a directory, is found under `path`; an empty path
// names nothing (rather than the current directory).
inline bool IsExistingFile(const std::string& path)
{
    if (path.empty())
        return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
