// The ship's and the astronaut's controls, firing, and the shot's flight.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "game/Entities.h"
#include "game/PlayerControl.h"
#include "tests/game/GameTestScene.h"

namespace MyApp {
namespace {

using platform::VK_DOWN;
using platform::VK_LCONTROL;
using platform::VK_LEFT;
using platform::VK_RIGHT;
using platform::VK_UP;

class PlayerControlTest : public testing_support::GameSceneTest {
  protected:
    PlayerControlTest() {
        game.level = 1;
        Add(kPlayerId, 0, -2, 0, {0.5, 0.25, 0.5});
        Add(kShotId, 0, -2, 0, {0.05, 0.05, 0.5}, false);
        Draw();
    }
    using Control = void (*)(GameFields&, const Timestamp&);
    // Waits `ms`, then runs the control once.
    void After(std::int64_t ms, Control control = ControlPlayer) {
        clock.AdvanceMs(ms);
        control(game, Timestamp::Now());
    }
    // One move step of the tick: draw, wait 41 ms, control.
    void Step(Control control = ControlPlayer) {
        Draw();
        After(41, control);
    }
    // Holds fire over the first call (which starts the shot clock) and one 401 ms later.
    void Fire(Control control = ControlPlayer) {
        Hold(VK_LCONTROL);
        After(0, control);
        After(401, control);
    }
    MeshObject& Ship() { return Object(kPlayerId); }
    MeshObject& Shot() { return Object(kShotId); }
    std::vector<double> ShotAt() { return {Shot().x, Shot().y, Shot().z}; }
};

TEST_F(PlayerControlTest, PausedControlDoesNothing) {
    game.paused = true;
    for (int key : {VK_LEFT, VK_UP, VK_LCONTROL}) {
        Hold(key);
    }
    for (int i = 0; i < 20; ++i) {
        Step();
        Step(ControlAstronaut);
    }
    EXPECT_EQ(Ship().x, 0);
    EXPECT_EQ(Ship().y, -2);
    EXPECT_FALSE(Shot().visible);
    EXPECT_TRUE(game.sounds.pending.empty());
}

TEST_F(PlayerControlTest, ShipMovesInTenthsWithinHeightLimitsAndOppositeKeysCancel) {
    Hold(VK_RIGHT);
    Step();
    EXPECT_EQ(Ship().x, 0.1);
    Hold(VK_LEFT);
    Hold(VK_DOWN);
    Hold(VK_UP);
    Step();
    EXPECT_EQ(Ship().x, 0.1 - 0.1 + 0.1);
    EXPECT_EQ(Ship().y, -2 + 0.1 - 0.1);
    platform::ReleaseAllKeys();
    Hold(VK_UP);
    int moves = 0;
    for (int i = 0; i < 100; ++i) {
        const double before = Ship().y;
        Step();
        moves += Ship().y != before;
    }
    EXPECT_EQ(moves, 55);  // -2 to 3.5 in 0.1 steps, the last test made below 3.5
    EXPECT_NEAR(Ship().y, 3.5, 1e-9);

    Hold(VK_UP, false);
    Hold(VK_DOWN);
    for (int i = 0; i < 100; ++i) {
        Step();
    }
    EXPECT_NEAR(Ship().y, -3.5, 1e-9);
    EXPECT_GT(Ship().y, -3.5 - 0.1 + 1e-9);
}

TEST_F(PlayerControlTest, OneShotPer400MsNoneWhileOneFliesAndHigherInLevelTwo) {
    Hold(VK_LCONTROL);
    ControlPlayer(game, Timestamp::Now());  // the first call starts the shot clock
    EXPECT_FALSE(Shot().visible);
    After(400);
    EXPECT_FALSE(Shot().visible);
    After(1);
    ASSERT_TRUE(Shot().visible);
    EXPECT_EQ(ShotAt(), (std::vector<double>{0, -2, 0}));
    EXPECT_EQ(game.sounds.pending, std::deque<std::int32_t>{kSoundShot});

    // Still in flight 401 ms later: no shot, but the wait starts again.
    Shot().z = 20;
    After(401);
    EXPECT_EQ(Shot().z, 20);
    EXPECT_EQ(game.sounds.pending.size(), 1u);
    Shot().visible = false;
    After(200);
    EXPECT_FALSE(Shot().visible);
    After(201);
    EXPECT_TRUE(Shot().visible);
    EXPECT_EQ(Shot().z, 0);
    EXPECT_EQ(game.sounds.pending.size(), 2u);

    // In level 2 the shot starts higher and keeps its own heading.
    Shot().visible = false;
    game.level = 2;
    PlaceObject(game, kPlayerId, -2, -2, 2, 85, 0);
    Shot().angle = 90;
    Shot().frame = 0;
    After(401);
    ASSERT_TRUE(Shot().visible);
    EXPECT_EQ(ShotAt(), (std::vector<double>{-2, -2 + 0.2, 2}));
    EXPECT_EQ(Shot().angle, 90);
}

class AstronautTest : public PlayerControlTest {
  protected:
    AstronautTest() {
        game.level = 4;
        PlaceObject(game, kPlayerId, 0, -3.5, 0, 0, 0);
    }
    void Step() { PlayerControlTest::Step(ControlAstronaut); }
    std::int32_t JumpState() { return Ship().hitCount; }
};

TEST_F(AstronautTest, JumpRisesThirtyFiveStepsAndFallsBack) {
    Step();
    EXPECT_EQ(Ship().y, -3.5);  // standing: no gravity below the ground
    Hold(VK_UP);
    Step();
    EXPECT_EQ(JumpState(), 1);
    EXPECT_EQ(Ship().y, -3.5);
    Hold(VK_UP, false);

    int rises = 0;
    while (JumpState() == 1 && rises < 100) {
        const double before = Ship().y;
        Step();
        rises += Ship().y > before;
    }
    EXPECT_EQ(rises, 35);
    EXPECT_NEAR(Ship().y, 0, 1e-9);

    int falls = 0;
    for (int i = 0; i < 100; ++i) {
        const double before = Ship().y;
        Step();
        falls += Ship().y < before;
    }
    EXPECT_EQ(falls, 35);
    EXPECT_EQ(Ship().y, -3.5);
    EXPECT_EQ(JumpState(), 0);
}

TEST_F(AstronautTest, UpInTheAirDoesNothingAndDownCutsARise) {
    Hold(VK_UP);
    Step();
    Hold(VK_UP, false);
    for (int i = 0; i < 10; ++i) {
        Step();
    }
    const double top = Ship().y;
    EXPECT_NEAR(top, -2.5, 1e-9);

    Hold(VK_DOWN);
    Step();  // still rises once in this call, then the rise is cut
    EXPECT_EQ(JumpState(), 0);
    EXPECT_NEAR(Ship().y, top + 0.1, 1e-9);
    Hold(VK_DOWN, false);
    Step();
    EXPECT_NEAR(Ship().y, top, 1e-9);

    Hold(VK_UP);  // falling: up does not start another jump
    Step();
    EXPECT_EQ(JumpState(), 0);
    EXPECT_NEAR(Ship().y, top - 0.1, 1e-9);
    Step();
    EXPECT_NEAR(Ship().y, top - 0.2, 1e-9);
}

TEST_F(AstronautTest, ShotStartsInFrontAndTheFiringPoseLastsOneSecondUnlessTouched) {
    game.level = 2;         // the astronaut's shot never gets the side view's lift
    Shot().visible = true;  // none while one flies
    Shot().z = 30;
    Fire(ControlAstronaut);
    EXPECT_EQ(Shot().z, 30);
    EXPECT_EQ(Ship().frame, 0);
    EXPECT_TRUE(game.sounds.pending.empty());
    Shot().visible = false;
    Fire(ControlAstronaut);
    ASSERT_TRUE(Shot().visible);
    EXPECT_EQ(ShotAt(), (std::vector<double>{0, -3.5, 0.3}));
    EXPECT_EQ(Ship().frame, 2);
    EXPECT_EQ(game.sounds.pending.back(), kSoundShot);
    Hold(VK_LCONTROL, false);
    After(1000, ControlAstronaut);
    EXPECT_EQ(Ship().frame, 2);
    After(1, ControlAstronaut);
    EXPECT_EQ(Ship().frame, 0);

    // The touched frame that the level shows during the pose is kept when the pose ends.
    Shot().visible = false;
    Fire(ControlAstronaut);
    Hold(VK_LCONTROL, false);
    ASSERT_EQ(Ship().frame, 2);
    MoveObject(game, kPlayerId, 0, 1, 0, 0);
    After(1500, ControlAstronaut);
    EXPECT_EQ(Ship().frame, 1);
}

using ShotFlightTest = PlayerControlTest;

TEST_F(ShotFlightTest, FliesOneUnitAndVanishesBeyondDepth55OrOutOfView) {
    ShotFlight(game);  // hidden: not moved
    EXPECT_EQ(Shot().z, 0);

    Shot().visible = true;
    Shot().z = 53;
    Draw();
    ShotFlight(game);
    ShotFlight(game);
    EXPECT_EQ(Shot().z, 55);
    EXPECT_TRUE(Shot().visible);  // 55 is not beyond 55
    ShotFlight(game);
    EXPECT_FALSE(Shot().visible);

    // It also vanishes when the box of its last frame has left the view.
    Shot().visible = true;
    Shot().z = 5;
    Shot().x = -40;  // far off to the left, but its box is that of the last frame
    ShotFlight(game);
    EXPECT_TRUE(Shot().visible);
    Draw();
    ShotFlight(game);
    EXPECT_FALSE(Shot().visible);
}

TEST_F(ShotFlightTest, LevelTwoShotFliesAlongItsHeadingWithoutDepthLimit) {
    Shot().visible = true;
    Shot().angle = 90;
    Shot().x = 0;
    Shot().z = 60;
    Draw();
    ShotFlightLevel2(game);
    EXPECT_TRUE(Shot().visible);
    EXPECT_NEAR(Shot().x, 0.33, 1e-9);
    EXPECT_NEAR(Shot().z, 60, 1e-7);

    Shot().x = 40;
    Draw();
    ShotFlightLevel2(game);
    EXPECT_FALSE(Shot().visible);
}

}  // namespace
}  // namespace MyApp
