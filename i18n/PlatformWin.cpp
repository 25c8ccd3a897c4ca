// The translation layer's platform edge on Windows.
#include "Platform.h"

#include "base/Format.h"
#include "base/PlatformApi.h"
#include "base/ProgramTitle.h"
#include "base/Utf8.h"
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

// The platform converts only between UTF-16 and ANSI: the first Windows 95
// has no UTF-8 code page. A text it cannot convert is handed back unchanged.
// Vectors, not std::wstring: that would link the library's whole wide string
// instantiation (some 35 KB) into the program for these buffers.
std::string WideToAnsi(const std::vector<char16_t>& wide, const std::string& fallback)
{
    if (wide.empty())
        return fallback;
    const auto* text = reinterpret_cast<const wchar_t*>(wide.data());
    const int wideLength = static_cast<int>(wide.size());
    int length = PlatformApi.WideCharToMultiByte(CP_ACP, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return fallback;
    std::string out(static_cast<size_t>(length), '\0');
    PlatformApi.WideCharToMultiByte(CP_ACP, 0, text, wideLength, &out[0], length, nullptr, nullptr);
    return out;
}

std::vector<char16_t> AnsiToWide(const std::string& text)
{
    const int textLength = static_cast<int>(text.size());
    int length = PlatformApi.MultiByteToWideChar(CP_ACP, 0, text.data(), textLength, nullptr, 0);
    if (length <= 0)
        return {};
    std::vector<char16_t> wide(static_cast<size_t>(length), u'\0');
    PlatformApi.MultiByteToWideChar(CP_ACP, 0, text.data(), textLength, reinterpret_cast<wchar_t*>(wide.data()),
                                    length);
    return wide;
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
    if (text.empty())
        return text;
    const std::vector<char16_t> wide = AnsiToWide(text);
    return wide.empty() ? text : Utf16ToUtf8(wide.data(), wide.size());
}

std::string Utf8ToAnsi(const std::string& text)
{
    return WideToAnsi(Utf8ToUtf16(text), text);
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
