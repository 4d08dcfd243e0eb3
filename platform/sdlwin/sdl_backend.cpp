#include "platform/sdlwin/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <map>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "platform/keyboard.h"
#include "platform/sdlwin/child_view.h"
#include "platform/sdlwin/event_translation.h"
#include "platform/sdlwin/owned_windows.h"
#include "platform/sdlwin/x11_errors.h"
#include "platform/win/backend.h"
#include "platform/win/win32.h"

namespace platform::sdlwin {
namespace {

// The windows' renderers may use GL contexts of their own. Whoever else draws with GL on this
// thread (the 3D panel's device) keeps its context: it is made current again when a
// renderer call has switched it.
class KeepGlContext {
  public:
    KeepGlContext() : window_(SDL_GL_GetCurrentWindow()), context_(SDL_GL_GetCurrentContext()) {}
    ~KeepGlContext() {
        if (context_ != nullptr && SDL_GL_GetCurrentContext() != context_)
            SDL_GL_MakeCurrent(window_, context_);
    }
    KeepGlContext(const KeepGlContext&) = delete;
    KeepGlContext& operator=(const KeepGlContext&) = delete;

  private:
    SDL_Window* window_;
    SDL_GLContext context_;
};

// The native window of one top-level window.
struct Native {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
    bool decorated = false;  // native title bar and frame; shows the content rect only
    bool popup = false;      // menus and tool tips
    bool shown = false;
};

RECT OuterRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// The part of the window's picture its native window shows, in surface pixels.
RECT RegionOf(HWND window, bool decorated) {
    if (decorated)
        return win::ContentRect(window);
    RECT r = OuterRect(window);
    return RECT{0, 0, r.right - r.left, r.bottom - r.top};
}

// The display libraries keep some of what they allocate while starting until the process
// ends, from code the leak checker cannot unwind; that is not ours to report.
class SystemAllocations {
  public:
#if defined(__SANITIZE_ADDRESS__)
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

    SIZE ScreenSize() override {
        SDL_DisplayMode mode;
        if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0)
            return SIZE{mode.w, mode.h};
        return SIZE{1024, 768};
    }

    void TopLevelCreated(HWND window) override { Ensure(window); }

    void TopLevelDestroyed(HWND window) override {
        auto it = natives_.find(window);
        if (it == natives_.end())
            return;
        Native& n = it->second;
        byId_.erase(SDL_GetWindowID(n.window));
        KeepGlContext keep;
        if (n.texture != nullptr)
            SDL_DestroyTexture(n.texture);
        if (n.renderer != nullptr)
            SDL_DestroyRenderer(n.renderer);
        SDL_DestroyWindow(n.window);
        natives_.erase(it);
        ReturnKeyboard(window);
    }

    void TopLevelShown(HWND window, bool shown) override {
        Native* n = Ensure(window);
        if (n == nullptr)
            return;
        n->shown = shown;
        if (!shown) {
            SDL_HideWindow(n->window);
            ReturnKeyboard(window);
            return;
        }
        Place(window, *n);
        SetIcon(window, *n);
        SDL_ShowWindow(n->window);
        if (!n->popup && GetActiveWindow() == window)
            RaiseWithKeyboard(n->window);
        else
            ReturnKeyboard(window);
        if (const win::Surface* s = win::TopLevelSurface(window))
            Present(window, *s);
    }

    void TopLevelMoved(HWND window, const RECT&) override {
        if (applyingMove_)
            return;
        if (Native* n = Find(window))
            Place(window, *n);
    }

    void TopLevelTitle(HWND window, const std::wstring& title) override {
        if (Native* n = Find(window))
            SDL_SetWindowTitle(n->window, Utf8FromWide(title).c_str());
    }

    void TopLevelActivated(HWND window) override {
        Native* n = Find(window);
        if (n == nullptr || !n->shown || n->popup)
            return;
        RaiseWithKeyboard(n->window);
        RaiseOwned(window);
    }

    void TopLevelFlash(HWND window) override {
        Native* n = Find(window);
        if (n == nullptr || !n->shown)
            return;
        RaiseWithKeyboard(n->window);
        SDL_FlashWindow(n->window, SDL_FLASH_BRIEFLY);
    }

    void Present(HWND window, const win::Surface& surface) override {
        KeepGlContext keep;
        Native* n = Ensure(window);
        if (n == nullptr)
            return;
        Place(window, *n);
        RECT region = RegionOf(window, n->decorated);
        region.left = std::clamp<LONG>(region.left, 0, surface.width);
        region.top = std::clamp<LONG>(region.top, 0, surface.height);
        region.right = std::clamp<LONG>(region.right, region.left, surface.width);
        region.bottom = std::clamp<LONG>(region.bottom, region.top, surface.height);
        int w = region.right - region.left;
        int h = region.bottom - region.top;
        if (w <= 0 || h <= 0)
            return;
        std::vector<std::uint32_t> pixels = ComposeRegion(surface, region, FramesOf(window));
        if (n->texture == nullptr || n->textureWidth != w || n->textureHeight != h) {
            if (n->texture != nullptr)
                SDL_DestroyTexture(n->texture);
            n->texture = SDL_CreateTexture(n->renderer, SDL_PIXELFORMAT_ARGB8888,
                                           SDL_TEXTUREACCESS_STREAMING, w, h);
            n->textureWidth = w;
            n->textureHeight = h;
        }
        if (n->texture == nullptr)
            return;
        SDL_UpdateTexture(n->texture, nullptr, pixels.data(), w * 4);
        Show(*n);
    }

    void SetCursorShape(int cursorId) override {
        if (cursorId == cursorId_ && cursor_ != nullptr)
            return;
        SDL_Cursor* next = SDL_CreateSystemCursor(SystemCursorFor(cursorId));
        if (next == nullptr)
            return;
        SDL_SetCursor(next);
        if (cursor_ != nullptr)
            SDL_FreeCursor(cursor_);
        cursor_ = next;
        cursorId_ = cursorId;
    }

    bool Wait(std::optional<Ticks> deadline) override {
        int timeout = WaitTimeoutMs(deadline, MonotonicNow());
        SDL_Event event;
        int got = timeout < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeout);
        focusLost_ = false;
        if (got != 0) {
            Handle(event);
            while (SDL_PollEvent(&event) != 0)
                Handle(event);
        }
        // Focus left our windows and went to none of them: another program has the keyboard.
        if (focusLost_ && SDL_GetKeyboardFocus() == nullptr)
            win::InputApplicationActive(false);
        return true;
    }

    win::MessageBoxAnswer MessageBoxOpened(const win::MessageBoxRequest&) override {
        return win::MessageBoxAnswer{0, 0};  // the user answers it
    }

    void PresentAgain(HWND topLevel) {
        const win::Surface* s = win::TopLevelSurface(topLevel);
        if (s != nullptr && IsWindowVisible(topLevel))
            Present(topLevel, *s);
    }

    Native* Find(HWND window) {
        auto it = natives_.find(window);
        return it == natives_.end() ? nullptr : &it->second;
    }

    void CloseAll() {
        while (!natives_.empty())
            TopLevelDestroyed(natives_.begin()->first);
        if (cursor_ != nullptr)
            SDL_FreeCursor(cursor_);
        cursor_ = nullptr;
        cursorId_ = 0;
    }

  private:
    Native* Ensure(HWND window) {
        if (Native* n = Find(window))
            return n;
        if (!IsWindow(window))
            return nullptr;
        auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
        auto exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
        Native n;
        n.decorated = (style & WS_CAPTION) == WS_CAPTION;
        n.popup = !n.decorated && (exStyle & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW)) != 0;
        Uint32 flags = SDL_WINDOW_HIDDEN;
        if (!n.decorated)
            flags |= SDL_WINDOW_BORDERLESS;
        if (n.popup)
            flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP;
        Native* owner = Find(OwnerOf(window));
        if (owner != nullptr)
            flags |= SDL_WINDOW_SKIP_TASKBAR;
        RECT outer = OuterRect(window);
        RECT region = RegionOf(window, n.decorated);
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        n.window =
            SDL_CreateWindow(Utf8FromWide(title).c_str(), outer.left + region.left,
                             outer.top + region.top, std::max<int>(1, region.right - region.left),
                             std::max<int>(1, region.bottom - region.top), flags);
        if (n.window == nullptr)
            return nullptr;
        KeepGlContext keep;
        n.renderer = SDL_CreateRenderer(n.window, -1, 0);
        if (n.renderer == nullptr)
            n.renderer = SDL_CreateRenderer(n.window, -1, SDL_RENDERER_SOFTWARE);
        if (n.renderer == nullptr) {
            SDL_DestroyWindow(n.window);
            return nullptr;
        }
        if (owner != nullptr && !n.popup)
            MarkOwned(n.window, owner->window);
        byId_[SDL_GetWindowID(n.window)] = window;
        return &(natives_[window] = n);
    }

    static HWND OwnerOf(HWND window) {
        return reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_HWNDPARENT));
    }

    // Where no window manager keeps owned windows above their owner, the windows a raised
    // window owns are raised again after it.
    void RaiseOwned(HWND window) {
        Native* n = Find(window);
        if (n == nullptr || WindowManagerRuns(n->window))
            return;
        for (auto& [h, owned] : natives_) {
            if (owned.shown && OwnerOf(h) == window)
                RaiseWithoutActivation(owned.window);
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

    // Puts the native window where the window system has the window, at the size it shows.
    void Place(HWND window, Native& n) {
        RECT outer = OuterRect(window);
        RECT region = RegionOf(window, n.decorated);
        int w = std::max<int>(1, region.right - region.left);
        int h = std::max<int>(1, region.bottom - region.top);
        int cw = 0;
        int ch = 0;
        SDL_GetWindowSize(n.window, &cw, &ch);
        if (cw != w || ch != h)
            SDL_SetWindowSize(n.window, w, h);
        int x = outer.left + region.left;
        int y = outer.top + region.top;
        int cx = 0;
        int cy = 0;
        SDL_GetWindowPosition(n.window, &cx, &cy);
        if (cx != x || cy != y)
            SDL_SetWindowPosition(n.window, x, y);
    }

    void SetIcon(HWND window, Native& n) {
        auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
        if (icon == nullptr)
            icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
        const win::Surface* picture = win::IconPicture(icon);
        if (picture == nullptr || picture->width <= 0 || picture->height <= 0)
            return;
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint32_t*>(picture->pixels.data()), picture->width, picture->height, 32,
            picture->width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (s == nullptr)
            return;
        SDL_SetWindowIcon(n.window, s);
        SDL_FreeSurface(s);
    }

    static void Show(Native& n) {
        if (n.texture == nullptr)
            return;
        KeepGlContext keep;
        SDL_RenderClear(n.renderer);
        SDL_RenderCopy(n.renderer, n.texture, nullptr, nullptr);
        SDL_RenderPresent(n.renderer);
    }

    std::optional<WindowPlace> PlaceOf(std::uint32_t id) {
        auto it = byId_.find(id);
        if (it == byId_.end())
            return std::nullopt;
        Native* n = Find(it->second);
        if (n == nullptr || !IsWindow(it->second))
            return std::nullopt;
        RECT outer = OuterRect(it->second);
        RECT region = RegionOf(it->second, n->decorated);
        WindowPlace p;
        p.window = it->second;
        p.origin = POINT{outer.left + region.left, outer.top + region.top};
        p.enabled = IsWindowEnabled(it->second) != FALSE;
        p.popup = n->popup;
        return p;
    }

    void Handle(const SDL_Event& event) {
        for (const InputAction& a : translator_.Translate(event))
            Apply(a);
    }

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
                    if (GetActiveWindow() != a.window)
                        SetActiveWindow(a.window);
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
                if (IsWindow(a.window))
                    PostMessageW(a.window, WM_CLOSE, 0, 0);
                break;
            case Kind::Redraw:
                if (Native* n = Find(a.window))
                    Show(*n);
                break;
            case Kind::Moved:
                FollowNativeMove(a.window, a.x, a.y);
                break;
            case Kind::Quit:
                PostQuitMessage(0);
                break;
        }
    }

    // The user or the desktop moved a native window: the window system follows, so that
    // screen coordinates (menus, message boxes, the pointer) stay true.
    void FollowNativeMove(HWND window, int x, int y) {
        Native* n = Find(window);
        if (n == nullptr || !IsWindow(window))
            return;
        RECT region = RegionOf(window, n->decorated);
        RECT outer = OuterRect(window);
        int left = x - region.left;
        int top = y - region.top;
        if (left == outer.left && top == outer.top)
            return;
        applyingMove_ = true;
        SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        applyingMove_ = false;
    }

    std::map<HWND, Native> natives_;
    std::map<std::uint32_t, HWND> byId_;
    EventTranslator translator_;
    SDL_Cursor* cursor_ = nullptr;
    int cursorId_ = 0;
    bool focusLost_ = false;
    bool applyingMove_ = false;
};

SdlBackend* g_backend = nullptr;

void PresentAfterFrame(HWND topLevel) {
    if (g_backend != nullptr)
        g_backend->PresentAgain(topLevel);
}

}  // namespace

bool Install(std::string* error) {
    if (g_backend != nullptr)
        return true;
    // Signals end the program as usual; closing a window is the program's decision.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A click on a window in the background acts on it at once, as the desktop's own do.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    [[maybe_unused]] SystemAllocations quiet;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (error != nullptr)
            *error = SDL_GetError();
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
    if (g_backend == nullptr)
        return;
    SetFrameListener(nullptr);
    if (win::CurrentBackend() == g_backend)
        win::SetBackend(nullptr);
    g_backend->CloseAll();
    delete g_backend;
    g_backend = nullptr;
    // SDL's video stays initialised: quitting it unloads the display libraries, and what
    // they keep until exit could no longer be told apart from leaks of ours.
}

bool Installed() {
    return g_backend != nullptr;
}

void* NativeWindowOf(HWND window) {
    if (g_backend == nullptr)
        return nullptr;
    Native* n = g_backend->Find(GetAncestorRoot(window));
    return n == nullptr ? nullptr : n->window;
}

std::optional<RECT> ChildViewRect(HWND child) {
    if (g_backend == nullptr)
        return std::nullopt;
    HWND top = GetAncestorRoot(child);
    Native* n = g_backend->Find(top);
    if (n == nullptr)
        return std::nullopt;
    RECT region = RegionOf(top, n->decorated);
    RECT r = win::RectInSurface(child, true);
    return RECT{r.left - region.left, r.top - region.top, r.right - region.left,
                r.bottom - region.top};
}

}  // namespace platform::sdlwin
