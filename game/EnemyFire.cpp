#include "game/EnemyFire.h"

#include <cmath>
#include <limits>

#include "game/Collisions.h"
#include "game/Entities.h"

namespace MyApp {
namespace {

SaucerFireState saucerFireState;
SaucerFireLevel1State saucerFireLevel1State;

constexpr std::int32_t kFireballFrame = 5;
constexpr double kBehindPlayerZ = -5;
constexpr std::int32_t kFireballDamage = 5;
// The level-1 saucer's fire.
constexpr std::int32_t kLevel1FireMs = 400;
constexpr double kLevel1FireSpeed = 1.0;
constexpr std::int32_t kLevel1FireballDamage = 10;

// 1000 x the vertical slope from the saucer to the player, truncated toward zero; 0 when
// both stand at the same depth (the slope would be infinite).
std::int32_t SlopeThousandths(const Point3& ship, const Point3& saucer) {
    const double slope = 1000.0 * (ship.y - saucer.y) / (saucer.z - ship.z);
    if (!std::isfinite(slope)) {
        return 0;
    }
    if (slope >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (slope <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(slope);
}

std::int32_t VisibleSaucers(GameFields& game) {
    std::int32_t count = 0;
    for (std::int32_t id = kFirstSaucerId; id <= kLastSaucerId; ++id) {
        const MeshObject* saucer = FindObject(game, id);
        if (saucer == nullptr) {
            break;
        }
        if (saucer->visible) {
            ++count;
        }
    }
    return count;
}

struct FireRule {
    Timestamp& lastFireTime;
    std::int32_t* lastShooter;  // null: no alternation between saucers
    std::int32_t intervalMs;
    bool canFire;
    double speed;
    std::int32_t damage;
};

bool FireAndMove(GameFields& game, std::int32_t saucerId, const FireRule& rule,
                 const Timestamp& now) {
    if (rule.lastFireTime.unset) {
        rule.lastFireTime = now;
    }
    const Point3 shipMin = GetBoundsMin(game, kPlayerId);
    const Point3 shipMax = GetBoundsMax(game, kPlayerId);
    bool hit = false;
    const std::int32_t saucers = rule.lastShooter ? VisibleSaucers(game) : 0;

    for (std::int32_t id = kFirstRockId; id <= kLastRockId; ++id) {
        MeshObject* slot = FindObject(game, id);
        if (slot == nullptr) {
            break;
        }
        if (!slot->visible) {
            const bool turnAllowed =
                rule.lastShooter == nullptr || saucers == 1 || *rule.lastShooter != saucerId;
            if (rule.canFire && turnAllowed &&
                ElapsedMs(rule.lastFireTime, now) > rule.intervalMs) {
                const Point3 ship = GetPosition(game, kPlayerId);
                const Point3 saucer = GetPosition(game, saucerId);
                SetUserFloat(*slot, static_cast<float>(rule.speed));
                slot->frame = kFireballFrame;
                slot->hitCount = SlopeThousandths(ship, saucer);
                slot->angle = HeadingTo(saucer, ship);
                slot->x = saucer.x;
                slot->y = saucer.y;
                slot->z = saucer.z;
                if (rule.lastShooter) {
                    *rule.lastShooter = saucerId;
                }
                slot->visible = true;
                rule.lastFireTime = now;
            }
        } else if (slot->z > kBehindPlayerZ) {
            if (BoxesOverlap(shipMin, shipMax, kPlayerMargin, GetBoundsMin(game, id),
                             GetBoundsMax(game, id), kPlayerMargin)) {
                game.energy -= rule.damage;
                slot->visible = false;
                game.sounds.Push(kSoundTouch);
                hit = true;
            } else {
                MoveObject(*slot, 0, -1, slot->hitCount / 1000.0,
                           static_cast<double>(UserFloat(*slot)));
            }
        } else {
            slot->visible = false;
        }
    }
    return hit;
}

}  // namespace

bool SaucerFire(GameFields& game, std::int32_t saucerId, std::int32_t intervalMs, bool canFire,
                double speed, const Timestamp& now) {
    return FireAndMove(game, saucerId,
                       FireRule{saucerFireState.lastFireTime, &saucerFireState.lastShooter,
                                intervalMs, canFire, speed, kFireballDamage},
                       now);
}

bool SaucerFireLevel1(GameFields& game, std::int32_t saucerId, const Timestamp& now) {
    return FireAndMove(game, saucerId,
                       FireRule{saucerFireLevel1State.lastFireTime, nullptr, kLevel1FireMs, true,
                                kLevel1FireSpeed, kLevel1FireballDamage},
                       now);
}

SaucerFireState& SaucerFireStateForTesting() {
    return saucerFireState;
}
SaucerFireLevel1State& SaucerFireLevel1StateForTesting() {
    return saucerFireLevel1State;
}

void ResetEnemyFireForTesting() {
    saucerFireState = SaucerFireState{};
    saucerFireLevel1State = SaucerFireLevel1State{};
}

}  // namespace MyApp
