#include "platform/sdlwin/resting_pointer.h"

#include <SDL.h>

namespace platform::sdlwin {

void RestingPointer::Moved(bool keepHidden) {
    lastMotion_ = MonotonicNow();
    if (hidden_ && !keepHidden) {
        SDL_ShowCursor(SDL_ENABLE);
        hidden_ = false;
    }
}

void RestingPointer::Allow(bool allowed) {
    allowed_ = allowed;
    Moved();
}

void RestingPointer::Check(bool fullscreen) {
    if (!allowed_ || hidden_ || !fullscreen) {
        return;
    }
    if (MonotonicNow() - lastMotion_ > 2000 * kTicksPerMs) {
        SDL_ShowCursor(SDL_DISABLE);
        hidden_ = true;
    }
}

}  // namespace platform::sdlwin
