#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/WinHandles.h"

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs, const std::function<bool(MSG&)>& preDispatch)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (preDispatch && preDispatch(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string MakeBmp24(int width, int height, const std::function<COLORREF(int x, int y)>& color)
{
    const int stride = (width * 3 + 3) & ~3;
    std::string pixels(static_cast<size_t>(stride) * height, '\0');
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;  // rows are stored bottom-up
        for (int x = 0; x < width; ++x) {
            const COLORREF c = color(x, y);
            const size_t at = static_cast<size_t>(row) * stride + x * 3;
            pixels[at] = static_cast<char>(GetBValue(c));
            pixels[at + 1] = static_cast<char>(GetGValue(c));
            pixels[at + 2] = static_cast<char>(GetRValue(c));
        }
    }
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    return bytes + pixels;
}

namespace {
HHOOK g_hook = nullptr;
std::vector<TMessageBoxCatcher::TBox> g_boxes;
// A box that loses the activation and gets it back is still one box.
std::vector<HWND> g_boxWindows;

BOOL CALLBACK FindIcon(HWND child, LPARAM param)
{
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        HICON shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        if (shown == LoadIconA(nullptr, IDI_HAND))
            *reinterpret_cast<bool*>(param) = true;
    }
    return TRUE;
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND wnd = reinterpret_cast<HWND>(wParam);
        char cls[16] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        // Activation can be reported to this thread for another process's
        // window (when this thread's window goes, Wine activates the next
        // one): a box that is not ours is not ours to close.
        const bool seen = std::find(g_boxWindows.begin(), g_boxWindows.end(), wnd) != g_boxWindows.end();
        if (!seen && lstrcmpA(cls, "#32770") == 0 && GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId()) {
            g_boxWindows.push_back(wnd);
            TMessageBoxCatcher::TBox box;
            char buf[4096] = {};
            GetWindowTextA(wnd, buf, sizeof buf);
            box.caption = buf;
            buf[0] = 0;
            GetDlgItemTextA(wnd, 0xFFFF, buf, sizeof buf);
            box.text = buf;
            box.owner = GetWindow(wnd, GW_OWNER);
            EnumChildWindows(wnd, FindIcon, reinterpret_cast<LPARAM>(&box.hasErrorIcon));
            g_boxes.push_back(box);
            PostMessageA(wnd, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}
}  // namespace

TMessageBoxCatcher::TMessageBoxCatcher()
{
    Clear();
    g_hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    // Without the hook the first box would wait for a click until the test times out.
    if (!g_hook)
        ADD_FAILURE() << "cannot hook message boxes (error " << GetLastError() << ")";
}

TMessageBoxCatcher::~TMessageBoxCatcher()
{
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
}

int TMessageBoxCatcher::Count() const { return static_cast<int>(g_boxes.size()); }
const TMessageBoxCatcher::TBox& TMessageBoxCatcher::Last() const { return g_boxes.back(); }
const TMessageBoxCatcher::TBox& TMessageBoxCatcher::At(int i) const { return g_boxes.at(i); }
void TMessageBoxCatcher::Clear()
{
    g_boxes.clear();
    g_boxWindows.clear();
}

bool ReadRegValue64(HKEY root, const char* path, const char* name, DWORD& type, std::string& data)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        data.assign(size, '\0');
        rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool ReadFileInto(const std::string& path, std::string& out)
{
    THandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.Valid())
        return false;
    out.clear();
    char buf[65536];
    for (;;) {
        DWORD got = 0;
        // A failed read is not the end of the file: half a file must not pass as all of it.
        if (!ReadFile(file.Get(), buf, sizeof buf, &got, nullptr))
            return false;
        if (!got)
            return true;
        out.append(buf, got);
    }
}

bool WriteWholeFile(const std::string& path, const std::string& data)
{
    THandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file.Valid())
        return false;
    DWORD written = 0;
    return WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
           written == data.size();
}

COLORREF TPixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    return data[static_cast<size_t>(y) * width + x];
}

bool CaptureDrawing(int width, int height, const std::function<bool(HDC)>& draw, TPixels& out)
{
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TGdiObject dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib.Get())
        return false;
    {
        TMemoryDC memDc(nullptr, dib.Get());
        if (!memDc.Get() || !draw(memDc.Get()))
            return false;
        GdiFlush();
    }
    const auto* px = static_cast<const DWORD*>(bits);
    out.width = width;
    out.height = height;
    out.data.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < out.data.size(); ++i) {
        const DWORD p = px[i];  // 0x00RRGGBB in a 32-bit DIB
        out.data[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    return true;
}

bool CaptureClient(HWND wnd, TPixels& out)
{
    RECT client{};
    if (!GetClientRect(wnd, &client))
        return false;
    TWindowDc wndDc(wnd);
    if (!wndDc.Get())
        return false;
    const int w = client.right, h = client.bottom;
    return CaptureDrawing(
        w, h, [&](HDC dc) { return BitBlt(dc, 0, 0, w, h, wndDc.Get(), 0, 0, SRCCOPY) != FALSE; }, out);
}

std::string ColorText(COLORREF color)
{
    char buf[16];
    wsprintfA(buf, "#%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
    return buf;
}

std::vector<std::string> CaptionedFrameErrors(const TPixels& px, SIZE caption, COLORREF border)
{
    std::vector<std::string> errors;
    const int w = px.width, h = px.height, half = caption.cy / 2;
    // Too small a capture would skip the checks below and pass unchecked.
    if (w < caption.cx + 22 || h < half + 3) {
        errors.push_back("the capture (" + std::to_string(w) + "x" + std::to_string(h) +
                         ") is too small for a frame around a caption of " + std::to_string(caption.cx) + "x" +
                         std::to_string(caption.cy));
        return errors;
    }
    auto expect = [&](int x, int y, bool isBorder, const char* what) {
        if (errors.size() >= 10 || x < 0 || y < 0 || x >= w || y >= h)
            return;
        const COLORREF got = px.At(x, y);
        if ((got == border) != isBorder)
            errors.push_back(std::string(what) + " at (" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                             ColorText(got));
    };
    for (int y = half + 1; y <= h - 2; ++y) {
        expect(1, y, true, "left edge");
        expect(w - 3, y, true, "right edge");
        expect(0, y, false, "outside the left edge");
        expect(w - 2, y, false, "outside the right edge");
        expect(w - 1, y, false, "outside the right edge");
    }
    for (int x = 2; x <= 11; ++x)
        expect(x, half, true, "top edge before the caption");
    for (int x = 12; x < caption.cx + 18 && x < w - 2; ++x)
        expect(x, half, false, "caption gap");
    for (int x = caption.cx + 18; x <= w - 4; ++x)
        expect(x, half, true, "top edge after the caption");
    for (int x = 2; x <= w - 4; ++x)
        expect(x, h - 1, true, "bottom edge");
    expect(1, half, false, "top-left corner");
    expect(w - 3, half, false, "top-right corner");
    expect(w - 3, h - 1, false, "bottom-right corner");
    expect(1, h - 1, false, "bottom-left corner");
    return errors;
}

// ---- Driving modal dialogs ----
#include <commctrl.h>
#include <dlgs.h>

namespace {
TModalScript* g_activeScript = nullptr;

bool IsVisibleDialog(HWND wnd)
{
    char cls[16] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    return lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(wnd);
}

BOOL CALLBACK CancelDialog(HWND wnd, LPARAM)
{
    if (IsVisibleDialog(wnd))
        PostMessageA(wnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

BOOL CALLBACK DestroyDialog(HWND wnd, LPARAM)
{
    if (IsVisibleDialog(wnd))
        DestroyWindow(wnd);
    return TRUE;
}

struct TWindowQuery {
    const char* cls;
    const char* caption;
    HWND owner;  // for children: the required parent
    bool fileDialog;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND wnd, LPARAM param)
{
    auto* q = reinterpret_cast<TWindowQuery*>(param);
    if (!IsVisibleDialog(wnd))
        return TRUE;
    char caption[256] = {};
    GetWindowTextA(wnd, caption, sizeof caption);
    if (q->caption && lstrcmpA(caption, q->caption) != 0)
        return TRUE;
    if (q->owner && GetWindow(wnd, GW_OWNER) != q->owner)
        return TRUE;
    if (q->fileDialog && !GetDlgItem(wnd, cmb13) && !GetDlgItem(wnd, edt1))
        return TRUE;
    q->found = wnd;
    return FALSE;
}

BOOL CALLBACK MatchChild(HWND wnd, LPARAM param)
{
    auto* q = reinterpret_cast<TWindowQuery*>(param);
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpA(cls, q->cls) != 0 || (q->owner && GetParent(wnd) != q->owner))
        return TRUE;
    q->found = wnd;
    return FALSE;
}
}  // namespace

void TModalScript::Add(std::string name, std::function<bool()> done, DWORD timeoutMs,
                       std::function<std::string()> why)
{
    steps_.push_back({std::move(name), std::move(done), std::move(why), timeoutMs});
}

bool TModalScript::Run(const std::function<void()>& modal)
{
    TModalScript* outer = g_activeScript;
    g_activeScript = this;
    stepStart_ = GetTickCount();
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
    EXPECT_NE(timer, 0u) << "no timer to drive the dialog with";
    if (timer)
        modal();
    KillTimer(nullptr, timer);
    g_activeScript = outer;
    if (failure_.empty() && next_ < steps_.size())
        Fail("the modal loop ended before step '" + steps_[next_].name + "'");
    return failure_.empty();
}

void CALLBACK TModalScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_activeScript && !g_activeScript->busy_)
        g_activeScript->OnTick();
}

void TModalScript::OnTick()
{
    busy_ = true;
    const DWORD now = GetTickCount();
    if (aborted_) {
        if (now - abortedAt_ > 3000)
            EnumThreadWindows(GetCurrentThreadId(), DestroyDialog, 0);
        else
            EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
    } else if (next_ == steps_.size()) {
        // The last step closes the dialog; one still open refused to close.
        if (now - stepStart_ > 5000)
            Fail("the dialog stayed open after the last step");
    } else if (steps_[next_].done()) {
        ++next_;
        stepStart_ = now;
    } else if (now - stepStart_ > steps_[next_].timeoutMs) {
        std::string message = "step '" + steps_[next_].name + "' did not happen in time";
        if (steps_[next_].why)
            message += ": " + steps_[next_].why();
        Fail(message);
    }
    busy_ = false;
}

void TModalScript::Fail(const std::string& message)
{
    failure_ = message;
    aborted_ = true;
    abortedAt_ = GetTickCount();
    ADD_FAILURE() << message;
}

HWND FindDescendant(HWND parent, const char* cls, bool directOnly)
{
    TWindowQuery q{cls, nullptr, directOnly ? parent : nullptr, false, nullptr};
    if (parent)
        EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

HWND FindThreadDialog(const char* caption, HWND owner)
{
    TWindowQuery q{"#32770", caption, owner, false, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchTopLevel, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

HWND FindFileDialog()
{
    TWindowQuery q{"#32770", nullptr, nullptr, true, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchTopLevel, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

HWND FileDialogNameEdit(HWND dlg)
{
    if (HWND edit = GetDlgItem(dlg, edt1))
        return edit;
    HWND combo = GetDlgItem(dlg, cmb13);
    if (!combo)
        return nullptr;
    if (auto edit = reinterpret_cast<HWND>(SendMessageA(combo, CBEM_GETEDITCONTROL, 0, 0)))
        return edit;
    return FindDescendant(combo, "Edit");
}

int FileDialogListed(HWND dlg)
{
    HWND list = FindDescendant(dlg, "SysListView32");
    return list ? static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : -1;
}

int FileDialogFind(HWND dlg, const char* name)
{
    HWND list = FindDescendant(dlg, "SysListView32");
    if (!list)
        return -1;
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = name;
    const int at = static_cast<int>(
        SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
    if (at >= 0)
        return at;
    // The view may hide known extensions.
    const std::string stem = std::string(name).substr(0, std::string(name).rfind('.'));
    find.psz = stem.c_str();
    return static_cast<int>(
        SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

bool FileDialogSelect(HWND dlg, const char* name)
{
    HWND list = FindDescendant(dlg, "SysListView32");
    const int at = FileDialogFind(dlg, name);
    if (at < 0)
        return false;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
    return true;
}

void PostButtonClick(HWND dlg, int id)
{
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}
