#include "app/shell/GameTick.h"

namespace MyApp {
namespace {

// Level running: update the level every tick, pace the player control to 40 ms.
void PlayingStep(TickState& st, GameFields& game, TickServices& sv) {
    if (!game.paused && game.level >= 1 && game.level <= 4) {
        if (!sv.UpdateLevel(game.level)) {
            game.levelRunning = false;
            if (!game.levelComplete) {
                st.gameOverPending = true;
                game.reachedLevel = game.level;
                game.level = 1;
                sv.SetStatusText("Game Over!");
            }
            st.endClock.SetNow();
            return;
        }
    }
    if (ElapsedMs(st.moveClock, Timestamp::Now()) > kMovePacingMs) {
        st.moveClock.SetNow();
        if (game.level == 4) {
            sv.ControlAstronaut();
        } else {
            sv.ControlPlayer();
        }
    }
}

// Exactly one end-of-level event, once the 1500 ms after the level's end are over.
void LevelEndedStep(TickState& st, GameFields& game, TickServices& sv) {
    if (st.gameOverPending) {
        game.sounds.Silence();
        st.autoContinue = true;
        st.continueClock.SetNow();
        st.gameOverPending = false;
        st.gameOverBannerDue = true;
        st.bannerShown = false;
    } else if (st.gameOverBannerDue) {
        st.autoContinue = false;
        st.bannerClock.SetNow();
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
            st.bannerClock.SetNow();
            sv.OpenNameEntry();
        }
        sv.ShowPanel(false);
        sv.ShowBanner(true);
        st.continueClock.SetNow();
        sv.SetStatusText("");
    }
}

void BetweenLevelsStep(TickState& st, GameFields& game, TickServices& sv) {
    if (ElapsedMs(st.endClock, Timestamp::Now()) <= kLevelEndPauseMs) {
        return;
    }
    LevelEndedStep(st, game, sv);

    if (st.autoContinue && ElapsedMs(st.continueClock, Timestamp::Now()) <= kPictureMs) {
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
            st.bannerClock.SetNow();
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
    if (st.bannerShown && ElapsedMs(st.bannerClock, Timestamp::Now()) > kPictureMs) {
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
    if (!st.started) {
        st.started = true;
        st.moveClock.SetNow();
        st.endClock.SetNow();
        st.continueClock.SetNow();
        st.bannerClock.SetNow();
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
        PlayingStep(st, game, sv);
    } else {
        BetweenLevelsStep(st, game, sv);
    }

    sv.Render();
    st.tickBusy = false;
}

}  // namespace MyApp
