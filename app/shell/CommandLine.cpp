#include "app/shell/CommandLine.h"

#include <cstdio>
#include <string_view>

namespace MyApp {

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine command;
    for (int i = 1; i < argc && argv != nullptr && argv[i] != nullptr; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            command.action = CommandLine::Action::kHelp;
            return command;
        }
        if (arg == "--version") {
            command.action = CommandLine::Action::kVersion;
            return command;
        }
        if (arg == "--fullscreen" || arg == "--windowed") {
            command.fullscreen = arg == "--fullscreen";
        } else {
            command.action = CommandLine::Action::kUnknownOption;
            command.unknown = arg;
            return command;
        }
    }
    return command;
}

std::string UsageText() {
    return "Usage: kryxspace [OPTION]\n"
           "Kryx Space, a 3D arcade space shooter.\n"
           "\n"
           "  --fullscreen   start in full screen (remembered setting otherwise)\n"
           "  --windowed     start in a window\n"
           "  --help         show this help and exit\n"
           "  --version      show the version and exit\n"
           "\n"
           "KX_HEADLESS=1 runs the game on the in-memory window system, without a display.\n";
}

int AnswerCommandLine(const CommandLine& command) {
    switch (command.action) {
        case CommandLine::Action::kHelp:
            std::fputs(UsageText().c_str(), stdout);
            return 0;
        case CommandLine::Action::kVersion:
            std::printf("Kryx Space %s\n", kProgramVersion);
            return 0;
        case CommandLine::Action::kUnknownOption:
            std::fprintf(stderr, "kryxspace: unknown option '%s'\n%s", command.unknown.c_str(),
                         UsageText().c_str());
            return 2;
        case CommandLine::Action::kRun:
            break;
    }
    return 0;
}

}  // namespace MyApp
