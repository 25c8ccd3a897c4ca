// The registry store against the real OEMInformation key of a 32-bit
// program that sees Windows 10.
#include "StoreTestKit.h"
#include "oeminfo/StoreLock.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const char KeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation";
const std::vector<const char*> ValueNames = [] {
    std::vector<const char*> names;
    for (const TOEMField* field : RecordFields())
        names.push_back(field->Name);
    return names;
}();

struct TRawValue {
    std::string name;
    DWORD type;
    std::string data;
};

// Opens the key in the 64-bit view from outside the code under test.
HKEY OpenKey64(REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyPath, 0, access | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

void SetRaw(const TRawValue& value)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath, 0, nullptr, 0,
                                             KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr));
    LONG result = RegSetValueExA(key, value.name.c_str(), 0, value.type,
                                 reinterpret_cast<const BYTE*>(value.data.data()),
                                 static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, result) << value.name;
}

bool ValuePresent64(const char* name)
{
    DWORD type;
    std::string data;
    return ReadRegValue64(HKEY_LOCAL_MACHINE, KeyPath, name, type, data);
}

void ExpectStoredText(const char* name, const std::string& text, int line)
{
    SCOPED_TRACE(testing::Message() << "called from line " << line << ", value " << name);
    DWORD type = REG_NONE;
    std::string data;
    ASSERT_TRUE(ReadRegValue64(HKEY_LOCAL_MACHINE, KeyPath, name, type, data));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(text + '\0', data);
}

std::vector<std::string> Fields()
{
    std::vector<std::string> texts;
    for (const TOEMField* field : RecordFields())
        texts.push_back(OEMInfo.*field->Text);
    return texts;
}

const std::vector<std::string> SixTexts = {"Acme", "X1", "9-5", "555-0100", "http://acme.example", "C:\\logo.bmp"};

void WriteSix(const std::vector<std::string>& t)
{
    WriteRegOEMInfo(t[0], t[1], t[2], t[3], t[4], t[5]);
}

class RegStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetOEMInfo();
        ReleaseCounts = TReleaseCounts();
        // Whatever the key held is put back afterwards; the test starts
        // without the six values.
        HKEY key = OpenKey64(KEY_READ);
        KeyExisted = key != nullptr;
        if (key) {
            char name[16384];
            for (DWORD i = 0;; ++i) {
                DWORD nameLength = sizeof name;
                DWORD type = 0, size = 0;
                if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                    break;
                std::string data(size, '\0');
                nameLength = sizeof name;
                if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                                  &size) == ERROR_SUCCESS)
                    Saved.push_back({name, type, data.substr(0, size)});
            }
            RegCloseKey(key);
        }
        DeleteOurValues();
    }

    void TearDown() override
    {
        DeleteOurValues();
        if (KeyExisted) {
            for (const TRawValue& value : Saved)
                SetRaw(value);
        } else {
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, KeyPath, KEY_WOW64_64KEY, 0);
        }
        ResetOEMInfo();
        EXPECT_EQ(ReleaseCounts.RegKeysOpened, ReleaseCounts.RegCloseKeyCalls)
            << "every key the store opened must be closed, also after a failure";
    }

    static void DeleteOurValues()
    {
        HKEY key = OpenKey64(KEY_SET_VALUE);
        if (!key)
            return;
        for (const char* name : ValueNames)
            RegDeleteValueA(key, name);
        RegDeleteValueA(key, "MarquillTestOther");
        RegCloseKey(key);
    }

    // Removes the key itself, which must then hold nothing else.
    static void DeleteTheKey()
    {
        HKEY key = OpenKey64(KEY_READ);
        if (key) {
            DWORD values = 0, subkeys = 0;
            RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                             nullptr, nullptr);
            RegCloseKey(key);
            ASSERT_EQ(0u, values + subkeys) << "the OEMInformation key holds data this test does not own";
        }
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, KeyPath, KEY_WOW64_64KEY, 0);
        ASSERT_EQ(nullptr, OpenKey64(KEY_READ));
    }

    bool KeyExisted = false;
    std::vector<TRawValue> Saved;
    // Every test counts the keys the store opens and closes.
    TApiSwap<decltype(PlatformApi.RegCreateKeyExA)> CountOpens{PlatformApi.RegCreateKeyExA, CountingRegCreateKeyEx};
    TApiSwap<decltype(PlatformApi.RegCloseKey)> CountCloses{PlatformApi.RegCloseKey, CountingRegCloseKey};
};

TEST(RegStoreSetting, RegistryModeUnderWindows10)
{
    EXPECT_EQ(6u, WindowsMajorVersion);
    EXPECT_EQ(TStoreMode::Registry, StoreMode());
}

TEST_F(RegStore, WriteStoresSixStringsInThe64BitView)
{
    WriteSix(SixTexts);
    for (size_t i = 0; i < 6; ++i)
        ExpectStoredText(ValueNames[i], SixTexts[i], __LINE__);

    // The 32-bit program's own view (WOW6432Node) stays untouched.
    HKEY key32 = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyPath, 0, KEY_READ, &key32) == ERROR_SUCCESS) {
        for (const char* name : ValueNames)
            EXPECT_NE(ERROR_SUCCESS, RegQueryValueExA(key32, name, nullptr, nullptr, nullptr, nullptr)) << name;
        RegCloseKey(key32);
    }
}

TEST_F(RegStore, WriteEmptyTextsKeepsSixEmptyValues)
{
    WriteSix(SixTexts);
    WriteSix({"", "", "", "", "", ""});
    for (const char* name : ValueNames)
        ExpectStoredText(name, "", __LINE__);
}

TEST_F(RegStore, ReadBackWhatWasWritten)
{
    WriteSix(SixTexts);
    ReadRegOEMInfo();
    EXPECT_EQ(SixTexts, Fields());
}

struct TReadCase {
    const char* name;
    std::vector<TRawValue> values;
    std::vector<std::string> fields;
    std::string error;
};

TEST_F(RegStore, ReadCases)
{
    const std::string megabyte(1024 * 1024, 'm');
    const std::string strings = "Acme|X1|9-5|555|http://a";
    const std::vector<TRawValue> fiveStrings = {{"Manufacturer", REG_SZ, std::string("Acme", 5)},
                                                {"Model", REG_SZ, std::string("X1", 3)},
                                                {"SupportHours", REG_SZ, std::string("9-5", 4)},
                                                {"SupportPhone", REG_SZ, std::string("555", 4)},
                                                {"SupportURL", REG_SZ, std::string("http://a", 9)}};
    auto withLogo = [&](const TRawValue& logo) {
        std::vector<TRawValue> all = fiveStrings;
        all.push_back(logo);
        return all;
    };
    const TReadCase cases[] = {
        {"nothing there", {}, {"", "", "", "", "", ""}, ""},
        {"only the model", {{"Model", REG_SZ, std::string("X1", 3)}}, {"", "X1", "", "", "", ""}, ""},
        {"logo of type REG_DWORD after five strings",
         withLogo({"Logo", REG_DWORD, std::string("\x01\0\0\0", 4)}),
         {"Acme", "X1", "9-5", "555", "http://a", ""},
         "Invalid data type for 'Logo'"},
        {"expandable logo stays unexpanded", withLogo({"Logo", REG_EXPAND_SZ, std::string("%SystemRoot%\\o.bmp", 19)}),
         {"Acme", "X1", "9-5", "555", "http://a", "%SystemRoot%\\o.bmp"},
         ""},
        {"string without its NUL", {{"Model", REG_SZ, "abc"}}, {"", "abc", "", "", "", ""}, ""},
        {"string of length 0", {{"Model", REG_SZ, ""}, {"Logo", REG_SZ, std::string("L", 2)}},
         {"", "", "", "", "", "L"}, ""},
        {"embedded NUL ends the text", {{"Model", REG_SZ, std::string("ab\0cd\0", 6)}}, {"", "ab", "", "", "", ""},
         ""},
        {"binary model stops the reading",
         {{"Manufacturer", REG_SZ, std::string("Acme", 5)}, {"Model", REG_BINARY, "xyz"},
          {"Logo", REG_SZ, std::string("L", 2)}},
         {"Acme", "", "", "", "", ""},
         "Invalid data type for 'Model'"},
        {"multi-string is no text", {{"SupportURL", REG_MULTI_SZ, std::string("a\0b\0\0", 5)}},
         {"", "", "", "", "", ""}, "Invalid data type for 'SupportURL'"},
        {"empty value of another type reads empty", {{"Model", REG_DWORD, ""}, {"Logo", REG_SZ, std::string("L", 2)}},
         {"", "", "", "", "", "L"}, ""},
        {"a megabyte", {{"Manufacturer", REG_SZ, megabyte + '\0'}}, {megabyte, "", "", "", "", ""}, ""},
    };
    for (const TReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteOurValues();
        for (const TRawValue& value : c.values)
            SetRaw(value);
        ResetOEMInfo();
        ReleaseCounts = TReleaseCounts();
        TApiSwap<decltype(PlatformApi.RegCloseKey)> swap(PlatformApi.RegCloseKey, CountingRegCloseKey);
        if (c.error.empty()) {
            EXPECT_NO_THROW(ReadRegOEMInfo());
        } else {
            EXPECT_EQ(c.error, ErrorOf(ReadRegOEMInfo));
        }
        EXPECT_EQ(c.fields, Fields());
        EXPECT_EQ(1, ReleaseCounts.RegCloseKeyCalls) << "the key must be closed however the reading ends";
    }
}

// Stand-ins for RegQueryValueExA; each passes on what it does not change.
int GrowthsLeft = 0;
std::string QueryTarget;

LONG WINAPI GrowingQuery(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    // The value grows between the size query and the read: the platform
    // answers with more data and the new size, and the buffer stays as it was.
    if (data && size && GrowthsLeft > 0 && QueryTarget == name) {
        --GrowthsLeft;
        *size += 10;
        return ERROR_MORE_DATA;
    }
    return ::RegQueryValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI RefusedRead(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (data && QueryTarget == name)
        return ERROR_ACCESS_DENIED;
    return ::RegQueryValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI RefusedSizeQuery(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (!data && QueryTarget == name)
        return ERROR_ACCESS_DENIED;
    return ::RegQueryValueExA(key, name, reserved, type, data, size);
}

TEST_F(RegStore, ValueGrowingBetweenSizeQueryAndRead)
{
    WriteSix(SixTexts);
    TApiSwap<decltype(PlatformApi.RegQueryValueExA)> swap(PlatformApi.RegQueryValueExA, GrowingQuery);
    QueryTarget = "Model";
    GrowthsLeft = 2;
    ReadRegOEMInfo();
    EXPECT_EQ(SixTexts, Fields());

    ResetOEMInfo();
    GrowthsLeft = 1000;
    EXPECT_EQ("Failed to get data for 'Model'", ErrorOf(ReadRegOEMInfo));
    EXPECT_GT(GrowthsLeft, 990) << "a value that keeps growing must be given up on soon";
    EXPECT_EQ("Acme", OEMInfo.Manufacturer);
    EXPECT_EQ("", OEMInfo.Logo);
}

TEST_F(RegStore, RefusedReadStopsTheReading)
{
    WriteSix(SixTexts);
    ReleaseCounts = TReleaseCounts();
    TApiSwap<decltype(PlatformApi.RegQueryValueExA)> swap(PlatformApi.RegQueryValueExA, RefusedRead);
    TApiSwap<decltype(PlatformApi.RegCloseKey)> counting(PlatformApi.RegCloseKey, CountingRegCloseKey);
    QueryTarget = "SupportHours";
    EXPECT_EQ("Failed to get data for 'SupportHours'", ErrorOf(ReadRegOEMInfo));
    EXPECT_EQ((std::vector<std::string>{"Acme", "X1", "", "", "", ""}), Fields());
    EXPECT_EQ(1, ReleaseCounts.RegCloseKeyCalls);
}

TEST_F(RegStore, RefusedSizeQueryGivesAnEmptyField)
{
    WriteSix(SixTexts);
    TApiSwap<decltype(PlatformApi.RegQueryValueExA)> swap(PlatformApi.RegQueryValueExA, RefusedSizeQuery);
    QueryTarget = "SupportPhone";
    ReadRegOEMInfo();
    EXPECT_EQ((std::vector<std::string>{"Acme", "X1", "9-5", "", "http://acme.example", "C:\\logo.bmp"}), Fields());
}

LONG WINAPI RefusedSet(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (QueryTarget == name)
        return ERROR_ACCESS_DENIED;
    return ::RegSetValueExA(key, name, reserved, type, data, size);
}

TEST_F(RegStore, RefusedWriteKeepsEarlierValuesAndSkipsLaterOnes)
{
    TApiSwap<decltype(PlatformApi.RegSetValueExA)> swap(PlatformApi.RegSetValueExA, RefusedSet);
    TApiSwap<decltype(PlatformApi.RegCloseKey)> counting(PlatformApi.RegCloseKey, CountingRegCloseKey);
    QueryTarget = "SupportPhone";
    EXPECT_EQ("Failed to set data for 'SupportPhone'", ErrorOf([] { WriteSix(SixTexts); }));
    ExpectStoredText("Manufacturer", "Acme", __LINE__);
    ExpectStoredText("Model", "X1", __LINE__);
    ExpectStoredText("SupportHours", "9-5", __LINE__);
    EXPECT_FALSE(ValuePresent64("SupportPhone"));
    EXPECT_FALSE(ValuePresent64("SupportURL"));
    EXPECT_FALSE(ValuePresent64("Logo"));
    EXPECT_EQ(1, ReleaseCounts.RegCloseKeyCalls);
}

LONG WINAPI RefusedOpen(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD)
{
    return ERROR_ACCESS_DENIED;
}

TEST_F(RegStore, KeyThatCannotBeOpened)
{
    WriteSix(SixTexts);
    TApiSwap<decltype(PlatformApi.RegCreateKeyExA)> swap(PlatformApi.RegCreateKeyExA, RefusedOpen);
    const std::string refused =
        "Unable to open registry key "
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation for writing";

    EXPECT_NO_THROW(ReadRegOEMInfo());
    EXPECT_EQ((std::vector<std::string>(6, "")), Fields());
    EXPECT_EQ(refused, ErrorOf([] { WriteSix({"a", "b", "c", "d", "e", "f"}); }));
    EXPECT_EQ(refused, ErrorOf(RemoveRegOEMInfo));
    for (size_t i = 0; i < 6; ++i)
        ExpectStoredText(ValueNames[i], SixTexts[i], __LINE__);
}

struct TOpenCall {
    HKEY root;
    std::string path;
    DWORD reserved;
    bool hasClass;
    DWORD options;
    REGSAM access;
};
std::vector<TOpenCall> OpenCalls;
std::vector<std::string> DeletedValues;

LONG WINAPI RecordingOpen(HKEY root, LPCSTR path, DWORD reserved, LPSTR cls, DWORD options, REGSAM access,
                          LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    OpenCalls.push_back({root, path ? path : "", reserved, cls != nullptr, options, access});
    return CountingRegCreateKeyEx(root, path, reserved, cls, options, access, security, key, disposition);
}

LONG WINAPI RecordingDelete(HKEY key, LPCSTR name)
{
    DeletedValues.push_back(name ? name : "<null>");
    return ::RegDeleteValueA(key, name);
}

TEST_F(RegStore, OpensTheKeyWithTheRightsOfEachOperation)
{
    OpenCalls.clear();
    TApiSwap<decltype(PlatformApi.RegCreateKeyExA)> swap(PlatformApi.RegCreateKeyExA, RecordingOpen);
    ReadRegOEMInfo();
    WriteSix(SixTexts);
    RemoveRegOEMInfo();
    ASSERT_EQ(3u, OpenCalls.size());
    const REGSAM expected[] = {0x20119, 0x20107, 0x20107};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(HKEY_LOCAL_MACHINE, OpenCalls[i].root);
        EXPECT_EQ(KeyPath, OpenCalls[i].path);
        EXPECT_EQ(0u, OpenCalls[i].reserved);
        EXPECT_FALSE(OpenCalls[i].hasClass);
        EXPECT_EQ(static_cast<DWORD>(REG_OPTION_NON_VOLATILE), OpenCalls[i].options);
        EXPECT_EQ(expected[i], OpenCalls[i].access);
    }
}

TEST_F(RegStore, RemoveDeletesTheSixAndTheNewerValuesInOrderAndKeepsTheKey)
{
    WriteSix(SixTexts);
    SetRaw({"MarquillTestOther", REG_SZ, std::string("keep", 5)});
    DeletedValues.clear();
    ReleaseCounts = TReleaseCounts();
    TApiSwap<decltype(PlatformApi.RegDeleteValueA)> swap(PlatformApi.RegDeleteValueA, RecordingDelete);
    TApiSwap<decltype(PlatformApi.RegCloseKey)> counting(PlatformApi.RegCloseKey, CountingRegCloseKey);
    RemoveRegOEMInfo();
    std::vector<std::string> expected(std::begin(ValueNames), std::end(ValueNames));
    for (const TOEMField* field : CommandLineOnlyFields())
        expected.push_back(field->Name);
    EXPECT_EQ(expected, DeletedValues);
    for (const char* name : ValueNames)
        EXPECT_FALSE(ValuePresent64(name)) << name;
    EXPECT_TRUE(ValuePresent64("MarquillTestOther"));
    EXPECT_EQ(1, ReleaseCounts.RegCloseKeyCalls);

    EXPECT_NO_THROW(RemoveRegOEMInfo()) << "removing what is gone stays silent";
}

LONG WINAPI RefusedDelete(HKEY key, LPCSTR name)
{
    return QueryTarget == name ? ERROR_ACCESS_DENIED : ::RegDeleteValueA(key, name);
}

// A refused delete was ignored: Remove said it was done while Windows still
// showed the value.
TEST_F(RegStore, RefusedDeleteIsAnErrorAfterTheOtherValuesAreGone)
{
    for (const char* refused : {"Manufacturer", "Logo"}) {
        SCOPED_TRACE(refused);
        WriteSix(SixTexts);
        QueryTarget = refused;
        TApiSwap<decltype(PlatformApi.RegDeleteValueA)> swap(PlatformApi.RegDeleteValueA, RefusedDelete);
        EXPECT_EQ(std::string("Unable to delete HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
                              "OEMInformation\\") + refused,
                  ErrorOf(RemoveRegOEMInfo));
        for (const char* name : ValueNames)
            EXPECT_EQ(ValuePresent64(name), name == std::string(refused)) << name;
    }
}

TEST_F(RegStore, EveryOperationCreatesAMissingKey)
{
    const struct {
        const char* name;
        void (*operation)();
    } cases[] = {
        {"read", ReadRegOEMInfo},
        {"remove", RemoveRegOEMInfo},
        {"write", [] { WriteSix({"", "", "", "", "", ""}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteOurValues();
        ASSERT_NO_FATAL_FAILURE(DeleteTheKey());
        c.operation();
        HKEY key = OpenKey64(KEY_READ);
        EXPECT_NE(nullptr, key);
        if (key)
            RegCloseKey(key);
    }
}

// An expandable Logo came back as REG_SZ from every Apply, also when the
// user had not chosen another picture.
TEST_F(RegStore, AnExpandableValueWrittenUnchangedKeepsItsType)
{
    const std::string expandable = "%SystemRoot%\\oem.bmp";
    const struct {
        std::string written;
        DWORD type;
    } cases[] = {{expandable, REG_EXPAND_SZ}, {"C:\\Windows\\oem.bmp", REG_SZ}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        SetRaw({"Logo", REG_EXPAND_SZ, expandable + '\0'});
        WriteSix({"A", "B", "C", "D", "E", c.written});
        DWORD type = REG_NONE;
        std::string data;
        ASSERT_TRUE(ReadRegValue64(HKEY_LOCAL_MACHINE, KeyPath, "Logo", type, data));
        EXPECT_EQ(c.type, type);
        EXPECT_EQ(c.written + '\0', data);
        ExpectStoredText("Model", "B", __LINE__);
    }
}

TEST_F(RegStore, MessagesAreLookedUpBeforeTheyAreFilledIn)
{
    TBracketTranslation translation;
    {
        TApiSwap<decltype(PlatformApi.RegSetValueExA)> swap(PlatformApi.RegSetValueExA, RefusedSet);
        QueryTarget = "Model";
        EXPECT_EQ("T[Failed to set data for 'Model']", ErrorOf([] { WriteSix(SixTexts); }));
    }
    SetRaw({"Logo", REG_SZ, std::string("L", 2)});
    {
        TApiSwap<decltype(PlatformApi.RegQueryValueExA)> swap(PlatformApi.RegQueryValueExA, RefusedRead);
        QueryTarget = "Logo";
        EXPECT_EQ("T[Failed to get data for 'Logo']", ErrorOf(ReadRegOEMInfo));
    }
    SetRaw({"Logo", REG_BINARY, "x"});
    EXPECT_EQ("T[Invalid data type for 'Logo']", ErrorOf(ReadRegOEMInfo));
    {
        TApiSwap<decltype(PlatformApi.RegDeleteValueA)> swap(PlatformApi.RegDeleteValueA, RefusedDelete);
        QueryTarget = "Model";
        EXPECT_EQ("T[Unable to delete HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
                  "OEMInformation\\Model]",
                  ErrorOf(RemoveRegOEMInfo));
    }
    TApiSwap<decltype(PlatformApi.RegCreateKeyExA)> swap(PlatformApi.RegCreateKeyExA, RefusedOpen);
    EXPECT_EQ("T[Unable to open registry key HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
              "OEMInformation for writing]",
              ErrorOf(RemoveRegOEMInfo));
}

}  // namespace

// A change started while another process's change holds the lock waits,
// and gives up with nothing written when that one does not end in time.
TEST(StoreLock, WaitsForTheHolderAndGivesUpWhenItDoesNotLetGo)
{
    struct THolder {
        HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        static DWORD WINAPI Hold(void* self)
        {
            auto* holder = static_cast<THolder*>(self);
            const TStoreLock lock;
            SetEvent(holder->taken);
            WaitForSingleObject(holder->release, INFINITE);
            return 0;
        }
    } holder;
    HANDLE thread = CreateThread(nullptr, 0, THolder::Hold, &holder, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(holder.taken, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(ErrorOf([] { const TStoreLock lock(50); }),
              "Another Marquill is changing the OEM information; nothing was written");
    SetEvent(holder.release);
    EXPECT_NO_THROW(TStoreLock(5000));
    WaitForSingleObject(thread, 5000);
    for (HANDLE h : {thread, holder.taken, holder.release})
        CloseHandle(h);
}
