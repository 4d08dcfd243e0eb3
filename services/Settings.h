// The player's settings kept between runs in "settings.ini" under the user's configuration
// folder: the joystick item, the sound's mute and volume, and the window's placement.
#pragma once

#include <string>
#include <string_view>

namespace MyApp {

struct WindowSettings {
    bool known = false;  // the fields below were saved by an earlier run
    int x = 0, y = 0, width = 0, height = 0;
    bool fullscreen = false;
};

struct Settings {
    bool joystick = false;
    bool mute = false;
    int volume = 100;  // one of kVolumeSteps
    WindowSettings window;
};

inline constexpr int kVolumeSteps[] = {25, 50, 75, 100};

// "<config folder>\KryxSpace\settings.ini"; "" when the user has no configuration folder.
std::string SettingsFilePath();

// The settings a text holds. Lines that cannot be read, and values out of their range, leave
// their setting at its default; the window's placement counts only when whole.
Settings ParseSettings(std::string_view text);
std::string FormatSettings(const Settings& settings);

// The stored settings; the defaults when the file is missing or unreadable.
Settings LoadSettings(const std::string& path);
// Writes the settings whole (temporary file, then rename), making the file's folder and its
// parent when missing. False when that fails; the old file then stays as it was.
bool SaveSettings(const std::string& path, const Settings& settings);

}  // namespace MyApp
