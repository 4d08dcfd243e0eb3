// The player's options on the main window: the "Audio" submenu and the key M reaching the
// sound output, the settings file read at start and written on every change, and game pads
// starting, pausing and (unplugged) pausing the game.
#include <fstream>
#include <sstream>

#include "app/shell/Program.h"
#include "platform/gamepad.h"
#include "platform/sound.h"
#include "tests/shell/ShellFixture.h"
#include "toolkit/Menus.h"

namespace shell_test {
namespace {

namespace hl = platform::headless;
using MyApp::FormMain;

MyApp::Settings With(bool joystick, bool mute, int volume) {
    MyApp::Settings s;
    s.joystick = joystick;
    s.mute = mute;
    s.volume = volume;
    return s;
}

class LevelOutput : public platform::SoundOutput {
  public:
    void Play(int, bool) override {}
    void Stop() override {}
    void SetLevel(bool m, int v) override {
        mute = m;
        volume = v;
    }
    bool mute = false;
    int volume = -1;
};

class ScriptedPads : public platform::GamepadBackend {
  public:
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
    // Opens the main window with settings and a settings file under the test's folder.
    FormMain& OpenWith(const MyApp::Settings& settings) {
        form_ = new FormMain(platform::GetModuleHandleW(nullptr), "..\\data", MyApp::kWindowTitle,
                             settings);
        form_->settingsFile = SettingsFile();
        platform::SetForegroundWindowHandle(form_->handle);
        return *form_;
    }
    std::string SettingsFile() const { return (root_ / "config" / "settings.ini").string(); }
    FormMain& StartLevel() {
        FormMain& form = OpenWith(With(true, false, 100));
        hl::RunFor(1600);
        Hold('G');
        EXPECT_TRUE(RunUntil([&] { return form.fields.levelRunning; }, 6000));
        return form;
    }
    LevelOutput output_;
    ScriptedPads pads_;
};

TEST_F(OptionsTest, AudioMenuAndKeyMReachTheOutputAndTheFile) {
    FormMain& form = OpenWith(With(false, false, 75));
    EXPECT_FALSE(output_.mute);
    EXPECT_EQ(output_.volume, 75);
    EXPECT_TRUE(form.volumeItems[2]->IsChecked());

    Choose(form.muteItem);
    EXPECT_TRUE(form.muteItem->IsChecked());
    EXPECT_TRUE(output_.mute);
    EXPECT_TRUE(MyApp::LoadSettings(SettingsFile()).mute);

    hl::TypeText(L"m");
    hl::RunUntilIdle();
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
    EXPECT_EQ(saved.volume, 25);
    EXPECT_FALSE(saved.mute);
    EXPECT_TRUE(saved.joystick);
}

TEST_F(OptionsTest, SettingsFromTheFileStartTheWindowAndAreSavedAtTheEnd) {
    ::setenv("XDG_CONFIG_HOME", (root_ / "cfg").c_str(), 1);
    MyApp::Settings stored = With(true, true, 50);
    stored.window = {true, 10, 20, 640, 505, false};
    ASSERT_TRUE(MyApp::SaveSettings(MyApp::SettingsFilePath(), stored));
    bool checked = false;
    const auto start = platform::MonotonicNow();
    hl::SetIdleHook([&] {
        if (checked || platform::MonotonicNow() - start < 500 * platform::kTicksPerMs) {
            return false;
        }
        checked = true;
        EXPECT_TRUE(MyApp::mainForm->joystickItem->IsChecked());
        EXPECT_TRUE(MyApp::mainForm->muteItem->IsChecked());
        EXPECT_TRUE(MyApp::mainForm->volumeItems[1]->IsChecked());
        MyApp::mainForm->settings.volume = 100;
        hl::QueueMessageBoxAnswer(platform::IDYES);
        platform::PostMessageW(TekuUtility::mainWindow, platform::WM_CLOSE, 0, 0);
        return true;
    });
    const std::string file = MyApp::SettingsFilePath();
    EXPECT_EQ(MyApp::RunProgram({}, MyApp::LoadSettings(file), file), 0);
    hl::SetIdleHook(nullptr);
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(checked);
    EXPECT_TRUE(output_.mute);
    const MyApp::Settings after = MyApp::LoadSettings(file);
    EXPECT_EQ(after.volume, 100);
    EXPECT_TRUE(after.window.known);
    EXPECT_EQ(after.window.x, 10);
}

TEST_F(OptionsTest, PadStartStartsAGameThenPausesAndResumesIt) {
    FormMain& form = OpenWith(With(true, false, 100));
    hl::RunFor(1600);
    pads_.controls.start = true;
    hl::RunFor(90);
    EXPECT_TRUE(BannerVisible());
    EXPECT_FALSE(form.fields.paused);
    pads_.controls.start = false;
    ASSERT_TRUE(RunUntil([&] { return form.fields.levelRunning; }, 6000));

    // One press, held over many ticks, toggles once.
    pads_.controls.start = true;
    hl::RunFor(300);
    EXPECT_TRUE(form.fields.paused);
    pads_.controls.start = false;
    hl::RunFor(60);
    pads_.controls.start = true;
    hl::RunFor(60);
    EXPECT_FALSE(form.fields.paused);
}

TEST_F(OptionsTest, PadMovesAndFiresAndUnpluggingPausesOnlyARunningGame) {
    FormMain& form = StartLevel();
    const double x = Object(1)->x;
    pads_.controls.left = true;
    hl::RunFor(400);
    pads_.controls.left = false;
    EXPECT_LT(Object(1)->x, x - 0.3);

    pads_.unplugged = 1;
    hl::RunFor(60);
    EXPECT_TRUE(form.fields.paused);
    // Unplugging while paused leaves the pause on.
    pads_.unplugged = 1;
    hl::RunFor(60);
    EXPECT_TRUE(form.fields.paused);

    // With the joystick item off, pads count for nothing.
    hl::TypeText(L"p");
    hl::RunUntilIdle();
    Choose(form.joystickItem);
    ASSERT_FALSE(form.fields.joystickEnabled);
    pads_.unplugged = 1;
    pads_.controls.right = true;
    const double before = Object(1)->x;
    hl::RunFor(300);
    EXPECT_FALSE(form.fields.paused);
    EXPECT_DOUBLE_EQ(Object(1)->x, before);
}

}  // namespace
}  // namespace shell_test
