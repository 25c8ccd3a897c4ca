#include "base/ProgramTitle.h"

#include "base/Format.h"

std::string ProgramTitle()
{
    char path[MAX_PATH + 1] = {};
    DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH)
        return std::string();
    return ProgramTitleOf(std::string(path, len));
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
