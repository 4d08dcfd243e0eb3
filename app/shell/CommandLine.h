// The program's command line: usage and version answers, and the window-mode override.
#pragma once

#include <optional>
#include <string>

#include "kx_version.h"

namespace MyApp {

// The version of project() in CMakeLists.txt.
inline constexpr const char* kProgramVersion = KX_VERSION;

struct CommandLine {
    enum class Action { kRun, kHelp, kVersion, kUnknownOption };
    Action action = Action::kRun;
    std::optional<bool> fullscreen;  // set by --fullscreen / --windowed (the last one counts)
    std::string unknown;             // the first option not understood
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// The usage text, one option a line.
std::string UsageText();

// For any action but kRun: prints usage or version (to stdout, or usage with the unknown
// option to stderr) and returns the exit code, 0 or 2.
int AnswerCommandLine(const CommandLine& command);

}  // namespace MyApp
