// The translation layer's platform edge for the native (test and fuzz) build.
#include "Platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

namespace i18n_platform {

const char kPathDelimiter = '/';

TLocaleFacts GatherLocaleFacts()
{
    // No locale query here beyond the environment: without LANG the code is "C".
    TLocaleFacts facts;
    if (const char* lang = std::getenv("LANG"))
        facts.langVariable = lang;
    return facts;
}

std::string ExecutableDir()
{
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return "./";
    std::string path(buffer, static_cast<size_t>(length));
    return path.substr(0, path.rfind('/') + 1);
}

bool IsExistingFile(const std::string& path)
{
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool ReadCatalogFile(const std::string& path, std::string& out)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad())
        return false;
    out = content.str();
    return true;
}

// Texts are UTF-8 throughout here.
std::string AnsiToUtf8(const std::string& text)
{
    return text;
}

std::string Utf8ToAnsi(const std::string& text)
{
    return text;
}

void ShowLocalizationProblem(const std::string& caption, const std::string& text)
{
    std::cerr << caption << ": " << text << '\n';
}

void ShowError(const std::string& message)
{
    std::cerr << message << '\n';
}

}  // namespace i18n_platform
