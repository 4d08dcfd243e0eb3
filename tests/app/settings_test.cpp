// The settings file: a round trip through the user's configuration folder, damaged contents
// falling back to the defaults setting by setting, and a file that cannot be written.
#include "app/Settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <ostream>
#include <string_view>

#include "platform/files.h"

namespace MyApp {
namespace {

namespace fs = std::filesystem;

Settings With(bool joystick, bool mute, int volume) {
    Settings s;
    s.joystick = joystick;
    s.mute = mute;
    s.volume = volume;
    return s;
}

bool SameSettings(const Settings& a, const Settings& b) {
    const WindowSettings& u = a.window;
    const WindowSettings& v = b.window;
    return a.joystick == b.joystick && a.mute == b.mute && a.volume == b.volume &&
           u.known == v.known && u.x == v.x && u.y == v.y && u.width == v.width &&
           u.height == v.height && u.fullscreen == v.fullscreen;
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("kx-settings-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(root_);
    }
    fs::path root_;
};

TEST_F(SettingsFileTest, RoundTripMakesTheFoldersAndKeepsEveryField) {
    const std::string path = SettingsFilePath();
    EXPECT_TRUE(SameSettings(LoadSettings(path), Settings{}));  // no file yet

    Settings settings = With(true, true, 25);
    settings.window = {true, -40, 30, 800, 631, true};
    ASSERT_TRUE(SaveSettings(path, settings));
    EXPECT_TRUE(fs::exists(root_ / "config" / "KryxSpace" / "settings.ini"));
    EXPECT_TRUE(SameSettings(LoadSettings(path), settings));

    // A second save replaces the first whole.
    settings.volume = 75;
    settings.window.fullscreen = false;
    ASSERT_TRUE(SaveSettings(path, settings));
    EXPECT_TRUE(SameSettings(LoadSettings(path), settings));
}

TEST_F(SettingsFileTest, UnwritableFileLeavesTheOldOneAndTheDefaultsStand) {
    const std::string path = SettingsFilePath();
    Settings settings = With(true, false, 100);
    ASSERT_TRUE(SaveSettings(path, settings));
    {
        platform::ScopedWriteFailure full(10);
        EXPECT_FALSE(SaveSettings(path, With(false, true, 100)));
    }
    EXPECT_TRUE(SameSettings(LoadSettings(path), settings));

    // A configuration "folder" that is a file: nothing can be written or read there.
    std::ofstream(root_ / "blocked") << "x";
    ::setenv("XDG_CONFIG_HOME", (root_ / "blocked").c_str(), 1);
    EXPECT_FALSE(SaveSettings(SettingsFilePath(), settings));
    EXPECT_TRUE(SameSettings(LoadSettings(SettingsFilePath()), Settings{}));
    EXPECT_FALSE(SaveSettings("", settings));
}

struct DamagedCase {
    const char* text;
    Settings expected;
};

// Named by its text's line count and length, so the test's name stays the same.
void PrintTo(const DamagedCase& c, std::ostream* os) {
    const std::string_view text = c.text;
    *os << std::count(text.begin(), text.end(), '\n') << " lines, " << text.size() << " bytes";
}

class DamagedSettings : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedSettings, UnreadableValuesKeepTheirDefaults) {
    EXPECT_TRUE(SameSettings(ParseSettings(GetParam().text), GetParam().expected));
}

Settings Placed(int x, int y, int w, int h) {
    Settings s;
    s.window = {true, x, y, w, h, false};
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DamagedSettings,
    ::testing::Values(
        DamagedCase{"\x01\xff\xfe garbage\n===\n[\n", Settings{}},
        DamagedCase{"[sound]\nvolume=60\nmute=yes\n[game]\njoystick=2\n", Settings{}},
        DamagedCase{"[sound]\r\nvolume = 50 \r\nmute=1x\r\n", With(false, false, 50)},
        // Keys count only in their own section.
        DamagedCase{"[window]\njoystick=1\n[game]\nvolume=25\n", Settings{}},
        DamagedCase{"[window]\nknown=1\nx=5\ny=6\nwidth=700\nheight=500\n",
                    Placed(5, 6, 700, 500)},
        // A placement with a part missing or out of range is no placement.
        DamagedCase{"[window]\nknown=1\nx=5\ny=6\nwidth=0\nheight=500\n", Settings{}},
        DamagedCase{"[window]\nknown=1\nx=99999999999\ny=6\nwidth=70\nheight=50\n",
                    Settings{}},
        DamagedCase{"[window]\nknown=1\nx=5\ny=6\nwidth=70\n", Settings{}}));

}  // namespace
}  // namespace MyApp
