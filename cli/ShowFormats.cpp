#include "cli/ShowFormats.h"

#include "base/AsciiCase.h"
#include "base/Utf8.h"
#include "base/WebAddress.h"
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

TFormatResult Success(std::string output)
{
    TFormatResult result;
    result.Output = std::move(output);
    return result;
}

TFormatResult Failure(std::string error, bool wrongMode = false)
{
    TFormatResult result;
    result.Error = std::move(error);
    result.WrongMode = wrongMode;
    return result;
}

// A UTF-16LE code unit, as .reg files and registry data hold it.
void PutUtf16(std::string& out, char16_t c)
{
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
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

std::string HexBytes(const std::string& bytes)
{
    std::string hex;
    for (unsigned char b : bytes)
        hex += Hex(b, 2);
    return hex;
}

std::string Utf16Bytes(const std::vector<char16_t>& units)
{
    std::string bytes;
    for (char16_t c : units)
        PutUtf16(bytes, c);
    return bytes;
}

// What the 64-bit view holds of `value`, a value of the 32-bit one.
const char* In64(const TShownStore& store, const TShownValue& value)
{
    for (const TShownValue& field : store.Fields) {
        if (field.Name != value.Name)
            continue;
        if (!field.Present)
            break;
        if (field.Type != value.Type)
            return "otherType";
        return field.Bytes == value.Bytes ? "same" : "otherBytes";
    }
    return "absent";
}

// One member of "fields", "wow6432NodeOnly" or (with `in64`) "wow6432Node".
// Data that is no text comes out as its bytes, so this never fails.
void AppendJsonValue(std::string& out, TShownStoreMode mode, const TShownValue& value, const char* in64)
{
    const bool legacy = mode == TShownStoreMode::Legacy;
    out += "    ";
    AppendJsonAscii(out, value.Name);
    out += ": {\"exists\": ";
    out += value.Present ? "true" : "false";
    out += ", \"type\": ";
    if (!value.Present || legacy) {
        out += "null";
    } else {
        const char* name = TypeName(value.Type);
        AppendJsonAscii(out, name ? name : "0x" + Hex(value.Type, 1));
    }
    TValueText text;
    std::string quoted, error;
    char32_t bad = 0;
    const bool isText =
        value.Present && ReadValueText(mode, value, text, error) && AppendJsonText(quoted, text.Units, bad);
    out += ", \"value\": ";
    out += isText ? quoted : "null";
    out += ", \"nulTerminated\": ";
    out += !isText || legacy ? "null" : text.NulTerminated ? "true" : "false";
    if (value.Present && !isText) {
        bool isUtf16 = true;
        out += ", \"data\": \"";
        out += HexBytes(legacy ? Utf16Bytes(WideUnits(value.Text, isUtf16)) : value.Bytes);
        out += '"';
    }
    if (in64) {
        out += ", \"in64\": \"";
        out += in64;
        out += '"';
    }
    out += '}';
}

// --- .reg -----------------------------------------------------------------

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

// The rule of the component's documentation that `units`, a value of
// `field`, breaks (or Marquill's own URL rule, where Setup documents none),
// as the end of a sentence naming the field; empty when it breaks none.
// Every element may be empty.
std::string AnswerFileRuleBroken(const TOEMField& field, const std::vector<char16_t>& units)
{
    if (units.empty())
        return "";
    if (field.AnswerLimit != 0 && units.size() > field.AnswerLimit)
        return " is " + std::to_string(units.size()) + " UTF-16 code units long; Setup's answer file takes at most " +
               std::to_string(field.AnswerLimit) + ".";
    const std::string text = Utf16ToUtf8(units.data(), units.size());
    const std::string address = " is no complete http:// or https:// address, which ";
    if (field.UrlRule == TUrlRule::Setup && !IsAbsoluteHttpUrl(text))
        return address + "Setup's answer file requires.";
    if (field.UrlRule == TUrlRule::Marquill && !IsAbsoluteHttpUrl(text))
        return address + "Marquill's own URL rule requires (Setup documents none for it).";
    if (field.Kind == TFieldKind::Picture &&
        !(text.size() >= 4 && SameIgnoringAsciiCase(std::string_view(text).substr(text.size() - 4), ".bmp")))
        return " does not name a .bmp file, which Setup's answer file requires.";
    return "";
}

// The <OEMInformation> element: one child per present field, or an error
// naming the field and the rule it breaks.
bool AppendOEMInformation(std::string& out, const TShownStore& store, std::string& error)
{
    out += "<OEMInformation>\r\n";
    for (const TShownValue& value : store.Fields) {
        if (!value.Present)
            continue;
        const TOEMField* field = OEMFieldNamed(value.Name);
        const char* element = field ? field->AnswerElement : nullptr;
        if (!element) {
            error = value.Name + " has no element in an answer file's OEMInformation.";
            return false;
        }
        if (value.Type == ShownRegExpandSz) {
            error = value.Name + " is a REG_EXPAND_SZ value, and an answer file holds text only: its type would be lost.";
            return false;
        }
        TValueText text;
        if (!ReadValueText(store.Mode, value, text, error))
            return false;
        std::string xml;
        char32_t bad = 0;
        if (!AppendXmlText(xml, text.Units, bad)) {
            error = value.Name + " holds " + CodePointName(bad) + ", which XML 1.0 cannot hold.";
            return false;
        }
        const std::string broken = AnswerFileRuleBroken(*field, text.Units);
        if (!broken.empty()) {
            error = value.Name + broken;
            return false;
        }
        out += "  <" + std::string(element) + ">" + xml + "</" + element + ">\r\n";
    }
    out += "</OEMInformation>\r\n";
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
    bool isUtf16 = true;
    char32_t bad = 0;
    std::string computer;
    if (store.Computer.empty() || !AppendJsonText(computer, WideUnits(store.Computer, isUtf16), bad))
        computer = "null";
    std::string out = "{\r\n  \"schema\": 2,\r\n  \"computer\": " + computer + ",\r\n  \"store\": ";
    out += legacy ? "\"legacy\"" : "\"registry\"";
    enum TGroup { Fields, Only, All };
    const struct {
        const char* Key;
        const std::vector<TShownValue>& Values;
        TGroup Group;
    } groups[] = {{"fields", store.Fields, Fields},
                  {"wow6432NodeOnly", store.Wow6432Node, Only},
                  {"wow6432Node", store.Wow6432Node, All}};
    for (const auto& group : groups) {
        out += ",\r\n  \"";
        out += group.Key;
        out += "\": {";
        const char* separator = "\r\n";
        for (const TShownValue& value : group.Values) {
            const char* in64 = group.Group == Fields ? nullptr : In64(store, value);
            if (legacy && in64)
                break;
            if (group.Group == Only && std::string(in64) != "absent")
                continue;
            out += separator;
            AppendJsonValue(out, store.Mode, value, group.Group == All ? in64 : nullptr);
            separator = ",\r\n";
        }
        out += *separator == ',' ? "\r\n  }" : "}";
    }
    out += ",\r\n  \"logo\": ";
    if (!store.Logo.Named) {
        out += "null";
    } else {
        const std::vector<char16_t> units = WideUnits(store.Logo.Path, isUtf16);
        std::string path;
        const bool isText = isUtf16 && AppendJsonText(path, units, bad);
        out += "{\"path\": ";
        out += isText ? path : "null";
        out += ", \"exists\": ";
        out += store.Logo.Exists ? "true" : "false";
        out += ", \"loads\": ";
        out += store.Logo.Loads ? "true" : "false";
        if (!isText)
            out += ", \"data\": \"" + HexBytes(Utf16Bytes(units)) + '"';
        out += '}';
    }
    out += "\r\n}\r\n";
    return Success(std::move(out));
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
    return Success(std::move(out));
}

TFormatResult FormatUnattend(const TShownStore& store)
{
    if (store.Mode != TShownStoreMode::Registry)
        return Failure("/format:unattend writes the values of the registry: it is for registry mode only.", true);
    std::string out, error;
    if (!AppendOEMInformation(out, store, error))
        return Failure(error);
    return Success(std::move(out));
}

// The fragment itself, indented: the same values by the same rules. Its
// lines hold no line break of their own (they are character references).
TFormatResult FormatAnswerFile(const TShownStore& store)
{
    if (store.Mode != TShownStoreMode::Registry)
        return Failure("/format:answerfile writes the values of the registry: it is for registry mode only.", true);
    const TFormatResult fragment = FormatUnattend(store);
    if (!fragment.Error.empty())
        return fragment;
    std::string information;
    for (size_t start = 0, end; (end = fragment.Output.find("\r\n", start)) != std::string::npos; start = end + 2)
        information += "      " + fragment.Output.substr(start, end + 2 - start);
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                      "<unattend xmlns=\"urn:schemas-microsoft-com:unattend\">\r\n"
                      "  <settings pass=\"offlineServicing\">\r\n";
    for (const char* architecture : {"x86", "amd64", "arm64"}) {
        out += "    <component name=\"Microsoft-Windows-Shell-Setup\" processorArchitecture=\"";
        out += architecture;
        out += "\" publicKeyToken=\"31bf3856ad364e35\" language=\"neutral\" versionScope=\"nonSxS\""
               " xmlns:wcm=\"http://schemas.microsoft.com/WMIConfig/2002/State\">\r\n";
        out += information;
        out += "    </component>\r\n";
    }
    out += "  </settings>\r\n</unattend>\r\n";
    return Success(std::move(out));
}
