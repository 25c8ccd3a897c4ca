// The command line's rules without Windows, under the sanitizers: what the
// tests under Wine reach through RunCommandLine is not repeated here.
#include "cli/CliRules.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

// The schema of `mode` cut down to the fields `names`.
TFieldSchema SchemaWith(TStoreMode mode, std::initializer_list<const char*> names)
{
    TFieldSchema schema = SchemaOf(mode);
    schema.Fields.clear();
    for (const char* name : names)
        schema.Fields.push_back(OEMFieldNamed(name));
    return schema;
}

TEST(CliRules, SplitsLikeTheCRuntime)
{
    const struct {
        const char* line;
        Args args;
    } cases[] = {
        {"Marquill.exe", {}},
        {"\"C:\\Program Files\\Marquill.exe\"   /show  ", {"/show"}},
        {"C:\\m\\Marquill.exe /apply \"Model=X 1\" @\\\\server\\share\\oem.txt",
         {"/apply", "Model=X 1", "@\\\\server\\share\\oem.txt"}},
        {"m a\\\\\\\"b \"c\\\\\"d \\\\x\\\\", {"a\\\"b", "c\\d", "\\\\x\\\\"}},
        {"m \"a\"\"b c", {"a\"b", "c"}},
        {"m \"\" \"x\ty\"\t\"unterminated ", {"", "x\ty", "unterminated "}},
        {"m Model=\" two  blanks \"", {"Model= two  blanks "}},
        {"\"m\"x", {"x"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

// What the in-process tests under Wine do not reach: the operands of /apply.
TEST(CliRules, ParsesApplyOperands)
{
    TCliRequest request;
    ASSERT_EQ(ParseArguments({"-apply", "@x", "-File:y", "Model=z"}, request), "");
    ASSERT_EQ(request.Sources.size(), 3u);
    EXPECT_TRUE(request.Sources[0].IsFile && request.Sources[1].IsFile && !request.Sources[2].IsFile);
    EXPECT_EQ(request.Sources[0].Text + request.Sources[1].Text + request.Sources[2].Text, "xyModel=z");
    const struct {
        Args args;
        const char* error;
    } bad[] = {
        {{}, "No command given."},
        {{"show"}, "Unknown command \"show\"."},
        {{"/apply"}, "/apply needs the fields to write: Name=Value, @file or /file:path."},
        {{"/apply", "@"}, "\"@\" names no file."},
        {{"/apply", "/file:"}, "\"/file:\" names no file."},
        {{"/apply", "/remove"}, "\"/remove\" is no option of /apply: give fields as Name=Value, @file or /file:path."},
        {{"/test"}, "/test needs the fields to compare: Name=Value, @file or /file:path."},
        {{"-TEST", "-x"}, "\"-x\" is no option of /test: give fields as Name=Value, @file or /file:path."},
    };
    for (const auto& c : bad)
        EXPECT_EQ(ParseArguments(c.args, request), c.error);
}

TEST(CliRules, ParsesShowFormatAndOut)
{
    const struct {
        Args args;
        TShowFormat format;
        const char* out;
    } good[] = {
        {{"/show"}, TShowFormat::Text, ""},
        {{"/show", "/format:json"}, TShowFormat::Json, ""},
        {{"-SHOW", "-Format:REG", "/out:C:\\b k\\x.reg"}, TShowFormat::Reg, "C:\\b k\\x.reg"},
        {{"/show", "/OUT:o", "/format:Unattend"}, TShowFormat::Unattend, "o"},
        {{"/show", "/format:AnswerFile"}, TShowFormat::AnswerFile, ""},
    };
    for (const auto& c : good) {
        TCliRequest request;
        ASSERT_EQ(ParseArguments(c.args, request), "") << c.args.back();
        EXPECT_EQ(request.Format, c.format) << c.args.back();
        EXPECT_EQ(request.OutPath, c.out);
    }
    const struct {
        Args args;
        const char* error;
    } bad[] = {
        {{"/show", "/format:xml"}, "\"/format:xml\" names no format of /show: json, reg, unattend or answerfile."},
        {{"/show", "/format:"}, "\"/format:\" names no format of /show: json, reg, unattend or answerfile."},
        {{"/show", "/format:text"}, "\"/format:text\" names no format of /show: json, reg, unattend or answerfile."},
        {{"/show", "/out:"}, "\"/out:\" names no file."},
        {{"/show", "/out:a", "/out:b"}, "\"/out:a\" and \"/out:b\" ask for the same option twice."},
        {{"/show", "/format:reg", "-format:json"},
         "\"/format:reg\" and \"-format:json\" ask for the same option twice."},
        {{"/show", "x.reg"},
         "\"x.reg\" is no option of /show: give /format:json, /format:reg, /format:unattend, "
         "/format:answerfile or /out:file."},
        {{"/apply", "Model=x", "/out:x"},
         "\"/out:x\" is no option of /apply: give fields as Name=Value, @file or /file:path."},
        {{"/remove", "/out:x"}, "\"/remove\" takes no further arguments; \"/out:x\" is one too many."},
    };
    for (const auto& c : bad) {
        TCliRequest request;
        EXPECT_EQ(ParseArguments(c.args, request), c.error);
    }
}

TEST(CliRules, ReadsFieldFiles)
{
    std::vector<TFieldAssignment> fields;
    ASSERT_EQ(ParseFieldFile("; made by hand\r\nModel= a = b \r\n\r\n  \t\r\nLine1=\nLogo=C:\\x.bmp", "f.txt", fields),
              "");
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0].Name, "Model");
    EXPECT_EQ(fields[0].Value, " a = b ");
    EXPECT_EQ(fields[0].Origin, "f.txt, line 2");
    EXPECT_EQ(fields[1].Value, "");
    EXPECT_EQ(fields[2].Value, "C:\\x.bmp");
    EXPECT_EQ(fields[2].Origin, "f.txt, line 6");

    const struct {
        std::string bytes;
        const char* error;
    } bad[] = {
        {std::string("Model=a\0b\r\n", 11), "f.txt, line 1 holds a NUL character."},
        {"Model=a\rb\r\n", "f.txt, line 1 holds a carriage return that ends no line."},
        {"Model=a\r", "f.txt, line 1 holds a carriage return that ends no line."},
        {"\r\n(expand)=x\r\n", "f.txt, line 2 is not of the form Name=Value."},
        {"=value", "f.txt, line 1 is not of the form Name=Value."},
        {"\xEF\xBB\xBFModel=a", "f.txt is Unicode text (it starts with a byte-order mark); save it in the ANSI code page."},
        {std::string("\xFF\xFEM\0", 4), "f.txt is Unicode text (it starts with a byte-order mark); save it in the ANSI code page."},
        {std::string(MaxFieldFileBytes + 1, 'x'), "f.txt is larger than a field file can be (1048576 bytes)."},
    };
    for (const auto& c : bad) {
        std::vector<TFieldAssignment> ignored;
        EXPECT_EQ(ParseFieldFile(c.bytes, "f.txt", ignored), c.error);
    }
}

TEST(CliRules, HelpListsEachModesFieldsAndTheExitCodes)
{
    const TFieldSchema registry = SchemaWith(TStoreMode::Registry, {"Manufacturer", "SupportURL"});
    const TFieldSchema legacy = SchemaWith(TStoreMode::Legacy, {"Manufacturer", "Line1"});
    const std::string help = HelpText(registry, legacy);
    EXPECT_NE(help.find("(registry mode) take:\r\n    Manufacturer, SupportURL\r\n"), std::string::npos) << help;
    EXPECT_NE(help.find("(legacy mode) take:\r\n    Manufacturer, Line1\r\n"), std::string::npos) << help;
    for (const char* text : {"/show", "/apply", "/test", "/remove", "/?", "@file", "/file:", "(expand)", "(asis)",
                             "\"compliant\"", "\"unchanged\"", "  0  done", "  1  ", "  2  "})
        EXPECT_NE(help.find(text), std::string::npos) << text;
    for (size_t i = 0; i < help.size(); ++i)
        if (help[i] == '\n')
            ASSERT_TRUE(i > 0 && help[i - 1] == '\r') << "a line ends in LF alone at " << i;
}


// The field syntax /show writes and /apply, /test read: what FieldLine
// writes, CheckFields reads back as it was, and what it refuses it names.
TEST(CliRules, FieldSyntaxRoundTripsAndRefusesWhatAModeCannotTake)
{
    const TFieldSchema registry = SchemaWith(TStoreMode::Registry, {"Model", "SupportURL", "Logo"});
    const TFieldSchema legacy = SchemaWith(TStoreMode::Legacy, {"Model", "Logo"});
    const std::string tooLong(MaxFieldText + 1, 'x');
    const struct {
        std::string arg;
        std::string line;  // FieldLine of what was read; empty: a usage error
        std::string error;
    } cases[] = {
        {"Model=a=b", "Model=a=b", ""},
        {"model", "Model", ""},
        {"Logo(EXPAND)=%x%", "Logo(expand)=%x%", ""},
        {"SupportURL(asis)(expand)=www.x", "SupportURL(expand)(asis)=www.x", ""},
        {"SupportURL(expand)(asis)=", "SupportURL(expand)(asis)=", ""},
        {"Logo(asis)=x", "", "(asis) (argument \"Logo(asis)=x\") is for the fields whose value must be a web address; "
                             "\"Logo\" is none."},
        {"Logo(expand)", "", "\"Logo(expand)\" (argument \"Logo(expand)\") gives a marker without a value: a bare name "
                             "asks for no value."},
        {"Logo(expand)(expand)=x", "", "\"(expand)\" (argument \"Logo(expand)(expand)=x\") is no marker, or one given "
                                       "twice: use (expand) or (asis)."},
        {"Logo(big)=x", "", "\"(big)\" (argument \"Logo(big)=x\") is no marker, or one given twice: use (expand) or "
                            "(asis)."},
        {"Logo(expand)x=y", "", "\"x\" (argument \"Logo(expand)x=y\") is no marker, or one given twice: use (expand) or "
                                "(asis)."},
        {"=x", "", "\"=x\" is not of the form Name=Value."},
        {"Model=" + tooLong, "", "The value of \"Model\" (argument \"Model=" + tooLong + "\") is 2048 characters "
                                 "long; registry mode takes at most 2047."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arg);
        TFieldAssignment assignment;
        std::vector<TGivenField> fields;
        TUsageError error = ParseFieldArgument(c.arg, assignment);
        if (error.empty())
            error = CheckFields({assignment}, registry, fields);
        EXPECT_EQ(error, c.error);
        if (!error.empty())
            continue;
        size_t index = 0;
        while (!fields[index].Given)
            ++index;
        EXPECT_EQ(FieldLine(registry.Fields[index]->Name, fields[index]), c.line);
        std::vector<TGivenField> again;
        ASSERT_EQ(ParseFieldArgument(c.line, assignment), "");
        ASSERT_EQ(CheckFields({assignment}, registry, again), "");
        EXPECT_EQ(FieldLine(registry.Fields[index]->Name, again[index]), c.line);
    }
    for (const char* arg : {"Model", "Model(expand)=x"}) {
        TFieldAssignment assignment;
        std::vector<TGivenField> fields;
        ASSERT_EQ(ParseFieldArgument(arg, assignment), "");
        EXPECT_EQ(CheckFields({assignment}, legacy, fields),
                  "\"Model\" (argument \"" + std::string(arg) + "\") is no Name=Value: a bare name, (expand) and "
                  "(asis) are for registry mode, and this Windows keeps the OEM information in legacy mode.");
    }
}

// A backup of a machine whose SupportURL came from elsewhere restores; a
// new address must be one.
TEST(CliRules, UrlRuleAppliesToNewNonEmptyAddressesWithoutAsIs)
{
    const TFieldSchema schema = SchemaWith(TStoreMode::Registry, {"Model", "SupportURL"});
    const std::string refused = "The value of \"SupportURL\" (argument \"SupportURL=www.x\") is no absolute web "
                                "address: start it with http:// or https://, or give it as SupportURL(asis)=... to "
                                "take it as it is.";
    const struct {
        std::vector<std::string> args;
        bool storedAsGiven;
        std::string error;
    } cases[] = {
        {{"SupportURL=www.x"}, false, refused},
        {{"SupportURL=www.x"}, true, ""},
        {{"SupportURL(asis)=www.x"}, false, ""},
        {{"SupportURL=https://x"}, false, ""},
        {{"SupportURL="}, false, ""},
        {{"SupportURL"}, false, ""},
        {{"Model=www.x"}, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        std::vector<TFieldAssignment> assignments(c.args.size());
        for (size_t i = 0; i < c.args.size(); ++i)
            ASSERT_EQ(ParseFieldArgument(c.args[i], assignments[i]), "");
        std::vector<TGivenField> fields;
        ASSERT_EQ(CheckFields(assignments, schema, fields), "");
        EXPECT_EQ(CheckWebAddresses(schema, fields, {false, c.storedAsGiven}), c.error);
    }
}

}  // namespace
