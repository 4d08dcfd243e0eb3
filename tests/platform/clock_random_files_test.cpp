// The platform seams: the replaceable clock, the seeded generator, game paths, and whole-file
// replacement and reading (a file is either the old one or the new one; a read that fails part
// way is a failure, not a short file).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/random.h"

namespace platform {
namespace {

TEST(ClockTest, FakeClockReplacesTheSteadyClockAndIsRemoved) {
    const Ticks before = MonotonicNow();
    {
        ScopedFakeClock fake(5 * kTicksPerMs);
        EXPECT_EQ(MonotonicNow(), 5 * kTicksPerMs);
        fake.AdvanceMs(30);
        EXPECT_EQ(MonotonicNow(), 35 * kTicksPerMs);
    }
    EXPECT_GE(MonotonicNow(), before);
}

TEST(RandomTest, SameSeedSameSequenceAndFullRange) {
    const auto sequence = [] {
        SeedRandom(42);
        std::vector<int> v(100);
        std::ranges::generate(v, Rand);
        return v;
    };
    EXPECT_EQ(sequence(), sequence());
    std::set<int> lowBits;
    for (int i = 0; i < 1000; ++i) {
        const int r = Rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, kRandMax);
        lowBits.insert(r % 7);
    }
    EXPECT_EQ(lowBits.size(), 7u);
}

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
  protected:
    // One folder per process: CTest runs the cases of this file in parallel.
    fs::path dir = fs::temp_directory_path() / ("kx_files_" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir / "data"); }
    void TearDown() override { fs::remove_all(dir); }
    std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    long Entries() { return std::distance(fs::directory_iterator(dir / "data"), {}); }
};

TEST_F(FilesTest, BackslashPathsOpenOnThisSystemAndFoldersAreMadeOneLevelAtATime) {
    EXPECT_EQ(NativePath("..\\data\\Nave.x"), "../data/Nave.x");
    EXPECT_EQ(NativePath("data\\\\Nave.x"), "data//Nave.x");
    std::ofstream(dir / "data" / "Nave.x") << "xof";
    const std::string game = dir.string() + "\\data\\\\Nave.x";
    EXPECT_TRUE(FileExists(game));
    EXPECT_FALSE(FileExists(dir.string() + "\\data"));  // a folder is not a file
    EXPECT_TRUE(DirectoryExists(dir.string() + "\\data"));
    EXPECT_FALSE(FileExists(dir.string() + "\\data\\nave.x"));  // case-sensitive
    EXPECT_TRUE(CreateFolder(dir.string() + "\\one"));
    EXPECT_FALSE(CreateFolder((dir / "a" / "b").string()));
    EXPECT_TRUE(DirectoryExists((dir / "one").string()));
}

TEST_F(FilesTest, ReadsInBlocksToTheEnd) {
    std::string content(25000, 'a');
    content[24999] = 'z';
    std::ofstream(dir / "big.bin", std::ios::binary) << content;
    InputFile f((dir / "big.bin").string());
    ASSERT_TRUE(f.IsOpen());
    char block[10240];
    std::size_t total = 0, n, reads = 0;
    char last = 0;
    while ((n = f.Read(block, sizeof block)) > 0) {
        total += n;
        last = block[n - 1];
        ++reads;
    }
    EXPECT_EQ(total, 25000u);
    EXPECT_EQ(reads, 3u);
    EXPECT_EQ(last, 'z');
    InputFile missing((dir / "none").string());
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.Read(block, sizeof block), 0u);
}

TEST_F(FilesTest, ReplacesTheContentAndKeepsTheFileMode) {
    const fs::path file = dir / "data" / "t.txt";
    ASSERT_TRUE(WriteFileAtomically(dir.string() + "\\data\\t.txt", std::string("a\0b\r\n", 5)));
    EXPECT_EQ(Read(file), std::string("a\0b\r\n", 5));
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(file.string(), "short"));
    EXPECT_EQ(Read(file), "short");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(Entries(), 1);
}

TEST_F(FilesTest, FailedWriteLeavesTheOldFileAndNoTemporary) {
    const fs::path file = dir / "data" / "t.txt";
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

TEST_F(FilesTest, LockIsExclusiveAndGivesUpAfterItsTimeout) {
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
