// Exact conversions between wide text and the ANSI code page.
#include "base/AnsiText.h"

#include <windows.h>


TWideText ToWide(std::string_view ansi)
{
    if (ansi.empty())
        return TWideText();
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    if (length <= 0)
        return TWideText();
    TWideText wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], length);
    return wide;
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
    DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    auto convert = [&](char* out, int size) {
        return WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), out, size, nullptr,
                                   utf8 ? nullptr : &usedDefault);
    };
    int length = convert(nullptr, 0);
    if (length <= 0 && GetLastError() == ERROR_INVALID_FLAGS) {
        flags = 0;
        length = convert(nullptr, 0);
    }
    if (length <= 0)
        return false;
    ansi.assign(static_cast<size_t>(length), '\0');
    if (convert(&ansi[0], length) != length || usedDefault || ToWide(ansi) != wide) {
        ansi.clear();
        return false;
    }
    return true;
}

bool IsNtFamily()
{
    return (GetVersion() & 0x80000000u) == 0;
}
