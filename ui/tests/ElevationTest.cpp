// The window's start on Vista and later by each kind of token: a filtered
// administrator's asks once for an elevated copy and ends, or opens one
// unelevated window when the prompt is declined; anyone else's opens the
// window at once. Wine's token is never filtered and it shows no prompt,
// so both answers come from stand-ins.
#include "base/PlatformApi.h"
#include "tests/support/TestSupport.h"
#include "ui/WindowProgram.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TOKEN_ELEVATION_TYPE Elevation;
BOOL PromptAccepted;
std::vector<std::string> Prompts;
int WindowsOpened;

BOOL WINAPI ElevationOfToken(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID info, DWORD size, PDWORD returned)
{
    if (kind != TokenElevationType)
        return GetTokenInformation(token, kind, info, size, returned);
    if (size < sizeof Elevation)
        return FALSE;
    *static_cast<TOKEN_ELEVATION_TYPE*>(info) = Elevation;
    *returned = sizeof Elevation;
    return TRUE;
}

BOOL WINAPI ElevationPrompt(SHELLEXECUTEINFOA* info)
{
    Prompts.push_back(std::string(info->lpVerb ? info->lpVerb : "") + " " + (info->lpFile ? info->lpFile : "") +
                      " [" + (info->lpParameters ? info->lpParameters : "") + "]");
    if (!PromptAccepted)
        SetLastError(ERROR_CANCELLED);
    return PromptAccepted;
}

// Counts each main window as it is made and closes it again at once, as a
// user would, which ends the program's message loop.
LRESULT CALLBACK CloseEachMainWindow(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        char cls[32] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof cls);
        if (lstrcmpA(cls, "TAppFrm") == 0) {
            ++WindowsOpened;
            PostMessageA(reinterpret_cast<HWND>(wParam), WM_CLOSE, 0, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string OwnPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

}  // namespace

TEST(WindowStart, FilteredAdministratorAsksForElevationOnce)
{
    const std::string prompt = "runas " + OwnPath() + " []";
    const struct {
        TOKEN_ELEVATION_TYPE token;
        BOOL accepted;
        std::vector<std::string> prompts;
        int windows;
    } cases[] = {
        {TokenElevationTypeLimited, TRUE, {prompt}, 0},
        {TokenElevationTypeLimited, FALSE, {prompt}, 1},
        {TokenElevationTypeDefault, TRUE, {}, 1},
        {TokenElevationTypeFull, TRUE, {}, 1},
    };
    TApiSwap<decltype(PlatformApi.GetTokenInformation)> token(PlatformApi.GetTokenInformation, ElevationOfToken);
    TApiSwap<decltype(PlatformApi.ShellExecuteExA)> shell(PlatformApi.ShellExecuteExA, ElevationPrompt);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "token type " << c.token << ", prompt accepted " << c.accepted);
        Elevation = c.token;
        PromptAccepted = c.accepted;
        Prompts.clear();
        WindowsOpened = 0;
        HHOOK hook = SetWindowsHookExA(WH_CBT, CloseEachMainWindow, nullptr, GetCurrentThreadId());
        ASSERT_TRUE(hook);
        EXPECT_EQ(WindowProgramMain(), 0);
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(Prompts, c.prompts);
        EXPECT_EQ(WindowsOpened, c.windows);
    }
}
