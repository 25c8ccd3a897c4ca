#pragma once
// What the command line's tests share: the store in force prepared and read
// from outside the code under test (the registry's 64-bit view, the files in
// the system directory), and put back as it was after each test.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace clitest {

bool Legacy();  // the test program sees a Windows before Vista

// Sets the store in force from outside: in registry mode each name is a
// value of the key (the others are deleted); in legacy mode oeminfo.ini is
// written with Manufacturer and Model in [General] and the other names in
// [Support Information], in the order given ("Logo" is left out: the logo
// file is set with SetLogoFile).
void PrepareStore(const std::vector<std::pair<std::string, std::string>>& fields);
void SetLogoFile(const std::string& bytes);  // legacy mode; "" deletes it

// A field of the store in force as Windows reads it, from outside: the
// registry value's text, or the profile value (Manufacturer, Model, LineN of
// the file), or for the legacy "Logo" the logo file's bytes. "<missing>"
// when it is not there.
std::string Outside(const std::string& name);

// Every byte of the store in force (values with their types, or both files),
// to show that nothing was written.
std::string Snapshot();

// Saves the store on construction, puts it back on destruction.
class TStoreKeeper {
public:
    TStoreKeeper();
    ~TStoreKeeper();
    TStoreKeeper(const TStoreKeeper&) = delete;
    TStoreKeeper& operator=(const TStoreKeeper&) = delete;

private:
    std::vector<std::pair<std::string, std::string>> saved_;
};

std::string SystemDir();
std::string TempDir();  // ends without a separator

}  // namespace clitest
