#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

namespace platform {

namespace {
// The length of the folder from the environment that path begins with (followed by a
// separator or nothing), 0 when it begins with none. Its backslashes are the user's own.
std::size_t EnvironmentPrefix(std::string_view path) {
    std::string xdg, home;
    if (const char* v = std::getenv("XDG_DATA_HOME"); v && *v == '/') {
        xdg = v;
    }
    if (const char* v = std::getenv("HOME"); v && *v) {
        home = v;
    }
    std::size_t best = 0;
    for (const std::string& root : {xdg, home}) {
        if (root.size() > best && path.starts_with(root) &&
            (path.size() == root.size() || path[root.size()] == '\\' || path[root.size()] == '/')) {
            best = root.size();
        }
    }
    return best;
}
}  // namespace

std::string NativePath(std::string_view gamePath) {
    std::string out(gamePath);
    for (std::size_t i = EnvironmentPrefix(gamePath); i < out.size(); ++i) {
        if (out[i] == '\\') {
            out[i] = '/';
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

namespace {
// The file a path names once symbolic links are followed (at most 16 of them), so that a link
// keeps pointing at the table it names; the path itself when it is not a link.
std::string FollowLinks(std::string native) {
    for (int hops = 0; hops < 16; ++hops) {
        struct stat st {};
        if (::lstat(native.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            break;
        }
        std::error_code ec;
        const std::filesystem::path target = std::filesystem::read_symlink(native, ec);
        if (ec) {
            break;
        }
        native = target.is_absolute()
                     ? target.string()
                     : (std::filesystem::path(native).parent_path() / target).string();
    }
    return native;
}
}  // namespace

bool WriteFileAtomically(std::string_view path, std::string_view bytes) {
    const std::string native = FollowLinks(NativePath(path));
    if (native.empty() || native.back() == '/' || DirectoryExists(native)) {
        return false;
    }
    // A write-protected file is left alone, as an in-place write would leave it.
    struct stat old {};
    const bool exists = ::stat(native.c_str(), &old) == 0;
    if (exists && ((old.st_mode & 0222) == 0 || ::access(native.c_str(), W_OK) != 0)) {
        return false;
    }
    std::string temporary = native + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    // mkstemp makes the file private; give it the old file's mode, or what a plain create
    // would give.
    mode_t mode;
    if (exists) {
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

void RemoveStaleTemporaries(std::string_view path, std::chrono::seconds age) {
    const std::filesystem::path native = FollowLinks(NativePath(path));
    const std::string prefix = native.filename().string() + ".";
    std::error_code ec;
    const auto now = std::filesystem::file_time_type::clock::now();
    for (const auto& entry : std::filesystem::directory_iterator(
             native.has_parent_path() ? native.parent_path() : ".", ec)) {
        const std::string name = entry.path().filename().string();
        const bool matches =
            name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
        std::error_code entryError;
        if (!matches || !entry.is_regular_file(entryError)) {
            continue;
        }
        const auto written = entry.last_write_time(entryError);
        if (!entryError && now - written > age) {
            std::filesystem::remove(entry.path(), entryError);
        }
    }
}

FileLock::FileLock(std::string_view path, std::chrono::milliseconds timeout) {
    const std::string native = NativePath(path);
    fd_ = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            return;
        }
        ::usleep(5000);
    }
    locked_ = true;
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing drops the lock
    }
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
