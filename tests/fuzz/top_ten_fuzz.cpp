// Feeds arbitrary bytes to the top-ten parser and writer: every entry read is a clean line,
// and what is written reads back as the same best ten.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "services/HighScoreStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::size_t damaged = 0;
    std::vector<std::string> table = MyApp::ParseTable(bytes, &damaged);
    for (const std::string& entry : table) {
        if (MyApp::IsDamagedLine(entry)) {
            std::abort();
        }
    }
    table.push_back(MyApp::EntryText(static_cast<std::int32_t>(size), "FUZZ"));
    const std::string written = MyApp::FormatTable(table);
    std::size_t damagedAgain = 0;
    const std::vector<std::string> again =
        MyApp::ParseTable(std::vector<std::uint8_t>(written.begin(), written.end()), &damagedAgain);
    std::sort(table.begin(), table.end(), std::greater<>());
    table.resize(std::min<std::size_t>(table.size(), MyApp::HighScoreStore::kMaxEntries));
    if (damagedAgain != 0 || again != table) {
        std::abort();
    }
    return 0;
}
