#include "cli/ShowFormats.h"

#include "base/Utf8.h"
#include "oeminfo/OEMFields.h"

namespace {

const char KeyName[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation";

// Upper-case hex of at least `digits` digits.
std::string Hex(uint32_t n, int digits)
{
    static const char Digits[] = "0123456789ABCDEF";
    std::string text;
    while (n != 0 || digits > 0) {
        text.insert(text.begin(), Digits[n & 0xF]);
        n >>= 4;
        --digits;
    }
    return text;
}

std::string CodePointName(char32_t c)
{
    return "U+" + Hex(c, 4);
}

// A parameter, not a comparison in place: on Windows wchar_t is 16 bits and
// the compiler would call the check always true; natively it is 32 bits.
bool IsUtf16Unit(char32_t c)
{
    return c <= 0xFFFF;
}

std::vector<char16_t> WideUnits(const TWideText& text, bool& isUtf16)
{
    std::vector<char16_t> units;
    isUtf16 = true;
    for (wchar_t c : text) {
        isUtf16 = isUtf16 && IsUtf16Unit(static_cast<char32_t>(c));
        units.push_back(static_cast<char16_t>(c));
    }
    return units;
}

TFormatResult Failure(std::string error, bool wrongMode = false)
{
    TFormatResult result;
    result.Error = std::move(error);
    result.WrongMode = wrongMode;
    return result;
}

// --- JSON -----------------------------------------------------------------

void AppendJsonAscii(std::string& out, const std::string& text)
{
    out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
}

// False at an unpaired surrogate, which UTF-8 cannot hold; it is `bad`.
bool AppendJsonText(std::string& out, const std::vector<char16_t>& units, char32_t& bad)
{
    out += '"';
    for (size_t i = 0; i < units.size();) {
        const char32_t c = NextCodePoint(units, i);
        if (IsSurrogate(c)) {
            bad = c;
            return false;
        }
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F)
                out += "\\u" + Hex(c, 4);
            else
                AppendUtf8(out, c);
        }
    }
    out += '"';
    return true;
}

const char* TypeName(uint32_t type)
{
    static const char* const Names[] = {"REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD",
                                        "REG_DWORD_BIG_ENDIAN", "REG_LINK", "REG_MULTI_SZ", "REG_RESOURCE_LIST",
                                        "REG_FULL_RESOURCE_DESCRIPTOR", "REG_RESOURCE_REQUIREMENTS_LIST",
                                        "REG_QWORD"};
    return type < sizeof(Names) / sizeof(Names[0]) ? Names[type] : nullptr;
}

// One member of "fields" or "wow6432NodeOnly". A field that is no exact
// text is an error; a note then gives "value": null.
bool AppendJsonValue(std::string& out, TShownStoreMode mode, const TShownValue& value, bool isNote,
                     std::string& error)
{
    out += "    ";
    AppendJsonAscii(out, value.Name);
    out += ": {\"exists\": ";
    if (!value.Present) {
        out += "false, \"type\": null, \"value\": null, \"nulTerminated\": null}";
        return true;
    }
    out += "true, \"type\": ";
    if (mode == TShownStoreMode::Legacy) {
        out += "null";
    } else {
        const char* name = TypeName(value.Type);
        AppendJsonAscii(out, name ? name : "0x" + Hex(value.Type, 1));
    }
    // A note that is no exact text still shows its type.
    TValueText text;
    std::string quoted;
    char32_t bad = 0;
    if (!ReadValueText(mode, value, text, error)) {
        if (!isNote)
            return false;
    } else if (!AppendJsonText(quoted, text.Units, bad)) {
        if (!isNote) {
            error = value.Name + " holds an unpaired UTF-16 surrogate (" + CodePointName(bad) +
                    "), which UTF-8 cannot hold.";
            return false;
        }
        quoted.clear();
    }
    error.clear();
    const bool isText = !quoted.empty();
    out += ", \"value\": ";
    out += isText ? quoted : "null";
    out += ", \"nulTerminated\": ";
    out += mode == TShownStoreMode::Legacy || !isText ? "null" : text.NulTerminated ? "true" : "false";
    out += '}';
    return true;
}

// --- .reg -----------------------------------------------------------------

void PutUtf16(std::string& out, char16_t c)
{
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
}

void PutAscii(std::string& out, const std::string& text)
{
    for (char c : text)
        PutUtf16(out, static_cast<unsigned char>(c));
}

void PutRegQuoted(std::string& out, const std::vector<char16_t>& units)
{
    PutUtf16(out, '"');
    for (char16_t c : units) {
        if (c == '"' || c == '\\')
            PutUtf16(out, '\\');
        PutUtf16(out, c);
    }
    PutUtf16(out, '"');
}

// The bytes as regedit writes them: "xx" comma-separated, each line cut
// before 80 columns with ",\" and continued after two blanks.
std::string RegHex(const std::string& prefix, const std::string& bytes)
{
    static const char Digits[] = "0123456789abcdef";
    std::string line = prefix;
    size_t column = prefix.size();
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (column + 3 >= 80) {
            line += "\\\r\n  ";
            column = 2;
        }
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        line += Digits[b >> 4];
        line += Digits[b & 0xF];
        column += 2;
        if (i + 1 < bytes.size()) {
            line += ',';
            ++column;
        }
    }
    return line;
}

bool NeedsHex(const std::vector<char16_t>& units)
{
    for (size_t i = 0; i < units.size();) {
        const char32_t c = NextCodePoint(units, i);
        if (IsControlChar(c) || IsSurrogate(c))
            return true;
    }
    return false;
}

// --- answer file ----------------------------------------------------------

// The element the field table gives the value's field in an answer file.
const char* UnattendElement(const std::string& valueName)
{
    const TOEMField* field = OEMFieldNamed(valueName);
    return field ? field->AnswerElement : nullptr;
}

// XML 1.0's Char production, less what an element's text may not hold as
// itself.
bool AppendXmlText(std::string& out, const std::vector<char16_t>& units, char32_t& bad)
{
    for (size_t i = 0; i < units.size();) {
        const char32_t c = NextCodePoint(units, i);
        switch (c) {
        case '&': out += "&amp;"; continue;
        case '<': out += "&lt;"; continue;
        case '>': out += "&gt;"; continue;
        case '\t': out += "&#9;"; continue;
        case '\n': out += "&#10;"; continue;
        case '\r': out += "&#13;"; continue;
        default: break;
        }
        if (c < 0x20 || IsSurrogate(c) || c == 0xFFFE || c == 0xFFFF) {
            bad = c;
            return false;
        }
        AppendUtf8(out, c);
    }
    return true;
}

}  // namespace

bool ReadValueText(TShownStoreMode mode, const TShownValue& value, TValueText& text, std::string& error)
{
    text = TValueText();
    if (mode == TShownStoreMode::Legacy) {
        bool isUtf16 = true;
        text.Units = WideUnits(value.Text, isUtf16);
        if (!isUtf16)
            error = value.Name + " is no UTF-16 text.";
        return isUtf16;
    }
    if (value.Type != ShownRegSz && value.Type != ShownRegExpandSz) {
        error = value.Name + " is a registry value of type " + std::to_string(value.Type) + ", not text.";
        return false;
    }
    if (value.Bytes.size() % 2 != 0) {
        error = value.Name + " has an odd number of bytes (" + std::to_string(value.Bytes.size()) +
                "), so it is no UTF-16 text.";
        return false;
    }
    for (size_t i = 0; i < value.Bytes.size(); i += 2)
        text.Units.push_back(static_cast<char16_t>(static_cast<unsigned char>(value.Bytes[i]) |
                                                   static_cast<unsigned char>(value.Bytes[i + 1]) << 8));
    text.NulTerminated = !text.Units.empty() && text.Units.back() == 0;
    if (text.NulTerminated)
        text.Units.pop_back();
    return true;
}

char32_t NextCodePoint(const std::vector<char16_t>& units, size_t& i)
{
    const char32_t c = units[i++];
    if (c >= 0xD800 && c <= 0xDBFF && i < units.size() && units[i] >= 0xDC00 && units[i] <= 0xDFFF)
        return 0x10000 + ((c - 0xD800) << 10) + (units[i++] - 0xDC00);
    return c;
}

TFormatResult FormatJson(const TShownStore& store)
{
    const bool legacy = store.Mode == TShownStoreMode::Legacy;
    std::string out = "{\r\n  \"store\": ";
    out += legacy ? "\"legacy\"" : "\"registry\"";
    std::string error;
    const struct {
        const char* Key;
        const std::vector<TShownValue>& Values;
        bool AreNotes;
    } groups[] = {{"fields", store.Fields, false}, {"wow6432NodeOnly", store.Wow6432NodeOnly, true}};
    for (const auto& group : groups) {
        out += ",\r\n  \"";
        out += group.Key;
        out += "\": {";
        const char* separator = "\r\n";
        for (const TShownValue& value : group.Values) {
            if (group.AreNotes && legacy)
                break;
            out += separator;
            if (!AppendJsonValue(out, store.Mode, value, group.AreNotes, error))
                return Failure(error);
            separator = ",\r\n";
        }
        out += *separator == ',' ? "\r\n  }" : "}";
    }
    out += ",\r\n  \"logo\": ";
    if (!store.Logo.Named) {
        out += "null";
    } else {
        bool isUtf16 = true;
        char32_t bad = 0;
        out += "{\"path\": ";
        if (!AppendJsonText(out, WideUnits(store.Logo.Path, isUtf16), bad) || !isUtf16)
            return Failure("The logo's path holds an unpaired UTF-16 surrogate (" + CodePointName(bad) +
                           "), which UTF-8 cannot hold.");
        out += ", \"exists\": ";
        out += store.Logo.Exists ? "true" : "false";
        out += ", \"loads\": ";
        out += store.Logo.Loads ? "true" : "false";
        out += '}';
    }
    out += "\r\n}\r\n";
    TFormatResult result;
    result.Output = std::move(out);
    return result;
}

TFormatResult FormatReg(const TShownStore& store)
{
    if (store.Mode != TShownStoreMode::Registry)
        return Failure("/format:reg writes registry values: it is for registry mode only.", true);
    std::string out;
    PutUtf16(out, 0xFEFF);
    PutAscii(out, "Windows Registry Editor Version 5.00\r\n\r\n[");
    PutAscii(out, KeyName);
    PutAscii(out, "]\r\n");
    for (const TShownValue& value : store.Fields) {
        std::string name;
        for (char c : value.Name) {
            if (c == '"' || c == '\\')
                name += '\\';
            name += c;
        }
        name = "\"" + name + "\"=";
        if (!value.Present) {
            PutAscii(out, name + "-\r\n");
            continue;
        }
        TValueText text;
        std::string error;
        if (!ReadValueText(store.Mode, value, text, error))
            return Failure(error);
        if (!text.NulTerminated)
            return Failure(value.Name + " does not end in a NUL character, which reg import would add.");
        if (value.Type == ShownRegSz && !NeedsHex(text.Units)) {
            PutAscii(out, name);
            PutRegQuoted(out, text.Units);
        } else {
            PutAscii(out, RegHex(name + (value.Type == ShownRegSz ? "hex(1):" : "hex(2):"), value.Bytes));
        }
        PutAscii(out, "\r\n");
    }
    PutAscii(out, "\r\n");
    TFormatResult result;
    result.Output = std::move(out);
    return result;
}

TFormatResult FormatUnattend(const TShownStore& store)
{
    if (store.Mode != TShownStoreMode::Registry)
        return Failure("/format:unattend writes the values of the registry: it is for registry mode only.", true);
    std::string out = "<OEMInformation>\r\n";
    for (const TShownValue& value : store.Fields) {
        if (!value.Present)
            continue;
        const char* element = UnattendElement(value.Name);
        if (!element)
            return Failure(value.Name + " has no element in an answer file's OEMInformation.");
        TValueText text;
        std::string error;
        if (!ReadValueText(store.Mode, value, text, error))
            return Failure(error);
        out += "  <";
        out += element;
        out += '>';
        char32_t bad = 0;
        if (!AppendXmlText(out, text.Units, bad))
            return Failure(value.Name + " holds " + CodePointName(bad) + ", which XML 1.0 cannot hold.");
        out += "</";
        out += element;
        out += ">\r\n";
    }
    out += "</OEMInformation>\r\n";
    TFormatResult result;
    result.Output = std::move(out);
    return result;
}
