// The resources embedded in the executable: found by type and id, in the agreed formats.
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <vector>

#include "platform/images/images.h"
#include "resources/ResourceIds.h"
#include "test_support.h"

namespace {

using platform::FindResource;
using platform::ResourceType;

struct Wave {
    std::uint32_t format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<std::int16_t> samples;  // interleaved
    double Seconds() const {
        return static_cast<double>(samples.size()) / channels / static_cast<double>(rate);
    }
};

// Reads a RIFF/WAVE file chunk by chunk; fails the test on a malformed file.
Wave ParseWave(std::span<const std::uint8_t> b) {
    Wave w;
    EXPECT_GE(b.size(), 44u);
    if (b.size() < 12) {
        return w;
    }
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(kxtest::Le32(&b[4]), b.size() - 8);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "WAVE");
    std::size_t pos = 12;
    while (pos + 8 <= b.size()) {
        const std::string id(b.begin() + pos, b.begin() + pos + 4);
        const std::uint32_t size = kxtest::Le32(&b[pos + 4]);
        if (pos + 8 + size > b.size()) {
            ADD_FAILURE() << "chunk " << id << " runs past the end";
            break;
        }
        const std::uint8_t* d = &b[pos + 8];
        if (id == "fmt ") {
            w.format = kxtest::Le16(d);
            w.channels = kxtest::Le16(d + 2);
            w.rate = kxtest::Le32(d + 4);
            EXPECT_EQ(kxtest::Le32(d + 8), w.rate * w.channels * 2);  // byte rate
            EXPECT_EQ(kxtest::Le16(d + 12), w.channels * 2);          // block align
            w.bits = kxtest::Le16(d + 14);
        } else if (id == "data") {
            for (std::uint32_t i = 0; i + 1 < size; i += 2) {
                w.samples.push_back(static_cast<std::int16_t>(kxtest::Le16(d + i)));
            }
        }
        pos += 8 + size + (size & 1);
    }
    return w;
}

struct WaveCase {
    int id;
    std::uint32_t channels, rate;
    double seconds;
    friend void PrintTo(const WaveCase& c, std::ostream* os) { *os << "WAVE " << c.id; }
};

class WaveResourcesTest : public ::testing::TestWithParam<WaveCase> {};

TEST_P(WaveResourcesTest, IsLoudSixteenBitPcmOfItsFormatAndLength) {
    const auto bytes = FindResource(ResourceType::Wave, GetParam().id);
    ASSERT_TRUE(bytes.has_value());
    const Wave w = ParseWave(*bytes);
    EXPECT_EQ(w.format, 1u);
    EXPECT_EQ(w.channels, GetParam().channels);
    EXPECT_EQ(w.rate, GetParam().rate);
    EXPECT_EQ(w.bits, 16u);
    EXPECT_NEAR(w.Seconds(), GetParam().seconds, 0.02);
    ASSERT_FALSE(w.samples.empty());
    EXPECT_GT(std::abs(std::ranges::max(w.samples, {}, [](int s) { return std::abs(s); })), 8000);
}

INSTANTIATE_TEST_SUITE_P(Sounds, WaveResourcesTest,
                         ::testing::Values(WaveCase{resources::kWaveShot, 2, 48000, 0.83},
                                           WaveCase{resources::kWaveHit, 1, 44100, 0.57},
                                           WaveCase{resources::kWaveAlarm, 1, 44100, 0.99}));

TEST(WaveLoopTest, AlarmLoopsWithoutAClick) {
    const auto bytes = FindResource(ResourceType::Wave, resources::kWaveAlarm);
    ASSERT_TRUE(bytes.has_value());
    const Wave w = ParseWave(*bytes);
    ASSERT_GT(w.samples.size(), 100u);
    // The step across the seam (last sample to first) is no larger than the steps inside.
    int largestStep = 0;
    for (std::size_t i = 1; i < w.samples.size(); ++i) {
        largestStep = std::max(largestStep, std::abs(w.samples[i] - w.samples[i - 1]));
    }
    const int seam = std::abs(w.samples.front() - w.samples.back());
    EXPECT_LE(seam, largestStep);
    // and the waveform continues: the sample before the seam predicts the one after it
    const int predicted = 2 * w.samples.back() - w.samples[w.samples.size() - 2];
    EXPECT_LE(std::abs(predicted - w.samples.front()), largestStep / 4);
}

// A resource decoded as a picture; fails the test when it is missing or does not decode.
platform::Image Picture(ResourceType type, int id) {
    const auto bytes = FindResource(type, id);
    EXPECT_TRUE(bytes.has_value());
    auto image = bytes ? platform::DecodeImage(*bytes) : std::nullopt;
    EXPECT_TRUE(image.has_value());
    return image.value_or(platform::Image{});
}

int Alpha(const platform::Image& p, int x, int y) {
    return static_cast<int>(p.At(x, y) >> 24);
}

// Each of red, green and blue as high (H, above 150), low (L, below 100) or neither (?).
std::string Coarse(std::uint32_t pixel) {
    std::string s;
    for (int shift : {16, 8, 0}) {
        const int v = (pixel >> shift) & 0xFF;
        s += v > 150 ? 'H' : v < 100 ? 'L' : '?';
    }
    return s;
}

TEST(PictureResourcesTest, EnergyBarSheetHasSevenBandsEmptyingFromTheRight) {
    const platform::Image sheet = Picture(ResourceType::RcData, resources::kEnergyBarSheet);
    ASSERT_EQ(sheet.width, 128);
    ASSERT_EQ(sheet.height, 168);
    // The boxes of band 0 along its middle row: runs of opaque pixels.
    std::vector<std::pair<int, int>> boxes;
    for (int x = 0, start = -1; x <= sheet.width; ++x) {
        const bool solid = x < sheet.width && Alpha(sheet, x, 12) > 128;
        if (solid && start < 0) {
            start = x;
        }
        if (!solid && start >= 0) {
            boxes.emplace_back(start, x);
            start = -1;
        }
    }
    ASSERT_EQ(boxes.size(), 6u);
    const char* colours[6] = {"HLL", "HLL", "HHL", "HHL", "LHL", "LHL"};  // red, yellow, green
    for (int band = 0; band < 7; ++band) {
        SCOPED_TRACE(band);
        const int y = band * 24 + 12;
        for (int i = 0; i < 6; ++i) {
            const int cx = (boxes[i].first + boxes[i].second) / 2;
            if (i < 6 - band) {
                EXPECT_EQ(Alpha(sheet, cx, y), 255);
                EXPECT_EQ(Coarse(sheet.At(cx, y)), colours[i]) << "box " << i;
            } else {
                EXPECT_EQ(Alpha(sheet, cx, y), 0) << "box " << i << " should be an empty outline";
                EXPECT_GT(Alpha(sheet, boxes[i].first, y), 0) << "box " << i << " has no outline";
            }
        }
        // transparent between the boxes and between the bands
        EXPECT_EQ(Alpha(sheet, (boxes[0].second + boxes[1].first) / 2, y), 0);
        EXPECT_EQ(Alpha(sheet, 64, band * 24), 0);
    }
}

TEST(PictureResourcesTest, IconIsASquareWithTransparentCornersAndTheAboutPictureA164By50Bmp) {
    const platform::Image icon = Picture(ResourceType::Icon, resources::kMainIcon);
    EXPECT_EQ(icon.width, icon.height);
    EXPECT_TRUE(icon.width == 32 || icon.width == 48) << icon.width;
    ASSERT_FALSE(icon.Empty());
    EXPECT_EQ(Alpha(icon, 0, 0), 0);
    const auto opaque = std::count_if(icon.pixels.begin(), icon.pixels.end(),
                                      [](std::uint32_t p) { return (p >> 24) == 255; });
    EXPECT_GT(opaque, icon.width * icon.height / 8);  // the ship covers a fair part of it

    const auto about = FindResource(ResourceType::Bitmap, resources::kAboutBitmap);
    ASSERT_TRUE(about.has_value());
    kxtest::ExpectBmp24(*about, 164, 50);  // rows of 492 bytes need no padding
}

TEST(ResourceLookupTest, TypeAndIdMustBothMatchAndGiveTheFilesOfTheResourcesFolder) {
    EXPECT_FALSE(FindResource(ResourceType::Wave, resources::kEnergyBarSheet).has_value());
    EXPECT_FALSE(FindResource(ResourceType::RcData, resources::kWaveShot).has_value());
    EXPECT_FALSE(FindResource(ResourceType::Icon, 9999).has_value());
    EXPECT_FALSE(FindResource(ResourceType::Wave, -1023).has_value());

    const auto dir = kxtest::SourceDir() / "resources";
    const std::pair<const char*, std::pair<ResourceType, int>> files[] = {
        {"WAVE_1023.wav", {ResourceType::Wave, 1023}},
        {"WAVE_1024.wav", {ResourceType::Wave, 1024}},
        {"WAVE_1026.wav", {ResourceType::Wave, 1026}},
        {"RCDATA_1025.png", {ResourceType::RcData, 1025}},
        {"ICON_1005.png", {ResourceType::Icon, 1005}},
        {"BITMAP_1006.bmp", {ResourceType::Bitmap, 1006}}};
    for (const auto& [file, key] : files) {
        SCOPED_TRACE(file);
        const auto res = FindResource(key.first, key.second);
        ASSERT_TRUE(res.has_value());
        const auto disk = kxtest::ReadBytes(dir / file);
        EXPECT_TRUE(std::equal(res->begin(), res->end(), disk.begin(), disk.end()));
    }
}

}  // namespace
