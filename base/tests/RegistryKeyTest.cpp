// The registry key's whole-value read: its bounded retry and its cap, with a
// stand-in value whose size answers follow a script.
#include "base/RegistryKey.h"

#include "base/PlatformApi.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The value the stand-ins answer for: its data, how many reads find it
// grown by 10 bytes since the last size they reported, and a refusal.
struct TScriptedValue {
    std::string data;
    int growths = 0;
    bool growWithoutSize = false;  // ERROR_MORE_DATA without a new size, as some drivers answer
    LONG sizeAnswer = ERROR_SUCCESS;
    LONG readAnswer = ERROR_SUCCESS;
    int reads = 0;
};
TScriptedValue g_value;

LONG Answer(LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (type)
        *type = REG_SZ;
    if (!data) {
        if (g_value.sizeAnswer != ERROR_SUCCESS)
            return g_value.sizeAnswer;
        *size = static_cast<DWORD>(g_value.data.size());
        return ERROR_SUCCESS;
    }
    ++g_value.reads;
    if (g_value.readAnswer != ERROR_SUCCESS)
        return g_value.readAnswer;
    if (g_value.growths > 0) {
        --g_value.growths;
        g_value.data += "0123456789";
        if (!g_value.growWithoutSize)
            *size = static_cast<DWORD>(g_value.data.size());
        return ERROR_MORE_DATA;
    }
    if (*size < g_value.data.size()) {
        *size = static_cast<DWORD>(g_value.data.size());
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, g_value.data.data(), g_value.data.size());
    *size = static_cast<DWORD>(g_value.data.size());
    return ERROR_SUCCESS;
}
LONG WINAPI ScriptedQueryA(HKEY, LPCSTR, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
    return Answer(type, data, size);
}
LONG WINAPI ScriptedQueryW(HKEY, LPCWSTR, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
    return Answer(type, data, size);
}

struct TQueryCase {
    const char* name;
    TScriptedValue value;
    DWORD maxBytes;
    LONG result;
    bool atSizeQuery;
    std::string bytes;
    int reads;
};

TEST(RegistryKey, ReadsAWholeValueWithBoundedRetriesAndACap)
{
    const std::string text("Acme\0", 5);
    const TQueryCase cases[] = {
        {"steady value", {text}, 100, ERROR_SUCCESS, false, text, 1},
        {"empty value: nothing to read after the size", {""}, 100, ERROR_SUCCESS, false, "", 0},
        {"grows three times", {text, 3}, 100, ERROR_SUCCESS, false, text + std::string(30, 'x'), 4},
        {"keeps growing: given up on after four reads", {text, 1000}, 100000, ERROR_MORE_DATA, false, "", 4},
        {"grows past the cap", {text, 2}, 20, ERROR_MORE_DATA, false, "", 2},
        {"larger than the cap: never read", {std::string(101, 'a')}, 100, ERROR_MORE_DATA, false, "", 0},
        {"exactly the cap", {std::string(100, 'a')}, 100, ERROR_SUCCESS, false, std::string(100, 'a'), 1},
        {"grows without a new size: the buffer doubles", {text, 1, true}, 100, ERROR_SUCCESS, false,
         text + std::string(10, 'x'), 3},
        {"missing", {text, 0, false, ERROR_FILE_NOT_FOUND}, 100, ERROR_FILE_NOT_FOUND, true, "", 0},
        {"size refused", {text, 0, false, ERROR_ACCESS_DENIED}, 100, ERROR_ACCESS_DENIED, true, "", 0},
        {"read refused", {text, 0, false, ERROR_SUCCESS, ERROR_ACCESS_DENIED}, 100, ERROR_ACCESS_DENIED, false, "",
         1},
    };
    TApiSwap<decltype(PlatformApi.RegQueryValueExA)> ansi(PlatformApi.RegQueryValueExA, ScriptedQueryA);
    TApiSwap<decltype(PlatformApi.RegQueryValueExW)> wide(PlatformApi.RegQueryValueExW, ScriptedQueryW);
    const TRegistryKey key;
    for (const TQueryCase& c : cases) {
        for (const bool asText : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (asText ? ", text" : ", bytes"));
            g_value = c.value;
            const TRegData got = asText ? key.QueryText("Model", c.maxBytes) : key.QueryBytes("Model", c.maxBytes);
            EXPECT_EQ(got.Result, c.result);
            EXPECT_EQ(got.AtSizeQuery, c.atSizeQuery);
            // The grown value's tail is digits; the expectation counts them.
            std::string expected = c.bytes;
            for (size_t i = text.size(); c.result == ERROR_SUCCESS && i < expected.size() && expected[i] == 'x'; ++i)
                expected[i] = static_cast<char>('0' + (i - text.size()) % 10);
            EXPECT_EQ(got.Bytes, expected);
            EXPECT_EQ(g_value.reads, c.reads);
            if (c.result == ERROR_SUCCESS) {
                EXPECT_EQ(got.Type, static_cast<DWORD>(REG_SZ));
            }
        }
    }
}

}  // namespace
