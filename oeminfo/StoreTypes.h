#pragma once
// What both of the stores' policies share: the window's lenient reader and
// writer (oeminfo/WinOEMInfo) and the command line's strict ones
// (oeminfo/StrictStore), and the logo file both install.
#include <windows.h>

#include "base/Error.h"

#include <string>

// A registry value or a legacy store file as stored: its type (registry)
// and bytes, or missing.
struct TStoredBytes {
    bool Present = false;
    DWORD Type = REG_NONE;
    std::string Bytes;  // a value's data as the wide query gives it
};

// The legacy store's two files, as stored.
struct TLegacyFiles {
    TStoredBytes Ini;   // oeminfo.ini
    TStoredBytes Logo;  // oemlogo.bmp
};

// A failure before the first write: there is nothing to put back.
class ENothingWritten : public EMarquillError {
public:
    using EMarquillError::EMarquillError;
};

// What a refusal to open the OEM key for writing raises: the window's
// standard text, or for the command line ENothingWritten, which says that
// nothing was written.
enum class TKeyRefusal { StandardText, NothingWritten };
