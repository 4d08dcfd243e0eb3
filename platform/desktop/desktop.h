// The real desktop in one call: the SDL window backend with our message boxes, sound (silent
// when no audio device opens), joysticks, and OpenGL devices for the 3D panels, each showing
// its frames inside its panel's window.
#pragma once

#include <string>

namespace platform::desktop {

// False, with the reason in *error, when no display can be opened: none is named in the
// environment, or SDL can only offer a driver that shows nothing.
bool Start(std::string* error);

}  // namespace platform::desktop
