// Shared set-up for the whole-program tests: a clean headless window system on a fake clock,
// fresh game state, a private current directory whose "..\data" is the shipped data set, a
// private high-score folder, and a launcher that records the addresses it is asked to open.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/shell/FormMain.h"
#include "game/Entities.h"
#include "panel3d/D3DPanelEx.h"
#include "panel3d/SceneRecords.h"
#include "platform/clock.h"
#include "platform/win/headless.h"
#include "platform/win/win32.h"
#include "toolkit/CellControl.h"
#include "toolkit/Controls.h"

namespace shell_test {

namespace fs = std::filesystem;

// The shipped data set of the source tree.
fs::path SourceData();

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The main window on "..\data" (or another folder), with its window in front.
    MyApp::FormMain& OpenMainForm(const std::string& dataFolder = "..\\data");
    void CloseMainForm();

    // From the title: past the first pause, G, then level 1 running; false if it never runs.
    bool StartLevelOne();
    // Holds a key across a few ticks, so the tick samples it.
    static void Hold(int virtualKey, int ms = 90);
    // Runs fake time until the predicate holds (checked every 30 ms) or maxMs have passed.
    static bool RunUntil(const std::function<bool()>& predicate, int maxMs);
    // Sends a menu item's command as the menu bar does.
    void Choose(TekuUtility::GUIElement* item);
    // Types the text into the focused window and handles what it causes.
    static void Type(const wchar_t* text) {
        platform::headless::TypeText(text);
        platform::headless::RunUntilIdle();
    }
    // A game ends with this score and level reached: the main window's name entry.
    void EndGame(int score, int level) {
        form_->fields.score = score;
        form_->fields.reachedLevel = level;
        form_->OpenNameEntry();
    }

    std::string Status() const { return form_->fields.statusBar->GetTextA(); }
    bool PanelVisible() const {
        return platform::IsWindowVisible(form_->fields.panel->handle) != 0;
    }
    bool BannerVisible() const {
        return platform::IsWindowVisible(form_->fields.banner->handle) != 0;
    }
    TekuUtility::MeshObject* Object(std::int32_t id) const {
        return MyApp::FindObject(form_->fields, id);
    }
    // Message boxes with this caption seen so far.
    static int BoxesWithCaption(const std::wstring& caption);
    // The stored high-score file, or "" when there is none.
    std::string ScoreFile() const;

    platform::ScopedFakeClock clock_;
    fs::path root_;
    fs::path oldDirectory_;
    MyApp::FormMain* form_ = nullptr;
    std::vector<std::string> opened_;
};

}  // namespace shell_test
