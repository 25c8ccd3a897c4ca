#pragma once
// The store in force prepared, read and put back from outside the code under
// test: the registry's 64-bit view, or the files in the system directory.
#include "cli/ConsoleOut.h"

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace clitest {

// What a command wrote, collected.
struct TCollect : TConsoleOut {
    bool Write(const std::string& text) override
    {
        Text += text;
        return true;
    }
    std::string Text;
};

using TFields = std::vector<std::pair<std::string, std::string>>;

bool Legacy();  // the test program sees a Windows before Vista
std::string SystemDir();
std::string TempDir();  // without a trailing separator
// The legacy store's files as this test reaches them: under WOW64 through
// Sysnative, since the store works in the real system directory.
std::string IniPath();
std::string LogoPath();

// Registry mode: those of these that are values of the key (the others of
// the six and the newer values deleted; a legacy line is passed over). Legacy mode: an
// oeminfo.ini with Manufacturer and Model in [General], the other names but
// Logo in [Support Information]; `logo` ("" for none) is oemlogo.bmp's bytes.
void PrepareStore(const TFields& fields, const std::string& logo = "");

// One field as Windows reads it: the registry value's text, the profile
// value, or the bytes of oemlogo.bmp for the legacy Logo; "<missing>".
std::string Outside(const std::string& name);

// Every byte of the store (values with their types, or both files).
std::string Snapshot();

// Registry mode: the REG_SZ value `name` set to, or read as, wide text with
// every character the value's size holds but its terminating NUL (NULs
// inside included); "<missing>", also for a value without that NUL. Set
// with another `type` (REG_EXPAND_SZ), or without the terminating NUL.
void SetWideValue(const std::string& name, const std::wstring& data, unsigned long type = 1, bool terminated = true);
std::wstring WideValue(const std::string& name);

// Registry mode: every value of the key in the 64-bit view, or with
// `view32` in the 32-bit one (WOW6432Node), with its type and bytes as the
// wide API gives them; and the key made to hold exactly such values.
struct TRawValue {
    unsigned long Type;
    std::string Bytes;
    bool operator==(const TRawValue& other) const { return Type == other.Type && Bytes == other.Bytes; }
};
inline std::ostream& operator<<(std::ostream& out, const TRawValue& value)
{
    out << "type " << value.Type << ":";
    for (unsigned char b : value.Bytes)
        out << ' ' << std::hex << static_cast<int>(b) << std::dec;
    return out;
}
using TRawValues = std::map<std::string, TRawValue>;
// The UTF-16LE bytes of `text`, as a value's data.
std::string Utf16(const std::u16string& text);
TRawValues RawKey(bool view32 = false);
void SetRawKey(const TRawValues& values, bool view32 = false);

// Deletes the six values and the newer ones, or both files.
void ClearStore();

}  // namespace clitest
