#include "services/HighScoreStore.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

#include "platform/files.h"

namespace MyApp {

std::string WithTrailingSeparator(std::string path) {
    if (!path.empty() && path.back() != '\\' && path.back() != '/') {
        path += '\\';
    }
    return path;
}

std::string FormatScore(std::int32_t score) {
    std::string digits = std::to_string(score);
    if (digits.size() < 8) {
        digits.insert(0, 8 - digits.size(), '0');
    }
    return digits.substr(digits.size() - 8);
}

std::string EntryText(std::int32_t score, std::string_view nameText) {
    std::string text = FormatScore(score) + " ";
    for (const char c : nameText) {
        const auto byte = static_cast<unsigned char>(c);
        text += (byte < 0x20 || byte == 0x7F) ? ' ' : c;
    }
    return text;
}

bool IsDamagedLine(std::string_view line) {
    if (line.size() > HighScoreStore::kMaxLineLength) {
        return true;
    }
    return std::any_of(line.begin(), line.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::vector<std::string> ParseTable(const std::vector<std::uint8_t>& bytes, std::size_t* damaged) {
    std::vector<std::string> lines;
    std::size_t skipped = 0;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::size_t stop = end;
        if (end < text.size() && stop > start && text[stop - 1] == '\r') {
            --stop;
        }
        const std::string_view line = text.substr(start, stop - start);
        if (IsDamagedLine(line)) {
            ++skipped;
        } else {
            lines.emplace_back(line);
        }
        start = end + 1;
    }
    if (damaged) {
        *damaged = skipped;
    }
    return lines;
}

std::string FormatTable(std::vector<std::string> table) {
    for (std::string& entry : table) {
        std::replace_if(
            entry.begin(), entry.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; },
            ' ');
    }
    // What a load would skip is never written.
    std::erase_if(table, [](const std::string& e) { return IsDamagedLine(e); });
    // std::string compares bytes as unsigned char, which is the order of the stored table.
    std::sort(table.begin(), table.end(), std::greater<>());
    if (table.size() > HighScoreStore::kMaxEntries) {
        table.resize(HighScoreStore::kMaxEntries);
    }
    std::string bytes;
    for (const std::string& entry : table) {
        bytes += entry;
        bytes += "\r\n";
    }
    return bytes;
}

// True when the folder is there, made now or by another instance of the game a moment ago
// (losing that race must not look like a failure: registration would then skip its lock).
static bool HaveFolder(const std::string& path) {
    return platform::PathExists(path) || platform::CreateFolder(path) || platform::PathExists(path);
}

std::string HighScoreStore::StorageFolder() const {
    const std::string base = WithTrailingSeparator(platform::LocalAppDataFolder()) + appFolder;
    if (!HaveFolder(base)) {
        return {};
    }
    const std::string folder = WithTrailingSeparator(base) + "Score";
    if (!HaveFolder(folder)) {
        return {};
    }
    return WithTrailingSeparator(folder);
}

std::vector<std::string> HighScoreStore::Load(bool reportDamage) {
    failed = false;
    const std::string folder = StorageFolder();
    if (folder.empty()) {
        failed = true;
        return {};
    }
    const std::string path = folder + kFileName;
    platform::RemoveStaleTemporaries(path, std::chrono::minutes(1));
    if (!platform::FileExists(path)) {
        return {};
    }
    const std::optional<std::vector<std::uint8_t>> bytes = platform::ReadWholeFile(path);
    if (!bytes) {
        failed = true;
        return {};
    }
    std::size_t damaged = 0;
    std::vector<std::string> table = ParseTable(*bytes, &damaged);
    if (damaged > 0 && reportDamage) {
        std::fprintf(stderr, "kryxspace: %zu damaged lines of %s dropped from the top ten\n",
                     damaged, path.c_str());
    }
    return table;
}

void HighScoreStore::Save(std::vector<std::string> table) {
    failed = false;
    const std::string bytes = FormatTable(std::move(table));
    const std::string folder = StorageFolder();
    if (folder.empty()) {
        failed = true;
        return;
    }
    if (!platform::WriteFileAtomically(folder + kFileName, bytes)) {
        failed = true;
    }
}

void HighScoreStore::Register(std::int32_t score, std::string_view nameText) {
    // Read, add and save under a lock, so that a second instance registering at the same
    // time cannot overwrite this entry; a holder that never lets go only delays us.
    std::optional<platform::FileLock> lock;
    if (const std::string folder = StorageFolder(); !folder.empty()) {
        lock.emplace(folder + kLockFileName, kLockTimeout);
        if (!lock->Locked()) {
            std::fprintf(stderr,
                         "kryxspace: the top ten is locked; registering without the lock\n");
        }
    }
    std::vector<std::string> table = Load(false);
    if (failed) {
        return;
    }
    table.push_back(EntryText(score, nameText));
    Save(std::move(table));
}

}  // namespace MyApp
