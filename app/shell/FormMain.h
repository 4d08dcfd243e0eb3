// The game's main window: the menu bar, the 3D panel, the banner picture that covers it
// between levels, the status line and the 30 ms timer that runs the game tick. Carries the
// game fields and opens the About box and the name entry at the end of a game.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/shell/GameTick.h"
#include "app/shell/StateTrace.h"
#include "game/GameFields.h"
#include "services/ScoreRegistration.h"
#include "services/Settings.h"
#include "toolkit/Form.h"
#include "toolkit/OwnedChildren.h"

namespace TekuUtility {
class MenuBar;
class Menu;
class SubMenu;
class FormAbout;
class FormNamePlayer;
}  // namespace TekuUtility

namespace MyApp {

inline constexpr const char* kWindowTitle = "Kryx Space (c) 2021 Kryx Space team";
// The help page ships in the data folder; "Guida" and "Home" (the project has no page of
// its own) open it.
inline constexpr const char* kHelpPage = "\\Guida.html";
// The About box derives its mail link from this address's "http://www." form.
inline constexpr const char* kAboutAddress = "http://www.kryxspace.example";
inline constexpr const char* kScoreFolder = "KryxSpace";
inline constexpr std::int32_t kIconId = 1005;
inline constexpr std::int32_t kAboutPictureId = 1006;

class FormMain : public TekuUtility::Form {
  public:
    // Builds the window (OnLoad runs inside, when the window exists) and checks the level
    // pictures of
    // dataFolder. The joystick item and the sound start from settings.
    FormMain(TekuUtility::HINSTANCE instance, const std::string& dataFolder,
             const std::string& title, const Settings& settings = {});
    ~FormMain() override;

    void Render() override;
    virtual void OnLoad();
    virtual bool CanClose();
    virtual void OnTimer();
    virtual bool OnChar(wchar_t character);
    virtual void OnCommand(TekuUtility::GUIElement* item);
    // Pauses a game or resumes it (the "p" key and every other pause command). A game does
    // not resume while the window is minimised.
    void TogglePause();
    // The application lost the keyboard focus (active false) or got it back.
    void OnAppActivate(bool active);
    // The window was minimised (true) or shown again (false).
    void OnMinimize(bool minimized);
    // The toolkit's procedure of the main window, which the form's own procedure passes on to.
    TekuUtility::WNDPROC ToolkitProcedure() const { return toolkitProcedure_; }

    void ShowAbout();
    void BuildTitleScene();
    // Opens the name form for a game that ended with a positive score.
    void OpenNameEntry();
    // Registers the result of the name form that went away and shows the new table.
    void RegisterResult();
    // The user's session ends (a termination signal): registers a result still waiting under
    // the name typed so far and ends the message loop, without the exit question.
    void EndSession();
    // The panel's trigger test: the game defines no triggers.
    bool OnHit(std::int32_t value);

    // The player's options (FormMainOptions.cpp): the "Audio" submenu, mute on the key M,
    // the game pads' Start and unplugging, and the settings file.
    void BuildAudioMenu();
    void ToggleMute();
    void SetVolume(int percent);
    // Stores the settings in settingsFile (nothing when it is empty); false when that fails,
    // which the game takes in its stride.
    bool SaveSettingsFile();

    Settings settings;
    std::string settingsFile;

    GameFields fields;
    TekuUtility::Font formFont;
    // The menu elements, made by OnLoad and owned by the window (menuItems_).
    TekuUtility::MenuBar* menuBar = nullptr;
    TekuUtility::Menu* fileMenu = nullptr;
    TekuUtility::Menu* optionsMenu = nullptr;
    TekuUtility::Menu* helpMenu = nullptr;
    TekuUtility::SubMenu* exitItem = nullptr;
    TekuUtility::SubMenu* joystickItem = nullptr;
    TekuUtility::SubMenu* helpItem = nullptr;
    TekuUtility::SubMenu* homeItem = nullptr;
    TekuUtility::SubMenu* infoItem = nullptr;
    TekuUtility::SubMenu* audioItem = nullptr;
    TekuUtility::SubMenu* muteItem = nullptr;
    std::array<TekuUtility::SubMenu*, 4> volumeItems{};  // kVolumeSteps, in order
    std::unique_ptr<TekuUtility::FormAbout> aboutForm;
    std::unique_ptr<TekuUtility::FormNamePlayer> nameForm;
    PendingResult pending;

  private:
    // What the tick calls on this window.
    class TickDriver : public TickServices {
      public:
        explicit TickDriver(FormMain& form) : form_(form) {}
        bool UpdateLevel(int level, const Timestamp& now) override;
        void ControlPlayer(const Timestamp& now) override;
        void ControlAstronaut(const Timestamp& now) override;
        void BuildLevel(int level) override;
        bool StartPressed() override;
        void BuildTitleScene() override;
        void OpenNameEntry() override;
        void Render() override;
        bool CloseMainWindow() override;
        void LoadBanner(const std::string& path) override;
        void ShowBanner(bool show) override;
        void ShowPanel(bool show) override;
        std::string GetStatusText() override;
        void SetStatusText(const std::string& text) override;

      private:
        FormMain& form_;
    };

    // Deletes the name form without its going-away registration, then registers a result
    // still waiting; the title scene is rebuilt only when showTable is set.
    void DropNameForm(bool showTable);
    // Handles the options' commands; false when item is none of theirs.
    bool OnOptionCommand(TekuUtility::GUIElement* item);
    // Gives the sound output the mute and volume of settings.
    void ApplySoundLevel();
    // Once a tick: a pad's Start pressed while a level runs pauses or resumes as "p" does,
    // and a pad unplugged while a level runs pauses it.
    void PollGamepads();

    // Pauses a running level that is not paused yet: losing the focus or being minimised.
    void PauseRunningLevel();

    // Cleared by the destructor: the menus once the window is closed; the panel, banner,
    // status line and timer that the game fields point to once a name form still open is gone.
    TekuUtility::OwnedChildren menuItems_;
    TekuUtility::OwnedChildren gameElements_;
    TickDriver driver_{*this};
    TekuUtility::WNDPROC toolkitProcedure_ = nullptr;
    bool minimized_ = false;
    std::unique_ptr<StateTrace> trace_ = StateTrace::FromEnvironment();
    bool tearingDown_ = false;
    bool padStartHeld_ = false;
    bool sessionEnded_ = false;
};

// The one main form; set by the first FormMain. Menu commands fall back to it.
extern FormMain* mainForm;

// The tick's state of the program, back to that of a fresh start.
void ResetTickStateForTesting();

}  // namespace MyApp
