// The real program answering its command line, and starting without any display.
#include "app/shell/CommandLine.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace MyApp {
namespace {

#ifdef KX_PROGRAM_PATH
struct ProgramRun {
    int code = -1;
    std::string out, err;
    double seconds = 0;
};

// Runs the real program under an environment prefix ("env ...") with arguments.
ProgramRun RunProgramWith(const std::string& env, const std::string& args) {
    const std::string base = ::testing::TempDir() + "kx-cli-" + std::to_string(::getpid());
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system((env + " timeout 20 " + KX_PROGRAM_PATH + " " + args + " >" +
                                    base + ".out 2>" + base + ".err")
                                       .c_str());
    ProgramRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    for (auto [file, text] : {std::pair{".out", &run.out}, std::pair{".err", &run.err}}) {
        std::ifstream in(base + file);
        std::ostringstream s;
        s << in.rdbuf();
        *text = s.str();
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
    EXPECT_EQ(version.out, std::string("Kryx Space ") + kProgramVersion + "\n");
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
#endif

}  // namespace
}  // namespace MyApp
