// The high-score table on disk: the ten best results, best first, one text line each, in
// "Classifica.txt" under the user's local application-data folder.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace MyApp {

class HighScoreStore {
  public:
    static constexpr std::size_t kMaxEntries = 10;
    static constexpr const char* kFileName = "Classifica.txt";
    // The lock file beside the table, and how long a registration waits for it.
    static constexpr const char* kLockFileName = "Classifica.lock";
    static constexpr std::chrono::milliseconds kLockTimeout{3000};
    // Longer lines are damage, not entries.
    static constexpr std::size_t kMaxLineLength = 200;

    explicit HighScoreStore(std::string appFolder) : appFolder(std::move(appFolder)) {}

    // "<local app data>\<appFolder>\Score\", each level created when missing; "" when a
    // level cannot be created. Without a local app-data folder the path is relative to the
    // current directory.
    std::string StorageFolder() const;

    // The table as stored; empty when there is no file. Sets failed when the folder cannot be
    // had or the file cannot be read. Temporary files of interrupted saves older than a
    // minute are removed. Damaged lines are skipped (the next save drops them);
    // with reportDamage, stderr says so.
    std::vector<std::string> Load(bool reportDamage = true);

    // Sorts the table (descending, byte-wise), keeps the first ten and writes it. The old file
    // is replaced only by a complete new one; sets failed when the folder cannot be had or the
    // write fails.
    void Save(std::vector<std::string> table);

    // Adds "<score as 8 digits> <nameText>" to the stored table and saves it, holding the
    // table's lock file meanwhile (after kLockTimeout it goes on without, saying so on
    // stderr); stores nothing when the table cannot be loaded. Control characters in nameText
    // become blanks.
    void Register(std::int32_t score, std::string_view nameText);

    std::string appFolder;
    bool failed = false;
};

// The score as 8 decimal digits with leading zeros; the last 8 characters when longer.
std::string FormatScore(std::int32_t score);

// A new entry: the score as above, a blank, then nameText with control characters as blanks.
std::string EntryText(std::int32_t score, std::string_view nameText);

// A line that is not an entry: a control byte (below 0x20) or longer than kMaxLineLength.
// Binary garbage would otherwise sort above every real score and push each new one out.
bool IsDamagedLine(std::string_view line);

// The table in a file's bytes: one entry per line (split at LF, one CR before the LF dropped);
// a last line without LF counts when it is not empty. Damaged lines are skipped and counted
// in damaged when given.
std::vector<std::string> ParseTable(const std::vector<std::uint8_t>& bytes,
                                    std::size_t* damaged = nullptr);

// The file's bytes for a table: sorted descending byte-wise, the first ten, each ended by
// CR LF. Control bytes inside an entry become blanks, so every entry stays one line; entries
// too long to load again are left out.
std::string FormatTable(std::vector<std::string> table);

// path followed by a backslash unless it is empty or already ends in "\" or "/".
std::string WithTrailingSeparator(std::string path);

}  // namespace MyApp
