// Keeps late X protocol errors about windows that are already gone from ending the program.
#pragma once

namespace platform::sdlwin {

// On the X11 video driver: an error naming a window that no longer exists (SDL's wake-up
// message can reach a window just destroyed, through a connection of its own) is ignored;
// every other error goes to the handler that was there before. Nothing on other drivers.
void IgnoreErrorsAboutGoneWindows();

}  // namespace platform::sdlwin
