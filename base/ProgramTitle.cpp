// The program's title, from the executable's name.
#include "base/ProgramTitle.h"

#include "base/Format.h"
#include "base/WinFiles.h"

std::string ProgramTitle()
{
    std::string path = ModuleFilePath();
    return path.empty() ? std::string() : ProgramTitleOf(path);
}

std::string ProgramTitleOf(const std::string& exePath)
{
    // The letters are lower-cased here by the ANSI code page, so that letters
    // beyond ASCII follow and a first character of two bytes stays whole.
    std::string title(ProgramNameFromPath(exePath));
    if (title.empty())
        return title;
    char* rest = CharNextA(&title[0]);
    const size_t restLength = title.size() - static_cast<size_t>(rest - &title[0]);
    if (restLength > 0)
        CharLowerBuffA(rest, static_cast<DWORD>(restLength));
    return title;
}
