// The window procedures' shell: each class registered once, the object kept
// to the window's last message, and what a handler throws shown in the error
// box while the window goes on.
#include "base/Error.h"
#include "tests/support/TestSupport.h"
#include "ui/WindowBase.h"

#include <gtest/gtest.h>

namespace {

struct TThrowingWindow {
    int Calls = 0;
    bool Destroyed = false;
    LRESULT HandleMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_APP)
            throw EMarquillError("The handler failed");
        if (msg == WM_APP + 1)
            return ++Calls;
        if (msg == WM_NCDESTROY)
            Destroyed = true;
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
};

TEST(WindowBase, EscapedErrorShowsInTheErrorBoxAndTheWindowGoesOn)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc<TThrowingWindow, &TThrowingWindow::HandleMessage>;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MarquillWindowBaseTest";
    ASSERT_TRUE(RegisterWindowClass(wc));
    ASSERT_TRUE(RegisterWindowClass(wc)) << "a second registration of the same class must not fail";

    TThrowingWindow object;
    HWND wnd = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                               wc.hInstance, &object);
    ASSERT_NE(wnd, nullptr);
    {
        TMessageBoxCatcher boxes;
        EXPECT_EQ(SendMessageA(wnd, WM_APP, 0, 0), 0);
        ASSERT_EQ(boxes.Count(), 1);
        EXPECT_EQ(boxes.Last().text, "The handler failed.");
        EXPECT_TRUE(boxes.Last().hasErrorIcon);
    }
    EXPECT_EQ(SendMessageA(wnd, WM_APP + 1, 0, 0), 1);
    DestroyWindow(wnd);
    EXPECT_TRUE(object.Destroyed);
    EXPECT_EQ(object.Calls, 1);
}

}  // namespace
