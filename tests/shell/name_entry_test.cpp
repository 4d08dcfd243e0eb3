// Name entry at the end of a game: the form opens centred over the main window only for a
// positive score, the typed name goes into "Classifica.txt" with the score and level captured
// when the form opened, and the new table shows on the title screen.
#include <algorithm>

#include "panel3d/D3DPanelEx.h"
#include "tests/shell/ShellFixture.h"
#include "toolkit/Controls.h"
#include "toolkit/FormNamePlayer.h"

namespace shell_test {
namespace {

namespace hl = platform::headless;
using MyApp::FormMain;

std::vector<std::string> LabelTexts(const FormMain& form) {
    std::vector<std::string> texts;
    for (const auto& label : form.fields.panel->textLabels) {
        texts.push_back(label.text);
    }
    return texts;
}

TEST_F(ShellTest, PositiveScoreOpensTheCentredFormAndRegistersTheTypedName) {
    FormMain& form = OpenMainForm();
    // Score 0: the level stops, but no form opens and nothing is stored.
    form.fields.levelRunning = true;
    form.OpenNameEntry();
    EXPECT_FALSE(form.fields.levelRunning);
    EXPECT_EQ(form.nameForm, nullptr);
    EXPECT_TRUE(platform::IsWindowEnabled(form.handle));

    form.fields.levelRunning = true;
    EndGame(1234, 3);
    EXPECT_FALSE(form.fields.levelRunning);
    ASSERT_NE(form.nameForm, nullptr);
    TekuUtility::FormNamePlayer& name = *form.nameForm;
    EXPECT_EQ(name.GetTextA(), "Classifica");
    EXPECT_EQ(name.label->GetTextA(), "Inserisci il tuo nome:");
    EXPECT_EQ(name.iconId, 1005);
    EXPECT_TRUE(platform::IsWindowVisible(name.handle));
    EXPECT_FALSE(platform::IsWindowEnabled(form.handle));

    platform::RECT outer{};
    platform::RECT own{};
    ASSERT_TRUE(platform::GetWindowRect(form.handle, &outer));
    ASSERT_TRUE(platform::GetWindowRect(name.handle, &own));
    EXPECT_EQ(own.left, outer.left + ((outer.right - outer.left) - (own.right - own.left)) / 2);
    EXPECT_EQ(own.top, outer.top + ((outer.bottom - outer.top) - (own.bottom - own.top)) / 2);

    // A new game meanwhile does not change what this form registers.
    form.fields.score = 0;
    form.fields.reachedLevel = 1;
    Type(L"ace\r");
    EXPECT_EQ(TekuUtility::PlayerName, "ACE");
    EXPECT_EQ(ScoreFile(), "00001234 ACE          Livello 3\r\n");
    EXPECT_EQ(form.fields.highScores,
              (std::vector<std::string>{"00001234 ACE          Livello 3"}));
    EXPECT_EQ(LabelTexts(form),
              (std::vector<std::string>{"TOP TEN", "01  00001234 ACE          Livello 3"}));
    EXPECT_TRUE(platform::IsWindowEnabled(form.handle));

    // The form is gone; a later deletion of the main form registers nothing more.
    CloseMainForm();
    EXPECT_EQ(ScoreFile(), "00001234 ACE          Livello 3\r\n");
}

TEST_F(ShellTest, TheNameBoxKeepsOnlyWhatTheFileStoresOneByteEach) {
    FormMain& form = OpenMainForm();
    EndGame(50, 1);
    ASSERT_NE(form.nameForm, nullptr);
    Type(L"\u00e8\u0141\u00f1 \U0001F600\u00fc");
    EXPECT_EQ(form.nameForm->nameBox->GetText(), L"\u00c8\u00d1 \u00dc");
    Type(L"\r");
    EXPECT_EQ(ScoreFile(), "00000050 \xC8\xD1 \xDC         Livello 1\r\n");
}

// A form replaced by the next game's, closed without a name or still open when the program
// ends registers its own game once, under the last accepted name.
TEST_F(ShellTest, AFormReplacedClosedOrLeftOpenRegistersUnderTheLastAcceptedName) {
    FormMain& form = OpenMainForm();
    EndGame(100, 1);
    ASSERT_NE(form.nameForm, nullptr);
    EndGame(200, 2);
    ASSERT_NE(form.nameForm, nullptr);
    EXPECT_EQ(ScoreFile(), "00000100              Livello 1\r\n");  // no name accepted yet
    EXPECT_FALSE(platform::IsWindowEnabled(form.handle));
    Type(L"bob\r");
    const std::string two =
        "00000200 BOB          Livello 2\r\n00000100              Livello 1\r\n";
    EXPECT_EQ(ScoreFile(), two);
    EXPECT_EQ(form.fields.highScores.size(), 2u);

    EndGame(77, 4);
    ASSERT_NE(form.nameForm, nullptr);
    platform::SendMessageW(form.nameForm->handle, platform::WM_CLOSE, 0, 0);
    hl::RunUntilIdle();
    EXPECT_EQ(ScoreFile(), two + "00000077 BOB          Livello 4\r\n");
    EXPECT_TRUE(platform::IsWindowEnabled(form.handle));

    EndGame(55, 2);
    ASSERT_NE(form.nameForm, nullptr);
    const platform::HWND nameWindow = form.nameForm->handle;
    CloseMainForm();
    EXPECT_FALSE(platform::IsWindow(nameWindow));
    EXPECT_EQ(ScoreFile(),
              two + "00000077 BOB          Livello 4\r\n00000055 BOB          Livello 2\r\n");
    EXPECT_TRUE(platform::headless::MessageBoxLog().empty());
}

// The real end of a game: the player stands still until the level is lost.
TEST_F(ShellTest, LostGameWithPointsEndsInTheNameForm) {
    FormMain& form = OpenMainForm();
    ASSERT_TRUE(StartLevelOne());
    form.fields.score = 30;

    ASSERT_TRUE(RunUntil([&] { return !form.fields.levelRunning; }, 240000));
    EXPECT_EQ(Status(), "Game Over!");
    EXPECT_EQ(form.nameForm, nullptr);
    ASSERT_TRUE(RunUntil([&] { return form.nameForm != nullptr; }, 2000));
    EXPECT_TRUE(BannerVisible());
    EXPECT_EQ(form.fields.banner->fileName, "..\\data\\gameover.bmp");
    EXPECT_EQ(form.fields.reachedLevel, 1);

    Type(L"rox\r");
    EXPECT_EQ(ScoreFile(), "00000030 ROX          Livello 1\r\n");
    // After the picture the title and the prompt come back.
    ASSERT_TRUE(RunUntil([&] { return Status() == "PREMI [G] o FIRE PER GIOCARE"; }, 6000));
    EXPECT_TRUE(PanelVisible());
    const auto labels = LabelTexts(form);
    EXPECT_NE(std::find(labels.begin(), labels.end(), "01  00000030 ROX          Livello 1"),
              labels.end());
}

}  // namespace
}  // namespace shell_test
