#include "platform/sdl/sdl_sound.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/resources.h"

namespace platform::sdl {
namespace {

// Bytes per second of the disk driver's output: 16-bit stereo at 48 kHz.
constexpr double kBytesPerSecond = 48000.0 * 4;

void Wait(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Records what the output plays into a file through SDL's disk driver.
class DiskRecording : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = "/tmp/kx_sound_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
    }
    void TearDown() override {
        std::remove(path_.c_str());
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    // The recorded samples (the output must be destroyed first so the file is complete).
    std::vector<std::int16_t> Samples() const {
        std::ifstream in(path_, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        std::vector<std::int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }
    // Seconds from the first sample louder than a whisper to the last one, and from that last
    // one to the end of the recording; -1 for silence.
    std::pair<double, double> AudibleSpanAndTail() const {
        const std::vector<std::int16_t> s = Samples();
        std::size_t first = s.size(), last = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] > 64 || s[i] < -64) {
                first = std::min(first, i);
                last = i;
            }
        }
        if (first == s.size()) {
            return {-1, -1};
        }
        return {static_cast<double>(last - first) * 2 / kBytesPerSecond,
                static_cast<double>(s.size() - last) * 2 / kBytesPerSecond};
    }
    std::string path_;
};

TEST_F(DiskRecording, ALoopRepeatsUntilANewSoundCutsItAndStopSilencesAtOnce) {
    {
        SdlSoundOutput output;
        ASSERT_TRUE(output.HasDevice());
        output.Play(1024, true);
        Wait(1.6);
        EXPECT_TRUE(output.Playing());
        output.Play(1024, false);
        Wait(0.9);
        EXPECT_FALSE(output.Playing());  // the loop did not come back after the one-shot
        output.Play(1026, true);
        Wait(0.3);
        output.Stop();
        EXPECT_FALSE(output.Playing());
        Wait(0.8);
    }
    const auto [span, tail] = AudibleSpanAndTail();
    EXPECT_GT(span, 1.1);  // at least two rounds of a 0.57 s sound
    // Everything after the stop (plus a buffer or two in flight) is silence.
    EXPECT_GT(tail, 0.5);
}

TEST_F(DiskRecording, EveryResourceFormatIsConvertedToTheDeviceFormat) {
    SdlSoundOutput output;
    ASSERT_TRUE(output.HasDevice());
    for (int id : {1023, 1024, 1026}) {
        const auto wave = FindResource(ResourceType::Wave, id);
        ASSERT_TRUE(wave) << id;
        const auto converted = output.Convert(*wave);
        ASSERT_TRUE(converted) << id;
        const double seconds = static_cast<double>(converted->size()) / kBytesPerSecond;
        const double expected = id == 1023 ? 0.83 : id == 1024 ? 0.57 : 0.99;
        EXPECT_NEAR(seconds, expected, 0.05) << id;
        EXPECT_EQ(converted->size() % 4, 0u) << id;
    }
    const std::uint8_t junk[] = {'R', 'I', 'F', 'F', 0, 0};
    EXPECT_FALSE(output.Convert(junk));
}

TEST_F(DiskRecording, MuteSilencesAndTheVolumeScalesWhatPlays) {
    // Plays one effect at a level to the end (muted effects still take their time); its peak.
    auto peak = [this](bool mute, int volume) {
        {
            SdlSoundOutput output;
            output.SetLevel(mute, volume);
            output.Play(1024, false);  // about 0.57 s
            Wait(0.3);
            EXPECT_TRUE(output.Playing());
            Wait(0.6);
            EXPECT_FALSE(output.Playing());
        }
        int loudest = 0;
        for (std::int16_t s : Samples()) {
            loudest = std::max(loudest, std::abs(static_cast<int>(s)));
        }
        return loudest;
    };
    const int full = peak(false, 100);
    ASSERT_GT(full, 1000);
    EXPECT_EQ(peak(true, 100), 0);
    EXPECT_NEAR(peak(false, 50), full / 2, full / 20);
    EXPECT_NEAR(peak(false, 25), full / 4, full / 20);
}

// An unknown driver, and ALSA on a machine without a sound card, open no device: the output
// falls back to the dummy driver and every call still works.
TEST(SdlSound, WithoutAUsableDriverTheOutputFallsBackToSilence) {
    std::vector<const char*> drivers{"no-such-driver"};
    if (access("/dev/snd", F_OK) != 0) {
        drivers.push_back("alsa");
    }
    for (const char* driver : drivers) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        SdlSoundOutput output;
        EXPECT_TRUE(output.HasDevice()) << driver;
        output.Play(1023, true);
        EXPECT_TRUE(output.Playing());
        output.Play(4242, false);  // no such resource: it cuts the loop, nothing plays
        EXPECT_FALSE(output.Playing());
        output.Stop();
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
}  // namespace platform::sdl
