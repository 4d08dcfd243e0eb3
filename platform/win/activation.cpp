// Activation beyond the window tree: owned windows that stand in for a disabled owner, the
// focus a window gets back when it is activated again, the program gaining or losing the
// keyboard, and windows the desktop minimises.
#include <algorithm>

#include "platform/keyboard.h"
#include "platform/win/internal.h"

namespace platform::win {
namespace {

bool OwnedBy(HWND owner, const Window& w) {
    for (HWND o = w.owner; o != nullptr;) {
        if (o == owner) {
            return true;
        }
        Window* ow = Find(o);
        o = ow != nullptr ? ow->owner : nullptr;
    }
    return false;
}

bool CanTakeFocus(HWND top, HWND window) {
    Window* w = Find(window);
    return w != nullptr && !w->destroying && IsDescendant(top, window) && IsVisibleChain(*w) &&
           IsEnabledChain(*w);
}

}  // namespace

HWND StandIn(HWND disabled) {
    HWND popup = GetLastActivePopup(disabled);
    if (popup != disabled) {
        return popup;
    }
    // A box modal for the whole program owns nothing: the active window stands in.
    Window* a = Find(Sys().active);
    if (a != nullptr && Sys().active != disabled && !a->destroying &&
        (a->style & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE) {
        return Sys().active;
    }
    return nullptr;
}

void PressOnDisabled(HWND topLevel) {
    Window* t = Find(topLevel);
    if (t == nullptr || (t->style & WS_DISABLED) == 0) {
        return;
    }
    HWND popup = StandIn(topLevel);
    if (popup == nullptr) {
        return;
    }
    Activate(popup);
    if (Sys().backend != nullptr && Find(popup) != nullptr) {
        Sys().backend->TopLevelFlash(popup);
    }
}

void RestoreFocus(HWND topLevel) {
    Window* t = Find(topLevel);
    if (t == nullptr) {
        return;
    }
    HWND last = t->lastFocus;
    t->lastFocus = nullptr;
    SetFocus(last != nullptr && CanTakeFocus(topLevel, last) ? last : topLevel);
}

void InputFocusOnDisabled(HWND window) {
    InputApplicationActive(true);
    HWND standIn = Find(window) != nullptr ? StandIn(window) : nullptr;
    if (standIn == nullptr) {
        return;
    }
    if (Sys().active != standIn) {
        Activate(standIn);
    }
    if (Sys().backend != nullptr && Find(standIn) != nullptr) {
        Sys().backend->TopLevelFlash(standIn);
    }
}

void InputApplicationActive(bool active) {
    System& s = Sys();
    if (s.appActive == active) {
        return;
    }
    s.appActive = active;
    SetForegroundWindowHandle(active ? s.active : nullptr);
    for (HWND h : std::vector<HWND>(s.topLevels)) {
        if (Find(h) != nullptr) {
            Send(h, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
        }
    }
}

void InputMinimized(HWND window, bool minimized) {
    Window* w = Find(window);
    if (w == nullptr || (w->style & WS_CHILD) != 0 || w->minimized == minimized) {
        return;
    }
    w->minimized = minimized;
    if (minimized) {
        Send(window, WM_SIZE, SIZE_MINIMIZED, 0);
        return;
    }
    RECT c = ClientRectInWindow(*w);
    Send(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.right - c.left, c.bottom - c.top));
}

}  // namespace platform::win

namespace platform {

BOOL IsIconic(HWND window) {
    win::Window* w = win::Find(window);
    return w != nullptr && w->minimized ? TRUE : FALSE;
}

HWND GetLastActivePopup(HWND owner) {
    win::System& s = win::Sys();
    if (win::Find(owner) == nullptr) {
        return nullptr;
    }
    for (auto it = s.topLevels.rbegin(); it != s.topLevels.rend(); ++it) {
        win::Window* w = win::Find(*it);
        if (w == nullptr || w->destroying || !win::OwnedBy(owner, *w)) {
            continue;
        }
        if ((w->style & (WS_VISIBLE | WS_DISABLED)) != WS_VISIBLE) {
            continue;
        }
        if ((w->exStyle & WS_EX_NOACTIVATE) != 0 || w->className == L"tooltips_class32") {
            continue;
        }
        return *it;
    }
    return owner;
}

}  // namespace platform
