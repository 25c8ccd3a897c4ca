// The captioned frame panel: its window class, properties and painting.
#include "ui/Zanth.Panel.h"

#include <new>

#include "base/WinHandles.h"
#include "ui/WindowBase.h"

namespace {

HINSTANCE g_instance = nullptr;

void DrawLine(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

}  // namespace

void TZanthPanel::Register(HINSTANCE instance)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    // The frame's right and bottom edges move with the size, so any resize
    // has to redraw the whole panel.
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc<TZanthPanel, &TZanthPanel::HandleMessage, &TZanthPanel::Attach>;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = ClassName;
    if (RegisterWindowClass(wc))
        g_instance = instance;
}

TZanthPanel* TZanthPanel::Create(HWND parent, int left, int top, int width, int height, int id)
{
    if (!g_instance)
        Register(GetModuleHandleA(nullptr));
    if (width <= 0)
        width = DefaultWidth;
    if (height <= 0)
        height = DefaultHeight;
    // WS_EX_CONTROLPARENT lets the dialog manager's Tab and arrow keys reach
    // the controls inside the panel. The caption is the panel's own, drawn at
    // the corner, never centred; the window text repeats it for screen
    // readers, and nothing draws that.
    HWND wnd = CreateWindowExA(WS_EX_CONTROLPARENT, ClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                               left, top, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
    return wnd ? FromHandle(wnd) : nullptr;
}

TZanthPanel* TZanthPanel::FromHandle(HWND wnd)
{
    if (!wnd)
        return nullptr;
    char cls[32] = {};
    if (!GetClassNameA(wnd, cls, sizeof cls) || lstrcmpA(cls, ClassName) != 0)
        return nullptr;
    return reinterpret_cast<TZanthPanel*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

void TZanthPanel::SetCaption(const std::string& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    SetWindowTextA(wnd_, caption_.c_str());
    PaintNow();
}

void TZanthPanel::SetBorderColor(COLORREF color)
{
    if (color == borderColor_)
        return;
    borderColor_ = color;
    PaintNow();
}

void TZanthPanel::SetShowBorder(bool show)
{
    if (show == showBorder_)
        return;
    showBorder_ = show;
    PaintNow();
}

void TZanthPanel::SetColor(COLORREF color)
{
    if (!parentBackground_ && color == color_)
        return;
    color_ = color;
    parentBackground_ = false;
    InvalidateRect(wnd_, nullptr, FALSE);
}

void TZanthPanel::SetFont(HFONT font, COLORREF textColor)
{
    if (font == font_ && textColor == textColor_)
        return;
    font_ = font;
    textColor_ = textColor;
    InvalidateRect(wnd_, nullptr, FALSE);
}

void TZanthPanel::SetRings(const std::vector<TRing>& rings)
{
    if (rings == rings_)
        return;
    InvalidateRings();
    rings_ = rings;
    InvalidateRings();
}

bool TZanthPanel::RingChildRect(const TRing& ring, RECT& rect) const
{
    if (!IsWindowVisible(ring.child))
        return false;
    GetWindowRect(ring.child, &rect);
    MapWindowPoints(nullptr, wnd_, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

// Only the bands around the children: the panel does not clip its children,
// so painting over one would leave it overdrawn.
void TZanthPanel::InvalidateRings()
{
    for (const TRing& ring : rings_) {
        RECT in{};
        if (!RingChildRect(ring, in))
            continue;
        RECT out = in;
        InflateRect(&out, ring.width, ring.width);
        const RECT bands[] = {{out.left, out.top, out.right, in.top},
                              {out.left, in.bottom, out.right, out.bottom},
                              {out.left, in.top, in.left, in.bottom},
                              {in.right, in.top, out.right, in.bottom}};
        for (const RECT& band : bands)
            InvalidateRect(wnd_, &band, FALSE);
    }
}

void TZanthPanel::PaintNow()
{
    TWindowDc dc(wnd_, DCX_CACHE | DCX_CLIPCHILDREN | DCX_CLIPSIBLINGS);
    if (dc.Get())
        Paint(dc.Get());
}

void TZanthPanel::Paint(HDC dc)
{
    RECT client{};
    GetClientRect(wnd_, &client);
    const int w = client.right;
    const int h = client.bottom;

    TBrushHandle background(CreateSolidBrush(color_));
    if (parentBackground_)
        PaintParentBackground(dc, client);
    else if (background.Valid())
        FillRect(dc, &client, background.Get());

    TGdiObject pen(CreatePen(PS_SOLID, 1, borderColor_));
    TSelectGuard penSelected(dc, pen.Get());
    TSelectGuard fontSelected(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
    TSelectGuard hollowBrush(dc, GetStockObject(NULL_BRUSH));
    TTextStateGuard textState(dc, TRANSPARENT, textColor_);

    const int length = static_cast<int>(caption_.size());
    if (length > 0)
        TextOutA(dc, 15, 0, caption_.data(), length);

    for (const TRing& ring : rings_) {
        RECT rect{};
        if (!RingChildRect(ring, rect))
            continue;
        TBrushHandle brush(CreateSolidBrush(ring.color));
        for (int i = 0; i < ring.width && brush.Valid(); ++i) {
            InflateRect(&rect, 1, 1);
            FrameRect(dc, &rect, brush.Get());
        }
    }

    if (!showBorder_)
        return;

    if (length == 0) {
        TSelectGuard fill(dc, background.Get());
        RoundRect(dc, 2, 2, w - 2, h - 2, 4, 4);
        return;
    }

    SIZE text{};
    GetTextExtentPoint32A(dc, caption_.data(), length, &text);
    const int half = text.cy / 2;
    const int gapEnd = text.cx + 18;
    DrawLine(dc, 1, half + 1, 1, h - 1);
    DrawLine(dc, 2, half, 12, half);
    // With a caption wider than the panel this runs right to left, from
    // outside the panel back to its right edge.
    DrawLine(dc, gapEnd, half, w - 3, half);
    DrawLine(dc, w - 3, half + 1, w - 3, h - 1);
    DrawLine(dc, 2, h - 1, w - 3, h - 1);
}

void TZanthPanel::PaintParentBackground(HDC dc, const RECT& client)
{
    HWND parent = GetParent(wnd_);
    if (!parent)
        return;
    POINT origin = {0, 0};
    MapWindowPoints(wnd_, parent, &origin, 1);
    // The parent draws in its own coordinates; the saved state puts back the
    // origin and the clipping, so nothing it draws lands outside the panel.
    const int saved = SaveDC(dc);
    if (!saved)
        return;
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    RestoreDC(dc, saved);
}

TZanthPanel* TZanthPanel::Attach(HWND wnd, const CREATESTRUCTA&)
{
    return new (std::nothrow) TZanthPanel(wnd);
}

LRESULT TZanthPanel::HandleMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCDESTROY: {
        // The panel lives as long as its window.
        HWND wnd = wnd_;
        delete this;
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
    case WM_NCPAINT:
        // The frame is drawn inside the client area; the window has none, so
        // the default handling would take a window DC for nothing.
        return 0;
    case WM_ERASEBKGND:
        // Paint fills the whole client area itself; erasing first would flicker.
        return 1;
    case WM_PAINT: {
        TPaintDc dc(wnd_);
        if (dc.Get())
            Paint(dc.Get());
        return 0;
    }
    case WM_PRINTCLIENT:
        // Themed controls ask their parent for the background behind their
        // rounded corners this way; without an answer the corners stay black.
        if (wParam)
            Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(wnd_, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    default:
        break;
    }
    if (IsChildReport(msg))
        if (HWND parent = GetParent(wnd_))
            return SendMessageA(parent, msg, wParam, lParam);
    return DefWindowProcA(wnd_, msg, wParam, lParam);
}

bool TZanthPanel::IsChildReport(UINT msg)
{
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        return true;
    default:
        return false;
    }
}
