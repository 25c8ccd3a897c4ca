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
    store.Wow6432NodeOnly = {RegValue("Model", Hard[2]), RawValue("Manufacturer", 4, "\x01\0\0\0")};
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
    const nlohmann::ordered_json logo = {
        {"path", "C:\\Windows\\System32\\oem.bmp"}, {"exists", true}, {"loads", false}};
    EXPECT_EQ(json["logo"], logo);
    std::vector<std::string> order;
    for (const auto& member : json["fields"].items())
        order.push_back(member.key());
    EXPECT_EQ(order.front(), "F0");
    EXPECT_EQ(order.back(), "SupportAppURL");
}

TEST(ShowFormats, JsonOfTheLegacyStore)
{
    TShownStore store;
    store.Mode = TShownStoreMode::Legacy;
    store.Fields = {LegacyValue("Manufacturer", L"A \"B\"\tC"), LegacyValue("Line1", L""), Absent("Line2")};
    store.Wow6432NodeOnly = {RegValue("Model", "ignored")};
    const TFormatResult result = FormatJson(store);
    ASSERT_EQ(result.Error, "");
    const nlohmann::json json = nlohmann::json::parse(result.Output);
    const nlohmann::json expected = {
        {"store", "legacy"},
        {"fields",
         {{"Manufacturer", {{"exists", true}, {"type", nullptr}, {"value", "A \"B\"\tC"}, {"nulTerminated", nullptr}}},
          {"Line1", {{"exists", true}, {"type", nullptr}, {"value", ""}, {"nulTerminated", nullptr}}},
          {"Line2", {{"exists", false}, {"type", nullptr}, {"value", nullptr}, {"nulTerminated", nullptr}}}}},
        {"wow6432NodeOnly", nlohmann::json::object()},
        {"logo", nullptr}};
    EXPECT_EQ(json, expected);
}

// The answer-file fragment as an XML parser reads it: the root's name and
// each child's name and text. No nesting below the children is expected.
struct TXmlRead {
    std::string Root;
    std::vector<std::pair<std::string, std::string>> Children;
    int Depth = 0;
    bool Nested = false;
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char**)
{
    auto& read = *static_cast<TXmlRead*>(data);
    if (read.Depth == 0)
        read.Root = name;
    else if (read.Depth == 1)
        read.Children.push_back({name, ""});
    else
        read.Nested = true;
    ++read.Depth;
}

void XMLCALL OnEnd(void* data, const XML_Char*)
{
    --static_cast<TXmlRead*>(data)->Depth;
}

void XMLCALL OnText(void* data, const XML_Char* text, int length)
{
    auto& read = *static_cast<TXmlRead*>(data);
    if (read.Depth == 2)
        read.Children.back().second.append(text, length);
}

// The parser's error, or "" with `read` filled.
std::string ParseXml(const std::string& xml, TXmlRead& read)
{
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &read);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnText);
    const bool ok = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1) == XML_STATUS_OK;
    const std::string error = ok ? "" : XML_ErrorString(XML_GetErrorCode(parser));
    XML_ParserFree(parser);
    return error;
}

TEST(ShowFormats, UnattendParsesBackWithThePresentFieldsUnderTheAnswerFilesNames)
{
    const std::string NoNul[] = {Hard[0], Hard[1], Hard[2], "&<>'\"]]>", Hard[4], Hard[5]};
    const char* const names[] = {"manufacturer", "MODEL", "SupportHours", "supporturl", "TradeinURL", "RecycleURL"};
    const char* const elements[] = {"Manufacturer", "Model", "SupportHours", "SupportURL", "TradeInURL", "RecycleURL"};
    TShownStore store;
    for (size_t i = 0; i < std::size(NoNul); ++i)
        store.Fields.push_back(RegValue(names[i], NoNul[i], i == 0 ? ShownRegExpandSz : ShownRegSz));
    store.Fields.insert(store.Fields.begin() + 2, Absent("SupportAppURL"));
    const TFormatResult result = FormatUnattend(store);
    ASSERT_EQ(result.Error, "");
    EXPECT_EQ(result.Output.rfind("<OEMInformation>", 0), 0u) << "a fragment: no declaration, no byte-order mark";
    TXmlRead read;
    ASSERT_EQ(ParseXml(result.Output, read), "") << result.Output;
    EXPECT_EQ(read.Root, "OEMInformation");
    EXPECT_FALSE(read.Nested);
    ASSERT_EQ(read.Children.size(), std::size(NoNul)) << "absent fields leave no element";
    for (size_t i = 0; i < std::size(NoNul); ++i) {
        EXPECT_EQ(read.Children[i].first, elements[i]);
        EXPECT_EQ(read.Children[i].second, NoNul[i]) << elements[i];
    }
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
        {"json", FormatJson, RawValue("Model", ShownRegSz, loneHigh),
         "Model holds an unpaired UTF-16 surrogate (U+D83D), which UTF-8 cannot hold."},
        {"json", FormatJson, RawValue("Model", ShownRegSz, loneLow),
         "Model holds an unpaired UTF-16 surrogate (U+DE00), which UTF-8 cannot hold."},
        {"json", FormatJson, RawValue("Model", ShownRegSz, std::string("a\0b", 3)),
         "Model has an odd number of bytes (3), so it is no UTF-16 text."},
        {"json", FormatJson, RawValue("Model", 4, std::string(4, '\0')),
         "Model is a registry value of type 4, not text."},
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format + std::string(": ") + c.error);
        TShownStore store;
        store.Fields = {RegValue("Manufacturer", "fine"), c.value, RegValue("SupportURL", "fine")};
        const TFormatResult result = c.run(store);
        EXPECT_EQ(result.Error, c.error);
        EXPECT_EQ(result.Output, "");
        EXPECT_FALSE(result.WrongMode);
    }
}

TEST(ShowFormats, RegAndUnattendAreForRegistryModeOnly)
{
    TShownStore store;
    store.Mode = TShownStoreMode::Legacy;
    store.Fields = {LegacyValue("Manufacturer", L"A")};
    for (const TFormatResult& result : {FormatReg(store), FormatUnattend(store)}) {
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
