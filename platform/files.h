// Files and folders. Game code writes paths as the game names them, with backslashes
// ("..\data\Nave.x", "data\\Nave.x"); every call here turns them into the OS separator.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The path with every backslash turned into the OS separator, except in a leading folder that
// comes from the environment ($XDG_DATA_HOME, $HOME), whose backslashes belong to its names.
std::string NativePath(std::string_view gamePath);

bool FileExists(std::string_view path);       // a regular file is there (readability unchecked)
bool DirectoryExists(std::string_view path);  // a folder is there
bool PathExists(std::string_view path);       // anything is there
bool CreateFolder(std::string_view path);     // one level; the parent must exist
std::string CurrentDirectory();               // without a trailing separator
// The per-user local data folder ($XDG_DATA_HOME, else $HOME/.local/share), created when
// missing; empty when it cannot be had.
std::string LocalAppDataFolder();
// The per-user configuration folder ($XDG_CONFIG_HOME, else $HOME/.config), not created
// here; empty when neither names one.
std::string UserConfigFolder();
// The folder of the running executable, empty when it cannot be found.
std::string ExecutableFolder();

// The whole file, or nothing when it cannot be opened or a read fails part way.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(std::string_view path);

// Replaces the file at path with bytes so that it holds either its old content or the new
// content whole, never a mix: the bytes go to a temporary file in the same folder, which is
// flushed to disk and then renamed over path. A symbolic link is followed and its target
// replaced in the target's folder; a write-protected file is refused. On any failure the old
// file stays as it was, the temporary file is removed and the result is false.
bool WriteFileAtomically(std::string_view path, std::string_view bytes);

// Removes what interrupted WriteFileAtomically calls on path left behind: files named path
// followed by "." and six letters or digits, last written more than age ago.
void RemoveStaleTemporaries(std::string_view path, std::chrono::seconds age);

// An advisory exclusive lock (flock) on the file at path, created when missing, held for the
// life of the object. Waits at most timeout for another holder; Locked() tells whether it got it.
class FileLock {
  public:
    FileLock(std::string_view path, std::chrono::milliseconds timeout);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Locked() const { return locked_; }

  private:
    int fd_ = -1;
    bool locked_ = false;
};

// Test seam: while set, every WriteFileAtomically fails as a full disk would once this many
// bytes of its content have been written. Process-wide; std::nullopt lifts it.
void SetWriteFailureAfter(std::optional<std::size_t> bytes);

// Sets that failure for the lifetime of the guard.
class ScopedWriteFailure {
  public:
    explicit ScopedWriteFailure(std::size_t bytes) { SetWriteFailureAfter(bytes); }
    ~ScopedWriteFailure() { SetWriteFailureAfter(std::nullopt); }
    ScopedWriteFailure(const ScopedWriteFailure&) = delete;
    ScopedWriteFailure& operator=(const ScopedWriteFailure&) = delete;
};

// A file opened for binary reading, read in blocks; closed by the destructor.
class InputFile {
  public:
    explicit InputFile(std::string_view path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // Reads up to size bytes; returns how many were read (0 at the end or on error).
    std::size_t Read(void* buffer, std::size_t size);
    // A read has failed (as opposed to reaching the end).
    bool Failed() const { return file_ != nullptr && std::ferror(file_) != 0; }

  private:
    std::FILE* file_ = nullptr;
};

}  // namespace platform
