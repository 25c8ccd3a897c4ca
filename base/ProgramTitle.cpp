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
    // The shared rule says where the name starts and where it is cut; the
    // letters are lower-cased here from the name as written, by the ANSI code
    // page, so that letters beyond ASCII follow and a first character of two
    // bytes stays whole.
    const size_t slash = exePath.find_last_of("\\/:");
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::string title = exePath.substr(start, ProgramTitleFromPath(exePath).size());
    if (title.empty())
        return title;
    char* rest = CharNextA(&title[0]);
    const size_t restLength = title.size() - static_cast<size_t>(rest - &title[0]);
    if (restLength > 0)
        CharLowerBuffA(rest, static_cast<DWORD>(restLength));
    return title;
}
