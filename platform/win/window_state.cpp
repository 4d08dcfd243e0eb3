// Per-window state calls: long values, texts, focus, activation, capture, enabling and
// showing.
#include <algorithm>
#include <utility>

#include "platform/win/internal.h"

namespace platform {

using win::Find;
using win::Sys;
using win::Window;

LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
    Window* w = Find(window);
    if (w == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    win::SetError(0);
    switch (index) {
        case GWLP_WNDPROC: {
            auto old = reinterpret_cast<LONG_PTR>(w->proc);
            if (value != 0) {
                w->proc = reinterpret_cast<WNDPROC>(value);
            }
            return old;
        }
        case GWLP_USERDATA:
            return std::exchange(w->userData, value);
        case GWLP_ID:
            return std::exchange(w->id, value);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(
                std::exchange(w->instance, reinterpret_cast<HINSTANCE>(value)));
        case GWLP_HWNDPARENT:
            if ((w->style & WS_CHILD) != 0) {
                return 0;
            }
            return reinterpret_cast<LONG_PTR>(
                std::exchange(w->owner, reinterpret_cast<HWND>(value)));
        case GWL_STYLE:
        case GWL_EXSTYLE: {
            LONG old =
                index == GWL_STYLE ? static_cast<LONG>(w->style) : static_cast<LONG>(w->exStyle);
            win::Send(window, WM_STYLECHANGING, static_cast<WPARAM>(index), 0);
            w = Find(window);
            if (w == nullptr) {
                return 0;
            }
            if (index == GWL_STYLE) {
                // Visibility and the child bit stay under the window system's control.
                DWORD keep = w->style & (WS_VISIBLE | WS_CHILD);
                w->style = (static_cast<DWORD>(value) & ~(WS_VISIBLE | WS_CHILD)) | keep;
            } else {
                w->exStyle = static_cast<DWORD>(value);
                if ((w->style & WS_CHILD) == 0) {
                    win::NormalizeZOrder();
                }
            }
            win::Send(window, WM_STYLECHANGED, static_cast<WPARAM>(index), 0);
            return old;
        }
        default:
            win::SetError(ERROR_INVALID_PARAMETER);
            return 0;
    }
}

LONG_PTR GetWindowLongPtrW(HWND window, int index) {
    Window* w = Find(window);
    if (w == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWLP_USERDATA:
            return w->userData;
        case GWLP_ID:
            return w->id;
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w->instance);
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) != 0 ? w->parent : w->owner);
        case GWL_STYLE:
            return static_cast<LONG>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG>(w->exStyle);
        default:
            win::SetError(ERROR_INVALID_PARAMETER);
            return 0;
    }
}

LONG SetWindowLongW(HWND window, int index, LONG value) {
    if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        return static_cast<LONG>(SetWindowLongPtrW(
            window, index, static_cast<LONG_PTR>(static_cast<std::uint32_t>(value))));
    }
    return static_cast<LONG>(SetWindowLongPtrW(window, index, value));
}

LONG GetWindowLongW(HWND window, int index) {
    return static_cast<LONG>(GetWindowLongPtrW(window, index));
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    if (Find(window) == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return win::Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text == nullptr ? L"" : text))
               ? TRUE
               : FALSE;
}

int GetWindowTextW(HWND window, LPWSTR buffer, int maxCount) {
    if (Find(window) == nullptr || buffer == nullptr || maxCount <= 0) {
        return 0;
    }
    return static_cast<int>(win::Send(window, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                      reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND window) {
    if (Find(window) == nullptr) {
        return 0;
    }
    return static_cast<int>(win::Send(window, WM_GETTEXTLENGTH, 0, 0));
}

HWND SetFocus(HWND window) {
    win::System& s = Sys();
    if (window == nullptr) {
        HWND old = s.focus;
        s.focus = nullptr;
        if (old != nullptr && Find(old) != nullptr) {
            win::Send(old, WM_KILLFOCUS, 0, 0);
        }
        return old;
    }
    Window* w = Find(window);
    if (w == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (!win::IsEnabledChain(*w) || w->destroying) {
        return nullptr;
    }
    HWND top = win::TopLevelOf(window);
    if (top != s.active) {
        Window* t = Find(top);
        if (t == nullptr || (t->style & WS_DISABLED) != 0) {
            return nullptr;
        }
        win::Activate(top);
        if (Find(window) == nullptr) {
            return nullptr;
        }
    }
    HWND old = s.focus;
    if (old == window) {
        return old;
    }
    s.focus = window;
    if (old != nullptr && Find(old) != nullptr) {
        win::Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    if (s.focus == window && Find(window) != nullptr) {
        win::Send(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND GetFocus() {
    return Sys().focus;
}

HWND SetActiveWindow(HWND window) {
    HWND old = Sys().active;
    Window* w = Find(window);
    if (w == nullptr || (w->style & WS_CHILD) != 0) {
        return nullptr;
    }
    win::Activate(window);
    return old;
}

HWND GetActiveWindow() {
    return Sys().active;
}

HWND SetCapture(HWND window) {
    if (Find(window) == nullptr) {
        return nullptr;
    }
    return std::exchange(Sys().capture, window);
}

BOOL ReleaseCapture() {
    HWND old = std::exchange(Sys().capture, nullptr);
    if (old != nullptr && Find(old) != nullptr) {
        win::Send(old, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

HWND GetCapture() {
    return Sys().capture;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    Window* w = Find(window);
    if (w == nullptr) {
        return FALSE;
    }
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == (enable == FALSE)) {
        return wasDisabled ? TRUE : FALSE;
    }
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        win::System& s = Sys();
        if (s.focus != nullptr && win::IsDescendant(window, s.focus)) {
            // Remembered for when the window is enabled and activated again.
            if (Window* top = Find(win::TopLevelOf(window))) {
                top->lastFocus = s.focus;
            }
            SetFocus(nullptr);
        }
        if (s.capture != nullptr && win::IsDescendant(window, s.capture)) {
            ReleaseCapture();
        }
    }
    win::Send(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    win::InvalidateWindow(window, nullptr, true, true, true);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
    Window* w = Find(window);
    return w != nullptr && (w->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

BOOL ShowWindow(HWND window, int command) {
    win::System& s = Sys();
    Window* w = Find(window);
    if (w == nullptr) {
        return FALSE;
    }
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool child = (w->style & WS_CHILD) != 0;
    if (command == SW_HIDE) {
        if (!wasVisible) {
            return FALSE;
        }
        win::Send(window, WM_SHOWWINDOW, FALSE, 0);
        w = Find(window);
        if (w == nullptr) {
            return TRUE;
        }
        w->style &= ~WS_VISIBLE;
        if (child) {
            win::InvalidateUnder(*w);
        } else if (s.backend != nullptr) {
            s.backend->TopLevelShown(window, false);
        }
        if (!child && s.active == window) {
            win::ActivateNextAfter(window);
        }
        if (s.focus != nullptr && win::IsDescendant(window, s.focus)) {
            HWND top = win::TopLevelOf(window);
            SetFocus(child && top != nullptr ? top : nullptr);
        }
        return TRUE;
    }
    if (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED || command == SW_SHOWMINNOACTIVE) {
        return wasVisible ? TRUE : FALSE;  // no minimized state: the window stays as it is
    }
    if (!wasVisible) {
        win::Send(window, WM_SHOWWINDOW, TRUE, 0);
        w = Find(window);
        if (w == nullptr) {
            return FALSE;
        }
        w->style |= WS_VISIBLE;
        win::InvalidateWindow(window, nullptr, true, true, true);
        if (!child && s.backend != nullptr) {
            s.backend->TopLevelMoved(window, w->rect);
            s.backend->TopLevelShown(window, true);
        }
    }
    bool activating = command != SW_SHOWNA && command != SW_SHOWNOACTIVATE;
    w = Find(window);
    if (w != nullptr && !child && activating && (w->style & WS_DISABLED) == 0 &&
        (w->exStyle & WS_EX_NOACTIVATE) == 0) {
        win::Activate(window);
    } else if (w != nullptr && !child && !wasVisible) {
        win::ZOrderTop(window);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
    Window* w = Find(window);
    return w != nullptr && win::IsVisibleChain(*w) ? TRUE : FALSE;
}

}  // namespace platform
