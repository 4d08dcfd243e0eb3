// The XOR-fold checksum and the data-file check, with a recording message-box handler.
#include "services/DataCheck.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "platform/msgbox.h"
#include "services/DataChecksums.h"
#include "test_support.h"

namespace MyApp {
namespace {

using kxtest::ScratchDir;
using kxtest::WriteBytes;

struct Box {
    platform::HWND owner;
    std::string text, caption;
    platform::UINT type;
};

class DataCheckTest : public ::testing::Test {
  protected:
    ScratchDir dir{"datacheck"};
    std::vector<Box> boxes;
    platform::MessageBoxHandler previous;

    DataCheckTest() {
        previous =
            platform::SetMessageBoxHandler([this](platform::HWND owner, const std::string& text,
                                                  const std::string& caption, platform::UINT type) {
                boxes.push_back({owner, text, caption, type});
                return platform::IDOK;
            });
    }
    ~DataCheckTest() override { platform::SetMessageBoxHandler(previous); }

    std::string File(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const auto p = dir.Path() / name;
        WriteBytes(p, bytes);
        return p.string();
    }
};

TEST_F(DataCheckTest, FoldIsByOffsetAcrossReadBlocksUpperCaseAndZerosForNoBytes) {
    std::vector<std::uint8_t> seventeen(17);
    std::iota(seventeen.begin(), seventeen.end(), 0xA0);
    // byte 0 = 0xA0 ^ 0xB0 = 0x10; bytes 1..15 as in the file, upper case
    EXPECT_EQ(XorFoldChecksum(File("seventeen.bin", seventeen)),
              "10A1A2A3A4A5A6A7A8A9AAABACADAEAF");
    EXPECT_EQ(XorFoldChecksum(File("empty.bin", {})), std::string(32, '0'));
    EXPECT_EQ(XorFoldChecksum((dir.Path() / "absent.bin").string()), std::string(32, '0'));

    // Longer than two 10240-byte blocks and not a multiple of 16.
    std::vector<std::uint8_t> bytes(2 * 10240 + 37, 0);
    bytes[5] = 0x0F;
    bytes[10240 + 5] = 0xF0;  // same column in the second block
    bytes[20480 + 36] = 0x01;
    bytes[20480 + 15] = 0x0A;
    EXPECT_EQ(XorFoldChecksum(File("big.bin", bytes)), "0000000001FF0000000000000000000A");
}

TEST(DataFileNameTest, NameAfterTheLastSeparator) {
    EXPECT_EQ(DataFileName("..\\data\\Nave.x"), "Nave.x");
    EXPECT_EQ(DataFileName("data/sub\\dir/Livello1.bmp"), "Livello1.bmp");
    EXPECT_EQ(DataFileName("C:Nave.x"), "Nave.x");
    EXPECT_EQ(DataFileName("C:\\a:b\\fire.x"), "fire.x");  // the colon counts only without slashes
    EXPECT_EQ(DataFileName("Nave.x"), "Nave.x");
    EXPECT_EQ(DataFileName("data\\"), "");
}

TEST(ExpectedChecksumTest, PicturesMatchWithTheirBackslashAndNamesAreCaseSensitive) {
    ASSERT_STREQ(kKnownDataFiles[25].name, "\\Livello1.bmp");
    EXPECT_EQ(ExpectedChecksum("Livello1.bmp"), kKnownDataFiles[25].checksum);
    EXPECT_EQ(ExpectedChecksum("Nave.x"), kKnownDataFiles[3].checksum);
    EXPECT_EQ(ExpectedChecksum("nave.x"), "");
    EXPECT_EQ(ExpectedChecksum("Livello8.bmp"), "");
    EXPECT_EQ(ExpectedChecksum(""), "");
}

TEST_F(DataCheckTest, DamagedUnknownOrMissingFilesShowOneErrorBoxAndRequestClose) {
    auto bytes = kxtest::ReadBytes(kxtest::SourceDir() / "data" / "fire.x");
    ASSERT_FALSE(bytes.empty());
    bytes[100] ^= 0x01;
    const std::string path = File("fire.x", bytes);
    auto* owner = reinterpret_cast<platform::HWND>(0x1234);
    bool close = false;
    CheckDataFile(close, owner, path);
    EXPECT_TRUE(close);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[0].caption, "errore");
    EXPECT_EQ(boxes[0].text, "Immagine corrotta o danneggiata. Ripristinare la cartella immagine");
    EXPECT_EQ(boxes[0].type, platform::MB_TASKMODAL | platform::MB_ICONERROR);

    // Unknown and missing files fail too, and only the first failure is reported.
    close = false;
    boxes.clear();
    CheckDataFile(close, nullptr, File("nuovo.x", {'x', 'o', 'f'}));  // not in the table
    CheckDataFile(close, nullptr, (dir.Path() / "Nave.x").string());  // missing
    CheckDataFile(close, nullptr, (dir.Path() / "sfondo.png").string());
    EXPECT_TRUE(close);
    EXPECT_EQ(boxes.size(), 1u);
}

}  // namespace
}  // namespace MyApp
