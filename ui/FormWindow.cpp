// The window builder: classes, controls from the description, scaling and
// label sizing. Fonts, colours and painting are FormLook.cpp's.
#include "ui/FormWindow.h"

#include <algorithm>
#include <memory>

#include "base/Error.h"
#include "base/Format.h"
#include "base/ResText.h"
#include "ui/ErrorBox.h"
#include "ui/FormWindowParts.h"
#include "ui/WindowBase.h"

namespace {
constexpr const char* FormClass = "TAppFrm";
constexpr const char* ContainerClass = "TMarquillContainer";
constexpr const char* ImageClass = "TMarquillImage";
constexpr int FirstControlId = 1000;
constexpr DWORD FormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;

// The width of `text` and the full line height of `font`: a label's fitted size.
SIZE LineSize(HDC dc, HFONT font, const std::string& text)
{
    TSelectGuard select(dc, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    size.cy = metrics.tmHeight;
    return size;
}
}  // namespace

std::string WindowTextOf(HWND wnd)
{
    if (!wnd)
        return std::string();
    int len = GetWindowTextLengthA(wnd);
    if (len <= 0)
        return std::string();
    std::string text(static_cast<size_t>(len) + 1, '\0');
    int got = GetWindowTextA(wnd, &text[0], len + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

TFormWindow::TFormWindow() = default;

// The window goes first, so no control still uses a font or brush when the
// owners delete them.
TFormWindow::~TFormWindow()
{
    if (HWND wnd = Handle())
        DestroyWindow(wnd);
}

void TFormWindow::Build(WNDPROC formProc, void* param, HWND owner, const std::vector<TCtl>& deferred)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpfnWndProc = formProc;
    wc.lpszClassName = FormClass;
    SetProgramIcons(wc);
    RegisterWindowClass(wc);
    wc.hIcon = nullptr;
    wc.hIconSm = nullptr;
    wc.lpfnWndProc = WindowProc<TFormWindow, &TFormWindow::ContainerMessage>;
    wc.lpszClassName = ContainerClass;
    RegisterWindowClass(wc);
    wc.lpfnWndProc = WindowProc<TFormWindow, &TFormWindow::ImageMessage>;
    wc.lpszClassName = ImageClass;
    RegisterWindowClass(wc);
    TZanthPanel::Register(instance);

    for (const TControlDesc& desc : FormControls) {
        if (desc.kind == TControlKind::PictureDialog)
            continue;
        auto control = std::make_unique<TControl>();
        control->window = this;
        control->desc = &desc;
        control->caption = desc.text;
        if (desc.parent != TCtl::None)
            control->parent = controls_[static_cast<size_t>(desc.parent)].get();
        controls_.push_back(std::move(control));
    }

    // The window font decides the scale: fonts follow the screen's dpi, and
    // every place and size follows the height of "0" in the window font.
    TControl& form = *controls_.front();
    noLogoText_ = NoLogoText;
    highContrast_ = HighContrastOn();
    TWindowDc screen(nullptr);
    {
        dpi_ = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        if (dpi_ <= 0)
            dpi_ = FormDesignDpi;
        form.font = FontFor(*form.desc, nullptr);
        TSelectGuard select(screen.Get(), form.font->handle.Get());
        SIZE zero = {};
        if (GetTextExtentPoint32A(screen.Get(), "0", 1, &zero) && zero.cy > 0)
            scaleNum_ = zero.cy;
    }

    RECT frame = {0, 0, Scale(form.desc->width), Scale(form.desc->height)};
    AdjustWindowRectEx(&frame, FormStyle, FALSE, 0);
    form.wnd = CreateWindowExA(0, FormClass, form.desc->text, FormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                               frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance, param);
    if (!form.wnd)
        throw EMarquillError(ResText(N_("The main window cannot be created")));

    for (size_t i = 1; i < controls_.size(); ++i) {
        TControl& control = *controls_[i];
        control.font = FontFor(*control.desc, control.parent->font);
        if (control.desc->kind == TControlKind::Page && control.desc->visible)
            activePage_ = control.desc->id;
    }
    {
        // Taking a screen DC for each of the forty-odd labels costs more
        // under Wine than building them; they share this one.
        TScopedDc measuring(measureDc_, screen.Get());
        CreateChildrenOf(form, deferred);
    }
    AlignControls();
}

std::vector<TTranslatable*> TFormWindow::BuildControl(TCtl id)
{
    TControl& root = *controls_[static_cast<size_t>(id)];
    if (root.wnd || !root.parent->wnd)
        return {};
    {
        TWindowDc screen(nullptr);
        TScopedDc measuring(measureDc_, screen.Get());
        // Hidden until its children are in, so none of them is drawn twice.
        CreateControl(root, false);
        PlaceAmongSiblings(root);
        CreateChildrenOf(root, {});
    }
    if (root.desc->visible)
        ShowWindow(root.wnd, SW_SHOWNA);
    std::vector<TTranslatable*> built;
    for (auto& control : controls_) {
        bool inside = false;
        for (const TControl* c = control.get(); c && !inside; c = c->parent)
            inside = c == &root;
        // Pages keep their captions outside any window: they were translated
        // with the window.
        if (inside && control->wnd && control->desc->kind != TControlKind::Page)
            built.push_back(control.get());
    }
    return built;
}

void TFormWindow::Forget()
{
    for (auto& control : controls_) {
        control->wnd = nullptr;
        control->panel = nullptr;
    }
}

HWND TFormWindow::Handle() const
{
    return controls_.empty() ? nullptr : controls_.front()->wnd;
}

// Children come in the order of their rows, which is the order a screen
// reader reads them in and names each field after the label before it. A new
// child window goes below its siblings, so each row lies under the rows
// before it; a row that lies over earlier siblings comes first among them.
std::vector<TFormWindow::TControl*> TFormWindow::ChildrenInOrder(const TControl& parent) const
{
    std::vector<TControl*> children;
    for (bool stacked : {true, false})
        for (auto& control : controls_)
            if (control->parent == &parent && control->desc->stacksOver == stacked)
                children.push_back(control.get());
    return children;
}

void TFormWindow::CreateChildrenOf(TControl& parent, const std::vector<TCtl>& deferred)
{
    for (TControl* control : ChildrenInOrder(parent)) {
        if (std::find(deferred.begin(), deferred.end(), control->desc->id) != deferred.end())
            continue;
        CreateControl(*control, control->desc->visible);
        CreateChildrenOf(*control, deferred);
    }
    if (parent.panel)
        UpdateRings(parent);
}

// A control made after its siblings goes below them all; it belongs right
// after the last sibling that comes before it and exists, or first.
void TFormWindow::PlaceAmongSiblings(const TControl& control)
{
    HWND after = HWND_TOP;
    for (TControl* sibling : ChildrenInOrder(*control.parent)) {
        if (sibling == &control)
            break;
        if (sibling->wnd)
            after = sibling->wnd;
    }
    SetWindowPos(control.wnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TFormWindow::CreateControl(TControl& control, bool visible)
{
    const TControlDesc& desc = *control.desc;
    HWND parent = control.parent->wnd;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const int commandId = FirstControlId + static_cast<int>(desc.id);
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(commandId));
    int x = Scale(desc.left), y = Scale(desc.top), w = Scale(desc.width), h = Scale(desc.height);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);

    switch (desc.kind) {
    case TControlKind::PageControl:
    case TControlKind::Page:
    case TControlKind::Panel:
        control.wnd = CreateWindowExA(WS_EX_CONTROLPARENT, ContainerClass, "", style | WS_CLIPCHILDREN, x, y, w, h,
                                      parent, id, instance, this);
        break;
    case TControlKind::ZanthPanel:
        control.panel = TZanthPanel::Create(parent, x, y, w, h, commandId);
        if (control.panel) {
            control.wnd = control.panel->Handle();
            if (!visible)
                ShowWindow(control.wnd, SW_HIDE);
            control.panel->SetColor(BackgroundOf(control));
            control.panel->SetFont(control.font->handle.Get(), control.font->color);
            control.panel->SetBorderColor(FrameColor());
            control.panel->SetShowBorder(true);
            control.panel->SetCaption(desc.text);
        }
        break;
    case TControlKind::Label:
        // Made at its fitted size rather than resized afterwards: one window
        // move less per label.
        if (IsAutoSized(control)) {
            SIZE size = LabelSize(control, desc.text);
            w = size.cx;
            h = size.cy;
        }
        control.wnd = CreateWindowExA(0, "STATIC", desc.text,
                                      style | SS_LEFT | SS_NOPREFIX | (desc.handCursor ? SS_NOTIFY : 0), x, y, w, h,
                                      parent, id, instance, nullptr);
        break;
    case TControlKind::Edit:
        control.wnd = CreateWindowExA(0, "EDIT", desc.text, style | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, x, y, w, h,
                                      parent, id, instance, nullptr);
        break;
    case TControlKind::Button:
        control.wnd = CreateWindowExA(0, "BUTTON", desc.text, style | WS_TABSTOP | BS_PUSHBUTTON, x, y, w, h, parent,
                                      id, instance, nullptr);
        break;
    case TControlKind::Image:
        control.wnd = CreateWindowExA(0, ImageClass, "", style, x, y, w, h, parent, id, instance, this);
        if (control.wnd)
            NameImage(control);
        break;
    case TControlKind::Form:
    case TControlKind::PictureDialog:
        break;
    }
    if (!control.wnd)
        throw EMarquillError(FormatText(ResText(N_("The control %s cannot be created")), {desc.name}));
    // The fields take texts of any length, beyond the edit control's default.
    if (desc.kind == TControlKind::Edit)
        SendMessageA(control.wnd, EM_SETLIMITTEXT, 0, 0);
    ApplyFont(control);
}

bool TFormWindow::IsAutoSized(const TControl& control)
{
    const TControlDesc& desc = *control.desc;
    return desc.kind == TControlKind::Label && desc.width == 0 && desc.height == 0 && control.font;
}

SIZE TFormWindow::LabelSize(const TControl& control, const std::string& text) const
{
    if (measureDc_)
        return LineSize(measureDc_, control.font->handle.Get(), text);
    TWindowDc screen(nullptr);
    return LineSize(screen.Get(), control.font->handle.Get(), text);
}

void TFormWindow::AutoSizeLabel(TControl& control)
{
    if (!IsAutoSized(control) || !control.wnd)
        return;
    SIZE size = LabelSize(control, WindowTextOf(control.wnd));
    SetWindowPos(control.wnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormWindow::AlignControls()
{
    for (auto& control : controls_) {
        if (control->desc->align != TAlign::Bottom || !control->wnd)
            continue;
        RECT client = {};
        GetClientRect(control->parent->wnd, &client);
        int height = Scale(control->desc->height);
        MoveWindow(control->wnd, 0, client.bottom - height, client.right, height, TRUE);
    }
}

void TFormWindow::SetLogoPath(const std::string& path)
{
    logoPath_ = path;
    NameImage(*controls_[static_cast<size_t>(TCtl::Image1)]);
}

// Screen readers take a window's text as its name: the picture box says
// what it shows.
void TFormWindow::NameImage(const TControl& image)
{
    if (image.wnd)
        SetWindowTextA(image.wnd, (image.caption + ": " + (logoPath_.empty() ? noLogoText_ : logoPath_)).c_str());
}

int TFormWindow::Scale(int value) const
{
    return MulDiv(value, scaleNum_, scaleDen_);
}

TFormWindow::TControl* TFormWindow::FromHandle(HWND wnd) const
{
    if (!wnd)
        return nullptr;
    for (auto& control : controls_)
        if (control->wnd == wnd)
            return control.get();
    return nullptr;
}

HWND TFormWindow::Control(TCtl id) const
{
    const size_t index = static_cast<size_t>(id);
    return id != TCtl::None && index < controls_.size() ? controls_[index]->wnd : nullptr;
}

TCtl TFormWindow::IdOf(HWND wnd) const
{
    const TControl* control = FromHandle(wnd);
    return control ? control->desc->id : TCtl::None;
}

TCtl TFormWindow::FromCommandId(int commandId) const
{
    const size_t index = static_cast<size_t>(commandId - FirstControlId);
    if (commandId < FirstControlId || index >= controls_.size())
        return TCtl::None;
    return controls_[index]->desc->id;
}

bool TFormWindow::HasHandCursor(HWND wnd) const
{
    const TControl* control = FromHandle(wnd);
    return control && control->desc->handCursor;
}

void TFormWindow::AddTranslatables(std::vector<TTranslatable*>& out)
{
    if (controls_.front()->font)
        out.push_back(controls_.front()->font);
    for (size_t i = 1; i < controls_.size(); ++i)
        out.push_back(controls_[i].get());
}
