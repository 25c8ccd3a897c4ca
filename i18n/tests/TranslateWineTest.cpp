// The translation layer on Windows: ANSI texts, catalogs found beside the
// program or in a scratch directory, the boxes it shows.
#include "MoBuilder.h"
#include "base/Error.h"
#include "base/PlatformApi.h"
#include "base/ResText.h"
#include "i18n/Translate.h"
#include "tests/support/TestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {
const std::string kUtf8Header = "Content-Type: text/plain; charset=UTF-8\n";
const std::string kProblem = "Localization problem";

std::string ExeDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

// A directory tree of catalogs that is removed again, file by file.
class TCatalogTree {
public:
    explicit TCatalogTree(std::string root) : root_(std::move(root)) { MakeDir(root_); }
    TCatalogTree()
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "marquill-i18n-" + std::to_string(GetCurrentProcessId()) + "\\";
        MakeDir(root_);
    }
    ~TCatalogTree()
    {
        for (auto it = files_.rbegin(); it != files_.rend(); ++it)
            DeleteFileA(it->c_str());
        for (auto it = dirs_.rbegin(); it != dirs_.rend(); ++it)
            RemoveDirectoryA(it->c_str());
    }
    TCatalogTree(const TCatalogTree&) = delete;
    TCatalogTree& operator=(const TCatalogTree&) = delete;

    // Writes <root><code>\LC_MESSAGES\<domain>.mo; gives its path.
    std::string Put(const std::string& code, const std::string& domain, const std::string& bytes)
    {
        MakeDir(root_ + code + "\\");
        MakeDir(root_ + code + "\\LC_MESSAGES\\");
        std::string path = root_ + code + "\\LC_MESSAGES\\" + domain + ".mo";
        EXPECT_TRUE(WriteWholeFile(path, bytes)) << path;
        files_.push_back(path);
        return path;
    }
    const std::string& Root() const { return root_; }

private:
    void MakeDir(const std::string& dir)
    {
        if (CreateDirectoryA(dir.c_str(), nullptr))
            dirs_.push_back(dir);
    }
    std::string root_;
    std::vector<std::string> dirs_;
    std::vector<std::string> files_;
};

std::string Catalog(std::initializer_list<std::pair<std::string, std::string>> entries,
                    const std::string& header = kUtf8Header)
{
    TMoBuilder builder;
    builder.Add("", header);
    for (const auto& entry : entries)
        builder.Add(entry.first, entry.second);
    return builder.Build();
}

std::string ProblemText(const std::string& code, const std::string& path)
{
    return "The translation for the language code " + code + " (in " + path +
           ") does not have charset=utf-8 in its Content-Type. Translations are turned off.";
}

// Sets an environment variable for the life of the guard and then puts back
// what was there, also when an assertion ends the test early.
class TEnvironmentVariable {
public:
    TEnvironmentVariable(const char* name, const char* value) : name_(name)
    {
        DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
        if (needed > 0) {
            std::vector<char> buffer(needed + 1, '\0');
            DWORD length = GetEnvironmentVariableA(name, buffer.data(), needed);
            had_ = length < needed;
            saved_.assign(buffer.data(), length);
        }
        EXPECT_TRUE(SetEnvironmentVariableA(name, value)) << name;
    }
    ~TEnvironmentVariable() { SetEnvironmentVariableA(name_.c_str(), had_ ? saved_.c_str() : nullptr); }
    TEnvironmentVariable(const TEnvironmentVariable&) = delete;
    TEnvironmentVariable& operator=(const TEnvironmentVariable&) = delete;

private:
    std::string name_;
    bool had_ = false;
    std::string saved_;
};

class TCounted : public TTranslatable {
public:
    std::string caption;
    int writes = 0;
    std::vector<TTextProperty> TextProperties() override
    {
        return {{[this] { return caption; },
                 [this](const std::string& value) {
                     ++writes;
                     caption = value;
                 }}};
    }
    std::vector<TTranslatable*> Children() override { return {}; }
};

// The first Windows 95 knows no UTF-8 code page: it refuses CP_UTF8 both ways.
int WINAPI MultiByteWithoutUtf8(UINT page, DWORD flags, LPCSTR text, int length, LPWSTR wide, int wideLength)
{
    if (page == CP_UTF8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return MultiByteToWideChar(page, flags, text, length, wide, wideLength);
}

int WINAPI WideCharWithoutUtf8(UINT page, DWORD flags, LPCWSTR wide, int wideLength, LPSTR text, int length,
                               LPCSTR fallback, LPBOOL usedFallback)
{
    if (page == CP_UTF8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return WideCharToMultiByte(page, flags, wide, wideLength, text, length, fallback, usedFallback);
}

class TranslateWine : public ::testing::Test {
protected:
    void TearDown() override { SetResTextHook(nullptr); }
    TCatalogTree tree_;
};
}  // namespace

TEST_F(TranslateWine, FullCodeIsPreferredAndTwoLettersAreTheFallback)
{
    tree_.Put("de_DE", "Marquill", Catalog({{"Apply", "Übernehmen"}}));
    tree_.Put("de", "Marquill", Catalog({{"Apply", "Anwenden"}, {"Open", "Öffnen"}}));
    ResetTranslation("de_DE", tree_.Root());
    // The translation arrives in the ANSI code page (1252 here).
    EXPECT_EQ("\xDC" "bernehmen", TranslateText("Marquill", "Apply"));
    EXPECT_EQ("Open", TranslateText("Marquill", "Open"));
    ResetTranslation("de_CH", tree_.Root());
    EXPECT_EQ("Anwenden", TranslateText("Marquill", "Apply"));
    EXPECT_EQ("\xD6" "ffnen", TranslateText("Marquill", "Open"));
    ResetTranslation("fr_FR", tree_.Root());
    EXPECT_EQ("Apply", TranslateText("Marquill", "Apply"));
}

TEST_F(TranslateWine, AnsiKeysAreLookedUpAsUtf8)
{
    tree_.Put("de", "Marquill", Catalog({{"Größe", "Size"}}));
    ResetTranslation("de", tree_.Root());
    EXPECT_EQ("Size", TranslateText("Marquill", "Gr\xF6\xDF" "e"));
}

TEST_F(TranslateWine, TranslationsWorkWhereThePlatformLacksTheUtf8CodePage)
{
    TApiSwap<decltype(PlatformApi.MultiByteToWideChar)> toWide(PlatformApi.MultiByteToWideChar,
                                                               MultiByteWithoutUtf8);
    TApiSwap<decltype(PlatformApi.WideCharToMultiByte)> toText(PlatformApi.WideCharToMultiByte,
                                                               WideCharWithoutUtf8);
    tree_.Put("de", "Marquill", Catalog({{"Größe", "Übernehmen"}}));
    ResetTranslation("de", tree_.Root());
    EXPECT_EQ("\xDC" "bernehmen", TranslateText("Marquill", "Gr\xF6\xDF" "e"));
}

TEST_F(TranslateWine, CharsetIsCheckedOnceAtTheFirstLookup)
{
    struct {
        const char* contentType;
        bool accepted;
    } const cases[] = {
        {"Content-Type: text/plain; charset=UTF-8\n", true},
        {"Content-Type: text/plain; charset=utf-8\n", true},
        {"Content-Type: text/plain; charset=UTF8\n", false},
        {"Content-Type: text/plain; charset = UTF-8\n", false},
        {"Content-Type:text/plain; charset=UTF-8\n", false},
        {"Project-Id-Version: x\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contentType);
        TCatalogTree tree;
        std::string path = tree.Put("de", "Marquill", Catalog({{"Apply", "Anwenden"}}, c.contentType));
        ResetTranslation("de_AT", tree.Root());
        TMessageBoxCatcher boxes;
        std::string first = TranslateText("Marquill", "Apply");
        std::string second = TranslateText("Marquill", "Apply");
        if (c.accepted) {
            EXPECT_EQ("Anwenden", first);
            EXPECT_EQ("Anwenden", second);
            EXPECT_EQ(0, boxes.Count());
            continue;
        }
        EXPECT_EQ("Apply", first);
        EXPECT_EQ("Apply", second);
        ASSERT_EQ(1, boxes.Count());
        EXPECT_EQ(kProblem, boxes.Last().caption);
        EXPECT_EQ(ProblemText("de_AT", path), boxes.Last().text);
        EXPECT_EQ(nullptr, boxes.Last().owner);
        EXPECT_FALSE(boxes.Last().hasErrorIcon);
    }
}

TEST_F(TranslateWine, ARejectedDomainLeavesTheOtherWorking)
{
    for (bool rejectWindow : {true, false}) {
        SCOPED_TRACE(rejectWindow ? "Marquill rejected" : "default rejected");
        TCatalogTree tree;
        const std::string bad = "Content-Type: text/plain; charset=ISO-8859-1\n";
        std::string windowPath =
            tree.Put("de", "Marquill", Catalog({{"Apply", "Anwenden"}}, rejectWindow ? bad : kUtf8Header));
        std::string defaultPath =
            tree.Put("de", "default", Catalog({{"Stream read error", "Lesefehler"}}, rejectWindow ? kUtf8Header : bad));
        ResetTranslation("de_DE", tree.Root());
        TMessageBoxCatcher boxes;
        EXPECT_EQ(rejectWindow ? "Apply" : "Anwenden", TranslateText("Marquill", "Apply"));
        EXPECT_EQ(rejectWindow ? "Lesefehler" : "Stream read error", ResText(N_("Stream read error")));
        EXPECT_EQ(rejectWindow ? "Lesefehler" : "Stream read error", ResText(N_("Stream read error")));
        ASSERT_EQ(1, boxes.Count());
        EXPECT_EQ(ProblemText("de_DE", rejectWindow ? windowPath : defaultPath), boxes.Last().text);
    }
}

TEST_F(TranslateWine, AnInvalidCatalogIsAnErrorNamingTheFile)
{
    std::string path = tree_.Put("de", "Marquill", std::string(64, 'x'));
    ResetTranslation("de_DE", tree_.Root());
    try {
        TranslateText("Marquill", "Apply");
        FAIL() << "no error for an invalid catalog";
    } catch (const EMarquillError& e) {
        EXPECT_EQ("This file is not a valid GNU gettext mo file: " + path, e.what());
    }
}

TEST_F(TranslateWine, AnInvalidDefaultCatalogIsShownOnceAndTextsStayEnglish)
{
    std::string path = tree_.Put("de", "default", std::string("\xde\x12\x04\x95", 4));
    ResetTranslation("de", tree_.Root());
    TMessageBoxCatcher boxes;
    EXPECT_EQ("Preview", ResText(N_("Preview")));
    EXPECT_EQ("(None)", ResText(N_("(None)")));
    ASSERT_EQ(1, boxes.Count());
    EXPECT_EQ("This file is not a valid GNU gettext mo file: " + path + ".", boxes.Last().text);
    EXPECT_EQ("i18n_tests", boxes.Last().caption);
    EXPECT_TRUE(boxes.Last().hasErrorIcon);
}

TEST_F(TranslateWine, LineEndsBecomeCrLf)
{
    tree_.Put("de", "Marquill", Catalog({{"one\ntwo", "eins\nzwei\n"}}));
    ResetTranslation("de", tree_.Root());
    EXPECT_EQ("eins\r\nzwei\r\n", TranslateText("Marquill", "one\r\ntwo"));
    EXPECT_EQ("eins\r\nzwei\r\n", TranslateText("Marquill", "one\ntwo"));
    // A text without an entry makes the same round, back into the ANSI code page.
    EXPECT_EQ("Gr\xF6\xDF" "e\r\nx", TranslateText("Marquill", "Gr\xF6\xDF" "e\nx"));
    EXPECT_EQ("Gr\xF6\xDF" "e", TranslateText("Marquill", "Gr\xF6\r\xDF" "e"));
}

TEST_F(TranslateWine, ATranslationEqualToItsKeyLeavesThePropertyUntouched)
{
    tree_.Put("de", "Marquill", Catalog({{"Same", "Same"}, {"Apply", "Anwenden"}}));
    ResetTranslation("de", tree_.Root());
    TCounted same, changed;
    same.caption = "Same";
    changed.caption = "Apply";
    TranslateComponent(same, "Marquill");
    TranslateComponent(changed, "Marquill");
    EXPECT_EQ(0, same.writes);
    EXPECT_EQ(1, changed.writes);
    EXPECT_EQ("Anwenden", changed.caption);
}

TEST_F(TranslateWine, LanguageAndCatalogDirectoryComeFromTheProgram)
{
    TCatalogTree beside(ExeDir() + "locale\\");
    beside.Put("zz", "Marquill", Catalog({{"Apply", "Zzz"}}));
    {
        TEnvironmentVariable lang("LANG", "zz_QQ.UTF-8");
        InitTranslation();
        EXPECT_EQ("zz_QQ", LanguageCode());
        EXPECT_EQ("Zzz", TranslateText("Marquill", "Apply"));
    }

    // Without LANG the user locale decides.
    TEnvironmentVariable noLang("LANG", nullptr);
    InitTranslation();
    char language[16] = {}, country[16] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, language, sizeof language);
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, country, sizeof country);
    ASSERT_EQ(2u, strlen(language));
    ASSERT_EQ(2u, strlen(country));
    EXPECT_EQ(std::string(language) + "_" + country, LanguageCode());
}

TEST_F(TranslateWine, CIsACodeLikeAnyOtherAndLanguageIsNeverRead)
{
    TCatalogTree beside(ExeDir() + "locale\\");
    beside.Put("C", "Marquill", Catalog({{"Apply", "Cee"}}));
    beside.Put("de", "Marquill", Catalog({{"Apply", "Anwenden"}}));
    TEnvironmentVariable lang("LANG", "C.UTF-8");
    TEnvironmentVariable language("LANGUAGE", "de");
    InitTranslation();
    EXPECT_EQ("C", LanguageCode());
    EXPECT_EQ("Cee", TranslateText("Marquill", "Apply"));
}
