#pragma once
// The store in force read strictly and put back exactly, for the command
// line: what cannot be read is an error, never an empty field, and what is
// kept before a write is the stored bytes, not their ANSI reading. (The
// window's readers, oeminfo/WinOEMInfo, stay lenient: it shows the user
// what it read.)
#include <windows.h>

#include "base/Error.h"
#include "base/WideText.h"
#include "oeminfo/OEMFields.h"

#include <string>
#include <vector>

class TPicture;

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

// Registry mode: the values of `fields`, one each. A missing key or value
// is missing; one that exists but cannot be opened or queried, or (unless
// `anyType`, for the forms of /show that carry any data) a value of another
// type than text, raises an error with the reason.
std::vector<TStoredBytes> ReadOEMValues(const TFieldList& fields, bool anyType = false);

// Registry mode, for /show: the values of `fields` as the key holds them in
// the 32-bit registry view (WOW6432Node: where a 32-bit tool that does not
// ask for the 64-bit view writes, and where Windows' 64-bit reader never
// looks), of any type; all missing where there is no such view (32-bit
// Windows) or no such key. One that cannot be read raises an error with the
// reason.
std::vector<TStoredBytes> ReadWow6432NodeValues(const TFieldList& fields);

// A value's text as stored, without its terminating NUL (NULs inside are
// kept); empty when missing.
TWideText StoredWideText(const TStoredBytes& value);
// The same in the ANSI code page; false when the text holds a character the
// code page lacks.
bool OEMValueText(const TStoredBytes& value, std::string& text);

// Sets every value to the type and bytes of `values` (a missing one
// deleted), through the wide function that carries the bytes unchanged: to
// put values back as they were, or to write them as /apply means them.
// Raises ENothingWritten when the key cannot be opened for writing, and
// "Failed to set data for ..." at the first refused value.
void RestoreOEMValues(const TFieldList& fields, const std::vector<TStoredBytes>& values);

// Registry mode, /apply's change: when `logoFile` is given, oemlogo.bmp
// replaced by those bytes (a converted logo, which the values name) first,
// then the values of `fields` set to `after` as RestoreOEMValues sets them.
// Raises ENothingWritten when nothing was written. When a write fails
// after that, the values are set back to `before` and the logo file put
// back, each attempted whatever the other does, and the failure raised;
// `restoreError` then says what could not be put back (the first failure,
// each later one appended), or stays empty.
void WriteOEMValues(const TFieldList& fields, const std::vector<TStoredBytes>& before,
                    const std::vector<TStoredBytes>& after, const std::string* logoFile, std::string& restoreError);

// A store file's bytes, or missing; one that exists but cannot be read
// (or is larger than any the program writes) raises an error with the
// reason. The caller sets the WOW64 redirection.
TStoredBytes ReadStoreFile(const std::string& path);

// Legacy mode: the bytes of oeminfo.ini and oemlogo.bmp, read so.
std::vector<TStoredBytes> ReadLegacyFiles();
// oemlogo.bmp alone, which registry mode writes when it converts a logo.
TStoredBytes ReadLogoFile();
// Writes both back byte for byte (a missing one deleted), each replaced in
// one step and keeping the attributes of the file it replaces.
void RestoreLegacyFiles(const std::vector<TStoredBytes>& files);

// Legacy mode: the record the store holds, read as the window reads it when
// it opens: one text per field of `fields`, and every support line read,
// also those past the last line field.
struct TStoredRecord {
    std::vector<std::string> Values;
    std::vector<std::string> Lines;
};
TStoredRecord ReadLegacyRecord(const TFieldList& fields);
// Writes the whole record as Apply does: the non-empty lines in order,
// renumbered, and `logo` (the picture checked for the Logo given; nullptr
// keeps the logo file there is) installed from its checked bytes. When
// that fails, puts back `before` (ReadLegacyFiles' bytes) and raises the
// failure, `restoreError` saying why that failed too.
void WriteLegacyRecord(const TFieldList& fields, const std::vector<std::string>& values, const TPicture* logo,
                       const std::vector<TStoredBytes>& before, std::string& restoreError);
// The key names oeminfo.ini's [General] holds, for telling a key that is
// there but empty from one that is not there.
std::vector<std::string> ReadGeneralKeyNames();
// The texts of `fields` that oeminfo.ini holds, read as the store's reader
// reads them (values whole, the support lines in file order, a key list cut
// short losing its last name) but through the wide profile functions, which
// only the NT family has; empty for the logo, which is no text of the file.
std::vector<TWideText> ReadIniWide(const TFieldList& fields);
// The first field of `fields` not `given` whose text in `stored` is not
// what the store holds as read by the wide profile functions, that is a
// text the ANSI functions would not carry unchanged (a UTF-16 oeminfo.ini
// may hold any character); nullptr when there is none, or where Windows
// has no wide profile functions (the 9x family).
const TOEMField* UncarriedField(const TFieldList& fields, const TStoredRecord& stored,
                                const std::vector<bool>& given);
