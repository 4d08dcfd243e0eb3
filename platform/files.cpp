#include "platform/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

namespace platform {

std::string NativePath(std::string_view gamePath) {
    std::string out(gamePath);
    for (char& c : out) {
        if (c == '\\') {
            c = '/';
        }
    }
    return out;
}

namespace {
bool StatPath(std::string_view path, struct stat* st) {
    const std::string native = NativePath(path);
    return !native.empty() && ::stat(native.c_str(), st) == 0;
}
}  // namespace

bool FileExists(std::string_view path) {
    struct stat st {};
    return StatPath(path, &st) && S_ISREG(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
    struct stat st {};
    return StatPath(path, &st) && S_ISDIR(st.st_mode);
}

bool PathExists(std::string_view path) {
    struct stat st {};
    return StatPath(path, &st);
}

bool CreateFolder(std::string_view path) {
    const std::string native = NativePath(path);
    return !native.empty() && ::mkdir(native.c_str(), 0755) == 0;
}

std::string CurrentDirectory() {
    std::error_code ec;
    std::string dir = std::filesystem::current_path(ec).string();
    return ec ? std::string() : dir;
}

std::string LocalAppDataFolder() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.local/share";
    } else {
        return {};
    }
    std::error_code ec;
    std::filesystem::create_directories(base, ec);
    return DirectoryExists(base) ? base : std::string();
}

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return {};
    }
    buffer[n] = '\0';
    return std::filesystem::path(buffer).parent_path().string();
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(std::string_view path) {
    InputFile file(path);
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t block[16384];
    for (std::size_t n; (n = file.Read(block, sizeof block)) > 0;) {
        bytes.insert(bytes.end(), block, block + n);
    }
    return bytes;
}

InputFile::InputFile(std::string_view path) {
    const std::string native = NativePath(path);
    if (!native.empty() && !DirectoryExists(native)) {
        file_ = std::fopen(native.c_str(), "rb");
    }
}

InputFile::~InputFile() {
    if (file_) {
        std::fclose(file_);
    }
}

std::size_t InputFile::Read(void* buffer, std::size_t size) {
    return file_ ? std::fread(buffer, 1, size, file_) : 0;
}

}  // namespace platform
