#include "game/Level1.h"

#include "game/Collisions.h"
#include "game/EnemyFire.h"
#include "game/PlayerControl.h"
#include "game/Random.h"

namespace MyApp {
namespace {

Level1State state;

// Level 1's rule numbers.
constexpr std::int32_t kLastPhase = 2;       // 1: rocks and the small saucer; 2: the large one
constexpr std::int32_t kHitsToDestroy = 10;  // destroyed on the hit after this many
constexpr std::int32_t kSweepHitFrame = 1;   // the small saucer shown hit
constexpr std::int32_t kWanderHitFrame = 3;  // the large saucer shown hit
constexpr std::int32_t kLargeSaucerFrame = 2;

bool HasExploded(const MeshObject& o) {
    return o.frame == kExplosionFrame;
}

// A new run of level 1 has a player record made by its builder at a moment this update has
// not seen yet; a touch left over from the previous game is dropped then.
void ForgetTouchOfEarlierRun(GameFields& game) {
    const MeshObject* player = FindObject(game, kPlayerId);
    if (player == nullptr) {
        return;
    }
    const Timestamp built = HitTime(*player);
    if (built.unset != state.playerBuilt.unset || built.time != state.playerBuilt.time) {
        state.playerBuilt = built;
        state.touched = false;
    }
}

// After the pause that ends phase 1, the saucer returns as the large one.
void ReturnSaucers(GameFields& game) {
    if (game.levelPhase != 2) {
        return;
    }
    for (std::int32_t id = kFirstSaucerId; id <= kLastSaucerId; ++id) {
        MeshObject* saucer = FindObject(game, id);
        if (saucer == nullptr) {
            break;
        }
        saucer->hitCount = 0;
        saucer->frame = kLargeSaucerFrame;
        saucer->visible = true;
        saucer->angle = 90 + RandomInt(1, 11);
        saucer->y = (RandomInt(1, 91) - 46) / 10.0;
        saucer->x = (RandomInt(1, 91) - 46) / 10.0;
        saucer->z = 50;
    }
}

// The main step: the shot against rocks and saucers, the rock field, the saucers' moves.
StepResult Step(GameFields& game, const Timestamp& now) {
    const bool sweeping = game.levelPhase == 1;
    const Point3 shotMin = GetBoundsMin(game, kShotId);
    const Point3 shotMax = GetBoundsMax(game, kShotId);
    if (sweeping && IsShotVisible(game)) {
        ShotVersusRocks(game, now);
    }
    StepResult result;
    result.anySaucer = ShotVersusVisibleSaucers(
        game, shotMin, shotMax, sweeping ? kSweepHitFrame : kWanderHitFrame, kHitsToDestroy, now);
    if (sweeping) {
        result.contact = RockFieldLevel1(game, result.anySaucer, now);
    }
    ForEachVisibleSaucer(game, kLastSaucerId, [&](std::int32_t id, MeshObject& saucer) {
        EndSaucerHitShow(saucer, now, sweeping ? 0 : kLargeSaucerFrame);
        if (HasExploded(saucer)) {
            return;
        }
        if (sweeping) {
            UfoSweep(saucer);
        } else {
            SaucerWander(game, id);
            result.contact = SaucerFireLevel1(game, id, now);
        }
    });
    return result;
}

}  // namespace

bool UpdateLevel1(GameFields& game, const Timestamp& now) {
    ForgetTouchOfEarlierRun(game);
    LevelPlan plan;
    plan.rockPhase = game.levelPhase == 1;
    plan.flyShot = &ShotFlight;
    plan.afterPause = [&] { ReturnSaucers(game); };
    plan.step = [&] { return Step(game, now); };
    plan.won = [&](const StepResult& result) {
        EndPhaseWhenClear(game, state, now, result);
        return game.levelPhase > kLastPhase;
    };
    return RunLevelTick(game, state, now, plan);
}

bool RockFieldLevel1(GameFields& game, bool anySaucer, const Timestamp& now) {
    const Point3 shipMin = GetBoundsMin(game, kPlayerId);
    const Point3 shipMax = GetBoundsMax(game, kPlayerId);
    bool spawned = false;
    bool contact = false;
    for (std::int32_t id = kFirstRockId; id <= kLastRockId; ++id) {
        MeshObject* rock = FindObject(game, id);
        if (rock == nullptr) {
            break;
        }
        if (!anySaucer) {
            rock->visible = false;
        } else if (!rock->visible) {
            if (!spawned) {
                spawned = true;
                rock->y = (RandomInt(1, 91) - 46) / 10.0;
                rock->x = (RandomInt(1, 91) - 46) / 10.0;
                SetUserFloat(*rock, static_cast<float>((RandomInt(1, 901) + 99) / 1000.0));
                rock->angle = 0;
                rock->visible = true;
                rock->z = 50;
            }
        } else if (rock->z > -5) {
            if (RockAgainstShip(*rock, shipMin, shipMax, now, contact)) {
                rock->z -= static_cast<double>(UserFloat(*rock));
                rock->angle = (rock->angle + 5) % 360;
            }
        } else {
            rock->visible = false;
        }
    }
    return contact;
}

void UfoSweep(MeshObject& saucer) {
    if (UserFloat(saucer) > 0) {
        saucer.x += 0.3;
        if (saucer.x > 3.5) {
            SetUserFloat(saucer, -1.0f);
            saucer.y += (RandomInt(1, 71) - 36) / 80.0;
        }
    } else {
        saucer.x -= 0.3;
        if (saucer.x < -3.5) {
            SetUserFloat(saucer, 1.0f);
            saucer.y += (RandomInt(1, 71) - 36) / 80.0;
        }
    }
    if (saucer.y < -3.5) {
        saucer.y = -3.5;
    } else if (saucer.y > 3.5) {
        saucer.y = 3.5;
    }
}

void SaucerWander(GameFields& game, std::int32_t id) {
    MoveObject(game, id, 0, -1, 0, 0.3);
    const Point3 p = GetPosition(game, id);
    if (p.x > 5 || p.x < -5 || p.z > 50 || p.z < 20) {
        MoveObject(game, id, 90 + RandomInt(1, 20), -1, 0, 0.3);
    }
}

Level1State& Level1StateForTesting() {
    return state;
}

void ResetLevel1ForTesting() {
    state = Level1State{};
}

}  // namespace MyApp
