// Window geometry calls: rectangles, coordinate conversion, moving and sizing with z-order,
// the window under a point and the system metrics.
#include <algorithm>

#include "platform/win/internal.h"

namespace platform {

using win::Find;
using win::Sys;
using win::Window;

BOOL GetClientRect(HWND window, RECT* rect) {
    Window* w = Find(window);
    if (w == nullptr || rect == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    RECT c = win::ClientRectInWindow(*w);
    *rect = RECT{0, 0, c.right - c.left, c.bottom - c.top};
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    Window* w = Find(window);
    if (w == nullptr || rect == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = win::ScreenRectOf(*w);
    return TRUE;
}

namespace {

// Moves a point by the screen position of the window's client area, `sign` times: +1 from
// client to screen coordinates, -1 back.
BOOL ShiftByClientOrigin(HWND window, POINT* point, int sign) {
    Window* w = Find(window);
    if (w == nullptr || point == nullptr) {
        return FALSE;
    }
    RECT r = win::ScreenRectOf(*w);
    RECT c = win::ClientRectInWindow(*w);
    point->x += sign * (r.left + c.left);
    point->y += sign * (r.top + c.top);
    return TRUE;
}

}  // namespace

BOOL ClientToScreen(HWND window, POINT* point) {
    return ShiftByClientOrigin(window, point, 1);
}

BOOL ScreenToClient(HWND window, POINT* point) {
    return ShiftByClientOrigin(window, point, -1);
}

namespace {

// The outer rectangle SetWindowPos asks for, keeping what its flags leave alone.
RECT RequestedRect(const RECT& old, int x, int y, int width, int height, UINT flags) {
    RECT next = old;
    if ((flags & SWP_NOMOVE) == 0) {
        next.right = x + (old.right - old.left);
        next.bottom = y + (old.bottom - old.top);
        next.left = x;
        next.top = y;
    }
    if ((flags & SWP_NOSIZE) == 0) {
        next.right = next.left + std::max(0, width);
        next.bottom = next.top + std::max(0, height);
    }
    return next;
}

// Moves the window in the z-order: among its siblings, or among the top-level windows where
// HWND_TOPMOST and HWND_NOTOPMOST also set the topmost style.
void Reorder(HWND window, Window& w, HWND insertAfter) {
    if ((w.style & WS_CHILD) != 0) {
        if (Window* p = Find(w.parent)) {
            auto& list = p->children;
            win::RemoveFrom(list, window);
            if (insertAfter == HWND_BOTTOM) {
                list.insert(list.begin(), window);
            } else {
                list.push_back(window);
            }
        }
        win::InvalidateWindow(window, nullptr, true, true, true);
        return;
    }
    if (insertAfter == HWND_TOPMOST) {
        w.exStyle |= WS_EX_TOPMOST;
    } else if (insertAfter == HWND_NOTOPMOST) {
        w.exStyle &= ~WS_EX_TOPMOST;
    }
    auto& tl = Sys().topLevels;
    win::RemoveFrom(tl, window);
    if (insertAfter == HWND_BOTTOM) {
        tl.insert(tl.begin(), window);
    } else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST ||
               insertAfter == HWND_NOTOPMOST || Find(insertAfter) == nullptr) {
        tl.push_back(window);
    } else {
        // Directly below insertAfter.
        auto it = std::find(tl.begin(), tl.end(), insertAfter);
        tl.insert(it, window);
    }
    win::NormalizeZOrder();
}

}  // namespace

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    win::System& s = Sys();
    Window* w = Find(window);
    if (w == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    bool child = (w->style & WS_CHILD) != 0;
    RECT old = w->rect;
    RECT next = RequestedRect(old, x, y, width, height, flags);
    bool moved = next.left != old.left || next.top != old.top;
    bool sized = (next.right - next.left) != (old.right - old.left) ||
                 (next.bottom - next.top) != (old.bottom - old.top);
    if (moved || sized) {
        if (child && win::IsVisibleChain(*w)) {
            win::InvalidateUnder(*w);
        }
        w->rect = next;
        if (!child && sized && w->surface) {
            w->surface->Resize(next.right - next.left, next.bottom - next.top, 0xFFF0F0F0u);
        }
        if (!child && s.backend != nullptr) {
            s.backend->TopLevelMoved(window, next);
        }
        win::InvalidateWindow(window, nullptr, true, true, true);
    }
    if ((flags & SWP_FRAMECHANGED) != 0) {
        win::InvalidateWindow(window, nullptr, true, true, true);
    }
    if ((flags & SWP_NOZORDER) == 0) {
        Reorder(window, *w, insertAfter);
    }
    if ((flags & SWP_HIDEWINDOW) != 0) {
        ShowWindow(window, SW_HIDE);
    }
    if ((flags & SWP_SHOWWINDOW) != 0) {
        ShowWindow(window, (flags & SWP_NOACTIVATE) != 0 ? SW_SHOWNA : SW_SHOW);
    }
    if (moved || sized || (flags & SWP_FRAMECHANGED) != 0) {
        win::SendSizeAndMove(window, sized, moved);
    }
    w = Find(window);
    if (w != nullptr && !child && (flags & (SWP_NOACTIVATE | SWP_NOZORDER)) == 0 &&
        (w->style & WS_VISIBLE) != 0 && (w->style & WS_DISABLED) == 0) {
        win::Activate(window);
    }
    return TRUE;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (rect == nullptr) {
        return FALSE;
    }
    Window probe;
    probe.style = style;
    probe.exStyle = exStyle;
    probe.menu = menu ? reinterpret_cast<HMENU>(std::uintptr_t{1}) : nullptr;
    RECT ins = win::NonClientInsets(probe);
    rect->left -= ins.left;
    rect->top -= ins.top;
    rect->right += ins.right;
    rect->bottom += ins.bottom;
    return TRUE;
}

HWND WindowFromPoint(POINT point) {
    auto& tl = Sys().topLevels;
    for (auto it = tl.rbegin(); it != tl.rend(); ++it) {
        Window* w = Find(*it);
        if (w == nullptr || (w->style & WS_VISIBLE) == 0) {
            continue;
        }
        if (point.x < w->rect.left || point.x >= w->rect.right || point.y < w->rect.top ||
            point.y >= w->rect.bottom) {
            continue;
        }
        if (w->className == L"tooltips_class32") {
            continue;
        }
        HWND found = *it;
        // The deepest visible child under the point; later children lie on top.
        for (;;) {
            Window* cur = Find(found);
            HWND hit = nullptr;
            for (auto c = cur->children.rbegin(); c != cur->children.rend(); ++c) {
                Window* cw = Find(*c);
                if (cw == nullptr || (cw->style & WS_VISIBLE) == 0) {
                    continue;
                }
                RECT r = win::ScreenRectOf(*cw);
                if (point.x >= r.left && point.x < r.right && point.y >= r.top &&
                    point.y < r.bottom) {
                    RECT pc = win::ClientRectInWindow(*cur);
                    RECT pr = win::ScreenRectOf(*cur);
                    if (point.x < pr.left + pc.left || point.x >= pr.left + pc.right ||
                        point.y < pr.top + pc.top || point.y >= pr.top + pc.bottom) {
                        break;  // over the parent's frame: the parent keeps it
                    }
                    hit = *c;
                    break;
                }
            }
            if (hit == nullptr) {
                break;
            }
            found = hit;
        }
        return found;
    }
    return nullptr;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            SIZE size{1280, 1024};
            if (Sys().backend != nullptr) {
                size = Sys().backend->ScreenSize();
            }
            return index == SM_CXSCREEN ? size.cx : size.cy;
        }
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
            return 17;
        case SM_CYCAPTION:
            return 23;
        case SM_CYSMCAPTION:
            return 17;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXFIXEDFRAME:
        case SM_CYFIXEDFRAME:
            return 3;
        case SM_CXSIZEFRAME:
        case SM_CYSIZEFRAME:
            return 8;
        case SM_CXEDGE:
        case SM_CYEDGE:
            return 2;
        case SM_CYMENU:
            return 20;
        default:
            return 0;
    }
}

}  // namespace platform
