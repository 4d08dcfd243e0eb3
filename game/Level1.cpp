#include "game/Level1.h"

#include "game/Collisions.h"
#include "game/EnemyFire.h"
#include "game/PlayerControl.h"
#include "game/Random.h"
#include "game/ScoreDisplay.h"

namespace MyApp {
namespace {

Level1State state;

constexpr std::int64_t kPauseMs = 2000;
constexpr std::int64_t kDamagePacingMs = 400;
constexpr std::int64_t kStepPacingMs = 30;
constexpr std::int32_t kExplosionFrame = 4;
constexpr std::int32_t kHitsToDestroy = 10;  // destroyed on the hit after this many

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

void ReturnSaucers(GameFields& game) {
    if (game.levelPhase == 2) {
        for (std::int32_t id = kFirstSaucerId; id <= kLastSaucerId; ++id) {
            MeshObject* saucer = FindObject(game, id);
            if (saucer == nullptr) {
                break;
            }
            saucer->hitCount = 0;
            saucer->frame = 2;
            saucer->visible = true;
            saucer->angle = 90 + RandomInt(1, 11);
            saucer->y = (RandomInt(1, 91) - 46) / 10.0;
            saucer->x = (RandomInt(1, 91) - 46) / 10.0;
            saucer->z = 50;
        }
    }
    state.respawnPending = false;
}

}  // namespace

bool UpdateLevel1(GameFields& game) {
    const Timestamp now = Timestamp::Now();
    if (state.stepClock.unset) {
        state.stepClock = now;
    }
    if (state.damageClock.unset) {
        state.damageClock = now;
    }
    ForgetTouchOfEarlierRun(game);

    ShotFlight(game);

    if (ElapsedMs(state.pauseClock, now) < kPauseMs) {
        state.respawnPending = true;
        return true;
    }
    if (state.respawnPending) {
        ReturnSaucers(game);
    }

    if (game.levelPhase == 2 || ElapsedMs(state.damageClock, now) > kDamagePacingMs) {
        if (state.touched) {
            if (game.levelPhase == 1) {
                game.energy -= 5;
            }
            if (UpdateEnergyBar(game)) {
                if (game.levelPhase == 1) {
                    state.touched = false;
                    game.sounds.SetLoop(0);
                }
                game.sounds.Push(kSoundHit);
                return false;
            }
        }
        state.damageClock = now;
    }

    if (ElapsedMs(state.stepClock, now) <= kStepPacingMs) {
        return true;
    }

    const Point3 shotMin = GetBoundsMin(game, kShotId);
    const Point3 shotMax = GetBoundsMax(game, kShotId);
    if (game.levelPhase == 1 && IsShotVisible(game)) {
        ShotVersusRocks(game);
    }
    const bool anySaucer = ShotVersusVisibleSaucers(game, shotMin, shotMax,
                                                    game.levelPhase == 1 ? 1 : 3, kHitsToDestroy);

    bool contact = false;
    if (game.levelPhase == 1) {
        contact = RockFieldLevel1(game, anySaucer);
    }

    ForEachVisibleSaucer(game, kLastSaucerId, [&](std::int32_t id, MeshObject& saucer) {
        EndSaucerHitShow(saucer, now, game.levelPhase == 1 ? 0 : 2);
        if (HasExploded(saucer)) {
            return;
        }
        if (game.levelPhase == 1) {
            UfoSweep(saucer);
        } else {
            SaucerWander(game, id);
            contact = SaucerFireLevel1(game, id);
        }
    });

    if (!state.touched && contact) {
        if (game.levelPhase == 1) {
            game.sounds.SetLoop(kSoundTouch);
        }
        state.touched = true;
        MoveObject(game, kPlayerId, 0, 1, 0, 0);
    } else if (state.touched && !contact) {
        if (game.levelPhase == 1) {
            game.sounds.SetLoop(0);
        }
        state.touched = false;
        MoveObject(game, kPlayerId, 0, 0, 0, 0);
    }

    SetScoreText(game, ScoreText(game));

    if (!anySaucer) {
        game.levelPhase += 1;
        state.pauseClock = now;
    }
    if (game.levelPhase > 2) {
        game.level += 1;
        game.levelComplete = true;
        return false;
    }
    state.stepClock = now;
    return true;
}

bool RockFieldLevel1(GameFields& game, bool anySaucer) {
    const Timestamp now = Timestamp::Now();
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
