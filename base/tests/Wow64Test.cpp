// Switching the WOW64 redirection off for a span, with stand-ins for the
// kernel's pair that keep the state they were asked for.
#include "base/Wow64.h"

#include "base/Error.h"
#include "base/PlatformApi.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

bool g_off = false;        // the thread's redirection as the stand-ins keep it
bool g_refuseOff = false;  // the next switch off is refused
bool g_refuseBack = false;  // every switch back is refused (and changes nothing)
int g_calls = 0;

BOOL WINAPI TrackingDisable(PVOID* old)
{
    ++g_calls;
    if (g_refuseOff)
        return FALSE;
    *old = reinterpret_cast<PVOID>(static_cast<INT_PTR>(g_off ? 1 : 2));
    g_off = true;
    return TRUE;
}
BOOL WINAPI TrackingRevert(PVOID old)
{
    ++g_calls;
    if (g_refuseBack)
        return FALSE;
    g_off = old == reinterpret_cast<PVOID>(static_cast<INT_PTR>(1));
    return TRUE;
}

// What a span saw and left: the error it raised ("" for none), whether the
// redirection was off inside the innermost span, and after all of them.
struct TSpanCase {
    const char* name;
    bool active;
    bool hasSwitch;
    bool refuseOff, refuseBack;
    std::function<void()> inner;  // run inside a span nested in the outer one
    std::string error;
    bool offInside;
    int calls;
};

TEST(Wow64Redirection, ASpanSwitchesBackHoweverItEndsAndNestedSpansKeepItOff)
{
    bool offInside = false, offAfterInner = false;
    const auto note = [&] { offInside = g_off; };
    const TSpanCase cases[] = {
        {"32-bit Windows: nothing switched", false, true, false, false, note, "", false, 0},
        {"a kernel without the switch", true, false, false, false, note, "", false, 0},
        {"nested spans", true, true, false, false, note, "", true, 4},
        {"the work fails: its error, and the switch back", true, true, false, false,
         [&] { note(); throw EMarquillError("work failed"); }, "work failed", true, 4},
        {"switching off refused: no work", true, true, true, false, [&] { offInside = true; },
         "Unable to switch the file system redirection", false, 1},
        {"switching back refused after the work", true, true, false, true, note,
         "Unable to switch the file system redirection", true, 4},
        {"switching back refused after a failure: the failure", true, true, false, true,
         [&] { note(); throw EMarquillError("work failed"); }, "work failed", true, 4},
    };
    for (const TSpanCase& c : cases) {
        SCOPED_TRACE(c.name);
        g_off = false, g_refuseOff = c.refuseOff, g_refuseBack = c.refuseBack, g_calls = 0;
        offInside = offAfterInner = false;
        TApiSwap<decltype(PlatformApi.Wow64DisableWow64FsRedirection)> off(
            PlatformApi.Wow64DisableWow64FsRedirection, c.hasSwitch ? TrackingDisable : nullptr);
        TApiSwap<decltype(PlatformApi.Wow64RevertWow64FsRedirection)> back(
            PlatformApi.Wow64RevertWow64FsRedirection, c.hasSwitch ? TrackingRevert : nullptr);
        std::string error;
        try {
            WithRedirectionOff(c.active, [&] {
                WithRedirectionOff(c.active, c.inner);
                offAfterInner = g_off;
            });
        } catch (const EMarquillError& e) {
            error = e.what();
        }
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(offInside, c.offInside);
        if (error.empty()) {
            EXPECT_EQ(offAfterInner, c.offInside) << "the inner span must leave the outer one's redirection off";
        }
        EXPECT_EQ(g_off, c.refuseBack && c.offInside) << "after the outer span";
        EXPECT_EQ(g_calls, c.calls);
    }
}

TEST(Wow64Redirection, ASpanGivesWhatItsWorkGives)
{
    TApiSwap<decltype(PlatformApi.Wow64DisableWow64FsRedirection)> off(PlatformApi.Wow64DisableWow64FsRedirection,
                                                                      TrackingDisable);
    TApiSwap<decltype(PlatformApi.Wow64RevertWow64FsRedirection)> back(PlatformApi.Wow64RevertWow64FsRedirection,
                                                                      TrackingRevert);
    g_off = g_refuseOff = g_refuseBack = false;
    EXPECT_EQ(WithRedirectionOff(true, [] { return std::string(g_off ? "off" : "on"); }), "off");
    EXPECT_FALSE(g_off);
}

}  // namespace
