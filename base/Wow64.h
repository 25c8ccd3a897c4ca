#pragma once
// A 32-bit program on 64-bit Windows: asking whether it runs so, and
// switching off the file-system redirection of the system directory for a
// span of work. Both go through PlatformApi, where the kernel's functions
// are looked up at run time.
#include <string>
#include <type_traits>
#include <utility>

// True when the program is a 32-bit process on 64-bit Windows; false where
// the platform cannot say (no IsWow64Process). A failing query raises
// EMarquillError.
bool IsWow64();

// The switch itself, for WithRedirectionOff. Switching off saves the state
// it found, and switching back puts that state back: a nested span leaves
// the redirection off for the span around it. Where the platform lacks the
// switch (32-bit Windows), both do nothing.
class TWow64RedirectionSwitch {
public:
    // Switches off when `active`; a refusal raises EMarquillError.
    explicit TWow64RedirectionSwitch(bool active);
    // Switches back when that has not been done: quietly, because an error
    // is unwinding, and it is the one to show.
    ~TWow64RedirectionSwitch();
    TWow64RedirectionSwitch(const TWow64RedirectionSwitch&) = delete;
    TWow64RedirectionSwitch& operator=(const TWow64RedirectionSwitch&) = delete;

    // Switches back; a refusal raises EMarquillError.
    void SwitchBack();

private:
    bool off_ = false;
    void* saved_ = nullptr;
};

// Runs `fn` with the redirection off for this thread (when `active`) and
// gives what it gives. The redirection is switched back however `fn` ends;
// a refused switch back is raised only when `fn` succeeded. Only file reads
// and writes belong in `fn`: while the redirection is off, loading a system
// DLL can fail, so pictures are decoded outside it.
template <class TFn> auto WithRedirectionOff(bool active, TFn&& fn) -> decltype(fn())
{
    TWow64RedirectionSwitch redirection(active);
    if constexpr (std::is_void_v<decltype(fn())>) {
        fn();
        redirection.SwitchBack();
    } else {
        auto result = fn();
        redirection.SwitchBack();
        return result;
    }
}

// `text` with its environment variables expanded as Windows' 64-bit reader
// of a REG_EXPAND_SZ value expands them. A 32-bit process under WOW64 is
// given the 32-bit program folders as %ProgramFiles% and
// %CommonProgramFiles%, so there those two name their 64-bit twins
// (%ProgramW6432%, %CommonProgramW6432%) where the process has them. What
// cannot be expanded is kept as it stands, as Windows keeps it.
std::string ExpandAsWindowsReads(const std::string& text);
