// What the window procedures' shell does out of line: the error box for an
// escaped exception and the one registration of each class.
#include "ui/WindowBase.h"

#include <exception>

#include "ui/ErrorBox.h"

namespace window_base {

void ReportEscaped() noexcept
{
    try {
        throw;
    } catch (const std::exception& e) {
        try {
            ShowErrorBox(e.what(), GetActiveWindow());
        } catch (...) {
            // Not even the box could be shown; the message goes on regardless.
        }
    } catch (...) {
        // Not an error of this program's making: nothing to tell the user.
    }
}

}  // namespace window_base

bool RegisterWindowClass(const WNDCLASSEXA& wc)
{
    WNDCLASSEXA registered = {};
    registered.cbSize = sizeof registered;
    if (GetClassInfoExA(wc.hInstance, wc.lpszClassName, &registered))
        return true;
    return RegisterClassExA(&wc) != 0;
}
