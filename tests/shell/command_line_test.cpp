// The command line: what each option asks for, and the real program answering it, including
// the start without any display.
#include "app/shell/CommandLine.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>
#include <vector>

namespace MyApp {
namespace {

struct ParseCase {
    std::vector<const char*> args;
    CommandLine::Action action;
    std::optional<bool> fullscreen;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << "kryxspace";
    for (const char* arg : c.args) {
        *os << " '" << arg << "'";
    }
}

class CommandLineParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CommandLineParse, OptionsGiveTheirAction) {
    std::vector<const char*> argv{"kryxspace"};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    const CommandLine command = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(command.action, GetParam().action);
    EXPECT_EQ(command.fullscreen, GetParam().fullscreen);
}

using A = CommandLine::Action;
INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineParse,
    ::testing::Values(ParseCase{{}, A::kRun, std::nullopt},
                      ParseCase{{"--fullscreen"}, A::kRun, true},
                      ParseCase{{"--fullscreen", "--windowed"}, A::kRun, false},
                      ParseCase{{"--windowed", "--help"}, A::kHelp, false},
                      ParseCase{{"--version", "--bogus"}, A::kVersion, std::nullopt},
                      ParseCase{{"--bogus", "--help"}, A::kUnknownOption, std::nullopt},
                      ParseCase{{"-fullscreen"}, A::kUnknownOption, std::nullopt},
                      ParseCase{{""}, A::kUnknownOption, std::nullopt}));

#ifdef KX_PROGRAM_PATH
struct ProgramRun {
    int code = -1;
    std::string out, err;
    double seconds = 0;
};

// Runs the real program with arguments under an environment prefix (env ...).
ProgramRun RunProgramWith(const std::string& env, const std::string& args) {
    const std::string base = ::testing::TempDir() + "kx-cli-" + std::to_string(::getpid());
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system((env + " timeout 20 " + KX_PROGRAM_PATH + " " + args + " >" +
                                    base + ".out 2>" + base + ".err")
                                       .c_str());
    ProgramRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto slurp = [](const std::string& path) {
        std::ifstream in(path);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    };
    run.out = slurp(base + ".out");
    run.err = slurp(base + ".err");
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return run;
}

TEST(ProgramCommandLine, HelpVersionAndUnknownOptionsAnswerWithoutStarting) {
    const ProgramRun help = RunProgramWith("env -u DISPLAY -u WAYLAND_DISPLAY", "--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("--fullscreen"), std::string::npos);
    EXPECT_EQ(help.err, "");

    const ProgramRun version = RunProgramWith("env -u DISPLAY", "--version");
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, std::string("Kryx Space ") + kProgramVersion + "\n");

    const ProgramRun bad = RunProgramWith("env", "--windowed --frobnicate");
    EXPECT_EQ(bad.code, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err.rfind("kryxspace: unknown option '--frobnicate'\nUsage:", 0), 0u)
        << bad.err;
}

TEST(ProgramCommandLine, WithoutADisplayOneLineOnStderrAndExitOne) {
    const std::string noDisplay = "env -u KX_HEADLESS -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER";
    for (const char* args : {"", "--fullscreen"}) {
        const ProgramRun run = RunProgramWith(noDisplay, args);
        EXPECT_EQ(run.code, 1) << args;
        EXPECT_LT(run.seconds, 1.0);
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_NE(run.err.find("no display"), std::string::npos) << run.err;
    }
    // A display that does not answer is no display either: SDL's invisible fallback is
    // refused.
    const ProgramRun dead = RunProgramWith("env -u KX_HEADLESS -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "
                                    "DISPLAY=:987",
                                    "");
    EXPECT_EQ(dead.code, 1);
    EXPECT_NE(dead.err.find("kryxspace: cannot open a window: no display"), std::string::npos)
        << dead.err;
}
#endif

}  // namespace
}  // namespace MyApp
