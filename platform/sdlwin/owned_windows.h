// Owned windows on the desktop: a native window marked as belonging to its owner's (a window
// manager keeps it above the owner and out of the task bar), stacking and keyboard focus done
// by hand where no window manager runs, and the check for one.
#pragma once

#include <SDL.h>

namespace platform::sdlwin {

// Marks `window` as transient for `owner` (WM_TRANSIENT_FOR on X11).
void MarkOwned(SDL_Window* window, SDL_Window* owner);
// Raises a native window in the stacking order without asking for its activation.
void RaiseWithoutActivation(SDL_Window* window);
// Shows a window that must not take the keyboard (a menu): where no window manager runs
// it is mapped directly, since SDL would give it the input focus.
void ShowWithoutKeyboard(SDL_Window* window);
// Hides a window ShowWithoutKeyboard showed.
void HideWithoutKeyboard(SDL_Window* window);
// Whether a window manager runs on the display. Without one nobody gives the keyboard to a
// window the program raises: the program sets the input focus itself.
bool WindowManagerRuns(SDL_Window* onDisplayOf);
// Brings a shown window to the front with the keyboard: through the window manager where
// one runs, by setting the input focus directly where none does.
void RaiseWithKeyboard(SDL_Window* window);

}  // namespace platform::sdlwin
