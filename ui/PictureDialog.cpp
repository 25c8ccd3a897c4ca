// The picture-open dialog: the system's file dialog with the preview panel
// at its right. The panel's template is built in memory (DialogTemplate);
// its button opens the "Preview" window (PreviewWindow).
#include "ui/PictureDialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/Error.h"
#include "base/Format.h"
#include "base/PlatformApi.h"
#include "base/ResText.h"
#include "base/WinHandles.h"
#include "picture/Picture.h"
#include "ui/DialogTemplate.h"
#include "ui/PreviewWindow.h"
#include "ui/WindowBase.h"

namespace {

// CDM_GETFILEPATH reports the length it needs; a path beyond this is no
// picture anyone can pick, so the preview gives up on it.
constexpr int MaxPreviewPath = 32768;

void DrawCentredText(HDC dc, const RECT& box, HFONT font, const std::string& text)
{
    TSelectGuard fontGuard(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT r = box;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// The preview panel inside the file dialog.
class TPreviewPanel {
public:
    // The file dialog hands its OPENFILENAMEA over at WM_INITDIALOG; the
    // panel rides in its lCustData.
    static TPreviewPanel* FromHookParam(LPARAM param)
    {
        return reinterpret_cast<TPreviewPanel*>(reinterpret_cast<const OPENFILENAMEA*>(param)->lCustData);
    }

    UINT_PTR HandleMessage(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        switch (msg) {
        case WM_INITDIALOG:
            Attach(panel);
            Init();
            return TRUE;
        case WM_NOTIFY: {
            const auto* note = reinterpret_cast<const OFNOTIFYA*>(lParam);
            if (note->hdr.code == CDN_INITDONE || note->hdr.code == CDN_SELCHANGE)
                SelectionChanged(GetParent(panel));
            return FALSE;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlID != TOpenPictureDialog::IdPreviewArea)
                return FALSE;
            DrawArea(*item);
            SetWindowLongPtrA(panel, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == TOpenPictureDialog::IdPreviewButton && HIWORD(wParam) == BN_CLICKED) {
                PreviewClicked();
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
        }
    }

    void Attach(HWND panel) { panel_ = panel; }

    void Init()
    {
        const std::string preview = ResText(N_("Preview"));
        SetDlgItemTextA(panel_, TOpenPictureDialog::IdPreviewButton, preview.c_str());
        AddHint(GetDlgItem(panel_, TOpenPictureDialog::IdPreviewButton), preview);
        Show(TState::None);
    }

    // The file dialog's current selection (the folder plus the typed or
    // selected name), loaded quietly: a preview never reports errors.
    void SelectionChanged(HWND fileDialog)
    {
        picture_.Clear();
        std::string path = SelectedPath(fileDialog);
        if (path.empty()) {
            Show(TState::None);
            return;
        }
        try {
            picture_.LoadFromFile(path);
        } catch (...) {
            picture_.Clear();
            Show(TState::None);
            return;
        }
        Show(picture_.Empty() ? TState::Invalid : TState::Loaded);
    }

    void DrawArea(const DRAWITEMSTRUCT& item)
    {
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        if (state_ == TState::Loaded) {
            RECT dest = FitPictureRect(picture_.Width(), picture_.Height(), item.rcItem);
            try {
                picture_.StretchDraw(item.hDC, dest);
                return;
            } catch (...) {
                // Drawing failed: say so in the area instead, and offer no preview.
                state_ = TState::Invalid;
                EnableWindow(GetDlgItem(panel_, TOpenPictureDialog::IdPreviewButton), FALSE);
                FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
            }
        }
        std::string text = state_ == TState::None ? ResText(N_("(None)")) : ResText(N_("Invalid image"));
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
        DrawCentredText(item.hDC, item.rcItem, font, text);
    }

    void PreviewClicked()
    {
        if (state_ == TState::Loaded)
            ShowPreviewWindow(GetParent(panel_), picture_);
    }

private:
    enum class TState { None, Loaded, Invalid };

    // A tooltip over `control`, owned by the file dialog, which destroys it
    // when it closes. TOOLINFOA is given in its first, smallest form: every
    // comctl32 takes that, while the full size of today's headers is refused
    // by those before version 6. Without a hint the dialog still works, so a
    // tooltip that cannot be made is left out.
    void AddHint(HWND control, const std::string& text)
    {
        HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, panel_, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        if (!tip)
            return;
        TTTOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = panel_;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<char*>(text.c_str());
        SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }

    static std::string SelectedPath(HWND fileDialog)
    {
        std::vector<char> buf(MAX_PATH + 1);
        for (int attempt = 0; attempt < 2; ++attempt) {
            LRESULT needed = SendMessageA(fileDialog, CDM_GETFILEPATH, static_cast<WPARAM>(buf.size()),
                                          reinterpret_cast<LPARAM>(buf.data()));
            if (needed <= 0 || needed > MaxPreviewPath)
                return {};
            if (static_cast<size_t>(needed) <= buf.size()) {
                buf.back() = '\0';
                return buf.data();
            }
            buf.assign(static_cast<size_t>(needed) + 1, '\0');
        }
        return {};
    }

    void Show(TState state)
    {
        state_ = state;
        std::string line = state == TState::None
                               ? ResText(N_("Picture:"))
                               : FormatText(ResText(N_(" (%dx%d)")),
                                            {std::to_string(picture_.Width()), std::to_string(picture_.Height())});
        SetDlgItemTextA(panel_, TOpenPictureDialog::IdPictureLabel, line.c_str());
        EnableWindow(GetDlgItem(panel_, TOpenPictureDialog::IdPreviewButton), state == TState::Loaded);
        InvalidateRect(GetDlgItem(panel_, TOpenPictureDialog::IdPreviewArea), nullptr, TRUE);
    }

    HWND panel_ = nullptr;
    TPicture picture_;
    TState state_ = TState::None;
};

// The panel at the right of the standard controls, in dialog units. The
// zero-width stc32 marks where the standard controls go; everything to its
// right is moved to the right of them, so the dialog grows by the panel.
void BuildPanelTemplate(TDialogTemplate& tmpl)
{
    const short left = 6, width = 120;
    tmpl.AddItem(stc32, 0x0082, SS_LEFT, 0, 0, 1, 160);
    tmpl.AddItem(TOpenPictureDialog::IdPictureLabel, 0x0082, WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS,
                 left, 6, width, 9);
    tmpl.AddItem(TOpenPictureDialog::IdPreviewArea, 0x0082, WS_VISIBLE | SS_OWNERDRAW | SS_SUNKEN, left, 18,
                 width, 112);
    tmpl.AddItem(TOpenPictureDialog::IdPreviewButton, 0x0080, WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON,
                 left, 134, 50, 14);
}

// By hand: the one printf call of the program would link the C99 printf
// with its floating-point formatting, some 20 KB.
std::string HexText(DWORD value)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789ABCDEF"[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + digits;
}

}  // namespace

bool TOpenPictureDialog::Execute(HWND owner)
{
    const std::string filter = OfnFilterFromText(Filter);
    TDialogTemplate tmpl(WS_CHILD | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL | DS_SETFONT, 132, 160, true);
    BuildPanelTemplate(tmpl);
    HGLOBAL panelTemplate = tmpl.Publish();

    std::string offered = FileName;
    // The whole structure where Windows takes it (2000, Me and later, with
    // the places bar); Windows 95, 98 and NT 4.0 refuse any size but the
    // one they know.
    DWORD structSize = sizeof(OPENFILENAMEA);
    // Each retry below changes what is asked, once, so this ends.
    for (;;) {
        std::vector<char> file(std::max<size_t>(4096, offered.size() + 1), '\0');
        std::memcpy(file.data(), offered.data(), offered.size());
        TPreviewPanel panel;

        OPENFILENAMEA ofn = {};
        ofn.lStructSize = structSize;
        ofn.hwndOwner = owner;
        ofn.hInstance = reinterpret_cast<HINSTANCE>(panelTemplate);
        ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        // The process's current directory stays where it was: left in the
        // picked folder, it would keep that folder from being deleted.
        ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE |
                    OFN_NOCHANGEDIR;
        ofn.lpfnHook = DialogProc<UINT_PTR, TPreviewPanel, &TPreviewPanel::HandleMessage, &TPreviewPanel::FromHookParam>;
        ofn.lCustData = reinterpret_cast<LPARAM>(&panel);

        if (PlatformApi.GetOpenFileNameA(&ofn)) {
            file.back() = '\0';
            FileName = file.data();
            return true;
        }
        const DWORD error = PlatformApi.CommDlgExtendedError();
        if (error == 0)
            return false;
        if (error == CDERR_STRUCTSIZE && structSize != OPENFILENAME_SIZE_VERSION_400A) {
            structSize = OPENFILENAME_SIZE_VERSION_400A;
            continue;
        }
        // A remembered name the dialog refuses (say, one with characters a
        // file name cannot hold) must not lock the user out of choosing.
        if (error == FNERR_INVALIDFILENAME && !offered.empty()) {
            offered.clear();
            continue;
        }
        throw EMarquillError(FormatText(ResText(N_("The file dialog could not be shown (error %s)")),
                                        {HexText(error)}));
    }
}
