// The captioned frame panel drawn in a real window: pixels read back from the
// screen, property changes, forwarding of children's messages, Tab order.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "base/WinHandles.h"
#include "tests/support/TestSupport.h"
#include "ui/Zanth.Panel.h"

namespace {

const COLORREF PageColor = RGB(0x1A, 0x21, 0x31);
const COLORREF TextColor = RGB(0xD4, 0xD4, 0xD4);
const COLORREF Blue = RGB(0x00, 0x63, 0xB1);
const COLORREF HostBrushColor = RGB(0x4A, 0x5F, 0x8C);
const char* const HostClass = "PanelTestHost";

// What the host window saw of the messages its panels pass on.
struct THostLog {
    std::vector<UINT> messages;
    std::vector<LPARAM> params;
    std::vector<WPARAM> wparams;
};
THostLog g_log;
HBRUSH g_hostBrush = nullptr;

LRESULT CALLBACK HostProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_NOTIFY:
    case WM_DRAWITEM:
        g_log.messages.push_back(msg);
        g_log.wparams.push_back(wParam);
        g_log.params.push_back(lParam);
        if (msg == WM_CTLCOLORSTATIC) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, HostBrushColor);
            SetTextColor(dc, TextColor);
            return reinterpret_cast<LRESULT>(g_hostBrush);
        }
        return 0;
    default:
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

class TFont {
public:
    explicit TFont(int height)
        : font_(CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma"))
    {
    }
    ~TFont() { DeleteObject(font_); }
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;
    HFONT Get() const { return font_; }

private:
    HFONT font_;
};

// The caption's extent in a font, measured apart from the panel.
SIZE MeasureText(HFONT font, const std::string& text)
{
    TMemoryDC dc(nullptr, font);
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), text.data(), static_cast<int>(text.size()), &size);
    return size;
}

std::string FaceOf(HFONT font)
{
    TMemoryDC dc(nullptr, font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc.Get(), sizeof face, face);
    return face;
}

// The blocks this test program gives back while watching, recorded by its
// own operator delete: a panel's object is freed when the block it lives in
// comes back. Fixed storage, since nothing may be allocated from inside delete.
struct TFreedBlocks {
    void Watch() { count = 0, watching = true; }
    void Stop() { watching = false; }
    void Record(void* block)
    {
        if (watching && block && count < sizeof blocks / sizeof blocks[0])
            blocks[count++] = block;
    }
    bool Saw(const void* block) const
    {
        for (size_t i = 0; i < count; ++i)
            if (blocks[i] == block)
                return true;
        return false;
    }
    void* blocks[4096] = {};
    size_t count = 0;
    bool watching = false;
};
TFreedBlocks g_freed;

bool HasPendingPaint(HWND wnd) { return GetUpdateRect(wnd, nullptr, FALSE) != FALSE; }

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log = THostLog();
        g_hostBrush = CreateSolidBrush(HostBrushColor);
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = HostProc;
        wc.hInstance = instance;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = HostClass;
        RegisterClassExA(&wc);
        TZanthPanel::Register(instance);
        host_ = CreateWindowExA(0, HostClass, "panel test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 700,
                                400, nullptr, nullptr, instance, nullptr);
        ASSERT_NE(host_, nullptr) << "the host window did not open";
        ASSERT_TRUE(WaitFor([this] { return IsWindowVisible(host_) && !HasPendingPaint(host_); }))
            << "the host window was never shown and painted";
    }

    void TearDown() override
    {
        if (host_)
            DestroyWindow(host_);
        DeleteObject(g_hostBrush);
        g_hostBrush = nullptr;
    }

    // A panel dressed as the window's groups are, shown and fully painted.
    TZanthPanel* MakePanel(const std::string& caption, int width, int height, HFONT font, bool showBorder)
    {
        TZanthPanel* panel = TZanthPanel::Create(host_, 10, 10, width, height, 100);
        EXPECT_NE(panel, nullptr) << "the panel window was not created";
        if (!panel)
            return nullptr;
        panel->SetColor(PageColor);
        panel->SetFont(font, TextColor);
        panel->SetCaption(caption);
        panel->SetShowBorder(showBorder);
        EXPECT_TRUE(WaitForPainted(panel)) << "the panel never painted";
        return panel;
    }

    static bool WaitForPainted(TZanthPanel* panel)
    {
        // A panel is created with its whole area waiting for WM_PAINT.
        return WaitFor([panel] { return IsWindowVisible(panel->Handle()) && !HasPendingPaint(panel->Handle()); });
    }

    static TPixels Capture(HWND wnd)
    {
        TPixels px;
        EXPECT_TRUE(CaptureClient(wnd, px)) << "could not read the panel's pixels";
        return px;
    }

    HWND host_ = nullptr;
};

// The pixels a frame of the given geometry must colour, as rectangles of
// [left, right] x [top, bottom], inclusive.
struct TSpan {
    int left, top, right, bottom;
};

std::vector<TSpan> ExpectedFrame(int w, int h, int textWidth, int half)
{
    std::vector<TSpan> spans = {
        {1, half + 1, 1, h - 2},      // left edge
        {2, half, 11, half},          // top edge before the caption
        {w - 3, half + 1, w - 3, h - 2},  // right edge
        {2, h - 1, w - 4, h - 1},     // bottom edge
    };
    // The right part runs from (T + 18, h) towards (W - 3, h), end excluded,
    // right to left when the caption is wider than the panel.
    const int gapEnd = textWidth + 18;
    if (gapEnd <= w - 4)
        spans.push_back({gapEnd, half, w - 4, half});
    else if (gapEnd >= w - 2)
        spans.push_back({w - 2, half, gapEnd < w - 1 ? gapEnd : w - 1, half});
    return spans;
}

bool InSpans(const std::vector<TSpan>& spans, int x, int y)
{
    for (const TSpan& s : spans)
        if (x >= s.left && x <= s.right && y >= s.top && y <= s.bottom)
            return true;
    return false;
}

struct TFrameCase {
    const char* caption;
    int width, height, fontHeight;
};

void PrintTo(const TFrameCase& c, std::ostream* os)
{
    *os << '"' << c.caption << "\" " << c.width << 'x' << c.height << " font " << c.fontHeight;
}

// Every pixel of the panel: frame pixels in the border colour, the caption's
// box holding the text, everything else the panel's colour.
void CheckFramedPanel(const TPixels& px, const TFrameCase& c, HFONT font)
{
    SCOPED_TRACE(std::string("caption \"") + c.caption + "\" " + std::to_string(c.width) + "x" +
                 std::to_string(c.height));
    ASSERT_EQ(px.width, c.width);
    ASSERT_EQ(px.height, c.height);
    const SIZE text = MeasureText(font, c.caption);
    const int half = text.cy / 2;
    const std::vector<TSpan> frame = ExpectedFrame(c.width, c.height, text.cx, half);
    int wrong = 0;
    int textPixels = 0;
    for (int y = 0; y < px.height; ++y) {
        for (int x = 0; x < px.width; ++x) {
            const COLORREF got = px.At(x, y);
            const bool inCaption = x >= 14 && x <= 15 + text.cx && y < text.cy;
            COLORREF want = PageColor;
            if (InSpans(frame, x, y)) {
                want = Blue;
            } else if (inCaption) {
                // Anti-aliased text may take any shade here, but never the frame's.
                textPixels += got == TextColor;
                if (got != Blue)
                    continue;
            }
            if (got != want && ++wrong <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << ColorText(got) << ", want "
                              << ColorText(want);
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels differing from the expected frame";
    EXPECT_GT(textPixels, 0) << "no caption pixel in the text colour";
    // The top edge is broken from x = 12 to x = T + 18 where the caption
    // stands (a caption wider than the panel gets the last two pixels back).
    for (int x = 12; x < text.cx + 18 && x < px.width - 2; ++x)
        ASSERT_NE(px.At(x, half), Blue) << "the frame runs through the caption at x = " << x;
}

class PanelFrameTest : public PanelTest, public ::testing::WithParamInterface<TFrameCase> {};

TEST_P(PanelFrameTest, DrawsFiveLinesAroundTheCaption)
{
    const TFrameCase c = GetParam();
    TFont font(c.fontHeight);
    ASSERT_EQ(FaceOf(font.Get()), "Tahoma") << "Tahoma is missing from the prefix";
    TZanthPanel* panel = MakePanel(c.caption, c.width, c.height, font.Get(), true);
    ASSERT_NE(panel, nullptr);
    CheckFramedPanel(Capture(panel->Handle()), c, font.Get());
}

INSTANTIATE_TEST_SUITE_P(Captions, PanelFrameTest,
                         ::testing::Values(TFrameCase{"General", 393, 171, 11},
                                           TFrameCase{"Support Info", 393, 286, 11},
                                           TFrameCase{"Picture", 209, 231, 11},
                                           TFrameCase{"About", 608, 145, 11},
                                           // the half height follows the panel's own font
                                           TFrameCase{"General", 200, 90, 24},
                                           // the top edge's right part starts outside the panel
                                           TFrameCase{"A caption far wider than its panel", 60, 28, 11},
                                           // ... starts one pixel past the right edge: one pixel shows
                                           TFrameCase{"General", 62, 30, 11},
                                           // ... starts on the right edge: nothing to draw
                                           TFrameCase{"General", 63, 30, 11}));

TEST_F(PanelTest, TahomaCaptionHasTheExpectedMetrics)
{
    // The window's layout rests on these: a 13 pixel line, so the top edge on row 6.
    TFont font(11);
    const SIZE general = MeasureText(font.Get(), "General");
    EXPECT_EQ(general.cy, 13);
    EXPECT_EQ(general.cx, 42);
    TZanthPanel* panel = MakePanel("General", 393, 171, font.Get(), true);
    ASSERT_NE(panel, nullptr);
    const TPixels px = Capture(panel->Handle());
    EXPECT_EQ(px.At(2, 6), Blue);
    EXPECT_EQ(px.At(11, 6), Blue);
    EXPECT_NE(px.At(12, 6), Blue);
    EXPECT_NE(px.At(59, 6), Blue);
    EXPECT_EQ(px.At(60, 6), Blue);
    EXPECT_EQ(px.At(389, 6), Blue);
    EXPECT_NE(px.At(390, 6), Blue);
}

TEST_F(PanelTest, EmptyCaptionDrawsRoundedRectangleInsetByTwo)
{
    TFont font(11);
    const int w = 120, h = 60;
    TZanthPanel* panel = MakePanel("", w, h, font.Get(), true);
    ASSERT_NE(panel, nullptr);
    const TPixels px = Capture(panel->Handle());
    for (int y = 4; y <= h - 5; ++y) {
        ASSERT_EQ(px.At(2, y), Blue) << "left edge at y = " << y;
        ASSERT_EQ(px.At(w - 3, y), Blue) << "right edge at y = " << y;
    }
    for (int x = 4; x <= w - 5; ++x) {
        ASSERT_EQ(px.At(x, 2), Blue) << "top edge at x = " << x;
        ASSERT_EQ(px.At(x, h - 3), Blue) << "bottom edge at x = " << x;
    }
    // Corners are rounded, not square.
    EXPECT_NE(px.At(2, 2), Blue);
    EXPECT_NE(px.At(w - 3, h - 3), Blue);
    // Filled with the panel's colour inside, the panel's colour outside.
    for (int y = 3; y <= h - 4; ++y)
        for (int x = 3; x <= w - 4; ++x)
            ASSERT_EQ(px.At(x, y), PageColor) << "inside at (" << x << ", " << y << ")";
    for (int i = 0; i < w; ++i) {
        ASSERT_EQ(px.At(i, 0), PageColor);
        ASSERT_EQ(px.At(i, 1), PageColor);
        ASSERT_EQ(px.At(i, h - 2), PageColor);
        ASSERT_EQ(px.At(i, h - 1), PageColor);
    }
    for (int i = 0; i < h; ++i) {
        ASSERT_EQ(px.At(0, i), PageColor);
        ASSERT_EQ(px.At(1, i), PageColor);
        ASSERT_EQ(px.At(w - 2, i), PageColor);
        ASSERT_EQ(px.At(w - 1, i), PageColor);
    }
}

TEST_F(PanelTest, WithoutBorderOnlyTheCaptionIsDrawn)
{
    TFont font(11);
    for (const char* caption : {"General", ""}) {
        SCOPED_TRACE(std::string("caption \"") + caption + "\"");
        TZanthPanel* panel = MakePanel(caption, 150, 60, font.Get(), false);
        ASSERT_NE(panel, nullptr);
        const TPixels px = Capture(panel->Handle());
        const SIZE text = MeasureText(font.Get(), caption);
        int textPixels = 0;
        for (int y = 0; y < px.height; ++y) {
            for (int x = 0; x < px.width; ++x) {
                const bool inCaption = x >= 14 && x <= 15 + text.cx && y < text.cy;
                if (inCaption) {
                    textPixels += px.At(x, y) == TextColor;
                    ASSERT_NE(px.At(x, y), Blue);
                } else {
                    ASSERT_EQ(px.At(x, y), PageColor) << "at (" << x << ", " << y << ")";
                }
            }
        }
        if (*caption) {
            EXPECT_GT(textPixels, 0) << "the caption was not drawn";
        }
        DestroyWindow(panel->Handle());
    }
}

// Screen readers name a window by its text; nothing draws it (the tests
// above find no pixel but the caption's and the frame's).
TEST_F(PanelTest, CaptionIsTheWindowTextForScreenReaders)
{
    TFont font(11);
    TZanthPanel* panel = MakePanel("General", 100, 40, font.Get(), true);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Caption(), "General");
    char text[32];
    std::memset(text, 0xdd, sizeof text);
    EXPECT_EQ(GetWindowTextA(panel->Handle(), text, sizeof text), 7);
    EXPECT_STREQ(text, "General");
    panel->SetCaption("Picture");
    EXPECT_EQ(GetWindowTextA(panel->Handle(), text, sizeof text), 7);
    EXPECT_STREQ(text, "Picture");
}

// Setting a property to its current value must not paint or ask for a paint.
struct TSetter {
    const char* name;
    void (*same)(TZanthPanel&);
    void (*changed)(TZanthPanel&);
    int x, y;          // a pixel the change alters
    COLORREF before;   // its colour before the change
    COLORREF after;    // and after
};

const TSetter Setters[] = {
    {"BorderColor", [](TZanthPanel& p) { p.SetBorderColor(Blue); },
     [](TZanthPanel& p) { p.SetBorderColor(RGB(0xFF, 0x00, 0x00)); }, 1, 30, Blue, RGB(0xFF, 0x00, 0x00)},
    {"ShowBorder", [](TZanthPanel& p) { p.SetShowBorder(true); }, [](TZanthPanel& p) { p.SetShowBorder(false); }, 1,
     30, Blue, PageColor},
    // "General" leaves the gap at x 12..59 with its text ending at 56; "Go"
    // ends the gap at 18 + its width.
    {"Caption", [](TZanthPanel& p) { p.SetCaption("General"); }, [](TZanthPanel& p) { p.SetCaption("Go"); }, 58,
     6, PageColor, Blue},
};

// A marker drawn over the panel survives a setter only when it did not paint.
void DrawMarker(HWND wnd, int x, int y)
{
    TWindowDc dc(wnd);
    RECT spot = {x, y, x + 1, y + 1};
    FillRect(dc.Get(), &spot, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

TEST_F(PanelTest, SameValueNeitherPaintsNorInvalidates)
{
    TFont font(11);
    for (const TSetter& s : Setters) {
        SCOPED_TRACE(s.name);
        TZanthPanel* panel = MakePanel("General", 200, 80, font.Get(), true);
        ASSERT_NE(panel, nullptr);
        DrawMarker(panel->Handle(), s.x, s.y);
        ASSERT_EQ(Capture(panel->Handle()).At(s.x, s.y), RGB(0xFF, 0xFF, 0xFF));
        s.same(*panel);
        EXPECT_EQ(Capture(panel->Handle()).At(s.x, s.y), RGB(0xFF, 0xFF, 0xFF)) << "the panel painted again";
        EXPECT_FALSE(HasPendingPaint(panel->Handle()));
        DestroyWindow(panel->Handle());
    }
}

TEST_F(PanelTest, NewValuePaintsAtOnceWithoutWmPaint)
{
    TFont font(11);
    for (const TSetter& s : Setters) {
        SCOPED_TRACE(s.name);
        TZanthPanel* panel = MakePanel("General", 200, 80, font.Get(), true);
        ASSERT_NE(panel, nullptr);
        ASSERT_EQ(Capture(panel->Handle()).At(s.x, s.y), s.before);
        // No message is pumped between the change and the read-back.
        s.changed(*panel);
        EXPECT_FALSE(HasPendingPaint(panel->Handle())) << "asked for a deferred repaint instead";
        EXPECT_EQ(Capture(panel->Handle()).At(s.x, s.y), s.after);
        DestroyWindow(panel->Handle());
    }
}

TEST_F(PanelTest, ImmediatePaintLeavesChildrenAlone)
{
    TFont font(11);
    TZanthPanel* panel = MakePanel("General", 200, 80, font.Get(), true);
    ASSERT_NE(panel, nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 20, 30, 40, 20,
                                 panel->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(WaitFor([&] { return !HasPendingPaint(child) && !HasPendingPaint(panel->Handle()); }));
    const COLORREF childColor = Capture(panel->Handle()).At(30, 40);
    ASSERT_NE(childColor, PageColor) << "the child never showed";
    panel->SetBorderColor(RGB(0xFF, 0, 0));
    EXPECT_EQ(Capture(panel->Handle()).At(30, 40), childColor) << "the panel painted over its child";
}

TEST_F(PanelTest, PrintClientDrawsTheFrameIntoTheGivenDc)
{
    // How a themed button gets the background behind its rounded corners.
    TFont font(11);
    const int w = 200, h = 80;
    TZanthPanel* panel = MakePanel("General", w, h, font.Get(), true);
    ASSERT_NE(panel, nullptr);
    TWindowDc screen(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TGdiObject bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_NE(bitmap.Get(), nullptr);
    TMemoryDC mem(screen.Get(), bitmap.Get());
    ASSERT_NE(mem.Get(), nullptr);
    SendMessageA(panel->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem.Get()), PRF_CLIENT);
    GdiFlush();
    TPixels px;
    px.width = w;
    px.height = h;
    for (int i = 0; i < w * h; ++i) {
        const DWORD p = static_cast<const DWORD*>(bits)[i];
        px.data.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
    EXPECT_EQ(px.At(w / 2, h / 2), PageColor) << "no background painted";
    for (const std::string& error : CaptionedFrameErrors(px, MeasureText(font.Get(), "General"), Blue))
        ADD_FAILURE() << error;
}

TEST_F(PanelTest, DefaultsAtCreation)
{
    TZanthPanel* panel = TZanthPanel::Create(host_, 0, 0, 0, 0);
    ASSERT_NE(panel, nullptr);
    RECT rc{};
    GetClientRect(panel->Handle(), &rc);
    EXPECT_EQ(rc.right, TZanthPanel::DefaultWidth);
    EXPECT_EQ(rc.bottom, TZanthPanel::DefaultHeight);
    EXPECT_EQ(TZanthPanel::DefaultWidth, 60);
    EXPECT_EQ(TZanthPanel::DefaultHeight, 28);
    EXPECT_EQ(panel->Caption(), "");
    EXPECT_EQ(panel->BorderColor(), RGB(0x00, 0x63, 0xB1));
    EXPECT_FALSE(panel->ShowBorder());
    EXPECT_TRUE(panel->ParentBackground());
    const LONG style = GetWindowLongA(panel->Handle(), GWL_STYLE);
    const LONG exStyle = GetWindowLongA(panel->Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_CLIPSIBLINGS);
    EXPECT_FALSE(style & WS_BORDER) << "no border style";
    EXPECT_FALSE(exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE)) << "no bevels";
    EXPECT_TRUE(exStyle & WS_EX_CONTROLPARENT);
    EXPECT_EQ(TZanthPanel::FromHandle(panel->Handle()), panel);
    EXPECT_EQ(TZanthPanel::FromHandle(host_), nullptr) << "a window of another class is no panel";
}

TEST_F(PanelTest, WithoutAColourOfItsOwnThePanelShowsWhatLiesBehindIt)
{
    TFont font(11);
    TZanthPanel* outer = MakePanel("General", 200, 100, font.Get(), true);
    ASSERT_NE(outer, nullptr);
    // Over the outer panel's left frame line, and straight on the host, whose
    // class brush is black.
    TZanthPanel* inner = TZanthPanel::Create(outer->Handle(), 0, 30, 0, 0);
    TZanthPanel* onHost = TZanthPanel::Create(host_, 300, 10, 0, 0);
    ASSERT_NE(inner, nullptr);
    ASSERT_NE(onHost, nullptr);
    ASSERT_TRUE(WaitForPainted(inner));
    ASSERT_TRUE(WaitForPainted(onHost));

    const TPixels px = Capture(inner->Handle());
    ASSERT_EQ(px.width, TZanthPanel::DefaultWidth);
    int wrong = 0;
    for (int y = 0; y < px.height; ++y) {
        for (int x = 0; x < px.width; ++x) {
            const COLORREF want = x == 1 ? Blue : PageColor;
            if (px.At(x, y) != want && ++wrong <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << ColorText(px.At(x, y)) << ", want "
                              << ColorText(want);
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels not showing the outer panel behind";
    const TPixels hostPx = Capture(onHost->Handle());
    for (const POINT pt : {POINT{0, 0}, POINT{30, 14}, POINT{59, 27}})
        EXPECT_EQ(ColorText(hostPx.At(pt.x, pt.y)), "#000000") << "at (" << pt.x << ", " << pt.y << ")";

    // A colour of its own ends that, even the colour it already had.
    inner->SetColor(inner->Color());
    EXPECT_FALSE(inner->ParentBackground());
    ASSERT_TRUE(WaitForPainted(inner));
    EXPECT_EQ(Capture(inner->Handle()).At(1, 10), GetSysColor(COLOR_BTNFACE));
}

TEST_F(PanelTest, WmSetFontChangesThePaintingFont)
{
    TFont small(11);
    TFont large(24);
    TZanthPanel* panel = MakePanel("General", 200, 90, small.Get(), true);
    ASSERT_NE(panel, nullptr);
    SendMessageA(panel->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(large.Get()), TRUE);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(panel->Handle(), WM_GETFONT, 0, 0)), large.Get());
    ASSERT_TRUE(WaitForPainted(panel));
    CheckFramedPanel(Capture(panel->Handle()), TFrameCase{"General", 200, 90, 24}, large.Get());
}

TEST_F(PanelTest, ChildrenMessagesReachThePanelsParent)
{
    TFont font(11);
    TZanthPanel* panel = MakePanel("General", 200, 80, font.Get(), true);
    ASSERT_NE(panel, nullptr);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND label = CreateWindowExA(0, "STATIC", "label", WS_CHILD | WS_VISIBLE, 20, 30, 60, 20, panel->Handle(),
                                 nullptr, instance, nullptr);
    HWND button = CreateWindowExA(0, "BUTTON", "Open", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 100, 30, 60, 25,
                                  panel->Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(42)), instance,
                                  nullptr);
    ASSERT_NE(label, nullptr);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(WaitFor([&] { return !HasPendingPaint(label) && !HasPendingPaint(button); }));

    auto seen = [](UINT msg, LPARAM from) {
        for (size_t i = 0; i < g_log.messages.size(); ++i)
            if (g_log.messages[i] == msg && g_log.params[i] == from)
                return true;
        return false;
    };
    EXPECT_TRUE(seen(WM_CTLCOLORSTATIC, reinterpret_cast<LPARAM>(label)));
    // The label's background is the brush the host gave, so the answer went back too.
    EXPECT_EQ(Capture(panel->Handle()).At(78, 48), HostBrushColor);

    g_log = THostLog();
    SendMessageA(button, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return seen(WM_COMMAND, reinterpret_cast<LPARAM>(button)); }))
        << "the button's click never reached the host";
    for (size_t i = 0; i < g_log.messages.size(); ++i) {
        if (g_log.messages[i] == WM_COMMAND) {
            EXPECT_EQ(LOWORD(g_log.wparams[i]), 42);
            EXPECT_EQ(HIWORD(g_log.wparams[i]), BN_CLICKED);
        }
    }
}

TEST_F(PanelTest, TabMovesBetweenControlsInsideThePanel)
{
    TZanthPanel* panel = TZanthPanel::Create(host_, 10, 10, 300, 100);
    ASSERT_NE(panel, nullptr);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND first = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 25, 100, 21,
                                 panel->Handle(), nullptr, instance, nullptr);
    HWND second = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 55, 100, 21,
                                  panel->Handle(), nullptr, instance, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    SetForegroundWindow(host_);
    SetFocus(first);
    ASSERT_EQ(GetFocus(), first);
    MSG tab{};
    tab.hwnd = first;
    tab.message = WM_KEYDOWN;
    tab.wParam = VK_TAB;
    EXPECT_TRUE(IsDialogMessageA(host_, &tab));
    EXPECT_EQ(GetFocus(), second) << "Tab did not reach the next control inside the panel";
}

TEST_F(PanelTest, DestroyingTheWindowFreesEveryPanel)
{
    TZanthPanel* outer = TZanthPanel::Create(host_, 0, 0, 200, 100);
    ASSERT_NE(outer, nullptr);
    TZanthPanel* nested = TZanthPanel::Create(outer->Handle(), 5, 20, 50, 30);
    TZanthPanel* sibling = TZanthPanel::Create(host_, 0, 120, 50, 30);
    ASSERT_NE(nested, nullptr);
    ASSERT_NE(sibling, nullptr);
    g_freed.Watch();
    DestroyWindow(outer->Handle());
    EXPECT_TRUE(g_freed.Saw(outer)) << "the panel stays allocated";
    EXPECT_TRUE(g_freed.Saw(nested)) << "the nested panel stays allocated";
    EXPECT_FALSE(g_freed.Saw(sibling));
    DestroyWindow(host_);
    host_ = nullptr;
    EXPECT_TRUE(g_freed.Saw(sibling));
    g_freed.Stop();
}

}  // namespace

// This program's own allocation, so that every block its operator delete
// sees came from here.
void* operator new(std::size_t size)
{
    if (void* block = HeapAlloc(GetProcessHeap(), 0, size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    g_freed.Record(block);
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

void operator delete(void* block, std::size_t) noexcept
{
    g_freed.Record(block);
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}
