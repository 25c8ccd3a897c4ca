// The window on Windows 10 (registry mode), driven as a user would.
#include "ui/tests/FormTestFixture.h"

#include <cstring>
#include <utility>

#include "oeminfo/tests/StoreTestKit.h"
#include "picture/tests/PictureTestFiles.h"
#include "ui/ErrorBox.h"
#include "ui/FormFields.h"

using namespace formtest;

namespace {

// This executable's name gives the error box's caption.
constexpr const char* BoxCaption = "form_registry_tests";

class FormRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(StoreMode(), TStoreMode::Registry);
        DeleteOemValues();
    }
    void TearDown() override { DeleteOemValues(); }
};

void ExpectErrorBox(const TMessageBoxCatcher& boxes, const std::string& text, HWND owner)
{
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().caption, BoxCaption);
    EXPECT_EQ(boxes.Last().text, text);
    EXPECT_TRUE(boxes.Last().hasErrorIcon);
    EXPECT_EQ(boxes.Last().owner, owner);
}

// The error box's caption: every letter after the first lower-cased, those
// beyond ASCII included (Windows-1252 here: C4 is "Ä", E4 "ä", C9 "É", E9 "é").
TEST(ErrorBoxTitle, LowerCasesEveryLetterAfterTheFirst)
{
    ASSERT_EQ(GetACP(), 1252u);
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"C:\\Program Files\\MARQUILL.EXE", "Marquill"},
        {"C:\\Program Files\\M\xC4RQUILL\xC9.v2.exe", "M\xE4rquill\xE9"},
        {"C:\\Tools\\\xC4RGER.exe", "\xC4rger"},
        {"C:\\a.b\\\xC9T\xC9", "\xC9t\xE9"},
        {"C:\\Tools\\.exe", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ProgramTitleOf(c.path), c.title);
    }
}

// The field table names the window's controls by their rows' names; a
// misspelt one would leave its field unshown and unstored.
TEST(FormFields, EveryControlTheFieldTableNamesIsARowOfTheWindow)
{
    for (const TOEMField* field : AllOEMFields()) {
        SCOPED_TRACE(field->Name);
        if (!field->Control)
            continue;
        const TCtl control = FieldControl(*field);
        ASSERT_NE(control, TCtl::None) << field->Control;
        EXPECT_STREQ(Desc(control).name, field->Control);
    }
}

TEST_F(FormRegistry, LoadsAllFiveFieldsAndHidesSupportInfo)
{
    SetRegString("Manufacturer", "Contoso & Sons");
    SetRegString("Model", "  M-1  ");
    SetRegString("SupportHours", "9-17");
    SetRegString("SupportPhone", "+46 8 123");
    SetRegString("SupportURL", "not a url");
    SetRegString("Logo", "C:\\marquill-missing\\logo.bmp");
    TMessageBoxCatcher boxes;
    auto form = OpenForm();

    EXPECT_EQ(boxes.Count(), 0);
    EXPECT_EQ(Text(*form, "Edit_Manufacturer"), "Contoso & Sons");
    EXPECT_EQ(Text(*form, "Edit_Model"), "  M-1  ");
    EXPECT_EQ(Text(*form, "Edit_SHours"), "9-17");
    EXPECT_EQ(Text(*form, "Edit_SPhone"), "+46 8 123");
    EXPECT_EQ(Text(*form, "Edit_SUrl"), "not a url");
    // A missing logo file is no error: the path stays for Apply.
    EXPECT_EQ(Text(*form, "Label_Logo"), "C:\\marquill-missing\\logo.bmp");
    EXPECT_TRUE(form->Image1Picture().Empty());
    EXPECT_EQ(form->ActivePageName(), "T_XP");
    EXPECT_TRUE(Shown(*form, "T_XP"));
    EXPECT_FALSE(Shown(*form, "T_About"));
    EXPECT_FALSE(Shown(*form, "G_2"));
    EXPECT_TRUE(Shown(*form, "Edit_SHours"));
    EXPECT_TRUE(Shown(*form, "Label_SHours"));
    EXPECT_FALSE(Shown(*form, "Label_Logo"));
    EXPECT_EQ(FocusName(*form), "Edit_Manufacturer");
}

// Logo paths that show no picture and no message: the window still reaches
// the editing page and keeps the path for Apply.
TEST_F(FormRegistry, LogoThatNamesNoPictureLeavesTheBoxEmptyWithoutMessage)
{
    TScratchFile empty(ExeDir() + "marquill-form-empty.bmp", "");
    struct TCase {
        const char* what;
        std::string logo;
    };
    const TCase cases[] = {
        {"missing file", ExeDir() + "marquill-form-missing.bmp"},
        {"bitmap of 0 bytes", empty.Path()},
        {"unexpanded reference", "%SystemRoot%\\system32\\oobe\\info\\logo.bmp"},
        {"a directory", "C:\\windows"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        SetRegString("Logo", c.logo);
        TMessageBoxCatcher boxes;
        auto form = OpenForm();
        EXPECT_EQ(boxes.Count(), 0);
        EXPECT_TRUE(form->Image1Picture().Empty());
        EXPECT_EQ(form->ActivePageName(), "T_XP");
        EXPECT_EQ(Text(*form, "Label_Logo"), c.logo);
    }
}

TEST_F(FormRegistry, LogoOfWrongTypeOpensOnAboutPageAndApplyStoresNoPlaceholder)
{
    SetRegString("Manufacturer", "Acme");
    SetRegString("Model", "X");
    DWORD notText = 7;
    SetRegValue("Logo", REG_DWORD, &notText, sizeof notText);
    TMessageBoxCatcher boxes;
    auto form = OpenForm();

    // No full stop: the message ends in a quote, which sorts below ".".
    ExpectErrorBox(boxes, "Invalid data type for 'Logo'", ApplicationWindow());
    char title[64] = {};
    GetWindowTextA(ApplicationWindow(), title, sizeof title);
    EXPECT_STREQ(title, BoxCaption);
    RECT place = {};
    GetWindowRect(ApplicationWindow(), &place);
    EXPECT_TRUE(IsRectEmpty(&place)) << "the application window takes a place on the screen";

    EXPECT_EQ(form->ActivePageName(), "T_About");
    EXPECT_TRUE(Shown(*form, "T_About"));
    EXPECT_FALSE(Shown(*form, "T_XP"));
    for (const char* edit : {"Edit_Manufacturer", "Edit_Model", "Edit_SHours", "Edit_SPhone", "Edit_SUrl"})
        EXPECT_EQ(Text(*form, edit), "") << edit;
    EXPECT_EQ(Text(*form, "Label_Logo"), "Label_Logo");
    EXPECT_TRUE(form->Image1Picture().Empty());

    boxes.Clear();
    Click(*form, "Btn_Apply");
    EXPECT_EQ(boxes.Count(), 0);
    ExpectRegString("Manufacturer", "");
    ExpectRegString("Model", "");
    ExpectRegString("Logo", "");
}

TEST_F(FormRegistry, LogoOfUnknownKindIsReportedAfterTheFieldsAreFilled)
{
    TScratchFile png(ExeDir() + "marquill-form-logo.png", "\x89PNG\r\n\x1a\n");
    SetRegString("Manufacturer", "Acme");
    SetRegString("SupportURL", "www.acme.example");
    SetRegString("Logo", png.Path());
    TMessageBoxCatcher boxes;
    auto form = OpenForm();

    ExpectErrorBox(boxes, "Unknown picture file extension (.png)", ApplicationWindow());
    EXPECT_EQ(form->ActivePageName(), "T_About");
    EXPECT_EQ(Text(*form, "Edit_Manufacturer"), "Acme");
    EXPECT_EQ(Text(*form, "Edit_SUrl"), "www.acme.example");
    EXPECT_EQ(Text(*form, "Label_Logo"), png.Path());
    EXPECT_TRUE(form->Image1Picture().Empty());

    // A real path is stored as it stands.
    boxes.Clear();
    Click(*form, "Btn_Apply");
    ExpectRegString("Logo", png.Path());
}

// The logo named with the system directory is read from the 64-bit one, and
// afterwards the redirection is back on: the same path then reaches the
// 32-bit directory, which does not hold the file.
TEST_F(FormRegistry, LogoInSystemDirectoryIsReadFrom64BitViewWithRedirectionRestored)
{
    ASSERT_TRUE(IsWow64());
    const std::string name = "marquill-form-logo.bmp";
    TScratchFile bmp("C:\\windows\\Sysnative\\" + name, MakeBmp(200, 190, RGB(0xE0, 0x10, 0x20)));
    const std::string seen = GetSystemDir() + "\\" + name;
    SetRegString("Logo", seen);
    TMessageBoxCatcher boxes;
    auto form = OpenForm();

    EXPECT_EQ(boxes.Count(), 0);
    ASSERT_FALSE(form->Image1Picture().Empty());
    EXPECT_EQ(form->Image1Picture().Width(), 200);
    EXPECT_EQ(form->Image1Picture().Height(), 190);
    EXPECT_EQ(GetFileAttributesA(seen.c_str()), INVALID_FILE_ATTRIBUTES);

    // Drawn at its own size from the box's corner, cut at 172 x 172.
    HWND image = form->Control(TCtl::Image1);
    ASSERT_TRUE(WaitFor([&] { return PixelAt(image, 0, 0) == RGB(0xE0, 0x10, 0x20); }));
    EXPECT_EQ(PixelAt(image, 171, 171), RGB(0xE0, 0x10, 0x20));
    RECT box = RectInParent(image);
    EXPECT_EQ(PixelAt(GetParent(image), box.right, box.top + 5), RGB(0x1A, 0x21, 0x31));
}

// A Logo stored as REG_EXPAND_SZ is previewed from the file Windows' 64-bit
// reader opens: expanded with the 64-bit program folders, read with the
// redirection off. Each file has its own width; the decoys are where a
// 32-bit reading would go.
TEST_F(FormRegistry, ExpandableLogoIsPreviewedFromTheFileWindowsReads)
{
    ASSERT_TRUE(IsWow64());
    const std::string name = "marquill-expand-logo.bmp";
    struct TCase {
        const char* stored;
        std::string file;
        std::string decoy;
        int width;
    };
    const TCase cases[] = {
        {"%SystemRoot%\\system32\\", "C:\\windows\\Sysnative\\", "C:\\windows\\syswow64\\", 23},
        {"%ProgramFiles%\\", "C:\\Program Files\\", "C:\\Program Files (x86)\\", 25},
        {"%commonprogramfiles%\\", "C:\\Program Files\\Common Files\\", "C:\\Program Files (x86)\\Common Files\\",
         27},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.stored);
        TScratchFile file(c.file + name, MakeBmp(c.width, 9, RGB(9, 9, 9)));
        TScratchFile decoy(c.decoy + name, MakeBmp(5, 5, RGB(9, 9, 9)));
        const std::string stored = c.stored + name;
        SetRegValue("Logo", REG_EXPAND_SZ, stored.c_str(), static_cast<DWORD>(stored.size() + 1));
        TMessageBoxCatcher boxes;
        auto form = OpenForm();
        EXPECT_EQ(boxes.Count(), 0);
        EXPECT_EQ(Text(*form, "Label_Logo"), stored);
        EXPECT_EQ(form->Image1Picture().Width(), c.width);
    }
}

TEST_F(FormRegistry, RedirectionIsRestoredWhenTheLogoFailsToLoad)
{
    const std::string name = "marquill-form-logo.ico";
    TScratchFile ico("C:\\windows\\Sysnative\\" + name, "not an icon at all");
    const std::string seen = GetSystemDir() + "\\" + name;
    SetRegString("Logo", seen);
    TMessageBoxCatcher boxes;
    auto form = OpenForm();

    ExpectErrorBox(boxes, "Icon image is not valid.", ApplicationWindow());
    EXPECT_EQ(GetFileAttributesA(seen.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FormRegistry, ApplyStoresTheFieldsUntrimmedAsStrings)
{
    auto form = OpenForm();
    SetText(*form, "Edit_Manufacturer", " Fabrikam ");
    SetText(*form, "Edit_Model", "Model 7");
    SetText(*form, "Edit_SHours", "");
    SetText(*form, "Edit_SPhone", "555-0100");
    SetText(*form, "Edit_SUrl", "http://fabrikam.example/support");
    TMessageBoxCatcher boxes;
    Click(*form, "Btn_Apply");

    EXPECT_EQ(boxes.Count(), 0);
    ExpectRegString("Manufacturer", " Fabrikam ");
    ExpectRegString("Model", "Model 7");
    ExpectRegString("SupportHours", "");
    ExpectRegString("SupportPhone", "555-0100");
    ExpectRegString("SupportURL", "http://fabrikam.example/support");
    // Loaded from an empty key: the logo path is empty, not a placeholder.
    ExpectRegString("Logo", "");
    // The 32-bit view is left alone.
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, OemKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
        EXPECT_NE(RegQueryValueExA(key, "Manufacturer", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
        RegCloseKey(key);
    }
}

// The values only the command line sets (a support app, trade-in and
// recycling links) have no field in the window: its Apply must leave them.
TEST_F(FormRegistry, ApplyLeavesTheCommandLineOnlyValuesAsTheyAre)
{
    HKEY key = OpenOemKey();
    ASSERT_NE(key, nullptr);
    for (const TOEMField* field : CommandLineOnlyFields())
        SetRegString(field->Name, std::string(field->Name) + " set by a script");
    auto form = OpenForm();
    SetText(*form, "Edit_Model", "Model 8");
    Click(*form, "Btn_Apply");
    ExpectRegString("Model", "Model 8");
    for (const TOEMField* field : CommandLineOnlyFields()) {
        ExpectRegString(field->Name, std::string(field->Name) + " set by a script");
        RegDeleteValueA(key, field->Name);
    }
    RegCloseKey(key);
}

TEST_F(FormRegistry, TypedTextsHaveNoLengthLimit)
{
    auto form = OpenForm();
    HWND edit = form->Control(TCtl::Edit_Manufacturer);
    const std::string typed(40000, 'w');
    // Replacing the selection goes through the same limit as typing.
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed.c_str()));
    ASSERT_EQ(GetWindowTextLengthA(edit), 40000);
    Click(*form, "Btn_Apply");
    ExpectRegString("Manufacturer", typed);
}

TEST_F(FormRegistry, RemoveClearsTheStoreButNotTheFields)
{
    SetRegString("Manufacturer", "Acme");
    SetRegString("Logo", "C:\\marquill-missing\\logo.bmp");
    auto form = OpenForm();
    Click(*form, "Btn_Remove");

    DWORD type = 0;
    std::string data;
    for (const TOEMField* field : RecordFields())
        EXPECT_FALSE(ReadRegValue64(HKEY_LOCAL_MACHINE, OemKey, field->Name, type, data)) << field->Name;
    EXPECT_EQ(Text(*form, "Edit_Manufacturer"), "Acme");
    EXPECT_EQ(Text(*form, "Label_Logo"), "C:\\marquill-missing\\logo.bmp");

    // Apply afterwards stores the fields again.
    Click(*form, "Btn_Apply");
    ExpectRegString("Manufacturer", "Acme");
    ExpectRegString("Logo", "C:\\marquill-missing\\logo.bmp");
}

LONG WINAPI RefusingLogoSet(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (std::strcmp(name, "Logo") == 0)
        return ERROR_ACCESS_DENIED;
    return ::RegSetValueExA(key, name, reserved, type, data, size);
}

// Windows shows only a bitmap as the logo: Apply stored an icon's path as
// it was, and Windows showed none.
TEST_F(FormRegistry, IconLogoIsConvertedIntoTheLogoFileOnApply)
{
    const std::string logoFile = "C:\\windows\\Sysnative\\oemlogo.bmp";
    TScratchFile icon(ExeDir() + "marquill-form-clear.ico", picture_test::AlphaIcon());
    TScratchFile converted(logoFile, "");
    DeleteFileA(logoFile.c_str());
    SetRegString("Logo", icon.Path());
    auto form = OpenForm();
    {
        // A refused value write takes the new file away again.
        TApiSwap<decltype(PlatformApi.RegSetValueExA)> refuse(PlatformApi.RegSetValueExA, RefusingLogoSet);
        TMessageBoxCatcher boxes;
        Click(*form, "Btn_Apply");
        ExpectErrorBox(boxes, "Failed to set data for 'Logo'", form->Handle());
        EXPECT_EQ(GetFileAttributesA(logoFile.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    TMessageBoxCatcher boxes;
    Click(*form, "Btn_Apply");
    EXPECT_EQ(boxes.Count(), 0);
    const std::string stored = GetSystemDir() + "\\oemlogo.bmp";
    ExpectRegString("Logo", stored);
    EXPECT_EQ(Text(*form, "Label_Logo"), stored);
    std::string bytes;
    ASSERT_TRUE(ReadFileInto(logoFile, bytes));
    ASSERT_GE(bytes.size(), 54u + 16 * 16 * 4);
    EXPECT_EQ(picture_test::Get32(bytes, 28) & 0xFFFF, 32u) << "bits per pixel";
    EXPECT_EQ(picture_test::Get32(bytes, 54 + 4 * (13 * 16 + 2)), 0x00FFFFFFu) << "transparent: white, alpha 0";

    Click(*form, "Btn_Remove");
    EXPECT_EQ(GetFileAttributesA(logoFile.c_str()), INVALID_FILE_ATTRIBUTES);
}

// A change that took the lock from a run that ended part-way goes on, and
// then tells the user to check the record.
TEST_F(FormRegistry, AbandonedLockIsToldInTheBoxAfterApplyAndRemove)
{
    auto form = OpenForm();
    SetText(*form, "Edit_Manufacturer", "Acme");
    for (const char* button : {"Btn_Apply", "Btn_Remove"}) {
        SCOPED_TRACE(button);
        const THandle waiter = AbandonStoreLock();
        TMessageBoxCatcher boxes;
        Click(*form, button);
        ASSERT_EQ(boxes.Count(), 1);
        EXPECT_EQ(boxes.Last().text, "Another Marquill ended while it was changing the OEM information; check that "
                                     "it holds what it should.");
        EXPECT_TRUE(boxes.Last().hasErrorIcon);
        DWORD type = 0;
        std::string data;
        EXPECT_EQ(ReadRegValue64(HKEY_LOCAL_MACHINE, OemKey, "Manufacturer", type, data),
                  std::strcmp(button, "Btn_Apply") == 0);
    }
}

TEST_F(FormRegistry, PagesSwitchOnlyByTheirButtonsAndBackFocusesTheFirstField)
{
    auto form = OpenForm();
    Click(*form, "Btn_About");
    EXPECT_EQ(form->ActivePageName(), "T_About");
    EXPECT_TRUE(Shown(*form, "T_About"));
    EXPECT_FALSE(Shown(*form, "T_XP"));
    EXPECT_EQ(FocusName(*form), "Btn_About");

    Click(*form, "Btn_Back");
    EXPECT_EQ(form->ActivePageName(), "T_XP");
    EXPECT_TRUE(Shown(*form, "T_XP"));
    EXPECT_FALSE(Shown(*form, "T_About"));
    EXPECT_EQ(FocusName(*form), "Edit_Manufacturer");
}

TEST_F(FormRegistry, TabVisitsTheShownControlsInTabOrder)
{
    auto form = OpenForm();
    ASSERT_EQ(FocusName(*form), "Edit_Manufacturer");
    const char* expected[] = {"Edit_Model", "Edit_SHours", "Edit_SPhone", "Edit_SUrl", "Btn_Open",
                              "Btn_Apply",  "Btn_Remove",  "Btn_About",   "Edit_Manufacturer"};
    for (const char* name : expected) {
        ASSERT_TRUE(PressTab(*form)) << "Tab did not move on towards " << name;
        EXPECT_EQ(FocusName(*form), name);
    }
}

// The field's selection as (start, end).
std::pair<DWORD, DWORD> Selection(const TAppFrm& form, const char* name)
{
    DWORD start = 0xdead, end = 0xdead;
    SendMessageA(ControlNamed(form, name), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// As in a dialog, a field the keyboard or a page change brings the focus to
// has its whole text selected, so typing replaces it.
TEST_F(FormRegistry, AFieldGivenTheFocusHasItsWholeTextSelected)
{
    SetRegString("Manufacturer", "Acme");
    SetRegString("Model", "Model 7");
    auto form = OpenForm();
    ASSERT_EQ(FocusName(*form), "Edit_Manufacturer");
    EXPECT_EQ(Selection(*form, "Edit_Manufacturer"), std::make_pair(DWORD{0}, DWORD{4}));

    SendMessageA(form->Control(TCtl::Edit_Model), EM_SETSEL, 2, 2);
    ASSERT_TRUE(PressTab(*form));
    ASSERT_EQ(FocusName(*form), "Edit_Model");
    EXPECT_EQ(Selection(*form, "Edit_Model"), std::make_pair(DWORD{0}, DWORD{7}));

    Click(*form, "Btn_About");
    SendMessageA(form->Control(TCtl::Edit_Manufacturer), EM_SETSEL, 1, 1);
    Click(*form, "Btn_Back");
    ASSERT_EQ(FocusName(*form), "Edit_Manufacturer");
    EXPECT_EQ(Selection(*form, "Edit_Manufacturer"), std::make_pair(DWORD{0}, DWORD{4}));
}

void Key(WORD key, bool up)
{
    keybd_event(static_cast<BYTE>(key), 0, up ? KEYEVENTF_KEYUP : 0, 0);
}

// Real key strokes through the input queue, so the modifier state is real.
TEST_F(FormRegistry, CtrlTabNeitherSwitchesPagesNorMovesTheFocusAndShiftTabGoesBack)
{
    auto form = OpenForm();
    SetForegroundWindow(form->Handle());
    ASSERT_TRUE(PumpUntil(*form, [&] { return GetForegroundWindow() == form->Handle(); }));
    ASSERT_EQ(FocusName(*form), "Edit_Manufacturer");

    Key(VK_CONTROL, false);
    Key(VK_TAB, false);
    Key(VK_TAB, true);
    Key(VK_CONTROL, true);
    // A plain Tab after it: once it has moved the focus, Ctrl+Tab was handled.
    Key(VK_TAB, false);
    Key(VK_TAB, true);
    ASSERT_TRUE(PumpUntil(*form, [&] { return FocusName(*form) != "Edit_Manufacturer"; }))
        << "the keys did not reach the window";
    EXPECT_EQ(FocusName(*form), "Edit_Model");
    EXPECT_EQ(form->ActivePageName(), "T_XP");
    EXPECT_TRUE(Shown(*form, "T_XP"));

    Key(VK_SHIFT, false);
    Key(VK_TAB, false);
    Key(VK_TAB, true);
    Key(VK_SHIFT, true);
    EXPECT_TRUE(PumpUntil(*form, [&] { return FocusName(*form) == "Edit_Manufacturer"; }))
        << "Shift+Tab did not go back: focus on " << FocusName(*form);
    // No tab character reached the field.
    EXPECT_EQ(Text(*form, "Edit_Manufacturer"), "");
    EXPECT_EQ(Text(*form, "Edit_Model"), "");
}

// Windows 95 and NT 4.0 have no hand cursor.
HCURSOR WINAPI LoadCursorWithoutHand(HINSTANCE instance, LPCSTR name)
{
    return name == IDC_HAND ? nullptr : LoadCursorA(instance, name);
}

TEST_F(FormRegistry, WebAddressKeepsAPointerWhereThereIsNoHandCursor)
{
    TApiSwap<decltype(PlatformApi.LoadCursorA)> swap(PlatformApi.LoadCursorA, LoadCursorWithoutHand);
    auto form = OpenForm();
    HWND label = form->Control(TCtl::Label10);
    SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
    SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(FormRegistry, WebAddressShowsAHandPointer)
{
    auto form = OpenForm();
    HWND label = form->Control(TCtl::Label10);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
    HWND notice = form->Control(TCtl::Label9);
    SendMessageA(notice, WM_SETCURSOR, reinterpret_cast<WPARAM>(notice), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
}

// Siblings come in the order of their rows, which screen readers read and
// name each field by (its label right before it); where controls overlap,
// the row made to lie over its earlier siblings does: the bottom bar over
// the page control, "Support Info" over "General". Every pair of siblings
// keeps that order, so a control moved or added later cannot end up read
// out of place or hidden under another.
TEST_F(FormRegistry, SiblingsComeInRowOrderAndStackedRowsLieAbove)
{
    auto form = OpenForm();
    Click(*form, "Btn_About");
    // Position of each window among its siblings, counted from the top.
    auto depth = [](HWND wnd) {
        int n = 0;
        for (HWND sib = GetWindow(wnd, GW_HWNDFIRST); sib && sib != wnd; sib = GetWindow(sib, GW_HWNDNEXT))
            ++n;
        return n;
    };
    int pairs = 0;
    for (size_t later = 0; later < FormControlCount; ++later) {
        const TControlDesc& b = FormControls[later];
        if (b.parent == TCtl::None)
            continue;
        for (size_t earlier = 0; earlier < later; ++earlier) {
            const TControlDesc& a = FormControls[earlier];
            if (a.parent != b.parent)
                continue;
            HWND laterWnd = form->Control(b.id), earlierWnd = form->Control(a.id);
            if (!laterWnd || !earlierWnd)
                continue;
            ++pairs;
            if (b.stacksOver && !a.stacksOver) {
                EXPECT_LT(depth(laterWnd), depth(earlierWnd)) << b.name << " lies under " << a.name;
            } else {
                EXPECT_LT(depth(earlierWnd), depth(laterWnd)) << b.name << " comes before " << a.name;
            }
        }
    }
    EXPECT_GT(pairs, 100);

    // A point in both the page control and the bottom bar belongs to the bar.
    HWND bar = form->Control(TCtl::Panel1);
    RECT barRect = RectInParent(bar);
    RECT pagesRect = RectInParent(form->Control(TCtl::PageControl1));
    POINT inBoth = {barRect.left + 1, barRect.top + 1};
    ASSERT_TRUE(PtInRect(&barRect, inBoth) && PtInRect(&pagesRect, inBoth));
    EXPECT_EQ(ChildWindowFromPointEx(form->Handle(), inBoth, CWP_SKIPINVISIBLE), bar);
}

TEST_F(FormRegistry, ClosingDestroysTheWindow)
{
    auto form = OpenForm();
    HWND wnd = form->Handle();
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(wnd); }));
    EXPECT_EQ(form->Handle(), nullptr);
}

// The windows of this thread that get a taskbar button: the visible
// unowned ones that are no tool windows, and any that asks for one.
std::vector<HWND> TaskbarWindows()
{
    struct TCollect {
        static BOOL CALLBACK Add(HWND wnd, LPARAM param)
        {
            const LONG exStyle = GetWindowLongA(wnd, GWL_EXSTYLE);
            const bool unowned = !GetWindow(wnd, GW_OWNER) && !(exStyle & WS_EX_TOOLWINDOW);
            if (IsWindowVisible(wnd) && (unowned || (exStyle & WS_EX_APPWINDOW)))
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(wnd);
            return TRUE;
        }
    };
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), TCollect::Add, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The taskbar showed the window's caption: the main window was unowned. The
// application window, titled with the program's title, stands for it there;
// minimising, restoring and closing go through it.
TEST_F(FormRegistry, TaskbarButtonBelongsToTheApplicationWindow)
{
    auto form = OpenForm();
    HWND main = form->Handle();
    HWND application = GetWindow(main, GW_OWNER);
    ASSERT_EQ(application, ApplicationWindow()) << "the window is not owned by the application window";
    char title[64] = {};
    GetWindowTextA(application, title, sizeof title);
    EXPECT_EQ(title, ProgramTitle());
    EXPECT_EQ(TaskbarWindows(), std::vector<HWND>{application});

    SendMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(application)) << "minimising left the taskbar button as it was";
    EXPECT_FALSE(IsWindowVisible(main));
    SendMessageA(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(application));
    EXPECT_TRUE(PumpUntil(*form, [&] { return IsWindowVisible(main) && GetActiveWindow() == main; }))
        << "restoring did not bring the window back";

    SendMessageA(application, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main)) << "closing the taskbar button left the window open";
    EXPECT_EQ(TaskbarWindows(), std::vector<HWND>{});
}

}  // namespace
