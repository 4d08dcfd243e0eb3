// The settings file: a round trip through the user's configuration folder, damaged contents
// falling back to the defaults setting by setting, and a file that cannot be written.
#include "services/Settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/files.h"

namespace MyApp {
namespace {

namespace fs = std::filesystem;

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

TEST_F(SettingsFileTest, RoundTripKeepsEveryFieldAndFailuresLeaveTheDefaultsOrTheOldFile) {
    const std::string path = SettingsFilePath();
    const std::string defaults = FormatSettings(Settings{});
    EXPECT_EQ(FormatSettings(LoadSettings(path)), defaults);  // no file yet

    Settings settings;
    settings.joystick = settings.mute = true;
    settings.volume = 25;
    settings.window = {true, -40, 30, 800, 631, true};
    ASSERT_TRUE(SaveSettings(path, settings));  // makes the missing folders
    EXPECT_TRUE(fs::exists(root_ / "config" / "KryxSpace" / "settings.ini"));
    EXPECT_EQ(FormatSettings(LoadSettings(path)), FormatSettings(settings));

    {
        platform::ScopedWriteFailure full(10);
        EXPECT_FALSE(SaveSettings(path, Settings{}));
    }
    EXPECT_EQ(FormatSettings(LoadSettings(path)), FormatSettings(settings));

    // A configuration "folder" that is a file: nothing is written, the defaults stand.
    std::ofstream(root_ / "blocked") << "x";
    ::setenv("XDG_CONFIG_HOME", (root_ / "blocked").c_str(), 1);
    EXPECT_FALSE(SaveSettings(SettingsFilePath(), settings));
    EXPECT_EQ(FormatSettings(LoadSettings(SettingsFilePath())), defaults);
}

struct DamagedCase {
    const char* name;
    const char* text;
    int volume;
    bool windowKnown;
};

void PrintTo(const DamagedCase& c, std::ostream* os) {
    *os << c.name;
}

class DamagedSettings : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedSettings, UnreadableValuesKeepTheirDefaults) {
    const Settings s = ParseSettings(GetParam().text);
    EXPECT_FALSE(s.joystick || s.mute);
    EXPECT_EQ(s.volume, GetParam().volume);
    EXPECT_EQ(s.window.known, GetParam().windowKnown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DamagedSettings,
    ::testing::Values(
        DamagedCase{"garbage", "\x01\xff\xfe garbage\n===\n[\n", 100, false},
        DamagedCase{"bad_values", "[sound]\nvolume=60\nmute=yes\n[game]\njoystick=2\n", 100, false},
        DamagedCase{"crlf_and_junk", "[sound]\r\nvolume = 50 \r\nmute=1x\r\n", 50, false},
        DamagedCase{"wrong_section", "[window]\njoystick=1\n[game]\nvolume=25\n", 100, false},
        DamagedCase{"placement", "[window]\nknown=1\nx=5\ny=6\nwidth=700\nheight=500\n", 100, true},
        DamagedCase{"bad_size", "[window]\nknown=1\nx=5\ny=6\nwidth=0\nheight=500\n", 100, false},
        DamagedCase{"huge", "[window]\nknown=1\nx=99999999999\ny=6\nwidth=7\nheight=5\n", 100,
                    false},
        DamagedCase{"part_missing", "[window]\nknown=1\nx=5\ny=6\nwidth=70\n", 100, false}));

}  // namespace
}  // namespace MyApp
