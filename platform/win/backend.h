// The boundary between the window system (shared logic: windows, messages, painting into
// in-memory surfaces) and what shows them: the headless backend for tests, a real-window
// backend on the desktop. A backend is told about top-level windows and presents their
// surfaces; it feeds input back through the functions at the end of this file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/win/win32.h"

namespace platform::win {

// The pixels of a top-level window (its whole outer rectangle, frame and menu bar
// included) or of a picture: rows from the top, each pixel 0xAARRGGBB, alpha always 0xFF
// for windows. A window's surface holds `scale` device pixels per logical pixel; width and
// height count device pixels. Pictures keep scale 1.
struct Surface {
    int width = 0;
    int height = 0;
    double scale = 1.0;
    std::vector<std::uint32_t> pixels;
    RECT changed{};  // device pixels drawn since the backend last took the changes

    // Sizes the surface for w x h logical pixels at its scale.
    void Resize(int w, int h, std::uint32_t fill = 0xFFFFFFFFu);
    std::uint32_t At(int x, int y) const { return pixels[Index(x, y)]; }
    std::uint32_t& At(int x, int y) { return pixels[Index(x, y)]; }
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
};

// A message box about to be shown, as the backend sees it.
struct MessageBoxRequest {
    HWND box = nullptr;
    HWND owner = nullptr;
    std::wstring text;
    std::wstring caption;
    UINT type = 0;
};

// What the backend wants done with a message box: result 0 leaves it open for the user
// (input then answers it); otherwise the box ends with that result after afterMs
// milliseconds of the clock, while the nested loop goes on dispatching other messages.
struct MessageBoxAnswer {
    int result = 0;
    int afterMs = 0;
};

class Backend {
  public:
    virtual ~Backend() = default;

    virtual SIZE ScreenSize() = 0;

    // Top-level windows: created (hidden), shown or hidden, moved or resized (screen
    // rectangle), retitled, given an icon, destroyed.
    virtual void TopLevelCreated(HWND window) = 0;
    virtual void TopLevelDestroyed(HWND window) = 0;
    virtual void TopLevelShown(HWND window, bool shown) = 0;
    virtual void TopLevelMoved(HWND window, const RECT& screenRect) = 0;
    virtual void TopLevelTitle(HWND window, const std::wstring& title) = 0;
    virtual void TopLevelActivated(HWND window) = 0;
    // The user pressed on a window disabled by this one (its owner): draw attention to it.
    virtual void TopLevelFlash(HWND /*window*/) {}

    // The surface of a top-level window has new pixels; called when the message loop goes
    // idle, once per changed window.
    virtual void Present(HWND window, const Surface& surface) = 0;

    // The cursor to show (a cursor id such as 32512 for IDC_ARROW).
    virtual void SetCursorShape(int cursorId) = 0;
    // Whether the pointer may hide when it rests (SetCursorIdleHiding).
    virtual void SetCursorIdleHiding(bool /*on*/) {}

    // The message loop has nothing to do until `deadline` (a MonotonicNow value, or nothing
    // when no timer runs). The backend waits for input or time to pass, feeding events
    // through the input functions below. It returns false when nothing can ever happen (no
    // input source, no deadline): the loop then reports the dead end instead of hanging.
    virtual bool Wait(std::optional<Ticks> deadline) = 0;

    // A message box opens.
    virtual MessageBoxAnswer MessageBoxOpened(const MessageBoxRequest& request) = 0;
};

// Installs the backend (not owned); nullptr removes it.
void SetBackend(Backend* backend);
Backend* CurrentBackend();

// Input from the backend, in screen coordinates. Keys update the key table
// (GetKeyState) and go to the focus window; the mouse goes to the capture window or the
// window under the pointer (the menu bar and open menus take their share first).
void InputKey(int virtualKey, bool down);
void InputChar(wchar_t character);
void InputMouseMove(int x, int y);
// button: 0 left, 1 right, 2 middle.
void InputMouseButton(int button, bool down, int x, int y);
void InputMouseWheel(int delta, int x, int y);
// The program gained or lost the keyboard to another program: every top-level window gets
// WM_ACTIVATEAPP (wParam TRUE or FALSE), and the foreground window follows. Repeats of the
// current state do nothing.
void InputApplicationActive(bool active);
// The desktop minimised or restored a top-level window: WM_SIZE with SIZE_MINIMIZED (size 0)
// or SIZE_RESTORED (the client size). Repeats of the current state do nothing.
void InputMinimized(HWND window, bool minimized);
// The desktop gave the keyboard to a disabled window: the window that answers for it (its
// dialog, or the box modal for the whole program) is activated and flashed instead.
void InputFocusOnDisabled(HWND window);

// Where a window lies in its top-level window's surface: its outer rectangle, or its client
// area. A backend with native window decorations shows a top-level window's menu strip and
// client area only: ContentRect gives that part (the frame and caption drawn here left out).
RECT RectInSurface(HWND window, bool client);
RECT ContentRect(HWND topLevel);

// The picture of an icon (WM_GETICON gives a window's), nullptr for other handles.
const Surface* IconPicture(HICON icon);

// The composed pixels of a top-level window (nothing for other handles), and of a window
// of any kind cut out of its top-level window's surface.
const Surface* TopLevelSurface(HWND window);
// Draws a top-level window at `scale` device pixels per logical pixel from now on: its
// surface is resized and the whole window painted again. Everything else stays logical.
void SetSurfaceScale(HWND window, double scale);
// The part of a top-level window's surface drawn since the last call (device pixels), for a
// backend that keeps a copy of the picture; empty when nothing changed.
RECT TakeSurfaceChanges(HWND window);
std::optional<Surface> CaptureWindow(HWND window);

// When the message loop next has something to do by itself (the earliest timer or hover
// deadline), or nothing.
std::optional<Ticks> NextMessageDeadline();

// Destroys every window, timer, menu and class of the process and empties the queue:
// a clean window system for the next test.
void ResetWindowSystem();

}  // namespace platform::win
