// The WOW64 query and the redirection switch, through PlatformApi.
#include "base/Wow64.h"

#include "base/Error.h"
#include "base/PlatformApi.h"
#include "base/ResText.h"

#include <vector>

bool IsWow64()
{
    if (!PlatformApi.IsWow64Process)
        return false;
    BOOL wow64 = FALSE;
    if (!PlatformApi.IsWow64Process(GetCurrentProcess(), &wow64))
        throw EMarquillError("IsWow64: bad process handle");
    return wow64 != FALSE;
}

namespace {
bool HasSwitch()
{
    return PlatformApi.Wow64DisableWow64FsRedirection && PlatformApi.Wow64RevertWow64FsRedirection;
}
}  // namespace

TWow64RedirectionSwitch::TWow64RedirectionSwitch(bool active)
{
    if (!active || !HasSwitch())
        return;
    if (!PlatformApi.Wow64DisableWow64FsRedirection(&saved_))
        RaiseText(N_("Unable to switch the file system redirection"));
    off_ = true;
}

TWow64RedirectionSwitch::~TWow64RedirectionSwitch()
{
    if (off_)
        PlatformApi.Wow64RevertWow64FsRedirection(saved_);
}

void TWow64RedirectionSwitch::SwitchBack()
{
    if (!off_)
        return;
    off_ = false;
    if (!PlatformApi.Wow64RevertWow64FsRedirection(saved_))
        RaiseText(N_("Unable to switch the file system redirection"));
}

namespace {
// The variable a 64-bit process has under the name `name`, where this
// process has it under another.
const char* SixtyFourBitName(const std::string& name)
{
    if (lstrcmpiA(name.c_str(), "ProgramFiles") == 0)
        return "ProgramW6432";
    if (lstrcmpiA(name.c_str(), "CommonProgramFiles") == 0)
        return "CommonProgramW6432";
    return nullptr;
}

bool IsDefined(const char* name)
{
    return GetEnvironmentVariableA(name, nullptr, 0) != 0;
}

// The 64-bit names put in, read as the expansion reads: `%name%` where the
// name is defined; else the `%` stays and the second one may open the next.
std::string WithSixtyFourBitNames(const std::string& text)
{
    std::string out;
    size_t at = 0;
    for (size_t open; (open = text.find('%', at)) != std::string::npos;) {
        const size_t close = text.find('%', open + 1);
        if (close == std::string::npos)
            break;
        const std::string name = text.substr(open + 1, close - open - 1);
        const char* twin = SixtyFourBitName(name);
        if (twin && IsDefined(twin)) {
            out += text.substr(at, open - at) + "%" + twin + "%";
            at = close + 1;
        } else {
            const size_t next = IsDefined(name.c_str()) ? close + 1 : close;
            out += text.substr(at, next - at);
            at = next;
        }
    }
    return out + text.substr(at);
}
}  // namespace

std::string ExpandAsWindowsReads(const std::string& text)
{
    const std::string source = IsWow64() ? WithSixtyFourBitNames(text) : text;
    std::vector<char> buffer(source.size() + 1, '\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD needed = ExpandEnvironmentStringsA(source.c_str(), buffer.data(), size);
        if (needed == 0)
            return text;
        if (needed <= size)
            return std::string(buffer.data());
        buffer.assign(needed, '\0');
    }
}
