#include "game/LevelTick.h"

#include "game/Entities.h"
#include "game/ScoreDisplay.h"

namespace MyApp {
namespace {

// The energy check before the main step. True when the bar is empty: the level is lost.
bool OutOfEnergy(GameFields& game, LevelTickState& state, const Timestamp& now, bool rockPhase) {
    if (rockPhase && ElapsedMs(state.damageClock, now) <= kTouchPacingMs) {
        return false;
    }
    if (state.touched) {
        if (rockPhase) {
            game.energy -= kTouchDamage;
        }
        if (UpdateEnergyBar(game)) {
            if (rockPhase) {
                state.touched = false;
                game.sounds.SetLoop(0);
            }
            game.sounds.Push(kSoundHit);
            return true;
        }
    }
    state.damageClock = now;
    return false;
}

// The player shows its touched look (frame 1) while something touches it; in a rock phase the
// touch sound loops meanwhile.
void SwitchTouchedLook(GameFields& game, LevelTickState& state, bool contact, bool rockPhase) {
    if (state.touched == contact) {
        return;
    }
    state.touched = contact;
    if (rockPhase) {
        game.sounds.SetLoop(contact ? kSoundTouch : 0);
    }
    MoveObject(game, kPlayerId, 0, contact ? 1 : 0, 0, 0);
}

}  // namespace

bool RunLevelTick(GameFields& game, LevelTickState& state, const Timestamp& now,
                  const LevelPlan& plan) {
    if (state.stepClock.unset) {
        state.stepClock = now;
    }
    if (state.damageClock.unset) {
        state.damageClock = now;
    }
    plan.flyShot(game);

    if (ElapsedMs(state.pauseClock, now) < kPhasePauseMs) {
        state.respawnPending = true;
        return true;
    }
    if (state.respawnPending) {
        state.respawnPending = false;
        if (plan.afterPause) {
            plan.afterPause();
        }
    }
    if (OutOfEnergy(game, state, now, plan.rockPhase)) {
        return false;
    }
    if (ElapsedMs(state.stepClock, now) <= kStepPacingMs) {
        return true;
    }

    const StepResult result = plan.step();
    SwitchTouchedLook(game, state, result.contact, plan.rockPhase);
    SetScoreText(game, ScoreText(game));
    if (plan.won(result)) {
        game.level += 1;
        game.levelComplete = true;
        return false;
    }
    state.stepClock = now;
    return true;
}

bool EndPhaseWhenClear(GameFields& game, LevelTickState& state, const Timestamp& now,
                       const StepResult& result) {
    if (result.anySaucer) {
        return false;
    }
    game.levelPhase += 1;
    state.pauseClock = now;
    return true;
}

}  // namespace MyApp
