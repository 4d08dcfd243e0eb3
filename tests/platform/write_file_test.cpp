// Whole-file replacement and whole-file reading: a file is either the old one or the new one,
// and a read that fails part way is a failure, not a short file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "platform/files.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class WriteFileTest : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() /
                   ("kx_write_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    WriteFileTest() {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~WriteFileTest() override { fs::remove_all(dir); }
    std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    long Entries() { return std::distance(fs::directory_iterator(dir), {}); }
};

TEST_F(WriteFileTest, ReplacesTheContentAndKeepsTheFileMode) {
    const fs::path file = dir / "t.txt";
    ASSERT_TRUE(WriteFileAtomically(dir.string() + "\\t.txt", std::string("a\0b\r\n", 5)));
    EXPECT_EQ(Read(file), std::string("a\0b\r\n", 5));
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(file.string(), "short"));
    EXPECT_EQ(Read(file), "short");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(Entries(), 1);
}

TEST_F(WriteFileTest, FailedWriteLeavesTheOldFileAndNoTemporary) {
    const fs::path file = dir / "t.txt";
    ASSERT_TRUE(WriteFileAtomically(file.string(), "old content"));
    {
        ScopedWriteFailure fail(4);
        EXPECT_FALSE(WriteFileAtomically(file.string(), "new content, longer"));
        EXPECT_TRUE(WriteFileAtomically(file.string(), "fits"));  // within the budget
    }
    EXPECT_EQ(Read(file), "fits");
    EXPECT_EQ(Entries(), 1);
    EXPECT_FALSE(WriteFileAtomically((dir / "missing" / "t.txt").string(), "x"));
    EXPECT_FALSE(WriteFileAtomically(dir.string(), "x"));  // a folder is not replaced
    EXPECT_TRUE(fs::is_directory(dir));
}

TEST_F(WriteFileTest, LockIsExclusiveAndGivesUpAfterItsTimeout) {
    const std::string lockFile = (dir / "t.lock").string();
    auto held = std::make_unique<FileLock>(lockFile, std::chrono::milliseconds(0));
    ASSERT_TRUE(held->Locked());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(FileLock(lockFile, std::chrono::milliseconds(100)).Locked());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    held.reset();
    EXPECT_TRUE(FileLock(lockFile, std::chrono::milliseconds(0)).Locked());
}

TEST(ReadWholeFileTest, AReadErrorIsNotAShortFile) {
    // Offset 0 of a process's memory is never mapped, so reading it fails with an I/O error.
    EXPECT_FALSE(ReadWholeFile("/proc/self/mem").has_value());
    EXPECT_FALSE(ReadWholeFile("/nonexistent/file").has_value());
}

}  // namespace
}  // namespace platform
