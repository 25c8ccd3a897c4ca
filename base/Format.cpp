// The text rules every layer shares: message templates, the full stop, path elements.
#include "Format.h"

std::string FormatText(std::string_view templ, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(templ.size());
    auto next = args.begin();
    for (size_t i = 0; i < templ.size(); ++i) {
        char c = templ[i];
        if (c != '%' || i + 1 >= templ.size()) {
            out += c;
            continue;
        }
        char spec = templ[i + 1];
        if (spec == '%') {
            out += '%';
            ++i;
        } else if ((spec == 's' || spec == 'd') && next != args.end()) {
            out.append(next->data(), next->size());
            ++next;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string WithFullStop(const std::string& message)
{
    if (message.empty())
        return message;
    if (static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

std::string_view ProgramNameFromPath(std::string_view exePath)
{
    std::string_view name = LastPathElement(exePath);
    return name.substr(0, name.find('.'));
}

std::string_view LastPathElement(std::string_view path)
{
    size_t separator = path.find_last_of("\\/:");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}
