// The walk of TranslateComponent and the toolkit route's error handling,
// under the sanitizers; catalog choice and the boxes are tested under Wine.
#include "MoBuilder.h"
#include "base/Error.h"
#include "base/ResText.h"
#include "i18n/Translate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {
const std::string kUtf8Header = "Content-Type: text/plain; charset=UTF-8\n";

class TranslateNative : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/marquill-i18n-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        dir_ = pattern;
    }
    void TearDown() override
    {
        fs::remove_all(dir_);
        SetResTextHook(nullptr);
    }
    // Writes a catalog as locale/<code>/LC_MESSAGES/<domain>.mo.
    void Put(const std::string& code, const std::string& domain, const std::string& bytes)
    {
        fs::path folder = fs::path(dir_) / code / "LC_MESSAGES";
        fs::create_directories(folder);
        std::ofstream(folder / (domain + ".mo"), std::ios::binary) << bytes;
    }
    std::string Path(const std::string& code, const std::string& domain) const
    {
        return dir_ + "/" + code + "/LC_MESSAGES/" + domain + ".mo";
    }
    void Start(const std::string& code) { ResetTranslation(code, dir_ + "/"); }

    std::string dir_;
};

// A window-like object with named text properties, counting what is done to it.
class TFake : public TTranslatable {
public:
    std::map<std::string, std::string> props;
    std::vector<TTranslatable*> children;
    int reads = 0;
    int writes = 0;

    std::vector<TTextProperty> TextProperties() override
    {
        std::vector<TTextProperty> list;
        for (auto& entry : props) {
            std::string* value = &entry.second;
            list.push_back({[this, value] {
                                ++reads;
                                return *value;
                            },
                            [this, value](const std::string& text) {
                                ++writes;
                                *value = text;
                            }});
        }
        return list;
    }
    std::vector<TTranslatable*> Children() override { return children; }
};
}  // namespace

TEST_F(TranslateNative, ABrokenDefaultCatalogLeavesToolkitTextsEnglish)
{
    Put("de", "default", "broken");
    Start("de");
    testing::internal::CaptureStderr();
    EXPECT_EQ("Preview", ResText("Preview"));
    EXPECT_EQ("(None)", ResText("(None)"));
    std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_EQ("This file is not a valid GNU gettext mo file: " + Path("de", "default") + "\n", shown);
}

TEST_F(TranslateNative, ComponentIsWalkedOnceAndWrittenOnlyWhereChanged)
{
    Put("de", "Marquill",
        TMoBuilder()
            .Add("", kUtf8Header)
            .Add("Apply", "Übernehmen")
            .Add("Same", "Same")
            .Add("Tahoma", "Verdana")
            .Build());
    Start("de");
    TFake window, font, button, page;
    window.props = {{"Caption", "Apply"}, {"Hint", ""}};
    font.props = {{"Name", "Tahoma"}};
    button.props = {{"Caption", "Same"}, {"Hint", "Unknown"}};
    page.props = {{"Caption", "Apply"}};
    // The font is reached from three places, the page from two.
    window.children = {&font, &button, &page, nullptr};
    button.children = {&font};
    page.children = {&font, &page, &window};

    TranslateComponent(window, "Marquill");
    EXPECT_EQ("Übernehmen", window.props["Caption"]);
    EXPECT_EQ("Verdana", font.props["Name"]);
    EXPECT_EQ("Übernehmen", page.props["Caption"]);
    EXPECT_EQ("Same", button.props["Caption"]);
    EXPECT_EQ(1, font.reads);
    EXPECT_EQ(1, font.writes);
    EXPECT_EQ(2, button.reads);
    EXPECT_EQ(0, button.writes);
    EXPECT_EQ(1, window.writes);

    // A window is translated once for the whole run.
    window.props["Caption"] = "Apply";
    TranslateComponent(window, "Marquill");
    EXPECT_EQ("Apply", window.props["Caption"]);
}

TEST_F(TranslateNative, AWindowTranslatedOnItsOwnIsNotWalkedAgain)
{
    Put("de", "Marquill", TMoBuilder().Add("", kUtf8Header).Add("Apply", "Übernehmen").Build());
    Start("de");
    TFake owned, owner;
    owned.props = {{"Caption", "Apply"}};
    owner.props = {{"Caption", "Apply"}};
    owner.children = {&owned};
    TranslateComponent(owned, "Marquill");
    owned.props["Caption"] = "Apply";
    TranslateComponent(owner, "Marquill");
    EXPECT_EQ("Apply", owned.props["Caption"]);
    EXPECT_EQ("Übernehmen", owner.props["Caption"]);
}

TEST_F(TranslateNative, AnInvalidCatalogEndsTheWalkWithTheError)
{
    Put("de", "Marquill", std::string("\x95\x04\x12\xde", 4) + std::string(40, '\xff'));
    Start("de");
    TFake window;
    window.props = {{"Caption", "Apply"}};
    EXPECT_THROW(TranslateComponent(window, "Marquill"), EMarquillError);
    EXPECT_EQ(0, window.writes);
}

TEST_F(TranslateNative, EveryLookedUpTextGetsCrLfLineEndsAndNeverTheHeader)
{
    Put("de", "Marquill", TMoBuilder().Add("", kUtf8Header).Add("one\ntwo", "eins\nzwei").Build());
    Put("de", "default", TMoBuilder().Add("", "Content-Type: text/plain; charset=ISO-8859-1\n").Build());
    Start("de");
    struct {
        const char* domain;  // "Marquill" open, "extra" without a catalog, "default" rejected
        const char* text;
        const char* expected;
    } const cases[] = {
        {"Marquill", "one\r\ntwo", "eins\r\nzwei"},
        {"Marquill", "one\ntwo", "eins\r\nzwei"},
        {"Marquill", "three\nfour", "three\r\nfour"},
        {"Marquill", "three\rfour\r\n", "threefour\r\n"},
        {"Marquill", "\r", ""},
        {"Marquill", "\r\r", ""},
        {"Marquill", "\r\n", "\r\n"},
        {"extra", "three\nfour", "three\r\nfour"},
        {"extra", "\r", ""},
        // A rejected catalog gives every text back exactly as it came.
        {"default", "three\nfour", "three\nfour"},
        {"default", "\r", "\r"},
    };
    testing::internal::CaptureStderr();
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, TranslateText(c.domain, c.text)) << c.domain << " '" << c.text << "'";
    // The rejection was reported once, at its first lookup.
    std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_EQ(1u, std::count(shown.begin(), shown.end(), '\n')) << shown;
}

TEST_F(TranslateNative, ADomainIsSearchedForOnceARun)
{
    const std::string good = TMoBuilder().Add("", kUtf8Header).Add("Apply", "Anwenden").Build();
    Start("de_DE");
    EXPECT_EQ("Apply", TranslateText("Marquill", "Apply"));
    // A catalog that turns up later is not looked for again.
    Put("de", "Marquill", good);
    EXPECT_EQ("Apply", TranslateText("Marquill", "Apply"));
    // Nor is one that replaces a rejected catalog, or a more exact one.
    Put("de", "default", TMoBuilder().Add("", "Content-Type: text/plain\n").Add("Apply", "Anwenden").Build());
    testing::internal::CaptureStderr();
    EXPECT_EQ("Apply", TranslateText("default", "Apply"));
    Put("de", "default", good);
    Put("de_DE", "default", good);
    EXPECT_EQ("Apply", TranslateText("default", "Apply"));
    EXPECT_NE("", testing::internal::GetCapturedStderr());
    // A new run finds them.
    Start("de_DE");
    EXPECT_EQ("Anwenden", TranslateText("Marquill", "Apply"));
    EXPECT_EQ("Anwenden", TranslateText("default", "Apply"));
}
