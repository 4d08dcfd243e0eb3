#include "platform/sdlwin/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <thread>

#if defined(KX_ASAN)
#include <sanitizer/lsan_interface.h>
#endif

#include "platform/keyboard.h"
#include "platform/sdlwin/child_view.h"
#include "platform/sdlwin/event_translation.h"
#include "platform/sdlwin/gl_window.h"
#include "platform/sdlwin/native_window.h"
#include "platform/sdlwin/owned_windows.h"
#include "platform/sdlwin/resting_pointer.h"
#include "platform/sdlwin/x11_errors.h"
#include "platform/win/backend.h"
#include "platform/win/scale.h"
#include "platform/win/win32.h"

namespace platform::sdlwin {
namespace {

// The display libraries keep some of what they allocate while starting until the process
// ends, from code the leak checker cannot unwind; that is not ours to report.
class SystemAllocations {
  public:
#if defined(KX_ASAN)
    SystemAllocations() {
        __lsan_disable();
    }
    ~SystemAllocations() {
        __lsan_enable();
    }
#else
    SystemAllocations() = default;
#endif
    SystemAllocations(const SystemAllocations&) = delete;
    SystemAllocations& operator=(const SystemAllocations&) = delete;
};

class SdlBackend : public win::Backend {
  public:
    SdlBackend() : translator_([this](std::uint32_t id) { return PlaceOf(id); }) {}

    // The screen in logical pixels: the desktop at the scale the windows are shown at.
    SIZE ScreenSize() override {
        SDL_DisplayMode mode;
        SIZE native{1024, 768};
        if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
            native = SIZE{mode.w, mode.h};
        }
        return SIZE{static_cast<LONG>(native.cx / scale_), static_cast<LONG>(native.cy / scale_)};
    }

    void TopLevelCreated(HWND window) override { Ensure(window); }

    void TopLevelDestroyed(HWND window) override {
        auto it = natives_.find(window);
        if (it == natives_.end()) {
            return;
        }
        Native& n = it->second;
        if (window == main_) {
            lastMain_ = PlacementOf(n, windowed_);
            main_ = nullptr;
        }
        pending_.erase(window);
        byId_.erase(SDL_GetWindowID(n.window));
        KeepGlContext keep;
        n.gl.reset();
        if (n.texture != nullptr) {
            SDL_DestroyTexture(n.texture);
        }
        if (n.renderer != nullptr) {
            SDL_DestroyRenderer(n.renderer);
        }
        SDL_DestroyWindow(n.window);
        natives_.erase(it);
        ReturnKeyboard(window);
    }

    void TopLevelShown(HWND window, bool shown) override {
        Native* n = Ensure(window);
        if (n == nullptr) {
            return;
        }
        n->shown = shown;
        if (!shown) {
            if (n->popup) {
                HideWithoutKeyboard(n->window);
            } else {
                SDL_HideWindow(n->window);
            }
            ReturnKeyboard(window);
            return;
        }
        if (window == main_ && !n->firstShown) {
            // Shown once the program waits for input: its size and place are final then.
            pending_.insert(window);
            return;
        }
        ShowNative(window, *n);
    }

    void TopLevelMoved(HWND window, const RECT&) override {
        if (applyingMove_) {
            return;
        }
        if (Native* n = Find(window)) {
            Place(window, *n);
        }
    }

    void TopLevelTitle(HWND window, const std::wstring& title) override {
        if (Native* n = Find(window)) {
            SDL_SetWindowTitle(n->window, Utf8FromWide(title).c_str());
        }
    }

    void TopLevelActivated(HWND window) override {
        Native* n = Find(window);
        if (n == nullptr || !n->shown || n->popup) {
            return;
        }
        RaiseWithKeyboard(n->window);
        RaiseOwned(window);
    }

    void TopLevelFlash(HWND window) override {
        Native* n = Find(window);
        if (n == nullptr || !n->shown) {
            return;
        }
        RaiseWithKeyboard(n->window);
        SDL_FlashWindow(n->window, SDL_FLASH_BRIEFLY);
    }

    void Present(HWND window, const win::Surface& surface) override {
        KeepGlContext keep;
        Native* n = Ensure(window);
        if (n == nullptr) {
            return;
        }
        Place(window, *n);
        SetIcon(window, *n);  // WM_SETICON repaints the frame, so a new icon arrives here
        if (n->gl) {
            // The window system draws at the scale the window shows at; a new scale paints
            // the window again, which presents it again.
            if (!SurfaceAt(window, MapOf(window, *n).scale)) {
                return;
            }
            // Drawn when the loop next waits, together with whatever else changed.
            n->gl->SetPicture(surface, RegionOf(window, n->decorated),
                              win::TakeSurfaceChanges(window));
            pending_.insert(window);
            return;
        }
        PresentWithRenderer(window, *n, surface);
    }

    void SetCursorShape(int cursorId) override {
        if (cursorId == cursorId_ && cursor_ != nullptr) {
            return;
        }
        SDL_Cursor* next = SDL_CreateSystemCursor(SystemCursorFor(cursorId));
        if (next == nullptr) {
            return;
        }
        SDL_SetCursor(next);
        if (cursor_ != nullptr) {
            SDL_FreeCursor(cursor_);
        }
        cursor_ = next;
        cursorId_ = cursorId;
    }

    bool Wait(std::optional<Ticks> deadline) override {
        DrawPending();
        Native* mainNative = main_ != nullptr ? Find(main_) : nullptr;
        pointer_.Check(mainNative != nullptr && mainNative->fullscreen);
        const Ticks now = MonotonicNow();
        int timeout = WaitTimeoutMs(deadline, now);
        SDL_Event event;
        int got = 0;
        if (timeout == 0 && deadline && *deadline > now) {
            // Less than a millisecond left: sleep exactly that long, then take what came.
            std::this_thread::sleep_for(std::chrono::microseconds((*deadline - now) / 10));
            got = SDL_PollEvent(&event);
        } else {
            got = timeout < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeout);
        }
        focusLost_ = false;
        if (got != 0) {
            Handle(event);
            while (SDL_PollEvent(&event) != 0) {
                Handle(event);
            }
        }
        // Focus left our windows and went to none of them: another program has the keyboard.
        if (focusLost_ && SDL_GetKeyboardFocus() == nullptr) {
            win::InputApplicationActive(false);
        }
        return true;
    }

    win::MessageBoxAnswer MessageBoxOpened(const win::MessageBoxRequest&) override {
        return win::MessageBoxAnswer{0, 0};  // the user answers it
    }

    void PresentAgain(HWND topLevel) {
        Native* n = Find(topLevel);
        if (n != nullptr && n->gl) {
            pending_.insert(topLevel);
            return;
        }
        const win::Surface* s = win::TopLevelSurface(topLevel);
        if (s != nullptr && IsWindowVisible(topLevel)) {
            Present(topLevel, *s);
        }
    }

    Native* Find(HWND window) {
        auto it = natives_.find(window);
        return it == natives_.end() ? nullptr : &it->second;
    }

    void CloseAll() {
        while (!natives_.empty()) {
            TopLevelDestroyed(natives_.begin()->first);
        }
        if (cursor_ != nullptr) {
            SDL_FreeCursor(cursor_);
        }
        cursor_ = nullptr;
        cursorId_ = 0;
    }

    void UseGlContext(SDL_GLContext context) { glContext_ = context; }

    void DrawPendingNow() { DrawPending(); }

    // Only shown windows take frames in place (the main window once it has its place).
    std::optional<ChildDrawable> ChildDrawing(HWND child) {
        const HWND top = GetAncestorRoot(child);
        Native* n = Find(top);
        if (n == nullptr || !n->gl || !n->shown || (top == main_ && !n->firstShown)) {
            return std::nullopt;
        }
        return DrawableOf(child, top, *n);
    }

    bool ResizeMain(int width, int height) {
        Native* n = main_ != nullptr ? Find(main_) : nullptr;
        if (n == nullptr || width <= 0 || height <= 0) {
            return false;
        }
        SDL_SetWindowSize(n->window, width, height);
        Resized(SDL_GetWindowID(n->window));
        return true;
    }

    void Remember(const WindowPlacement& placement) { remembered_ = placement; }

    WindowPlacement MainPlacement() {
        Native* n = main_ != nullptr ? Find(main_) : nullptr;
        return n != nullptr ? PlacementOf(*n, windowed_) : lastMain_;
    }

  private:
    Native* Ensure(HWND window) {
        if (Native* n = Find(window)) {
            return n;
        }
        if (!IsWindow(window)) {
            return nullptr;
        }
        auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
        auto exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
        Native n;
        n.decorated = (style & WS_CAPTION) == WS_CAPTION;
        n.popup = !n.decorated && (exStyle & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW)) != 0;
        n.resizable = main_ == nullptr && n.decorated && GetParent(window) == nullptr &&
                      glContext_ != nullptr;
        Uint32 flags = SDL_WINDOW_HIDDEN;
        if (!n.decorated) {
            flags |= SDL_WINDOW_BORDERLESS;
        }
        if (n.popup) {
            flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP;
        }
        if (glContext_ != nullptr) {
            flags |= SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
        }
        if (n.resizable) {
            flags |= SDL_WINDOW_RESIZABLE;
        }
        Native* owner = Find(OwnerOf(window));
        if (owner != nullptr) {
            flags |= SDL_WINDOW_SKIP_TASKBAR;
        }
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        n.window = SDL_CreateWindow(Utf8FromWide(title).c_str(), 0, 0, 1, 1, flags);
        if (n.window == nullptr) {
            return nullptr;
        }
        if (!AttachDrawing(n)) {
            SDL_DestroyWindow(n.window);
            return nullptr;
        }
        if (owner != nullptr && !n.popup) {
            MarkOwned(n.window, owner->window);
        }
        byId_[SDL_GetWindowID(n.window)] = window;
        Native& added = natives_[window] = std::move(n);
        if (added.resizable) {
            main_ = window;
        }
        return &added;
    }

    // Where no window manager keeps owned windows above their owner, the windows a raised
    // window owns are raised again after it.
    void RaiseOwned(HWND window) {
        Native* n = Find(window);
        if (n == nullptr || WindowManagerRuns(n->window)) {
            return;
        }
        for (auto& [h, owned] : natives_) {
            if (owned.shown && OwnerOf(h) == window) {
                RaiseWithoutActivation(owned.window);
            }
        }
    }

    // A window that had the keyboard went away or one that should not have it was shown:
    // without a window manager the keyboard would stay with it or go nowhere, so it goes back
    // to the active window while the program is in the foreground.
    void ReturnKeyboard(HWND leaving) {
        HWND active = GetActiveWindow();
        Native* n = Find(active);
        if (active == leaving || n == nullptr || !n->shown || GetForegroundWindow() == nullptr ||
            WindowManagerRuns(n->window)) {
            return;
        }
        SDL_SetWindowInputFocus(n->window);
    }

    // OpenGL through the shared context, or an SDL renderer when there is none.
    bool AttachDrawing(Native& n) {
        KeepGlContext keep;
        if (glContext_ != nullptr) {
            n.gl = GlWindow::Create(n.window, glContext_);
            return n.gl != nullptr;
        }
        n.renderer = SDL_CreateRenderer(n.window, -1, 0);
        if (n.renderer == nullptr) {
            n.renderer = SDL_CreateRenderer(n.window, -1, SDL_RENDERER_SOFTWARE);
        }
        return n.renderer != nullptr;
    }

    // The main window's first size and place: the remembered ones when their display still
    // exists, else the first-start scale, centred.
    void FirstPlacement(HWND window, Native& n) {
        const RECT region = RegionOf(window, n.decorated);
        const SIZE content{region.right - region.left, region.bottom - region.top};
        const WindowPlacement& r = remembered_;
        if (r.known && r.width > 0 && r.height > 0 && OnSomeDisplay(r.x, r.y)) {
            SDL_SetWindowSize(n.window, r.width, r.height);
            SDL_SetWindowPosition(n.window, r.x, r.y);
            scale_ = std::max(0.25, win::Letterbox(content, SIZE{r.width, r.height}).scale);
            n.placed = true;
            startFullscreen_ = r.fullscreen;
            FollowNative(window);
            return;
        }
        startFullscreen_ = r.fullscreen;  // asked for on the command line, or kept
        SDL_Rect usable{0, 0, 1024, 768};
        SDL_GetDisplayUsableBounds(0, &usable);
        // The native frame around the content: a title bar and thin borders.
        scale_ = win::FirstStartScale(content, SIZE{16, 48}, SIZE{usable.w, usable.h});
        n.placed = false;  // sized again at the new scale
        const SIZE screen = ScreenSize();
        const RECT outer = OuterRect(window);
        applyingMove_ = true;
        SetWindowPos(window, nullptr, (screen.cx - (outer.right - outer.left)) / 2,
                     (screen.cy - (outer.bottom - outer.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        applyingMove_ = false;
    }

    // Puts the native window where the window system has the window, at the size it shows
    // it at the current scale. The main window keeps the size the user gave it as long as
    // its logical size stays.
    void Place(HWND window, Native& n) {
        const RECT outer = OuterRect(window);
        const RECT region = RegionOf(window, n.decorated);
        const RECT logical{outer.left + region.left, outer.top + region.top,
                           outer.left + region.right, outer.top + region.bottom};
        const bool sameSize =
            n.placed && logical.right - logical.left == n.placedRect.right - n.placedRect.left &&
            logical.bottom - logical.top == n.placedRect.bottom - n.placedRect.top;
        const bool samePlace =
            n.placed && logical.left == n.placedRect.left && logical.top == n.placedRect.top;
        n.placed = true;
        n.placedRect = logical;
        if ((sameSize && samePlace) || n.fullscreen) {
            return;
        }
        const double s = n.gl ? scale_ : 1.0;
        if (!sameSize) {
            SDL_SetWindowSize(
                n.window,
                std::max(1, static_cast<int>(std::lround((logical.right - logical.left) * s))),
                std::max(1, static_cast<int>(std::lround((logical.bottom - logical.top) * s))));
        }
        // The content's top-left lands where its logical position says; bars move the
        // native window up and left by their width.
        const win::ScaleMap map = MapOf(window, n);
        const double ppp = PixelsPerPoint(n);
        SDL_SetWindowPosition(n.window,
                              static_cast<int>(std::lround(logical.left * s - map.origin.x / ppp)),
                              static_cast<int>(std::lround(logical.top * s - map.origin.y / ppp)));
    }

    void ShowNative(HWND window, Native& n) {
        Place(window, n);
        SetIcon(window, n);
        if (n.popup) {
            ShowWithoutKeyboard(n.window);
        } else {
            SDL_ShowWindow(n.window);
        }
        if (window == main_ && startFullscreen_) {
            startFullscreen_ = false;
            SetFullscreen(n, true);
        }
        if (!n.popup && GetActiveWindow() == window) {
            RaiseWithKeyboard(n.window);
        } else {
            ReturnKeyboard(window);
        }
        if (const win::Surface* s = win::TopLevelSurface(window)) {
            Present(window, *s);
        }
    }

    // Draws every GL window whose picture or views changed since the loop last waited; the
    // main window shows for the first time, at its first-start scale.
    void DrawPending() {
        if (pending_.empty()) {
            return;
        }
        KeepGlContext keep;
        const std::set<HWND> due = std::move(pending_);
        pending_.clear();
        for (HWND window : due) {
            Native* n = Find(window);
            if (n == nullptr || !n->gl || !n->shown || !IsWindow(window)) {
                continue;
            }
            if (window == main_ && !n->firstShown) {
                n->firstShown = true;
                FirstPlacement(window, *n);
                ShowNative(window, *n);
            }
            const win::ScaleMap map = MapOf(window, *n);
            if (!SurfaceAt(window, map.scale)) {
                continue;  // shown once painted again
            }
            const SIZE drawable = n->gl->DrawableSize();
            RedrawStaleFrames(ViewsOf(window, *n), map, drawable);
            // Read again: a view painted above may have replaced or removed its frame.
            const std::vector<PlacedFrame> views = ViewsOf(window, *n);
            n->gl->Draw(map, views);
            n->gl->Swap();
            MarkFramesShown(views);
        }
    }

    std::optional<WindowPlace> PlaceOf(std::uint32_t id) {
        auto it = byId_.find(id);
        if (it == byId_.end()) {
            return std::nullopt;
        }
        Native* n = Find(it->second);
        if (n == nullptr || !IsWindow(it->second)) {
            return std::nullopt;
        }
        RECT outer = OuterRect(it->second);
        RECT region = RegionOf(it->second, n->decorated);
        WindowPlace p;
        p.window = it->second;
        p.origin = POINT{outer.left + region.left, outer.top + region.top};
        p.pixelsPerPoint = PixelsPerPoint(*n);
        p.map = MapOf(it->second, *n);
        p.enabled = IsWindowEnabled(it->second) != FALSE;
        p.popup = n->popup;
        return p;
    }

    void Handle(const SDL_Event& event) {
        if (event.type == SDL_MOUSEMOTION) {
            pointer_.Moved();
        }
        if (event.type == SDL_KEYDOWN && IsFullscreenKey(event.key.keysym)) {
            ToggleFullscreen(event.key.windowID);
            return;
        }
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            Resized(event.window.windowID);
        }
        for (const InputAction& a : translator_.Translate(event)) {
            Apply(a);
        }
    }

    // F11 and Alt+Enter switch the main window between its window and the whole screen.
    void ToggleFullscreen(std::uint32_t id) {
        auto it = byId_.find(id);
        Native* n = it == byId_.end() ? nullptr : Find(it->second);
        if (n != nullptr && n->resizable) {
            SetFullscreen(*n, !n->fullscreen);
        }
    }

    // Borderless over the window's whole display, or back to where it was. Done by hand, so
    // that it works with any window manager or none.
    void SetFullscreen(Native& n, bool on) {
        if (on == n.fullscreen) {
            return;
        }
        SDL_Rect to = windowed_;
        if (on) {
            SDL_GetWindowPosition(n.window, &windowed_.x, &windowed_.y);
            SDL_GetWindowSize(n.window, &windowed_.w, &windowed_.h);
            const int display = std::max(0, SDL_GetWindowDisplayIndex(n.window));
            if (SDL_GetDisplayBounds(display, &to) != 0) {
                return;
            }
        }
        n.fullscreen = on;
        SDL_SetWindowBordered(n.window, on ? SDL_FALSE : SDL_TRUE);
        SDL_SetWindowPosition(n.window, to.x, to.y);
        SDL_SetWindowSize(n.window, to.w, to.h);
        if (on) {
            SDL_RaiseWindow(n.window);
        }
        Resized(SDL_GetWindowID(n.window));
        pointer_.Moved(on);
    }

    // The main window took a new size: its content scales to fit, and the other windows
    // (menus, dialogs) open at that scale from now on.
    void Resized(std::uint32_t id) {
        auto it = byId_.find(id);
        Native* n = it == byId_.end() ? nullptr : Find(it->second);
        if (n == nullptr || !n->gl) {
            return;
        }
        if (n->resizable) {
            const double s = MapOf(it->second, *n).scale / PixelsPerPoint(*n);
            if (s > 0) {
                scale_ = s;
            }
            FollowNative(it->second);
        }
        pending_.insert(it->second);
    }

    void SetCursorIdleHiding(bool on) override { pointer_.Allow(on); }

    void Apply(const InputAction& a) {
        using Kind = InputAction::Kind;
        switch (a.kind) {
            case Kind::Key:
                win::InputKey(a.key, a.down);
                break;
            case Kind::Char:
                win::InputChar(a.character);
                break;
            case Kind::MouseMove:
                win::InputMouseMove(a.x, a.y);
                break;
            case Kind::MouseButton:
                win::InputMouseButton(a.button, a.down, a.x, a.y);
                break;
            case Kind::Wheel:
                win::InputMouseWheel(a.delta, a.x, a.y);
                break;
            case Kind::Activate:
                if (IsWindow(a.window) && IsWindowEnabled(a.window)) {
                    if (GetActiveWindow() != a.window) {
                        SetActiveWindow(a.window);
                    }
                    win::InputApplicationActive(true);
                }
                break;
            case Kind::FocusOnDisabled:
                win::InputFocusOnDisabled(a.window);
                break;
            case Kind::Minimized:
                win::InputMinimized(a.window, a.down);
                break;
            case Kind::FocusLost:
                focusLost_ = true;
                break;
            case Kind::Close:
                if (IsWindow(a.window)) {
                    PostMessageW(a.window, WM_CLOSE, 0, 0);
                }
                break;
            case Kind::Redraw:
                if (Native* n = Find(a.window)) {
                    if (n->gl) {
                        pending_.insert(a.window);
                    } else {
                        Show(*n);
                    }
                }
                break;
            case Kind::Moved:
                FollowNative(a.window, POINT{a.x, a.y});
                break;
            case Kind::Quit:
                PostQuitMessage(0);
                break;
        }
    }

    // The user or the desktop moved (or resized) a native window: the window system follows,
    // so that screen coordinates (menus, message boxes, the pointer) stay true.
    void FollowNative(HWND window, std::optional<POINT> at = std::nullopt) {
        Native* n = Find(window);
        if (n == nullptr || !IsWindow(window)) {
            return;
        }
        int x = at ? at->x : 0;
        int y = at ? at->y : 0;
        if (!at) {
            SDL_GetWindowPosition(n->window, &x, &y);
        }
        const double s = n->gl ? scale_ : 1.0;
        const win::ScaleMap map = MapOf(window, *n);
        const double ppp = PixelsPerPoint(*n);
        const RECT region = RegionOf(window, n->decorated);
        const RECT outer = OuterRect(window);
        const int left = static_cast<int>(std::lround((x + map.origin.x / ppp) / s)) - region.left;
        const int top = static_cast<int>(std::lround((y + map.origin.y / ppp) / s)) - region.top;
        n->placedRect =
            RECT{left + region.left, top + region.top, left + region.right, top + region.bottom};
        if (window == main_ && !n->fullscreen) {
            windowed_ = SDL_Rect{x, y, 0, 0};
            SDL_GetWindowSize(n->window, &windowed_.w, &windowed_.h);
        }
        if (left == outer.left && top == outer.top) {
            return;
        }
        applyingMove_ = true;
        SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        applyingMove_ = false;
    }

    std::map<HWND, Native> natives_;
    std::map<std::uint32_t, HWND> byId_;
    std::set<HWND> pending_;  // GL windows to draw before the loop waits
    EventTranslator translator_;
    SDL_GLContext glContext_ = nullptr;
    double scale_ = 1.0;  // SDL window points per logical pixel, for every window
    HWND main_ = nullptr;
    WindowPlacement remembered_;
    WindowPlacement lastMain_;
    SDL_Rect windowed_{0, 0, 0, 0};  // the main window's place before it went fullscreen
    bool startFullscreen_ = false;
    SDL_Cursor* cursor_ = nullptr;
    int cursorId_ = 0;
    RestingPointer pointer_;
    bool focusLost_ = false;
    bool applyingMove_ = false;
};

SdlBackend* g_backend = nullptr;

void PresentAfterFrame(HWND topLevel) {
    if (g_backend != nullptr) {
        g_backend->PresentAgain(topLevel);
    }
}

}  // namespace

bool Install(std::string* error) {
    if (g_backend != nullptr) {
        return true;
    }
    // Signals end the program as usual; closing a window is the program's decision.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A click on a window in the background acts on it at once, as the desktop's own do.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    [[maybe_unused]] SystemAllocations quiet;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (error != nullptr) {
            *error = SDL_GetError();
        }
        return false;
    }
    IgnoreErrorsAboutGoneWindows();
    SDL_StartTextInput();
    g_backend = new SdlBackend();
    win::SetBackend(g_backend);
    InstallMessageBoxes();
    SetFrameListener(&PresentAfterFrame);
    return true;
}

void Uninstall() {
    if (g_backend == nullptr) {
        return;
    }
    SetFrameListener(nullptr);
    if (win::CurrentBackend() == g_backend) {
        win::SetBackend(nullptr);
    }
    g_backend->CloseAll();
    delete g_backend;
    g_backend = nullptr;
    // SDL's video stays initialised: quitting it unloads the display libraries, and what
    // they keep until exit could no longer be told apart from leaks of ours.
}

bool Installed() {
    return g_backend != nullptr;
}

void UseGlContext(void* context) {
    if (g_backend != nullptr) {
        g_backend->UseGlContext(static_cast<SDL_GLContext>(context));
    }
}

void SetMainWindowPlacement(const WindowPlacement& placement) {
    if (g_backend != nullptr) {
        g_backend->Remember(placement);
    }
}

WindowPlacement MainWindowPlacement() {
    return g_backend != nullptr ? g_backend->MainPlacement() : WindowPlacement{};
}

bool ResizeMainWindow(int width, int height) {
    return g_backend != nullptr && g_backend->ResizeMain(width, height);
}

void DrawPendingWindows() {
    if (g_backend != nullptr) {
        g_backend->DrawPendingNow();
    }
}

void* NativeWindowOf(HWND window) {
    if (g_backend == nullptr) {
        return nullptr;
    }
    Native* n = g_backend->Find(GetAncestorRoot(window));
    return n == nullptr ? nullptr : n->window;
}

HICON NativeIconOf(HWND window) {
    if (g_backend == nullptr) {
        return nullptr;
    }
    Native* n = g_backend->Find(GetAncestorRoot(window));
    return n == nullptr ? nullptr : n->icon;
}

std::optional<ChildDrawable> BeginChildDrawing(HWND child) {
    return g_backend != nullptr ? g_backend->ChildDrawing(child) : std::nullopt;
}

}  // namespace platform::sdlwin
