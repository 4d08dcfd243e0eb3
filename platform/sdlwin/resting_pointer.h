// The mouse pointer over a fullscreen game: hidden after two seconds without movement while
// the program allows it (a level runs), shown again by any movement.
#pragma once

#include "platform/clock.h"

namespace platform::sdlwin {

class RestingPointer {
  public:
    // The pointer moved (or the window changed under it): shown, the rest starts again.
    void Moved(bool keepHidden = false);
    void Allow(bool allowed);
    // Hides the pointer once it has rested long enough over a fullscreen window.
    void Check(bool fullscreen);

  private:
    Ticks lastMotion_ = 0;
    bool hidden_ = false;
    bool allowed_ = false;
};

}  // namespace platform::sdlwin
