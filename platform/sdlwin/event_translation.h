// SDL events turned into the window system's input, and the small conversions the
// real-window backend needs (wait timeouts, cursors, titles). Free of side effects, so that
// it can be checked without a display.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/win/scale.h"
#include "platform/wintypes.h"

namespace platform::sdlwin {

// Where an SDL window shows one of our top-level windows.
struct WindowPlace {
    HWND window = nullptr;
    POINT origin{0, 0};  // the screen point of the top-left of what the SDL window shows
    bool enabled = true;
    bool popup = false;  // menus and tool tips: never activated, never closed by the user
    // From the SDL window's points to its drawable's pixels, and from those (letterbox and
    // scale) to the window's logical pixels.
    double pixelsPerPoint = 1.0;
    win::ScaleMap map;
};

// One thing for the window system to do, in screen coordinates.
struct InputAction {
    enum class Kind {
        Key,              // key: virtual key (side-specific for modifiers), down
        Char,             // character: a WM_CHAR the key translation does not give
        MouseMove,        // x, y
        MouseButton,      // button (0 left, 1 right, 2 middle), down, x, y
        Wheel,            // delta (120 per notch, positive away from the user), x, y
        Activate,         // window: the user brought it to the front
        FocusOnDisabled,  // window: a disabled window (under its dialog) took the keyboard
        Minimized,        // window: the desktop minimised it (down) or restored it (not down)
        FocusLost,        // window: the native window lost the keyboard
        Close,            // window: the user asked to close it
        Redraw,           // window: the native window needs its picture again
        Moved,            // window: its native window now shows at x, y (screen)
        Quit,             // the session asks the program to end
    };
    Kind kind = Kind::Key;
    HWND window = nullptr;
    int key = 0;
    bool down = false;
    wchar_t character = 0;
    int button = 0;
    int x = 0;
    int y = 0;
    int delta = 0;
};

// Turns SDL events into input actions. It remembers the keys it saw held (released on focus
// loss, so that no key stays stuck down while another program has the keyboard) and the last
// pointer position (for wheel events without one).
class EventTranslator {
  public:
    using PlaceLookup = std::function<std::optional<WindowPlace>(std::uint32_t windowId)>;

    explicit EventTranslator(PlaceLookup lookup) : lookup_(std::move(lookup)) {}

    std::vector<InputAction> Translate(const SDL_Event& event);

    bool KeyHeld(int virtualKey) const;

  private:
    void TranslateKey(const SDL_Event& event, std::vector<InputAction>& out);
    // Characters beyond ASCII typed through the keyboard layout.
    void TranslateText(const SDL_Event& event, std::vector<InputAction>& out);
    void TranslateMotion(const SDL_Event& event, std::vector<InputAction>& out);
    void TranslateButton(const SDL_Event& event, std::vector<InputAction>& out);
    void TranslateWheel(const SDL_Event& event, std::vector<InputAction>& out);
    void TranslateWindowEvent(const SDL_WindowEvent& event, std::vector<InputAction>& out);
    void ReleaseHeldKeys(std::vector<InputAction>& out);

    PlaceLookup lookup_;
    bool held_[256] = {};
    POINT lastMouse_{0, 0};
};

// The mouse button index of the window system for an SDL button, -1 for others.
int ButtonIndex(std::uint8_t sdlButton);

// The screen point (logical pixels) of a point of an SDL window, given in its coordinates.
POINT ScreenPoint(const WindowPlace& place, int x, int y);

// How long SDL may wait for an event before the next deadline of the message loop (a
// MonotonicNow value), in whole milliseconds rounded down so that a wait never overshoots:
// -1 to wait for an event only, 0 when less than a millisecond is left (the caller sleeps
// the rest itself).
int WaitTimeoutMs(std::optional<Ticks> deadline, Ticks now);

// The SDL system cursor for a cursor id of the window system (32512 IDC_ARROW, ...).
SDL_SystemCursor SystemCursorFor(int cursorId);

// UTF-8 for window titles.
std::string Utf8FromWide(const std::wstring& text);

}  // namespace platform::sdlwin
