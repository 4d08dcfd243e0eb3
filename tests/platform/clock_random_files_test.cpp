// The platform seams: the replaceable clock, the seeded generator and game paths.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include <unistd.h>

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
    SeedRandom(42);
    std::vector<int> first;
    for (int i = 0; i < 100; ++i) {
        first.push_back(Rand());
    }
    SeedRandom(42);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(Rand(), first[static_cast<std::size_t>(i)]);
    }
    std::set<int> lowBits;
    for (int i = 0; i < 1000; ++i) {
        const int r = Rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, kRandMax);
        lowBits.insert(r % 7);
    }
    EXPECT_EQ(lowBits.size(), 7u);
}

class FilesTest : public ::testing::Test {
  protected:
    // One folder per process: CTest runs the cases of this file in parallel.
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("kx_files_" + std::to_string(::getpid()));
    void SetUp() override { std::filesystem::create_directories(dir / "data"); }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(FilesTest, BackslashPathsOpenOnThisSystem) {
    EXPECT_EQ(NativePath("..\\data\\Nave.x"), "../data/Nave.x");
    EXPECT_EQ(NativePath("data\\\\Nave.x"), "data//Nave.x");
    std::ofstream(dir / "data" / "Nave.x") << "xof";
    const std::string game = dir.string() + "\\data\\\\Nave.x";
    EXPECT_TRUE(FileExists(game));
    EXPECT_FALSE(FileExists(dir.string() + "\\data"));  // a folder is not a file
    EXPECT_TRUE(DirectoryExists(dir.string() + "\\data"));
    EXPECT_FALSE(FileExists(dir.string() + "\\data\\nave.x"));  // case-sensitive
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

TEST_F(FilesTest, CreateFolderMakesOneLevelOnly) {
    EXPECT_TRUE(CreateFolder((dir / "one").string()));
    EXPECT_FALSE(CreateFolder((dir / "a" / "b").string()));
    EXPECT_TRUE(DirectoryExists((dir / "one").string()));
}

}  // namespace
}  // namespace platform
