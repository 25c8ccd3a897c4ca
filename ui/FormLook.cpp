// The window's look: its fonts, the colours of its backgrounds and texts
// through a brush cache, and the painting of the containers and the picture
// box.
#include <memory>
#include <utility>

#include "base/PlatformApi.h"
#include "picture/Picture.h"
#include "ui/FormWindowParts.h"
#include "ui/WindowBase.h"

namespace {
HFONT MakeFont(const std::string& face, int height, int dpi)
{
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(height, dpi, FormDesignDpi);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}
}  // namespace

bool HighContrastOn()
{
    HIGHCONTRASTA contrast = {};
    contrast.cbSize = sizeof contrast;
    return PlatformApi.SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

bool KeyboardCuesOn()
{
    BOOL cues = FALSE;
    return PlatformApi.SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cues, 0) && cues;
}

TFormWindow::TFontObj* TFormWindow::FontFor(const TControlDesc& desc, TFontObj* inherited)
{
    if (!desc.fontFace)
        return inherited;
    for (auto& font : fonts_)
        if (font->designFace == desc.fontFace && font->height == desc.fontHeight && font->designColor == desc.fontColor)
            return font.get();
    auto font = std::make_unique<TFontObj>();
    font->window = this;
    font->designFace = desc.fontFace;
    font->face = desc.fontFace;
    font->height = desc.fontHeight;
    font->designColor = desc.fontColor;
    font->color = TextColor(desc.fontColor);
    font->handle.Reset(MakeFont(font->face, font->height, dpi_));
    fonts_.push_back(std::move(font));
    return fonts_.back().get();
}

void TFormWindow::ApplyFont(TControl& control)
{
    if (!control.wnd || !control.font)
        return;
    if (control.panel) {
        control.panel->SetFont(control.font->handle.Get(), control.font->color);
        InvalidateRect(control.wnd, nullptr, TRUE);
        return;
    }
    switch (control.desc->kind) {
    case TControlKind::Label:
    case TControlKind::Edit:
    case TControlKind::Button:
        // A hidden control is painted when it first shows; redrawing it now
        // still costs Wine a round of update-region work per control.
        SendMessageA(control.wnd, WM_SETFONT, reinterpret_cast<WPARAM>(control.font->handle.Get()),
                     IsWindowVisible(control.wnd));
        break;
    default:
        break;
    }
}

// The new font is in every control before the old one is deleted.
void TFormWindow::RecreateFont(TFontObj& font)
{
    TFontHandle old(MakeFont(font.face, font.height, dpi_));
    std::swap(old, font.handle);
    for (auto& control : controls_) {
        if (control->font != &font)
            continue;
        ApplyFont(*control);
        AutoSizeLabel(*control);
    }
}

// While high contrast is on, the system's colours replace the design's:
// every background the window's, every text and frame the window text's.
COLORREF TFormWindow::BackgroundOf(const TControl& control) const
{
    if (highContrast_)
        return GetSysColor(COLOR_WINDOW);
    for (const TControl* c = &control; c; c = c->parent)
        if (c->desc->color != CLR_NONE)
            return c->desc->color;
    return GetSysColor(COLOR_BTNFACE);
}

COLORREF TFormWindow::TextColor(COLORREF design) const
{
    return highContrast_ || design == CLR_DEFAULT ? GetSysColor(COLOR_WINDOWTEXT) : design;
}

COLORREF TFormWindow::FrameColor() const
{
    return highContrast_ ? GetSysColor(COLOR_WINDOWTEXT) : TZanthPanel::DefaultBorderColor;
}

void TFormWindow::ApplyColorScheme()
{
    highContrast_ = HighContrastOn();
    brushes_.clear();
    for (auto& font : fonts_)
        font->color = TextColor(font->designColor);
    for (auto& control : controls_) {
        if (!control->panel)
            continue;
        control->panel->SetColor(BackgroundOf(*control));
        control->panel->SetFont(control->font->handle.Get(), control->font->color);
        control->panel->SetBorderColor(FrameColor());
        UpdateRings(*control);
    }
    if (HWND wnd = Handle())
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TFormWindow::SetFocusCue(HWND control)
{
    TControl* field = FromHandle(control);
    HWND cue = field && field->desc->kind == TControlKind::Edit ? control : nullptr;
    if (cue == focusCue_)
        return;
    TControl* old = FromHandle(focusCue_);
    focusCue_ = cue;
    if (old && old->parent->panel)
        UpdateRings(*old->parent);
    if (field && cue && field->parent->panel)
        UpdateRings(*field->parent);
}

// The design gives the fields no edge; high contrast frames each in the
// text colour. The focus cue, in the labels' colour (the highlight colour in
// high contrast, outside the frame too), stands out at least 3:1 from the
// page either way.
void TFormWindow::UpdateRings(const TControl& panel)
{
    std::vector<TZanthPanel::TRing> rings;
    for (auto& control : controls_) {
        if (control->parent != &panel || control->desc->kind != TControlKind::Edit || !control->wnd)
            continue;
        if (highContrast_)
            rings.push_back({control->wnd, GetSysColor(COLOR_WINDOWTEXT), 1});
        if (control->wnd == focusCue_)
            rings.push_back(highContrast_ ? TZanthPanel::TRing{control->wnd, GetSysColor(COLOR_HIGHLIGHT), 2}
                                          : TZanthPanel::TRing{control->wnd, panel.panel->TextColor(), 1});
    }
    panel.panel->SetRings(rings);
}

HBRUSH TFormWindow::Brush(COLORREF color)
{
    auto found = brushes_.find(color);
    if (found != brushes_.end())
        return found->second.Get();
    // A failed brush is not kept, so the next paint tries again.
    TBrushHandle brush(CreateSolidBrush(color));
    if (!brush.Valid())
        return nullptr;
    return brushes_.emplace(color, std::move(brush)).first->second.Get();
}

LRESULT TFormWindow::CtlColor(HDC dc, HWND wnd)
{
    TControl* control = FromHandle(wnd);
    if (!control || !control->font)
        return 0;
    switch (control->desc->kind) {
    case TControlKind::Edit: {
        COLORREF back = BackgroundOf(*control);
        SetTextColor(dc, control->font->color);
        SetBkColor(dc, back);
        return reinterpret_cast<LRESULT>(Brush(back));
    }
    case TControlKind::Label: {
        COLORREF back = BackgroundOf(*control);
        SetTextColor(dc, control->font->color);
        SetBkColor(dc, back);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(Brush(back));
    }
    default:
        return reinterpret_cast<LRESULT>(Brush(BackgroundOf(*control)));
    }
}

// Containers and the picture box show the colour their row or an ancestor's
// gives, as the labels on them do.
void TFormWindow::FillBackground(HWND wnd, HDC dc)
{
    TControl* control = FromHandle(wnd);
    RECT client = {};
    GetClientRect(wnd, &client);
    FillRect(dc, &client, Brush(control ? BackgroundOf(*control) : GetSysColor(COLOR_BTNFACE)));
}

void TFormWindow::PaintImage(HWND wnd, HDC dc)
{
    FillBackground(wnd, dc);
    RECT client = {};
    GetClientRect(wnd, &client);
    if (!image_ || image_->Empty())
        return;
    // Shown at its own size from the top-left corner, cut at the box's edges.
    int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    image_->Draw(dc, 0, 0);
    RestoreDC(dc, saved);
}

LRESULT TFormWindow::ContainerMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (TZanthPanel::IsChildReport(msg))
        return SendMessageA(GetParent(wnd), msg, wParam, lParam);
    // No frame and no scroll bars: nothing to draw outside the client area,
    // and the default handling would still take a window DC for it, which
    // under Wine costs a round of server requests per window as it shows.
    if (msg == WM_NCPAINT)
        return 0;
    if (msg == WM_ERASEBKGND) {
        // A background that cannot be drawn leaves the old one; no box while painting.
        try {
            FillBackground(wnd, reinterpret_cast<HDC>(wParam));
        } catch (...) {
        }
        return TRUE;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
LRESULT TFormWindow::ImageMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCPAINT:
        // Frameless, as the containers.
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT: {
        TPaintDc dc(wnd);
        if (dc.Get()) {
            // A picture that fails to draw leaves the box empty; no box while painting.
            try {
                PaintImage(wnd, dc.Get());
            } catch (...) {
            }
        }
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
