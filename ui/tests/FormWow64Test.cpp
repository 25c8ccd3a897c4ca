// The WOW64 redirection around loading the logo, with stand-ins for the
// kernel's functions so every answer they can give is covered.
#include "ui/tests/FormTestFixture.h"

#include <vector>

#include "base/PlatformApi.h"
#include "base/ResText.h"

using namespace formtest;

namespace {

std::vector<int> g_switches;  // every redirection switch asked for: 0 off, 1 on

BOOL WINAPI IsWow64Fails(HANDLE, PBOOL)
{
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}
BOOL WINAPI IsWow64Yes(HANDLE, PBOOL wow64)
{
    *wow64 = TRUE;
    return TRUE;
}
BOOL WINAPI IsWow64No(HANDLE, PBOOL wow64)
{
    *wow64 = FALSE;
    return TRUE;
}
BOOL WINAPI SwitchOffWorks(PVOID* old)
{
    g_switches.push_back(0);
    *old = nullptr;
    return TRUE;
}
BOOL WINAPI SwitchOffRefused(PVOID*)
{
    g_switches.push_back(0);
    return FALSE;
}
BOOL WINAPI SwitchBackWorks(PVOID)
{
    g_switches.push_back(1);
    return TRUE;
}
BOOL WINAPI SwitchBackRefused(PVOID)
{
    g_switches.push_back(1);
    return FALSE;
}

// Marks every standard text that passes through the translation route.
std::string MarkTranslated(const std::string& english)
{
    return "<" + english + ">";
}

class FormWow64 : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteOemValues();
        g_switches.clear();
    }
    void TearDown() override
    {
        ResetTranslation("C", NoCatalogs);
        DeleteOemValues();
    }
};

// The kernel's WOW64 functions as PlatformApi holds them; nullptr stands
// for a kernel that lacks one.
struct TWow64StandIns {
    decltype(PlatformApi.IsWow64Process) isWow64Process;
    decltype(PlatformApi.Wow64DisableWow64FsRedirection) switchOff;
    decltype(PlatformApi.Wow64RevertWow64FsRedirection) switchBack;
};

struct TCase {
    const char* name;
    TWow64StandIns functions;
    const char* logoExtension;
    std::vector<int> switches;
    const char* box;  // nullptr: none
    bool loaded;      // the window reached the editing page
};

TEST_F(FormWow64, RedirectionIsSwitchedOffOnlyAroundTheLoadAndFailuresAreShown)
{
    const TCase cases[] = {
        {"kernel without IsWow64Process", {nullptr, SwitchOffWorks, SwitchBackWorks}, "bmp", {}, nullptr, true},
        {"32-bit Windows", {IsWow64No, SwitchOffWorks, SwitchBackWorks}, "bmp", {}, nullptr, true},
        {"64-bit Windows", {IsWow64Yes, SwitchOffWorks, SwitchBackWorks}, "bmp", {0, 1}, nullptr, true},
        {"64-bit Windows without the switch", {IsWow64Yes, nullptr, nullptr}, "bmp", {}, nullptr, true},
        {"logo fails to load", {IsWow64Yes, SwitchOffWorks, SwitchBackWorks}, "png", {0, 1},
         "<Unknown picture file extension (.png)>.", false},
        // Never passed through translation.
        {"IsWow64Process fails", {IsWow64Fails, SwitchOffWorks, SwitchBackWorks}, "bmp", {},
         "IsWow64: bad process handle.", false},
        {"switching off refused", {IsWow64Yes, SwitchOffRefused, SwitchBackWorks}, "bmp", {0},
         "<Unable to switch the file system redirection>.", false},
        {"switching back on refused", {IsWow64Yes, SwitchOffWorks, SwitchBackRefused}, "bmp", {0, 1},
         "<Unable to switch the file system redirection>.", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        g_switches.clear();
        TScratchFile logo(ExeDir() + "marquill-wow64-logo." + c.logoExtension, MakeBmp(5, 6, RGB(9, 9, 9)));
        SetRegString("Manufacturer", "Acme");
        SetRegString("Logo", logo.Path());
        OEMInfo = TOEMInfo{};
        ResetTranslation("C", NoCatalogs);
        SetResTextHook(MarkTranslated);
        TMessageBoxCatcher boxes;
        std::unique_ptr<TAppFrm> form;
        {
            TApiSwap<decltype(PlatformApi.IsWow64Process)> query(PlatformApi.IsWow64Process,
                                                                 c.functions.isWow64Process);
            TApiSwap<decltype(PlatformApi.Wow64DisableWow64FsRedirection)> switchOff(
                PlatformApi.Wow64DisableWow64FsRedirection, c.functions.switchOff);
            TApiSwap<decltype(PlatformApi.Wow64RevertWow64FsRedirection)> switchBack(
                PlatformApi.Wow64RevertWow64FsRedirection, c.functions.switchBack);
            form = std::make_unique<TAppFrm>();
        }

        ASSERT_TRUE(IsWindowVisible(form->Handle()));
        EXPECT_EQ(g_switches, c.switches);
        if (c.box) {
            ASSERT_EQ(boxes.Count(), 1);
            EXPECT_EQ(boxes.Last().text, c.box);
        } else {
            EXPECT_EQ(boxes.Count(), 0);
        }
        EXPECT_EQ(form->ActivePageName(), c.loaded ? "T_XP" : "T_About");
        // The fields were filled before the logo's turn came.
        EXPECT_EQ(Text(*form, "Edit_Manufacturer"), "Acme");
    }
}

}  // namespace
