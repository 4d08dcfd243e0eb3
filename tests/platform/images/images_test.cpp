// Decoding PNG and BMP pictures to 0xAARRGGBB pixels, and writing PNG.
#include "platform/images/images.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes* b, unsigned v) {
    b->push_back(static_cast<std::uint8_t>(v));
    b->push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes* b, unsigned v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A bottom-up BMP with a BITMAPINFOHEADER; rows are given top row first as bytes per pixel.
Bytes MakeBmp(int width, int height, int bits, const std::vector<Bytes>& rowsTopFirst,
              const std::vector<std::uint32_t>& palette = {}) {
    const int rowBytes = ((width * bits + 31) / 32) * 4;
    const unsigned paletteBytes = static_cast<unsigned>(palette.size() * 4);
    const unsigned offset = 14 + 40 + paletteBytes;
    Bytes b = {'B', 'M'};
    Put32(&b, offset + static_cast<unsigned>(rowBytes * height));
    Put32(&b, 0);
    Put32(&b, offset);
    Put32(&b, 40);
    Put32(&b, static_cast<unsigned>(width));
    Put32(&b, static_cast<unsigned>(height));
    Put16(&b, 1);
    Put16(&b, static_cast<unsigned>(bits));
    Put32(&b, 0);  // BI_RGB
    Put32(&b, static_cast<unsigned>(rowBytes * height));
    Put32(&b, 2835);
    Put32(&b, 2835);
    Put32(&b, static_cast<unsigned>(palette.size()));
    Put32(&b, 0);
    for (std::uint32_t c : palette) {
        Put32(&b, c);  // B, G, R, reserved in memory order = 0x00RRGGBB little-endian
    }
    for (int y = height - 1; y >= 0; --y) {
        Bytes row = rowsTopFirst[static_cast<std::size_t>(y)];
        row.resize(static_cast<std::size_t>(rowBytes), 0);
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

TEST(ImagesTest, Bmp24RowsAreTopFirstAndOpaque) {
    // 3 x 2: padding of 3 bytes per row; blue-green-red byte order.
    const Bytes bmp = MakeBmp(3, 2, 24,
                              {{0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00},
                               {0x10, 0x20, 0x30, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00}});
    const auto image = DecodeImage(bmp);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(image->At(1, 0), 0xFF00FF00u);
    EXPECT_EQ(image->At(2, 0), 0xFF0000FFu);
    EXPECT_EQ(image->At(0, 1), 0xFF302010u);
    EXPECT_EQ(image->At(2, 1), 0xFF000000u);
}

TEST(ImagesTest, Bmp8BitPalettedAndBmp32) {
    const Bytes paletted = MakeBmp(2, 2, 8, {{0, 1}, {1, 0}}, {0x00112233u, 0x00AABBCCu});
    const auto p = DecodeImage(paletted);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->At(0, 0), 0xFF112233u);
    EXPECT_EQ(p->At(1, 0), 0xFFAABBCCu);
    EXPECT_EQ(p->At(0, 1), 0xFFAABBCCu);

    const Bytes bgrx = MakeBmp(1, 1, 32, {{0x01, 0x02, 0x03, 0x00}});
    const auto q = DecodeImage(bgrx);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->At(0, 0) & 0x00FFFFFFu, 0x030201u);
}

TEST(ImagesTest, PngRoundTripKeepsAlpha) {
    Image image;
    image.width = 4;
    image.height = 3;
    image.pixels = {0x00000000u, 0x80FF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x12345678u, 0xFFFFFFFFu,
                    0x7F7F7F7Fu, 0x01020304u, 0xFFFEFEFEu, 0x40000000u, 0xC0A0B0C0u, 0xFF010101u};
    const Bytes png = EncodePng(image);
    ASSERT_FALSE(png.empty());
    const auto size = ImageInfo(png);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 4);
    EXPECT_EQ(size->height, 3);
    const auto back = DecodeImage(png);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pixels, image.pixels);
}

TEST(ImagesTest, BadInputIsRefused) {
    EXPECT_FALSE(DecodeImage({}));
    const Bytes junk = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'};
    EXPECT_FALSE(DecodeImage(junk));
    EXPECT_FALSE(ImageInfo(junk));

    Image one;
    one.width = 8;
    one.height = 8;
    one.pixels.assign(64, 0xFF336699u);
    Bytes png = EncodePng(one);
    png.resize(png.size() / 2);
    EXPECT_FALSE(DecodeImage(png));

    Image inconsistent;
    inconsistent.width = 2;
    inconsistent.height = 2;
    inconsistent.pixels.assign(3, 0);
    EXPECT_TRUE(EncodePng(inconsistent).empty());
}

TEST(ImagesTest, FilesWithGamePaths) {
    char pattern[] = "/tmp/kx_images_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    Image image;
    image.width = 2;
    image.height = 1;
    image.pixels = {0xFF102030u, 0xFF405060u};
    // The game writes paths with backslashes; the files layer turns them around.
    const std::string gamePath = dir + "\\pic.png";
    ASSERT_TRUE(WritePngFile(gamePath, image));
    const auto loaded = LoadImageFile(gamePath);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->pixels, image.pixels);
    const auto size = ImageFileInfo(dir + "/pic.png");
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 2);
    EXPECT_FALSE(LoadImageFile(dir + "\\missing.png"));
    EXPECT_FALSE(WritePngFile(dir + "\\no\\such\\folder.png", image));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace platform
