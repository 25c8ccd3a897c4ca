#pragma once
// What the look tests expect of each control in registry mode: its place in
// its parent at 96 dpi and the text it shows; shared with the tests of when
// the pages' controls come to exist.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/MainForm.h"
#include "ui/tests/FormTestFixture.h"

namespace formtest {

// A control's place in its parent's client area at 96 dpi; width or height
// -1 when the control sizes itself.
struct TPlace {
    const char* name;
    const char* parent;
    int left, top, width, height;
};

inline const TPlace RegistryModePlaces[] = {
    {"PageControl1", "AppFrm", 0, 0, 640, 450},
    {"Panel1", "AppFrm", 0, 460 - 41, 636, 41},
    {"Btn_About", "Panel1", 13, 6, 91, 25},
    {"Btn_Remove", "Panel1", 344, 6, 171, 25},
    {"Btn_Apply", "Panel1", 521, 6, 99, 25},
    {"Label9", "Panel1", 110, 5, -1, 13},
    {"Label10", "Panel1", 110, 24, -1, 13},
    {"G_1", "T_XP", 8, 6, 393, 171},
    {"G_3", "T_XP", 407, 6, 209, 231},
    {"Label_Manufacturer", "G_1", 15, 19, -1, 13},
    {"Edit_Manufacturer", "G_1", 136, 16, 241, 21},
    {"Label_MOdel", "G_1", 15, 46, -1, 13},
    {"Edit_Model", "G_1", 136, 43, 241, 21},
    {"Label_SHours", "G_1", 15, 72, -1, 13},
    {"Edit_SHours", "G_1", 136, 70, 241, 21},
    {"Label_SPhone", "G_1", 16, 100, -1, 13},
    {"Edit_SPhone", "G_1", 136, 97, 241, 21},
    {"Label_SUrl", "G_1", 16, 128, -1, 13},
    {"Edit_SUrl", "G_1", 136, 124, 241, 21},
    {"G_2", "T_XP", 8, 91, 393, 286},
    {"Label_Line1", "G_2", 19, 21, -1, 13},
    {"Edit_Line1", "G_2", 107, 16, 270, 21},
    {"Label_Line2", "G_2", 18, 48, -1, 13},
    {"Edit_Line2", "G_2", 107, 43, 270, 21},
    {"Label_Line3", "G_2", 18, 73, -1, 13},
    {"Edit_Line3", "G_2", 107, 70, 270, 21},
    {"Label_Line4", "G_2", 18, 102, -1, 13},
    {"Edit_Line4", "G_2", 107, 97, 270, 21},
    {"Label_Line5", "G_2", 18, 128, -1, 13},
    {"Edit_Line5", "G_2", 107, 124, 270, 21},
    {"Label_Line6", "G_2", 19, 154, -1, 13},
    {"Edit_Line6", "G_2", 107, 150, 270, 21},
    {"Label_Line7", "G_2", 19, 183, -1, 13},
    {"Edit_Line7", "G_2", 107, 177, 270, 21},
    {"Label_Line8", "G_2", 19, 210, -1, 13},
    {"Edit_Line8", "G_2", 107, 204, 270, 21},
    {"Label_Line9", "G_2", 19, 237, -1, 13},
    {"Edit_Line9", "G_2", 107, 231, 270, 21},
    {"Label_Line10", "G_2", 19, 264, -1, 13},
    {"Edit_Line10", "G_2", 107, 258, 270, 21},
    {"Image1", "G_3", 16, 21, 172, 172},
    {"Label_Logo", "G_3", 16, 199, -1, 13},
    {"Btn_Open", "G_3", 115, 199, 75, 25},
    {"G_4", "T_About", 9, 3, 608, 145},
    {"Label_OSGroup1", "G_4", 19, 24, -1, 13},
    {"Label_Win11", "G_4", 77, 24, -1, 13},
    {"Label_Win10", "G_4", 243, 24, -1, 13},
    {"Label_Win7", "G_4", 445, 24, -1, 13},
    {"Label_Win8", "G_4", 243, 43, -1, 13},
    {"Label_WinVista", "G_4", 445, 43, -1, 13},
    {"Label_OSGroup2", "G_4", 19, 74, -1, 13},
    {"Label_Win2003", "G_4", 77, 74, -1, 13},
    {"Label_WinXP", "G_4", 243, 74, -1, 13},
    {"Label_Win2000", "G_4", 445, 74, -1, 13},
    {"Label_WinNT4", "G_4", 445, 93, -1, 13},
    {"Label_OSGroup3", "G_4", 19, 112, -1, 13},
    {"Label_WinME", "G_4", 77, 112, -1, 13},
    {"Label_Win98", "G_4", 243, 112, -1, 13},
    {"Label_Win95", "G_4", 445, 112, -1, 13},
    {"G_5", "T_About", 9, 163, 608, 145},
    {"Label_App", "G_5", 19, 24, -1, 13},
    {"Label_AppValue", "G_5", 121, 24, -1, 13},
    {"Label_Version", "G_5", 19, 43, -1, 13},
    {"Label_VersionValue", "G_5", 121, 43, -1, 13},
    {"Label_Author", "G_5", 19, 72, -1, 13},
    {"Label_AuthorValue", "G_5", 121, 72, -1, 13},
    {"Label_WWW", "G_5", 19, 91, -1, 13},
    {"Label_WWWValue", "G_5", 121, 91, -1, 13},
    {"Label_Contact", "G_5", 19, 110, -1, 13},
    {"Label_ContactValue", "G_5", 121, 110, -1, 13},
    {"Btn_Back", "T_About", 517, 382, 99, 25},
};

// What every label, button and group says; the logo label is left out, as
// loading puts the logo's path there.
struct TShownText {
    const char* name;
    const char* text;
};

inline const TShownText ShownTexts[] = {
    {"G_1", "General"},
    {"Label_Manufacturer", "Manufacturer"},
    {"Label_MOdel", "Model"},
    {"Label_SHours", "Support Hours"},
    {"Label_SPhone", "Support Phone"},
    {"Label_SUrl", "Support URL"},
    {"G_2", "Support Info"},
    {"Label_Line1", "Line1"},
    {"Label_Line2", "Line2"},
    {"Label_Line3", "Line3"},
    {"Label_Line4", "Line4"},
    {"Label_Line5", "Line5"},
    {"Label_Line6", "Line6"},
    {"Label_Line7", "Line7"},
    {"Label_Line8", "Line8"},
    {"Label_Line9", "Line9"},
    {"Label_Line10", "Line10"},
    {"G_3", "Picture"},
    {"Btn_Open", "Open"},
    {"G_4", "Supported OS"},
    {"Label_OSGroup1", "->"},
    {"Label_Win11", "Windows 11 x64"},
    {"Label_Win10", "Windows 10 x86/x64"},
    {"Label_Win7", "Windows 7 x86/x64"},
    {"Label_Win8", "Windows 8.x x86/x64"},
    {"Label_WinVista", "Windows Vista x86/x64"},
    {"Label_OSGroup2", "->"},
    {"Label_Win2003", "Windows Server 2003"},
    {"Label_WinXP", "Windows XP x86/x64"},
    {"Label_Win2000", "Windows 2000"},
    {"Label_WinNT4", "Windows NT4"},
    {"Label_OSGroup3", "->"},
    {"Label_WinME", "Windows ME"},
    {"Label_Win98", "Windows 98/98SE"},
    {"Label_Win95", "Windows 95/OSR1/OSR2.x"},
    {"G_5", "About"},
    {"Label_App", "App:"},
    {"Label_AppValue", "Marquill"},
    {"Label_Version", "Version:"},
    {"Label_VersionValue", "4.0.2402"},
    {"Label_Author", "Author:"},
    {"Label_AuthorValue", "The Marquill developers"},
    {"Label_WWW", "WWW:"},
    {"Label_WWWValue", "www.marquill.org"},
    {"Label_Contact", "Contact:"},
    {"Label_ContactValue", "support@marquill.org"},
    {"Btn_Back", "Back"},
    {"Label9", "Free software, without warranty."},
    {"Label10", "www.marquill.org"},
    {"Btn_About", "About..."},
    {"Btn_Remove", "Remove All OEM Info"},
    {"Btn_Apply", "Apply"},
};

// True when `id` is `ancestor` or lies inside it.
inline bool IsWithin(TCtl id, TCtl ancestor)
{
    for (; id != TCtl::None; id = Desc(id).parent)
        if (id == ancestor)
            return true;
    return false;
}

// Registry mode never builds "Support Info": the look tests find the rest of
// the rows once the about page has shown.
inline bool BuiltInRegistryMode(const char* name)
{
    return !IsWithin(FindControlDesc(name)->id, TCtl::G_2);
}

inline HWND ControlOrForm(const TAppFrm& form, const char* name)
{
    return std::string(name) == "AppFrm" ? form.Handle() : ControlNamed(form, name);
}

inline void ExpectPlace(const TAppFrm& form, const TPlace& p)
{
    SCOPED_TRACE(p.name);
    HWND wnd = ControlNamed(form, p.name);
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(GetParent(wnd), ControlOrForm(form, p.parent)) << "not inside " << p.parent;
    const RECT r = RectInParent(wnd);
    EXPECT_EQ(r.left, p.left);
    EXPECT_EQ(r.top, p.top);
    if (p.width >= 0) {
        EXPECT_EQ(r.right - r.left, p.width);
    }
    EXPECT_EQ(r.bottom - r.top, p.height);
}

}  // namespace formtest
