// Any stored data, any type: each format gives its whole output or an
// error, never both; JSON never fails; and what JSON and the answer file
// give parses back to the stored text or bytes.
#include "base/Utf8.h"
#include "cli/ChangeLines.h"
#include "cli/ShowFormats.h"

#include <expat.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void XMLCALL OnText(void* data, const XML_Char* text, int length)
{
    static_cast<std::string*>(data)->append(text, length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    TShownStore store;
    TShownValue value;
    value.Name = "Model";
    value.Present = data[0] != 0xFF;
    value.Type = data[0] % 4;
    value.Bytes.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    store.Fields = {value, TShownValue()};
    store.Fields[1].Name = "Logo";

    TValueText text;
    std::string reason;
    const bool isText = value.Present && ReadValueText(store.Mode, value, text, reason);
    const std::string utf8 = isText ? Utf16ToUtf8(text.Units.data(), text.Units.size()) : "";

    for (auto format : {FormatJson, FormatReg, FormatUnattend, FormatAnswerFile}) {
        const TFormatResult result = format(store);
        Check(result.Output.empty() != result.Error.empty());
    }
    // JSON carries any data: as text, or else as its bytes.
    const TFormatResult json = FormatJson(store);
    Check(json.Error.empty());
    const nlohmann::json model = nlohmann::json::parse(json.Output)["fields"]["Model"];
    if (!model["value"].is_null()) {
        Check(isText && model["value"].get<std::string>() == utf8);
    } else if (value.Present) {
        static const char Digits[] = "0123456789ABCDEF";
        std::string hex;
        for (unsigned char b : value.Bytes) {
            hex += Digits[b >> 4];
            hex += Digits[b & 0xF];
        }
        Check(model["data"] == hex);
    }
    const TFormatResult xml = FormatUnattend(store);
    if (xml.Error.empty()) {
        std::string read;
        XML_Parser parser = XML_ParserCreate("UTF-8");
        XML_SetUserData(parser, &read);
        XML_SetCharacterDataHandler(parser, OnText);
        Check(XML_Parse(parser, xml.Output.data(), static_cast<int>(xml.Output.size()), 1) == XML_STATUS_OK);
        XML_ParserFree(parser);
        // Around the one child: the layout's line breaks and indent (the parser
        // gives CR LF as LF); a CR of the value's own comes back as itself.
        Check(!value.Present || read == "\n  " + utf8 + "\n");
    }
    ChangeLine(store.Mode, value, store.Fields[1], [](char32_t c) { return c < 0x80; });
    return 0;
}
