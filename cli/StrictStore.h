#pragma once
// The store in force read strictly and put back exactly, for the command
// line: what cannot be read is an error, never an empty field, and what is
// kept before a write is the stored bytes, not their ANSI reading. (The
// window's readers stay lenient: it shows the user what it read.)
#include <windows.h>

#include "base/Error.h"

#include <string>
#include <vector>

#include "base/WideText.h"

// A registry value or a legacy store file as stored: its type (registry)
// and bytes, or missing.
struct TStoredBytes {
    bool Present = false;
    DWORD Type = REG_NONE;
    std::string Bytes;  // a value's data as the wide query gives it
};

// A failure before the first write: there is nothing to put back.
class ENothingWritten : public EMarquillError {
public:
    using EMarquillError::EMarquillError;
};

// Registry mode: the values `names` of the OEM key. A missing key or value
// is missing; one that exists but cannot be opened or queried, or a value
// of another type than text, raises an error with the reason.
std::vector<TStoredBytes> ReadOEMValues(const std::vector<std::string>& names);

// A value's text in the ANSI code page, without its terminating NUL (NULs
// inside are kept); empty when missing. False when the text holds a
// character the code page lacks.
bool OEMValueText(const TStoredBytes& value, std::string& text);

// Writes `texts[i]` as the REG_SZ value `names[i]`, in order. Raises
// ENothingWritten when the key cannot be opened for writing, and "Failed to set data for ..." at the first refused value.
void WriteOEMValues(const std::vector<std::string>& names, const std::vector<std::string>& texts);
// Puts every value back as it was (a missing one deleted), through the
// wide function that carries the bytes unchanged.
void RestoreOEMValues(const std::vector<std::string>& names, const std::vector<TStoredBytes>& values);

// Legacy mode: the bytes of oeminfo.ini and oemlogo.bmp. One that exists
// but cannot be read raises an error with the reason.
std::vector<TStoredBytes> ReadLegacyFiles();
// Writes both back byte for byte (a missing one deleted).
void RestoreLegacyFiles(const std::vector<TStoredBytes>& files);

// Legacy mode, where Windows has the wide profile function (the NT
// family): the texts the store's reader reads, as wide text, so that a
// caller can tell which of them the ANSI functions carry unchanged. False
// where there is no such function.
struct TWideIniRecord {
    TWideText Manufacturer, Model;
    std::vector<TWideText> Lines;
};
bool ReadIniWide(TWideIniRecord& record);
