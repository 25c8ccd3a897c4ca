// File existence, the executable's path, whole-file reads and writes.
#include "base/WinFiles.h"

#include "base/WinHandles.h"

#include <vector>

bool IsExistingFile(const std::string& path)
{
    if (path.empty())
        return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string FullPathName(const std::string& path)
{
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::vector<char> buffer(needed + 1, '\0');
    const DWORD got = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (got == 0 || got >= buffer.size())
        return path;
    return std::string(buffer.data(), got);
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

TWholeFile ReadWholeFile(const std::string& path, uint64_t maxBytes, DWORD share)
{
    TWholeFile whole;
    THandle file(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        whole.Error = GetLastError();
        return whole;
    }
    whole.Opened = true;
    uint64_t size = 0;
    if (!FileSizeOf(file.Get(), size)) {
        whole.Error = GetLastError();
        return whole;
    }
    if (size > maxBytes) {
        whole.Error = ERROR_FILE_TOO_LARGE;
        return whole;
    }
    whole.Bytes.assign(static_cast<size_t>(size), '\0');
    for (DWORD done = 0; done < size;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), &whole.Bytes[done], static_cast<DWORD>(size) - done, &got, nullptr)) {
            whole.Error = GetLastError();
            break;
        }
        if (got == 0) {
            whole.Error = ERROR_HANDLE_EOF;
            break;
        }
        done += got;
    }
    if (!whole.Read())
        whole.Bytes.clear();
    return whole;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    THandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;
    for (size_t done = 0; done < bytes.size();) {
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}
