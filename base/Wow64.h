#pragma once
// A 32-bit program on 64-bit Windows: asking whether it runs so, and
// switching the file-system redirection of the system directory. Both go
// through PlatformApi, where the kernel's functions are looked up at run time.

// True when the program is a 32-bit process on 64-bit Windows; false where
// the platform cannot say (no IsWow64Process). A failing query raises
// EMarquillError.
bool IsWow64();

// Switches the redirection for the calling thread; does nothing where the
// platform lacks the switch. A refused switch raises EMarquillError.
void SetWow64FsRedirection(bool Enable);

// Switches the redirection off for its lifetime (when `active`). Restore()
// switches it back and raises a failure; when an error unwinds first, the
// destructor still switches it back, quietly, because that first error is
// the one to show.
class TWow64RedirectionOff {
public:
    explicit TWow64RedirectionOff(bool active);
    ~TWow64RedirectionOff();
    TWow64RedirectionOff(const TWow64RedirectionOff&) = delete;
    TWow64RedirectionOff& operator=(const TWow64RedirectionOff&) = delete;

    void Restore();

private:
    bool active_;
};
