// Text files in the encodings Windows' tools write, as UTF-8.
#include "base/TextFileDecode.h"

#include "base/Utf8.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF", Utf16LeMark = "\xFF\xFE", Utf16BeMark = "\xFE\xFF";

bool Fails(TTextFileProblem& problem, size_t line, const char* what)
{
    problem = {line, what};
    return false;
}

bool DecodeUtf16Le(std::string_view bytes, std::string& utf8, TTextFileProblem& problem)
{
    std::vector<char16_t> units(bytes.size() / 2);
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    size_t line = 1;
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit == u'\n')
            ++line;
        else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                 units[i + 1] <= 0xDFFF)
            ++i;
        else if (unit >= 0xD800 && unit <= 0xDFFF)
            return Fails(problem, line, "holds half a UTF-16 surrogate pair");
    }
    if (bytes.size() % 2 != 0)
        return Fails(problem, line, "is UTF-16 text of an odd length: its last byte is half a character");
    utf8 = Utf16ToUtf8(units.data(), units.size());
    return true;
}

}  // namespace

bool DecodeTextFile(std::string_view bytes, TAnsiToUtf8 ansiToUtf8, std::string& utf8, TTextFileProblem& problem)
{
    utf8.clear();
    if (bytes.substr(0, 2) == Utf16BeMark)
        return Fails(problem, 1, "is UTF-16 big-endian text: save it as UTF-8 or as UTF-16 little-endian (Unicode)");
    if (bytes.substr(0, 2) == Utf16LeMark)
        return DecodeUtf16Le(bytes.substr(2), utf8, problem);
    const bool marked = bytes.substr(0, 3) == Utf8Mark;
    if (marked)
        bytes.remove_prefix(3);
    const size_t invalid = InvalidUtf8At(bytes);
    if (marked && invalid != std::string_view::npos)
        return Fails(problem, 1 + static_cast<size_t>(std::count(bytes.begin(), bytes.begin() + invalid, '\n')),
                     "is not well-formed UTF-8 after its UTF-8 byte-order mark");
    // All-ASCII text reads the same in every ANSI code page.
    utf8 = invalid == std::string_view::npos ? std::string(bytes) : ansiToUtf8(bytes);
    return true;
}
