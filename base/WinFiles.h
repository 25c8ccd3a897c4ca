#pragma once
// File questions asked by more than one part of the program on Windows.
#include <windows.h>

#include <string>

// True when a file, not a directory, is found under `path`; an empty path
// names nothing (rather than the current directory).
bool IsExistingFile(const std::string& path);

// The full path of the running executable. Read into a buffer that grows
// until the path fits, so it is never cut short; empty when the platform
// gives none or the path exceeds the longest one Windows allows (32767).
std::string ModuleFilePath();
