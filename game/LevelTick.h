// The frame every level update shares: the shot's flight, the pause between phases, the
// energy check, the step pacing, the touched look and the score line, and the end of the
// level. A level gives its own main step and end rule; the rule numbers all levels share
// are named here once.
#pragma once

#include <cstdint>
#include <functional>

#include "game/GameFields.h"
#include "services/Timestamp.h"

namespace MyApp {

inline constexpr std::int64_t kStepPacingMs = 30;    // a main step once more than this passed
inline constexpr std::int64_t kPhasePauseMs = 2000;  // nothing moves but the shot meanwhile
inline constexpr std::int64_t kTouchPacingMs = 400;  // a steady touch costs energy this often
inline constexpr std::int32_t kTouchDamage = 5;

// State of one level's frame, kept for the whole run.
struct LevelTickState {
    Timestamp stepClock;                          // end of the last main step
    Timestamp damageClock;                        // last energy check
    Timestamp pauseClock = Timestamp::LongAgo();  // start of the pause between phases
    bool respawnPending = false;                  // the pause is on; saucers come after it
    bool touched = false;                         // the player shows its touched look
};

// What the main step found.
struct StepResult {
    bool contact = false;    // something touches or hit the player
    bool anySaucer = false;  // a saucer is still visible
};

// A level's part of one tick.
struct LevelPlan {
    // A rock phase: a steady touch costs kTouchDamage every kTouchPacingMs with the touch
    // sound looping, and losing stops the loop. Otherwise hits cost energy themselves and the
    // bar is checked on every tick.
    bool rockPhase = false;
    void (*flyShot)(GameFields&) = nullptr;
    std::function<void()> afterPause;            // once the pause between phases is over
    std::function<StepResult()> step;            // the level's moves, once a step is due
    std::function<bool(const StepResult&)> won;  // after the step: whether the level is won
};

// One tick of a level at game time `now`. True while the level goes on; false when it ended,
// won (level raised, levelComplete set) or lost (energy bar empty; neither changed).
bool RunLevelTick(GameFields& game, LevelTickState& state, const Timestamp& now,
                  const LevelPlan& plan);

// The end rule of the phased levels: a phase with no saucer left ends and the pause between
// phases starts. True when the phase ended.
bool EndPhaseWhenClear(GameFields& game, LevelTickState& state, const Timestamp& now,
                       const StepResult& result);

}  // namespace MyApp
