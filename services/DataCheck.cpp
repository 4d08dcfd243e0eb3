#include "services/DataCheck.h"

#include <array>
#include <cstdint>
#include <vector>

#include "platform/files.h"
#include "platform/msgbox.h"
#include "services/DataChecksums.h"

namespace MyApp {

namespace {
constexpr std::size_t kBlockSize = 10240;  // a multiple of 16: folding per block = by offset
}

std::string XorFoldChecksum(std::string_view path) {
    std::array<std::uint8_t, 16> fold{};
    platform::InputFile file(path);
    if (file.IsOpen()) {
        std::vector<std::uint8_t> block(kBlockSize);
        for (;;) {
            const std::size_t got = file.Read(block.data(), block.size());
            if (got == 0) {
                break;
            }
            for (std::size_t i = 0; i < got; ++i) {
                fold[i % 16] ^= block[i];
            }
        }
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(32);
    for (std::uint8_t b : fold) {
        text += kHex[b >> 4];
        text += kHex[b & 0x0F];
    }
    return text;
}

std::string DataFileName(std::string_view path) {
    auto cut = path.find_last_of("\\/");
    if (cut == std::string_view::npos) {
        cut = path.find_last_of(':');
    }
    if (cut == std::string_view::npos) {
        return std::string(path);
    }
    return std::string(path.substr(cut + 1));
}

std::string ExpectedChecksum(std::string_view name) {
    for (const KnownDataFile& row : kKnownDataFiles) {
        std::string_view rowName = row.name;
        // The picture rows are written with the backslash the game joins them with.
        if (!rowName.empty() && rowName.front() == '\\') {
            rowName.remove_prefix(1);
        }
        if (rowName == name) {
            return row.checksum;
        }
    }
    return {};
}

void CheckDataFile(bool& closeRequested, platform::HWND owner, const std::string& path) {
    const std::string actual = XorFoldChecksum(path);
    const std::string expected = ExpectedChecksum(DataFileName(path));
    if (actual != expected && !closeRequested) {
        platform::MessageBoxA(owner,
                              "Immagine corrotta o danneggiata. Ripristinare la cartella immagine",
                              "errore", platform::MB_TASKMODAL | platform::MB_ICONERROR);
        closeRequested = true;
    }
}

}  // namespace MyApp
