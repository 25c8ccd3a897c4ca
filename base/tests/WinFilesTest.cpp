#include "base/WinFiles.h"
#include "base/WinHandles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A sparse file of the given size in the temp folder, removed when done.
class TSizedFile {
public:
    explicit TSizedFile(uint64_t size)
    {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        path_ = std::string(folder) + "marquill-size-" + std::to_string(GetCurrentProcessId()) + ".bin";
        THandle file(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
        if (!file.Valid())
            return;
        // The same rule as GetFileSize: a low dword of all ones is a real
        // position unless the error code says otherwise.
        LONG high = static_cast<LONG>(size >> 32);
        SetLastError(NO_ERROR);
        const DWORD low = SetFilePointer(file.Get(), static_cast<LONG>(size & 0xFFFFFFFF), &high, FILE_BEGIN);
        made_ = (low != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR) && SetEndOfFile(file.Get());
    }
    ~TSizedFile() { DeleteFileA(path_.c_str()); }
    TSizedFile(const TSizedFile&) = delete;
    TSizedFile& operator=(const TSizedFile&) = delete;
    bool Made() const { return made_; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    bool made_ = false;
};

} // namespace

// GetFileSize returns INVALID_FILE_SIZE as the low dword of some real sizes;
// only sizes past 4 GB use the high dword.
TEST(FileSizeOf, GivesLowAndHighDwordsOfEverySize)
{
    const uint64_t sizes[] = {0, 1, 0xFFFFFFFEull, 0xFFFFFFFFull, 0x100000000ull, 0x1FFFFFFFFull, 0x100000007ull};
    for (uint64_t expected : sizes) {
        SCOPED_TRACE(expected);
        TSizedFile sized(expected);
        ASSERT_TRUE(sized.Made());
        THandle file(CreateFileA(sized.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file.Valid());
        SetLastError(ERROR_INVALID_FUNCTION);
        uint64_t size = 0xDDDDDDDDDDDDDDDDull;
        EXPECT_TRUE(FileSizeOf(file.Get(), size));
        EXPECT_EQ(size, expected);
    }
}

TEST(FileSizeOf, FailsOnAHandleThatIsNoFile)
{
    uint64_t size = 0xDDDDDDDDDDDDDDDDull;
    EXPECT_FALSE(FileSizeOf(INVALID_HANDLE_VALUE, size));
    EXPECT_EQ(size, 0xDDDDDDDDDDDDDDDDull);
}
