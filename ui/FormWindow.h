#pragma once
// The window builder: registers the window classes, creates the top-level
// window and every control from the description in FormData, scaled to the
// screen, and sizes the self-sizing labels (FormWindow.cpp); keeps the fonts
// (shared where the description shares them) and paints the backgrounds the
// description gives through a brush cache (FormLook.cpp). It knows nothing of the OEM information or of what
// the buttons do: that is the form's (MainForm).
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/WinHandles.h"
#include "i18n/Translate.h"
#include "ui/FormData.h"

class TPicture;

// A window's text, empty for no window.
std::string WindowTextOf(HWND wnd);

// The user's settings the window follows: high contrast, and the keyboard
// cues shown from the start. A query that fails (95, NT 4.0) means off.
bool HighContrastOn();
bool KeyboardCuesOn();

class TFormWindow {
public:
    TFormWindow();
    ~TFormWindow();
    TFormWindow(const TFormWindow&) = delete;
    TFormWindow& operator=(const TFormWindow&) = delete;

    // Creates the window, hidden, owned by `owner`, with `formProc` as its
    // procedure and `param` as its creation parameter, then every control
    // but those of the `deferred` subtrees, which BuildControl makes later.
    // Raises EMarquillError when a window cannot be created.
    void Build(WNDPROC formProc, void* param, HWND owner, const std::vector<TCtl>& deferred);
    // Creates `id` and everything in it, as Build would have, unless it
    // exists. Gives the new controls whose texts live in their windows, for
    // the translation; empty when nothing was built.
    std::vector<TTranslatable*> BuildControl(TCtl id);
    // The windows are gone (WM_NCDESTROY of the top-level window).
    void Forget();
    HWND Handle() const;

    HWND Control(TCtl id) const;
    // The control whose window is `wnd`; TCtl::None for any other window.
    TCtl IdOf(HWND wnd) const;
    // The control that sends WM_COMMAND with `commandId`; TCtl::None if none.
    TCtl FromCommandId(int commandId) const;

    // The page whose texts are translated with the window's (the one shown).
    TCtl ActivePage() const { return activePage_; }
    void SetActivePage(TCtl page) { activePage_ = page; }

    // The picture the picture box shows; nullptr for none.
    void SetImage(const TPicture* picture) { image_ = picture; }
    // The logo path the picture box's name gives; empty for none.
    void SetLogoPath(const std::string& path);

    // Picks the colours again, the design's or, while high contrast is on,
    // the system's, and repaints everything in them.
    void ApplyColorScheme();
    // Draws the focus cue around `control` when it is one of the fields;
    // nowhere for any other window or nullptr.
    void SetFocusCue(HWND control);

    // Keeps the bottom-aligned controls on their parent's bottom edge.
    void AlignControls();
    // Answers WM_CTLCOLOR*: the brush of the control's background (0 when
    // the control is not one of the window's).
    LRESULT CtlColor(HDC dc, HWND control);
    // Fills `wnd`'s client area with its background: the top-level window's
    // beside its page control, a container's or the picture box's own.
    void FillBackground(HWND wnd, HDC dc);
    bool HasHandCursor(HWND wnd) const;

    // The texts of the window's controls and fonts for the translation.
    void AddTranslatables(std::vector<TTranslatable*>& out);

private:
    struct TFontObj;
    struct TControl;

    std::vector<TControl*> ChildrenInOrder(const TControl& parent) const;
    void CreateChildrenOf(TControl& parent, const std::vector<TCtl>& deferred);
    void CreateControl(TControl& control, bool visible);
    void PlaceAmongSiblings(const TControl& control);
    void AutoSizeLabel(TControl& control);
    static bool IsAutoSized(const TControl& control);
    SIZE LabelSize(const TControl& control, const std::string& text) const;
    TControl* FromHandle(HWND wnd) const;
    int Scale(int value) const;
    void NameImage(const TControl& image);

    // The look (FormLook.cpp).
    TFontObj* FontFor(const TControlDesc& desc, TFontObj* inherited);
    void ApplyFont(TControl& control);
    void RecreateFont(TFontObj& font);
    COLORREF BackgroundOf(const TControl& control) const;
    COLORREF TextColor(COLORREF design) const;
    COLORREF FrameColor() const;
    // The frames of a panel's fields and the focus cue.
    void UpdateRings(const TControl& panel);
    HBRUSH Brush(COLORREF color);
    void PaintImage(HWND wnd, HDC dc);
    // The messages of the containers and of the picture box.
    LRESULT ContainerMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT ImageMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

    int scaleNum_ = FormDesignTextHeight;
    int scaleDen_ = FormDesignTextHeight;
    int dpi_ = FormDesignDpi;
    // The screen DC that measures labels while the window is built.
    HDC measureDc_ = nullptr;
    std::vector<std::unique_ptr<TControl>> controls_;
    std::vector<std::unique_ptr<TFontObj>> fonts_;
    std::map<COLORREF, TBrushHandle> brushes_;
    TCtl activePage_ = TCtl::None;
    const TPicture* image_ = nullptr;
    std::string logoPath_;
    std::string noLogoText_;
    bool highContrast_ = false;
    HWND focusCue_ = nullptr;
};
