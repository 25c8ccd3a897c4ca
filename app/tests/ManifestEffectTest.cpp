// What the program's manifest does to a process that carries it (this test
// program embeds the same Manifest.rc as Marquill.exe): it is run as
// Windows 10 would run it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {
TEST(ManifestEffect, WindowsTenReportsVersionSix)
{
    // The registry store is chosen from major version 6 up; a manifest that
    // declared Windows 10 would get 10 here instead of 6.2.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    EXPECT_EQ(version.dwMajorVersion, 6u);
    EXPECT_EQ(version.dwMinorVersion, 2u);
}

TEST(ManifestEffect, CommonControlsSixAreTheOnesLoaded)
{
    // Version 6 lives in the side-by-side store; without the dependency the
    // loader takes the system directory's version 5.
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    ASSERT_TRUE(comctl);
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(comctl, path, MAX_PATH);
    FreeLibrary(comctl);
    ASSERT_GT(length, 0u);
    std::string lower(path, length);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_NE(lower.find("\\winsxs\\"), std::string::npos) << path;
    EXPECT_NE(lower.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << path;
}
}  // namespace
