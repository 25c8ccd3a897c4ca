// The system's text for an error code, trimmed to end a sentence.
#include "base/SystemError.h"

#include "base/Format.h"

std::string SystemErrorText(DWORD code, std::string_view fallback)
{
    char buffer[1024] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        buffer, sizeof buffer, nullptr);
    std::string text(buffer, length < sizeof buffer ? length : 0);
    while (!text.empty()) {
        const char last = text.back();
        if (last != ' ' && last != '\t' && last != '\r' && last != '\n' && last != '.')
            break;
        text.pop_back();
    }
    return text.empty() ? FormatText(fallback, {std::to_string(code)}) : text;
}
