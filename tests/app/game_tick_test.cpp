// Drives the game tick with a fake clock and recording doubles through every sequence of
// the game's states.
#include "app/shell/GameTick.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace MyApp {
namespace {

class FakeServices : public TickServices {
  public:
    // What the level update returns on its next call; the test may also change the fields.
    std::function<bool(int)> update = [](int) { return true; };
    bool start = false;
    int updates = 0, controls = 0, astronautControls = 0, renders = 0, titleScenes = 0;
    int nameEntries = 0, statusWrites = 0, closes = 0;
    std::vector<int> builtLevels;
    std::string banner, status;
    bool bannerVisible = false, panelVisible = true;
    Timestamp lastUpdate;

    bool UpdateLevel(int level, const Timestamp& now) override {
        ++updates;
        lastUpdate = now;
        return update(level);
    }
    void ControlPlayer(const Timestamp&) override { ++controls; }
    void ControlAstronaut(const Timestamp&) override { ++astronautControls; }
    void BuildLevel(int level) override { builtLevels.push_back(level); }
    bool StartPressed() override { return start; }
    void BuildTitleScene() override { ++titleScenes; }
    void OpenNameEntry() override { ++nameEntries; }
    void Render() override { ++renders; }
    bool CloseMainWindow() override { return ++closes > 0; }
    void LoadBanner(const std::string& path) override { banner = path; }
    void ShowBanner(bool show) override { bannerVisible = show; }
    void ShowPanel(bool show) override { panelVisible = show; }
    std::string GetStatusText() override { return status; }
    void SetStatusText(const std::string& text) override {
        ++statusWrites;
        status = text;
    }
};

class GameTickTest : public ::testing::Test {
  protected:
    platform::ScopedFakeClock clock;
    TickState state;
    GameFields game;
    FakeServices sv;

    GameTickTest() { game.dataFolder = "..\\data"; }

    void Tick() { RunTick(state, game, sv); }
    // Ticks every 30 ms for the given time.
    void RunFor(int ms) {
        for (int t = 0; t < ms; t += 30) {
            clock.AdvanceMs(30);
            Tick();
        }
    }
    // Past the title's first pause: press start and wait until the level runs.
    void StartGame() {
        RunFor(1600);
        sv.start = true;
        RunFor(60);
        sv.start = false;
        RunFor(5100);
        ASSERT_TRUE(game.levelRunning);
    }
    // One tick whose level update ends the level, won (the level counts on) or lost.
    void EndLevel(bool won) {
        sv.update = [this, won](int) {
            game.level += won ? 1 : 0;
            game.levelComplete = won;
            return false;
        };
        RunFor(30);
        sv.update = [](int) { return true; };
    }
};

TEST_F(GameTickTest, PromptAppearsAfterTheFirstPauseAndIsWrittenOnlyWhenItDiffers) {
    Tick();
    EXPECT_EQ(sv.status, "");
    RunFor(1470);  // 1470 ms after the first tick: still within the 1500 ms pause
    EXPECT_EQ(sv.status, "");
    RunFor(90);
    EXPECT_EQ(sv.status, kStartPrompt);
    const int writes = sv.statusWrites;
    RunFor(3000);
    EXPECT_EQ(sv.statusWrites, writes);
    sv.status = "altro";
    RunFor(30);
    EXPECT_EQ(sv.status, kStartPrompt);
    EXPECT_EQ(sv.statusWrites, writes + 1);
}

TEST_F(GameTickTest, StartBuildsLevelOneBehindItsPictureWithFullEnergyAndNoScore) {
    game.score = 777;
    game.energy = 3;
    RunFor(1600);
    sv.start = true;
    RunFor(30);
    EXPECT_EQ(sv.builtLevels, std::vector<int>{1});
    EXPECT_EQ(game.energy, 100);
    EXPECT_EQ(game.score, 0);
    EXPECT_TRUE(sv.bannerVisible);
    EXPECT_FALSE(sv.panelVisible);
    EXPECT_EQ(sv.status, "");
    EXPECT_FALSE(game.levelRunning);
    sv.start = false;
    RunFor(4950);
    EXPECT_FALSE(game.levelRunning);
    RunFor(90);
    EXPECT_TRUE(game.levelRunning);
    EXPECT_FALSE(sv.bannerVisible);
    EXPECT_TRUE(sv.panelVisible);
    EXPECT_EQ(sv.builtLevels.size(), 1u);
}

TEST_F(GameTickTest, PlayingUpdatesEveryTickAndPacesTheControlTo40Ms) {
    StartGame();
    int updates = sv.updates, controls = sv.controls;
    RunFor(1200);  // 40 ticks of 30 ms
    EXPECT_EQ(sv.updates - updates, 40);
    EXPECT_EQ(sv.controls - controls, 20);  // every second tick: 60 ms > 40 ms
    EXPECT_EQ(sv.astronautControls, 0);

    game.level = 4;
    RunFor(300);
    EXPECT_GT(sv.astronautControls, 0);

    // A level outside 1 to 4 has no update; the control still runs.
    game.level = 7;
    updates = sv.updates, controls = sv.controls;
    RunFor(300);
    EXPECT_EQ(sv.updates, updates);
    EXPECT_GT(sv.controls, controls);
}

TEST_F(GameTickTest, PauseHoldsUpdateAndGameClockButNotTheControlOrTheFrame) {
    StartGame();
    RunFor(90);
    const Timestamp before = sv.lastUpdate;
    game.paused = true;
    const int updates = sv.updates, controls = sv.controls, renders = sv.renders;
    RunFor(600);
    EXPECT_EQ(sv.updates, updates);
    EXPECT_EQ(sv.controls - controls, 10);
    EXPECT_EQ(sv.renders - renders, 20);
    EXPECT_EQ(sv.status, kPauseText);
    game.paused = false;
    RunFor(30);
    EXPECT_EQ(sv.status, "");
    // The first update after the pause sees the game one tick on, as without the pause.
    EXPECT_EQ(ElapsedMs(before, sv.lastUpdate), 30);
    RunFor(300);
    EXPECT_EQ(ElapsedMs(before, sv.lastUpdate), 330);
}

TEST_F(GameTickTest, LevelWonShowsCompletePictureThenBuildsNextLevelWithoutAKey) {
    StartGame();
    game.score = 120;
    game.energy = 40;
    EndLevel(true);
    EXPECT_FALSE(game.levelRunning);
    EXPECT_EQ(game.level, 2);
    RunFor(1470);  // the last frame of the level stays for 1500 ms
    EXPECT_EQ(sv.banner, "");
    EXPECT_TRUE(game.levelComplete);
    RunFor(60);
    EXPECT_FALSE(game.levelComplete);
    EXPECT_EQ(sv.banner, "..\\data\\LivelloCompletato.bmp");
    EXPECT_TRUE(sv.bannerVisible);
    EXPECT_EQ(sv.builtLevels, std::vector<int>{1});
    RunFor(4950);
    EXPECT_EQ(sv.builtLevels, std::vector<int>{1});
    RunFor(90);
    EXPECT_EQ(sv.builtLevels, (std::vector<int>{1, 2}));
    EXPECT_EQ(game.energy, 100);
    EXPECT_EQ(game.score, 120);  // carried over
    RunFor(5100);
    EXPECT_TRUE(game.levelRunning);
    EXPECT_EQ(sv.nameEntries, 0);
}

TEST_F(GameTickTest, LevelFourWonEndsTheGameWithTitleAndNameForm) {
    StartGame();
    game.level = 4;
    game.score = 500;
    EndLevel(true);
    RunFor(1530);
    EXPECT_EQ(sv.banner, "..\\data\\GiocoCompletato.bmp");
    EXPECT_EQ(game.reachedLevel, 4);
    EXPECT_EQ(game.level, 1);
    EXPECT_EQ(sv.titleScenes, 1);
    EXPECT_EQ(sv.nameEntries, 1);
    EXPECT_TRUE(sv.bannerVisible);
    RunFor(4900);
    EXPECT_TRUE(sv.bannerVisible);
    RunFor(200);
    EXPECT_FALSE(sv.bannerVisible);
    EXPECT_TRUE(sv.panelVisible);
    EXPECT_FALSE(game.levelRunning);
    // Back at the title: no level starts without a key press.
    RunFor(3000);
    EXPECT_EQ(sv.builtLevels, std::vector<int>{1});
    EXPECT_EQ(sv.status, kStartPrompt);
}

TEST_F(GameTickTest, LevelLostGoesToGameOverTitleAndNameForm) {
    StartGame();
    game.level = 3;
    game.score = 90;
    game.sounds.SetLoop(1026);
    game.sounds.pending = {1023, 1024, 1023};
    EndLevel(false);
    EXPECT_EQ(sv.status, "Game Over!");
    EXPECT_EQ(game.reachedLevel, 3);
    EXPECT_EQ(game.level, 1);
    RunFor(1470);
    EXPECT_EQ(sv.titleScenes, 0);
    RunFor(90);  // silence at 1530 ms, then the game-over picture at the next tick
    EXPECT_EQ(game.sounds.loopSound, 0);
    EXPECT_LE(game.sounds.pending.size(), 1u);
    EXPECT_EQ(sv.banner, "..\\data\\gameover.bmp");
    EXPECT_EQ(sv.titleScenes, 1);
    EXPECT_EQ(sv.nameEntries, 1);
    EXPECT_TRUE(sv.bannerVisible);
    EXPECT_FALSE(sv.panelVisible);
    RunFor(5100);
    EXPECT_FALSE(sv.bannerVisible);
    EXPECT_EQ(sv.status, kStartPrompt);
    sv.start = true;  // a new game starts at level 1 after a key press
    RunFor(30);
    EXPECT_EQ(sv.builtLevels, (std::vector<int>{1, 1}));
}

// A level builder showing a modal box: the timer's tick inside its nested loop does nothing.
struct ReentrantServices : FakeServices {
    TickState* st = nullptr;
    GameFields* g = nullptr;
    int innerRenders = -1;
    void BuildLevel(int level) override {
        FakeServices::BuildLevel(level);
        const int before = renders;
        RunTick(*st, *g, *this);
        innerRenders = renders - before;
    }
};

TEST_F(GameTickTest, ReentryFromANestedLoopReturnsAtOnce) {
    RunFor(1600);
    ReentrantServices reentrant;
    reentrant.st = &state;
    reentrant.g = &game;
    reentrant.start = true;
    clock.AdvanceMs(30);
    RunTick(state, game, reentrant);
    EXPECT_EQ(reentrant.innerRenders, 0);
    EXPECT_EQ(reentrant.builtLevels, std::vector<int>{1});
    EXPECT_EQ(reentrant.renders, 1);
    EXPECT_FALSE(state.tickBusy);
}

TEST_F(GameTickTest, CloseRequestedClosesTheWindowAndEndsTheTick) {
    Tick();
    game.closeRequested = true;
    const int renders = sv.renders;
    RunFor(30);
    EXPECT_EQ(sv.closes, 1);
    EXPECT_EQ(sv.renders, renders);  // nothing is drawn into a window that is gone
    EXPECT_FALSE(state.tickBusy);
}

TEST(ElapsedMsTest, SignedTruncatingAndZeroWhenUnset) {
    Timestamp a{10 * platform::kTicksPerMs + 9999, false};
    Timestamp b{25 * platform::kTicksPerMs, false};
    EXPECT_EQ(ElapsedMs(a, b), 14);   // 14.0001 ms truncates to 14
    EXPECT_EQ(ElapsedMs(b, a), -14);  // toward zero
    Timestamp unset;
    EXPECT_EQ(ElapsedMs(unset, b), 0);
    EXPECT_EQ(ElapsedMs(b, unset), -25);  // `to.unset` is not looked at
    EXPECT_GT(ElapsedMs(Timestamp::LongAgo(), Timestamp::Now()), 2000);
}

}  // namespace
}  // namespace MyApp
