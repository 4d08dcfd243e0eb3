#include "platform/shell.h"

#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

extern char** environ;

namespace platform {

namespace {

DesktopLauncher& CurrentLauncher() {
    static DesktopLauncher launcher;
    return launcher;
}

// The full path of the program: as given when it has a slash, else the first executable
// found in PATH. Done before forking, since the child may only call async-signal-safe code.
std::string ResolveProgram(const std::string& program) {
    if (program.empty() || program.find('/') != std::string::npos) {
        return program;
    }
    const char* path = std::getenv("PATH");
    std::string directories = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        std::size_t end = directories.find(':', start);
        if (end == std::string::npos) {
            end = directories.size();
        }
        std::string candidate(directories, start, end - start);
        if (candidate.empty()) {
            candidate.push_back('.');
        }
        candidate.push_back('/');
        candidate.append(program);
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

}  // namespace

bool SpawnDetached(const std::string& program, const std::vector<std::string>& arguments) {
    const std::string resolved = ResolveProgram(program);
    if (resolved.empty()) {
        return false;
    }
    std::vector<std::string> strings;
    strings.push_back(program);
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& s : strings) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);

    // The grandchild reports a failed exec through this pipe; a successful exec closes it.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        // Intermediate child: start the program and leave at once, so the program is
        // adopted by init and this process never has to wait for it.
        ::close(report[0]);
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::setsid();
            ::execve(resolved.c_str(), argv.data(), environ);
            const int error = errno;
            [[maybe_unused]] ssize_t written = ::write(report[1], &error, sizeof error);
            ::_exit(127);
        }
        if (grandchild < 0) {
            const int error = errno;
            [[maybe_unused]] ssize_t written = ::write(report[1], &error, sizeof error);
        }
        ::_exit(0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return got == 0;
}

bool OpenWithDesktop(const std::string& address) {
    const DesktopLauncher& launcher = CurrentLauncher();
    if (launcher) {
        return launcher(address);
    }
    return SpawnDetached("xdg-open", {address});
}

DesktopLauncher SetDesktopLauncher(DesktopLauncher launcher) {
    return std::exchange(CurrentLauncher(), std::move(launcher));
}

}  // namespace platform
