// The window on Windows XP (legacy INI store), driven as a user would.
#include "ui/tests/FileDialogUser.h"

#include <vector>

using namespace formtest;

namespace {

// The legacy store works in the system directory Windows reads, which this
// 32-bit test on 64-bit Windows reaches only as Sysnative.
std::string OnDisk(const std::string& storePath)
{
    return "C:\\windows\\Sysnative" + storePath.substr(GetSystemDir().size());
}

class FormLegacy : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(StoreMode(), TStoreMode::Legacy);
        Clean();
    }
    void TearDown() override { Clean(); }

    static void Clean()
    {
        DeleteFileA(OnDisk(IniFilePath()).c_str());
        DeleteFileA(OnDisk(LogoFilePath()).c_str());
        DeleteFileA("C:\\windows\\syswow64\\oemlogo.bmp");
        RemoveDirectoryA(OnDisk(IniFilePath()).c_str());
    }

    // An INI file with the given support lines, written by the profile API.
    static void WriteIni(const std::string& manufacturer, const std::string& model,
                         const std::vector<std::string>& lines)
    {
        const std::string ini = OnDisk(IniFilePath());
        WritePrivateProfileStringA("General", "Manufacturer", manufacturer.c_str(), ini.c_str());
        WritePrivateProfileStringA("General", "Model", model.c_str(), ini.c_str());
        for (size_t i = 0; i < lines.size(); ++i)
            WritePrivateProfileStringA("Support Information", ("Line" + std::to_string(i + 1)).c_str(),
                                       lines[i].c_str(), ini.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    }

    static std::string IniText()
    {
        std::string text;
        EXPECT_TRUE(ReadFileInto(OnDisk(IniFilePath()), text));
        return text;
    }
};

std::string LineEdit(int n)
{
    return "Edit_Line" + std::to_string(n);
}

TEST_F(FormLegacy, TwelveLinesFillTheTenFieldsInOrder)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= 12; ++i)
        lines.push_back("line " + std::to_string(i));
    WriteIni("Acme", "Model A", lines);
    TMessageBoxCatcher boxes;
    auto form = OpenForm();

    EXPECT_EQ(boxes.Count(), 0);
    EXPECT_EQ(Text(*form, "Edit_Manufacturer"), "Acme");
    EXPECT_EQ(Text(*form, "Edit_Model"), "Model A");
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(Text(*form, LineEdit(n).c_str()), "line " + std::to_string(n));
    // No logo file: the logo path is empty.
    EXPECT_EQ(Text(*form, "Label_Logo"), "");
    EXPECT_EQ(form->ActivePageName(), "T_XP");
}

TEST_F(FormLegacy, ThreeLinesLeaveTheOtherFieldsEmptyAndTheWindowIsShaped)
{
    ExpectDesignScale();
    WriteIni("Acme", "", {"a", "b", "c"});
    auto form = OpenForm();

    EXPECT_EQ(Text(*form, "Edit_Line1"), "a");
    EXPECT_EQ(Text(*form, "Edit_Line2"), "b");
    EXPECT_EQ(Text(*form, "Edit_Line3"), "c");
    for (int n = 4; n <= 10; ++n)
        EXPECT_EQ(Text(*form, LineEdit(n).c_str()), "") << n;
    // Only the Manufacturer and Model rows stay inside "General".
    RECT g1 = RectInParent(form->Control(TCtl::G_1));
    EXPECT_EQ(g1.top, 6);
    EXPECT_EQ(g1.bottom - g1.top, 81);
    EXPECT_EQ(g1.right - g1.left, 393);
    for (const char* row : {"Edit_SHours", "Label_SHours", "Edit_SPhone", "Label_SPhone", "Edit_SUrl", "Label_SUrl"})
        EXPECT_FALSE(Shown(*form, row)) << row;
    EXPECT_TRUE(Shown(*form, "G_2"));
    RECT g2 = RectInParent(form->Control(TCtl::G_2));
    EXPECT_EQ(g2.top, 91);
    EXPECT_EQ(g2.bottom - g2.top, 286);
    struct TLine {
        int n;
        LONG top;
    };
    for (TLine line : {TLine{1, 16}, TLine{6, 150}, TLine{7, 177}, TLine{10, 258}}) {
        RECT r = RectInParent(ControlNamed(*form, LineEdit(line.n).c_str()));
        EXPECT_EQ(r.left, 107) << line.n;
        EXPECT_EQ(r.top, line.top) << line.n;
        EXPECT_EQ(r.right - r.left, 270) << line.n;
        EXPECT_EQ(r.bottom - r.top, 21) << line.n;
    }
}

// The logo is read through the 64-bit system directory: of two different
// files under the same name, the 64-bit one is shown.
TEST_F(FormLegacy, LogoIsReadFromThe64BitSystemDirectory)
{
    ASSERT_TRUE(IsWow64());
    ASSERT_TRUE(WriteWholeFile("C:\\windows\\syswow64\\oemlogo.bmp", MakeBmp(10, 10, RGB(0xFF, 0, 0))));
    ASSERT_TRUE(WriteWholeFile(OnDisk(LogoFilePath()), MakeBmp(30, 20, RGB(0, 0, 0xFF))));
    WriteIni("Acme", "A", {});
    TMessageBoxCatcher boxes;
    auto form = OpenForm();

    EXPECT_EQ(boxes.Count(), 0);
    EXPECT_EQ(Text(*form, "Label_Logo"), LogoFilePath());
    ASSERT_FALSE(form->Image1Picture().Empty());
    EXPECT_EQ(form->Image1Picture().Width(), 30);
    EXPECT_EQ(form->Image1Picture().Height(), 20);
}

// On 64-bit XP and Server 2003 the 32-bit dialog shows SysWOW64 as System32,
// and the store copies the logo with the redirection off: the path the
// window keeps must make that copy the file the user picked.
TEST_F(FormLegacy, ApplyInstallsTheLogoTheUserSawInTheDialog)
{
    ASSERT_TRUE(IsWow64());
    const std::string name = "marquill-legacy-pick.bmp";
    TScratchFile seen("C:\\windows\\syswow64\\" + name, MakeBmp(21, 11, RGB(0x20, 0x40, 0x60)));
    TScratchFile other("C:\\windows\\Sysnative\\" + name, MakeBmp(33, 17, RGB(0x60, 0x40, 0x20)));
    auto form = OpenForm();
    TUser pick;
    pick.typed = GetSystemDir() + "\\" + name;
    PressOpen(*form, pick);
    EXPECT_TRUE(pick.boxes.empty());
    EXPECT_EQ(Text(*form, "Label_Logo"), seen.Path());
    EXPECT_EQ(form->Image1Picture().Width(), 21);

    TMessageBoxCatcher boxes;
    Click(*form, "Btn_Apply");
    EXPECT_EQ(boxes.Count(), 0);
    std::string installed, picked;
    ASSERT_TRUE(ReadFileInto(OnDisk(LogoFilePath()), installed));
    ASSERT_TRUE(ReadFileInto(seen.Path(), picked));
    EXPECT_TRUE(installed == picked) << "installed " << installed.size() << " bytes, picked " << picked.size();
}

// A 0-byte bitmap shows as no picture, and Apply installs it as a copy of
// the file would: an empty oemlogo.bmp, with no error.
TEST_F(FormLegacy, ApplyInstallsAZeroByteBitmapAsItIs)
{
    ASSERT_TRUE(WriteWholeFile(OnDisk(LogoFilePath()), MakeBmp(4, 4, RGB(1, 2, 3))));
    TScratchFile empty(ExeDir() + "marquill-empty.bmp", "");
    auto form = OpenForm();
    TUser pick;
    pick.typed = empty.Path();
    PressOpen(*form, pick);
    EXPECT_TRUE(pick.boxes.empty());
    EXPECT_TRUE(form->Image1Picture().Empty());
    TMessageBoxCatcher boxes;
    Click(*form, "Btn_Apply");
    EXPECT_EQ(boxes.Count(), 0);
    std::string installed = "not read";
    ASSERT_TRUE(ReadFileInto(OnDisk(LogoFilePath()), installed));
    EXPECT_EQ(installed, "");
}

TEST_F(FormLegacy, ApplyStoresNonEmptyLinesWithoutGaps)
{
    auto form = OpenForm();
    SetText(*form, "Edit_Manufacturer", "Acme");
    SetText(*form, "Edit_Model", "M");
    SetText(*form, "Edit_SPhone", "not stored");
    SetText(*form, "Edit_Line1", "a");
    SetText(*form, "Edit_Line2", "");
    SetText(*form, "Edit_Line3", "c");
    SetText(*form, "Edit_Line9", "   ");
    TMessageBoxCatcher boxes;
    Click(*form, "Btn_Apply");

    EXPECT_EQ(boxes.Count(), 0);
    std::string ini = IniText();
    // The profile writer itself drops blanks around values.
    EXPECT_NE(ini.find("Manufacturer=Acme"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Model=M"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Line1=a\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Line2=c\r\n"), std::string::npos) << ini;
    // A field of blanks is not empty: it is a line of its own.
    EXPECT_NE(ini.find("Line3="), std::string::npos) << ini;
    EXPECT_EQ(ini.find("Line4"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("not stored"), std::string::npos) << ini;
    // No logo was loaded, so none is copied.
    EXPECT_EQ(GetFileAttributesA(OnDisk(LogoFilePath()).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FormLegacy, ApplyWithNoLinesWritesGeneralOnly)
{
    auto form = OpenForm();
    Click(*form, "Btn_Apply");
    std::string ini = IniText();
    EXPECT_NE(ini.find("[General]"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("Support Information"), std::string::npos) << ini;
}

TEST_F(FormLegacy, ApplyFailureIsShownAndTheFieldsStay)
{
    auto form = OpenForm();
    ASSERT_TRUE(CreateDirectoryA(OnDisk(IniFilePath()).c_str(), nullptr));
    SetText(*form, "Edit_Manufacturer", "Acme");
    TMessageBoxCatcher boxes;
    Click(*form, "Btn_Apply");

    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().text, "Unable to write to " + IniFilePath() + ".");
    EXPECT_EQ(boxes.Last().caption, "form_legacy_tests");
    EXPECT_TRUE(boxes.Last().hasErrorIcon);
    EXPECT_EQ(boxes.Last().owner, form->Handle());
    EXPECT_EQ(Text(*form, "Edit_Manufacturer"), "Acme");
}

TEST_F(FormLegacy, RemoveDeletesBothFilesAndKeepsTheFields)
{
    ASSERT_TRUE(WriteWholeFile(OnDisk(LogoFilePath()), MakeBmp(4, 4, RGB(1, 2, 3))));
    WriteIni("Acme", "A", {"x"});
    auto form = OpenForm();
    Click(*form, "Btn_Remove");

    EXPECT_EQ(GetFileAttributesA(OnDisk(IniFilePath()).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(OnDisk(LogoFilePath()).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Text(*form, "Edit_Manufacturer"), "Acme");
    EXPECT_EQ(Text(*form, "Edit_Line1"), "x");
    EXPECT_EQ(Text(*form, "Label_Logo"), LogoFilePath());
    EXPECT_EQ(form->Image1Picture().Width(), 4);

    // Apply stores the fields again, and the logo the box still shows from
    // the bytes it was checked from: the removed file is not read again.
    TMessageBoxCatcher boxes;
    Click(*form, "Btn_Apply");
    EXPECT_EQ(boxes.Count(), 0);
    std::string ini = IniText();
    EXPECT_NE(ini.find("Manufacturer=Acme"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Line1=x"), std::string::npos) << ini;
    std::string logo;
    EXPECT_TRUE(ReadFileInto(OnDisk(LogoFilePath()), logo) && logo == MakeBmp(4, 4, RGB(1, 2, 3)));
    EXPECT_EQ(Text(*form, "Label_Logo"), LogoFilePath());
    EXPECT_EQ(form->Image1Picture().Width(), 4);
}

TEST_F(FormLegacy, TabGoesFromLineSixToEightAndReachesSevenLast)
{
    auto form = OpenForm();
    ASSERT_EQ(FocusName(*form), "Edit_Manufacturer");
    // The hours, phone and web rows, hidden, take no focus: nothing is
    // typed where nobody sees it.
    const char* expected[] = {"Edit_Model",  "Edit_Line1", "Edit_Line2", "Edit_Line3",  "Edit_Line4",
                              "Edit_Line5",  "Edit_Line6", "Edit_Line8", "Edit_Line9",  "Edit_Line10",
                              "Edit_Line7",  "Btn_Open",   "Btn_Apply",  "Btn_Remove",  "Btn_About",
                              "Edit_Manufacturer"};
    for (const char* name : expected) {
        ASSERT_TRUE(PressTab(*form)) << "Tab did not move on towards " << name;
        EXPECT_EQ(FocusName(*form), name);
    }
}

TEST_F(FormLegacy, LineSevenIsDrawnInTheSmallerPageFont)
{
    auto form = OpenForm();
    EXPECT_EQ(FontHeightOf(form->Control(TCtl::Edit_Line6)), -13);
    EXPECT_EQ(FontHeightOf(form->Control(TCtl::Edit_Line7)), -11);
}

TEST_F(FormLegacy, SupportInfoIsTranslatedWithTheWindow)
{
    ResetTranslation("de_DE", ShippedCatalogs());
    TMessageBoxCatcher boxes;
    auto form = OpenTranslatedForm();
    EXPECT_EQ(0, boxes.Count()) << boxes.Last().text;
    EXPECT_EQ("Zeile 1", Text(*form, "Label_Line1"));
    EXPECT_EQ("Zeile 10", Text(*form, "Label_Line10"));
    EXPECT_EQ("Support-Info", TZanthPanel::FromHandle(form->Control(TCtl::G_2))->Caption());
}

TEST_F(FormLegacy, ClosingReleasesTheSupportLines)
{
    WriteIni("Acme", "A", {"x", "y"});
    auto form = OpenForm();
    ASSERT_TRUE(OEMInfo.SupportLines);
    EXPECT_EQ(OEMInfo.SupportLines->size(), 2u);
    HWND wnd = form->Handle();
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(wnd); }));
    EXPECT_FALSE(OEMInfo.SupportLines);
}

}  // namespace
