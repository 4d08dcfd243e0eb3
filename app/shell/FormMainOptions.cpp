// FormMain's player options: the "Audio" submenu under "Opzioni" (mute, also on the key M,
// and four volume steps), the game pads' Start and unplugging, and the settings file that
// keeps the options between runs.
#include "app/shell/FormMain.h"

#include "platform/gamepad.h"
#include "platform/sound.h"
#include "toolkit/Menus.h"

namespace MyApp {

namespace {

bool SameId(const TekuUtility::GUIElement* a, const TekuUtility::GUIElement* b) {
    return a != nullptr && b != nullptr && a->id == b->id;
}

}  // namespace

void FormMain::BuildAudioMenu() {
    using TekuUtility::SubMenu;
    audioItem = menuItems_.Make<SubMenu>(optionsMenu, "A&udio");
    muteItem = menuItems_.Make<SubMenu>(audioItem, "&Disattiva audio");
    muteItem->SetCheckable(true);
    muteItem->SetChecked(settings.mute);
    for (std::size_t i = 0; i < volumeItems.size(); ++i) {
        auto* item =
            menuItems_.Make<SubMenu>(audioItem, "Volume " + std::to_string(kVolumeSteps[i]) + "%");
        item->SetCheckable(true);
        item->SetChecked(settings.volume == kVolumeSteps[i]);
        volumeItems[i] = item;
    }
}

bool FormMain::OnOptionCommand(TekuUtility::GUIElement* item) {
    if (SameId(item, muteItem)) {
        // The toolkit has already toggled the check mark.
        settings.mute = muteItem->IsChecked();
        ApplySoundLevel();
        SaveSettingsFile();
        return true;
    }
    for (std::size_t i = 0; i < volumeItems.size(); ++i) {
        if (SameId(item, volumeItems[i])) {
            SetVolume(kVolumeSteps[i]);
            return true;
        }
    }
    return false;
}

void FormMain::ToggleMute() {
    settings.mute = !settings.mute;
    if (muteItem != nullptr) {
        muteItem->SetChecked(settings.mute);
    }
    ApplySoundLevel();
    SaveSettingsFile();
}

void FormMain::SetVolume(int percent) {
    settings.volume = percent;
    // One step is checked at a time, the chosen one even when it was checked already.
    for (std::size_t i = 0; i < volumeItems.size(); ++i) {
        if (volumeItems[i] != nullptr) {
            volumeItems[i]->SetChecked(kVolumeSteps[i] == percent);
        }
    }
    ApplySoundLevel();
    SaveSettingsFile();
}

void FormMain::ApplySoundLevel() {
    platform::SetSoundLevel(settings.mute, settings.volume);
}

bool FormMain::SaveSettingsFile() {
    return !settingsFile.empty() && SaveSettings(settingsFile, settings);
}

void FormMain::PollGamepads() {
    const int unplugged = platform::TakeUnpluggedGamepads();
    if (!fields.joystickEnabled) {
        padStartHeld_ = false;
        return;
    }
    const bool start = platform::ReadGamepads().start;
    const bool pressed = start && !padStartHeld_;
    padStartHeld_ = start;
    if (!fields.levelRunning) {
        return;  // at the title Start starts a game, through ReadInput
    }
    // An unplugged pad pauses as losing the focus does; Start pauses and resumes as "p" does.
    if (unplugged > 0) {
        PauseRunningLevel();
    } else if (pressed) {
        TogglePause();
    }
}

}  // namespace MyApp
