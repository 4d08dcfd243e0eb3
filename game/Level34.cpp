#include "game/Level34.h"

#include "game/Collisions.h"
#include "game/EnemyFire.h"
#include "game/Entities.h"
#include "game/Level1.h"
#include "game/PlayerControl.h"
#include "game/Random.h"

namespace MyApp {
namespace {

SquadronState level3State;
SquadronState level4State;

// What both levels share.
constexpr std::int32_t kLastPhase = 3;  // 1: the saucers wander; 2 and 3: they dive
constexpr std::int32_t kDiveFireMs = 1000;
constexpr double kDiveFireFromZ = 10, kDiveFireUntilZ = 20;
constexpr std::int32_t kWanderFrame = 2, kWanderHitFrame = 3, kDiveHitFrame = 1;
// Hits a saucer takes before the next destroys it: phase 2 is the short one.
constexpr std::int32_t kHitsToDestroy = 8, kHitsToDestroyPhase2 = 2;

// What differs between level 3 and level 4.
struct LevelRules {
    bool lowEntry;       // entry height -3.5..0 instead of -3.5..3.5
    bool slowFirstDive;  // after-pause dive speed 0.33..0.66 instead of 0.50..1.00
    std::int32_t wanderFireMs;
    double wanderFireSpeed;
    double diveFireSpeed;
    bool diveFireNeedsVisible;
};

constexpr LevelRules kLevel3{false, false, 600, 1.0, 0.33, false};
constexpr LevelRules kLevel4{true, true, 1000, 0.33, 0.05, true};

double EntryX() {
    return (RandomInt(1, 71) - 36) / 10.0;
}
double EntryY(const LevelRules& rules) {
    return rules.lowEntry ? (RandomInt(1, 36) - 36) / 10.0 : (RandomInt(1, 71) - 36) / 10.0;
}
float RestartSpeed() {
    return static_cast<float>((RandomInt(1, 51) + 49) / 100.0);
}
float FirstDiveSpeed(const LevelRules& rules) {
    return rules.slowFirstDive ? static_cast<float>((RandomInt(1, 34) + 32) / 100.0)
                               : RestartSpeed();
}

// Back to the far end at a new random place and speed.
void RestartDive(MeshObject& saucer, const LevelRules& rules) {
    saucer.x = EntryX();
    saucer.y = EntryY(rules);
    saucer.z = 50;
    SetUserFloat(saucer, RestartSpeed());
}

void EnterAfterPause(GameFields& game, const LevelRules& rules) {
    for (std::int32_t id = kFirstSaucerId; id <= kLastSaucerScanId; ++id) {
        MeshObject* saucer = FindObject(game, id);
        if (saucer == nullptr) {
            break;
        }
        if (saucer->hitCount != 0) {
            continue;
        }
        saucer->x = EntryX();
        saucer->y = EntryY(rules);
        saucer->z = 50;
        saucer->angle = 180;
        saucer->visible = true;
        SetUserFloat(*saucer, FirstDiveSpeed(rules));
    }
}

bool ShotVersusSaucers(GameFields& game, const Point3& shotMin, const Point3& shotMax,
                       const Timestamp& now) {
    const bool wandering = game.levelPhase == 1;
    return ShotVersusVisibleSaucers(
        game, shotMin, shotMax, wandering ? kWanderHitFrame : kDiveHitFrame,
        game.levelPhase == 2 ? kHitsToDestroyPhase2 : kHitsToDestroy, now);
}

// One diving saucer: hits the player or moves on, restarts past the player, fires while
// between z 10 and 20. True when it or a fireball hit the player.
bool Dive(GameFields& game, std::int32_t id, const LevelRules& rules, const Point3& shipMin,
          const Point3& shipMax, const Timestamp& now) {
    MeshObject* saucer = FindObject(game, id);
    bool contact = false;
    if (BoxesOverlap(shipMin, shipMax, kPlayerMargin, GetBoundsMin(game, id),
                     GetBoundsMax(game, id), kPlayerMargin)) {
        game.energy -= kTouchDamage;
        game.sounds.Push(kSoundTouch);
        contact = true;
        RestartDive(*saucer, rules);
    } else {
        saucer->z -= static_cast<double>(UserFloat(*saucer));
        saucer->y += (0 - 0.5) / (50 - 0.0);
    }
    if (saucer->z < -5) {
        RestartDive(*saucer, rules);
    }
    bool canFire = saucer->z > kDiveFireFromZ && saucer->z < kDiveFireUntilZ;
    if (rules.diveFireNeedsVisible) {
        canFire = canFire && saucer->visible;
    }
    if (SaucerFire(game, id, kDiveFireMs, canFire, rules.diveFireSpeed, now)) {
        contact = true;
    }
    return contact;
}

void HideRocks(GameFields& game) {
    for (std::int32_t id = kFirstRockId; id <= kLastRockScanId; ++id) {
        MeshObject* rock = FindObject(game, id);
        if (rock == nullptr) {
            break;
        }
        rock->visible = false;
    }
}

// The main step: the shot against the saucers, then each saucer wanders and fires (phase 1)
// or dives.
StepResult Step(GameFields& game, const LevelRules& rules, const Timestamp& now) {
    const Point3 shipMin = GetBoundsMin(game, kPlayerId);
    const Point3 shipMax = GetBoundsMax(game, kPlayerId);
    const Point3 shotMin = GetBoundsMin(game, kShotId);
    const Point3 shotMax = GetBoundsMax(game, kShotId);
    StepResult result;
    result.anySaucer = ShotVersusSaucers(game, shotMin, shotMax, now);
    ForEachVisibleSaucer(game, kLastSaucerId, [&](std::int32_t id, MeshObject& saucer) {
        EndSaucerHitShow(saucer, now, game.levelPhase == 1 ? kWanderFrame : 0);
        if (saucer.frame == kExplosionFrame) {
            return;
        }
        if (game.levelPhase == 1) {
            SaucerWander(game, id);
            if (SaucerFire(game, id, rules.wanderFireMs, true, rules.wanderFireSpeed, now)) {
                result.contact = true;
            }
        } else if (Dive(game, id, rules, shipMin, shipMax, now)) {
            result.contact = true;
        }
    });
    return result;
}

bool UpdateSquadron(GameFields& game, SquadronState& state, const LevelRules& rules,
                    const Timestamp& now) {
    LevelPlan plan;
    plan.flyShot = &ShotFlight;
    plan.afterPause = [&] { EnterAfterPause(game, rules); };
    plan.step = [&] { return Step(game, rules, now); };
    plan.won = [&](const StepResult& result) {
        if (EndPhaseWhenClear(game, state, now, result)) {
            HideRocks(game);
        }
        return game.levelPhase > kLastPhase;
    };
    return RunLevelTick(game, state, now, plan);
}

}  // namespace

bool UpdateLevel3(GameFields& game, const Timestamp& now) {
    return UpdateSquadron(game, level3State, kLevel3, now);
}

bool UpdateLevel4(GameFields& game, const Timestamp& now) {
    return UpdateSquadron(game, level4State, kLevel4, now);
}

SquadronState& Level3StateForTesting() {
    return level3State;
}
SquadronState& Level4StateForTesting() {
    return level4State;
}

void ResetLevel34ForTesting() {
    level3State = SquadronState{};
    level4State = SquadronState{};
}

}  // namespace MyApp
