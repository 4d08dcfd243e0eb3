#include "app/shell/GameTick.h"

namespace MyApp {
namespace {

// The player control at most every 40 ms. While the game's clock stands still the pacing runs
// on the platform's time, so the game's pacing resumes where the pause found it.
void ControlStep(TickState& st, GameFields& game, TickServices& sv, const Timestamp& now) {
    const bool held = game.clock.Held();
    const Timestamp platformNow = Timestamp::Now();
    const bool due = held ? ElapsedMs(st.heldMoveClock, platformNow) > kMovePacingMs
                          : ElapsedMs(st.moveClock, now) > kMovePacingMs;
    if (!due) {
        return;
    }
    st.heldMoveClock = platformNow;
    if (!held) {
        st.moveClock = now;
    }
    if (game.level == 4) {
        sv.ControlAstronaut(now);
    } else {
        sv.ControlPlayer(now);
    }
}

// Level running: update the level every tick, pace the player control to 40 ms.
void PlayingStep(TickState& st, GameFields& game, TickServices& sv, const Timestamp& now) {
    if (game.paused != st.pauseShown) {
        st.pauseShown = game.paused;
        sv.SetStatusText(game.paused ? kPauseText : "");
    }
    if (!game.paused && game.level >= 1 && game.level <= 4) {
        if (!sv.UpdateLevel(game.level, now)) {
            game.levelRunning = false;
            if (!game.levelComplete) {
                st.gameOverPending = true;
                game.reachedLevel = game.level;
                game.level = 1;
                sv.SetStatusText("Game Over!");
            }
            st.endClock = now;
            return;
        }
    }
    ControlStep(st, game, sv, now);
}

// Exactly one end-of-level event, once the 1500 ms after the level's end are over.
void LevelEndedStep(TickState& st, GameFields& game, TickServices& sv, const Timestamp& now) {
    if (st.gameOverPending) {
        game.sounds.Silence();
        st.autoContinue = true;
        st.continueClock = now;
        st.gameOverPending = false;
        st.gameOverBannerDue = true;
        st.bannerShown = false;
    } else if (st.gameOverBannerDue) {
        st.autoContinue = false;
        st.bannerClock = now;
        sv.LoadBanner(game.dataFolder + "\\gameover.bmp");
        sv.ShowPanel(false);
        sv.ShowBanner(true);
        sv.BuildTitleScene();
        st.gameOverPending = false;
        st.gameOverBannerDue = false;
        st.bannerShown = true;
        sv.OpenNameEntry();
    } else if (game.levelComplete) {
        st.autoContinue = true;
        game.levelComplete = false;
        game.sounds.Silence();
        if (game.level <= 4) {
            sv.LoadBanner(game.dataFolder + "\\LivelloCompletato.bmp");
        } else {
            sv.LoadBanner(game.dataFolder + "\\GiocoCompletato.bmp");
            game.reachedLevel = 4;
            game.level = 1;
            sv.BuildTitleScene();
            st.bannerShown = true;
            st.autoContinue = false;
            st.bannerClock = now;
            sv.OpenNameEntry();
        }
        sv.ShowPanel(false);
        sv.ShowBanner(true);
        st.continueClock = now;
        sv.SetStatusText("");
    }
}

void BetweenLevelsStep(TickState& st, GameFields& game, TickServices& sv, const Timestamp& now) {
    if (ElapsedMs(st.endClock, now) <= kLevelEndPauseMs) {
        return;
    }
    LevelEndedStep(st, game, sv, now);

    if (st.autoContinue && ElapsedMs(st.continueClock, now) <= kPictureMs) {
        return;
    }
    if (!st.bannerShown && !st.levelStarting) {
        const bool start = sv.StartPressed();
        if (!start && !st.autoContinue) {
            if (sv.GetStatusText() != kStartPrompt) {
                sv.SetStatusText(kStartPrompt);
            }
        } else {
            st.levelStarting = true;
            st.autoContinue = false;
            st.bannerClock = now;
            sv.ShowPanel(false);
            game.energy = 100;
            if (game.level == 1) {
                game.score = 0;
            }
            if (game.level >= 1 && game.level <= 4) {
                sv.BuildLevel(game.level);
            }
            sv.ShowBanner(true);
            st.bannerShown = true;
            sv.SetStatusText("");
        }
    }
    if (st.bannerShown && ElapsedMs(st.bannerClock, now) > kPictureMs) {
        sv.ShowBanner(false);
        sv.ShowPanel(true);
        st.bannerShown = false;
        if (st.levelStarting) {
            st.levelStarting = false;
            game.levelRunning = true;
        }
    }
}

}  // namespace

void RunTick(TickState& st, GameFields& game, TickServices& sv) {
    game.clock.Hold(game.paused && game.levelRunning);
    const Timestamp now = game.clock.Now();
    if (!st.started) {
        st.started = true;
        st.moveClock = now;
        st.heldMoveClock = Timestamp::Now();
        st.endClock = now;
        st.continueClock = now;
        st.bannerClock = now;
    }
    if (st.tickBusy) {
        return;
    }
    st.tickBusy = true;

    if (game.closeRequested && sv.CloseMainWindow()) {
        // The window and everything drawn in it are gone: nothing is left for this tick.
        st.tickBusy = false;
        return;
    }
    game.sounds.Service();

    if (game.levelRunning) {
        PlayingStep(st, game, sv, now);
    } else {
        BetweenLevelsStep(st, game, sv, now);
    }

    sv.Render();
    st.tickBusy = false;
}

}  // namespace MyApp
