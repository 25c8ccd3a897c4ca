// The "fully painted" check of a window and its children.
#include "tests/support/Painted.h"

namespace {
BOOL CALLBACK FindUnpainted(HWND child, LPARAM param)
{
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

bool FullyPainted(HWND top)
{
    if (!IsWindowVisible(top) || GetUpdateRect(top, nullptr, FALSE))
        return false;
    bool unpainted = false;
    EnumChildWindows(top, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}
