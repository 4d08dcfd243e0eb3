// The message-box icons, drawn from shapes at any pixel size so that every scale of the
// canvas gets a sharp picture: a red disc with a white cross for errors and stops, a blue
// disc with a white question mark for questions. Their logical size is 32 x 32 pixels.
#pragma once

#include "platform/win/backend.h"
#include "platform/wintypes.h"

namespace platform::win {

enum class BoxIcon { None, Error, Question };

inline constexpr int kBoxIconSize = 32;

// The icon a message-box type asks for (MB_ICONERROR / MB_ICONHAND / MB_ICONSTOP,
// MB_ICONQUESTION); None for the others.
BoxIcon BoxIconFor(UINT type);

// The icon as a straight-alpha ARGB picture `pixels` wide and high; empty for None.
Surface RenderBoxIcon(BoxIcon icon, int pixels);

}  // namespace platform::win
