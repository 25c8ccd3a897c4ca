// What a screen reader meets, read through oleacc, which names a field after
// the static text right before it in the child-window order, as Windows
// does. Runs in both store modes.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include "ui/tests/FormTestFixture.h"
#include "ui/tests/LookExpectations.h"

using namespace formtest;

namespace {

std::string AccessibleName(HWND wnd)
{
    IAccessible* object = nullptr;
    BSTR name = nullptr;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    if (FAILED(AccessibleObjectFromWindow(wnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))))
        return "(no accessible object)";
    const HRESULT result = object->get_accName(self, &name);
    object->Release();
    if (result != S_OK)
        return "(no name)";
    char text[256] = {};
    WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text - 1, nullptr, nullptr);
    SysFreeString(name);
    return text;
}

// The window with both pages built, the editing page showing.
std::unique_ptr<TAppFrm> OpenBothPages(const char* language)
{
    DeleteOemValues();
    ResetTranslation(language, ShippedCatalogs());
    auto form = OpenTranslatedForm();
    Click(*form, "Btn_About");
    Click(*form, "Btn_Back");
    return form;
}

class FormAccess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override
    {
        ResetTranslation("C", NoCatalogs);
        CoUninitialize();
    }
};

TEST_F(FormAccess, EachFieldIsReadWithItsOwnLabelAndEachGroupWithItsCaption)
{
    auto form = OpenBothPages("C");
    int fields = 0;
    for (const TControlDesc& desc : FormControls) {
        HWND wnd = form->Control(desc.id);
        if (!wnd)
            continue;
        SCOPED_TRACE(desc.name);
        if (desc.kind == TControlKind::Edit) {
            // Its label by name: Edit_Model's is Label_MOdel.
            HWND label = GetWindow(wnd, GW_HWNDPREV);
            EXPECT_EQ(lstrcmpiA(NameOf(*form, label).c_str(), ("Label_" + std::string(desc.name + 5)).c_str()), 0)
                << "comes after " << NameOf(*form, label);
            if (IsWindowVisible(wnd)) {
                EXPECT_EQ(AccessibleName(wnd), WindowTextOf(label));
                ++fields;
            }
        }
    }
    EXPECT_EQ(fields, StoreMode() == TStoreMode::Legacy ? 12 : 5);
    for (const TShownText& shown : ShownTexts) {
        const TControlDesc* desc = FindControlDesc(shown.name);
        HWND wnd = form->Control(desc->id);
        if (wnd && (desc->kind == TControlKind::ZanthPanel || desc->kind == TControlKind::Button)) {
            EXPECT_EQ(AccessibleName(wnd), shown.text) << shown.name;
        }
    }
    EXPECT_EQ(AccessibleName(form->Control(TCtl::Image1)), "Logo: none");
    form = OpenBothPages("de_DE");
    EXPECT_EQ(AccessibleName(form->Control(TCtl::G_1)), "Allgemein");
    EXPECT_EQ(AccessibleName(form->Control(TCtl::Image1)), "Logo: keins");
}

// Inside each group the rows come top to bottom, each row left to right: a
// label before its field, a caption before its value. "Support Info" lies
// over "General" only until the window is shaped.
TEST_F(FormAccess, GroupsReadTopToBottomAndLeftToRight)
{
    auto form = OpenBothPages("C");
    for (TCtl group : {TCtl::G_1, TCtl::G_2, TCtl::G_3, TCtl::G_4, TCtl::G_5, TCtl::T_About}) {
        RECT last = {-1, -100, -1, -1};
        for (HWND child = GetWindow(form->Control(group), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const RECT r = RectInParent(child);
            const bool sameRow = r.top - last.top <= 6 && last.top - r.top <= 6;
            if (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) {
                EXPECT_TRUE(sameRow ? r.left > last.left : r.top > last.top) << NameOf(*form, child);
                last = r;
            }
        }
    }
    std::string groups;
    for (HWND child = GetWindow(form->Control(TCtl::T_XP), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        groups += NameOf(*form, child) + " ";
    EXPECT_EQ(groups, StoreMode() == TStoreMode::Legacy ? "G_1 G_2 G_3 " : "G_1 G_3 ");
}

}  // namespace
