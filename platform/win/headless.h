// The headless backend: the window system on a virtual screen with in-memory surfaces, for
// tests and simulations. Tests inject keys, characters and the mouse, run the message loop
// until idle or for a span of fake time, script message-box answers and save windows as
// PNG pictures.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/images/images.h"
#include "platform/win/backend.h"
#include "platform/win/win32.h"

namespace platform::headless {

// Installs the headless backend with a virtual screen of the given size and routes
// platform::MessageBoxA to the window system's message boxes.
void Install(int screenWidth = 1280, int screenHeight = 1024);
// Destroys every window, timer, menu and class, forgets scripts, answers and the idle hook,
// releases all keys: a clean window system for the next test. Install stays in force.
void Reset();

// The fake clock that waiting advances: a message loop (GetMessageW, a message box's loop)
// that has nothing to do moves this clock to the next timer. Without one, waiting sleeps.
void UseFakeClock(FakeClock* clock);
// Called whenever a message loop is about to wait; return true when the hook did something
// (posted messages, injected input, moved the clock), false to let the wait proceed.
void SetIdleHook(std::function<bool()> hook);

// Input. Keys are virtual-key codes; the key table (GetKeyState) follows them.
void KeyDown(int virtualKey);
void KeyUp(int virtualKey);
void PressKey(int virtualKey);  // down and up
// Characters straight to the focus window as WM_CHAR.
void TypeText(const std::wstring& text);
// Mouse at screen coordinates; button 0 left, 1 right.
void MouseMove(int x, int y);
void MouseDown(int x, int y, int button = 0);
void MouseUp(int x, int y, int button = 0);
void Click(int x, int y, int button = 0);
void Wheel(int delta, int x, int y);
// The program loses the keyboard to another program (false) or gets it back (true).
void SetApplicationActive(bool active);
// The desktop minimises (true) or restores (false) a top-level window.
void Minimize(HWND window, bool minimized);
// A point in a window's client area, in screen coordinates.
POINT ClientPoint(HWND window, int x, int y);
void ClickClient(HWND window, int x, int y, int button = 0);

// Dispatches queued, paint and due timer messages until none is left; with a dialog, its
// dialog keys are handled as IsDialogMessageW does. Returns how many were dispatched; stops
// at WM_QUIT (left for the next GetMessageW).
int RunUntilIdle(HWND dialog = nullptr);
// Runs for `ms` milliseconds of the fake clock (UseFakeClock), moving it from timer to
// timer, and leaves it at the end of the span.
void RunFor(int ms, HWND dialog = nullptr);
// Whether WM_QUIT is waiting.
bool QuitPosted();

// Message boxes: answers are used in order, one per box; with none queued the script
// decides; with neither, a box answers its cancel choice (OK, or No to a yes/no question).
void QueueMessageBoxAnswer(int result, int afterMs = 0);
void SetMessageBoxScript(
    std::function<win::MessageBoxAnswer(const win::MessageBoxRequest&)> script);
const std::vector<win::MessageBoxRequest>& MessageBoxLog();

// Pictures of windows: the window with its children, frame and menu strip.
std::optional<Image> WindowImage(HWND window);
bool SaveWindowPng(HWND window, const std::string& path);
// The whole virtual screen with every visible top-level window, in z-order.
Image ScreenImage();
bool SaveScreenPng(const std::string& path);
// The colour (0x00RRGGBB) at a point of a window's client area as last drawn.
std::uint32_t ClientPixel(HWND window, int x, int y);

// What the backend was told.
int PresentCount(HWND window);
int CursorShape();
// Whether the program last allowed the pointer to hide when it rests.
bool CursorIdleHiding();

}  // namespace platform::headless
