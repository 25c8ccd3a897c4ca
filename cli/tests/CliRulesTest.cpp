// The command line's rules without Windows: splitting, commands, field
// files and field checks. Built natively under the sanitizers and for Wine.
#include "cli/CliRules.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

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

TEST(CliRules, ParsesCommands)
{
    const struct {
        Args args;
        bool ok;
        TCliCommand command;
        size_t sources;
    } cases[] = {
        {{"/show"}, true, TCliCommand::Show, 0},
        {{"-SHOW"}, true, TCliCommand::Show, 0},
        {{"/Remove"}, true, TCliCommand::Remove, 0},
        {{"/?"}, true, TCliCommand::Help, 0},
        {{"-help"}, true, TCliCommand::Help, 0},
        {{"/apply", "Model=X", "@a.txt", "/FILE:b.txt", "-file:c"}, true, TCliCommand::Apply, 4},
        {{}, false, TCliCommand::Help, 0},
        {{"show"}, false, TCliCommand::Help, 0},
        {{"/list"}, false, TCliCommand::Help, 0},
        {{"/show", "Model=X"}, false, TCliCommand::Help, 0},
        {{"/apply"}, false, TCliCommand::Help, 0},
        {{"/apply", "@"}, false, TCliCommand::Help, 0},
        {{"/apply", "/file:"}, false, TCliCommand::Help, 0},
        {{"/apply", "/remove"}, false, TCliCommand::Help, 0},
    };
    for (const auto& c : cases) {
        TCliRequest request;
        const TUsageError error = ParseArguments(c.args, request);
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
        EXPECT_EQ(error.empty(), c.ok) << error;
        if (c.ok) {
            EXPECT_EQ(request.Command, c.command);
            EXPECT_EQ(request.Sources.size(), c.sources);
        }
    }
    TCliRequest request;
    ASSERT_EQ(ParseArguments({"/apply", "@x", "-File:y", "Model=z"}, request), "");
    EXPECT_TRUE(request.Sources[0].IsFile);
    EXPECT_EQ(request.Sources[0].Text, "x");
    EXPECT_EQ(request.Sources[1].Text, "y");
    EXPECT_FALSE(request.Sources[2].IsFile);
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
        {"\r\nno equals sign\r\n", "f.txt, line 2 is not of the form Name=Value."},
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

TEST(CliRules, ChecksFieldsAgainstTheMode)
{
    const TFieldSchema schema{"legacy mode", {"Manufacturer", "Line1", "Logo"}, {"SupportHours"}, "registry mode", 5};
    auto arg = [](const std::string& text) {
        TFieldAssignment field;
        EXPECT_EQ(ParseFieldArgument(text, field), "") << text;
        return field;
    };
    std::vector<std::string> values;
    std::vector<bool> given;
    ASSERT_EQ(CheckFields({arg("manufacturer= M "), arg("LOGO=")}, schema, values, given), "");
    EXPECT_EQ(values, (std::vector<std::string>{" M ", "", ""}));
    EXPECT_EQ(given, (std::vector<bool>{true, false, true}));

    const struct {
        std::vector<TFieldAssignment> fields;
        const char* error;
    } bad[] = {
        {{arg("Colour=red")}, "Unknown field \"Colour\" (argument \"Colour=red\")."},
        {{arg("supporthours=9")},
         "\"SupportHours\" (argument \"supporthours=9\") is a field of registry mode; this Windows keeps the OEM "
         "information in legacy mode."},
        {{arg("Line1=a"), {"line1", "b", "f.txt, line 4"}},
         "\"Line1\" is given twice: argument \"Line1=a\" and f.txt, line 4."},
        {{arg("Line1=a\nb")}, "The value of \"Line1\" (argument \"Line1=a\nb\") holds a line break."},
        {{arg("Line1=a\rb")}, "The value of \"Line1\" (argument \"Line1=a\rb\") holds a line break."},
        {{arg("Logo=123456")},
         "The value of \"Logo\" (argument \"Logo=123456\") is 6 characters long; legacy mode takes at most 5."},
    };
    for (const auto& c : bad)
        EXPECT_EQ(CheckFields(c.fields, schema, values, given), c.error);

    TFieldAssignment field;
    EXPECT_EQ(ParseFieldArgument("=x", field), "\"=x\" is not of the form Name=Value.");
    EXPECT_EQ(ParseFieldArgument("Model", field), "\"Model\" is not of the form Name=Value.");
}

TEST(CliRules, HelpListsEachModesFieldsAndTheExitCodes)
{
    const TFieldSchema registry{"registry mode", {"Manufacturer", "SupportURL"}, {}, "legacy mode", 2047};
    const TFieldSchema legacy{"legacy mode", {"Manufacturer", "Line1"}, {}, "registry mode", 2047};
    const std::string help = HelpText(registry, legacy);
    EXPECT_NE(help.find("(registry mode) take:\r\n    Manufacturer, SupportURL\r\n"), std::string::npos) << help;
    EXPECT_NE(help.find("(legacy mode) take:\r\n    Manufacturer, Line1\r\n"), std::string::npos) << help;
    for (const char* text : {"/show", "/apply", "/remove", "/?", "@file", "/file:", "  0  done", "  1  ", "  2  "})
        EXPECT_NE(help.find(text), std::string::npos) << text;
    for (size_t i = 0; i < help.size(); ++i)
        if (help[i] == '\n')
            ASSERT_TRUE(i > 0 && help[i - 1] == '\r') << "a line ends in LF alone at " << i;
}

}  // namespace
