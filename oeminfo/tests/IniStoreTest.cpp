// The legacy store against the real system directory of a 32-bit program
// that sees Windows XP.
#include "StoreTestKit.h"
#include "base/WinFiles.h"
#include "base/Wow64.h"
#include "base/SafeFiles.h"
#include "oeminfo/StrictStore.h"
#include "picture/Picture.h"
#include "picture/PictureCheck.h"
#include "picture/tests/PictureTestFiles.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowsLikeFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>

namespace {

std::string WindowsDir()
{
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    return dir;
}

// The non-blank lines of a file read straight from the disk.
std::vector<std::string> FileLines(const std::string& path)
{
    std::string bytes;
    EXPECT_TRUE(ReadFileInto(path, bytes)) << path;
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

// A path in the system directory as this test reaches the file the store
// works on.
std::string OnDisk(const std::string& storePath)
{
    if (!IsWow64())
        return storePath;
    return WindowsDir() + "\\Sysnative" + storePath.substr(GetSystemDir().size());
}

std::vector<std::string> SupportLines()
{
    return OEMInfo.SupportLines ? *OEMInfo.SupportLines : std::vector<std::string>{"<no list>"};
}

class IniStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetOEMInfo();
        ReleaseCounts = TReleaseCounts();
        FailProfileWriteOfKey.clear();
        StoreIni = IniFilePath();
        StoreLogo = LogoFilePath();
        Ini = OnDisk(StoreIni);
        Logo = OnDisk(StoreLogo);
        // Anything the prefix held before is put back afterwards.
        HadIni = ReadFileInto(Ini, SavedIni);
        HadLogo = ReadFileInto(Logo, SavedLogo);
        DeleteFileA(Ini.c_str());
        DeleteFileA(Logo.c_str());
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        Scratch = std::string(temp) + "marquill_oem_ini_test";
        CreateDirectoryA(Scratch.c_str(), nullptr);
    }

    void TearDown() override
    {
        RemoveDirectoryA(Ini.c_str());
        DeleteFileA(Ini.c_str());
        SetFileAttributesA(Logo.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(Logo.c_str());
        if (HadIni)
            WriteWholeFile(Ini, SavedIni);
        if (HadLogo)
            WriteWholeFile(Logo, SavedLogo);
        for (const std::string& file : ScratchFiles) {
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file.c_str());
        }
        RemoveDirectoryA(Scratch.c_str());
        ResetOEMInfo();
        FailProfileWriteOfKey.clear();
    }

    std::string ScratchFile(const std::string& name, const std::string& bytes)
    {
        std::string path = Scratch + "\\" + name;
        EXPECT_TRUE(WriteWholeFile(path, bytes)) << path;
        ScratchFiles.push_back(path);
        return path;
    }
    // The picture a caller checked, loaded from a scratch file of `bytes`.
    const TPicture* Picture(const std::string& name, const std::string& bytes)
    {
        Pictures.push_back(std::make_unique<TPicture>());
        const std::string path = ScratchFile(name, bytes);
        EXPECT_EQ("", ErrorOf([&] {
                      Pictures.back()->LoadFromFile(path);
                      throw EMarquillError("");
                  })) << name;
        return Pictures.back().get();
    }

    // The store's own names, and the same files as this test reaches them:
    // the store works in the system directory that Windows reads, which a
    // 32-bit program on 64-bit Windows reaches only as Sysnative.
    std::string StoreIni, StoreLogo, Ini, Logo, Scratch;
    std::vector<std::string> ScratchFiles;
    std::vector<std::unique_ptr<TPicture>> Pictures;
    const std::string Bmp = picture_test::SampleBmp();

private:
    bool HadIni = false, HadLogo = false;
    std::string SavedIni, SavedLogo;
};

TEST(IniStoreSetting, LegacyModeUnderWindowsXP)
{
    EXPECT_EQ(5u, WindowsMajorVersion);
    EXPECT_EQ(TStoreMode::Legacy, StoreMode());
}

TEST(IniStoreSetting, PathsFollowTheSystemDirectoryOnEveryCall)
{
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, MAX_PATH);
    EXPECT_EQ(std::string(dir), GetSystemDir());
    EXPECT_NE('\\', GetSystemDir().back());
    EXPECT_EQ(std::string(dir) + "\\oeminfo.ini", IniFilePath());
    EXPECT_EQ(std::string(dir) + "\\oemlogo.bmp", LogoFilePath());

    struct TFake {
        static UINT WINAPI SystemDir(LPSTR buffer, UINT size)
        {
            return static_cast<UINT>(snprintf(buffer, size, "D:\\Other\\sys"));
        }
    };
    TApiSwap<decltype(PlatformApi.GetSystemDirectoryA)> swap(PlatformApi.GetSystemDirectoryA, TFake::SystemDir);
    EXPECT_EQ("D:\\Other\\sys\\oeminfo.ini", IniFilePath());
    EXPECT_EQ("D:\\Other\\sys\\oemlogo.bmp", LogoFilePath());
}

TEST_F(IniStore, IsExistingFileOnlyForFiles)
{
    std::string file = ScratchFile("present.txt", "x");
    EXPECT_TRUE(IsExistingFile(file));
    EXPECT_FALSE(IsExistingFile(""));
    EXPECT_FALSE(IsExistingFile(Scratch));  // a directory
    EXPECT_FALSE(IsExistingFile(Scratch + "\\missing.txt"));
}

TEST_F(IniStore, On64BitWindowsTheStoreUsesTheSystemDirectoryWindowsReads)
{
    // 64-bit Windows XP reports version 5 like this prefix; its System
    // Properties is a 64-bit program that reads the real system32.
    ASSERT_TRUE(IsWow64());
    ASSERT_TRUE(IsExistingFile(WindowsDir() + "\\Sysnative\\kernel32.dll")) << "no way into the 64-bit system directory";
    const std::string syswow64 = WindowsDir() + "\\syswow64\\";
    ASSERT_TRUE(WriteWholeFile(Logo, "BMlogo"));
    ASSERT_TRUE(WriteWholeFile(Ini, "[General]\r\nModel=Real\r\n"));
    ReadIniOEMInfo();
    EXPECT_EQ("Real", OEMInfo.Model);
    EXPECT_EQ(StoreLogo, OEMInfo.Logo);

    WriteIniOEMInfo("Acme", "X1", Picture("new.bmp", Bmp), {});
    EXPECT_EQ((std::vector<std::string>{"[General]", "Manufacturer=Acme", "Model=X1"}), FileLines(Ini));
    std::string bytes;
    ASSERT_TRUE(ReadFileInto(Logo, bytes));
    EXPECT_EQ(Bmp, bytes);
    EXPECT_FALSE(IsExistingFile(syswow64 + "oeminfo.ini"));
    EXPECT_FALSE(IsExistingFile(syswow64 + "oemlogo.bmp"));

    RemoveIniOEMInfo();
    EXPECT_FALSE(IsExistingFile(Ini));
    EXPECT_FALSE(IsExistingFile(Logo));
}

struct TWriteCase {
    const char* name;
    std::string manufacturer, model;
    std::vector<std::string> lines;
    std::vector<std::string> expectedFile;
};

TEST_F(IniStore, WriteLayout)
{
    const TWriteCase cases[] = {
        {"two lines", "Acme", "X1", {"a", "c"},
         {"[General]", "Manufacturer=Acme", "Model=X1", "[Support Information]", "Line1=a", "Line2=c"}},
        {"all empty", "", "", {}, {"[General]", "Manufacturer=", "Model="}},
        {"repeated lines kept", "M", "", {"same", "same", "same"},
         {"[General]", "Manufacturer=M", "Model=", "[Support Information]", "Line1=same", "Line2=same",
          "Line3=same"}},
    };
    for (const TWriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteIniOEMInfo(c.manufacturer, c.model, nullptr, c.lines);
        EXPECT_EQ(c.expectedFile, FileLines(Ini));
    }
}

TEST_F(IniStore, WriteReplacesTheOldFileWhole)
{
    ASSERT_TRUE(WriteWholeFile(Ini, "[General]\r\nExtra=1\r\nModel=Old\r\n[Support Information]\r\nLine1=x\r\n"
                                    "Line2=y\r\nLine3=z\r\n"));
    WriteIniOEMInfo("New", "N1", nullptr, {"only"});
    EXPECT_EQ((std::vector<std::string>{"[General]", "Manufacturer=New", "Model=N1", "[Support Information]",
                                        "Line1=only"}),
              FileLines(Ini));
}

// The old file was deleted and the new one written in its place, so a
// refused deletion mixed old lines into the new file, and a killed run left
// half a file.
TEST_F(IniStore, WriteReplacesTheFileInOneStepWithoutDeletingIt)
{
    ASSERT_TRUE(WriteWholeFile(Ini, "[Support Information]\r\nLine1=x\r\nLine3=z\r\n"));
    TApiSwap<decltype(PlatformApi.DeleteFileA)> swap(PlatformApi.DeleteFileA, RefusingDeleteFile);
    WriteIniOEMInfo("M", "N", nullptr, {"new"});
    ReadIniOEMInfo();
    EXPECT_EQ((std::vector<std::string>{"new"}), SupportLines());
    EXPECT_FALSE(IsExistingFile(NewFilePath(Ini)));
}

struct TReadCase {
    const char* name;
    std::string file;
    std::string manufacturer, model;
    std::vector<std::string> lines;
};

TEST_F(IniStore, ReadCases)
{
    const std::string long3000(3000, 'w');
    const TReadCase cases[] = {
        {"lines in file order", "[Support Information]\r\nLine2=b\r\nLine1=a\r\n", "", "", {"b", "a"}},
        {"any key name counts", "[Support Information]\r\nLine7=g\r\nPhone=555\r\nLine1=a\r\n", "", "",
         {"g", "555", "a"}},
        {"empty value", "[Support Information]\r\nLine1=a\r\nLine2=\r\nLine3=c\r\n", "", "", {"a", "", "c"}},
        {"repeated key in other case takes the first value",
         "[Support Information]\r\nLine1=first\r\nLINE1=second\r\n", "", "", {"first", "first"}},
        // A line "=b" is a key with an empty name: a zero-length entry inside
        // the name list, whose value a look-up of "" gives (the first one's).
        // Not first in the section: Wine then lists no name at all, taking
        // the leading NUL for an empty list.
        {"empty key name", "[Support Information]\r\nLine1=a\r\n=b\r\nLine2=c\r\n", "", "", {"a", "b", "c"}},
        {"empty key names repeated and last",
         "[Support Information]\r\nLine1=a\r\n=b\r\nLine2=c\r\n=d\r\n", "", "", {"a", "b", "c", "b"}},
        {"general section", "[General]\r\nModel=X1\r\nManufacturer=Acme\r\n", "Acme", "X1", {}},
        {"names matched in any case", "[GENERAL]\r\nmanufacturer=Acme\r\n[support information]\r\nline1=a\r\n",
         "Acme", "", {"a"}},
        // A buffer of 2048 gives 2047 characters of anything longer.
        {"value of 3000 characters read whole", "[General]\r\nManufacturer=" + long3000 + "\r\n", long3000, "", {}},
        {"line of 3000 characters read whole", "[Support Information]\r\nLine1=" + long3000 + "\r\n", "", "",
         {long3000}},
        {"value with an equals sign", "[General]\r\nModel=a=b\r\n", "", "a=b", {}},
        {"empty file", "", "", "", {}},
    };
    for (const TReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetOEMInfo();
        ASSERT_TRUE(WriteWholeFile(Ini, c.file));
        ReadIniOEMInfo();
        EXPECT_EQ(c.manufacturer, OEMInfo.Manufacturer);
        EXPECT_EQ(c.model, OEMInfo.Model);
        EXPECT_EQ(c.lines, SupportLines());
        EXPECT_EQ("", OEMInfo.Logo);
    }
}

TEST_F(IniStore, ReadLinesWithoutEqualsSignDoNotDisturbTheOthers)
{
    ASSERT_TRUE(WriteWholeFile(Ini, "[Support Information]\r\nLine1=a\r\nno equals here\r\nLine2=b\r\n"));
    ReadIniOEMInfo();
    std::vector<std::string> lines = SupportLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ("a", lines.front());
    EXPECT_EQ("b", lines.back());
    for (size_t i = 1; i + 1 < lines.size(); ++i)
        EXPECT_EQ("", lines[i]) << "entry " << i;
}

TEST_F(IniStore, ReadWithoutFileGivesEmptyTextsAndANewEmptyList)
{
    OEMInfo.SupportLines = std::make_unique<std::vector<std::string>>(1, "stale");
    ReadIniOEMInfo();
    ASSERT_TRUE(OEMInfo.SupportLines);
    EXPECT_TRUE(OEMInfo.SupportLines->empty());
    EXPECT_EQ("", OEMInfo.Manufacturer);
    EXPECT_EQ("", OEMInfo.Logo);
}

TEST_F(IniStore, ReadGivesTheLogoPathOnlyWhenTheLogoExists)
{
    ReadIniOEMInfo();
    EXPECT_EQ("", OEMInfo.Logo);
    ASSERT_TRUE(WriteWholeFile(Logo, "BM"));
    ReadIniOEMInfo();
    EXPECT_EQ(GetSystemDir() + "\\oemlogo.bmp", OEMInfo.Logo);
}

TEST_F(IniStore, ReadNeverUsesACutKeyNameAtTheEndOfTheNameBuffer)
{
    // 2000 names of 16 characters overflow the 16384-byte name list; the
    // name cut off at its end must not be looked up as a key of its own.
    std::string file = "[Support Information]\r\n";
    for (int i = 0; i < 2000; ++i) {
        char line[64];
        snprintf(line, sizeof line, "Key%04d_abcdefgh=v%04d\r\n", i, i);
        file += line;
    }
    ASSERT_TRUE(WriteWholeFile(Ini, file));
    ReadIniOEMInfo();
    std::vector<std::string> lines = SupportLines();
    EXPECT_GT(lines.size(), 900u);
    EXPECT_LT(lines.size(), 2000u);
    for (size_t i = 0; i < lines.size(); ++i) {
        char expected[16];
        snprintf(expected, sizeof expected, "v%04u", static_cast<unsigned>(i));
        ASSERT_EQ(expected, lines[i]) << "entry " << i;
    }
}

TEST_F(IniStore, IniThatIsADirectory)
{
    ASSERT_TRUE(CreateDirectoryA(Ini.c_str(), nullptr));
    ReadIniOEMInfo();
    EXPECT_EQ("", OEMInfo.Manufacturer);
    EXPECT_TRUE(SupportLines().empty());

    const TPicture* source = Picture("pick.bmp", Bmp);
    EXPECT_EQ("Unable to write to " + StoreIni, ErrorOf([&] { WriteIniOEMInfo("A", "B", source, {"l"}); }));
    DWORD attributes = GetFileAttributesA(Ini.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(IsExistingFile(Logo)) << "the logo must not be copied after a failed write";
}

TEST_F(IniStore, WriteCopiesTheChosenLogoOverTheOldOne)
{
    ASSERT_TRUE(WriteWholeFile(Logo, "BMold"));
    WriteIniOEMInfo("A", "B", Picture("new logo.bmp", Bmp), {});
    std::string bytes;
    ASSERT_TRUE(ReadFileInto(Logo, bytes));
    EXPECT_EQ(Bmp, bytes);
    std::string stillThere;
    EXPECT_TRUE(ReadFileInto(ScratchFiles.back(), stillThere));
}

TEST_F(IniStore, WriteLeavesTheLogoWhenThereIsNothingToInstall)
{
    const TPicture empty;
    for (const TPicture* logo : {static_cast<const TPicture*>(nullptr), &empty}) {
        ASSERT_TRUE(WriteWholeFile(Logo, "BMkeep"));
        WriteIniOEMInfo("A", "B", logo, {});
        std::string bytes;
        ASSERT_TRUE(ReadFileInto(Logo, bytes));
        EXPECT_EQ("BMkeep", bytes);
    }
    DeleteFileA(Logo.c_str());
    WriteIniOEMInfo("A", "B", nullptr, {});
    EXPECT_FALSE(IsExistingFile(Logo));
}

// The installed logo loaded again (as the window does when it opens) and
// applied is written from its bytes: no copy of a file onto itself.
TEST_F(IniStore, TheInstalledLogoAppliedAgainKeepsItsBytes)
{
    ASSERT_TRUE(WriteWholeFile(Logo, Bmp));
    TPicture installed;
    installed.LoadFromBytes(WithRedirectionOff(IsWow64(), [&] { return TPicture::ReadFile(StoreLogo); }), StoreLogo);
    WriteIniOEMInfo("A", "B", &installed, {});
    std::string bytes;
    ASSERT_TRUE(ReadFileInto(Logo, bytes));
    EXPECT_EQ(Bmp, bytes);
}

// A 16-pixel 32-bit icon whose top-left quadrant is transparent.
std::string IconWithATransparentQuadrant()
{
    std::string file = picture_test::MakeIco({{16, 32, {}}});
    const size_t pixels = 22 + 40, mask = pixels + 16 * 64;
    for (size_t row = 8; row < 16; ++row) {  // bottom-up: the top half
        file.replace(pixels + row * 64, 32, std::string(32, '\0'));
        file[mask + row * 4] = '\xFF';
    }
    return file;
}

HANDLE WINAPI CreateFileRefusingNewFiles(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                         DWORD disposition, DWORD flags, HANDLE model)
{
    if (disposition == CREATE_ALWAYS) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(path, access, share, security, disposition, flags, model);
}

TEST_F(IniStore, TheLogoIsInstalledAsABitmapWindowsReads)
{
    using namespace picture_test;
    const TColorAt quadrants = Quadrants(16, 16);
    const struct {
        const char* name;
        std::string bytes;
        TColorAt expected;  // nullptr: copied byte for byte
    } cases[] = {
        {"a.bmp", SampleBmp(), nullptr},
        // A 12-byte header has a full palette: 16 colours at 4 bits.
        {"core.bmp", MakeBmp({"core", 8, 6, 4, 0, 12, {Red, Green, Blue, White, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                              {0, 0, 0}}, Quadrants(8, 6)),
         nullptr},
        {"rle8.bmp", MakeBmp({"rle8", 8, 6, 8, 1, 40, {Red, Green, Blue, White}, {0, 0, 0}}, Quadrants(8, 6)),
         nullptr},
        {"v5.bmp", MakeBmp({"v5", 16, 16, 32, 3, 124, {}, {0xFF0000, 0xFF00, 0xFF}}, quadrants), quadrants},
        {"clear.ico", IconWithATransparentQuadrant(),
         [&](int x, int y) { return x < 8 && y < 8 ? White : quadrants(x, y); }},
        // Before Vista, the bitmap image rather than the larger PNG one.
        {"png.ico", JoinIcos(MakeIco({{16, 4, {Red, Green, Blue, White}}}), PngIco(48, Red)), quadrants},
        {"green.emf", SampleEmf(Green, 16, 16), [](int, int) { return Green; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteIniOEMInfo("A", "B", Picture(c.name, c.bytes), {});
        std::string bytes;
        ASSERT_TRUE(ReadFileInto(Logo, bytes));
        if (!c.expected) {
            EXPECT_EQ(c.bytes, bytes);
            continue;
        }
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(40u, Get32(bytes, 14)) << "header size";
        EXPECT_EQ(24u, Get32(bytes, 28) & 0xFFFF) << "bits per pixel";
        EXPECT_EQ(0u, Get32(bytes, 30)) << "compression";
        TBitmapLayout layout;
        ASSERT_EQ(TBitmapCheck::Valid,
                  CheckBitmapFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), layout));
        ASSERT_EQ(16, layout.width);
        ASSERT_EQ(16, layout.height);
        std::vector<uint32_t> pixels(16 * 16);
        ASSERT_TRUE(DecodeBitmap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), layout,
                                 pixels.data()));
        for (int y = 2; y < 16; y += 4) {
            for (int x = 2; x < 16; x += 4)
                EXPECT_EQ(c.expected(x, y), pixels[size_t(y) * 16 + x]) << x << "," << y;
        }
    }

    TApiSwap<decltype(PlatformApi.CreateFileA)> swap(PlatformApi.CreateFileA, CreateFileRefusingNewFiles);
    const TPicture* icon = Picture("refused.ico", IconWithATransparentQuadrant());
    EXPECT_EQ("Unable to copy the logo to " + StoreLogo, ErrorOf([&] { WriteIniOEMInfo("A", "B", icon, {}); }));
}

TEST_F(IniStore, LogoPickedFromAReadOnlyFileStaysReplaceableAndRemovable)
{
    // A bitmap on a CD or a read-only share: the copy must not carry the mark
    // over to the installed logo.
    std::string source = ScratchFile("from cd.bmp", Bmp);
    ASSERT_TRUE(SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY));
    TPicture picture;
    picture.LoadFromFile(source);
    WriteIniOEMInfo("A", "B", &picture, {});
    std::string bytes;
    ASSERT_TRUE(ReadFileInto(Logo, bytes));
    EXPECT_EQ(Bmp, bytes);
    DWORD attributes = GetFileAttributesA(Logo.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_EQ(0u, attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(0u, GetFileAttributesA(source.c_str()) & FILE_ATTRIBUTE_READONLY) << "the picked file stays as it was";

    const std::string next = picture_test::SampleBmp(3, 3);
    WriteIniOEMInfo("A", "B", Picture("next.bmp", next), {});
    ASSERT_TRUE(ReadFileInto(Logo, bytes));
    EXPECT_EQ(next, bytes);
    EXPECT_NO_THROW(RemoveIniOEMInfo());
    EXPECT_FALSE(IsExistingFile(Logo));
}

TEST_F(IniStore, RemoveDeletesBothFiles)
{
    WriteIniOEMInfo("A", "B", Picture("logo.bmp", Bmp), {"x"});
    ASSERT_TRUE(IsExistingFile(Ini));
    ASSERT_TRUE(IsExistingFile(Logo));
    RemoveIniOEMInfo();
    EXPECT_FALSE(IsExistingFile(Ini));
    EXPECT_FALSE(IsExistingFile(Logo));
}

TEST_F(IniStore, RemoveWithNothingThereIsSilent)
{
    EXPECT_NO_THROW(RemoveIniOEMInfo());
    TApiSwap<decltype(PlatformApi.DeleteFileA)> swap(PlatformApi.DeleteFileA, RefusingDeleteFile);
    EXPECT_NO_THROW(RemoveIniOEMInfo());
}

TEST_F(IniStore, RemoveReportsAFileThatOutlivesItsDeletion)
{
    const struct {
        const char* name;
        bool ini, logo;
        std::string named;
    } cases[] = {
        {"only the ini", true, false, StoreIni},
        {"only the logo", false, true, StoreLogo},
        {"both: the first is named", true, true, StoreIni},
    };
    const TWindowsLikeFiles windowsLike;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Refusals = {{"MoveFileA", "oeminfo.ini" + std::string(AsideFileSuffix), ERROR_SHARING_VIOLATION},
                    {"MoveFileA", "oemlogo.bmp" + std::string(AsideFileSuffix), ERROR_SHARING_VIOLATION}};
        DeleteFileA(Ini.c_str());
        DeleteFileA(Logo.c_str());
        if (c.ini) {
            ASSERT_TRUE(WriteWholeFile(Ini, "[General]\r\n"));
        }
        if (c.logo) {
            ASSERT_TRUE(WriteWholeFile(Logo, "BM"));
        }
        EXPECT_EQ("Unable to delete " + c.named, ErrorOf(RemoveIniOEMInfo));
    }
}

// Windows would show half the information otherwise: what was moved aside
// comes back when the other file stays.
TEST_F(IniStore, RemoveIsAllOrNothing)
{
    const std::string iniAside = "oeminfo.ini" + std::string(AsideFileSuffix),
                      logoAside = "oemlogo.bmp" + std::string(AsideFileSuffix);
    const struct {
        std::vector<TRefusal> refusals;
        std::string message;
        bool iniBack;
    } cases[] = {
        {{{"MoveFileA", iniAside, ERROR_SHARING_VIOLATION}}, "Unable to delete " + StoreIni, true},
        {{{"MoveFileA", logoAside, ERROR_SHARING_VIOLATION}}, "Unable to delete " + StoreLogo, true},
        {{{"MoveFileA", logoAside, ERROR_SHARING_VIOLATION}, {"MoveFileA", "oeminfo.ini", ERROR_ACCESS_DENIED}},
         "Unable to delete " + StoreLogo + ". Unable to restore " + StoreIni, false},
    };
    const TWindowsLikeFiles windowsLike;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ASSERT_TRUE(WriteWholeFile(Ini, "[General]\r\nModel=X\r\n"));
        ASSERT_TRUE(WriteWholeFile(Logo, "BM logo"));
        Refusals = c.refusals;
        EXPECT_EQ(c.message, ErrorOf(RemoveIniOEMInfo));
        std::string ini, logo;
        EXPECT_EQ(ReadFileInto(Ini, ini) && ini == "[General]\r\nModel=X\r\n", c.iniBack);
        EXPECT_TRUE(ReadFileInto(Logo, logo) && logo == "BM logo");
        bool found = false;
        ClearLeftovers(Ini, found);
        EXPECT_EQ(found, !c.iniBack) << "the ini left aside is cleared by the next run";
        DeleteFileA(Logo.c_str());
    }
}

// Windows refuses CREATE_ALWAYS on a hidden or system file and any write
// or deletion of a read-only one: rewriting, restoring or removing such
// store files failed, and a rewrite dropped the attributes.
TEST_F(IniStore, HiddenSystemAndReadOnlyStoreFilesAreRewrittenRestoredAndRemoved)
{
    const TWindowsLikeFiles windowsLike;
    const std::string oldIni = "[General]\r\nModel=Old\r\n", oldLogo = picture_test::SampleBmp(2, 2);
    auto make = [&] {
        for (const std::string* path : {&Ini, &Logo}) {
            SetFileAttributesA(path->c_str(), FILE_ATTRIBUTE_NORMAL);
            ASSERT_TRUE(WriteWholeFile(*path, path == &Ini ? oldIni : oldLogo));
            ASSERT_TRUE(SetFileAttributesA(path->c_str(), AllGuards));
        }
    };
    auto state = [](const std::string& path) {
        std::string bytes;
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes == INVALID_FILE_ATTRIBUTES || !ReadFileInto(path, bytes)
                   ? std::string("<missing>")
                   : std::to_string(attributes & AllGuards) + " " + bytes;
    };
    const std::string guards = std::to_string(AllGuards) + " ";
    make();
    const TLegacyFiles before = ReadLegacyFiles();
    WriteIniOEMInfo("New", "N", Picture("new.bmp", Bmp), {});
    EXPECT_EQ(guards + "[General]\r\nManufacturer=New\r\nModel=N\r\n", state(Ini));
    EXPECT_EQ(guards + Bmp, state(Logo));
    EXPECT_NO_THROW(RestoreLegacyFiles(before));
    EXPECT_EQ(guards + oldIni, state(Ini));
    EXPECT_EQ(guards + oldLogo, state(Logo));
    EXPECT_NO_THROW(RemoveIniOEMInfo());
    EXPECT_EQ("<missing>", state(Ini));
    EXPECT_EQ("<missing>", state(Logo));
    for (const std::string& path : {Ini, Logo})
        EXPECT_EQ("<missing>", state(AsideFilePath(path)));
}

TEST_F(IniStore, ProfileWriteFailingPartWay)
{
    TApiSwap<decltype(PlatformApi.WritePrivateProfileStringA)> swap(PlatformApi.WritePrivateProfileStringA,
                                                               CountingWritePrivateProfileString);
    const struct {
        const char* failingKey;
    } cases[] = {{"Manufacturer"}, {"Model"}, {"Line2"}};
    const TPicture* source = Picture("logo.bmp", Bmp);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failingKey);
        DeleteFileA(Logo.c_str());
        ASSERT_TRUE(WriteWholeFile(Ini, "[General]\r\nModel=Old\r\n"));
        ReleaseCounts = TReleaseCounts();
        FailProfileWriteOfKey = c.failingKey;
        EXPECT_EQ("Unable to write to " + StoreIni, ErrorOf([&] { WriteIniOEMInfo("Acme", "X1", source, {"a", "b"}); }));
        FailProfileWriteOfKey.clear();
        // The half-written new file goes; the old one stays whole.
        EXPECT_EQ((std::vector<std::string>{"[General]", "Model=Old"}), FileLines(Ini));
        EXPECT_FALSE(IsExistingFile(NewFilePath(Ini)));
        EXPECT_FALSE(IsExistingFile(Logo)) << "the logo must not be copied after a failed write";
        EXPECT_EQ(1, ReleaseCounts.ProfileFlushes) << "the profile must be released on failure";
        EXPECT_EQ(NewFilePath(StoreIni), ReleaseCounts.LastFlushedPath);
    }
}

TEST_F(IniStore, EachOperationReleasesItsProfile)
{
    TApiSwap<decltype(PlatformApi.WritePrivateProfileStringA)> swap(PlatformApi.WritePrivateProfileStringA,
                                                               CountingWritePrivateProfileString);
    WriteIniOEMInfo("A", "B", nullptr, {"l"});
    EXPECT_EQ(1, ReleaseCounts.ProfileFlushes);
    ReadIniOEMInfo();
    EXPECT_EQ(2, ReleaseCounts.ProfileFlushes);
    EXPECT_EQ(StoreIni, ReleaseCounts.LastFlushedPath);
}

TEST_F(IniStore, FailingLogoCopyIsReported)
{
    const TWindowsLikeFiles windowsLike;
    Refusals = {{"MoveFileExA", "oemlogo.bmp", ERROR_ACCESS_DENIED}};
    const TPicture* source = Picture("logo.bmp", Bmp);
    EXPECT_EQ("Unable to copy the logo to " + StoreLogo, ErrorOf([&] { WriteIniOEMInfo("A", "B", source, {}); }));
    EXPECT_EQ((std::vector<std::string>{"[General]", "Manufacturer=A", "Model=B"}), FileLines(Ini));
    EXPECT_FALSE(IsExistingFile(Logo));
}

TEST_F(IniStore, MessagesAreLookedUpBeforeTheyAreFilledIn)
{
    TBracketTranslation translation;
    ASSERT_TRUE(CreateDirectoryA(Ini.c_str(), nullptr));
    EXPECT_EQ("T[Unable to write to " + StoreIni + "]", ErrorOf([] { WriteIniOEMInfo("A", "B", nullptr, {}); }));
    RemoveDirectoryA(Ini.c_str());

    ASSERT_TRUE(WriteWholeFile(Logo, "BM"));
    const TWindowsLikeFiles windowsLike;
    Refusals = {{"MoveFileA", AsideFileSuffix, ERROR_SHARING_VIOLATION}};
    EXPECT_EQ("T[Unable to delete " + StoreLogo + "]", ErrorOf(RemoveIniOEMInfo));
}

}  // namespace
