// When the pages' controls come to exist: the editing page with the window
// ("Support Info" only where the store mode shows it), the about page when
// it first shows. Built in either order, every control has the place, text
// and visibility the look tests expect. Runs in both store modes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ui/tests/FormTestFixture.h"
#include "ui/tests/LookExpectations.h"

using namespace formtest;

namespace {

BOOL CALLBACK CountWindow(HWND, LPARAM param)
{
    ++*reinterpret_cast<int*>(param);
    return TRUE;
}

// The page or bar a control lies on: T_XP, T_About, or the row under the
// form (the page control, the bottom bar) for everything else.
TCtl PageOf(TCtl id)
{
    while (Desc(id).parent != TCtl::None && Desc(Desc(id).parent).kind != TControlKind::PageControl &&
           Desc(Desc(id).parent).kind != TControlKind::Form)
        id = Desc(id).parent;
    return id;
}

const char* ShownTextOf(const char* name)
{
    for (const TShownText& t : ShownTexts)
        if (std::string(t.name) == name)
            return t.text;
    return nullptr;
}

std::string TextOf(HWND wnd)
{
    if (TZanthPanel* panel = TZanthPanel::FromHandle(wnd))
        return panel->Caption();
    char text[128];
    std::memset(text, 0xdd, sizeof text);
    GetWindowTextA(wnd, text, sizeof text);
    return text;
}

}  // namespace

TEST(FormPages, EachPageHoldsItsControlsFromItsFirstShowingOn)
{
    const bool legacy = StoreMode() == TStoreMode::Legacy;
    struct TOrder {
        const char* what;
        bool failEarly;  // an unreadable catalog ends FormCreate at its first step
        std::vector<const char*> clicks;
    };
    const TOrder orders[] = {
        {"at start", false, {}},
        {"the editing page, then the about page", false, {"Btn_About"}},
        {"the editing page, the about page and back", false, {"Btn_About", "Btn_Back"}},
        {"the about page first", true, {}},
        {"the about page first, then the editing page", true, {"Btn_Back"}},
    };
    DeleteOemValues();
    for (const TOrder& order : orders) {
        SCOPED_TRACE(order.what);
        TMessageBoxCatcher boxes;
        std::unique_ptr<TScratchCatalog> catalog;
        if (order.failEarly) {
            catalog = std::make_unique<TScratchCatalog>("not a catalog");
            ResetTranslation("de", catalog->Root());
        } else {
            ResetTranslation("C", NoCatalogs);
        }
        auto form = OpenTranslatedForm();
        ASSERT_TRUE(form && IsWindowVisible(form->Handle()));
        EXPECT_EQ(boxes.Count(), order.failEarly ? 1 : 0);
        bool aboutShown = order.failEarly;
        for (const char* button : order.clicks) {
            Click(*form, button);
            aboutShown |= std::string(button) == "Btn_About";
        }
        const bool aboutLast = order.clicks.empty() ? order.failEarly : std::string(order.clicks.back()) == "Btn_About";
        const TCtl active = aboutLast ? TCtl::T_About : TCtl::T_XP;
        EXPECT_EQ(form->ActivePageName(), Desc(active).name);
        // Shaped for its mode only when FormCreate went on past translating.
        const bool shaped = !order.failEarly;

        int expectedWindows = 0;
        for (const TPlace& place : RegistryModePlaces) {
            SCOPED_TRACE(place.name);
            const TCtl id = FindControlDesc(place.name)->id;
            const bool exists = IsWithin(id, TCtl::G_2) ? legacy || !shaped : !IsWithin(id, TCtl::T_About) || aboutShown;
            HWND wnd = form->Control(id);
            ASSERT_EQ(wnd != nullptr, exists);
            if (!exists)
                continue;
            ++expectedWindows;
            if (legacy && shaped && id == TCtl::G_1) {
                EXPECT_EQ(RectInParent(wnd).bottom - RectInParent(wnd).top, 91 - 10);
                EXPECT_EQ(RectInParent(wnd).top, place.top);
            } else {
                ExpectPlace(*form, place);
            }
            if (const char* text = ShownTextOf(place.name)) {
                EXPECT_EQ(TextOf(wnd), text);
            }
            const TCtl page = PageOf(id);
            // In legacy mode the rows below Model lie outside "General".
            const bool clippedRow = IsWithin(id, TCtl::G_1) && Desc(id).top > Desc(TCtl::Label_MOdel).top;
            const bool hiddenRow = id == TCtl::Label_Logo || (legacy && shaped && clippedRow);
            const bool onShownPage = page == active || (page != TCtl::T_XP && page != TCtl::T_About);
            EXPECT_EQ(IsWindowVisible(wnd) != FALSE, onShownPage && !hiddenRow);
        }
        // The two pages themselves, whose rows the look tests leave out.
        expectedWindows += aboutShown ? 2 : 1;
        int windows = 0;
        EnumChildWindows(form->Handle(), CountWindow, reinterpret_cast<LPARAM>(&windows));
        EXPECT_EQ(windows, expectedWindows) << "windows beyond the shown pages' controls";
    }
    ResetTranslation("C", NoCatalogs);
}
