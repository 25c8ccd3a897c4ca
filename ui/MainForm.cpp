#include "ui/MainForm.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "base/Error.h"
#include "base/Format.h"
#include "base/ResText.h"
#include "base/WinHandles.h"
#include "base/Wow64.h"
#include "oeminfo/WinOEMInfo.h"
#include "ui/ErrorBox.h"
#include "ui/Zanth.Panel.h"

TAppFrm* AppFrm = nullptr;

namespace {
constexpr const char* FormClass = "TAppFrm";
constexpr const char* ContainerClass = "TMarquillContainer";
constexpr const char* ImageClass = "TMarquillImage";
constexpr int FirstControlId = 1000;
constexpr DWORD FormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;

bool IsContainer(TControlKind kind)
{
    switch (kind) {
    case TControlKind::Form:
    case TControlKind::PageControl:
    case TControlKind::Page:
    case TControlKind::Panel:
    case TControlKind::ZanthPanel:
        return true;
    default:
        return false;
    }
}

std::string WindowText(HWND wnd)
{
    if (!wnd)
        return std::string();
    int len = GetWindowTextLengthA(wnd);
    if (len <= 0)
        return std::string();
    std::string text(static_cast<size_t>(len) + 1, '\0');
    int got = GetWindowTextA(wnd, &text[0], len + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

// Points `slot` at `value` for its own lifetime.
class TScopedDc {
public:
    TScopedDc(HDC& slot, HDC value) : slot_(slot) { slot_ = value; }
    ~TScopedDc() { slot_ = nullptr; }
    TScopedDc(const TScopedDc&) = delete;
    TScopedDc& operator=(const TScopedDc&) = delete;

private:
    HDC& slot_;
};

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

// A font object of the window: controls that share a face, height and colour
// share one, so a new face name reaches all of them at once.
struct TAppFrm::TFontObj : TTranslatable {
    TAppFrm* form = nullptr;
    std::string designFace;
    std::string face;
    int height = 0;
    COLORREF color = 0;
    COLORREF designColor = 0;
    HFONT handle = nullptr;

    std::vector<TTextProperty> TextProperties() override
    {
        return {{[this] { return face; },
                 [this](const std::string& value) {
                     face = value;
                     form->RecreateFont(*this);
                 }}};
    }
    std::vector<TTranslatable*> Children() override { return {}; }
};

struct TAppFrm::TControl : TTranslatable {
    TAppFrm* form = nullptr;
    const TControlDesc* desc = nullptr;
    TControl* parent = nullptr;
    HWND wnd = nullptr;
    TZanthPanel* panel = nullptr;
    TFontObj* font = nullptr;
    std::string caption;  // pages' and panels' captions, which no window shows
    int id = 0;

    std::vector<TTextProperty> TextProperties() override
    {
        switch (desc->kind) {
        case TControlKind::Label:
        case TControlKind::Button:
        case TControlKind::Edit:
            return {{[this] { return WindowText(wnd); },
                     [this](const std::string& value) {
                         SetWindowTextA(wnd, value.c_str());
                         form->AutoSizeLabel(*this);
                     }}};
        case TControlKind::ZanthPanel:
            return {{[this] { return panel ? panel->Caption() : std::string(); },
                     [this](const std::string& value) {
                         if (panel)
                             panel->SetCaption(value);
                     }}};
        case TControlKind::Page:
        case TControlKind::Panel:
            return {{[this] { return caption; }, [this](const std::string& value) { caption = value; }}};
        default:
            return {};
        }
    }
    std::vector<TTranslatable*> Children() override
    {
        std::vector<TTranslatable*> children;
        if (font)
            children.push_back(font);
        if (desc->kind == TControlKind::PageControl && form->activePage_)
            children.push_back(form->activePage_);
        return children;
    }
};

struct TAppFrm::TDialogObj : TTranslatable {
    TOpenPictureDialog dialog;

    std::vector<TTextProperty> TextProperties() override
    {
        return {{[this] { return dialog.Filter; }, [this](const std::string& value) { dialog.Filter = value; }}};
    }
    std::vector<TTranslatable*> Children() override { return {}; }
};

TAppFrm::TAppFrm() : dialog_(std::make_unique<TDialogObj>())
{
    try {
        BuildControls();
    } catch (...) {
        Release();
        throw;
    }
    try {
        FormCreate();
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
    creating_ = false;
    ShowWindow(wnd_, SW_SHOWNORMAL);
    UpdateWindow(wnd_);
    FocusFirstIn(*controls_.front());
}

TAppFrm::~TAppFrm()
{
    Release();
}

// The window goes first, so no control still uses a font or brush when it
// is deleted.
void TAppFrm::Release()
{
    if (wnd_)
        DestroyWindow(wnd_);
    for (auto& font : fonts_)
        DeleteObject(font->handle);
    fonts_.clear();
    for (auto& brush : brushes_)
        DeleteObject(brush.second);
    brushes_.clear();
    if (AppFrm == this)
        AppFrm = nullptr;
}

void TAppFrm::BuildControls()
{
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registered) {
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpfnWndProc = FormProc;
        wc.lpszClassName = FormClass;
        wc.hIcon = ProgramIcon();
        RegisterClassExA(&wc);
        wc.hIcon = nullptr;
        wc.lpfnWndProc = ContainerProc;
        wc.lpszClassName = ContainerClass;
        RegisterClassExA(&wc);
        wc.lpfnWndProc = ImageProc;
        wc.lpszClassName = ImageClass;
        RegisterClassExA(&wc);
        TZanthPanel::Register(instance);
        registered = true;
    }

    for (size_t i = 0; i < FormControlCount; ++i) {
        const TControlDesc& desc = FormControls[i];
        if (desc.kind == TControlKind::PictureDialog) {
            dialog_->dialog.Filter = desc.text;
            continue;
        }
        auto control = std::make_unique<TControl>();
        control->form = this;
        control->desc = &desc;
        control->id = FirstControlId + static_cast<int>(controls_.size());
        control->caption = desc.text;
        if (desc.parent)
            control->parent = Find(desc.parent);
        controls_.push_back(std::move(control));
    }

    // The window font decides the scale: fonts follow the screen's dpi, and
    // every place and size follows the height of "0" in the window font.
    TControl& form = *controls_.front();
    TWindowDc screen(nullptr);
    {
        dpi_ = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        if (dpi_ <= 0)
            dpi_ = FormDesignDpi;
        form.font = FontFor(*form.desc, nullptr);
        TSelectGuard select(screen.Get(), form.font->handle);
        SIZE zero = {};
        if (GetTextExtentPoint32A(screen.Get(), "0", 1, &zero) && zero.cy > 0)
            scaleNum_ = zero.cy;
    }

    RECT frame = {0, 0, Scale(form.desc->width), Scale(form.desc->height)};
    AdjustWindowRectEx(&frame, FormStyle, FALSE, 0);
    wnd_ = CreateWindowExA(0, FormClass, form.desc->text, FormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!wnd_)
        throw EMarquillError(ResText(N_("The main window cannot be created")));
    form.wnd = wnd_;

    for (size_t i = 1; i < controls_.size(); ++i)
        controls_[i]->font = FontFor(*controls_[i]->desc, controls_[i]->parent->font);
    {
        // Taking a screen DC for each of the forty-odd labels costs more
        // under Wine than building them; they share this one.
        TScopedDc measuring(measureDc_, screen.Get());
        CreateChildrenOf(form);
    }
    AlignControls();
}

// Later rows lie above earlier ones where they overlap: the bottom bar over
// the page control, "Support Info" over "General". A new child window goes
// below its siblings, so creating each parent's children from its last row
// to its first gives that order without moving every window afterwards.
void TAppFrm::CreateChildrenOf(TControl& parent)
{
    for (size_t i = controls_.size(); i-- > 1;) {
        TControl& control = *controls_[i];
        if (control.parent != &parent)
            continue;
        CreateControl(control);
        if (control.desc->kind == TControlKind::Page && control.desc->visible)
            activePage_ = &control;
        CreateChildrenOf(control);
    }
}

void TAppFrm::CreateControl(TControl& control)
{
    const TControlDesc& desc = *control.desc;
    HWND parent = control.parent->wnd;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id));
    int x = Scale(desc.left), y = Scale(desc.top), w = Scale(desc.width), h = Scale(desc.height);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (desc.visible ? WS_VISIBLE : 0);

    switch (desc.kind) {
    case TControlKind::PageControl:
    case TControlKind::Page:
    case TControlKind::Panel:
        control.wnd = CreateWindowExA(WS_EX_CONTROLPARENT, ContainerClass, "", style | WS_CLIPCHILDREN, x, y, w, h,
                                      parent, id, instance, this);
        break;
    case TControlKind::ZanthPanel:
        control.panel = TZanthPanel::Create(parent, x, y, w, h, control.id);
        if (control.panel) {
            control.wnd = control.panel->Handle();
            if (!desc.visible)
                ShowWindow(control.wnd, SW_HIDE);
            control.panel->SetColor(BackgroundOf(control));
            control.panel->SetFont(control.font->handle, control.font->color);
            control.panel->SetBorderColor(TZanthPanel::DefaultBorderColor);
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

TAppFrm::TFontObj* TAppFrm::FontFor(const TControlDesc& desc, TFontObj* inherited)
{
    if (!desc.fontFace)
        return inherited;
    COLORREF color = desc.fontColor == CLR_DEFAULT ? GetSysColor(COLOR_WINDOWTEXT) : desc.fontColor;
    for (auto& font : fonts_)
        if (font->designFace == desc.fontFace && font->height == desc.fontHeight && font->designColor == desc.fontColor)
            return font.get();
    auto font = std::make_unique<TFontObj>();
    font->form = this;
    font->designFace = desc.fontFace;
    font->face = desc.fontFace;
    font->height = desc.fontHeight;
    font->designColor = desc.fontColor;
    font->color = color;
    font->handle = MakeFont(font->face, font->height, dpi_);
    fonts_.push_back(std::move(font));
    return fonts_.back().get();
}

void TAppFrm::ApplyFont(TControl& control)
{
    if (!control.wnd || !control.font)
        return;
    if (control.panel) {
        control.panel->SetFont(control.font->handle, control.font->color);
        InvalidateRect(control.wnd, nullptr, TRUE);
        return;
    }
    switch (control.desc->kind) {
    case TControlKind::Label:
    case TControlKind::Edit:
    case TControlKind::Button:
        // The window is hidden while it is built and its first showing paints
        // every control; redrawing each one now still costs Wine a round of
        // update-region work per control.
        SendMessageA(control.wnd, WM_SETFONT, reinterpret_cast<WPARAM>(control.font->handle), !creating_);
        break;
    default:
        break;
    }
}

void TAppFrm::RecreateFont(TFontObj& font)
{
    HFONT old = font.handle;
    font.handle = MakeFont(font.face, font.height, dpi_);
    for (auto& control : controls_) {
        if (control->font != &font)
            continue;
        ApplyFont(*control);
        AutoSizeLabel(*control);
    }
    DeleteObject(old);
}

bool TAppFrm::IsAutoSized(const TControl& control)
{
    const TControlDesc& desc = *control.desc;
    return desc.kind == TControlKind::Label && desc.width == 0 && desc.height == 0 && control.font;
}

SIZE TAppFrm::LabelSize(const TControl& control, const std::string& text) const
{
    if (measureDc_)
        return LineSize(measureDc_, control.font->handle, text);
    TWindowDc screen(nullptr);
    return LineSize(screen.Get(), control.font->handle, text);
}

void TAppFrm::AutoSizeLabel(TControl& control)
{
    if (!IsAutoSized(control) || !control.wnd)
        return;
    SIZE size = LabelSize(control, WindowText(control.wnd));
    SetWindowPos(control.wnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TAppFrm::AlignControls()
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

int TAppFrm::Scale(int value) const
{
    return MulDiv(value, scaleNum_, scaleDen_);
}

TAppFrm::TControl* TAppFrm::Find(const char* name) const
{
    for (auto& control : controls_)
        if (std::strcmp(control->desc->name, name) == 0)
            return control.get();
    return nullptr;
}

TAppFrm::TControl* TAppFrm::FromHandle(HWND wnd) const
{
    if (!wnd)
        return nullptr;
    for (auto& control : controls_)
        if (control->wnd == wnd)
            return control.get();
    return nullptr;
}

HWND TAppFrm::Control(const char* name) const
{
    TControl* control = Find(name);
    return control ? control->wnd : nullptr;
}

const TOpenPictureDialog& TAppFrm::OpenPictureDialog1() const
{
    return dialog_->dialog;
}

std::string TAppFrm::ActivePageName() const
{
    return activePage_ ? activePage_->desc->name : "";
}

COLORREF TAppFrm::BackgroundOf(const TControl& control) const
{
    for (const TControl* c = &control; c; c = c->parent)
        if (c->desc->color != CLR_NONE)
            return c->desc->color;
    return GetSysColor(COLOR_BTNFACE);
}

HBRUSH TAppFrm::Brush(COLORREF color)
{
    auto found = brushes_.find(color);
    if (found != brushes_.end())
        return found->second;
    // A failed brush is not kept, so the next paint tries again.
    HBRUSH brush = CreateSolidBrush(color);
    if (brush)
        brushes_[color] = brush;
    return brush;
}

std::string TAppFrm::TextOf(const char* name) const
{
    return WindowText(Control(name));
}

void TAppFrm::SetTextOf(const char* name, const std::string& text)
{
    HWND wnd = Control(name);
    if (wnd)
        SetWindowTextA(wnd, text.c_str());
}

std::string TAppFrm::LogoPathForStore() const
{
    // After a failed start the label still shows its designed placeholder,
    // which names no picture: store no logo rather than that text.
    return logoAssigned_ ? TextOf("Label_Logo") : std::string();
}

void TAppFrm::ShowError(const std::string& message)
{
    HWND owner = creating_ ? ApplicationWindow() : GetActiveWindow();
    ShowErrorBox(message, owner ? owner : wnd_);
}

template <class F> void TAppFrm::Guarded(F handler)
{
    try {
        (this->*handler)();
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
}

void TAppFrm::FormCreate()
{
    TranslateComponent(*this, "Marquill");
    if (StoreMode() == TStoreMode::Legacy) {
        // Only the Manufacturer and Model rows stay inside "General"; the
        // top follows the scaling, the gap of 10 does not.
        HWND g1 = Control("G_1"), g2 = Control("G_2");
        RECT g1Rect = {}, g2Rect = {};
        GetWindowRect(g1, &g1Rect);
        GetWindowRect(g2, &g2Rect);
        MapWindowPoints(nullptr, GetParent(g2), reinterpret_cast<POINT*>(&g2Rect), 2);
        SetWindowPos(g1, nullptr, 0, 0, g1Rect.right - g1Rect.left, g2Rect.top - 10,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(Control("Edit_SHours"), SW_HIDE);
        ShowWindow(Control("Label_SHours"), SW_HIDE);
        ReadIniOEMInfo();
        SetTextOf("Edit_Manufacturer", OEMInfo.Manufacturer);
        SetTextOf("Edit_Model", OEMInfo.Model);
        SetTextOf("Label_Logo", OEMInfo.Logo);
        logoAssigned_ = true;
        if (OEMInfo.SupportLines) {
            const std::vector<std::string>& lines = *OEMInfo.SupportLines;
            for (size_t i = 0; i < lines.size(); ++i)
                for (auto& control : controls_)
                    if (control->parent && std::strcmp(control->parent->desc->name, "G_2") == 0 &&
                        control->desc->tag == static_cast<int>(i + 1))
                        SetWindowTextA(control->wnd, lines[i].c_str());
        }
    } else {
        ShowWindow(Control("G_2"), SW_HIDE);
        ReadRegOEMInfo();
        SetTextOf("Edit_Manufacturer", OEMInfo.Manufacturer);
        SetTextOf("Edit_Model", OEMInfo.Model);
        SetTextOf("Edit_SHours", OEMInfo.SupportHours);
        SetTextOf("Edit_SPhone", OEMInfo.SupportPhone);
        SetTextOf("Edit_SUrl", OEMInfo.SupportURL);
        SetTextOf("Label_Logo", OEMInfo.Logo);
        logoAssigned_ = true;
    }

    // A logo path into the system directory means the 64-bit one on 64-bit
    // Windows, so the redirection is off for the existence test and the load.
    {
        TWow64RedirectionOff redirectionOff(IsWow64());
        std::string logo = TextOf("Label_Logo");
        if (FileExists(logo)) {
            picture_.LoadFromFile(logo);
            InvalidateRect(Control("Image1"), nullptr, TRUE);
        }
        redirectionOff.Restore();
    }
    ShowPage("T_XP");
}

void TAppFrm::FormClose()
{
    OEMInfo.SupportLines.reset();
}

void TAppFrm::Btn_OpenClick()
{
    TOpenPictureDialog& dialog = dialog_->dialog;
    if (!dialog.Execute(wnd_))
        return;
    picture_.LoadFromFile(dialog.FileName);
    SetTextOf("Label_Logo", dialog.FileName);
    logoAssigned_ = true;
    InvalidateRect(Control("Image1"), nullptr, TRUE);
}

void TAppFrm::Btn_ApplyClick()
{
    if (StoreMode() == TStoreMode::Registry) {
        WriteRegOEMInfo(TextOf("Edit_Manufacturer"), TextOf("Edit_Model"), TextOf("Edit_SHours"),
                        TextOf("Edit_SPhone"), TextOf("Edit_SUrl"), LogoPathForStore());
        return;
    }
    // Empty line fields are skipped, so the stored lines are numbered
    // without gaps.
    std::vector<std::string> lines;
    for (int i = 1; i <= 10; ++i) {
        std::string text = TextOf(("Edit_Line" + std::to_string(i)).c_str());
        if (!text.empty())
            lines.push_back(text);
    }
    WriteIniOEMInfo(TextOf("Edit_Manufacturer"), TextOf("Edit_Model"), LogoPathForStore(), lines);
}

void TAppFrm::Btn_RemoveClick()
{
    if (StoreMode() == TStoreMode::Registry)
        RemoveRegOEMInfo();
    else
        RemoveIniOEMInfo();
}

void TAppFrm::Button4Cli()
{
    ShowPage("T_About");
}

void TAppFrm::Btn_BackClick()
{
    ShowPage("T_XP");
}

void TAppFrm::ShowPage(const char* name)
{
    TControl* page = Find(name);
    if (!page || page == activePage_)
        return;
    HWND focus = GetFocus();
    bool focusInside = activePage_ && focus && IsChild(activePage_->wnd, focus);
    ShowWindow(page->wnd, SW_SHOW);
    if (activePage_)
        ShowWindow(activePage_->wnd, SW_HIDE);
    activePage_ = page;
    if (focusInside)
        FocusFirstIn(*page);
}

std::vector<TAppFrm::TControl*> TAppFrm::ChildrenOf(const TControl& parent)
{
    std::vector<TControl*> children;
    for (auto& control : controls_)
        if (control->parent == &parent && control->desc->tabOrder >= 0)
            children.push_back(control.get());
    std::stable_sort(children.begin(), children.end(),
                     [](const TControl* a, const TControl* b) { return a->desc->tabOrder < b->desc->tabOrder; });
    return children;
}

std::vector<TAppFrm::TControl*> TAppFrm::TabSequence()
{
    std::vector<TControl*> sequence;
    std::vector<TControl*> pending = {controls_.front().get()};
    // Depth first, each parent's children in their tab order.
    while (!pending.empty()) {
        TControl* control = pending.back();
        pending.pop_back();
        if (IsContainer(control->desc->kind)) {
            std::vector<TControl*> children = ChildrenOf(*control);
            pending.insert(pending.end(), children.rbegin(), children.rend());
        } else if (control->wnd && IsWindowVisible(control->wnd) && IsWindowEnabled(control->wnd)) {
            sequence.push_back(control);
        }
    }
    return sequence;
}

// A field taken by the keyboard has its whole text selected, as in dialogs.
void TAppFrm::Focus(TControl& control)
{
    SetFocus(control.wnd);
    if (control.desc->kind == TControlKind::Edit)
        SendMessageA(control.wnd, EM_SETSEL, 0, -1);
}

void TAppFrm::FocusFirstIn(TControl& container)
{
    for (TControl* control : TabSequence()) {
        if (control->wnd == container.wnd || IsChild(container.wnd, control->wnd)) {
            Focus(*control);
            return;
        }
    }
}

bool TAppFrm::IsFormMessage(MSG& msg)
{
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || !wnd_)
        return false;
    if (msg.hwnd != wnd_ && !IsChild(wnd_, msg.hwnd))
        return false;
    // Ctrl+Tab is swallowed: the pages change only by their buttons.
    if (GetKeyState(VK_CONTROL) < 0)
        return true;
    std::vector<TControl*> sequence = TabSequence();
    if (sequence.empty())
        return true;
    bool backwards = GetKeyState(VK_SHIFT) < 0;
    HWND focus = GetFocus();
    auto current = std::find_if(sequence.begin(), sequence.end(),
                                [focus](const TControl* c) { return c->wnd == focus || IsChild(c->wnd, focus); });
    size_t count = sequence.size();
    size_t next;
    if (current == sequence.end())
        next = backwards ? count - 1 : 0;
    else {
        size_t index = static_cast<size_t>(current - sequence.begin());
        next = backwards ? (index + count - 1) % count : (index + 1) % count;
    }
    Focus(*sequence[next]);
    return true;
}

std::vector<TTextProperty> TAppFrm::TextProperties()
{
    return {{[this] { return WindowText(wnd_); },
             [this](const std::string& value) { SetWindowTextA(wnd_, value.c_str()); }}};
}

std::vector<TTranslatable*> TAppFrm::Children()
{
    std::vector<TTranslatable*> children;
    if (controls_.front()->font)
        children.push_back(controls_.front()->font);
    for (size_t i = 1; i < controls_.size(); ++i)
        children.push_back(controls_[i].get());
    children.push_back(dialog_.get());
    return children;
}

void TAppFrm::HandleCommand(int id, int code)
{
    if (code != BN_CLICKED)
        return;
    size_t index = static_cast<size_t>(id - FirstControlId);
    if (id < FirstControlId || index >= controls_.size())
        return;
    const char* name = controls_[index]->desc->name;
    if (std::strcmp(name, "Btn_Open") == 0)
        Guarded(&TAppFrm::Btn_OpenClick);
    else if (std::strcmp(name, "Btn_Apply") == 0)
        Guarded(&TAppFrm::Btn_ApplyClick);
    else if (std::strcmp(name, "Btn_Remove") == 0)
        Guarded(&TAppFrm::Btn_RemoveClick);
    else if (std::strcmp(name, "Btn_About") == 0)
        Guarded(&TAppFrm::Button4Cli);
    else if (std::strcmp(name, "Btn_Back") == 0)
        Guarded(&TAppFrm::Btn_BackClick);
}

LRESULT TAppFrm::HandleCtlColor(HDC dc, HWND wnd)
{
    TControl* control = FromHandle(wnd);
    if (!control || !control->font)
        return 0;
    switch (control->desc->kind) {
    case TControlKind::Edit:
        SetTextColor(dc, control->font->color);
        SetBkColor(dc, control->desc->color);
        return reinterpret_cast<LRESULT>(Brush(control->desc->color));
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
void TAppFrm::FillBackground(HWND wnd, HDC dc)
{
    TControl* control = FromHandle(wnd);
    RECT client = {};
    GetClientRect(wnd, &client);
    FillRect(dc, &client, Brush(control ? BackgroundOf(*control) : GetSysColor(COLOR_BTNFACE)));
}

void TAppFrm::PaintImage(HWND wnd, HDC dc)
{
    FillBackground(wnd, dc);
    RECT client = {};
    GetClientRect(wnd, &client);
    if (picture_.Empty())
        return;
    // Shown at its own size from the top-left corner, cut at the box's edges.
    int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    picture_.Draw(dc, 0, 0);
    RestoreDC(dc, saved);
}

LRESULT TAppFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        if (lParam)
            HandleCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        LRESULT brush = HandleCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        if (brush)
            return brush;
        break;
    }
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            const TControl* control = FromHandle(reinterpret_cast<HWND>(wParam));
            if (control && control->desc->handCursor) {
                SetCursor(LoadCursorA(nullptr, IDC_HAND));
                return TRUE;
            }
        }
        break;
    case WM_SIZE:
        AlignControls();
        return 0;
    case WM_ACTIVATE:
        // Give the focus back to the control that had it, as dialogs do.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(wnd_, focus))
                lastFocus_ = focus;
            return 0;
        }
        if (lastFocus_ && IsWindow(lastFocus_) && IsChild(wnd_, lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_CLOSE:
        Guarded(&TAppFrm::FormClose);
        DestroyWindow(wnd_);
        return 0;
    case WM_DESTROY:
        if (QuitOnDestroy)
            PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        for (auto& control : controls_) {
            control->wnd = nullptr;
            control->panel = nullptr;
        }
        wnd_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcA(wnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TAppFrm::FormProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* form = static_cast<TAppFrm*>(create->lpCreateParams);
        form->wnd_ = wnd;
        SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TAppFrm*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!form || form->wnd_ != wnd)
        return DefWindowProcA(wnd, msg, wParam, lParam);
    try {
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
            form->HandleMessage(msg, wParam, lParam);
            return DefWindowProcA(wnd, msg, wParam, lParam);
        }
        return form->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

// The window that owns a container or picture box: handed over in the
// creation parameters and kept in the child's user data.
static TAppFrm* FormOfChild(HWND wnd, UINT msg, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<TAppFrm*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

LRESULT CALLBACK TAppFrm::ContainerProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TAppFrm* form = FormOfChild(wnd, msg, lParam);
    if (TZanthPanel::IsChildReport(msg))
        return SendMessageA(GetParent(wnd), msg, wParam, lParam);
    switch (msg) {
    case WM_ERASEBKGND:
        if (form) {
            try {
                form->FillBackground(wnd, reinterpret_cast<HDC>(wParam));
            } catch (...) {
            }
            return TRUE;
        }
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

LRESULT CALLBACK TAppFrm::ImageProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TAppFrm* form = FormOfChild(wnd, msg, lParam);
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT: {
        TPaintDc dc(wnd);
        if (form && dc.Get()) {
            try {
                form->PaintImage(wnd, dc.Get());
            } catch (...) {
            }
        }
        return 0;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
