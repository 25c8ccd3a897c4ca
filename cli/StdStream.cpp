#include "cli/StdStream.h"

#include "base/AnsiText.h"
#include "base/PlatformApi.h"
#include "base/WinHandles.h"

namespace {

// The caller redirected the handle when it leads to a file, a pipe or a
// character device; a program of the window subsystem started from a console
// without redirection gets none (FILE_TYPE_UNKNOWN).
HANDLE RedirectedHandle(DWORD which)
{
    HANDLE handle = GetStdHandle(which);
    if (!handle || handle == INVALID_HANDLE_VALUE || GetFileType(handle) == FILE_TYPE_UNKNOWN)
        return nullptr;
    return handle;
}

// The parent's console. AttachConsole came with Windows XP: looked up, never
// imported, so the program still starts where it is missing and then shows
// nothing.
HANDLE OpenParentConsole()
{
    if (!PlatformApi.AttachConsole)
        return nullptr;
    // Refused as already attached (Wine attaches a window program to the
    // console of the console program that started it), it has the console.
    if (!PlatformApi.AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
        return nullptr;
    // Older consoles open CONOUT$ only for reading and writing both.
    return CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

// Attached on first need and shared by both streams.
HANDLE ParentConsole()
{
    static const THandle console(OpenParentConsole());
    return console.Valid() ? console.Get() : nullptr;
}

// A console shows bytes in its own code page (an OEM one, as a rule), not in
// the ANSI code page our texts are in.
std::string ForConsole(const std::string& ansi)
{
    const UINT consoleCodePage = GetConsoleOutputCP();
    if (ansi.empty() || consoleCodePage == 0 || consoleCodePage == GetACP())
        return ansi;
    const std::string converted = FromWide(ToWide(ansi), consoleCodePage);
    return converted.empty() ? ansi : converted;
}

bool IsConsole(HANDLE handle)
{
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != FALSE;
}

bool WriteAll(HANDLE handle, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

}  // namespace

HANDLE TStdStream::Handle() const
{
    HANDLE handle = RedirectedHandle(Which);
    return handle ? handle : ParentConsole();
}

bool TStdStream::Write(const std::string& text)
{
    HANDLE handle = Handle();
    return handle && WriteAll(handle, IsConsole(handle) ? ForConsole(text) : text);
}

bool TStdStream::WriteBytes(const std::string& bytes)
{
    HANDLE handle = Handle();
    return handle && WriteAll(handle, bytes);
}
