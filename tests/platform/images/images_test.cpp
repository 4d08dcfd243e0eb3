// Decoding PNG and BMP pictures to 0xAARRGGBB pixels and writing PNG; pictures whose header
// promises more than the file holds are refused before decoding.
#include "platform/images/images.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/images/picture_check.h"

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Appends each value as four little-endian bytes.
template <typename... Values>
void Put(Bytes* b, Values... values) {
    for (const std::uint32_t v : {static_cast<std::uint32_t>(values)...}) {
        for (int i = 0; i < 4; ++i) {
            b->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        }
    }
}

// A BMP with a BITMAPINFOHEADER declaring width x height, its palette (0x00RRGGBB) and the
// pixel bytes as the file holds them: bottom row first unless the height is negative.
Bytes Bmp(std::int32_t width, std::int32_t height, int bits, const Bytes& pixels,
          const std::vector<std::uint32_t>& palette = {}) {
    const auto offset = static_cast<std::uint32_t>(54 + 4 * palette.size());
    Bytes b = {'B', 'M'};
    const auto size = static_cast<std::uint32_t>(pixels.size());
    // File size, reserved, pixel offset, header size, width, height, planes and bits, BI_RGB,
    // image size, resolution, colours used and important.
    Put(&b, offset + size, 0, offset, 40, width, height, 1 | bits << 16, 0, size, 2835, 2835,
        palette.size(), 0);
    for (std::uint32_t c : palette) {
        Put(&b, c);
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

Bytes NoisyPng(int width, int height) {
    Image image{width, height, {}};
    std::uint32_t x = 12345;
    for (int i = 0; i < width * height; ++i) {
        x = x * 1103515245u + 12345u;
        image.pixels.push_back(x | 0xFF000000u);
    }
    return EncodePng(image);
}

Bytes Cut(Bytes b, std::size_t keep) {
    b.resize(keep);
    return b;
}

TEST(ImagesTest, BmpRowsAreTopFirstOpaqueAndTopDownFilesReadTheSameAtEveryDepth) {
    // 3 x 2: padding of 3 bytes per row; blue-green-red byte order.
    const Bytes top = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0, 0, 0};
    const Bytes bottom = {0x10, 0x20, 0x30, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0, 0, 0};
    Bytes bottomUp = bottom, topDown = top;
    bottomUp.insert(bottomUp.end(), top.begin(), top.end());
    topDown.insert(topDown.end(), bottom.begin(), bottom.end());
    const auto image = DecodeImage(Bmp(3, 2, 24, bottomUp));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->pixels, (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu,
                                                         0xFF302010u, 0xFFFFFFFFu, 0xFF000000u}));
    const Bytes twin = Bmp(3, -2, 24, topDown);
    const auto flipped = DecodeImage(twin);
    ASSERT_TRUE(flipped);
    EXPECT_EQ(flipped->pixels, image->pixels);
    ASSERT_TRUE(ImageInfo(twin));
    EXPECT_EQ(ImageInfo(twin)->height, 2);

    // 8 bits through a palette, and 32 bits.
    const auto p = DecodeImage(Bmp(2, 2, 8, {1, 0, 0, 0, 0, 1, 0, 0}, {0x00112233u, 0x00AABBCCu}));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->pixels,
              (std::vector<std::uint32_t>{0xFF112233u, 0xFFAABBCCu, 0xFFAABBCCu, 0xFF112233u}));
    const auto q = DecodeImage(Bmp(1, 1, 32, {0x01, 0x02, 0x03, 0x00}));
    ASSERT_TRUE(q);
    EXPECT_EQ(q->At(0, 0) & 0x00FFFFFFu, 0x030201u);
}

TEST(ImagesTest, PngRoundTripKeepsAlpha) {
    const Image image{
        4,
        3,
        {0x00000000u, 0x80FF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x12345678u, 0xFFFFFFFFu, 0x7F7F7F7Fu,
         0x01020304u, 0xFFFEFEFEu, 0x40000000u, 0xC0A0B0C0u, 0xFF010101u}};
    const Bytes png = EncodePng(image);
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
    EXPECT_TRUE(EncodePng(Image{2, 2, std::vector<std::uint32_t>(3)}).empty());  // 3 pixels of 4
    // The largest accepted side still decodes.
    EXPECT_TRUE(DecodeImage(Bmp(kMaxPictureSide, 1, 24, Bytes(kMaxPictureSide * 3))));
}

TEST(ImagesTest, PicturesWhoseHeaderLiesAreRefusedBeforeDecoding) {
    const Bytes small = NoisyPng(8, 8);
    Bytes longChunk = small;
    longChunk[33] = 0x7F;  // the length of the chunk after IHDR
    const std::pair<const char*, Bytes> lies[] = {
        {"huge BMP header without pixels", Bmp(16384, 16384, 24, {})},
        {"BMP missing 1000 pixel bytes", Bmp(640, 480, 24, Bytes(921600 - 1000, 7))},
        {"BMP wider than the cap", Bmp(4097, 1, 24, Bytes(4097 * 3 + 3))},
        {"PNG cut to 3000 bytes", Cut(NoisyPng(64, 64), 3000)},
        {"PNG without IEND", Cut(small, small.size() - 12)},
        {"PNG chunk longer than the file", longChunk}};
    for (const auto& [name, bytes] : lies) {
        EXPECT_FALSE(CheckedPictureSize(bytes)) << name;
        EXPECT_FALSE(DecodeImage(bytes)) << name;
        EXPECT_FALSE(ImageInfo(bytes)) << name;
    }
}

TEST(ImagesTest, FilesWithGamePaths) {
    char pattern[] = "/tmp/kx_images_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const Image image{2, 1, {0xFF102030u, 0xFF405060u}};
    // The game writes paths with backslashes; the files layer turns them around.
    const std::string gamePath = dir + "\\pic.png";
    ASSERT_TRUE(WritePngFile(gamePath, image));
    const auto loaded = LoadImageFile(gamePath);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->pixels, image.pixels);
    EXPECT_FALSE(LoadImageFile(dir + "\\missing.png"));
    EXPECT_FALSE(WritePngFile(dir + "\\no\\such\\folder.png", image));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace platform
