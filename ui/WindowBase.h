#pragma once
// The one shell around every window and dialog procedure of the program:
// the object a window belongs to is kept in the window from its first
// message to its last, each message goes to a member handler of it, and
// nothing a handler throws reaches the system's dispatcher.
#include <windows.h>

namespace window_base {
// Shows what escaped a handler in the error box, as the handlers show their
// own errors; called from inside a catch block.
void ReportEscaped() noexcept;
}  // namespace window_base

// Registers `wc` unless its class already is: each class once per process.
// False when the class is not there afterwards.
bool RegisterWindowClass(const WNDCLASSEXA& wc);

// The object a window is created for: CreateWindowEx's last argument.
template <class T>
T* CreateParamOf(HWND, const CREATESTRUCTA& create)
{
    return static_cast<T*>(create.lpCreateParams);
}

// The window procedure of a class whose windows each belong to a T. At
// WM_NCCREATE `Attach` gives the object (without one the window is not
// made); it is kept in the window's user data and gets every message up to
// WM_NCDESTROY, the last. An exception that escapes `Handler` shows in the
// error box, and the message then has the default handling.
template <class T, LRESULT (T::*Handler)(HWND, UINT, WPARAM, LPARAM),
          T* (*Attach)(HWND, const CREATESTRUCTA&) = CreateParamOf<T>>
LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        T* object = Attach(wnd, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
        if (!object)
            return FALSE;
        SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
    auto* object = reinterpret_cast<T*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!object)
        return DefWindowProcA(wnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY)
        SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
    try {
        return (object->*Handler)(wnd, msg, wParam, lParam);
    } catch (...) {
        window_base::ReportEscaped();
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

// The same for a dialog procedure or a common dialog's hook: the object
// comes at WM_INITDIALOG from its lParam through `Attach` and is kept in the
// dialog's user data (DWLP_USER); messages before it, and an escaped
// exception, get FALSE (not handled).
// `R` is what the procedure returns: INT_PTR for a dialog, UINT_PTR for a hook.
template <class R, class T, R (T::*Handler)(HWND, UINT, WPARAM, LPARAM), T* (*Attach)(LPARAM)>
R CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
        SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(Attach(lParam)));
    auto* object = reinterpret_cast<T*>(GetWindowLongPtrA(dlg, DWLP_USER));
    if (!object)
        return FALSE;
    if (msg == WM_NCDESTROY)
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
    try {
        return (object->*Handler)(dlg, msg, wParam, lParam);
    } catch (...) {
        window_base::ReportEscaped();
    }
    return FALSE;
}
