// The window by keyboard alone: Enter and Space press the focused button,
// Enter and Escape in a field change nothing, Escape leaves the about page,
// and the first Tab or Alt brings the focus cues, which the first screen
// does not show.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "ui/tests/FormTestFixture.h"

using namespace formtest;

namespace {

const COLORREF WindowBack = RGB(0x1A, 0x21, 0x31);
const COLORREF LabelText = RGB(0xD4, 0xD4, 0xD4);

// A key pressed and let go on the focused control, as the keyboard sends it.
void PostKey(WPARAM key)
{
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000001);
}

bool HasValue(const char* name)
{
    DWORD type = 0;
    std::string data;
    return ReadRegValue64(HKEY_LOCAL_MACHINE, OemKey, name, type, data);
}

int g_dialogs = 0;
BOOL WINAPI CountDialog(LPOPENFILENAMEA)
{
    ++g_dialogs;
    return FALSE;
}
DWORD WINAPI NoDialogError()
{
    return 0;
}

class FormKeys : public ::testing::Test {
protected:
    void SetUp() override { DeleteOemValues(); }
    void TearDown() override { DeleteOemValues(); }
    TDisplaySettings display_;
};

TEST_F(FormKeys, EnterAndSpacePressTheFocusedButton)
{
    TApiSwap<decltype(PlatformApi.GetOpenFileNameA)> dialog(PlatformApi.GetOpenFileNameA, CountDialog);
    TApiSwap<decltype(PlatformApi.CommDlgExtendedError)> error(PlatformApi.CommDlgExtendedError, NoDialogError);
    const std::pair<const char*, std::function<bool(const TAppFrm&)>> cases[] = {
        {"Btn_Apply", [](const TAppFrm&) { return HasValue("Manufacturer"); }},
        {"Btn_Remove", [](const TAppFrm&) { return !HasValue("Model"); }},
        {"Btn_About", [](const TAppFrm& form) { return form.ActivePageName() == "T_About"; }},
        {"Btn_Open", [](const TAppFrm&) { return g_dialogs == 1; }},
        {"Btn_Back", [](const TAppFrm& form) { return form.ActivePageName() == "T_XP"; }},
    };
    for (WPARAM key : {VK_RETURN, VK_SPACE}) {
        for (const auto& [button, pressed] : cases) {
            SCOPED_TRACE(std::string(button) + (key == VK_RETURN ? " by Enter" : " by Space"));
            SetRegString("Model", "M");
            g_dialogs = 0;
            TMessageBoxCatcher boxes;
            auto form = OpenForm();
            SetText(*form, "Edit_Manufacturer", "Keyed");
            if (std::string(button) == "Btn_Back")
                Click(*form, "Btn_About");
            SetFocus(ControlNamed(*form, button));
            ASSERT_FALSE(pressed(*form));
            PostKey(key);
            EXPECT_TRUE(PumpUntil(*form, [&] { return pressed(*form); }));
            EXPECT_EQ(boxes.Count(), 0);
            DeleteOemValues();
        }
    }
}

// Apply writes the machine's store and nothing marks it as the default:
// Enter in a field must not press it, Escape must not throw the text away;
// on the about page Escape goes back.
TEST_F(FormKeys, EnterAndEscapeInAFieldChangeNothingEscapeLeavesTheAboutPage)
{
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        auto form = OpenForm();
        SetText(*form, "Edit_Manufacturer", "Typed");
        PostKey(key);
        // A Tab after it: once the focus moved, the key was handled.
        ASSERT_TRUE(PressTab(*form));
        EXPECT_EQ(Text(*form, "Edit_Manufacturer"), "Typed") << key;
        EXPECT_FALSE(HasValue("Manufacturer")) << key;
        EXPECT_EQ(form->ActivePageName(), "T_XP") << key;
    }
    auto form = OpenForm();
    Click(*form, "Btn_About");
    PostKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil(*form, [&] { return form->ActivePageName() == "T_XP"; }));
}

// The one-pixel ring just outside a field is all `color`, in its panel's pixels.
bool RingShows(HWND field, COLORREF color)
{
    TPixels px;
    EXPECT_TRUE(CaptureClient(GetParent(field), px));
    RECT r = RectInParent(field);
    InflateRect(&r, 1, 1);
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if ((x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1) && px.At(x, y) != color)
                return false;
    return true;
}

// The WM_CHANGEUISTATE requests this thread's windows get, as (action,
// flags): Wine keeps no UI state (WM_QUERYUISTATE gives 0), so the requests
// are what Windows' buttons would follow.
std::vector<std::pair<WORD, WORD>> g_uiStates;
LRESULT CALLBACK RecordUiState(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_CHANGEUISTATE)
        g_uiStates.emplace_back(LOWORD(sent->wParam), HIWORD(sent->wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(FormKeys, TheFocusCueShowsFromTheFirstKeyOrWhenCuesAreAlwaysOn)
{
    ExpectDesignScale();
    ASSERT_FALSE(HasFatalFailure());
    struct THook {
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordUiState, nullptr, GetCurrentThreadId());
        ~THook() { UnhookWindowsHookEx(hook); }
    } recording;
    using TStates = std::vector<std::pair<WORD, WORD>>;
    const TStates hiddenThenShown = {{UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL}, {UIS_CLEAR, UISF_HIDEFOCUS}};
    const TStates alwaysShown = {{UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL}};
    struct TCase {
        bool alwaysOn;
        UINT message;  // the first key
        WPARAM key;
        TCtl cued;  // the field with the cue after it
    };
    const TCase cases[] = {
        {false, WM_KEYDOWN, VK_TAB, TCtl::Edit_Model},
        {false, WM_SYSKEYDOWN, VK_MENU, TCtl::Edit_Manufacturer},
        {true, WM_KEYDOWN, VK_TAB, TCtl::Edit_Model},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.key);
        TDisplaySettings::KeyboardCues = c.alwaysOn;
        g_uiStates.clear();
        auto form = OpenForm();
        ASSERT_TRUE(PumpUntil(*form, [&] { return FullyPainted(form->Handle()); }));
        HWND maker = form->Control(TCtl::Edit_Manufacturer), cued = form->Control(c.cued);
        ASSERT_EQ(GetFocus(), maker);
        EXPECT_TRUE(RingShows(maker, c.alwaysOn ? LabelText : WindowBack)) << "the first screen changed";
        PostMessageA(maker, c.message, c.key, 1);
        EXPECT_TRUE(PumpUntil(*form, [&] { return FullyPainted(form->Handle()) && RingShows(cued, LabelText); }));
        EXPECT_TRUE(cued == maker || RingShows(maker, WindowBack)) << "the cue stayed around the field left";
        // Once shown, the focus rectangles are not asked for again.
        ASSERT_TRUE(PressTab(*form));
        EXPECT_EQ(g_uiStates, c.alwaysOn ? alwaysShown : hiddenThenShown);
    }
}

}  // namespace
