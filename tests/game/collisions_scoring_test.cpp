// Box collisions, the shot against rocks, the saucers' fireballs, the energy bar and the
// score line.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "game/Collisions.h"
#include "game/EnemyFire.h"
#include "game/ScoreDisplay.h"
#include "tests/game/GameTestScene.h"

namespace MyApp {
namespace {

using testing_support::GameSceneTest;

struct OverlapCase {
    const char* what;
    Point3 aMin, aMax;
    double aMargin;
    Point3 bMin, bMax;
    double bMargin;
    bool overlap;
};

// Side margins narrow the boxes in x only; touching edges and boxes without area never collide.
TEST(BoxesOverlapTest, MarginsEdgesAndEmptyBoxes) {
    const Point3 zero{0, 0, 0}, one{1, 1, 1}, a0{-1, -2, -3}, a1{1, 2, 3}, n0{-5, -5, -5},
        n1{-3, -3, -3};
    const OverlapCase cases[] = {
        // x-z rectangles 0..2000 and 1500..3500 after the shift by 1, narrowed by 200 a side.
        {"worked example", a0, a1, 0.1, {0.5, -2, -3}, {2.5, 2, 3}, 0.1, true},
        {"narrowed, only touch", a0, a1, 0.1, {0.6, -2, -3}, {2.6, 2, 3}, 0.1, false},
        {"same without margins", a0, a1, 0, {0.6, -2, -3}, {2.6, 2, 3}, 0, true},
        {"touching in x", zero, one, 0, {1, 0, 0}, {2, 1, 1}, 0, false},
        {"touching in y", zero, one, 0, {0, 1, 0}, {1, 2, 1}, 0, false},
        {"touching in z", zero, one, 0, {0, 0, 1}, {1, 1, 2}, 0, false},
        // x overlap 0.15; the margins trim 0.1 of A's width and 0.115 of B's.
        {"within the margins", zero, one, 0.1, {0.85, 0, 0}, {2, 1, 1}, 0.1, false},
        {"beyond the margins", zero, one, 0.1, {0.75, 0, 0}, {2, 1, 1}, 0.1, true},
        {"y and z not narrowed", zero, one, 0.2, {0, 0.99, 0.99}, {1, 2, 2}, 0.2, true},
        {"point box", zero, zero, 0.2, {-1, -1, -1}, one, 0.2, false},
        {"under a thousandth", {0, 0, 0.0001}, {1, 1, 0.0009}, 0, zero, one, 0, false},
        {"negative", n0, n1, 0.1, {-4, -4, -4}, {-2, -2, -2}, 0.1, true},
        {"negative touching", n0, n1, 0, {-3, -4, -4}, {-2, -2, -2}, 0, false},
    };
    for (const OverlapCase& c : cases) {
        EXPECT_EQ(BoxesOverlap(c.aMin, c.aMax, c.aMargin, c.bMin, c.bMax, c.bMargin), c.overlap)
            << c.what;
    }
}

TEST(EnergyBarTest, BandsFromEnergy) {
    const std::pair<int, int> cases[] = {{100, 0}, {91, 0}, {90, 1}, {71, 1}, {70, 2},
                                         {51, 2},  {50, 3}, {31, 3}, {30, 4}, {11, 4},
                                         {10, 5},  {1, 5},  {0, 6},  {-5, 6}};
    for (const auto& [energy, band] : cases) {
        EXPECT_EQ(EnergyBand(energy), band) << "energy " << energy;
    }
}

class ScoringTest : public GameSceneTest {};

TEST_F(ScoringTest, EnergyBarShowsTheBandAndReportsEmpty) {
    EXPECT_FALSE(UpdateEnergyBar(game));  // no sprite cell: skipped, still answers

    panel.spriteCells.push_back({128, 24, 0, 0, 6, 20, 10, 0});
    game.energy = 90;
    EXPECT_FALSE(UpdateEnergyBar(game));
    EXPECT_EQ(panel.spriteCells[0].row, 1);
    EXPECT_EQ(panel.spriteCells[0].row2, 1);
    game.energy = -5;
    EXPECT_TRUE(UpdateEnergyBar(game));
    EXPECT_EQ(panel.spriteCells[0].row, 6);
    EXPECT_EQ(panel.spriteCells[0].row2, 6);
    EXPECT_EQ(panel.spriteCells[0].lastRow, 6);
}

TEST_F(ScoringTest, ScoreLineHasAtLeastSixDigits) {
    game.score = 0;
    EXPECT_EQ(ScoreText(game), "Punteggio: 000000");
    game.score = 1234;
    EXPECT_EQ(ScoreText(game), "Punteggio: 001234");
    game.score = 1234567;
    EXPECT_EQ(ScoreText(game), "Punteggio: 1234567");

    SetScoreText(game, "x");  // no label: nothing to do
    TekuUtility::TextLabel label;
    label.visible = false;
    panel.textLabels = {label, label};
    SetScoreText(game, ScoreText(game));
    EXPECT_EQ(panel.textLabels[0].text, "Punteggio: 1234567");
    EXPECT_TRUE(panel.textLabels[0].visible);
    EXPECT_EQ(panel.textLabels[1].text, "");
}

TEST_F(ScoringTest, ShotExplodesTheFirstRockItTouches) {
    Add(kShotId, 0.2, 0.1, 10, {0.1, 0.1, 0.6});
    Add(1001, 0, 0, 10, {0.4, 0.4, 0.4}, false);  // hidden
    Add(1002, 0, 0, 10, {0.4, 0.4, 0.4});         // in frame 4: already exploding
    Add(1003, 0, 0, 10.5, {0.4, 0.4, 0.4});
    Add(1004, 0, 0, 10, {0.4, 0.4, 0.4});
    Object(1002).frame = 4;
    Object(1003).frame = 1;
    Object(1003).angle = 75;
    Draw();
    game.score = 10;
    clock.AdvanceMs(100);

    ShotVersusRocks(game, Timestamp::Now());
    EXPECT_EQ(game.score, 15);
    EXPECT_FALSE(Object(kShotId).visible);
    EXPECT_EQ(game.sounds.pending, std::deque<std::int32_t>{kSoundHit});
    const MeshObject& rock = Object(1003);
    EXPECT_EQ(rock.frame, 4);
    EXPECT_EQ(rock.hitCount, 1);  // the shape to restore
    EXPECT_EQ(rock.angle, 0);
    EXPECT_EQ((std::vector<double>{rock.x, rock.y, rock.z}), (std::vector<double>{0.2, 0.1, 10}));
    EXPECT_EQ(ElapsedMs(HitTime(rock), Timestamp::Now()), 0);
    EXPECT_EQ(Object(1004).frame, 0);  // one rock per call
    EXPECT_EQ(Object(1002).hitCount, 0);
}

class SaucerFireTest : public GameSceneTest {
  protected:
    SaucerFireTest() {
        Add(kPlayerId, 0, -2, 0);
        Add(kShotId, 0, -2, 0, {0.1, 0.1, 0.5}, false);
        for (std::int32_t id = 1001; id <= 1004; ++id) {
            Add(id, 0, 0, 50, {0.1, 0.1, 0.1}, false);
        }
        Add(2001, 0, 1, 30, {1.5, 0.5, 1.5});
        Draw();
    }
    // Waits `ms`, then one call of the shared fire rule for saucer `id`.
    bool Fire(std::int32_t id, std::int64_t ms = 0, double speed = 1.0, bool allowed = true) {
        clock.AdvanceMs(ms);
        return SaucerFire(game, id, 600, allowed, speed, Timestamp::Now());
    }
    int VisibleFireballs() {
        int n = 0;
        for (std::int32_t id = 1001; id <= 1004; ++id) {
            n += Object(id).visible;
        }
        return n;
    }
};

TEST_F(SaucerFireTest, FireballIsAimedAtThePlayerAndFallsBySlope) {
    // The first call starts the clock.
    EXPECT_FALSE(Fire(2001));
    EXPECT_EQ(VisibleFireballs(), 0);
    Fire(2001, 600);
    EXPECT_EQ(VisibleFireballs(), 0);  // strictly more than the interval
    Fire(2001, 1);
    ASSERT_EQ(VisibleFireballs(), 1);

    const MeshObject& ball = Object(1001);
    EXPECT_EQ(ball.frame, 5);
    EXPECT_EQ(ball.angle, 180);
    EXPECT_EQ(ball.hitCount, -100);
    EXPECT_EQ(UserFloat(ball), 1.0f);
    EXPECT_EQ(ball.y, 1);
    EXPECT_EQ(ball.z, 30);
    EXPECT_EQ(SaucerFireStateForTesting().lastShooter, 2001);

    Fire(2001);  // moves it; no second launch yet
    EXPECT_EQ(VisibleFireballs(), 1);
    EXPECT_NEAR(Object(1001).z, 29, 1e-9);
    EXPECT_NEAR(Object(1001).y, 0.9, 1e-12);
    Fire(2001, 5000, 1.0, false);  // not allowed: no launch however long the wait
    EXPECT_EQ(VisibleFireballs(), 1);
}

TEST_F(SaucerFireTest, TwoSaucersTakeTurns) {
    Add(2002, 3, 0, 40, {1.5, 0.5, 1.5});
    Fire(2001);
    Fire(2001, 601);
    EXPECT_EQ(VisibleFireballs(), 1);
    Fire(2001, 601);
    EXPECT_EQ(VisibleFireballs(), 1);  // 2001 fired last
    Fire(2002);
    EXPECT_EQ(VisibleFireballs(), 2);
    EXPECT_EQ(Object(1002).x, 3);
    EXPECT_EQ(SaucerFireStateForTesting().lastShooter, 2002);

    // Alone on screen a saucer may fire twice in a row.
    Object(2002).visible = false;
    Fire(2001, 601);
    EXPECT_EQ(VisibleFireballs(), 3);
    Fire(2001, 601);
    EXPECT_EQ(VisibleFireballs(), 4);
}

TEST_F(SaucerFireTest, HitCostsEnergyAndPassedFireballsVanish) {
    Fire(2001);
    // A fireball resting on the player and one already behind it.
    Show(1001, 0, -2, 0);
    Show(1002, 0, 0, -5);
    Draw();
    EXPECT_TRUE(Fire(2001));
    EXPECT_EQ(game.energy, 95);
    EXPECT_FALSE(Object(1001).visible);
    EXPECT_FALSE(Object(1002).visible);
    EXPECT_EQ(game.sounds.pending, std::deque<std::int32_t>{kSoundTouch});
    EXPECT_FALSE(Fire(2001));
}

TEST_F(SaucerFireTest, LevelOneFireCostsTenAndIgnoresTurns) {
    Add(2002, 3, 0, 40, {1.5, 0.5, 1.5});
    SaucerFireLevel1(game, 2001, Timestamp::Now());
    clock.AdvanceMs(401);
    SaucerFireLevel1(game, 2001, Timestamp::Now());
    clock.AdvanceMs(401);
    SaucerFireLevel1(game, 2001, Timestamp::Now());
    EXPECT_EQ(VisibleFireballs(), 2);
    EXPECT_EQ(SaucerFireStateForTesting().lastShooter, 0);  // the shared rule is untouched

    Show(1003, 0, -2, 0);
    Draw();
    EXPECT_TRUE(SaucerFireLevel1(game, 2001, Timestamp::Now()));
    EXPECT_EQ(game.energy, 90);
    EXPECT_EQ(game.sounds.pending.back(), kSoundTouch);
}

TEST_F(SaucerFireTest, EachCallMovesEveryFireballOnce) {
    Add(2002, 3, 0, 40, {1.5, 0.5, 1.5});
    Fire(2001, 0, 0.5);
    Fire(2001, 601, 0.5);  // launched from 2001, z 30
    // Moves it; 2002 must wait for the clock.
    Fire(2002, 0, 0.5);
    Fire(2002, 0, 0.5);
    EXPECT_EQ(VisibleFireballs(), 1);
    EXPECT_NEAR(Object(1001).z, 29, 1e-9);  // two moves of 0.5
}

}  // namespace
}  // namespace MyApp
