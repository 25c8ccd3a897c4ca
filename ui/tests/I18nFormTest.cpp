// The real window translated: German from the shipped catalogs, and the
// failure cases from catalogs made for the test.
#include "FormTestFixture.h"
#include "i18n/tests/MoBuilder.h"
#include "ui/Zanth.Panel.h"

#include <vector>

using namespace formtest;

namespace {
const std::string kUtf8Header = "Content-Type: text/plain; charset=UTF-8\n";

std::string FaceOf(HWND wnd)
{
    LOGFONTA lf;
    return FontOf(wnd, lf) ? lf.lfFaceName : "<no font>";
}

std::string WindowCaption(HWND wnd)
{
    char buf[256] = {};
    GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

class I18nForm : public ::testing::Test {
protected:
    void TearDown() override
    {
        DeleteOemValues();
        ResetTranslation("C", NoCatalogs);
    }
};
}  // namespace

TEST_F(I18nForm, GermanShowsTheGermanWindow)
{
    DeleteOemValues();
    ResetTranslation("de_DE", ShippedCatalogs());
    TMessageBoxCatcher boxes;
    auto form = OpenTranslatedForm();
    ASSERT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(0, boxes.Count()) << boxes.Last().text;
    Click(*form, "Btn_About");
    struct {
        const char* control;
        const char* text;  // code page 1252
    } const expected[] = {
        {"Btn_Apply", "\xDC" "bernehmen"},
        {"Btn_Remove", "Alle OEM-Infos entfernen"},
        {"Btn_About", "\xDC" "ber..."},
        {"Btn_Open", "\xD6" "ffnen"},
        {"Btn_Back", "Zur\xFC" "ck"},
        {"Label_Manufacturer", "Hersteller"},
        {"Label_SHours", "Supportzeiten"},
        {"Label_Version", "Version:"},
        {"Label9", "Freie Software, bereitgestellt ohne Gew\xE4" "hr."},
        // Not marked for translation: names and addresses stay.
        {"Label10", "www.marquill.org"},
        {"Label_AuthorValue", "The Marquill developers"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(e.text, Text(*form, e.control)) << e.control;
    EXPECT_EQ("Bitmap-Bilder (*.bmp)|*.bmp", form->OpenPictureDialog1().Filter);
    EXPECT_EQ("Marquill :: www.marquill.org", WindowCaption(form->Handle()));
    EXPECT_EQ("Allgemein", TZanthPanel::FromHandle(form->Control(TCtl::G_1))->Caption());
    EXPECT_EQ("Unterst\xFCtzte Systeme", TZanthPanel::FromHandle(form->Control(TCtl::G_4))->Caption());
}

TEST_F(I18nForm, ARejectedCatalogShowsTheBoxOnceAndLeavesTheWindowEnglish)
{
    TScratchCatalog catalog(TMoBuilder()
                                .Add("", "Content-Type: text/plain; charset=UTF8\n")
                                .Add("Apply", "Anwenden")
                                .Add("General", "Allgemein")
                                .Build());
    DeleteOemValues();
    ResetTranslation("de_DE", catalog.Root());
    TMessageBoxCatcher boxes;
    auto form = OpenTranslatedForm();
    ASSERT_EQ(1, boxes.Count());
    EXPECT_EQ("Localization problem", boxes.Last().caption);
    EXPECT_EQ("The translation for the language code de_DE (in " + catalog.Path() +
                  ") does not have charset=utf-8 in its Content-Type. Translations are turned off.",
              boxes.Last().text);
    EXPECT_EQ(nullptr, boxes.Last().owner);
    EXPECT_EQ("Apply", Text(*form, "Btn_Apply"));
    EXPECT_EQ("General", TZanthPanel::FromHandle(form->Control(TCtl::G_1))->Caption());
}

TEST_F(I18nForm, ALoadedManufacturerIsNeverTranslated)
{
    TScratchCatalog catalog(TMoBuilder()
                                .Add("", kUtf8Header)
                                .Add("Apply", "Anwenden")
                                .Add("Contoso Ltd", "Falsch")
                                .Add("Model X", "Falsch")
                                .Build());
    DeleteOemValues();
    SetRegString("Manufacturer", "Contoso Ltd");
    SetRegString("Model", "Model X");
    ResetTranslation("de", catalog.Root());
    TMessageBoxCatcher boxes;
    auto form = OpenTranslatedForm();
    EXPECT_EQ(0, boxes.Count()) << boxes.Last().text;
    EXPECT_EQ("Anwenden", Text(*form, "Btn_Apply"));
    EXPECT_EQ("Contoso Ltd", Text(*form, "Edit_Manufacturer"));
    EXPECT_EQ("Model X", Text(*form, "Edit_Model"));
}

TEST_F(I18nForm, ACatalogCanGiveTheWindowAnotherFace)
{
    TScratchCatalog catalog(TMoBuilder().Add("", kUtf8Header).Add("Tahoma", "Courier New").Build());
    DeleteOemValues();
    ResetTranslation("de", catalog.Root());
    TMessageBoxCatcher boxes;
    auto form = OpenTranslatedForm();
    EXPECT_EQ(0, boxes.Count()) << boxes.Last().text;
    Click(*form, "Btn_About");
    for (const char* control : {"Btn_Apply", "Label9", "Label_Manufacturer", "Edit_Manufacturer", "Label_App",
                                "Btn_Back"})
        EXPECT_EQ("Courier New", FaceOf(ControlNamed(*form, control))) << control;
}

TEST_F(I18nForm, AnInvalidCatalogIsReportedAndTheWindowStillOpens)
{
    TScratchCatalog catalog("not a catalog");
    DeleteOemValues();
    ResetTranslation("de_DE", catalog.Root());
    TMessageBoxCatcher boxes;
    auto form = OpenTranslatedForm();
    ASSERT_EQ(1, boxes.Count());
    EXPECT_EQ("This file is not a valid GNU gettext mo file: " + catalog.Path() + ".", boxes.Last().text);
    EXPECT_TRUE(boxes.Last().hasErrorIcon);
    EXPECT_EQ("Apply", Text(*form, "Btn_Apply"));
}
