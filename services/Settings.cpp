#include "services/Settings.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>

#include "platform/files.h"

namespace MyApp {
namespace {

constexpr const char* kFolder = "KryxSpace";
constexpr const char* kFileName = "settings.ini";
// Window placements beyond this are taken as damage, not as a screen.
constexpr int kMaxCoordinate = 100000;

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// "section.key" -> value, for every well-formed "key=value" line.
std::map<std::string, std::string_view> ReadEntries(std::string_view text) {
    std::map<std::string, std::string_view> entries;
    std::string section;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = std::string(Trim(line.substr(1, line.size() - 2)));
        } else if (const auto eq = line.find('='); eq != std::string_view::npos) {
            entries[section + "." + std::string(Trim(line.substr(0, eq)))] =
                Trim(line.substr(eq + 1));
        }
    }
    return entries;
}

std::optional<int> ReadInt(const std::map<std::string, std::string_view>& entries,
                           const std::string& key, int min, int max) {
    const auto it = entries.find(key);
    if (it == entries.end()) {
        return std::nullopt;
    }
    const std::string_view v = it->second;
    int value = 0;
    const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (error != std::errc{} || end != v.data() + v.size() || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

void ReadBool(const std::map<std::string, std::string_view>& entries, const std::string& key,
              bool* out) {
    if (const auto value = ReadInt(entries, key, 0, 1)) {
        *out = *value == 1;
    }
}

WindowSettings ReadWindow(const std::map<std::string, std::string_view>& entries) {
    WindowSettings window;
    const auto known = ReadInt(entries, "window.known", 0, 1);
    const auto x = ReadInt(entries, "window.x", -kMaxCoordinate, kMaxCoordinate);
    const auto y = ReadInt(entries, "window.y", -kMaxCoordinate, kMaxCoordinate);
    const auto width = ReadInt(entries, "window.width", 1, kMaxCoordinate);
    const auto height = ReadInt(entries, "window.height", 1, kMaxCoordinate);
    if (known == 1 && x && y && width && height) {
        window = {true, *x, *y, *width, *height, false};
    }
    ReadBool(entries, "window.fullscreen", &window.fullscreen);
    return window;
}

}  // namespace

std::string SettingsFilePath() {
    const std::string base = platform::UserConfigFolder();
    return base.empty() ? std::string() : base + "\\" + kFolder + "\\" + kFileName;
}

Settings ParseSettings(std::string_view text) {
    const auto entries = ReadEntries(text);
    Settings settings;
    ReadBool(entries, "game.joystick", &settings.joystick);
    ReadBool(entries, "sound.mute", &settings.mute);
    if (const auto volume = ReadInt(entries, "sound.volume", 0, 100);
        volume && std::find(std::begin(kVolumeSteps), std::end(kVolumeSteps), *volume) !=
                      std::end(kVolumeSteps)) {
        settings.volume = *volume;
    }
    settings.window = ReadWindow(entries);
    return settings;
}

std::string FormatSettings(const Settings& s) {
    const WindowSettings& w = s.window;
    return "# Kryx Space settings, rewritten by the game\n"
           "[game]\njoystick=" +
           std::to_string(s.joystick) + "\n[sound]\nmute=" + std::to_string(s.mute) +
           "\nvolume=" + std::to_string(s.volume) + "\n[window]\nknown=" + std::to_string(w.known) +
           "\nx=" + std::to_string(w.x) + "\ny=" + std::to_string(w.y) +
           "\nwidth=" + std::to_string(w.width) + "\nheight=" + std::to_string(w.height) +
           "\nfullscreen=" + std::to_string(w.fullscreen) + "\n";
}

Settings LoadSettings(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    const auto bytes = platform::ReadWholeFile(path);
    if (!bytes) {
        return {};
    }
    return ParseSettings(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

bool SaveSettings(const std::string& path, const Settings& settings) {
    const auto slash = path.find_last_of("\\/");
    if (path.empty() || slash == std::string::npos || slash == 0) {
        return false;
    }
    const std::string folder = path.substr(0, slash);
    const auto parentSlash = folder.find_last_of("\\/");
    if (!platform::DirectoryExists(folder)) {
        if (parentSlash != std::string::npos && parentSlash > 0 &&
            !platform::DirectoryExists(folder.substr(0, parentSlash))) {
            platform::CreateFolder(folder.substr(0, parentSlash));
        }
        platform::CreateFolder(folder);
    }
    return platform::WriteFileAtomically(path, FormatSettings(settings));
}

}  // namespace MyApp
