// The four level updates on hand-placed scenes: hits and explosions, energy drain and
// loss, pauses between phases, level 2's timeline and the diving saucers of levels 3 and 4.
#include <gtest/gtest.h>

#include <vector>

#include "game/EnemyFire.h"
#include "game/Entities.h"
#include "game/Level1.h"
#include "game/Level2.h"
#include "game/Level34.h"
#include "panel3d/D3DPanelEx.h"
#include "tests/game/GameTestScene.h"

namespace MyApp {
namespace {

constexpr Point3 kShipHalf{0.5, 0.25, 0.5};
constexpr Point3 kShotHalf{0.05, 0.05, 0.6};
constexpr Point3 kRockHalf{0.35, 0.35, 0.35};
constexpr Point3 kSaucerHalf{0.75, 0.25, 0.75};

class LevelUpdateTest : public testing_support::GameSceneTest {
  protected:
    using Update = bool (*)(GameFields&, const Timestamp&);

    LevelUpdateTest() {
        game.levelPhase = 1;
        panel.spriteCells.push_back({});
        panel.textLabels.push_back({});
    }
    // The player, the hidden shot, `rocks` hidden rock slots and `saucers` saucers.
    void Scene(int rocks, int saucers, bool saucersVisible = true, Point3 ship = {0, -2, 0}) {
        Add(kPlayerId, ship.x, ship.y, ship.z, kShipHalf);
        Add(kShotId, ship.x, ship.y, ship.z, kShotHalf, false);
        for (int i = 0; i < rocks; ++i) {
            Add(kFirstRockId + i, 0, 0, 50, kRockHalf, false);
        }
        for (int i = 0; i < saucers; ++i) {
            Add(kFirstSaucerId + i, 0, 0, 50, kSaucerHalf, saucersVisible);
            Object(kFirstSaucerId + i).angle = 180;
        }
        Draw();
        // As if the level had been running for a while: the first call makes a main step.
        Level1StateForTesting().stepClock = Timestamp::LongAgo();
        Level1StateForTesting().damageClock = Timestamp::LongAgo();
        Level2StateForTesting().stepClock = Timestamp::LongAgo();
        Level2StateForTesting().damageClock = Timestamp::LongAgo();
        Level3StateForTesting().stepClock = Timestamp::LongAgo();
        Level4StateForTesting().stepClock = Timestamp::LongAgo();
    }
    // One tick of the game: the frame of the previous tick, 30 ms, the update.
    bool Tick(Update update, std::int64_t ms = 30) {
        Draw();
        clock.AdvanceMs(ms);
        return update(game, Timestamp::Now());
    }
    // Ticks for `ms` milliseconds; false as soon as the update reports the level ended.
    bool Run(Update update, std::int64_t ms) {
        for (std::int64_t t = 0; t < ms; t += 30) {
            if (!Tick(update)) {
                return false;
            }
        }
        return true;
    }
    // Puts the shot in flight on the saucer and runs one main step.
    bool ShootSaucer(Update update, std::int32_t id) {
        const MeshObject s = Object(id);
        Show(kShotId, s.x, s.y, s.z);
        return Tick(update, 31);
    }
    // Visible records among the consecutive ids from `first` that the scene has.
    int Visible(std::int32_t first) {
        int n = 0;
        for (std::int32_t id = first; FindObject(game, id); ++id) {
            n += Object(id).visible ? 1 : 0;
        }
        return n;
    }
};

// --- Level 1 -------------------------------------------------------------------------

TEST_F(LevelUpdateTest, Level1SaucerExplodesAtTheShotOnTheEleventhHitAndVanishesASecondLater) {
    Scene(0, 1);
    for (int hit = 1; hit <= 10; ++hit) {
        ASSERT_TRUE(ShootSaucer(UpdateLevel1, kFirstSaucerId));
        EXPECT_EQ(Object(kFirstSaucerId).hitCount, hit);
        EXPECT_EQ(Object(kFirstSaucerId).frame, 1);
        EXPECT_FALSE(Object(kShotId).visible);
    }
    EXPECT_EQ(game.score, 100);
    ASSERT_TRUE(ShootSaucer(UpdateLevel1, kFirstSaucerId));
    const MeshObject& saucer = Object(kFirstSaucerId);
    EXPECT_EQ(saucer.frame, 4);
    // Where the shot was after its flight of this tick, not where the saucer was.
    EXPECT_DOUBLE_EQ(saucer.z, 51.0);
    EXPECT_EQ(game.score, 110);
    EXPECT_EQ(panel.textLabels[0].text, "Punteggio: 000110");

    ASSERT_TRUE(Run(UpdateLevel1, 960));
    EXPECT_TRUE(Object(kFirstSaucerId).visible);
    ASSERT_TRUE(Run(UpdateLevel1, 90));
    EXPECT_FALSE(Object(kFirstSaucerId).visible);
    EXPECT_EQ(game.levelPhase, 1);
    // The next main step finds no saucer: phase 2 begins with its pause.
    ASSERT_TRUE(Run(UpdateLevel1, 60));
    EXPECT_EQ(game.levelPhase, 2);
}

TEST_F(LevelUpdateTest, Level1RockRestingOnTheShipDrainsFivePerFourHundredMsUntilLost) {
    Scene(1, 1);
    SetUserFloat(Show(kFirstRockId, 0, -2, 0.2), 0.5f);
    game.energy = 100;

    std::vector<std::int64_t> drops;  // ms of each energy drop
    std::int64_t t = 0;
    int energy = game.energy;
    bool running = true;
    while (running && t < 20000) {
        running = Tick(UpdateLevel1);
        t += 30;
        if (game.energy != energy) {
            EXPECT_EQ(energy - game.energy, 5);
            energy = game.energy;
            drops.push_back(t);
        }
    }
    EXPECT_FALSE(running);
    EXPECT_EQ(game.energy, 0);
    EXPECT_EQ(drops.size(), 20u);
    for (std::size_t i = 1; i < drops.size(); ++i) {
        EXPECT_GT(drops[i] - drops[i - 1], 400);
        EXPECT_LE(drops[i] - drops[i - 1], 430);
    }
    EXPECT_EQ(panel.spriteCells[0].row, 6);    // the energy bar's empty band
    EXPECT_EQ(Object(kFirstRockId).frame, 2);  // impact look while resting on the ship
    EXPECT_DOUBLE_EQ(Object(kFirstRockId).z, 0.2);
    EXPECT_FALSE(Level1StateForTesting().touched);
}

TEST_F(LevelUpdateTest, Level1RocksVanishWithTheLastSaucerAndThePauseFreezesAllButTheShot) {
    Scene(3, 1);
    ASSERT_TRUE(Run(UpdateLevel1, 300));
    ASSERT_GT(Visible(kFirstRockId), 0);
    Object(kFirstSaucerId).visible = false;
    ASSERT_TRUE(Tick(UpdateLevel1, 31));
    EXPECT_EQ(Visible(kFirstRockId), 0);
    EXPECT_EQ(game.levelPhase, 2);

    Show(kShotId, 0, -2, 0);
    // During the pause only the shot moves: no saucer returns, no rock enters, no damage.
    ASSERT_TRUE(Run(UpdateLevel1, 900));
    EXPECT_DOUBLE_EQ(Object(kShotId).z, 30.0);
    EXPECT_FALSE(Object(kFirstSaucerId).visible);
    EXPECT_EQ(Visible(kFirstRockId), 0);
    ASSERT_TRUE(Run(UpdateLevel1, 1020));  // 1920 ms since the phase ended
    EXPECT_FALSE(Object(kFirstSaucerId).visible);
    ASSERT_TRUE(Run(UpdateLevel1, 90));
    const MeshObject& saucer = Object(kFirstSaucerId);
    EXPECT_TRUE(saucer.visible);
    EXPECT_EQ(saucer.frame, 2);
    EXPECT_EQ(saucer.hitCount, 0);
    EXPECT_GE(saucer.angle, 91);
    EXPECT_LE(saucer.angle, 101 + 110);   // entry heading, perhaps turned once by the wander
    EXPECT_EQ(Visible(kFirstRockId), 0);  // phase 2 has no rocks
}

TEST_F(LevelUpdateTest, Level1FireballCostsTenAndTheLastHitOfPhaseTwoWinsTheLevel) {
    Scene(1, 1, true, {0, -2, 0});
    game.levelPhase = 2;
    MeshObject& saucer = Object(kFirstSaucerId);
    saucer.frame = 2;
    saucer.z = 30;
    MeshObject& ball = Show(kFirstRockId, 0, -2, 0.3);
    ball.frame = 5;
    SetUserFloat(ball, 1.0f);
    ASSERT_TRUE(Tick(UpdateLevel1, 31));
    EXPECT_EQ(game.energy, 90);
    EXPECT_FALSE(Object(kFirstRockId).visible);
    EXPECT_EQ(Object(kPlayerId).frame, 1);

    // Shot down in phase 2 (frame 3 while hit), gone a second later, then the level is won.
    Object(kFirstSaucerId).hitCount = 10;
    ASSERT_TRUE(ShootSaucer(UpdateLevel1, kFirstSaucerId));
    EXPECT_EQ(Object(kFirstSaucerId).frame, 4);
    EXPECT_FALSE(Run(UpdateLevel1, 1800));
    EXPECT_EQ(game.level, 2);
    EXPECT_TRUE(game.levelComplete);
    EXPECT_EQ(game.levelPhase, 3);
}

TEST_F(LevelUpdateTest, Level1NewRunDoesNotInheritATouchFromTheLostGame) {
    Scene(1, 1);
    game.levelPhase = 2;
    Object(kFirstSaucerId).frame = 2;
    Object(kFirstSaucerId).z = 30;
    game.energy = 10;
    Show(kFirstRockId, 0, -2, 0.3).frame = 5;
    ASSERT_TRUE(Tick(UpdateLevel1, 31));
    ASSERT_EQ(game.energy, 0);
    EXPECT_FALSE(Tick(UpdateLevel1));  // lost, with the touch still set
    ASSERT_TRUE(Level1StateForTesting().touched);

    // The next game: a new scene from the builder, energy 100, phase 1.
    panel.meshObjects.clear();
    clock.AdvanceMs(10000);
    Scene(1, 1);
    SetHitTime(Object(kPlayerId), Timestamp::Now());
    game.levelPhase = 1;
    game.energy = 100;
    ASSERT_TRUE(Tick(UpdateLevel1));
    EXPECT_EQ(game.energy, 100);
    EXPECT_FALSE(Level1StateForTesting().touched);
}

TEST_F(LevelUpdateTest, UfoSweepTurnsBackAfterCrossingTheEdgeAndKeepsHeightInRange) {
    MeshObject saucer;
    saucer.x = 3.4;
    saucer.y = 3.5;
    SetUserFloat(saucer, 1.0f);
    UfoSweep(saucer);
    EXPECT_NEAR(saucer.x, 3.7, 1e-9);
    EXPECT_EQ(UserFloat(saucer), -1.0f);
    EXPECT_LE(saucer.y, 3.5);
    UfoSweep(saucer);
    EXPECT_NEAR(saucer.x, 3.4, 1e-9);
    // Direction 0 counts as moving left.
    MeshObject fresh;
    UfoSweep(fresh);
    EXPECT_NEAR(fresh.x, -0.3, 1e-9);
}

// --- Level 2 -------------------------------------------------------------------------

TEST_F(LevelUpdateTest, Level2TimelineRocksFromFiveSecondsSaucersAtThirtyFiveWonAfterForty) {
    Scene(10, 7, false, {-3.5, 8, 2});  // above every rock's path
    game.levelStartTime = Timestamp::Now();
    std::int64_t firstRock = -1, saucersAt = -1;
    for (std::int64_t t = 30; t <= 36000; t += 30) {
        ASSERT_TRUE(Tick(UpdateLevel2));
        if (firstRock < 0 && Visible(kFirstRockId) > 0) {
            firstRock = t;
        }
        if (saucersAt < 0 && Object(kFirstSaucerId).visible) {
            saucersAt = t;
            EXPECT_EQ(Visible(kFirstSaucerId), 7);
            EXPECT_EQ(Visible(kFirstRockId), 0);  // the saucers hold the rocks back
        }
    }
    EXPECT_GT(firstRock, 5000);
    EXPECT_LE(firstRock, 5060);
    EXPECT_GT(saucersAt, 35000);
    EXPECT_LE(saucersAt, 35060);

    // Every saucer explodes on its 4th hit; none comes back within the arrival window.
    for (std::int32_t id = kFirstSaucerId; id < kFirstSaucerId + 7; ++id) {
        for (int hit = 1; hit <= 4; ++hit) {
            ASSERT_TRUE(ShootSaucer(UpdateLevel2, id));
        }
        EXPECT_EQ(Object(id).frame, 4) << id;
    }
    ASSERT_TRUE(Run(UpdateLevel2, 1500));
    EXPECT_EQ(Visible(kFirstSaucerId), 0);
    std::int64_t t = ElapsedMs(game.levelStartTime, Timestamp::Now());
    ASSERT_LT(t, 39999);
    bool running = true;
    while (running && t < 41000) {
        running = Tick(UpdateLevel2);
        t = ElapsedMs(game.levelStartTime, Timestamp::Now());
        ASSERT_EQ(Visible(kFirstSaucerId), 0) << "a saucer came back at " << t;
    }
    EXPECT_FALSE(running);
    EXPECT_GT(t, 40000);
    EXPECT_LE(t, 40060);
    EXPECT_EQ(game.level, 2);
    EXPECT_TRUE(game.levelComplete);
    EXPECT_EQ(game.score, 7 * 4 * 10);
}

TEST_F(LevelUpdateTest, Level2SaucerTouchDrainsLikeARockAndLeavesTheSaucerAlone) {
    Scene(1, 1, true, {0, 0, 2});
    game.levelStartTime = Timestamp::Now();
    Level2StateForTesting().asteroidsOff = true;
    Show(kFirstSaucerId, 0, 0, 2).angle = 0;
    ASSERT_TRUE(Tick(UpdateLevel2, 31));
    EXPECT_TRUE(Level2StateForTesting().touched);
    EXPECT_EQ(Object(kFirstSaucerId).hitCount, 0);
    // Keep the saucer on the ship: it wanders, so put it back before every frame.
    for (int i = 0; i < 15; ++i) {
        Object(kFirstSaucerId).x = 0;
        Object(kFirstSaucerId).y = 0;
        ASSERT_TRUE(Tick(UpdateLevel2));
    }
    EXPECT_EQ(game.energy, 95);
}

// --- Levels 3 and 4 ------------------------------------------------------------------

TEST_F(LevelUpdateTest, Level3LargeSaucerExplodesOnTheNinthHitDiversOnTheThird) {
    Scene(2, 3, true, {4, 3, 0});
    game.level = 3;
    Object(kFirstSaucerId + 2).visible = false;
    for (std::int32_t id : {kFirstSaucerId, kFirstSaucerId + 1}) {
        Object(id).frame = 2;
        Object(id).x = id == kFirstSaucerId ? -3 : 3;
        Object(id).z = 40;
        for (int hit = 1; hit <= 9; ++hit) {
            ASSERT_TRUE(ShootSaucer(UpdateLevel3, id));
            EXPECT_EQ(Object(id).frame, hit < 9 ? 3 : 4) << id << " hit " << hit;
        }
    }
    // Both gone a second later, then the pause, then the never-hit saucer dives in.
    ASSERT_TRUE(Run(UpdateLevel3, 1300));
    EXPECT_EQ(game.levelPhase, 2);
    EXPECT_FALSE(Object(kFirstSaucerId + 2).visible);
    ASSERT_TRUE(Run(UpdateLevel3, 2000));
    const MeshObject& diver = Object(kFirstSaucerId + 2);
    ASSERT_TRUE(diver.visible);
    EXPECT_EQ(diver.angle, 180);
    EXPECT_GE(UserFloat(diver), 0.5f);
    EXPECT_LE(UserFloat(diver), 1.0f);
    EXPECT_FALSE(Object(kFirstSaucerId).visible);  // a destroyed saucer does not dive
    for (int hit = 1; hit <= 3; ++hit) {
        ASSERT_TRUE(ShootSaucer(UpdateLevel3, kFirstSaucerId + 2));
        EXPECT_EQ(Object(kFirstSaucerId + 2).frame, hit < 3 ? 1 : 4);
    }
    ASSERT_TRUE(Run(UpdateLevel3, 1300));
    EXPECT_EQ(game.levelPhase, 3);
    // Nothing enters after the second pause; the first main step after it wins.
    bool running = Run(UpdateLevel3, 2100);
    EXPECT_FALSE(running);
    EXPECT_EQ(game.level, 4);
    EXPECT_TRUE(game.levelComplete);
    EXPECT_EQ(game.score, (9 + 9 + 3) * 10);
}

class DiveTest : public LevelUpdateTest {
  protected:
    // Phase 2 with one diving saucer (id 2001) at (x, y, z) and two fireball slots.
    void DiveScene(double x, double y, double z, float speed, Point3 ship = {3.5, 3.0, 0}) {
        panel.meshObjects.clear();
        Scene(2, 1, true, ship);
        game.levelPhase = 2;
        SetUserFloat(Show(kFirstSaucerId, x, y, z), speed);
        Draw();
    }
};

TEST_F(DiveTest, DiverRestartsFarAwayCostingFiveOnlyWhenItHitsThePlayer) {
    DiveScene(-3, 3, -4.8, 0.5f);  // flies past
    ASSERT_TRUE(Tick(UpdateLevel3, 31));
    EXPECT_DOUBLE_EQ(Object(kFirstSaucerId).z, 50.0);
    EXPECT_EQ(game.energy, 100);

    DiveScene(0, -2, 0.5, 0.5f, {0, -2, 0});
    ASSERT_TRUE(Tick(UpdateLevel3, 31));
    EXPECT_EQ(game.energy, 95);
    const MeshObject& s = Object(kFirstSaucerId);
    EXPECT_DOUBLE_EQ(s.z, 50.0);
    EXPECT_GE(UserFloat(s), 0.5f);
    EXPECT_TRUE(Level3StateForTesting().touched);
    EXPECT_EQ(Object(kPlayerId).frame, 1);
}

TEST_F(DiveTest, DiversFireOnlyStrictlyBetweenDepthTenAndTwenty) {
    DiveScene(-3, 0, 45, 0.25f);
    int launches = 0;
    for (int i = 0; i < 400; ++i) {
        const bool before[] = {Object(kFirstRockId).visible, Object(kFirstRockId + 1).visible};
        ASSERT_TRUE(Tick(UpdateLevel3, 31));
        for (std::int32_t id = kFirstRockId; id < kFirstRockId + 2; ++id) {
            const MeshObject& ball = Object(id);
            if (ball.visible && !before[id - kFirstRockId]) {
                ++launches;
                EXPECT_GT(ball.z, 10.0);
                EXPECT_LT(ball.z, 20.0);
                EXPECT_FLOAT_EQ(UserFloat(ball), 0.33f);
            }
        }
    }
    EXPECT_GE(launches, 2);
}

TEST_F(LevelUpdateTest, Level4FireballCostsFiveAndTheLossComesOnTheFollowingCall) {
    Scene(1, 1, true, {0, -3.5, 0});
    Object(kFirstSaucerId).frame = 2;
    Object(kFirstSaucerId).x = 3;
    Object(kFirstSaucerId).z = 40;
    game.energy = 5;
    MeshObject& ball = Show(kFirstRockId, 0, -3.5, 0.3);
    ball.frame = 5;
    SetUserFloat(ball, 0.33f);
    ASSERT_TRUE(Tick(UpdateLevel4, 31));
    EXPECT_EQ(game.energy, 0);
    EXPECT_FALSE(Tick(UpdateLevel4, 1));
    EXPECT_EQ(game.level, 1);
    EXPECT_FALSE(game.levelComplete);
    EXPECT_TRUE(Level4StateForTesting().touched);
}

TEST_F(DiveTest, Level4DiversEnterLowAndSlow) {
    Scene(1, 3, false, {3.5, -3.5, 0});
    game.levelPhase = 1;
    // No large saucer left: the next main step starts the pause, then all three enter.
    ASSERT_TRUE(Tick(UpdateLevel4, 31));
    ASSERT_EQ(game.levelPhase, 2);
    ASSERT_TRUE(Run(UpdateLevel4, 2040));
    for (std::int32_t id = kFirstSaucerId; id < kFirstSaucerId + 3; ++id) {
        const MeshObject& s = Object(id);
        ASSERT_TRUE(s.visible) << id;
        EXPECT_LE(s.y, 0.0);
        EXPECT_GE(s.y, -3.6);
        EXPECT_GE(UserFloat(s), 0.33f - 1e-6f);
        EXPECT_LE(UserFloat(s), 0.66f + 1e-6f);
    }
}

}  // namespace
}  // namespace MyApp
