// The saucers' fireballs: the rock slots 1001.. serve as fireballs aimed at the player when
// launched, then fly straight along their heading with a fixed vertical slope.
#pragma once

#include <cstdint>

#include "game/GameFields.h"
#include "services/Timestamp.h"

namespace MyApp {

// Launches at most one fireball from saucerId (when canFire, the interval has passed and,
// with two or more saucers on screen, the same saucer did not launch the last one), then
// moves every fireball in flight once. A fireball touching the player costs 5 energy. True
// when a fireball hit the player in this call. `now` is the tick's game time.
bool SaucerFire(GameFields& game, std::int32_t saucerId, std::int32_t intervalMs, bool canFire,
                double speed, const Timestamp& now);

// The level-1 saucer's fire: every 400 ms at speed 1.0, 10 energy per hit.
bool SaucerFireLevel1(GameFields& game, std::int32_t saucerId, const Timestamp& now);

// State kept for the whole run.
struct SaucerFireState {
    Timestamp lastFireTime;        // set to the first call's now
    std::int32_t lastShooter = 0;  // the saucer that launched the last fireball
};
struct SaucerFireLevel1State {
    Timestamp lastFireTime;  // set to the first call's now
};

SaucerFireState& SaucerFireStateForTesting();
SaucerFireLevel1State& SaucerFireLevel1StateForTesting();
// Back to the state of a fresh run.
void ResetEnemyFireForTesting();

}  // namespace MyApp
