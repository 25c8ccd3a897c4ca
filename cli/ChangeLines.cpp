#include "cli/ChangeLines.h"

namespace {

void AppendAscii(TWideText& out, const std::string& text)
{
    for (char c : text)
        out += static_cast<wchar_t>(static_cast<unsigned char>(c));
}

void AppendEscape(TWideText& out, char32_t c)
{
    static const char Digits[] = "0123456789ABCDEF";
    std::string hex;
    for (int shift = 20; shift >= 0; shift -= 4)
        if (shift < 16 || (c >> shift) != 0)
            hex += Digits[(c >> shift) & 0xF];
    AppendAscii(out, "\\u{" + hex + "}");
}

void AppendQuoted(TWideText& out, const std::vector<char16_t>& units, TCanShow canShow)
{
    out += L'"';
    for (size_t i = 0; i < units.size();) {
        const size_t start = i;
        const char32_t c = NextCodePoint(units, i);
        switch (c) {
        case '"': AppendAscii(out, "\\\""); continue;
        case '\\': AppendAscii(out, "\\\\"); continue;
        case '\t': AppendAscii(out, "\\t"); continue;
        case '\r': AppendAscii(out, "\\r"); continue;
        case '\n': AppendAscii(out, "\\n"); continue;
        default: break;
        }
        if (IsControlChar(c) || IsSurrogate(c) || !canShow(c)) {
            AppendEscape(out, c);
            continue;
        }
        for (size_t k = start; k < i; ++k)
            out += static_cast<wchar_t>(units[k]);
    }
    out += L'"';
}

void AppendValue(TWideText& out, TShownStoreMode mode, const TShownValue& value, TCanShow canShow)
{
    if (!value.Present) {
        AppendAscii(out, "(absent)");
        return;
    }
    TValueText text;
    std::string ignored;
    if (!ReadValueText(mode, value, text, ignored)) {
        if (mode == TShownStoreMode::Registry && (value.Type == ShownRegSz || value.Type == ShownRegExpandSz))
            AppendAscii(out, "(odd length, " + std::to_string(value.Bytes.size()) + " bytes)");
        else
            AppendAscii(out, "(type " + std::to_string(value.Type) + ")");
        return;
    }
    if (mode == TShownStoreMode::Registry && value.Type == ShownRegExpandSz)
        AppendAscii(out, "(expand) ");
    AppendQuoted(out, text.Units, canShow);
    if (!text.NulTerminated)
        AppendAscii(out, " (no final NUL)");
}

std::string Count(size_t n)
{
    return std::to_string(n) + (n == 1 ? " field" : " fields");
}

}  // namespace

TWideText ChangeLine(TShownStoreMode mode, const TShownValue& before, const TShownValue& after,
                     TCanShow canShow)
{
    TWideText line;
    AppendAscii(line, after.Name + ": ");
    AppendValue(line, mode, before, canShow);
    AppendAscii(line, " -> ");
    AppendValue(line, mode, after, canShow);
    return line;
}

std::string TestSummary(size_t driftedFields)
{
    return driftedFields == 0 ? "compliant" : "drift in " + Count(driftedFields);
}

std::string ApplySummary(size_t changedFields)
{
    return changedFields == 0 ? "unchanged" : "changed " + Count(changedFields);
}
