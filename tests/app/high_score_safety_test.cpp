// The top ten against hostile or unlucky files and a second instance: damaged lines, stale
// temporaries, write protection, links, a data folder with a backslash, concurrent writers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "services/HighScoreStore.h"

namespace MyApp {
namespace {

namespace fs = std::filesystem;
using Table = std::vector<std::string>;

class HighScoreSafetyTest : public ::testing::Test {
  protected:
    fs::path root = fs::temp_directory_path() /
                    ("kx_safety_" + std::to_string(::getpid()) + "_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string oldXdg = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    HighScoreStore store{"KryxSpace"};

    HighScoreSafetyTest() {
        fs::remove_all(root);
        UseDataHome(root / "data");
    }
    ~HighScoreSafetyTest() override {
        oldXdg.empty() ? ::unsetenv("XDG_DATA_HOME") : ::setenv("XDG_DATA_HOME", oldXdg.c_str(), 1);
        fs::remove_all(root);
    }
    fs::path dataHome;
    void UseDataHome(const fs::path& home) {
        dataHome = home;
        fs::create_directories(home / "KryxSpace" / "Score");
        ::setenv("XDG_DATA_HOME", home.c_str(), 1);
    }
    fs::path Folder() const { return dataHome / "KryxSpace" / "Score"; }
    fs::path File() const { return Folder() / "Classifica.txt"; }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void Write(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
};

TEST_F(HighScoreSafetyTest, DamagedLinesAreSkippedAndDroppedAtTheNextSave) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage += static_cast<char>((i * 131 + 7) % 256);
    }
    Write(File(), garbage + "\n" + std::string(201, 'Z') + "\r\n00000010 A\r\n" +
                      std::string(200, 'Y') + "\n00000001 hand\tedited\n");
    EXPECT_EQ(store.Load(), (Table{"00000010 A", std::string(200, 'Y')}));
    store.Register(5, "B");
    EXPECT_EQ(Read(File()), std::string(200, 'Y') + "\r\n00000010 A\r\n00000005 B\r\n");
}

TEST_F(HighScoreSafetyTest, OnlyStaleTemporariesOfTheTableAreRemovedOnLoad) {
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
    for (const char* name : {"Classifica.txt.Ab12Cd", "Classifica.txt.Fresh1",
                             "Classifica.txt.TooLong7", "Altro.txt.Ab12Cd"}) {
        Write(Folder() / name, "x");
        if (std::string(name) != "Classifica.txt.Fresh1") {
            fs::last_write_time(Folder() / name, old);
        }
    }
    store.Load();
    EXPECT_FALSE(fs::exists(Folder() / "Classifica.txt.Ab12Cd"));
    EXPECT_TRUE(fs::exists(Folder() / "Classifica.txt.Fresh1"));
    EXPECT_TRUE(fs::exists(Folder() / "Classifica.txt.TooLong7"));
    EXPECT_TRUE(fs::exists(Folder() / "Altro.txt.Ab12Cd"));
}

TEST_F(HighScoreSafetyTest, ReadOnlyTableIsLeftAlone) {
    Write(File(), "00000010 A\r\n");
    fs::permissions(File(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    store.Register(20, "B");
    EXPECT_TRUE(store.failed);
    EXPECT_EQ(Read(File()), "00000010 A\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), {}), 2);  // table and lock only
}

TEST_F(HighScoreSafetyTest, LinkedTableIsFollowedAndItsTargetReplaced) {
    fs::create_directories(root / "elsewhere");
    Write(root / "elsewhere" / "scores.txt", "00000010 A\r\n");
    fs::create_symlink("../../../elsewhere/scores.txt", File());
    store.Register(20, "B");
    ASSERT_FALSE(store.failed);
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_EQ(Read(root / "elsewhere" / "scores.txt"), "00000020 B\r\n00000010 A\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "elsewhere"), {}), 1);
}

TEST_F(HighScoreSafetyTest, DataFolderWithABackslashIsUsedAsNamed) {
    UseDataHome(root / "b\\c");
    store.Register(20, "B");
    EXPECT_EQ(Read(root / "b\\c" / "KryxSpace" / "Score" / "Classifica.txt"), "00000020 B\r\n");
    EXPECT_FALSE(fs::exists(root / "b"));
}

// Two instances registering at once: every round both write five entries into an empty table,
// and all ten must be there afterwards.
TEST_F(HighScoreSafetyTest, TwoProcessesRegisteringLoseNoEntry) {
    for (int round = 0; round < 8; ++round) {
        fs::remove(File());
        pid_t children[2];
        for (int who = 0; who < 2; ++who) {
            children[who] = ::fork();
            ASSERT_GE(children[who], 0);
            if (children[who] == 0) {
                HighScoreStore mine("KryxSpace");
                for (int i = 0; i < 5; ++i) {
                    mine.Register(100 + 2 * i + who, who ? "B" : "A");
                }
                ::_exit(mine.failed ? 1 : 0);
            }
        }
        for (pid_t child : children) {
            int status = 0;
            ::waitpid(child, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        ASSERT_EQ(store.Load().size(), 10u) << "round " << round;
    }
}

}  // namespace
}  // namespace MyApp
