// The "Preview" window: a dialog from an in-memory template that sizes itself
// to its picture at WM_INITDIALOG and paints the picture scaled to fit.
#include "ui/PreviewWindow.h"

#include "base/ResText.h"
#include "base/WinHandles.h"
#include "picture/Picture.h"
#include "ui/DialogTemplate.h"
#include "ui/PictureDialogRules.h"
#include "ui/WindowBase.h"

namespace {

constexpr int PreviewMargin = 5;

// The window shows one picture, handed over as its creation parameter.
class TPreviewWindow {
public:
    static TPreviewWindow* FromParam(LPARAM param) { return reinterpret_cast<TPreviewWindow*>(param); }
    explicit TPreviewWindow(const TPicture& shown) : picture_(&shown) {}

    INT_PTR HandleMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM)
    {
        switch (msg) {
        case WM_INITDIALOG: {
            SetWindowTextA(wnd, ResText(N_("Preview")).c_str());
            RECT outer, client;
            GetWindowRect(wnd, &outer);
            GetClientRect(wnd, &client);
            RECT bounds = PreviewWindowBounds(
                picture_->Width(), picture_->Height(), PreviewMargin,
                (outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom,
                GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK), GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN));
            SetWindowPos(wnd, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                         bounds.bottom - bounds.top, SWP_NOZORDER);
            return TRUE;
        }
        case WM_SIZE:
            InvalidateRect(wnd, nullptr, TRUE);
            return TRUE;
        case WM_PAINT: {
            const TPaintDc dc(wnd);
            RECT box;
            GetClientRect(wnd, &box);
            InflateRect(&box, -PreviewMargin, -PreviewMargin);
            RECT dest = FitPictureRect(picture_->Width(), picture_->Height(), box);
            if (!IsRectEmpty(&dest)) {
                try {
                    picture_->StretchDraw(dc.Get(), dest);
                } catch (...) {
                    // A picture that fails to draw simply leaves the window empty.
                }
            }
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                EndDialog(wnd, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
        }
    }

private:
    const TPicture* picture_;
};

}  // namespace

void ShowPreviewWindow(HWND owner, const TPicture& picture)
{
    // Escape reaches the dialog manager as IDCANCEL, which closes the window.
    TDialogTemplate tmpl(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, 100, 100,
                         false);
    TPreviewWindow window(picture);
    DialogBoxIndirectParamA(GetModuleHandleA(nullptr), tmpl.Data(), owner,
                            DialogProc<INT_PTR, TPreviewWindow, &TPreviewWindow::HandleMessage, &TPreviewWindow::FromParam>,
                            reinterpret_cast<LPARAM>(&window));
}
