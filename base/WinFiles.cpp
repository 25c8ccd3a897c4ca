// File existence and the executable's path, written once for every layer.
#include "base/WinFiles.h"

#include <vector>

bool IsExistingFile(const std::string& path)
{
    if (path.empty())
        return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string ModuleFilePath()
{
    constexpr DWORD LongestPath = 32767;
    std::vector<char> buffer(MAX_PATH + 1, '\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        // A path that does not fit comes back cut to the buffer (and, before
        // Vista, unterminated) with the buffer's size as its length.
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0)
            return std::string();
        if (length < size - 1)
            return std::string(buffer.data(), length);
        if (size > LongestPath)
            return std::string();
        buffer.assign(static_cast<size_t>(size) * 2, '\0');
    }
}
