// The picture-open dialog driven as a user drives it: the real file dialog
// under Wine, its preview panel and the "Preview" window, read back from the
// screen. The dialog is modal, so the test's actions run as a script from a
// thread timer inside its message loop.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/ResText.h"
#include "base/WinHandles.h"
#include "tests/support/TestSupport.h"
#include "ui/PictureDialog.h"

namespace {

// ---- The parts of the file dialog ----

std::string TextOf(HWND wnd)
{
    char buf[1024] = {};
    if (wnd)
        GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

// The template child that holds the preview panel.
HWND PanelControl(HWND dlg, int id)
{
    HWND panel = FindDescendant(dlg, "#32770", true);
    return panel ? GetDlgItem(panel, id) : nullptr;
}

struct THintSearch {
    HWND control;
    std::string hint;
};

BOOL CALLBACK FindHint(HWND wnd, LPARAM param)
{
    auto* search = reinterpret_cast<THintSearch*>(param);
    char className[64] = {};
    GetClassNameA(wnd, className, sizeof className);
    if (lstrcmpiA(className, TOOLTIPS_CLASSA) != 0)
        return TRUE;
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    for (WPARAM i = 0; SendMessageA(wnd, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool)); ++i) {
        if (tool.uId != reinterpret_cast<UINT_PTR>(search->control))
            continue;
        char text[256];
        std::fill(std::begin(text), std::end(text), '\xdd');
        tool.lpszText = text;
        SendMessageA(wnd, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
        search->hint.assign(text, strnlen(text, sizeof text));
        return FALSE;
    }
    return TRUE;
}

// The hint that a tooltip of this thread gives for `control`.
std::string HintOf(HWND control)
{
    THintSearch search{control, "<no hint>"};
    if (control)
        EnumThreadWindows(GetCurrentThreadId(), FindHint, reinterpret_cast<LPARAM>(&search));
    return search.hint;
}

std::string RectText(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

// ---- Pixels ----

COLORREF PixelAt(HWND wnd, int x, int y)
{
    const TWindowDc dc(wnd);
    return GetPixel(dc.Get(), x, y);
}

struct TProbe {
    int x, y;
    bool inside;  // inside the drawn picture, else just outside it
};

// Points just inside each edge of the picture's rectangle and, where the box
// leaves room, just outside it: together they pin down size and position.
std::vector<TProbe> ProbesFor(const RECT& fit, const RECT& client)
{
    const int cx = (fit.left + fit.right) / 2, cy = (fit.top + fit.bottom) / 2;
    std::vector<TProbe> probes = {{cx, cy, true},
                                  {fit.left + 1, cy, true},
                                  {fit.right - 2, cy, true},
                                  {cx, fit.top + 1, true},
                                  {cx, fit.bottom - 2, true}};
    if (fit.left - 2 >= client.left)
        probes.push_back({fit.left - 2, cy, false});
    if (fit.right + 1 < client.right)
        probes.push_back({fit.right + 1, cy, false});
    if (fit.top - 2 >= client.top)
        probes.push_back({cx, fit.top - 2, false});
    if (fit.bottom + 1 < client.bottom)
        probes.push_back({cx, fit.bottom + 1, false});
    return probes;
}

// Empty when `wnd` shows a picture of `color` at exactly `fit`; else what differs.
std::string PictureMismatch(HWND wnd, const RECT& fit, COLORREF color)
{
    RECT client;
    GetClientRect(wnd, &client);
    std::string out;
    for (const TProbe& p : ProbesFor(fit, client)) {
        COLORREF c = PixelAt(wnd, p.x, p.y);
        if ((c == color) != p.inside)
            out += " pixel(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")=" + ColorText(c) +
                   (p.inside ? " expected " + ColorText(color) : " expected background");
    }
    return out.empty() ? out : "picture at " + RectText(fit) + ":" + out;
}

// Found without the geometry under test: along the middle row and column,
// the run of `color` must leave equal gaps (to a pixel) on both sides, reach
// both edges in at least one direction, since the picture is scaled to fit,
// and keep the picture's proportions (to a pixel of rounding). Empty when it
// does; else what was seen.
std::string NotCentredFit(HWND wnd, const RECT& box, int pictureWidth, int pictureHeight, COLORREF color)
{
    const TWindowDc dc(wnd);
    const int midX = (box.left + box.right) / 2, midY = (box.top + box.bottom) / 2;
    int left = box.right, right = box.left - 1, top = box.bottom, bottom = box.top - 1;
    for (int x = box.left; x < box.right; ++x)
        if (GetPixel(dc.Get(), x, midY) == color) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    for (int y = box.top; y < box.bottom; ++y)
        if (GetPixel(dc.Get(), midX, y) == color) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    const int gapLeft = left - box.left, gapRight = box.right - 1 - right;
    const int gapTop = top - box.top, gapBottom = box.bottom - 1 - bottom;
    const bool centred = right >= left && bottom >= top && std::abs(gapLeft - gapRight) <= 1 &&
                         std::abs(gapTop - gapBottom) <= 1;
    const bool fills = (gapLeft == 0 && gapRight == 0) || (gapTop == 0 && gapBottom == 0);
    const long long spanX = right - left + 1, spanY = bottom - top + 1;
    // The side that fills the box is exact; the other is rounded from it.
    const bool proportional =
        gapLeft == 0 && gapRight == 0
            ? std::llabs(spanY * pictureWidth - spanX * pictureHeight) <= pictureWidth
            : std::llabs(spanX * pictureHeight - spanY * pictureWidth) <= pictureHeight;
    if (centred && fills && proportional)
        return {};
    return "in " + RectText(box) + " the picture spans x " + std::to_string(left) + ".." + std::to_string(right) +
           ", y " + std::to_string(top) + ".." + std::to_string(bottom);
}

// The horizontal extent of the text-coloured pixels along the middle band of
// the window; -1 when there are none.
int TextSpan(HWND wnd)
{
    RECT client;
    GetClientRect(wnd, &client);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    const TWindowDc dc(wnd);
    int first = -1, last = -1;
    const int midY = client.bottom / 2;
    for (int y = midY - 6; y <= midY + 6; ++y)
        for (int x = 0; x < client.right; ++x)
            if (GetPixel(dc.Get(), x, y) == text) {
                if (first < 0 || x < first)
                    first = x;
                if (x > last)
                    last = x;
            }
    return first < 0 ? -1 : last - first + 1;
}

int TextWidth(HWND wnd, const char* text)
{
    const TWindowDc dc(wnd);
    const TSelectGuard font(dc.Get(), reinterpret_cast<HFONT>(SendMessageA(wnd, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc.Get(), text, lstrlenA(text), &size);
    return size.cx;
}

// ---- Picture files ----

const COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Green = RGB(0, 160, 0);

struct TSample {
    const char* name;
    int width, height;
    COLORREF color;
};
// Pictures of distinct proportions and colours; "big" is wider than any
// screen so that its preview window hits the three-quarter limit.
const TSample Samples[] = {
    {"wide.bmp", 40, 20, Red}, {"tall.bmp", 10, 30, Blue}, {"big.bmp", 2000, 100, Green}};
const char* const OtherFiles[] = {"broken.bmp", "empty.bmp", "notes.txt"};
const int ListedBitmaps = 5;

class PictureDialogGui : public testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathA(sizeof temp, temp), 0u);
        std::string dir = std::string(temp) + "marquill-dlg-" + std::to_string(GetCurrentProcessId()) + "-" +
                          std::to_string(GetTickCount());
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
        char longDir[MAX_PATH] = {};
        ASSERT_NE(GetLongPathNameA(dir.c_str(), longDir, sizeof longDir), 0u);
        dir_ = longDir;
        for (const TSample& s : Samples)
            ASSERT_TRUE(WriteWholeFile(Path(s.name), MakeBmp24(s.width, s.height, [&s](int, int) { return s.color; })));
        ASSERT_TRUE(WriteWholeFile(Path("broken.bmp"), "This is no picture at all, only text."));
        ASSERT_TRUE(WriteWholeFile(Path("empty.bmp"), ""));
        ASSERT_TRUE(WriteWholeFile(Path("notes.txt"), "not listed under the bitmap filter"));
        dialog_.Filter = "Bitmaps (*.bmp)|*.bmp";
    }

    void TearDown() override
    {
        SetResTextHook(nullptr);
        if (dir_.empty())
            return;
        for (const TSample& s : Samples)
            DeleteFileA(Path(s.name).c_str());
        for (const char* name : OtherFiles)
            DeleteFileA(Path(name).c_str());
        EXPECT_TRUE(RemoveDirectoryA(dir_.c_str())) << dir_ << " left behind";
    }

    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }

    // The dialog appears and lists the folder's bitmaps.
    void AddOpened(TModalScript& script, int listed = ListedBitmaps)
    {
        script.Add("file dialog appears", [this] { return (dlg_ = FindFileDialog()) != nullptr; });
        script.Add(
            "file list filled", [this, listed] { return FileDialogListed(dlg_) >= listed; }, 8000,
            [this] { return "listed " + std::to_string(FileDialogListed(dlg_)); });
    }

    void AddSelect(TModalScript& script, const char* name)
    {
        script.Add(std::string("select ") + name, [this, name] { return FileDialogSelect(dlg_, name); });
    }

    // The preview line and button show what `name` should give.
    void AddLineShows(TModalScript& script, const std::string& line, bool previewEnabled)
    {
        script.Add(
            "preview line reads '" + line + "'",
            [this, line, previewEnabled] {
                return TextOf(PanelControl(dlg_, TOpenPictureDialog::IdPictureLabel)) == line &&
                       IsWindowEnabled(PanelControl(dlg_, TOpenPictureDialog::IdPreviewButton)) ==
                           (previewEnabled ? TRUE : FALSE);
            },
            5000,
            [this] {
                return "line '" + TextOf(PanelControl(dlg_, TOpenPictureDialog::IdPictureLabel)) +
                       "', button enabled " +
                       std::to_string(IsWindowEnabled(PanelControl(dlg_, TOpenPictureDialog::IdPreviewButton)));
            });
    }

    void AddPreviewHintReads(TModalScript& script, const std::string& hint)
    {
        auto shown = [this] { return HintOf(PanelControl(dlg_, TOpenPictureDialog::IdPreviewButton)); };
        script.Add("Preview button's hint reads '" + hint + "'", [shown, hint] { return shown() == hint; }, 5000,
                   shown);
    }

    void AddAreaShowsPicture(TModalScript& script, const TSample& sample)
    {
        auto mismatch = [this, sample] {
            HWND area = PanelControl(dlg_, TOpenPictureDialog::IdPreviewArea);
            RECT client;
            GetClientRect(area, &client);
            return PictureMismatch(area, FitPictureRect(sample.width, sample.height, client), sample.color) +
                   NotCentredFit(area, client, sample.width, sample.height, sample.color);
        };
        script.Add(std::string("preview area shows ") + sample.name + " scaled and centred",
                   [mismatch] { return mismatch().empty(); }, 5000, mismatch);
    }

    // The area holds `text` (and no picture): text-coloured pixels spanning
    // about the width of `text` rather than of `other`.
    void AddAreaShowsText(TModalScript& script, const char* text, const char* other)
    {
        auto describe = [this, text, other] {
            HWND area = PanelControl(dlg_, TOpenPictureDialog::IdPreviewArea);
            return "text span " + std::to_string(TextSpan(area)) + ", '" + text + "' is " +
                   std::to_string(TextWidth(area, text)) + " wide, '" + other + "' " +
                   std::to_string(TextWidth(area, other));
        };
        script.Add(std::string("preview area reads '") + text + "'",
                   [this, text, other] {
                       HWND area = PanelControl(dlg_, TOpenPictureDialog::IdPreviewArea);
                       const int span = TextSpan(area);
                       return span > 0 &&
                              std::abs(span - TextWidth(area, text)) < std::abs(span - TextWidth(area, other));
                   },
                   5000, describe);
    }

    void AddPress(TModalScript& script, int id, const char* what)
    {
        script.Add(what, [this, id] {
            PostButtonClick(dlg_, id);
            return true;
        });
    }

    TOpenPictureDialog dialog_;
    std::string dir_;
    HWND dlg_ = nullptr;
    bool result_ = false;
};

// ---- Choosing and cancelling ----

struct TTypedCase {
    const char* name;
    const char* typed;
};

class PictureDialogTyped : public PictureDialogGui, public testing::WithParamInterface<TTypedCase> {};

// Whatever name is typed comes back as a full path, unchecked and without an
// extension added: loading it is the caller's business.
TEST_P(PictureDialogTyped, GivesTheFullPathOfWhatWasTyped)
{
    dialog_.FileName = Path("wide.bmp");
    char before[MAX_PATH] = {}, after[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof before, before);
    TModalScript script;
    AddOpened(script);
    script.Add("type the name", [this] { return SetWindowTextA(FileDialogNameEdit(dlg_), GetParam().typed) != FALSE; });
    AddPress(script, IDOK, "press Open");
    ASSERT_TRUE(script.Run([this] { result_ = dialog_.Execute(nullptr); }));
    EXPECT_TRUE(result_);
    EXPECT_EQ(dialog_.FileName, Path(GetParam().typed));
    // Left in the picked folder, the process would keep it from being deleted.
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(Names, PictureDialogTyped,
                         testing::Values(TTypedCase{"listed_bitmap", "tall.bmp"},
                                         TTypedCase{"missing_icon", "missing.ico"},
                                         TTypedCase{"no_extension", "noext"},
                                         TTypedCase{"not_a_picture", "notes.txt"},
                                         TTypedCase{"missing_folder", "nofolder\\x.bmp"}),
                         [](const testing::TestParamInfo<TTypedCase>& info) { return std::string(info.param.name); });

TEST_F(PictureDialogGui, CancelLeavesFileNameAlone)
{
    dialog_.FileName = Path("tall.bmp");
    TModalScript script;
    AddOpened(script);
    script.Add("type another name", [this] { return SetWindowTextA(FileDialogNameEdit(dlg_), "wide.bmp") != FALSE; });
    AddPress(script, IDCANCEL, "press Cancel");
    ASSERT_TRUE(script.Run([this] { result_ = dialog_.Execute(nullptr); }));
    EXPECT_FALSE(result_);
    EXPECT_EQ(dialog_.FileName, Path("tall.bmp"));
}

TEST_F(PictureDialogGui, OffersTheLastChosenPathNextTime)
{
    dialog_.FileName.clear();
    TModalScript first;
    first.Add("file dialog appears", [this] { return (dlg_ = FindFileDialog()) != nullptr; });
    first.Add("file list shown", [this] { return FileDialogListed(dlg_) >= 0; });
    first.Add("type the full path", [this] { return SetWindowTextA(FileDialogNameEdit(dlg_), Path("tall.bmp").c_str()) != FALSE; });
    AddPress(first, IDOK, "press Open");
    ASSERT_TRUE(first.Run([this] { result_ = dialog_.Execute(nullptr); }));
    ASSERT_TRUE(result_);
    ASSERT_EQ(dialog_.FileName, Path("tall.bmp"));

    std::string offeredName, offeredFolder;
    TModalScript second;
    AddOpened(second);
    second.Add("read what is offered", [&] {
        offeredName = TextOf(FileDialogNameEdit(dlg_));
        char folder[MAX_PATH + 1] = {};
        SendMessageA(dlg_, CDM_GETFOLDERPATH, sizeof folder - 1, reinterpret_cast<LPARAM>(folder));
        offeredFolder = folder;
        return true;
    });
    // The offered file is previewed before anything is clicked.
    AddLineShows(second, " (10x30)", true);
    AddPress(second, IDCANCEL, "press Cancel");
    ASSERT_TRUE(second.Run([this] { result_ = dialog_.Execute(nullptr); }));
    EXPECT_FALSE(result_);
    EXPECT_EQ(offeredName, "tall.bmp");
    EXPECT_EQ(offeredFolder, dir_);
    EXPECT_EQ(dialog_.FileName, Path("tall.bmp"));
}

TEST_F(PictureDialogGui, ListsOnlyBitmapsUnderTheOneFilter)
{
    dialog_.FileName = Path("wide.bmp");
    int filters = -1, listed = -1, textAt = 0;
    std::string shown;
    TModalScript script;
    AddOpened(script);
    script.Add("read the filter and the list", [&] {
        HWND types = GetDlgItem(dlg_, cmb1);
        filters = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
        char text[256] = {};
        const LRESULT current = SendMessageA(types, CB_GETCURSEL, 0, 0);
        if (current >= 0)
            SendMessageA(types, CB_GETLBTEXT, static_cast<WPARAM>(current), reinterpret_cast<LPARAM>(text));
        shown = text;
        listed = FileDialogListed(dlg_);
        textAt = FileDialogFind(dlg_, "notes.txt");
        return true;
    });
    AddPress(script, IDCANCEL, "press Cancel");
    ASSERT_TRUE(script.Run([this] { result_ = dialog_.Execute(nullptr); }));
    EXPECT_EQ(filters, 1);
    EXPECT_EQ(shown, "Bitmaps (*.bmp)");
    EXPECT_EQ(listed, ListedBitmaps);
    EXPECT_EQ(textAt, -1) << "notes.txt listed under the bitmap filter";
}

// ---- The preview panel ----

TEST_F(PictureDialogGui, PreviewFollowsTheSelection)
{
    dialog_.FileName = Path("notes.txt");
    TModalScript script;
    AddOpened(script);
    // The offered file is no picture: nothing to show yet.
    AddLineShows(script, "Picture:", false);
    AddAreaShowsText(script, "(None)", "Invalid image");
    AddPreviewHintReads(script, "Preview");

    AddSelect(script, "wide.bmp");
    AddLineShows(script, " (40x20)", true);
    AddAreaShowsPicture(script, Samples[0]);

    AddSelect(script, "broken.bmp");
    AddLineShows(script, "Picture:", false);
    AddAreaShowsText(script, "(None)", "Invalid image");

    AddSelect(script, "tall.bmp");
    AddLineShows(script, " (10x30)", true);
    AddAreaShowsPicture(script, Samples[1]);

    // A bitmap file of 0 bytes loads as an empty picture: nothing to draw.
    AddSelect(script, "empty.bmp");
    AddLineShows(script, " (0x0)", false);
    AddAreaShowsText(script, "Invalid image", "(None)");

    AddSelect(script, "big.bmp");
    AddLineShows(script, " (2000x100)", true);
    AddAreaShowsPicture(script, Samples[2]);

    AddPress(script, IDCANCEL, "press Cancel");
    ASSERT_TRUE(script.Run([this] { result_ = dialog_.Execute(nullptr); }));
    EXPECT_FALSE(result_);
}

// The panel's texts are standard texts: each is looked up when it is
// shown, and the size template before its numbers are filled in.
std::string FakeTranslation(const std::string& english)
{
    static const char* const table[][2] = {{"Picture:", "Bild:"},
                                           {" (%dx%d)", " (%d mal %d)"},
                                           {"Preview", "Vorschau"},
                                           {"(None)", "(Keines)"},
                                           {"Invalid image", "Kein gueltiges Bild"}};
    for (const auto& entry : table)
        if (english == entry[0])
            return entry[1];
    return english;
}

TEST_F(PictureDialogGui, ShowsItsTextsTranslated)
{
    SetResTextHook(FakeTranslation);
    dialog_.FileName = Path("notes.txt");
    HWND preview = nullptr;
    TModalScript script;
    AddOpened(script);
    AddLineShows(script, "Bild:", false);
    AddAreaShowsText(script, "(Keines)", "Kein gueltiges Bild");
    script.Add("button reads 'Vorschau'", [this] {
        return TextOf(PanelControl(dlg_, TOpenPictureDialog::IdPreviewButton)) == "Vorschau";
    }, 5000, [this] { return TextOf(PanelControl(dlg_, TOpenPictureDialog::IdPreviewButton)); });
    AddPreviewHintReads(script, "Vorschau");
    AddSelect(script, "empty.bmp");
    AddLineShows(script, " (0 mal 0)", false);
    AddAreaShowsText(script, "Kein gueltiges Bild", "(Keines)");
    AddSelect(script, "wide.bmp");
    AddLineShows(script, " (40 mal 20)", true);
    script.Add("press Vorschau", [this] {
        PostMessageA(PanelControl(dlg_, TOpenPictureDialog::IdPreviewButton), BM_CLICK, 0, 0);
        return true;
    });
    script.Add("window 'Vorschau' appears", [&] { return (preview = FindThreadDialog("Vorschau", dlg_)) != nullptr; });
    script.Add("press Escape", [&] { return PostMessageA(preview, WM_KEYDOWN, VK_ESCAPE, 0x00010001) != FALSE; });
    script.Add("window closes", [&] { return !IsWindow(preview); });
    AddPress(script, IDCANCEL, "press Cancel");
    ASSERT_TRUE(script.Run([this] { result_ = dialog_.Execute(nullptr); }));
    EXPECT_FALSE(result_);
}

// ---- The "Preview" window ----

struct TPreviewSeen {
    RECT window = {};
    RECT client = {};
    LONG style = 0;
    std::string mismatch = "not looked at";
};

class PictureDialogPreview : public PictureDialogGui, public testing::WithParamInterface<TSample> {};

TEST_P(PictureDialogPreview, OpensCentredWithinThreeQuartersAndClosesOnEscape)
{
    const TSample& sample = GetParam();
    dialog_.FileName = Path("notes.txt");
    HWND preview = nullptr;
    TPreviewSeen seen;
    TModalScript script;
    AddOpened(script);
    AddSelect(script, sample.name);
    AddLineShows(script, " (" + std::to_string(sample.width) + "x" + std::to_string(sample.height) + ")", true);
    script.Add("press Preview", [this] {
        HWND button = PanelControl(dlg_, TOpenPictureDialog::IdPreviewButton);
        PostMessageA(button, BM_CLICK, 0, 0);
        return true;
    });
    script.Add("preview window appears", [&] { return (preview = FindThreadDialog("Preview", dlg_)) != nullptr; });
    script.Add(
        "preview window shows the picture",
        [&] {
            GetWindowRect(preview, &seen.window);
            GetClientRect(preview, &seen.client);
            seen.style = GetWindowLongA(preview, GWL_STYLE);
            RECT box = seen.client;
            InflateRect(&box, -5, -5);
            seen.mismatch = PictureMismatch(preview, FitPictureRect(sample.width, sample.height, box), sample.color) +
                            NotCentredFit(preview, box, sample.width, sample.height, sample.color);
            return seen.mismatch.empty();
        },
        5000, [&] { return seen.mismatch; });
    script.Add("press Escape", [&] { return PostMessageA(preview, WM_KEYDOWN, VK_ESCAPE, 0x00010001) != FALSE; });
    script.Add("preview window closes", [&] { return !IsWindow(preview) && IsWindowEnabled(dlg_); });
    AddPress(script, IDCANCEL, "press Cancel");
    ASSERT_TRUE(script.Run([this] { result_ = dialog_.Execute(nullptr); }));
    EXPECT_FALSE(result_);

    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    const int width = seen.window.right - seen.window.left, height = seen.window.bottom - seen.window.top;
    const int frameW = width - seen.client.right, frameH = height - seen.client.bottom;
    EXPECT_TRUE(seen.style & WS_THICKFRAME) << "preview window cannot be resized";
    EXPECT_LE(width, screenW * 3 / 4);
    EXPECT_LE(height, screenH * 3 / 4);
    // The picture plus 5 pixels on each side, unless that is more than
    // allowed or less than a captioned window can be.
    EXPECT_EQ(width, std::min(std::max(sample.width + 10 + frameW, GetSystemMetrics(SM_CXMINTRACK)), screenW * 3 / 4));
    EXPECT_EQ(height, std::min(std::max(sample.height + 10 + frameH, GetSystemMetrics(SM_CYMINTRACK)), screenH * 3 / 4));
    EXPECT_LE(std::abs((seen.window.left + seen.window.right) - screenW), 1) << RectText(seen.window);
    EXPECT_LE(std::abs((seen.window.top + seen.window.bottom) - screenH), 1) << RectText(seen.window);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureDialogPreview, testing::Values(Samples[0], Samples[2]),
                         [](const testing::TestParamInfo<TSample>& info) {
                             std::string name = info.param.name;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
