#pragma once
// The user of the window's file dialog, played by a thread timer while the
// modal dialog runs: a name typed into its file-name field and OK pressed,
// or Cancel; the error boxes that follow read and closed.
#include "ui/tests/FormTestFixture.h"

#include <commctrl.h>
#include <dlgs.h>

#include <string>
#include <vector>

namespace formtest {

// What the user does in the next file dialog: type `typed` and press OK, or
// press Cancel. The dialog is modal, so a thread timer plays the user.
struct TUser {
    std::string typed;
    bool cancel = false;
    // Filled in while playing.
    bool sawDialog = false;
    bool acted = false;
    std::string offered;
    DWORD start = 0;
    // The error boxes that followed, read and closed with OK. (A message box
    // catcher would close the file dialog too, being a dialog as well.)
    std::vector<TMessageBoxCatcher::TBox> boxes;
};
inline TUser* g_user = nullptr;

inline BOOL CALLBACK FindErrorIcon(HWND child, LPARAM param)
{
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)) == LoadIconA(nullptr, IDI_HAND))
        *reinterpret_cast<bool*>(param) = true;
    return TRUE;
}

inline BOOL CALLBACK CloseMessageBox(HWND wnd, LPARAM)
{
    char cls[16] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(wnd) || !GetDlgItem(wnd, 0xFFFF) || GetDlgItem(wnd, cmb13))
        return TRUE;
    TMessageBoxCatcher::TBox box;
    char buf[2048] = {};
    GetWindowTextA(wnd, buf, sizeof buf);
    box.caption = buf;
    GetDlgItemTextA(wnd, 0xFFFF, buf, sizeof buf);
    box.text = buf;
    box.owner = GetWindow(wnd, GW_OWNER);
    EnumChildWindows(wnd, FindErrorIcon, reinterpret_cast<LPARAM>(&box.hasErrorIcon));
    g_user->boxes.push_back(box);
    ShowWindow(wnd, SW_HIDE);
    PostMessageA(wnd, WM_COMMAND, IDOK, 0);
    return TRUE;
}

inline BOOL CALLBACK FindFileDialog(HWND wnd, LPARAM param)
{
    char cls[16] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(wnd) && (GetDlgItem(wnd, cmb13) || GetDlgItem(wnd, edt1))) {
        *reinterpret_cast<HWND*>(param) = wnd;
        return FALSE;
    }
    return TRUE;
}

inline BOOL CALLBACK FindListView(HWND wnd, LPARAM param)
{
    char cls[32] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpA(cls, "SysListView32") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(param) = wnd;
    return FALSE;
}

// Wine's dialog has no edt1: the name field is the edit inside cmb13.
inline HWND NameEdit(HWND dlg)
{
    if (HWND edit = GetDlgItem(dlg, edt1))
        return edit;
    HWND combo = GetDlgItem(dlg, cmb13);
    return combo ? reinterpret_cast<HWND>(SendMessageA(combo, CBEM_GETEDITCONTROL, 0, 0)) : nullptr;
}

inline void CALLBACK PlayUser(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_user)
        return;
    if (g_user->acted) {
        EnumThreadWindows(GetCurrentThreadId(), CloseMessageBox, 0);
        return;
    }
    HWND dlg = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindFileDialog, reinterpret_cast<LPARAM>(&dlg));
    if (!dlg)
        return;
    g_user->sawDialog = true;
    HWND list = nullptr;
    EnumChildWindows(dlg, FindListView, reinterpret_cast<LPARAM>(&list));
    HWND edit = NameEdit(dlg);
    bool timedOut = GetTickCount() - g_user->start > 8000;
    // Act once the dialog has listed its folder, as a user would.
    if ((!list || !edit) && !timedOut)
        return;
    g_user->acted = true;
    if (timedOut || !edit) {
        PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    char offered[MAX_PATH * 2] = {};
    GetWindowTextA(edit, offered, sizeof offered);
    g_user->offered = offered;
    if (!g_user->cancel)
        SetWindowTextA(edit, g_user->typed.c_str());
    PostMessageA(dlg, WM_COMMAND, g_user->cancel ? IDCANCEL : IDOK, 0);
}

// Presses "Open" and plays `user` in the dialog that opens.
inline void PressOpen(TAppFrm& form, TUser& user)
{
    user.start = GetTickCount();
    g_user = &user;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, PlayUser);
    ASSERT_NE(timer, 0u);
    Click(form, "Btn_Open");
    KillTimer(nullptr, timer);
    g_user = nullptr;
    ASSERT_TRUE(user.sawDialog) << "the file dialog did not appear";
    ASSERT_TRUE(user.acted);
}

}  // namespace formtest
