// The key list of a profile section as the profile functions return it.
#include "base/KeyList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TKeyListCase {
    const char* name;
    std::string buffer;  // what the platform put in the buffer, 0xdd past it
    size_t length;       // what it returned
    size_t capacity;
    std::vector<std::string> names;
};

TEST(KeyList, SplitsTheNamesAndDropsOneCutShort)
{
    const TKeyListCase cases[] = {
        {"empty section", std::string("\0\0", 2), 0, 16, {}},
        {"names in order", std::string("Line2\0Line1\0\0", 13), 12, 32, {"Line2", "Line1"}},
        {"an empty name is a zero-length entry", std::string("a\0\0b\0\0", 6), 4, 16, {"a", "", "b"}},
        {"an empty name last", std::string("a\0\0\0", 4), 3, 16, {"a", ""}},
        // Ten characters of room: "Line1\0Lin\0\0" cut at capacity - 2.
        {"the last name cut short is dropped", std::string("Line1\0Lin\0\0", 11), 8, 10, {"Line1"}},
        {"a list that fills the buffer exactly is taken as cut", std::string("ab\0cd\0\0", 7), 6, 8, {"ab"}},
        {"a length beyond the buffer is held to it", std::string("ab\0cd\0\0", 7), 40, 7, {"ab"}},
        {"a list without its final NUL stops at the length", "abc\xdd\xdd", 3, 16, {"abc"}},
    };
    for (const TKeyListCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string buffer = c.buffer;
        buffer.resize(c.capacity, '\xdd');
        EXPECT_EQ(SplitKeyList<std::string>(buffer.data(), c.length, c.capacity), c.names);

        // The wide list splits by the same rule.
        std::wstring wide(buffer.begin(), buffer.end());
        std::vector<std::wstring> wideNames;
        for (const std::string& name : c.names)
            wideNames.emplace_back(name.begin(), name.end());
        EXPECT_EQ(SplitKeyList<std::wstring>(wide.data(), c.length, c.capacity), wideNames);
    }
}

}  // namespace
