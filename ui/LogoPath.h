#pragma once
// The path of a logo picked in the window's file dialog, made to name for
// Windows the file the user saw there.
#include <string>

// The window's file dialog is a 32-bit one: on 64-bit Windows it shows the
// 32-bit system directory (SysWOW64) under the system directory's name
// (System32), while Windows' own 64-bit reader of the logo, and the legacy
// store, which copies the logo with the redirection off, reach the real
// System32 under that name. So under WOW64 a path into the system directory
// whose file differs between the two views, or exists only in the view the
// dialog had, is given in its SysWOW64 form. Folders exempt from the
// redirection (drivers\etc and others) reach one file in both views and keep
// their path; so does every other path, and every path where the platform
// cannot name the 32-bit system directory.
std::string PathAsTheUserSawIt(const std::string& path);
