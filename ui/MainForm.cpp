// The form's behaviour: creating and closing, the button handlers, the two
// pages, and the focus with its Tab loop. The window itself is built by
// TFormWindow; the fields map to the store's record through FormFields.
#include "ui/MainForm.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "base/PlatformApi.h"
#include "base/ResText.h"
#include "base/WinFiles.h"
#include "base/Wow64.h"
#include "oeminfo/StoreLock.h"
#include "oeminfo/WinOEMInfo.h"
#include "ui/ErrorBox.h"
#include "ui/FormFields.h"
#include "ui/LogoPath.h"
#include "ui/WindowBase.h"

TAppFrm* AppFrm = nullptr;

namespace {
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

BOOL CALLBACK ForwardColorChange(HWND child, LPARAM)
{
    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

// The focusable children of `parent` in their tab order.
std::vector<TCtl> TabChildrenOf(TCtl parent)
{
    std::vector<TCtl> children;
    for (const TControlDesc& desc : FormControls)
        if (desc.parent == parent && desc.tabOrder >= 0)
            children.push_back(desc.id);
    std::stable_sort(children.begin(), children.end(),
                     [](TCtl a, TCtl b) { return Desc(a).tabOrder < Desc(b).tabOrder; });
    return children;
}
}  // namespace

std::vector<TTextProperty> TAppFrm::TDialogObj::TextProperties()
{
    return {{[this] { return dialog.Filter; }, [this](const std::string& value) { dialog.Filter = value; }}};
}

TAppFrm::TAppFrm()
{
    dialog_.dialog.Filter = Desc(TCtl::OpenPictureDialog1).text;
    try {
        // Owned by the application window, the window has no taskbar button
        // of its own: the program's title shows there.
        // Only what the editing page shows is built now: the about page
        // when it first shows, "Support Info" only where it is seen.
        std::vector<TCtl> deferred = {TCtl::T_About};
        if (StoreMode() != TStoreMode::Legacy)
            deferred.push_back(TCtl::G_2);
        window_.Build(WindowProc<TAppFrm, &TAppFrm::HandleMessage>, this, ApplicationWindow(), deferred);
    } catch (...) {
        // The window goes before the members its procedure reaches.
        if (Handle())
            DestroyWindow(Handle());
        throw;
    }
    window_.SetImage(&picture_);
    try {
        FormCreate();
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
    // A FormCreate that ended early leaves the designed about page showing,
    // over an editing page not yet shaped, so "Support Info" shows there.
    if (!shaped_)
        BuildControl(TCtl::G_2);
    BuildControl(window_.ActivePage());
    creating_ = false;
    SetMainWindow(Handle());
    // As in a dialog, focus rectangles wait for the keyboard, unless the
    // user asked for keyboard cues always.
    cuesShown_ = KeyboardCuesOn();
    SendMessageA(Handle(), WM_CHANGEUISTATE,
                 MAKEWPARAM(cuesShown_ ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    ShowWindow(Handle(), SW_SHOWNORMAL);
    UpdateWindow(Handle());
    FocusFirstIn(Handle());
}

// The window goes while the form is still whole: its last messages reach it.
TAppFrm::~TAppFrm()
{
    if (Handle())
        DestroyWindow(Handle());
    if (AppFrm == this)
        AppFrm = nullptr;
}

std::string TAppFrm::ActivePageName() const
{
    return window_.ActivePage() == TCtl::None ? "" : Desc(window_.ActivePage()).name;
}

void TAppFrm::ShowError(const std::string& message)
{
    HWND owner = creating_ ? ApplicationWindow() : GetActiveWindow();
    ShowErrorBox(message, owner ? owner : Handle());
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
    translated_ = true;
    const TStoreMode mode = StoreMode();
    if (mode == TStoreMode::Legacy) {
        // Only the Manufacturer and Model rows stay inside "General"; the
        // top follows the scaling, the gap of 10 does not.
        HWND g1 = Control(TCtl::G_1), g2 = Control(TCtl::G_2);
        RECT g1Rect = {}, g2Rect = {};
        GetWindowRect(g1, &g1Rect);
        GetWindowRect(g2, &g2Rect);
        MapWindowPoints(nullptr, GetParent(g2), reinterpret_cast<POINT*>(&g2Rect), 2);
        SetWindowPos(g1, nullptr, 0, 0, g1Rect.right - g1Rect.left, g2Rect.top - 10,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // The rows below the two fall outside the shortened panel; hidden,
        // they take no Tab stop either, so nothing is typed out of sight.
        for (TCtl row : {TCtl::Label_SHours, TCtl::Edit_SHours, TCtl::Label_SPhone, TCtl::Edit_SPhone,
                         TCtl::Label_SUrl, TCtl::Edit_SUrl})
            ShowWindow(Control(row), SW_HIDE);
        // Shortened, "General" no longer lies under "Support Info", which
        // can then be read after it.
        SetWindowPos(g2, g1, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // In registry mode "Support Info" stays hidden by never being built.
    shaped_ = true;
    ReadOEMInfo(mode);
    FormFromRecord(window_, OEMInfo, mode);
    logoAssigned_ = true;
    NameImage();

    // The logo is the file Windows' 64-bit reader opens: the stored text
    // expanded as that reader expands it, read with the redirection off (a
    // path into the system directory means the 64-bit one), decoded with it
    // on. The label keeps the text as stored.
    const std::string logo = ExpandAsWindowsReads(WindowTextOf(Control(TCtl::Label_Logo)));
    bool found = false;
    std::string bytes = WithRedirectionOff(IsWow64(), [&] {
        found = IsExistingFile(logo);
        return found ? TPicture::ReadFile(logo) : std::string();
    });
    if (found) {
        picture_.LoadFromBytes(std::move(bytes), logo);
        InvalidateRect(Control(TCtl::Image1), nullptr, TRUE);
    }
    ShowPage(TCtl::T_XP);
}

void TAppFrm::FormClose()
{
    OEMInfo.SupportLines.reset();
}

void TAppFrm::Btn_OpenClick()
{
    TOpenPictureDialog& dialog = dialog_.dialog;
    if (!dialog.Execute(Handle()))
        return;
    // The picture is read as Windows will read it, from a path that names
    // the file the user saw in the 32-bit dialog.
    const std::string path = PathAsTheUserSawIt(dialog.FileName);
    std::string bytes = WithRedirectionOff(IsWow64(), [&] { return TPicture::ReadFile(path); });
    picture_.LoadFromBytes(std::move(bytes), path);
    SetWindowTextA(Control(TCtl::Label_Logo), path.c_str());
    logoAssigned_ = true;
    NameImage();
    InvalidateRect(Control(TCtl::Image1), nullptr, TRUE);
}

void TAppFrm::Btn_ApplyClick()
{
    const TStoreMode mode = StoreMode();
    TOEMInfo record = RecordFromForm(window_, mode);
    // After a failed start the label still shows its designed placeholder,
    // which names no picture: store no logo rather than that text.
    if (!logoAssigned_)
        record.Logo.clear();
    // The store installs or converts the picture checked at Open or at the
    // start, from its bytes (a 0-byte bitmap too, which shows as none), and
    // says which logo it now holds.
    const TPicture* logo = logoAssigned_ && (!picture_.Empty() || picture_.IsEmptyBitmap()) ? &picture_ : nullptr;
    std::string stored;
    UnderStoreLock(
        [&] {
            stored = mode == TStoreMode::Legacy
                         ? WriteIniOEMInfo(record.Manufacturer, record.Model, logo, *record.SupportLines)
                         : WriteRegOEMInfo(record.Manufacturer, record.Model, record.SupportHours, record.SupportPhone,
                                           record.SupportURL, record.Logo, logo);
        },
        [this](const std::string& notice) { ShowError(ResText(notice.c_str())); });
    SetWindowTextA(Control(TCtl::Label_Logo), stored.c_str());
    NameImage();
}

void TAppFrm::NameImage()
{
    window_.SetLogoPath(logoAssigned_ ? WindowTextOf(Control(TCtl::Label_Logo)) : std::string());
}

void TAppFrm::Btn_RemoveClick()
{
    UnderStoreLock([] { RemoveOEMInfo(StoreMode()); },
                   [this](const std::string& notice) { ShowError(ResText(notice.c_str())); });
}

void TAppFrm::Button4Cli()
{
    ShowPage(TCtl::T_About);
}

void TAppFrm::Btn_BackClick()
{
    ShowPage(TCtl::T_XP);
}

void TAppFrm::ShowPage(TCtl page)
{
    const TCtl active = window_.ActivePage();
    if (page == active)
        return;
    BuildControl(page);
    HWND activeWnd = Control(active);
    HWND focus = GetFocus();
    bool focusInside = activeWnd && focus && IsChild(activeWnd, focus);
    ShowWindow(Control(page), SW_SHOW);
    if (activeWnd)
        ShowWindow(activeWnd, SW_HIDE);
    window_.SetActivePage(page);
    if (focusInside)
        FocusFirstIn(Control(page));
}

// The texts of controls built after the window was translated are looked up
// as they come, in the language the window has.
void TAppFrm::BuildControl(TCtl id)
{
    for (TTranslatable* control : window_.BuildControl(id))
        if (translated_)
            TranslateProperties(*control, "Marquill");
}

// Depth first, each parent's children in their tab order; only what can
// take the focus now.
std::vector<HWND> TAppFrm::TabSequence() const
{
    std::vector<HWND> sequence;
    std::vector<TCtl> pending = {TCtl::AppFrm};
    while (!pending.empty()) {
        TCtl id = pending.back();
        pending.pop_back();
        if (IsContainer(Desc(id).kind)) {
            std::vector<TCtl> children = TabChildrenOf(id);
            pending.insert(pending.end(), children.rbegin(), children.rend());
        } else if (HWND wnd = Control(id); wnd && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
            sequence.push_back(wnd);
        }
    }
    return sequence;
}

// A field taken by the keyboard has its whole text selected, as in dialogs.
void TAppFrm::Focus(HWND control)
{
    SetFocus(control);
    const TCtl id = window_.IdOf(control);
    if (id != TCtl::None && Desc(id).kind == TControlKind::Edit)
        SendMessageA(control, EM_SETSEL, 0, -1);
}

void TAppFrm::FocusFirstIn(HWND container)
{
    for (HWND control : TabSequence()) {
        if (control == container || IsChild(container, control)) {
            Focus(control);
            return;
        }
    }
}

bool TAppFrm::IsFormMessage(MSG& msg)
{
    HWND wnd = Handle();
    if (!wnd || (msg.hwnd != wnd && !IsChild(wnd, msg.hwnd)))
        return false;
    if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_MENU) {
        ShowFocusCues();
        return false;
    }
    if (msg.message != WM_KEYDOWN)
        return false;
    switch (msg.wParam) {
    case VK_TAB:
        // Ctrl+Tab is swallowed: the pages change only by their buttons.
        if (GetKeyState(VK_CONTROL) >= 0) {
            ShowFocusCues();
            TabKey(GetKeyState(VK_SHIFT) < 0);
        }
        return true;
    case VK_RETURN: {
        // Enter presses the focused button, as Space does. Nothing is the
        // default button: in a field Enter does nothing, as Apply writes the
        // machine's store.
        HWND focus = GetFocus();
        const TCtl id = window_.IdOf(focus);
        if (id != TCtl::None && Desc(id).kind == TControlKind::Button)
            SendMessageA(focus, BM_CLICK, 0, 0);
        return true;
    }
    case VK_ESCAPE:
        // Back from the about page; on the editing page it keeps what was typed.
        if (window_.ActivePage() == TCtl::T_About)
            Guarded(&TAppFrm::Btn_BackClick);
        return true;
    default:
        return false;
    }
}

void TAppFrm::TabKey(bool backwards)
{
    std::vector<HWND> sequence = TabSequence();
    if (sequence.empty())
        return;
    HWND focus = GetFocus();
    auto current = std::find_if(sequence.begin(), sequence.end(),
                                [focus](HWND c) { return c == focus || IsChild(c, focus); });
    size_t count = sequence.size();
    size_t next;
    if (current == sequence.end())
        next = backwards ? count - 1 : 0;
    else {
        size_t index = static_cast<size_t>(current - sequence.begin());
        next = backwards ? (index + count - 1) % count : (index + 1) % count;
    }
    Focus(sequence[next]);
}

// As the dialog manager does at the first Tab or Alt: from then on the
// buttons draw their focus rectangles and the focused field its cue.
void TAppFrm::ShowFocusCues()
{
    if (cuesShown_)
        return;
    cuesShown_ = true;
    SendMessageA(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    window_.SetFocusCue(GetFocus());
}

std::vector<TTextProperty> TAppFrm::TextProperties()
{
    return {{[this] { return WindowTextOf(Handle()); },
             [this](const std::string& value) { SetWindowTextA(Handle(), value.c_str()); }}};
}

std::vector<TTranslatable*> TAppFrm::Children()
{
    std::vector<TTranslatable*> children;
    window_.AddTranslatables(children);
    children.push_back(&dialog_);
    return children;
}

void TAppFrm::HandleCommand(int id, HWND control, int code)
{
    if (code == EN_SETFOCUS || code == EN_KILLFOCUS) {
        window_.SetFocusCue(cuesShown_ && code == EN_SETFOCUS ? control : nullptr);
        return;
    }
    if (code != BN_CLICKED)
        return;
    switch (window_.FromCommandId(id)) {
    case TCtl::Btn_Open:
        Guarded(&TAppFrm::Btn_OpenClick);
        break;
    case TCtl::Btn_Apply:
        Guarded(&TAppFrm::Btn_ApplyClick);
        break;
    case TCtl::Btn_Remove:
        Guarded(&TAppFrm::Btn_RemoveClick);
        break;
    case TCtl::Btn_About:
        Guarded(&TAppFrm::Button4Cli);
        break;
    case TCtl::Btn_Back:
        Guarded(&TAppFrm::Btn_BackClick);
        break;
    default:
        break;
    }
}

LRESULT TAppFrm::HandleMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        if (lParam)
            HandleCommand(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam != SPI_SETHIGHCONTRAST)
            break;
        [[fallthrough]];
    case WM_SYSCOLORCHANGE:
        // Colours may have changed with high contrast switched on or off,
        // or with it on; the system's controls hear of it from here.
        if (msg == WM_SYSCOLORCHANGE)
            EnumChildWindows(wnd, ForwardColorChange, 0);
        window_.ApplyColorScheme();
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (LRESULT brush = window_.CtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
            return brush;
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && window_.HasHandCursor(reinterpret_cast<HWND>(wParam))) {
            // Windows 95 and NT 4.0 have no hand cursor: the default
            // handling then shows the arrow rather than no pointer at all.
            if (HCURSOR hand = PlatformApi.LoadCursorA(nullptr, IDC_HAND)) {
                SetCursor(hand);
                return TRUE;
            }
        }
        break;
    case WM_ERASEBKGND:
        // Maximised, the window is larger than its page control; the rest
        // shows the form's own colour.
        window_.FillBackground(wnd, reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_SIZE:
        window_.AlignControls();
        return 0;
    case WM_ACTIVATE:
        // Give the focus back to the control that had it, as dialogs do.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(wnd, focus))
                lastFocus_ = focus;
            return 0;
        }
        if (lastFocus_ && IsWindow(lastFocus_) && IsChild(wnd, lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            MinimizeApplication();
            return 0;
        }
        break;
    case WM_CLOSE:
        Guarded(&TAppFrm::FormClose);
        DestroyWindow(wnd);
        return 0;
    case WM_DESTROY:
        SetMainWindow(nullptr);
        if (QuitOnDestroy)
            PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        window_.Forget();
        break;
    default:
        break;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
