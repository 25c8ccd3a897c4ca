// The /show formats read back by real parsers: every value must come back
// exactly, and what a format cannot hold must fail whole, naming the field.
// (The .reg output's round trip is reg.exe's to judge: Program.RegOutputImportedByRegExeGivesAByteIdenticalKey.)
#include "cli/ShowFormats.h"

#include "base/Utf8.h"

#include <expat.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>

namespace {

using namespace std::string_literals;

std::string Utf16Bytes(const std::vector<char16_t>& units)
{
    std::string bytes;
    for (char16_t c : units) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// A registry value holding `utf8` as UTF-16LE, with its final NUL unless
// `terminated` is false.
TShownValue RegValue(const std::string& name, const std::string& utf8, uint32_t type = ShownRegSz,
                     bool terminated = true)
{
    std::vector<char16_t> units = Utf8ToUtf16(utf8);
    if (terminated)
        units.push_back(0);
    TShownValue value;
    value.Name = name;
    value.Present = true;
    value.Type = type;
    value.Bytes = Utf16Bytes(units);
    return value;
}

TShownValue Absent(const std::string& name)
{
    TShownValue value;
    value.Name = name;
    return value;
}

TShownValue RawValue(const std::string& name, uint32_t type, std::string bytes)
{
    TShownValue value = Absent(name);
    value.Present = true;
    value.Type = type;
    value.Bytes = std::move(bytes);
    return value;
}

TShownValue LegacyValue(const std::string& name, const TWideText& text)
{
    TShownValue value = Absent(name);
    value.Present = true;
    value.Text = text;
    return value;
}

const std::string Emoji = "\xF0\x9F\x98\x80";  // U+1F600, a surrogate pair in UTF-16

std::string Repeated(const std::string& text, size_t times)
{
    std::string all;
    while (times-- > 0)
        all += text;
    return all;
}
const std::string Hard[] = {
    "plain",
    "say \"hi\" C:\\dir\\",
    "tab\there\r\nCR LF, lone\rCR, lone\nLF",
    "nul\0inside, \x01\x1F\x7F, &<>'"s,
    "\xE8\x81\x94\xE6\x83\xB3 \xD0\x96\xD1\x83\xD0\xBA " + Emoji,  // 联想 Жук and an emoji
    "",
};

TEST(ShowFormats, JsonGivesEveryValueExactlyToAParser)
{
    TShownStore store;
    for (size_t i = 0; i < std::size(Hard); ++i)
        store.Fields.push_back(RegValue("F" + std::to_string(i), Hard[i]));
    store.Fields.push_back(RegValue("Logo", "%SystemRoot%\\oem.bmp", ShownRegExpandSz));
    store.Fields.push_back(RegValue("Unterminated", "ab", ShownRegSz, false));
    store.Fields.push_back(Absent("SupportAppURL"));
    store.Wow6432Node = {RegValue("Model", Hard[2]), RawValue("Manufacturer", 4, "\x01\0\0\0"s)};
    store.Logo = {true, L"C:\\Windows\\System32\\oem.bmp", true, false};

    const TFormatResult result = FormatJson(store);
    ASSERT_EQ(result.Error, "");
    // Ordered: a plain nlohmann::json sorts the keys, and the order is /show's.
    const nlohmann::ordered_json json = nlohmann::ordered_json::parse(result.Output);
    EXPECT_EQ(json["store"], "registry");
    for (size_t i = 0; i < std::size(Hard); ++i) {
        const nlohmann::ordered_json& field = json["fields"]["F" + std::to_string(i)];
        EXPECT_EQ(field["value"].get<std::string>(), Hard[i]) << i;
        EXPECT_EQ(field["type"], "REG_SZ");
        EXPECT_EQ(field["exists"], true);
        EXPECT_EQ(field["nulTerminated"], true);
    }
    EXPECT_EQ(json["fields"]["Logo"]["type"], "REG_EXPAND_SZ");
    EXPECT_EQ(json["fields"]["Logo"]["value"], "%SystemRoot%\\oem.bmp");
    EXPECT_EQ(json["fields"]["Unterminated"]["value"], "ab");
    EXPECT_EQ(json["fields"]["Unterminated"]["nulTerminated"], false);
    const nlohmann::ordered_json absent = {
        {"exists", false}, {"type", nullptr}, {"value", nullptr}, {"nulTerminated", nullptr}};
    EXPECT_EQ(json["fields"]["SupportAppURL"], absent);
    EXPECT_EQ(json["wow6432NodeOnly"]["Model"]["value"], Hard[2]);
    EXPECT_EQ(json["wow6432NodeOnly"]["Manufacturer"]["type"], "REG_DWORD");
    EXPECT_EQ(json["wow6432NodeOnly"]["Manufacturer"]["value"], nullptr);
    EXPECT_EQ(json["wow6432NodeOnly"]["Manufacturer"]["data"], "01000000");
    const nlohmann::ordered_json logo = {
        {"path", "C:\\Windows\\System32\\oem.bmp"}, {"exists", true}, {"loads", false}};
    EXPECT_EQ(json["logo"], logo);
    std::vector<std::string> order;
    for (const auto& member : json["fields"].items())
        order.push_back(member.key());
    EXPECT_EQ(order.front(), "F0");
    EXPECT_EQ(order.back(), "SupportAppURL");
}

// Data that is no text keeps the machine in the inventory: its bytes come
// out in "data", and the fields around it stay exact.
TEST(ShowFormats, JsonCarriesDataThatIsNoTextAsItsBytes)
{
    const struct {
        TShownValue value;
        TShownStoreMode mode;
        nlohmann::json type;
        const char* data;
    } cases[] = {
        {RawValue("Model", 4, "\x2A\0\0\x80"s), TShownStoreMode::Registry, "REG_DWORD", "2A000080"},
        {RawValue("Model", 3, "\x00\xFF\x10"s), TShownStoreMode::Registry, "REG_BINARY", "00FF10"},
        {RawValue("Model", 0x4D2, "\xAB"s), TShownStoreMode::Registry, "0x4D2", "AB"},
        {RawValue("Model", ShownRegSz, "a\0b"s), TShownStoreMode::Registry, "REG_SZ", "610062"},
        {RawValue("Model", ShownRegExpandSz, "\x3D\xD8" "a\0\0\0"s), TShownStoreMode::Registry, "REG_EXPAND_SZ",
         "3DD861000000"},
        {RawValue("Model", ShownRegSz, "a\0\x00\xDE\0\0"s), TShownStoreMode::Registry, "REG_SZ", "610000DE0000"},
        {LegacyValue("Model", TWideText(L"x") + wchar_t(0xDC01)), TShownStoreMode::Legacy, nullptr, "780001DC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        TShownStore store;
        store.Mode = c.mode;
        store.Fields = {c.mode == TShownStoreMode::Legacy ? LegacyValue("Manufacturer", L"fine")
                                                          : RegValue("Manufacturer", "fine"),
                        c.value, Absent("SupportURL")};
        store.Wow6432Node = {c.value};
        const TFormatResult result = FormatJson(store);
        ASSERT_EQ(result.Error, "");
        const nlohmann::json json = nlohmann::json::parse(result.Output);
        const nlohmann::json expected = {
            {"exists", true}, {"type", c.type}, {"value", nullptr}, {"nulTerminated", nullptr}, {"data", c.data}};
        EXPECT_EQ(json["fields"]["Model"], expected);
        EXPECT_EQ(json["fields"]["Manufacturer"]["value"], "fine");
        EXPECT_EQ(json["fields"]["SupportURL"]["exists"], false);
        EXPECT_EQ(json["fields"]["SupportURL"].count("data"), 0u);
        if (c.mode == TShownStoreMode::Registry)
            EXPECT_EQ(json["wow6432Node"]["Model"]["data"], c.data);
    }
}

TEST(ShowFormats, JsonOfTheLegacyStore)
{
    TShownStore store;
    store.Mode = TShownStoreMode::Legacy;
    store.Fields = {LegacyValue("Manufacturer", L"A \"B\"\tC"), LegacyValue("Line1", L""), Absent("Line2")};
    store.Wow6432Node = {RegValue("Model", "ignored")};
    store.Computer = L"PC-\x0416";
    const TFormatResult result = FormatJson(store);
    ASSERT_EQ(result.Error, "");
    const nlohmann::json json = nlohmann::json::parse(result.Output);
    const nlohmann::json expected = {
        {"schema", 2},
        {"computer", "PC-\xD0\x96"},
        {"store", "legacy"},
        {"fields",
         {{"Manufacturer", {{"exists", true}, {"type", nullptr}, {"value", "A \"B\"\tC"}, {"nulTerminated", nullptr}}},
          {"Line1", {{"exists", true}, {"type", nullptr}, {"value", ""}, {"nulTerminated", nullptr}}},
          {"Line2", {{"exists", false}, {"type", nullptr}, {"value", nullptr}, {"nulTerminated", nullptr}}}}},
        {"wow6432NodeOnly", nlohmann::json::object()},
        {"wow6432Node", nlohmann::json::object()},
        {"logo", nullptr}};
    EXPECT_EQ(json, expected);
}

// An answer file or its fragment as an XML parser reads it: every element
// by its path from the root, with its attributes and its own text.
struct TXmlElement {
    std::string Path;
    std::map<std::string, std::string> Attributes;
    std::string Text;
};
struct TXmlRead {
    std::vector<TXmlElement> Elements;
    std::vector<size_t> Open;
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto& read = *static_cast<TXmlRead*>(data);
    TXmlElement element;
    element.Path = (read.Open.empty() ? "" : read.Elements[read.Open.back()].Path + "/") + name;
    for (size_t i = 0; attributes[i]; i += 2)
        element.Attributes[attributes[i]] = attributes[i + 1];
    read.Open.push_back(read.Elements.size());
    read.Elements.push_back(element);
}

void XMLCALL OnEnd(void* data, const XML_Char*)
{
    static_cast<TXmlRead*>(data)->Open.pop_back();
}

void XMLCALL OnText(void* data, const XML_Char* text, int length)
{
    auto& read = *static_cast<TXmlRead*>(data);
    read.Elements[read.Open.back()].Text.append(text, length);
}

// The parser's error, or "" with `read` filled.
std::string ParseXml(const std::string& xml, TXmlRead& read)
{
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &read);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnText);
    const bool ok = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1) == XML_STATUS_OK;
    const std::string error = ok ? "" : XML_ErrorString(XML_GetErrorCode(parser));
    XML_ParserFree(parser);
    return error;
}

// The children of each element at `path`, as (name, text).
std::vector<std::vector<std::pair<std::string, std::string>>> ChildrenOf(const TXmlRead& read, const std::string& path)
{
    std::vector<std::vector<std::pair<std::string, std::string>>> all;
    for (const TXmlElement& element : read.Elements) {
        if (element.Path == path)
            all.emplace_back();
        else if (element.Path.rfind(path + "/", 0) == 0)
            all.back().emplace_back(element.Path.substr(path.size() + 1), element.Text);
    }
    return all;
}

using TChildren = std::vector<std::pair<std::string, std::string>>;

// A value for every element the answer file has, named in other letter
// cases: hard texts where no rule asks for more, values at their documented
// limits, an empty one; and an absent field, which leaves no element.
TShownStore AnswerFileValues(TChildren& elements)
{
    const struct {
        const char* name;
        const char* element;
        std::string text;
    } rows[] = {
        {"manufacturer", "Manufacturer", std::string(256, 'M')},
        {"MODEL", "Model", Hard[2]},
        {"SupportHours", "SupportHours", "&<>'\"]]>"},
        {"SupportPhone", "SupportPhone", Hard[4]},
        {"supporturl", "SupportURL", "HTTPS://s.example/?a=1&b=<2>" + std::string(2083 - 28, 'u')},
        {"Logo", "Logo", "%SystemRoot%\\System32\\oemlogo.BMP"},
        {"SupportProvider", "SupportProvider", Hard[1]},
        {"SupportAppURL", "SupportAppURL", "ms-windows-store://pdp/?productid=9X"},
        {"TradeinURL", "TradeInURL", "http://t.example"},
        {"RecycleURL", "RecycleURL", ""},
    };
    TShownStore store;
    elements.clear();
    for (const auto& row : rows) {
        store.Fields.push_back(RegValue(row.name, row.text));
        elements.emplace_back(row.element, row.text);
    }
    store.Fields.insert(store.Fields.begin() + 2, Absent("Line1"));
    return store;
}

TEST(ShowFormats, UnattendParsesBackWithThePresentFieldsUnderTheAnswerFilesNames)
{
    TChildren elements;
    const TFormatResult result = FormatUnattend(AnswerFileValues(elements));
    ASSERT_EQ(result.Error, "");
    EXPECT_EQ(result.Output.rfind("<OEMInformation>\r\n", 0), 0u) << "a fragment: no declaration, no byte-order mark";
    TXmlRead read;
    ASSERT_EQ(ParseXml(result.Output, read), "") << result.Output;
    EXPECT_EQ(read.Elements[0].Path, "OEMInformation");
    EXPECT_EQ(ChildrenOf(read, "OEMInformation"), std::vector<TChildren>(1, elements));
}

// One file for every image: the component once per architecture, each
// holding the fragment's values, in the pass that DISM applies to a
// mounted image.
TEST(ShowFormats, AnswerFileHoldsTheFragmentForEveryArchitecture)
{
    TChildren elements;
    const TShownStore store = AnswerFileValues(elements);
    const TFormatResult result = FormatAnswerFile(store);
    ASSERT_EQ(result.Error, "");
    EXPECT_EQ(result.Output.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n", 0), 0u);
    TXmlRead read, fragment;
    ASSERT_EQ(ParseXml(result.Output, read), "") << result.Output;
    ASSERT_EQ(ParseXml(FormatUnattend(store).Output, fragment), "");
    EXPECT_EQ(read.Elements[0].Path, "unattend");
    EXPECT_EQ(read.Elements[0].Attributes, (std::map<std::string, std::string>{{"xmlns", "urn:schemas-microsoft-com:unattend"}}));
    EXPECT_EQ(read.Elements[1].Path, "unattend/settings");
    EXPECT_EQ(read.Elements[1].Attributes["pass"], "offlineServicing");
    std::vector<std::string> architectures;
    for (const TXmlElement& element : read.Elements) {
        if (element.Path != "unattend/settings/component")
            continue;
        std::map<std::string, std::string> attributes = element.Attributes;
        architectures.push_back(attributes["processorArchitecture"]);
        attributes.erase("processorArchitecture");
        EXPECT_EQ(attributes, (std::map<std::string, std::string>{
                                  {"name", "Microsoft-Windows-Shell-Setup"},
                                  {"publicKeyToken", "31bf3856ad364e35"},
                                  {"language", "neutral"},
                                  {"versionScope", "nonSxS"},
                                  {"xmlns:wcm", "http://schemas.microsoft.com/WMIConfig/2002/State"}}));
    }
    EXPECT_EQ(architectures, (std::vector<std::string>{"x86", "amd64", "arm64"}));
    EXPECT_EQ(ChildrenOf(fragment, "OEMInformation"), std::vector<TChildren>(1, elements));
    EXPECT_EQ(ChildrenOf(read, "unattend/settings/component/OEMInformation"), std::vector<TChildren>(3, elements));
}

TEST(ShowFormats, EachFormatFailsWholeNamingTheValueItCannotHold)
{
    const std::string loneHigh("\x3D\xD8" "a\0\0\0", 6);
    const std::string loneLow("a\0\x00\xDE\0\0", 6);
    using TFormat = TFormatResult (*)(const TShownStore&);
    const struct {
        const char* format;
        TFormat run;
        TShownValue value;
        const char* error;
    } cases[] = {
        {"reg", FormatReg, RawValue("Model", ShownRegExpandSz, std::string("a\0\0\0\0", 5)),
         "Model has an odd number of bytes (5), so it is no UTF-16 text."},
        {"reg", FormatReg, RegValue("Model", "ab", ShownRegSz, false),
         "Model does not end in a NUL character, which reg import would add."},
        {"reg", FormatReg, RawValue("Model", ShownRegSz, ""),
         "Model does not end in a NUL character, which reg import would add."},
        {"reg", FormatReg, RawValue("Model", 7, std::string(4, '\0')),
         "Model is a registry value of type 7, not text."},
        {"unattend", FormatUnattend, RegValue("Model", "a\x01"), "Model holds U+0001, which XML 1.0 cannot hold."},
        {"unattend", FormatUnattend, RegValue("Model", std::string("a\0", 2)),
         "Model holds U+0000, which XML 1.0 cannot hold."},
        {"unattend", FormatUnattend, RegValue("Model", "\x0B"), "Model holds U+000B, which XML 1.0 cannot hold."},
        {"unattend", FormatUnattend, RegValue("Model", "\xEF\xBF\xBE"),
         "Model holds U+FFFE, which XML 1.0 cannot hold."},
        {"unattend", FormatUnattend, RawValue("Model", ShownRegSz, loneHigh),
         "Model holds U+D83D, which XML 1.0 cannot hold."},
        {"unattend", FormatUnattend, RegValue("HelpCustomized", "x"),
         "HelpCustomized has no element in an answer file's OEMInformation."},
        // Setup's documented rules, and Marquill's own where it documents none.
        {"unattend", FormatUnattend, RegValue("Model", std::string(257, 'x')),
         "Model is 257 UTF-16 code units long; Setup's answer file takes at most 256."},
        {"unattend", FormatUnattend, RegValue("Manufacturer", Repeated(Emoji, 129)),
         "Manufacturer is 258 UTF-16 code units long; Setup's answer file takes at most 256."},
        {"unattend", FormatUnattend, RegValue("SupportURL", "http://s.example/" + std::string(2067, 'u')),
         "SupportURL is 2084 UTF-16 code units long; Setup's answer file takes at most 2083."},
        {"unattend", FormatUnattend, RegValue("SupportURL", "www.contoso.example"),
         "SupportURL is no complete http:// or https:// address, which Setup's answer file requires."},
        {"unattend", FormatUnattend, RegValue("TradeInURL", "https:// t.example"),
         "TradeInURL is no complete http:// or https:// address, which Marquill's own URL rule requires "
         "(Setup documents none for it)."},
        {"unattend", FormatUnattend, RegValue("RecycleURL", "r.example"),
         "RecycleURL is no complete http:// or https:// address, which Marquill's own URL rule requires "
         "(Setup documents none for it)."},
        {"unattend", FormatUnattend, RegValue("Logo", "C:\\oem.bmp.png"),
         "Logo does not name a .bmp file, which Setup's answer file requires."},
        {"unattend", FormatUnattend, RegValue("Logo", "%SystemRoot%\\oem.bmp", ShownRegExpandSz),
         "Logo is a REG_EXPAND_SZ value, and an answer file holds text only: its type would be lost."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format + std::string(": ") + c.error);
        TShownStore store;
        store.Fields = {RegValue("Manufacturer", "fine"), c.value, RegValue("SupportURL", "https://fine.example")};
        for (TFormat run : {c.run, c.run == FormatUnattend ? FormatAnswerFile : c.run}) {
            const TFormatResult result = run(store);
            EXPECT_EQ(result.Error, c.error);
            EXPECT_EQ(result.Output, "");
            EXPECT_FALSE(result.WrongMode);
        }
    }
}

TEST(ShowFormats, RegAndUnattendAreForRegistryModeOnly)
{
    TShownStore store;
    store.Mode = TShownStoreMode::Legacy;
    store.Fields = {LegacyValue("Manufacturer", L"A")};
    for (const TFormatResult& result : {FormatReg(store), FormatUnattend(store), FormatAnswerFile(store)}) {
        EXPECT_TRUE(result.WrongMode);
        EXPECT_NE(result.Error, "");
        EXPECT_EQ(result.Output, "");
    }
}

// Wine's reg import judges the values (Program.RegOutputImportedByRegExeGivesAByteIdenticalKey); what it forgives
// in the layout is checked here: the header regedit writes, CR LF lines,
// hex lines wrapped within 80 columns.
TEST(ShowFormats, RegIsLaidOutAsRegeditWritesIt)
{
    TShownStore store;
    store.Fields = {RegValue("Logo", std::string(100, 'x'), ShownRegExpandSz), Absent("Model")};
    const TFormatResult result = FormatReg(store);
    ASSERT_EQ(result.Error, "");
    ASSERT_EQ(result.Output.size() % 2, 0u);
    ASSERT_EQ(result.Output.substr(0, 2), "\xFF\xFE");
    std::string text;  // the ASCII it holds, checked to be ASCII
    for (size_t i = 2; i < result.Output.size(); i += 2) {
        ASSERT_EQ(result.Output[i + 1], '\0') << "non-ASCII at byte " << i;
        text += result.Output[i];
    }
    const std::string head =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation]\r\n"
        "\"Logo\"=hex(2):78,00,78,00,";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(text.size() - 20), "00,00\r\n\"Model\"=-\r\n\r\n");
    bool continues = false;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = text.substr(start, end - start);
        EXPECT_LE(line.size(), 80u) << line;
        EXPECT_EQ(text.find('\n', start), end + 1) << "a LF without its CR";
        EXPECT_EQ(continues, line.rfind("  ", 0) == 0) << line;
        continues = line.size() > 2 && line.substr(line.size() - 2) == ",\\";
        if (continues)
            EXPECT_GT(line.size() + 3, 80u) << "wrapped before the next byte had to be: " << line;
    }
}

}  // namespace
