// Conversions between wide text and the 8-bit code pages, through the
// platform table so that tests can answer as older Windows does.
#include "base/AnsiText.h"

#include "base/PlatformApi.h"
#include "base/Utf8.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide text is UTF-16");

namespace {

// `wide` in `codePage` with the conversion's `flags`; `usedDefault`, when
// given, tells whether some character had no counterpart. Empty when the
// platform refuses.
std::string Narrowed(TWideView wide, UINT codePage, DWORD flags, BOOL* usedDefault)
{
    const int wideLength = static_cast<int>(wide.size());
    const int length =
        PlatformApi.WideCharToMultiByte(codePage, flags, wide.data(), wideLength, nullptr, 0, nullptr, usedDefault);
    if (length <= 0)
        return std::string();
    std::string out(static_cast<size_t>(length), '\0');
    if (PlatformApi.WideCharToMultiByte(codePage, flags, wide.data(), wideLength, &out[0], length, nullptr,
                                        usedDefault) != length)
        return std::string();
    return out;
}

}  // namespace

TWideText ToWide(std::string_view text, UINT codePage)
{
    if (text.empty())
        return TWideText();
    const int textLength = static_cast<int>(text.size());
    const int length = PlatformApi.MultiByteToWideChar(codePage, 0, text.data(), textLength, nullptr, 0);
    if (length <= 0)
        return TWideText();
    TWideText wide(static_cast<size_t>(length), L'\0');
    if (PlatformApi.MultiByteToWideChar(codePage, 0, text.data(), textLength, &wide[0], length) != length)
        return TWideText();
    return wide;
}

std::string FromWide(TWideView wide, UINT codePage)
{
    return wide.empty() ? std::string() : Narrowed(wide, codePage, 0, nullptr);
}

bool ToAnsiExactly(TWideView wide, std::string& ansi)
{
    ansi.clear();
    if (wide.empty())
        return true;
    // Best-fit mapping would turn a fullwidth quote into a real one. The
    // flag and the default-character report are not allowed for a UTF-8 ANSI
    // code page, and NT 4.0 knows no such flag: the round trip below is what
    // decides in the end.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    BOOL* report = utf8 ? nullptr : &usedDefault;
    ansi = Narrowed(wide, CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, report);
    if (ansi.empty() && !utf8 && GetLastError() == ERROR_INVALID_FLAGS)
        ansi = Narrowed(wide, CP_ACP, 0, report);
    if (ansi.empty() || usedDefault || ToWide(ansi) != wide) {
        ansi.clear();
        return false;
    }
    return true;
}

TWideText Utf8ToWide(std::string_view utf8)
{
    const std::vector<char16_t> units = Utf8ToUtf16(utf8);
    return TWideText(reinterpret_cast<const wchar_t*>(units.data()), units.size());
}

std::string WideToUtf8(TWideView wide)
{
    return Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide.data()), wide.size());
}

std::string AnsiToUtf8(std::string_view ansi)
{
    return WideToUtf8(ToWide(ansi));
}

bool Utf8ToAnsiExactly(std::string_view utf8, std::string& ansi, size_t* position)
{
    const TWideText wide = Utf8ToWide(utf8);
    if (ToAnsiExactly(wide, ansi))
        return true;
    if (position) {
        // Character by character, to name the first the code page lacks.
        *position = 0;
        std::string ignored;
        for (size_t i = 0; i < wide.size(); ++i) {
            const size_t length = i + 1 < wide.size() && wide[i] >= 0xD800 && wide[i] <= 0xDBFF ? 2 : 1;
            ++*position;
            if (!ToAnsiExactly(wide.substr(i, length), ignored))
                break;
            i += length - 1;
        }
    }
    return false;
}

bool IsNtFamily()
{
    return (GetVersion() & 0x80000000u) == 0;
}
