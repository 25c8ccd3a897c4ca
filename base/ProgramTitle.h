#pragma once
// The program's title, as the error boxes and the hidden application window
// show it: the executable's file name without its directory, cut before its
// first ".", every character after the first lower-cased.
#include <windows.h>

#include <string>

// The title of the running executable; empty when its path cannot be had.
std::string ProgramTitle();

// The title rule for the executable at `exePath`. Letters beyond ASCII are
// lower-cased too, by the rules of the ANSI code page.
std::string ProgramTitleOf(const std::string& exePath);
