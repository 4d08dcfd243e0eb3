// The high-score file: location, exact bytes, reading, ordering, trimming and failures, and
// hostile or unlucky files (damaged lines, stale temporaries, write protection, links, a second
// instance writing at once); each test in a fresh local-data folder and current directory.
// Also the line a game registers and the result the name form waits with.
#include "services/HighScoreStore.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>

#include "platform/files.h"
#include "services/ScoreRegistration.h"

namespace MyApp {
namespace {

namespace fs = std::filesystem;
using Table = std::vector<std::string>;

class HighScoreStoreTest : public ::testing::Test {
  protected:
    fs::path root, dataHome, workDir, oldCwd = fs::current_path();
    std::optional<std::string> oldXdg = Env("XDG_DATA_HOME"), oldHome = Env("HOME");
    HighScoreStore store{"KryxSpace"};

    HighScoreStoreTest() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = fs::temp_directory_path() /
               ("kx_scores_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(root);
        workDir = root / "cwd";
        fs::create_directories(workDir);
        UseDataHome(root / "data");
        fs::current_path(workDir);
    }
    ~HighScoreStoreTest() override {
        fs::current_path(oldCwd);
        Restore("XDG_DATA_HOME", oldXdg);
        Restore("HOME", oldHome);
        fs::remove_all(root);
    }
    static std::optional<std::string> Env(const char* name) {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& v) {
        v ? ::setenv(name, v->c_str(), 1) : ::unsetenv(name);
    }
    void UseDataHome(const fs::path& home) {
        dataHome = home;
        fs::create_directories(home);
        ::setenv("XDG_DATA_HOME", home.c_str(), 1);
    }
    fs::path Folder() const { return dataHome / "KryxSpace" / "Score"; }
    fs::path File() const { return Folder() / "Classifica.txt"; }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void Write(const fs::path& p, const std::string& bytes) {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    void WriteFile(const std::string& bytes) { Write(File(), bytes); }
    std::string ReadFile() const { return Read(File()); }
};

TEST_F(HighScoreStoreTest, RegistrationWritesTheExactLineWithCrLfAndEightDigits) {
    EXPECT_EQ(store.StorageFolder(), dataHome.string() + "\\KryxSpace\\Score\\");
    store.Register(1230, RegistrationText("Anna", 2));
    EXPECT_FALSE(store.failed);
    EXPECT_EQ(ReadFile(), "00001230 Anna         Livello 2\r\n");
    EXPECT_EQ(store.Load(), Table{"00001230 Anna         Livello 2"});
    // Eight digits, the last eight of a larger score.
    EXPECT_EQ(FormatScore(0), "00000000");
    EXPECT_EQ(FormatScore(2147483647), "47483647");
    store.Register(123456789, "X");
    EXPECT_EQ(ReadFile(), "23456789 X\r\n00001230 Anna         Livello 2\r\n");
}

TEST_F(HighScoreStoreTest, MissingEmptyAndControlLinesGiveNoEntriesWithoutFailure) {
    EXPECT_TRUE(store.Load().empty());
    EXPECT_FALSE(store.failed);
    EXPECT_TRUE(fs::is_directory(Folder()));  // the folders are made on the way
    WriteFile("");
    EXPECT_TRUE(store.Load().empty());
    EXPECT_FALSE(store.failed);
    // Lines split at LF, drop one CR and skip those with control bytes.
    WriteFile(std::string("A\r\nB\rC\n\r\r\nD\0tail\nlast", 21));
    EXPECT_EQ(store.Load(), (Table{"A", "last"}));
}

TEST_F(HighScoreStoreTest, HandEditedTwelveLinesLoadWholeAndTrimToTenOnRegistration) {
    std::string bytes;
    for (int i = 1; i <= 12; ++i) {
        bytes += FormatScore(i * 10) + " P\r\n";
    }
    WriteFile(bytes);
    EXPECT_EQ(store.Load().size(), 12u);
    store.Register(55, "NEW");
    const Table table = store.Load();
    ASSERT_EQ(table.size(), 10u);
    EXPECT_EQ(table.front(), "00000120 P");
    EXPECT_EQ(table[6], "00000060 P");
    EXPECT_EQ(table[7], "00000055 NEW");
    EXPECT_EQ(table.back(), "00000040 P");
}

TEST_F(HighScoreStoreTest, ControlCharactersInANameBecomeBlanks) {
    store.Register(7, std::string("A\r\nB\tC\x7f\0D", 9));
    EXPECT_EQ(ReadFile(), "00000007 A  B C  D\r\n");
    // Entries handed to Save directly cannot break the line format either.
    store.Save({"x\ny", std::string("p\0q", 3)});
    EXPECT_EQ(store.Load(), (Table{"x y", "p q"}));
}

TEST_F(HighScoreStoreTest, FolderThatCannotBeMadeStoresNothing) {
    std::ofstream(dataHome / "KryxSpace") << "in the way";
    EXPECT_EQ(store.StorageFolder(), "");
    EXPECT_TRUE(store.Load().empty());
    EXPECT_TRUE(store.failed);
    store.Register(500, "A");
    EXPECT_TRUE(store.failed);
    store.failed = false;
    store.Save({"00000001 A"});
    EXPECT_TRUE(store.failed);
    EXPECT_TRUE(fs::is_regular_file(dataHome / "KryxSpace"));
}

TEST_F(HighScoreStoreTest, WithoutLocalDataFolderUsesTheCurrentDirectory) {
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("HOME");
    EXPECT_EQ(store.StorageFolder(), "KryxSpace\\Score\\");
    store.Register(42, "C");
    EXPECT_TRUE(fs::is_regular_file(workDir / "KryxSpace" / "Score" / "Classifica.txt"));
}

TEST_F(HighScoreStoreTest, InterruptedSaveKeepsThePreviousFile) {
    store.Register(300, "OLD");
    store.Register(200, "OLD");
    const std::string before = ReadFile();
    for (std::size_t cut : {std::size_t{0}, std::size_t{12}, before.size()}) {
        platform::ScopedWriteFailure fail(cut);
        store.Register(400, "NEW");
        EXPECT_TRUE(store.failed) << cut;
        EXPECT_EQ(ReadFile(), before) << cut;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), {}), 2);  // table and lock only
    store.Register(400, "NEW");
    EXPECT_FALSE(store.failed);
    EXPECT_EQ(ReadFile(), "00000400 NEW\r\n" + before);
}

// Random bytes with line breaks, NULs, control and high bytes well represented.
class RandomBytes {
  public:
    std::mt19937 rng{20261206};
    std::string operator()(std::size_t maxLength) {
        static const char symbols[] = "\r\n\0 09AZaz\x7f\x80\xff";
        std::string s(rng() % (maxLength + 1), '\0');
        for (char& c : s) {
            c = rng() % 2 ? symbols[rng() % (sizeof symbols - 1)] : static_cast<char>(rng());
        }
        return s;
    }
};

// The file that follows a registration on top of arbitrary bytes: every line ends CR LF, and it
// holds the best ten of the old entries and the new one, best first.
void ExpectWellFormedAfterRegistration(const Table& old, const std::string& added,
                                       const std::string& bytes) {
    ASSERT_LE(std::count(bytes.begin(), bytes.end(), '\n'), 10);
    ASSERT_EQ(bytes.find('\0'), std::string::npos);
    ASSERT_TRUE(bytes.empty() || bytes.back() == '\n');
    for (auto i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1)) {
        ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r');
    }
    const Table table = ParseTable(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    Table expected = old;
    expected.push_back(added);
    std::sort(expected.begin(), expected.end(), std::greater<>());
    expected.resize(std::min<std::size_t>(expected.size(), 10));
    ASSERT_EQ(table, expected);
}

// Every round through the format functions, every hundredth also through the store and the
// disk (each of those syncs a file).
TEST_F(HighScoreStoreTest, ArbitraryFileContentsStayWellFormedAfterRegistration) {
    RandomBytes random;
    for (int round = 0; round < 3000; ++round) {
        SCOPED_TRACE(round);
        const std::string file = random(random.rng() % 4 ? 60 : 600);
        const std::string name = random(16);
        const auto score = static_cast<std::int32_t>(random.rng() % 100000000);
        const std::string added = EntryText(score, name);
        ASSERT_EQ(added.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
        const Table old = ParseTable(std::vector<std::uint8_t>(file.begin(), file.end()));
        if (round % 100 == 0) {
            WriteFile(file);
            ASSERT_EQ(store.Load(), old);
            store.Register(score, name);
            ASSERT_FALSE(store.failed);
            ExpectWellFormedAfterRegistration(old, added, ReadFile());
        }
        Table withNew = old;
        withNew.push_back(added);
        ExpectWellFormedAfterRegistration(old, added, FormatTable(withNew));
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST(RegistrationTextTest, NamePaddedToTwelveThenLevel) {
    EXPECT_EQ(RegistrationText("Anna", 2), "Anna         Livello 2");
    EXPECT_EQ(RegistrationText("ABCDEFGHIJ", 4), "ABCDEFGHIJ   Livello 4");
    EXPECT_EQ(RegistrationText("ABCDEFGHIJKLMN", 3), "ABCDEFGHIJKLMN Livello 3");
    EXPECT_EQ(RegistrationText("", 1), std::string(12, ' ') + " Livello 1");
}

TEST(PendingResultTest, NoFormForZeroScoreAndTheOpenFormKeepsItsResult) {
    PendingResult pending;
    EXPECT_FALSE(pending.Capture(0, 3));
    EXPECT_FALSE(pending.Capture(-5, 3));
    EXPECT_FALSE(pending.Waiting());
    pending.Capture(700, 3);
    EXPECT_FALSE(pending.Capture(0, 1));  // a lost game with no points leaves the form alone
    EXPECT_EQ(pending.Take()->score, 700);
}

// ---- hostile or unlucky files and a second instance ----

TEST_F(HighScoreStoreTest, DamagedLinesAreSkippedAndDroppedAtTheNextSave) {
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

TEST_F(HighScoreStoreTest, OnlyStaleTemporariesOfTheTableAreRemovedOnLoad) {
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

TEST_F(HighScoreStoreTest, ReadOnlyTableIsLeftAlone) {
    Write(File(), "00000010 A\r\n");
    fs::permissions(File(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    store.Register(20, "B");
    EXPECT_TRUE(store.failed);
    EXPECT_EQ(Read(File()), "00000010 A\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), {}), 2);  // table and lock only
}

TEST_F(HighScoreStoreTest, LinkedTableIsFollowedAndItsTargetReplaced) {
    Write(root / "elsewhere" / "scores.txt", "00000010 A\r\n");
    fs::create_directories(Folder());
    fs::create_symlink("../../../elsewhere/scores.txt", File());
    store.Register(20, "B");
    ASSERT_FALSE(store.failed);
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_EQ(Read(root / "elsewhere" / "scores.txt"), "00000020 B\r\n00000010 A\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "elsewhere"), {}), 1);
}

TEST_F(HighScoreStoreTest, DataFolderWithABackslashIsUsedAsNamed) {
    UseDataHome(root / "b\\c");
    store.Register(20, "B");
    EXPECT_EQ(Read(root / "b\\c" / "KryxSpace" / "Score" / "Classifica.txt"), "00000020 B\r\n");
    EXPECT_FALSE(fs::exists(root / "b"));
}

// Every round two instances write five entries each into an empty table (racing to make the
// folders too); all ten must be there afterwards.
TEST_F(HighScoreStoreTest, TwoProcessesRegisteringLoseNoEntry) {
    for (int round = 0; round < 8; ++round) {
        fs::remove_all(Folder().parent_path());
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
