#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

std::string UserConfigFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        return xdg;
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return std::string(home) + "/.config";
    }
    return {};
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
    if (file.Failed()) {
        return std::nullopt;
    }
    return bytes;
}

namespace {
std::optional<std::size_t> writeFailureAfter;

// Writes all of bytes to fd, honouring the test seam's byte budget.
bool WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t chunk = bytes.size() - done;
        if (writeFailureAfter) {
            if (done >= *writeFailureAfter) {
                errno = ENOSPC;
                return false;
            }
            chunk = std::min(chunk, *writeFailureAfter - done);
        }
        const ssize_t n = ::write(fd, bytes.data() + done, chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Flushes a folder's entries, so that a rename inside it survives a power cut.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
}  // namespace

void SetWriteFailureAfter(std::optional<std::size_t> bytes) {
    writeFailureAfter = bytes;
}

bool WriteFileAtomically(std::string_view path, std::string_view bytes) {
    const std::string native = NativePath(path);
    if (native.empty() || native.back() == '/' || DirectoryExists(native)) {
        return false;
    }
    std::string temporary = native + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    // mkstemp makes the file private; give it the old file's mode, or what a plain create
    // would give.
    struct stat old {};
    mode_t mode;
    if (::stat(native.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), native.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(std::filesystem::path(native).parent_path().string());
    return true;
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
