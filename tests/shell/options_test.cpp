// The player's options on the main window: the "Audio" submenu and the key M reaching the
// sound output, the settings file read at start and written on every change, and game pads
// starting, pausing and (unplugged) pausing the game.
#include "platform/gamepad.h"
#include "platform/sound.h"
#include "tests/shell/ShellFixture.h"
#include "toolkit/Menus.h"

namespace shell_test {
namespace {

namespace hl = platform::headless;
using MyApp::FormMain;

struct LevelOutput : platform::SoundOutput {
    void Play(int, bool) override {}
    void Stop() override {}
    void SetLevel(bool m, int v) override { mute = m, volume = v; }
    bool mute = false;
    int volume = -1;
};

struct ScriptedPads : platform::GamepadBackend {
    platform::PadControls Read() override { return controls; }
    int TakeUnplugged() override { return std::exchange(unplugged, 0); }
    platform::PadControls controls;
    int unplugged = 0;
};

class OptionsTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        platform::SetSoundOutput(&output_);
        platform::SetGamepadBackend(&pads_);
    }
    void TearDown() override {
        ShellTest::TearDown();
        platform::SetSoundOutput(nullptr);
        platform::SetGamepadBackend(nullptr);
    }
    // Opens the main window with these settings and a settings file under the test's folder.
    FormMain& OpenWith(bool joystick, int volume) {
        MyApp::Settings settings;
        settings.joystick = joystick;
        settings.volume = volume;
        form_ = new FormMain(platform::GetModuleHandleW(nullptr), "..\\data", MyApp::kWindowTitle,
                             settings);
        form_->settingsFile = SettingsFile();
        platform::SetForegroundWindowHandle(form_->handle);
        return *form_;
    }
    std::string SettingsFile() const { return (root_ / "config" / "settings.ini").string(); }
    LevelOutput output_;
    ScriptedPads pads_;
};

TEST_F(OptionsTest, AudioMenuAndKeyMReachTheOutputAndTheFile) {
    FormMain& form = OpenWith(false, 75);
    EXPECT_FALSE(output_.mute);
    EXPECT_EQ(output_.volume, 75);
    EXPECT_TRUE(form.volumeItems[2]->IsChecked());
    EXPECT_FALSE(form.joystickItem->IsChecked());

    Choose(form.muteItem);
    EXPECT_TRUE(form.muteItem->IsChecked());
    EXPECT_TRUE(output_.mute);
    EXPECT_TRUE(MyApp::LoadSettings(SettingsFile()).mute);

    Type(L"m");
    EXPECT_FALSE(output_.mute);
    EXPECT_FALSE(form.muteItem->IsChecked());

    // The volume steps check like radio items; choosing the checked one keeps it checked.
    Choose(form.volumeItems[0]);
    Choose(form.volumeItems[0]);
    EXPECT_EQ(output_.volume, 25);
    for (std::size_t i = 0; i < form.volumeItems.size(); ++i) {
        EXPECT_EQ(form.volumeItems[i]->IsChecked(), i == 0) << i;
    }
    Choose(form.joystickItem);
    const MyApp::Settings saved = MyApp::LoadSettings(SettingsFile());
    EXPECT_TRUE(saved.joystick && !saved.mute && saved.volume == 25);
}

TEST_F(OptionsTest, PadStartsMovesPausesAndUnpluggingPausesARunningGame) {
    FormMain& form = OpenWith(true, 100);
    EXPECT_TRUE(form.joystickItem->IsChecked());
    hl::RunFor(1600);
    pads_.controls.start = true;  // starts, and held into the level it does not pause
    ASSERT_TRUE(RunUntil([&] { return form.fields.levelRunning; }, 6000));
    EXPECT_FALSE(form.fields.paused);
    pads_.controls = platform::PadControls{.left = true};
    const double x = Object(1)->x;
    hl::RunFor(400);
    EXPECT_LT(Object(1)->x, x - 0.3);

    pads_.controls = platform::PadControls{.start = true};
    hl::RunFor(300);
    EXPECT_TRUE(form.fields.paused);
    pads_.controls = {};
    hl::RunFor(60);
    pads_.controls = platform::PadControls{.start = true};
    hl::RunFor(60);
    EXPECT_FALSE(form.fields.paused);

    pads_.unplugged = 1;
    hl::RunFor(60);
    EXPECT_TRUE(form.fields.paused);
    pads_.unplugged = 1;  // while paused it stays paused
    hl::RunFor(60);
    EXPECT_TRUE(form.fields.paused);

    // With the joystick item off, pads count for nothing.
    Type(L"p");
    Choose(form.joystickItem);
    pads_.unplugged = 1;
    pads_.controls = platform::PadControls{.right = true};
    const double before = Object(1)->x;
    hl::RunFor(300);
    EXPECT_FALSE(form.fields.paused);
    EXPECT_DOUBLE_EQ(Object(1)->x, before);
}

}  // namespace
}  // namespace shell_test
