#pragma once
// A profile (INI) file, read and written through the platform's profile
// functions. Windows may keep a cached copy of a profile file; letting go of
// one asks for that copy to reach the disk.
#include <windows.h>

#include <string>
#include <vector>

#include "base/WideText.h"

class TProfileFile {
public:
    explicit TProfileFile(std::string path);
    ~TProfileFile();
    TProfileFile(const TProfileFile&) = delete;
    TProfileFile& operator=(const TProfileFile&) = delete;

    // The value of `key` whole, up to `maxChars` characters. The platform
    // gives a value that fills its buffer cut to the buffer, so the buffer
    // grows in bounded steps until the value ends inside it; only a value
    // of `maxChars` - 1 or more comes back cut to that.
    std::string ReadString(const char* section, const char* key, DWORD maxChars) const;
    // The key names of `section` in file order (see SplitKeyList), read
    // into `capacity` characters.
    std::vector<std::string> ReadKeyNames(const char* section, DWORD capacity) const;
    // The same through the wide functions, which read a UTF-16 file's
    // characters unchanged; only the NT family has them.
    TWideText ReadWideString(const TWideText& section, const TWideText& key, DWORD maxChars) const;
    std::vector<TWideText> ReadWideKeyNames(const TWideText& section, DWORD capacity) const;

    bool WriteString(const char* section, const char* key, const std::string& value) const;

private:
    std::string path_;
};
