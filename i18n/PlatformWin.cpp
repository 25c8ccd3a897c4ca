// The translation layer's platform edge on Windows.
#include "Platform.h"

#include "base/Format.h"
#include "base/ProgramTitle.h"
#include "base/WinFiles.h"
#include "base/WinHandles.h"

#include <windows.h>

#include <vector>

namespace i18n_platform {

const char kPathDelimiter = '\\';

namespace {
std::string LocaleName(LCTYPE type)
{
    // Five characters hold a name of up to four letters; a longer one does
    // not fit and the call fails. Only two-letter names are used; for any
    // other the thread locale decides.
    char buffer[5] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer) == 0)
        return std::string();
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

std::string Convert(const std::string& text, UINT from, UINT to)
{
    if (text.empty())
        return text;
    int wideLength = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wideLength <= 0)
        return text;
    // A vector, not std::wstring: that would link the library's whole wide
    // string instantiation (some 35 KB) into the program for this one buffer.
    std::vector<wchar_t> wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
    int length = WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return text;
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wideLength, &out[0], length, nullptr, nullptr);
    return out;
}

}  // namespace

TLocaleFacts GatherLocaleFacts()
{
    TLocaleFacts facts;
    DWORD needed = GetEnvironmentVariableA("LANG", nullptr, 0);
    if (needed > 1) {
        std::vector<char> value(needed + 1, '\0');
        DWORD length = GetEnvironmentVariableA("LANG", value.data(), needed);
        if (length > 0 && length < needed)
            facts.langVariable.assign(value.data(), length);
    }
    facts.isoLanguage = LocaleName(LOCALE_SISO639LANGNAME);
    facts.isoCountry = LocaleName(LOCALE_SISO3166CTRYNAME);
    facts.threadLocale = GetThreadLocale();
    return facts;
}

std::string ExecutableDir()
{
    std::string path = ModuleFilePath();
    return path.substr(0, path.size() - LastPathElement(path).size());
}

bool FileExists(const std::string& path)
{
    return IsExistingFile(path);
}

bool ReadFileBytes(const std::string& path, std::string& out)
{
    THandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;
    uint64_t size = 0;
    // A catalog of this program is a few kilobytes; refuse anything absurd
    // rather than allocate it.
    if (!FileSizeOf(file.Get(), size) || size > 64 * 1024 * 1024)
        return false;
    out.assign(static_cast<size_t>(size), '\0');
    DWORD read = 0;
    if (!out.empty() && (!ReadFile(file.Get(), &out[0], static_cast<DWORD>(out.size()), &read, nullptr) ||
                         read != out.size()))
        return false;
    return true;
}

std::string AnsiToUtf8(const std::string& text)
{
    return Convert(text, CP_ACP, CP_UTF8);
}

std::string Utf8ToAnsi(const std::string& text)
{
    return Convert(text, CP_UTF8, CP_ACP);
}

void ShowLocalizationProblem(const std::string& caption, const std::string& text)
{
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

void ShowError(const std::string& message)
{
    MessageBoxA(GetActiveWindow(), WithFullStop(message).c_str(), ProgramTitle().c_str(),
                MB_OK | MB_ICONERROR);
}

}  // namespace i18n_platform
