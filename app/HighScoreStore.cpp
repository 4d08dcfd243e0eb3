#include "app/HighScoreStore.h"

#include <algorithm>
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

std::vector<std::string> ParseTable(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != '\n') {
            ++end;
        }
        std::size_t stop = end;
        if (end < bytes.size() && stop > start && bytes[stop - 1] == '\r') {
            --stop;
        }
        std::string line(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                         bytes.begin() + static_cast<std::ptrdiff_t>(stop));
        if (const std::size_t nul = line.find('\0'); nul != std::string::npos) {
            line.resize(nul);
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string FormatTable(std::vector<std::string> table) {
    for (std::string& entry : table) {
        std::replace(entry.begin(), entry.end(), '\n', ' ');
        std::replace(entry.begin(), entry.end(), '\0', ' ');
    }
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

std::string HighScoreStore::StorageFolder() const {
    const std::string base = WithTrailingSeparator(platform::LocalAppDataFolder()) + appFolder;
    if (!platform::PathExists(base) && !platform::CreateFolder(base)) {
        return {};
    }
    const std::string folder = WithTrailingSeparator(base) + "Score";
    if (!platform::PathExists(folder) && !platform::CreateFolder(folder)) {
        return {};
    }
    return WithTrailingSeparator(folder);
}

std::vector<std::string> HighScoreStore::Load() {
    failed = false;
    const std::string folder = StorageFolder();
    if (folder.empty()) {
        failed = true;
        return {};
    }
    const std::string path = folder + kFileName;
    if (!platform::FileExists(path)) {
        return {};
    }
    const std::optional<std::vector<std::uint8_t>> bytes = platform::ReadWholeFile(path);
    if (!bytes) {
        failed = true;
        return {};
    }
    return ParseTable(*bytes);
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
    std::vector<std::string> table = Load();
    if (failed) {
        return;
    }
    table.push_back(EntryText(score, nameText));
    Save(std::move(table));
}

}  // namespace MyApp
