// The web-address rule for SupportURL, TradeInURL and RecycleURL.
#include "cli/CliRules.h"

#include <gtest/gtest.h>

namespace {

TEST(CliRules, IsAbsoluteHttpUrl)
{
    const struct {
        const char* text;
        bool absolute;
    } cases[] = {
        {"http://a", true},
        {"https://support.example.com/x?y=1#z", true},
        {"HTTPS://EXAMPLE.COM", true},
        {"hTtP://[::1]:8080/", true},
        {"https://b\xFC" "cher.example/\xE9", true},  // the ANSI code page's letters
        {"", false},
        {"http://", false},
        {"https:///path", false},
        {"http://?q", false},
        {"http://#f", false},
        {"http:/a", false},
        {"http:\\\\a", false},
        {"ftp://a", false},
        {"httpss://a", false},
        {"ms-app://x", false},
        {"www.example.com", false},
        {" http://a", false},
        {"http://a b", false},
        {"http://a\t", false},
        {"http://a\x7F", false},
        {"http://a\x01", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsAbsoluteHttpUrl(c.text), c.absolute) << c.text;
}

}  // namespace
