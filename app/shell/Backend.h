// The choice of the window system the program runs on, made once at start.
#pragma once

namespace MyApp {

// Installs the window system and its message boxes. Returns false, after saying why on
// stderr, when this build has none to offer; the program then exits with code 2.
bool StartWindowSystem();

}  // namespace MyApp
