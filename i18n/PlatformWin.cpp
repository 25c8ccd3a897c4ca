// The translation layer's platform edge on Windows.
#include "Platform.h"

#include "base/AnsiText.h"
#include "base/Format.h"
#include "base/ProgramTitle.h"
#include "base/Utf8.h"
#include "base/WinFiles.h"

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

bool ReadCatalogFile(const std::string& path, std::string& out)
{
    // A catalog of this program is a few kilobytes; refuse anything absurd
    // rather than allocate it.
    TWholeFile file = ReadWholeFile(path, 64 * 1024 * 1024, FILE_SHARE_READ);
    out = std::move(file.Bytes);
    return file.Read();
}

// The platform converts only between UTF-16 and ANSI: the first Windows 95
// has no UTF-8 code page. A text it cannot convert is handed back unchanged.
std::string AnsiToUtf8(const std::string& text)
{
    const TWideText wide = ToWide(text);
    return wide.empty() ? text : Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide.data()), wide.size());
}

std::string Utf8ToAnsi(const std::string& text)
{
    const std::vector<char16_t> wide = Utf8ToUtf16(text);
    const std::string ansi = FromWide(TWideView(reinterpret_cast<const wchar_t*>(wide.data()), wide.size()));
    return ansi.empty() ? text : ansi;
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
