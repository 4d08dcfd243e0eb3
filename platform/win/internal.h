// The window system's own state: windows, classes, menus, timers, the queue and the drawing
// objects, shared by the files of this folder and by nothing else.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/win/backend.h"
#include "platform/win/canvas.h"
#include "platform/win/rects.h"
#include "platform/win/win32.h"

namespace platform::win {

// Per-window state of a standard control; each control keeps its own subclass of this.
struct ControlState {
    virtual ~ControlState() = default;
};

struct ScrollBarState {
    int min = 0;
    int max = 100;
    int page = 0;
    int pos = 0;
    int track = 0;
};

struct WindowClass {
    std::wstring name;
    WNDCLASSW wc;
    bool system = false;
};

struct Window {
    HWND handle = nullptr;
    std::wstring className;
    UINT classStyle = 0;
    HBRUSH classBackground = nullptr;
    HCURSOR classCursor = nullptr;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // child windows
    HWND owner = nullptr;   // top-level windows
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    HMENU menu = nullptr;  // top-level windows: the menu bar
    std::wstring text;
    RECT rect;  // relative to the parent's client area, or the screen for top-level windows
    std::vector<HWND> children;  // painting order: later ones are drawn over earlier ones
    SIZE lastClient{-1, -1};
    HICON icons[2] = {nullptr, nullptr};
    HWND lastFocus = nullptr;  // top-level windows: the focus they had when last deactivated
    bool minimized = false;    // top-level windows: iconified by the desktop

    bool needsPaint = false;
    bool needsErase = false;
    bool needsFrame = false;
    RECT updateRect;  // client coordinates
    bool painting = false;

    ScrollBarState hscroll;
    ScrollBarState vscroll;

    bool destroying = false;
    std::unique_ptr<ControlState> control;
    std::unique_ptr<Surface> surface;  // top-level windows
    bool surfaceDirty = false;
};

struct MenuItem {
    UINT flags = 0;
    UINT_PTR id = 0;
    HMENU popup = nullptr;
    std::wstring text;
};

struct Menu {
    bool popup = false;
    std::vector<MenuItem> items;
    HWND window = nullptr;  // the window whose bar this is
};

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT interval = 0;
    TIMERPROC proc = nullptr;
    Ticks due = 0;
};

struct MouseTracking {
    HWND window = nullptr;
    DWORD flags = 0;
    Ticks hoverDue = 0;
    POINT hoverAnchor;  // screen
    DWORD hoverMs = 400;
};

struct System {
    std::map<std::uintptr_t, std::unique_ptr<Window>> windows;
    std::vector<std::unique_ptr<Window>> graveyard;
    std::vector<HWND> topLevels;                  // painting order: later ones are on top
    std::map<std::wstring, WindowClass> classes;  // key: lower-case name
    std::map<std::uintptr_t, std::unique_ptr<Menu>> menus;
    std::vector<Timer> timers;
    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;
    std::uintptr_t nextHandle = 0x10000;
    UINT_PTR nextTimerId = 0x7F00;

    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    HCURSOR cursor = nullptr;
    POINT cursorPos;  // screen
    MouseTracking tracking;
    DWORD lastError = 0;
    int dispatchDepth = 0;

    // Double clicks.
    HWND lastClickWindow = nullptr;
    UINT lastClickMessage = 0;
    Ticks lastClickTime = 0;
    POINT lastClickPos;
    bool mouseButtons[3] = {false, false, false};

    // Keys as injected; the key table (GetKeyState) follows when each key message is taken
    // from the queue, as the platform's does.
    bool injectedKeys[256] = {};
    // A lone Alt press opens the menu bar on release.
    bool altAlone = false;

    // Whether this program has the keyboard (and not another one): the foreground window
    // is the active window only then.
    bool appActive = true;

    Backend* backend = nullptr;
    bool systemClassesRegistered = false;
};

System& Sys();
Window* Find(HWND window);  // nullptr for dead or unknown handles
Menu* FindMenu(HMENU menu);
void SetError(DWORD error);

// Geometry.
RECT NonClientInsets(const Window& w);     // frame, caption and menu bar; scroll bars apart
RECT ClientRectInWindow(const Window& w);  // client area relative to the outer top-left
RECT ScreenRectOf(const Window& w);
HWND TopLevelOf(HWND window);
POINT SurfaceOrigin(const Window& w);  // outer top-left in its top-level surface
bool IsVisibleChain(const Window& w);
bool IsEnabledChain(const Window& w);
bool IsDescendant(HWND ancestor, HWND window);  // window == ancestor counts

// Painting.
void InvalidateWindow(HWND window, const RECT* rect, bool erase, bool frame, bool children);
void InvalidateUnder(const Window& w);  // what a hidden/moved window leaves uncovered
HDC MakeWindowDC(HWND window, bool client, const RECT* clipClient);
void PaintNonClient(HWND window);
void PresentDirty();
void SendPaintNow(HWND window, bool children);

// Messages.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A queued message stamped with the current time and cursor position.
MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostFront(const MSG& msg);
// The window of queued keyboard input: resolved to the focus window when taken.
inline HWND const kToFocus = reinterpret_cast<HWND>(std::uintptr_t{1});
// Applies a queued key message's transition to the key table (the key travels in the
// scan-code bits of lParam).
void ApplyKeyTransition(const MSG& msg);
// While a menu is open it takes the keyboard: true when it took this message.
bool MenuTakesInput(const MSG& msg);
Ticks NowTicks();
DWORD NowMs();

// Focus and activation.
void Activate(HWND window);
void ActivateNextAfter(HWND leaving);
void ZOrderTop(HWND window);
// The window that answers for a disabled top-level window: its last active owned window,
// else (under a box modal for the whole program) the active window; nullptr when none.
HWND StandIn(HWND disabled);
// A press on a disabled window: its stand-in is activated and flashed instead.
void PressOnDisabled(HWND topLevel);
// Gives the focus back to the child of a top-level window that had it when the window was
// last deactivated, or to the window itself.
void RestoreFocus(HWND topLevel);
// The client area may have changed size (menu set, style changed): WM_SIZE when it did.
void NotifyClientChange(HWND window);
// Keeps topmost windows above the others and owned windows above their owners.
void NormalizeZOrder();
// WM_SIZE when `size` or when the client size changed since the last one; WM_MOVE when `move`.
void SendSizeAndMove(HWND window, bool size, bool move);
void RemoveFrom(std::vector<HWND>& list, HWND h);

// Non-client hit testing and scroll bars.
int HitTest(HWND window, POINT screen);
void ScrollBarMouse(HWND window, int hit, UINT message, POINT screen);
void DrawScrollBars(HDC dc, const Window& w, const RECT& client);
bool ScrollDragActive();
HWND ScrollDragWindow();

// Menus.
bool MenuHandlesKey(int vk, bool down);
bool MenuHandlesChar(wchar_t c);
bool MenuHandlesMouse(UINT message, POINT screen);
bool MenuIsOpen();
void MenuOpenByMnemonic(HWND window, wchar_t c);
void MenuEnterKeyboardMode(HWND window);
void MenuCloseAll();
void DrawMenuBarInto(HDC dc, const Window& w, const RECT& bar);
int MenuBarItemAt(const Window& w, POINT screen);
void MenuBarClicked(HWND window, int item);
void MenuWindowGone(HWND window);
// An item by position or id (MF_BYPOSITION in flags), nullptr when there is none.
MenuItem* ItemOf(HMENU menu, UINT item, UINT flags);
// A menu's items changed: the bars and open drop-downs showing menus draw again.
void MenuChanged(HMENU menu);

// Standard controls.
void RegisterSystemClasses();

// The state of a standard control, made on first use.
template <class T>
T* StateOf(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return nullptr;
    }
    if (!w->control) {
        w->control = std::make_unique<T>();
    }
    return dynamic_cast<T*>(w->control.get());
}

// WM_SETFONT and WM_GETFONT for a control that keeps its font in `font` (a set font with
// the redraw flag repaints the control). True when the message was one of them, with its
// result in *result.
bool HandleFontMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HFONT& font,
                       LRESULT* result);

// The procedure of a text-showing control ("Button", "Static", "Edit") in what they share:
// the window and its `State` (which keeps the control's `font`) are found, a window that is
// gone gets 0; WM_SETFONT and WM_GETFONT are answered; WM_PAINT runs `paint` between
// BeginPaint and EndPaint with the client rectangle; WM_ERASEBKGND is left to the paint,
// which fills the whole client area. Every other message goes to `handle`.
template <class State>
LRESULT ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                         void (*paint)(HWND, const Window&, State&, HDC, const RECT&),
                         LRESULT (*handle)(HWND, Window*, State*, UINT, WPARAM, LPARAM)) {
    State* st = StateOf<State>(window);
    Window* w = Find(window);
    if (st == nullptr || w == nullptr) {
        return 0;
    }
    if (LRESULT result; HandleFontMessage(window, message, wParam, lParam, st->font, &result)) {
        return result;
    }
    if (message == WM_ERASEBKGND) {
        return 1;
    }
    if (message != WM_PAINT) {
        return handle(window, w, st, message, wParam, lParam);
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if ((w = Find(window)) == nullptr) {
        return 0;
    }
    RECT client;
    GetClientRect(window, &client);
    paint(window, *w, *st, dc, client);
    EndPaint(window, &ps);
    return 0;
}

// WM_SETTEXT for a control drawn from its text: the default processing, then a repaint.
LRESULT SetTextAndRepaint(HWND window, WPARAM wParam, LPARAM lParam);
// Selects the control's font into `dc`, or the UI font when it has none; returns the font
// that was selected before.
HGDIOBJ SelectControlFont(HDC dc, HFONT font);

// Asks the parent for the colours of a control (WM_CTLCOLOR*): the brush to fill with; the
// text and background colours are left set in `dc`.
HBRUSH ControlColor(HWND control, HDC dc, UINT message);
// Fills a control's client area with the brush its parent answers to `message`, or with the
// system colour `fallback` when the parent gives no usable brush.
void FillControlBackground(HWND control, HDC dc, const RECT& client, UINT message, int fallback);
// Sends a notification to the parent: WM_COMMAND with the control's id and `code`.
void NotifyParent(HWND control, WORD code);
LRESULT CALLBACK_Button(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK_Static(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK_Edit(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK_ToolTip(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK_MenuPopup(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK_MessageBox(HWND, UINT, WPARAM, LPARAM);

// The font for window captions, menus and message boxes.
HFONT UiFont();
HFONT UiBoldFont();

// Draws a sunken or raised 3D edge.
void DrawEdge3D(HDC dc, const RECT& r, bool sunken);

// The clipboard of the process.
std::wstring& Clipboard();

}  // namespace platform::win
