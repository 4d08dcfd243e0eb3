// The main window on the headless window system with the real game: the window and its
// title scene, the pause key, the menus, the exit question and other scales.
#include <algorithm>
#include <tuple>

#include "app/shell/DataFolder.h"
#include "platform/files.h"
#include "platform/win/backend.h"
#include "tests/shell/ShellFixture.h"
#include "toolkit/FormAbout.h"
#include "toolkit/FormNamePlayer.h"
#include "toolkit/Menus.h"

namespace shell_test {
namespace {

namespace hl = platform::headless;
using MyApp::FormMain;

TEST_F(ShellTest, WindowIsBuiltWithItsElementsAndTheTitleScene) {
    FormMain& form = OpenMainForm();
    platform::RECT client{};
    ASSERT_TRUE(platform::GetClientRect(form.handle, &client));
    EXPECT_EQ(client.right - client.left, 640);
    EXPECT_EQ(client.bottom - client.top, 505);
    EXPECT_EQ(form.GetText(), L"Kryx Space (c) 2021 Kryx Space team");
    EXPECT_EQ(MyApp::mainForm, &form);
    EXPECT_EQ(form.fields.mainWindow, form.handle);

    ASSERT_NE(form.fields.panel, nullptr);
    EXPECT_TRUE(PanelVisible());
    EXPECT_FALSE(BannerVisible());
    EXPECT_TRUE(form.fields.timer->running);

    // The title scene is up (its contents are TitleSceneTest's).
    ASSERT_EQ(form.fields.panel->meshObjects.size(), 1u);
    EXPECT_EQ(form.fields.panel->meshObjects[0].meshFiles[0], "..\\data\\Nave.x");
    EXPECT_FALSE(form.fields.closeRequested);
    EXPECT_TRUE(hl::MessageBoxLog().empty());
}

// What a pause holds is PauseOnLeaveTest's; here which key toggles it.
TEST_F(ShellTest, OnlyLowerCasePTogglesPause) {
    FormMain& form = OpenMainForm();
    ASSERT_TRUE(StartLevelOne());
    Type(L"P");
    EXPECT_FALSE(form.fields.paused);
    Type(L"p");
    EXPECT_TRUE(form.fields.paused);
    Type(L"p");
    EXPECT_FALSE(form.fields.paused);
}

TEST_F(ShellTest, ExitAndTheCloseBoxAskFirstAndNoKeepsTheGameTicking) {
    FormMain& form = OpenMainForm();
    hl::QueueMessageBoxAnswer(platform::IDNO);
    Choose(form.exitItem);
    ASSERT_EQ(hl::MessageBoxLog().size(), 1u);
    const auto& question = hl::MessageBoxLog()[0];
    EXPECT_EQ(question.caption, L"Uscita");
    EXPECT_EQ(question.text, L"Vuoi realmente uscire?");
    EXPECT_EQ(question.type, 0x2024u);
    EXPECT_EQ(question.owner, nullptr);
    EXPECT_TRUE(platform::IsWindow(form.handle));
    EXPECT_TRUE(form.fields.timer->running);

    // The game goes on: the prompt still comes up.
    hl::RunFor(1600);
    EXPECT_EQ(Status(), "PREMI [G] o FIRE PER GIOCARE");

    hl::QueueMessageBoxAnswer(platform::IDNO);
    platform::SendMessageW(form.handle, platform::WM_CLOSE, 0, 0);
    EXPECT_EQ(BoxesWithCaption(L"Uscita"), 2);
    EXPECT_TRUE(platform::IsWindow(form.handle));
    EXPECT_FALSE(hl::QuitPosted());

    hl::QueueMessageBoxAnswer(platform::IDYES);
    platform::SendMessageW(form.handle, platform::WM_CLOSE, 0, 0);
    EXPECT_EQ(BoxesWithCaption(L"Uscita"), 3);
    EXPECT_FALSE(platform::IsWindow(form.handle));
    EXPECT_FALSE(form.fields.timer->running);
    EXPECT_TRUE(hl::QuitPosted());
}

TEST_F(ShellTest, InfoOpensOneAboutBoxAtATime) {
    FormMain& form = OpenMainForm();
    auto aboutBoxes = [] {
        return std::count_if(
            TekuUtility::ElementRegistry().begin(), TekuUtility::ElementRegistry().end(),
            [](auto* e) { return dynamic_cast<TekuUtility::FormAbout*>(e) != nullptr; });
    };
    Choose(form.infoItem);
    ASSERT_NE(form.aboutForm, nullptr);
    EXPECT_TRUE(form.aboutForm->created);
    EXPECT_EQ(form.aboutForm->titleText, "Kryx Space 1.0.0.0");
    EXPECT_FALSE(platform::IsWindowEnabled(form.handle));
    EXPECT_EQ(aboutBoxes(), 1);

    Choose(form.infoItem);
    EXPECT_EQ(aboutBoxes(), 1);
    EXPECT_TRUE(form.aboutForm->created);
    EXPECT_TRUE(platform::IsWindow(form.aboutForm->handle));
    // The game goes on behind the box.
    hl::RunFor(1600);
    EXPECT_EQ(Status(), "PREMI [G] o FIRE PER GIOCARE");
}

TEST_F(ShellTest, HomeAndGuideOpenTheHelpPageThatShipsWithTheData) {
    FormMain& form = OpenMainForm();
    Choose(form.homeItem);
    Choose(form.helpItem);
    ASSERT_EQ(opened_.size(), 2u);
    EXPECT_EQ(opened_[0], opened_[1]);
    ASSERT_TRUE(opened_[0].starts_with("file:///")) << opened_[0];
    EXPECT_TRUE(opened_[0].ends_with("/data/Guida.html"));
    EXPECT_TRUE(platform::FileExists(opened_[0].substr(7)));
    EXPECT_EQ(MyApp::FileAddress("/opt/Kryx Space/d\\G\xE8.html"),
              "file:///opt/Kryx%20Space/d/G%E8.html");
}

TEST_F(ShellTest, TheWindowsShowTheShipIconInBothSizesAndAboutLinksFitWhole) {
    FormMain& form = OpenMainForm();
    form.fields.score = 10;
    form.OpenNameEntry();
    for (platform::HWND window : {form.handle, form.nameForm->handle}) {
        using namespace platform;
        const auto big = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
        EXPECT_EQ(big, reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)));
        EXPECT_NE(big, LoadIconW(nullptr, IDI_APPLICATION));
    }
    Type(L"x\r");
    Choose(form.infoItem);
    for (TekuUtility::CellControl* link : {form.aboutForm->webLink, form.aboutForm->mailLink}) {
        platform::HDC dc = platform::GetDC(link->handle);
        platform::SelectObject(dc, form.aboutForm->linkFont.GetHandle());
        platform::SIZE size{};
        platform::GetTextExtentPoint32W(dc, link->text.c_str(), static_cast<int>(link->text.size()),
                                        &size);
        platform::ReleaseDC(link->handle, dc);
        EXPECT_LE(size.cx, link->width) << TekuUtility::Narrow(link->text);
    }
    EXPECT_NE(form.aboutForm->noticeBox->GetText().find(L"pu\u00F2 essere venduto n\u00E9 "),
              std::wstring::npos);
}

// Shown at another scale (what going fullscreen and back does to it) while a level runs: the
// game's state stays and it ticks on; the pointer may rest out of sight only while a level runs.
TEST_F(ShellTest, ShowingTheWindowAtOtherScalesKeepsTheGameAndItTicksOn) {
    MyApp::FormMain& form = OpenMainForm();
    hl::RunFor(60);
    EXPECT_FALSE(hl::CursorIdleHiding());
    ASSERT_TRUE(StartLevelOne());
    EXPECT_TRUE(hl::CursorIdleHiding());
    hl::RunFor(600);
    const MyApp::GameFields& f = form.fields;
    const auto state = [&] {
        return std::make_tuple(f.level, f.score, f.energy, f.levelRunning, f.paused, f.levelPhase,
                               Status(), PanelVisible());
    };
    for (const double scale : {2.75, 1.0}) {
        const auto before = state();
        platform::win::SetSurfaceScale(form.handle, scale);
        hl::RunUntilIdle();
        EXPECT_EQ(platform::win::TopLevelSurface(form.handle)->scale, scale);
        EXPECT_EQ(state(), before) << scale;
        const double saucerX = Object(2001)->x;
        hl::RunFor(300);
        EXPECT_NE(Object(2001)->x, saucerX) << "the level ticks on at scale " << scale;
    }
}

}  // namespace
}  // namespace shell_test
