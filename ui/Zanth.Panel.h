#pragma once
// A container panel that draws its caption at the top-left corner and,
// optionally, a thin frame whose top edge runs through the caption's middle,
// broken where the caption stands.
#include <windows.h>

#include <string>
#include <vector>

class TZanthPanel {
public:
    static constexpr const char* ClassName = "TZanthPanel";
    static constexpr COLORREF DefaultBorderColor = RGB(0x00, 0x63, 0xB1);
    // Size taken when Create is given no width or height.
    static constexpr int DefaultWidth = 60;
    static constexpr int DefaultHeight = 28;

    // Registers the window class once per process.
    static void Register(HINSTANCE instance);

    // Creates the panel (visible) as a child of `parent`, registering the class
    // on first use; a width or height of 0 takes the default. The panel object
    // lives as long as its window and is freed when the window is destroyed.
    // Returns nullptr when the window cannot be created.
    static TZanthPanel* Create(HWND parent, int left, int top, int width, int height, int id = 0);
    static TZanthPanel* FromHandle(HWND wnd);

    // The notifications and colour requests a container passes from its
    // children on to its own parent, so the window handles all its controls
    // in one place.
    static bool IsChildReport(UINT msg);

    HWND Handle() const { return wnd_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    COLORREF BorderColor() const { return borderColor_; }
    void SetBorderColor(COLORREF color);
    bool ShowBorder() const { return showBorder_; }
    void SetShowBorder(bool show);

    // Background colour and font (with its colour) used by Paint. The font
    // stays owned by the caller and must outlive the panel's use of it;
    // nullptr means the system's GUI font.
    COLORREF Color() const { return color_; }
    // Gives the panel a background of its own; until then it shows what its
    // parent draws behind it (the rounded frame is still filled with Color).
    void SetColor(COLORREF color);
    bool ParentBackground() const { return parentBackground_; }
    HFONT Font() const { return font_; }
    COLORREF TextColor() const { return textColor_; }
    void SetFont(HFONT font, COLORREF textColor);

    // Rings drawn just outside a child window, one pixel each, `width` deep:
    // a frame around a field, the focus cue around the focused one. Later
    // rings draw over earlier ones; a hidden child's are not drawn.
    struct TRing {
        HWND child;
        COLORREF color;
        int width;
        bool operator==(const TRing& other) const
        {
            return child == other.child && color == other.color && width == other.width;
        }
    };
    const std::vector<TRing>& Rings() const { return rings_; }
    // Repaints where the old rings were and where the new ones go, only there.
    void SetRings(const std::vector<TRing>& rings);

    TZanthPanel(const TZanthPanel&) = delete;
    TZanthPanel& operator=(const TZanthPanel&) = delete;

private:
    explicit TZanthPanel(HWND wnd) : wnd_(wnd) {}
    ~TZanthPanel() = default;
    // Each panel is made at its window's WM_NCCREATE and deleted at its WM_NCDESTROY.
    static TZanthPanel* Attach(HWND wnd, const CREATESTRUCTA& create);
    LRESULT HandleMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    // Draws at once on the window's own DC rather than asking for WM_PAINT,
    // so a property change shows without waiting for the message loop.
    void PaintNow();
    // Has the parent draw its background and content into `dc` under the panel.
    void PaintParentBackground(HDC dc, const RECT& client);
    // The ring's child in the panel's client coordinates; false when hidden.
    bool RingChildRect(const TRing& ring, RECT& rect) const;
    void InvalidateRings();

    HWND wnd_;
    std::string caption_;
    COLORREF borderColor_ = DefaultBorderColor;
    bool showBorder_ = false;
    COLORREF color_ = GetSysColor(COLOR_BTNFACE);
    bool parentBackground_ = true;
    HFONT font_ = nullptr;
    COLORREF textColor_ = GetSysColor(COLOR_WINDOWTEXT);
    std::vector<TRing> rings_;
};
