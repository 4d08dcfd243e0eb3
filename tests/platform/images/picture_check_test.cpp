// Pictures whose header promises more than the file holds, cut files and oversized sides are
// refused before decoding; a top-down BMP is read the right way up.
#include "platform/images/picture_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes* b, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) {
        (*b)[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A 24-bit BMP header (54 bytes) declaring width x height, followed by pixelBytes bytes.
Bytes Bmp24(std::int32_t width, std::int32_t height, std::size_t pixelBytes) {
    Bytes b(54 + pixelBytes, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(&b, 2, static_cast<std::int32_t>(b.size()));
    Put32(&b, 10, 54);
    Put32(&b, 14, 40);
    Put32(&b, 18, width);
    Put32(&b, 22, height);
    b[26] = 1;
    b[28] = 24;
    for (std::size_t i = 54; i < b.size(); ++i) {
        b[i] = static_cast<std::uint8_t>(i * 7);
    }
    return b;
}

Bytes NoisyPng(int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
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

struct LyingPicture {
    const char* name;
    std::function<Bytes()> make;
};

class LyingPictureTest : public ::testing::TestWithParam<LyingPicture> {};

TEST_P(LyingPictureTest, IsRefusedBeforeDecoding) {
    const Bytes bytes = GetParam().make();
    EXPECT_FALSE(CheckedPictureSize(bytes));
    EXPECT_FALSE(DecodeImage(bytes));
    EXPECT_FALSE(ImageInfo(bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, LyingPictureTest,
    ::testing::Values(
        LyingPicture{"HugeBmpHeaderWithoutPixels", [] { return Bmp24(16384, 16384, 0); }},
        LyingPicture{"BmpMissing1000PixelBytes", [] { return Bmp24(640, 480, 921600 - 1000); }},
        LyingPicture{"BmpWiderThanTheCap", [] { return Bmp24(4097, 1, 4097 * 3 + 3); }},
        LyingPicture{"PngCutTo3000Bytes", [] { return Cut(NoisyPng(64, 64), 3000); }},
        LyingPicture{"PngWithoutIend",
                     [] {
                         Bytes png = NoisyPng(8, 8);
                         return Cut(png, png.size() - 12);
                     }},
        LyingPicture{"PngChunkLongerThanTheFile",
                     [] {
                         Bytes png = NoisyPng(8, 8);
                         png[33] = 0x7F;  // the length of the chunk after IHDR
                         return png;
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PictureCheckTest, TopDownBmpDecodesLikeItsBottomUpTwin) {
    // 2 x 2, 24-bit: rows of 6 pixel bytes padded to 8.
    const Bytes rowTop = {1, 2, 3, 4, 5, 6, 0, 0}, rowBottom = {7, 8, 9, 10, 11, 12, 0, 0};
    Bytes bottomUp = Bmp24(2, 2, 16), topDown = Bmp24(2, -2, 16);
    std::copy(rowBottom.begin(), rowBottom.end(), bottomUp.begin() + 54);
    std::copy(rowTop.begin(), rowTop.end(), bottomUp.begin() + 62);
    std::copy(rowTop.begin(), rowTop.end(), topDown.begin() + 54);
    std::copy(rowBottom.begin(), rowBottom.end(), topDown.begin() + 62);
    const auto a = DecodeImage(bottomUp), b = DecodeImage(topDown);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(b->height, 2);
    EXPECT_EQ(b->pixels, a->pixels);
    EXPECT_EQ(b->At(0, 0), 0xFF030201u);
    const auto size = ImageInfo(topDown);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->height, 2);
    // The largest accepted side still decodes.
    EXPECT_TRUE(DecodeImage(Bmp24(kMaxPictureSide, 1, kMaxPictureSide * 3)));
}

}  // namespace
}  // namespace platform
