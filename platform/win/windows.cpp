// The window tree at the heart of the window system: the system record, handle lookup, the
// parent chain, geometry, z-order, activation and the reset between runs. The rest of the
// window calls live beside it by job:
//   window_lifetime.cpp   classes, CreateWindowExW, DestroyWindow
//   window_state.cpp      long values, texts, focus, capture, enabling, showing
//   window_geometry.cpp   rectangles, coordinates, SetWindowPos, hit windows, metrics
//   window_resources.cpp  cursors, icons and bitmaps
#include <algorithm>
#include <utility>

#include "platform/win/internal.h"

namespace platform::win {

void RemoveFrom(std::vector<HWND>& list, HWND h) {
    list.erase(std::remove(list.begin(), list.end(), h), list.end());
}

void NormalizeZOrder() {
    auto& tl = Sys().topLevels;
    std::stable_partition(tl.begin(), tl.end(), [](HWND h) {
        Window* w = Find(h);
        return w == nullptr || (w->exStyle & WS_EX_TOPMOST) == 0;
    });
    for (std::size_t pass = 0; pass < tl.size(); ++pass) {
        bool moved = false;
        for (std::size_t i = 0; i < tl.size(); ++i) {
            Window* w = Find(tl[i]);
            if (w == nullptr || w->owner == nullptr) {
                continue;
            }
            auto ownerIt = std::find(tl.begin(), tl.end(), w->owner);
            if (ownerIt == tl.end()) {
                continue;
            }
            auto idx = static_cast<std::size_t>(ownerIt - tl.begin());
            Window* ow = Find(w->owner);
            bool sameGroup = ow != nullptr && ((ow->exStyle ^ w->exStyle) & WS_EX_TOPMOST) == 0;
            if (idx > i && sameGroup) {
                HWND h = tl[i];
                tl.erase(tl.begin() + static_cast<std::ptrdiff_t>(i));
                tl.insert(tl.begin() + static_cast<std::ptrdiff_t>(idx), h);
                moved = true;
                break;
            }
        }
        if (!moved) {
            break;
        }
    }
}

void SendSizeAndMove(HWND window, bool size, bool move) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    RECT c = ClientRectInWindow(*w);
    SIZE cs{c.right - c.left, c.bottom - c.top};
    POINT origin{w->rect.left + c.left, w->rect.top + c.top};
    bool sizeChanged = cs.cx != w->lastClient.cx || cs.cy != w->lastClient.cy;
    w->lastClient = cs;
    if (size || sizeChanged) {
        Send(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cs.cx, cs.cy));
    }
    if (move) {
        Send(window, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    }
}

System& Sys() {
    static System system;
    return system;
}

Window* Find(HWND window) {
    auto& windows = Sys().windows;
    auto it = windows.find(reinterpret_cast<std::uintptr_t>(window));
    if (it == windows.end() || it->second == nullptr) {
        return nullptr;
    }
    return it->second.get();
}

Menu* FindMenu(HMENU menu) {
    auto& menus = Sys().menus;
    auto it = menus.find(reinterpret_cast<std::uintptr_t>(menu));
    return it == menus.end() ? nullptr : it->second.get();
}

void SetError(DWORD error) {
    Sys().lastError = error;
}

Ticks NowTicks() {
    return MonotonicNow();
}
DWORD NowMs() {
    return static_cast<DWORD>(MonotonicNow() / kTicksPerMs);
}

void SetBackend(Backend* backend) {
    Sys().backend = backend;
}
Backend* CurrentBackend() {
    return Sys().backend;
}

HWND TopLevelOf(HWND window) {
    Window* w = Find(window);
    while (w != nullptr && (w->style & WS_CHILD) != 0 && w->parent != nullptr) {
        window = w->parent;
        w = Find(window);
    }
    return w == nullptr ? nullptr : window;
}

bool IsDescendant(HWND ancestor, HWND window) {
    while (window != nullptr) {
        if (window == ancestor) {
            return true;
        }
        Window* w = Find(window);
        if (w == nullptr || (w->style & WS_CHILD) == 0) {
            return false;
        }
        window = w->parent;
    }
    return false;
}

namespace {

// Whether the style bit `bit` is `set` on the window and on each parent up to its top-level
// window; a child whose parent is gone does not pass.
bool StyleUpToTop(const Window& w, DWORD bit, bool set) {
    const Window* cur = &w;
    while (cur != nullptr) {
        if (((cur->style & bit) != 0) != set) {
            return false;
        }
        if ((cur->style & WS_CHILD) == 0) {
            return true;
        }
        cur = Find(cur->parent);
    }
    return false;
}

}  // namespace

bool IsVisibleChain(const Window& w) {
    return StyleUpToTop(w, WS_VISIBLE, true);
}

bool IsEnabledChain(const Window& w) {
    return StyleUpToTop(w, WS_DISABLED, false);
}

RECT ClientRectInWindow(const Window& w) {
    RECT ins = NonClientInsets(w);
    int width = w.rect.right - w.rect.left;
    int height = w.rect.bottom - w.rect.top;
    RECT c{ins.left, ins.top, width - ins.right, height - ins.bottom};
    if ((w.style & WS_VSCROLL) != 0) {
        c.right -= GetSystemMetrics(SM_CXVSCROLL);
    }
    if ((w.style & WS_HSCROLL) != 0) {
        c.bottom -= GetSystemMetrics(SM_CYHSCROLL);
    }
    c.right = std::max(c.right, c.left);
    c.bottom = std::max(c.bottom, c.top);
    return c;
}

POINT SurfaceOrigin(const Window& w) {
    if ((w.style & WS_CHILD) == 0) {
        return POINT{0, 0};
    }
    Window* p = Find(w.parent);
    if (p == nullptr) {
        return POINT{0, 0};
    }
    POINT po = SurfaceOrigin(*p);
    RECT pc = ClientRectInWindow(*p);
    return POINT{po.x + pc.left + w.rect.left, po.y + pc.top + w.rect.top};
}

RECT ScreenRectOf(const Window& w) {
    if ((w.style & WS_CHILD) == 0) {
        return w.rect;
    }
    Window* p = Find(w.parent);
    if (p == nullptr) {
        return w.rect;
    }
    RECT pr = ScreenRectOf(*p);
    RECT pc = ClientRectInWindow(*p);
    int ox = pr.left + pc.left;
    int oy = pr.top + pc.top;
    return RECT{w.rect.left + ox, w.rect.top + oy, w.rect.right + ox, w.rect.bottom + oy};
}

void ZOrderTop(HWND window) {
    auto& tl = Sys().topLevels;
    if (std::find(tl.begin(), tl.end(), window) == tl.end()) {
        return;
    }
    RemoveFrom(tl, window);
    tl.push_back(window);
    // Windows owned by this one come along above it.
    std::vector<HWND> owned;
    for (HWND h : tl) {
        Window* w = Find(h);
        if (w != nullptr && w->owner == window) {
            owned.push_back(h);
        }
    }
    for (HWND h : owned) {
        RemoveFrom(tl, h);
        tl.push_back(h);
    }
    NormalizeZOrder();
}

void Activate(HWND window) {
    System& s = Sys();
    if (window == s.active) {
        if (window != nullptr) {
            ZOrderTop(window);
        }
        return;
    }
    HWND old = s.active;
    s.active = window;
    SetForegroundWindowHandle(s.appActive ? window : nullptr);
    if (window != nullptr) {
        ZOrderTop(window);
    }
    if (Window* ow = Find(old); ow != nullptr && s.focus != nullptr && IsDescendant(old, s.focus)) {
        ow->lastFocus = s.focus;
    }
    if (old != nullptr && Find(old) != nullptr) {
        MenuWindowGone(old);
        Send(old, WM_NCACTIVATE, FALSE, 0);
        Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(window));
    }
    if (s.focus != nullptr && old != nullptr && IsDescendant(old, s.focus)) {
        HWND f = s.focus;
        s.focus = nullptr;
        if (Find(f) != nullptr) {
            Send(f, WM_KILLFOCUS, 0, 0);
        }
    }
    if (s.active != window || window == nullptr || Find(window) == nullptr) {
        return;
    }
    Send(window, WM_NCACTIVATE, TRUE, 0);
    Send(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
    if (s.backend != nullptr && Find(window) != nullptr) {
        s.backend->TopLevelActivated(window);
    }
}

// Picks the window that becomes active when `leaving` stops being: its owner when that
// can take it, else the top-most visible and enabled other top-level window.
void ActivateNextAfter(HWND leaving) {
    System& s = Sys();
    Window* w = Find(leaving);
    HWND next = nullptr;
    if (w != nullptr && w->owner != nullptr) {
        Window* o = Find(w->owner);
        if (o != nullptr && !o->destroying && (o->style & WS_VISIBLE) != 0 &&
            (o->style & WS_DISABLED) == 0) {
            next = w->owner;
        }
    }
    if (next == nullptr) {
        for (auto it = s.topLevels.rbegin(); it != s.topLevels.rend(); ++it) {
            Window* c = Find(*it);
            if (*it == leaving || c == nullptr || c->destroying) {
                continue;
            }
            if ((c->style & WS_VISIBLE) == 0 || (c->style & WS_DISABLED) != 0) {
                continue;
            }
            if ((c->exStyle & WS_EX_NOACTIVATE) != 0) {
                continue;
            }
            if (c->className == L"tooltips_class32" || c->className == L"#32768") {
                continue;
            }
            next = *it;
            break;
        }
    }
    Activate(next);
}

void NotifyClientChange(HWND window) {
    InvalidateWindow(window, nullptr, true, true, true);
    SendSizeAndMove(window, false, false);
}

void ResetWindowSystem() {
    System& s = Sys();
    MenuCloseAll();
    for (HWND h : std::vector<HWND>(s.topLevels)) {
        if (Find(h) != nullptr) {
            DestroyWindow(h);
        }
    }
    s.windows.clear();
    s.graveyard.clear();
    s.topLevels.clear();
    for (auto it = s.classes.begin(); it != s.classes.end();) {
        it = it->second.system ? std::next(it) : s.classes.erase(it);
    }
    s.menus.clear();
    s.timers.clear();
    s.queue.clear();
    s.quitPosted = false;
    s.quitCode = 0;
    s.focus = s.active = s.capture = nullptr;
    s.tracking = MouseTracking{};
    s.lastClickWindow = nullptr;
    s.altAlone = false;
    for (bool& b : s.mouseButtons) {
        b = false;
    }
    for (bool& b : s.injectedKeys) {
        b = false;
    }
    s.lastError = 0;
    s.appActive = true;
    ReleaseAllKeys();
    SetForegroundWindowHandle(nullptr);
    ResetGdi();
}

}  // namespace platform::win

namespace platform {

using win::Find;
using win::Sys;
using win::Window;

DWORD GetLastError() {
    return Sys().lastError;
}
void SetLastError(DWORD error) {
    Sys().lastError = error;
}

HINSTANCE GetModuleHandleW(LPCWSTR /*moduleName*/) {
    return reinterpret_cast<HINSTANCE>(std::uintptr_t{0x400000});
}

BOOL IsWindow(HWND window) {
    return Find(window) != nullptr ? TRUE : FALSE;
}

HWND GetParent(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return nullptr;
    }
    if ((w->style & WS_CHILD) != 0) {
        return w->parent;
    }
    // A top-level window reports its owner only when it is a pop-up window.
    return (w->style & WS_POPUP) != 0 ? w->owner : nullptr;
}

HWND GetAncestorRoot(HWND window) {
    return win::TopLevelOf(window);
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* d = Find(dialog);
    if (d == nullptr) {
        return nullptr;
    }
    for (HWND c : d->children) {
        Window* w = Find(c);
        if (w != nullptr && w->id == id) {
            return c;
        }
    }
    return nullptr;
}

int GetDlgCtrlID(HWND window) {
    Window* w = Find(window);
    return w == nullptr ? 0 : static_cast<int>(w->id);
}

}  // namespace platform
