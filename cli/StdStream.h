#pragma once
// Standard output and error of a program built for the window subsystem,
// which Windows gives no console of its own.
#include <windows.h>

#include "cli/CommandLine.h"

// Writes to the handle GetStdHandle(`which`) gives when the caller redirected
// it (to a file or a pipe). Otherwise to the console of the parent process,
// where the platform can attach to it, converted to the console's code page
// (WriteUnicode: as wide text, where the console takes it); otherwise nowhere
// (which is no text arriving whole).
class TStdStream : public TConsoleOut {
public:
    explicit TStdStream(DWORD which) : Which(which) {}
    bool Write(const std::string& text) override;
    bool WriteBytes(const std::string& bytes) override;
    bool WriteUnicode(const std::string& utf8) override;

private:
    HANDLE Handle() const;

    DWORD Which;
};
