#include "game/Level2.h"

#include <cmath>

#include "game/Collisions.h"
#include "game/PlayerControl.h"
#include "game/Random.h"

namespace MyApp {
namespace {

Level2State state;

// Level 2's rule numbers.
constexpr std::int64_t kSpawnPacingMs = 1200;
constexpr std::int32_t kHitsToDestroy = 3;  // destroyed on the hit after this many
constexpr std::int32_t kHitFrame = 1;
constexpr double kSaucerStep = 0.33;

// The timeline, in ms from the level's start.
constexpr std::int64_t kRocksFromMs = 5001, kRocksUntilMs = 9999;
constexpr std::int64_t kSaucersFromMs = 35001, kSaucersUntilMs = 39999;
constexpr std::int64_t kWinAfterMs = 40000;

bool Within(std::int64_t t, std::int64_t from, std::int64_t until) {
    return t >= from && t <= until;
}

bool ArrivalAndShot(GameFields& game, std::int64_t t, const Point3& shotMin, const Point3& shotMax,
                    const Timestamp& now) {
    bool anySaucer = false;
    for (std::int32_t id = kFirstSaucerId; id <= kLastSaucerScanId; ++id) {
        MeshObject* saucer = FindObject(game, id);
        if (saucer == nullptr) {
            break;
        }
        if (!saucer->visible) {
            if (saucer->hitCount == 0 && Within(t, kSaucersFromMs, kSaucersUntilMs)) {
                saucer->visible = true;
                saucer->angle = RandomInt(190, 250);
                saucer->y = RandomInt(-35, 35) / 10.0;
                saucer->x = 3.5;
                saucer->z = 2.0;
                state.asteroidsOff = true;
            }
            continue;
        }
        anySaucer = true;
        ShotHitsSaucer(game, *saucer, shotMin, shotMax, kHitFrame, kHitsToDestroy, now);
    }
    return anySaucer;
}

// The main step: the timeline, the shot against rocks and saucers, the rock stream and the
// saucers' moves.
StepResult Step(GameFields& game, const Timestamp& now) {
    const std::int64_t t = ElapsedMs(game.levelStartTime, now);
    if (Within(t, kRocksFromMs, kRocksUntilMs)) {
        state.asteroidsOff = false;
    }
    const Point3 shotMin = GetBoundsMin(game, kShotId);
    const Point3 shotMax = GetBoundsMax(game, kShotId);
    if (game.levelPhase == 1 && IsShotVisible(game)) {
        ShotVersusRocks(game, now);
    }
    StepResult result;
    result.anySaucer = ArrivalAndShot(game, t, shotMin, shotMax, now);
    result.contact = RockStreamLevel2(game, now);
    if (SaucerContactLevel2(game)) {
        result.contact = true;
    }
    ForEachVisibleSaucer(game, kLastSaucerId, [&](std::int32_t, MeshObject& saucer) {
        EndSaucerHitShow(saucer, now, 0);
        if (saucer.frame != kExplosionFrame) {
            SaucerWanderLevel2(saucer);
        }
    });
    return result;
}

}  // namespace

bool UpdateLevel2(GameFields& game, const Timestamp& now) {
    LevelPlan plan;
    plan.rockPhase = true;
    plan.flyShot = &ShotFlightLevel2;
    plan.step = [&] { return Step(game, now); };
    plan.won = [&](const StepResult& result) {
        return ElapsedMs(game.levelStartTime, now) > kWinAfterMs && !result.anySaucer;
    };
    return RunLevelTick(game, state, now, plan);
}

bool RockStreamLevel2(GameFields& game, const Timestamp& now) {
    if (state.lastSpawnTime.unset) {
        state.lastSpawnTime = now;
    }
    const Point3 shipMin = GetBoundsMin(game, kPlayerId);
    const Point3 shipMax = GetBoundsMax(game, kPlayerId);
    bool contact = false;
    for (std::int32_t id = kFirstRockId; id <= kLastRockId; ++id) {
        MeshObject* rock = FindObject(game, id);
        if (rock == nullptr) {
            break;
        }
        if (state.asteroidsOff) {
            rock->visible = false;
        } else if (!rock->visible) {
            if (ElapsedMs(state.lastSpawnTime, now) > kSpawnPacingMs) {
                rock->y = (RandomInt(1, 96) - 46) / 10.0;
                rock->x = 4.5;
                rock->z = 2.0;
                SetUserFloat(*rock, static_cast<float>((RandomInt(1, 251) + 99) / 1000.0));
                rock->frame = 0;
                rock->angle = 0;
                rock->visible = true;
                state.lastSpawnTime = now;
            }
        } else if (rock->x > -5) {
            if (RockAgainstShip(*rock, shipMin, shipMax, now, contact)) {
                rock->x -= static_cast<double>(UserFloat(*rock));
                rock->y -= (RandomInt(1, 76) - 1) / 1000.0;
                rock->angle = (rock->angle + 5) % 360;
            }
        } else {
            rock->visible = false;
        }
    }
    return contact;
}

bool SaucerContactLevel2(GameFields& game) {
    const Point3 shipMin = GetBoundsMin(game, kPlayerId);
    const Point3 shipMax = GetBoundsMax(game, kPlayerId);
    for (std::int32_t id = kFirstSaucerId; id <= kLastSaucerId; ++id) {
        const MeshObject* saucer = FindObject(game, id);
        if (saucer == nullptr) {
            break;
        }
        if (saucer->visible && BoxesOverlap(shipMin, shipMax, kPlayerMargin, GetBoundsMin(game, id),
                                            GetBoundsMax(game, id), kPlayerMargin)) {
            return true;
        }
    }
    return false;
}

void SaucerWanderLevel2(MeshObject& saucer) {
    double a = saucer.angle * kDegreesToRadians;
    saucer.x += std::sin(a) * kSaucerStep;
    saucer.y += std::cos(a) * kSaucerStep;
    if (saucer.x < -4 || saucer.x > 4 || saucer.y < -4 || saucer.y > 4) {
        saucer.angle = (saucer.angle + RandomInt(1, 20) + 90) % 360;
        a = saucer.angle * kDegreesToRadians;
        saucer.x += std::sin(a) * kSaucerStep;
        saucer.y += std::cos(a) * kSaucerStep;
    }
}

Level2State& Level2StateForTesting() {
    return state;
}

void ResetLevel2ForTesting() {
    state = Level2State{};
}

}  // namespace MyApp
