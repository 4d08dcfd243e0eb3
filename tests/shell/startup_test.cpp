// Start-up: where the data folder is found, the missing-data box, a whole run through the
// message loop, and the real program answering its command line and starting without a
// display or without its data.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/shell/CommandLine.h"
#include "app/shell/DataFolder.h"
#include "app/shell/Program.h"
#include "platform/files.h"
#include "tests/shell/ShellFixture.h"
#include "toolkit/GUIElement.h"

namespace shell_test {
namespace {

namespace hl = platform::headless;
using MyApp::DataFolderPlaces;
using MyApp::FindDataFolder;

void Touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

TEST_F(ShellTest, DataFolderProbeOrder) {
    // The fixture's current directory has "..\data".
    Touch(root_ / "run" / "cwd" / "data" / "Nave.x");
    EXPECT_EQ(FindDataFolder({}), "..\\data");

    // Only "data\": the joined names carry a doubled backslash, which still opens.
    fs::current_path(root_ / "run" / "cwd");
    fs::remove(root_ / "run" / "data");
    const auto local = FindDataFolder({});
    ASSERT_EQ(local, "data\\");
    EXPECT_TRUE(platform::FileExists(*local + "\\Nave.x"));

    // Neither: nothing, unless the executable's places have it.
    fs::remove_all(root_ / "run" / "cwd" / "data");
    EXPECT_EQ(FindDataFolder({}), std::nullopt);

    const fs::path app = root_ / "app";
    fs::create_directories(app / "bin");
    DataFolderPlaces places{(app / "bin").string(), (root_ / "installed").string(),
                            "..\\share\\games\\kryxspace\\data"};
    EXPECT_EQ(FindDataFolder(places), std::nullopt);
    Touch(root_ / "installed" / "Nave.x");
    EXPECT_EQ(FindDataFolder(places), (root_ / "installed").string());
    Touch(app / "share" / "games" / "kryxspace" / "data" / "Nave.x");
    EXPECT_EQ(FindDataFolder(places),
              (app / "bin").string() + "\\..\\share\\games\\kryxspace\\data");
    Touch(app / "data" / "Nave.x");
    EXPECT_EQ(FindDataFolder(places), (app / "bin").string() + "\\..\\data");
    Touch(app / "bin" / "data" / "Nave.x");
    EXPECT_EQ(FindDataFolder(places), (app / "bin").string() + "\\data");

    // Only Nave.x decides; the current directory still comes first.
    Touch(root_ / "run" / "data" / "Nave.x");
    EXPECT_EQ(FindDataFolder(places), "..\\data");
}

TEST_F(ShellTest, MissingDataShowsTheErrorBoxAndNoWindow) {
    fs::remove(root_ / "run" / "data");
    EXPECT_EQ(MyApp::RunProgram({}), 1);
    ASSERT_EQ(hl::MessageBoxLog().size(), 1u);
    const auto& box = hl::MessageBoxLog()[0];
    EXPECT_EQ(box.caption, L"Errore");
    EXPECT_EQ(box.text,
              L"Immagini non trovate.\nSe esegui il gioco da un archivio zip dovrai "
              L"decomprimere tutto il contenuto in una cartella ed eseguire il gioco dalla "
              L"cartella");
    EXPECT_EQ(box.type, 0x2010u);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(TekuUtility::mainWindow, nullptr);
    EXPECT_EQ(MyApp::mainForm, nullptr);
}

TEST_F(ShellTest, AWholeRunEndsWhenTheExitIsConfirmed) {
    bool asked = false;
    const auto start = platform::MonotonicNow();
    hl::SetIdleHook([&] {
        if (asked || platform::MonotonicNow() - start < 2000 * platform::kTicksPerMs) {
            return false;
        }
        asked = true;
        hl::QueueMessageBoxAnswer(platform::IDYES);
        platform::PostMessageW(TekuUtility::mainWindow, platform::WM_CLOSE, 0, 0);
        return true;
    });
    EXPECT_EQ(MyApp::RunProgram({}), 0);
    hl::SetIdleHook(nullptr);
    EXPECT_TRUE(asked);
    EXPECT_EQ(BoxesWithCaption(L"Uscita"), 1);
    EXPECT_EQ(MyApp::mainForm, nullptr);
    EXPECT_TRUE(TekuUtility::ElementRegistry().empty());
}

#ifdef KX_PROGRAM_PATH
struct ProgramRun {
    int code = -1;
    std::string out, err;
    double seconds = 0;
};

// Runs `program` (the real one unless given) with arguments after a shell prefix ("env ...",
// "cd ... &&"): its exit code (-1 when it did not exit normally), output and time.
ProgramRun RunProgramWith(const std::string& prefix, const std::string& args,
                          const std::string& program = KX_PROGRAM_PATH) {
    const std::string base = ::testing::TempDir() + "kx-cli-" + std::to_string(::getpid());
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(
        (prefix + " timeout 20 " + program + " " + args + " >" + base + ".out 2>" + base + ".err")
            .c_str());
    ProgramRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    for (auto [file, text] : {std::pair{".out", &run.out}, std::pair{".err", &run.err}}) {
        std::ifstream in(base + file);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        *text = bytes.str();
        std::remove((base + file).c_str());
    }
    return run;
}

TEST(ProgramCommandLine, AnswersWithoutStartingAndRefusesToRunWithoutADisplay) {
    const ProgramRun help = RunProgramWith("env -u DISPLAY -u WAYLAND_DISPLAY", "--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("--fullscreen"), std::string::npos);
    const ProgramRun version = RunProgramWith("env -u DISPLAY", "--windowed --version");
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, std::string("Kryx Space ") + MyApp::kProgramVersion + "\n");
    const ProgramRun bad = RunProgramWith("env", "--windowed --frobnicate --help");
    EXPECT_EQ(bad.code, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err.rfind("kryxspace: unknown option '--frobnicate'\nUsage:", 0), 0u);

    const ProgramRun none = RunProgramWith(
        "env -u KX_HEADLESS -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER", "--fullscreen");
    EXPECT_EQ(none.code, 1);
    EXPECT_LT(none.seconds, 1.0);
    EXPECT_EQ(none.err.find('\n'), none.err.size() - 1) << none.err;
    EXPECT_NE(none.err.find("no display"), std::string::npos) << none.err;
    // A display that does not answer is none either: SDL's invisible fallback is refused.
    const ProgramRun dead =
        RunProgramWith("env -u KX_HEADLESS -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:987", "");
    EXPECT_EQ(dead.code, 1);
    EXPECT_NE(dead.err.find("kryxspace: cannot open a window: no display"), std::string::npos);
}

// A lone copy of the program without data: the error box's text is on the terminal too.
TEST_F(ShellTest, EntryPointWithoutDataSaysSoOnTheTerminal) {
    if (fs::exists(KX_INSTALLED_DATA_DIR "/Nave.x")) {
        GTEST_SKIP() << "an installed data set is present";
    }
    const fs::path lone = root_ / "lone";
    fs::create_directories(lone / "bin");
    fs::create_directories(lone / "cwd");
    fs::copy_file(KX_PROGRAM_PATH, lone / "bin" / "kryxspace");
    fs::permissions(lone / "bin" / "kryxspace", fs::perms::owner_exec, fs::perm_options::add);
    const ProgramRun run = RunProgramWith("cd " + (lone / "cwd").string() + " && KX_HEADLESS=1", "",
                                          (lone / "bin" / "kryxspace").string());
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "Errore: Immagini non trovate.") << run.err;
}
#endif

}  // namespace
}  // namespace shell_test
