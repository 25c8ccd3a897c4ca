// What a screen reader meets: every control's name read through oleacc,
// which names a field after the static text right before it in the
// child-window order, as Windows does; and the order the groups read in.
// Runs in both store modes.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/tests/FormTestFixture.h"
#include "ui/tests/LookExpectations.h"

using namespace formtest;

namespace {

std::string AccessibleName(HWND wnd)
{
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(wnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))) ||
        !object)
        return "(no accessible object)";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT result = object->get_accName(self, &name);
    object->Release();
    if (result != S_OK || !name)
        return "(no name)";
    const int size = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, name, -1, &text[0], size, nullptr, nullptr);
    SysFreeString(name);
    text.resize(text.size() - 1);
    return text;
}

// A field's label by name: Edit_Model's is Label_MOdel.
HWND LabelOf(const TAppFrm& form, const TControlDesc& field)
{
    for (const TControlDesc& desc : FormControls)
        if (desc.kind == TControlKind::Label && lstrcmpiA(desc.name + 6, field.name + 5) == 0)
            return form.Control(desc.id);
    return nullptr;
}

std::string NameOf(const TAppFrm& form, HWND wnd)
{
    for (const TControlDesc& desc : FormControls)
        if (form.Control(desc.id) == wnd)
            return desc.name;
    return "(not a control)";
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

TEST_F(FormAccess, EveryFieldIsReadWithItsOwnLabel)
{
    const bool legacy = StoreMode() == TStoreMode::Legacy;
    auto form = OpenBothPages("C");
    int fields = 0;
    for (const TControlDesc& desc : FormControls) {
        HWND field = form->Control(desc.id);
        if (desc.kind != TControlKind::Edit || !field)
            continue;
        SCOPED_TRACE(desc.name);
        HWND label = LabelOf(*form, desc);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(GetWindow(field, GW_HWNDPREV), label) << "its label is not right before it";
        if (!IsWindowVisible(field))
            continue;
        EXPECT_EQ(AccessibleName(field), WindowTextOf(label));
        ++fields;
    }
    EXPECT_EQ(fields, legacy ? 12 : 5);
}

TEST_F(FormAccess, GroupsButtonsAndThePictureBoxAreNamed)
{
    struct TCase {
        const char* language;
        const char* general;
        const char* image;
    };
    const TCase cases[] = {{"C", "General", "Logo: none"}, {"de_DE", "Allgemein", "Logo: keins"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.language);
        auto form = OpenBothPages(c.language);
        EXPECT_EQ(AccessibleName(form->Control(TCtl::G_1)), c.general);
        EXPECT_EQ(AccessibleName(form->Control(TCtl::Image1)), c.image);
    }
    auto form = OpenBothPages("C");
    for (const TShownText& shown : ShownTexts) {
        const TControlDesc* desc = FindControlDesc(shown.name);
        HWND wnd = form->Control(desc->id);
        if (wnd && (desc->kind == TControlKind::ZanthPanel || desc->kind == TControlKind::Button)) {
            EXPECT_EQ(AccessibleName(wnd), shown.text) << shown.name;
        }
    }
}

// Inside each group the rows come top to bottom, each row left to right:
// a label before its field, a caption before its value.
TEST_F(FormAccess, GroupsReadTopToBottomAndLeftToRight)
{
    const bool legacy = StoreMode() == TStoreMode::Legacy;
    auto form = OpenBothPages("C");
    for (TCtl group : {TCtl::G_1, TCtl::G_2, TCtl::G_3, TCtl::G_4, TCtl::G_5, TCtl::T_About}) {
        HWND parent = form->Control(group);
        if (!parent)
            continue;
        SCOPED_TRACE(Desc(group).name);
        RECT last = {-1, -100, -1, -1};
        for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE))
                continue;
            const RECT r = RectInParent(child);
            const bool sameRow = r.top - last.top <= 6 && last.top - r.top <= 6;
            EXPECT_TRUE(sameRow ? r.left > last.left : r.top > last.top) << NameOf(*form, child);
            last = r;
        }
    }
    // The groups of the editing page in their order; "Support Info" lies
    // over "General" only until the window is shaped.
    std::vector<std::string> groups;
    for (HWND child = GetWindow(form->Control(TCtl::T_XP), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        groups.push_back(NameOf(*form, child));
    const std::vector<std::string> expected =
        legacy ? std::vector<std::string>{"G_1", "G_2", "G_3"} : std::vector<std::string>{"G_1", "G_3"};
    EXPECT_EQ(groups, expected);
}

}  // namespace
