// The end of the user's session as the OS announces it: SIGTERM (a logout or shutdown),
// SIGINT and SIGHUP. A handler only notes the request; the program's loop asks for it and
// closes in good order (results registered, files saved) instead of dying mid-game.
#pragma once

namespace platform {

// Routes the three signals to the request below. Call once, after the window system started
// (so that no library installs handlers of its own over these).
void InstallSessionEndSignals();
// Puts the three signals back to their default action.
void RestoreDefaultSignals();

// Async-signal-safe: what the handlers call.
void RequestSessionEnd();
bool SessionEndRequested();
// Forgets a request (tests).
void ClearSessionEndRequest();

}  // namespace platform
