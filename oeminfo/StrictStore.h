#pragma once
// The store in force read strictly and put back exactly, for the command
// line: what cannot be read is an error, never an empty field, and what is
// kept before a write is the stored bytes, not their ANSI reading. (The
// window's readers, oeminfo/WinOEMInfo, stay lenient: it shows the user
// what it read.)
#include <windows.h>

#include "base/WideText.h"
#include "oeminfo/OEMFields.h"
#include "oeminfo/StoreTypes.h"

#include <string>
#include <vector>

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

// The value /apply sets for `text`: REG_EXPAND_SZ when `expand`, else
// REG_SZ, with its terminating NUL, as the wide query reads it back.
TStoredBytes RegistryValueOf(bool expand, const std::string& text);

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

// Legacy mode: both files' bytes. A file that exists but cannot be read
// raises with the reason: the strict store never shows, compares or writes
// over a file it could not read whole, and these bytes are what a failed
// write puts back.
TLegacyFiles ReadLegacyFiles();
// oemlogo.bmp alone, which registry mode writes when it converts a logo.
TStoredBytes ReadLogoFile();
// Writes both back byte for byte (a missing one deleted), each replaced in
// one step and keeping the attributes of the file it replaces.
void RestoreLegacyFiles(const TLegacyFiles& files);

// Legacy mode: the store read strictly. Both files first (ReadLegacyFiles),
// then the record oeminfo.ini holds through the profile functions, as the
// window reads it when it opens: one text per field of `fields` (the logo's
// the path of oemlogo.bmp when there is one), and every support line, also
// those past the last line field.
struct TStoredRecord {
    TLegacyFiles Files;
    std::vector<std::string> Values;
    std::vector<std::string> Lines;
};
TStoredRecord ReadLegacyRecord(const TFieldList& fields);
// Writes the whole record as Apply does: [General] and the non-empty lines
// in order, renumbered, then `logoFile` (nullptr keeps the logo file there
// is) as oemlogo.bmp. When that fails, puts back `before` and raises the
// failure, `restoreError` saying why that failed too.
void WriteLegacyRecord(const TFieldList& fields, const std::vector<std::string>& values,
                       const std::string* logoFile, const TLegacyFiles& before, std::string& restoreError);
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
