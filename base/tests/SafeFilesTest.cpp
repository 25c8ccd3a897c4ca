// Replacing, moving aside and clearing store files, through the stand-ins
// that answer as Windows does (tests/support/WindowsLikeFiles).
#include "base/SafeFiles.h"

#include "base/PlatformApi.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowsLikeFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class TRelease { Nt, Win9x };

class SafeFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "marquill-safe-" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        Target = folder_ + "\\oeminfo.ini";
    }
    void TearDown() override
    {
        for (const std::string& path : {Target, NewFilePath(Target), AsideFilePath(Target)}) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        EXPECT_TRUE(RemoveDirectoryA(folder_.c_str())) << "a file was left in " << folder_;
    }

    // Makes `path` hold `bytes` with the guarding `attributes`.
    static void Make(const std::string& path, const std::string& bytes, DWORD attributes)
    {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(WriteWholeFile(path, bytes));
        if (attributes) {
            ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes));
        }
        ASSERT_EQ(GetFileAttributesA(path.c_str()) & AllGuards, attributes) << path;
    }
    // "<guarding attributes> <bytes>", or "<missing>".
    static std::string State(const std::string& path)
    {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        std::string bytes;
        if (attributes == INVALID_FILE_ATTRIBUTES || !ReadFileInto(path, bytes))
            return "<missing>";
        return std::to_string(attributes & AllGuards) + " " + bytes;
    }

    std::string Target;
    TWindowsLikeFiles windowsLike;

private:
    std::string folder_;
};

const std::string Old = "[General]\r\nManufacturer=Old\r\n";
const std::string New = "[General]\r\nManufacturer=New\r\n";

bool WriteThroughProfile(const std::string& target)
{
    TFileReplacement replacement(target);
    if (!replacement.Prepare() ||
        !WritePrivateProfileStringA("General", "Manufacturer", "New", replacement.NewPath().c_str()))
        return false;
    // The flush writes the cached file out; its result says nothing of that.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, replacement.NewPath().c_str());
    return replacement.Commit();
}

}  // namespace

// Hidden, system and read-only store files were refused a rewrite and lost
// those attributes when one went through.
TEST_F(SafeFiles, ReplaceKeepsTheTargetsAttributes)
{
    const DWORD targets[] = {0, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, AllGuards};
    for (const TRelease release : {TRelease::Nt, TRelease::Win9x}) {
        TApiSwap<decltype(PlatformApi.MoveFileExA)> nineX(
            PlatformApi.MoveFileExA, release == TRelease::Win9x ? NineXMoveFileEx : PlatformApi.MoveFileExA);
        for (const bool profile : {false, true}) {
            for (const DWORD attributes : targets) {
                SCOPED_TRACE(testing::Message() << (release == TRelease::Nt ? "NT " : "9x ")
                                                << (profile ? "profile " : "bytes ") << attributes);
                Make(Target, Old, attributes);
                // A new file a killed run left, which must not end up in the result.
                Make(NewFilePath(Target), "[Stale]\r\nx=1\r\n", FILE_ATTRIBUTE_READONLY);
                EXPECT_TRUE(profile ? WriteThroughProfile(Target) : ReplaceFileBytes(Target, New));
                EXPECT_EQ(State(Target), std::to_string(attributes) + " " + New);
                EXPECT_EQ(State(NewFilePath(Target)), "<missing>");
                EXPECT_EQ(State(AsideFilePath(Target)), "<missing>");
            }
            SetFileAttributesA(Target.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(Target.c_str());
            EXPECT_TRUE(profile ? WriteThroughProfile(Target) : ReplaceFileBytes(Target, New)) << "no target yet";
            EXPECT_EQ(State(Target), "0 " + New);
        }
    }
}

// Whichever step fails, the caller gets that step's error and the target
// stands as it was, attributes included, with nothing left beside it.
TEST_F(SafeFiles, FailedReplaceLeavesTheTargetAsItWas)
{
    const struct {
        TRelease release;
        TRefusal refusal;
    } cases[] = {
        {TRelease::Nt, {"CreateFileA", NewFileSuffix, ERROR_DISK_FULL}},
        {TRelease::Nt, {"SetFileAttributesA", "oeminfo.ini", ERROR_ACCESS_DENIED}},
        {TRelease::Nt, {"MoveFileExA", "oeminfo.ini", ERROR_SHARING_VIOLATION}},
        {TRelease::Win9x, {"MoveFileA", AsideFileSuffix, ERROR_SHARING_VIOLATION}},
        {TRelease::Win9x, {"MoveFileA", "oeminfo.ini", ERROR_SHARING_VIOLATION}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.release == TRelease::Nt ? "NT " : "9x ") << c.refusal.Call << " "
                                        << c.refusal.PathEnd);
        TApiSwap<decltype(PlatformApi.MoveFileExA)> nineX(
            PlatformApi.MoveFileExA, c.release == TRelease::Win9x ? NineXMoveFileEx : PlatformApi.MoveFileExA);
        Make(Target, Old, AllGuards);
        Refusals = {c.refusal};
        SetLastError(NO_ERROR);
        EXPECT_FALSE(ReplaceFileBytes(Target, New));
        EXPECT_EQ(GetLastError(), c.refusal.Error);
        Refusals.clear();
        EXPECT_EQ(State(Target), std::to_string(AllGuards) + " " + Old);
        EXPECT_EQ(State(NewFilePath(Target)), "<missing>");
        EXPECT_EQ(State(AsideFilePath(Target)), "<missing>");
    }
}

// A removal moves the store file aside instead of reading it into memory,
// then finishes (deletes it) or undoes (puts it back), attributes and all.
TEST_F(SafeFiles, MovedAsideFileIsPutBackOrDropped)
{
    for (const bool putBack : {true, false}) {
        for (const DWORD attributes : {DWORD(0), DWORD(FILE_ATTRIBUTE_READONLY), AllGuards}) {
            SCOPED_TRACE(testing::Message() << (putBack ? "put back " : "dropped ") << attributes);
            const std::string kept = std::to_string(attributes) + " " + Old;
            Make(Target, Old, attributes);
            Make(AsideFilePath(Target), "left by a killed run", AllGuards);
            EXPECT_TRUE(MoveAside(Target));
            EXPECT_EQ(State(Target), "<missing>");
            EXPECT_EQ(State(AsideFilePath(Target)), kept);
            EXPECT_TRUE(putBack ? PutBack(Target) : DropAside(Target));
            EXPECT_EQ(State(Target), putBack ? kept : "<missing>");
            EXPECT_EQ(State(AsideFilePath(Target)), "<missing>");
        }
    }
    SetLastError(NO_ERROR);
    EXPECT_FALSE(MoveAside(Target)) << "no store file";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(DropAside(Target)) << "nothing aside";
}

// What a killed run left next to the store file goes at the next run's
// start; the store file stays; a leftover that will not go is reported.
TEST_F(SafeFiles, ClearLeftoversDeletesWhatAKilledRunLeft)
{
    const struct {
        bool targetLeft, newLeft, asideLeft;
        TRefusal refusal;
        bool cleared;
    } cases[] = {
        {true, true, true, {}, true},
        {true, false, false, {}, true},
        {true, true, false, {}, true},
        {true, true, true, {"DeleteFileA", AsideFileSuffix, ERROR_SHARING_VIOLATION}, false},
        {true, true, true, {"DeleteFileA", NewFileSuffix, ERROR_SHARING_VIOLATION}, false},
        // Only the aside file holds the old bytes: it comes back.
        {false, true, true, {}, true},
        {false, false, true, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.targetLeft << c.newLeft << c.asideLeft << " " << c.refusal.PathEnd);
        SetFileAttributesA(Target.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(Target.c_str());
        if (c.targetLeft)
            Make(Target, Old, AllGuards);
        if (c.newLeft)
            Make(NewFilePath(Target), New, AllGuards);
        if (c.asideLeft)
            Make(AsideFilePath(Target), Old, AllGuards);
        Refusals = {c.refusal};
        SetLastError(NO_ERROR);
        bool found = false;
        EXPECT_EQ(ClearLeftovers(Target, found), c.cleared);
        EXPECT_EQ(found, c.newLeft || c.asideLeft);
        if (!c.cleared) {
            EXPECT_EQ(GetLastError(), c.refusal.Error);
        }
        Refusals.clear();
        EXPECT_EQ(State(Target), std::to_string(AllGuards) + " " + Old);
        EXPECT_EQ(State(NewFilePath(Target)) == "<missing>", !EndsWith(c.refusal.PathEnd, NewFileSuffix));
        EXPECT_EQ(State(AsideFilePath(Target)) == "<missing>", !EndsWith(c.refusal.PathEnd, AsideFileSuffix));
        ClearLeftovers(Target, found);
    }
}
