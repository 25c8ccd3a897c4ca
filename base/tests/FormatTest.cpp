#include "base/Format.h"

#include <gtest/gtest.h>

TEST(FormatText, FillsPlaceholdersInOrder)
{
    EXPECT_EQ(FormatText("Unable to write to %s", {"C:\\x.ini"}), "Unable to write to C:\\x.ini");
    EXPECT_EQ(FormatText(" (%dx%d)", {"200", "100"}), " (200x100)");
    EXPECT_EQ(FormatText("Cannot open file \"%s\". %s", {"a.bmp", "Not found"}),
              "Cannot open file \"a.bmp\". Not found");
}

TEST(FormatText, HostileTemplatesNeverReadMissingArguments)
{
    // A catalog may translate a template into anything; none of it may read
    // an argument that is not there or be taken as a printf conversion.
    EXPECT_EQ(FormatText("%s %s %n %x %", {"a"}), "a %s %n %x %");
    EXPECT_EQ(FormatText("100%% of %s", {"b"}), "100% of b");
    EXPECT_EQ(FormatText("", {"a"}), "");
    EXPECT_EQ(FormatText("%s", {"%s%d"}), "%s%d");
}

TEST(WithFullStop, AppendsOnlyAfterCharactersAboveFullStop)
{
    EXPECT_EQ(WithFullStop("Unable to write to C:\\windows\\system32\\oeminfo.ini"),
              "Unable to write to C:\\windows\\system32\\oeminfo.ini.");
    EXPECT_EQ(WithFullStop("Failed to set data for 'Model'"), "Failed to set data for 'Model'");
    EXPECT_EQ(WithFullStop("Unknown picture file extension (.png)"), "Unknown picture file extension (.png)");
    EXPECT_EQ(WithFullStop("Done."), "Done.");
    EXPECT_EQ(WithFullStop(""), "");
    EXPECT_EQ(WithFullStop("caf\xE9"), "caf\xE9.");  // 8-bit letters are above "." too
    EXPECT_EQ(WithFullStop("path/"), "path/.");
}

TEST(ProgramTitle, NameIsTheFileNameBeforeItsFirstDotAsWritten)
{
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\Program Files\\MARQUILL.EXE", "MARQUILL"},
        {"C:\\a.b\\gui_tests.v2.exe", "gui_tests"},
        {"/usr/bin/Tool.exe", "Tool"},
        {"D:Name.exe", "Name"},
        {"noext", "noext"},
        {"C:\\Tools\\.exe", ""},
        {"C:\\Tools\\", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgramNameFromPath(c.path), c.name) << c.path;
}
