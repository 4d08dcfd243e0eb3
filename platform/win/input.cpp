// Input from the backend turned into window messages: keys to the focus window, the mouse
// to the window under the pointer (or the capture), with menus and scroll bars first.
#include <algorithm>
#include <cstdlib>

#include "platform/win/internal.h"

namespace platform::win {
namespace {

int GenericKey(int vk) {
    switch (vk) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        default:
            return vk;
    }
}

int LeftKey(int vk) {
    switch (vk) {
        case VK_SHIFT:
            return VK_LSHIFT;
        case VK_CONTROL:
            return VK_LCONTROL;
        case VK_MENU:
            return VK_LMENU;
        default:
            return 0;
    }
}

WPARAM MouseKeys() {
    const System& s = Sys();
    WPARAM keys = 0;
    if (s.mouseButtons[0]) {
        keys |= MK_LBUTTON;
    }
    if (s.mouseButtons[1]) {
        keys |= MK_RBUTTON;
    }
    if (s.mouseButtons[2]) {
        keys |= 0x0010;
    }
    if ((GetKeyState(VK_SHIFT) & 0x8000) != 0) {
        keys |= MK_SHIFT;
    }
    if ((GetKeyState(VK_CONTROL) & 0x8000) != 0) {
        keys |= MK_CONTROL;
    }
    return keys;
}

void Post(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (h == kToFocus) {
        Sys().queue.push_back(MakeMessage(h, m, wp, lp));
        return;
    }
    PostMessageW(h, m, wp, lp);
}

LPARAM ClientPoint(HWND window, POINT screen) {
    POINT p = screen;
    ScreenToClient(window, &p);
    return MAKELPARAM(p.x, p.y);
}

bool Activatable(const Window& w) {
    return (w.exStyle & WS_EX_NOACTIVATE) == 0 && w.className != L"tooltips_class32" &&
           w.className != L"#32768";
}

void UpdateTracking(HWND target, POINT screen) {
    MouseTracking& t = Sys().tracking;
    if (t.window == nullptr) {
        return;
    }
    if (t.window != target) {
        HWND left = t.window;
        bool leave = (t.flags & TME_LEAVE) != 0;
        t = MouseTracking{};
        if (leave && Find(left) != nullptr) {
            Post(left, WM_MOUSELEAVE, 0, 0);
        }
        return;
    }
    if (std::abs(screen.x - t.hoverAnchor.x) > 2 || std::abs(screen.y - t.hoverAnchor.y) > 2) {
        t.hoverAnchor = screen;
        t.hoverDue = NowTicks() + static_cast<Ticks>(t.hoverMs) * kTicksPerMs;
    }
}

// Whether a button press completes a double click (same window, button and spot within
// 500 ms, on a class that takes them); otherwise it is remembered as the first click.
bool IsDoubleClick(const Window& w, HWND target, UINT msg, POINT pt) {
    System& s = Sys();
    Ticks now = NowTicks();
    bool dbl = (w.classStyle & CS_DBLCLKS) != 0 && s.lastClickWindow == target &&
               s.lastClickMessage == msg && now - s.lastClickTime <= 500 * kTicksPerMs &&
               std::abs(pt.x - s.lastClickPos.x) <= 2 && std::abs(pt.y - s.lastClickPos.y) <= 2;
    if (dbl) {
        s.lastClickWindow = nullptr;
    } else {
        s.lastClickWindow = target;
        s.lastClickMessage = msg;
        s.lastClickTime = now;
        s.lastClickPos = pt;
    }
    return dbl;
}

}  // namespace

void ApplyKeyTransition(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP && msg.message != WM_SYSKEYDOWN &&
        msg.message != WM_SYSKEYUP) {
        return;
    }
    int key = static_cast<int>((static_cast<std::uint32_t>(msg.lParam) >> 16) & 0xFF);
    bool down = (static_cast<std::uint32_t>(msg.lParam) & (1u << 31)) == 0;
    if (key == 0) {
        key = static_cast<int>(msg.wParam & 0xFF);
    }
    SetKeyDown(key, down);
    if (int left = LeftKey(key)) {
        SetKeyDown(left, down);
    }
    int generic = GenericKey(key);
    if (!down && generic != key) {
        SetKeyDown(generic, false);
    }
    // A lone Alt (or F10) press and release opens the menu bar.
    bool repeat = (static_cast<std::uint32_t>(msg.lParam) & (1u << 30)) != 0;
    if (down) {
        Sys().altAlone = (generic == VK_MENU && !repeat) || generic == VK_F10;
    }
}

bool MenuTakesInput(const MSG& msg) {
    if (!MenuIsOpen()) {
        return false;
    }
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
            MenuHandlesKey(static_cast<int>(msg.wParam),
                           msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN);
            Sys().altAlone = false;
            return true;
        case WM_CHAR:
        case WM_SYSCHAR:
            return MenuHandlesChar(static_cast<wchar_t>(msg.wParam));
        default:
            return false;
    }
}

void InputKey(int virtualKey, bool down) {
    System& s = Sys();
    if (virtualKey <= 0 || virtualKey > 255) {
        return;
    }
    int vk = GenericKey(virtualKey);
    auto& keys = s.injectedKeys;
    auto held = [&](int k) {
        int left = LeftKey(k);
        return keys[k] || (left != 0 && (keys[left] || keys[left + 1]));
    };
    bool wasDown = held(vk);
    keys[virtualKey] = down;
    if (int left = LeftKey(virtualKey)) {
        keys[left] = down;
    }
    if (!down && vk != virtualKey) {
        keys[vk] = false;
    }
    bool alt = held(VK_MENU);
    bool ctrl = held(VK_CONTROL);
    bool sys = (alt && !ctrl) || vk == VK_MENU || vk == VK_F10;
    UINT msg = sys ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    auto lp = static_cast<LPARAM>(1u | (static_cast<std::uint32_t>(virtualKey) << 16) |
                                  (alt ? (1u << 29) : 0u) | (wasDown ? (1u << 30) : 0u) |
                                  (down ? 0u : (1u << 31)));
    Post(kToFocus, msg, static_cast<WPARAM>(vk), lp);
}

void InputChar(wchar_t character) {
    Post(kToFocus, WM_CHAR, static_cast<WPARAM>(character), 1);
}

void InputMouseMove(int x, int y) {
    System& s = Sys();
    POINT pt{x, y};
    s.cursorPos = pt;
    if (ScrollDragActive()) {
        ScrollBarMouse(ScrollDragWindow(), 0, WM_MOUSEMOVE, pt);
        return;
    }
    if (MenuHandlesMouse(WM_MOUSEMOVE, pt)) {
        return;
    }
    HWND target = s.capture != nullptr ? s.capture : WindowFromPoint(pt);
    UpdateTracking(target, pt);
    if (target == nullptr) {
        return;
    }
    Window* w = Find(target);
    if (w == nullptr || !IsEnabledChain(*w)) {
        return;
    }
    int hit = s.capture != nullptr ? HTCLIENT : HitTest(target, pt);
    Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, WM_MOUSEMOVE));
    if (Find(target) == nullptr) {
        return;
    }
    if (hit == HTCLIENT) {
        Post(target, WM_MOUSEMOVE, MouseKeys(), ClientPoint(target, pt));
    } else {
        Post(target, WM_NCMOUSEMOVE, static_cast<WPARAM>(hit), MAKELPARAM(x, y));
    }
}

void InputMouseButton(int button, bool down, int x, int y) {
    System& s = Sys();
    if (button < 0 || button > 2) {
        return;
    }
    POINT pt{x, y};
    s.cursorPos = pt;
    s.mouseButtons[button] = down;
    static const int kButtonKeys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    SetKeyDown(kButtonKeys[button], down);
    if (button == 0 && !down && ScrollDragActive()) {
        ScrollBarMouse(ScrollDragWindow(), 0, WM_LBUTTONUP, pt);
        return;
    }
    static const UINT kDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT kUp[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    static const UINT kDbl[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, 0x0209};
    UINT msg = down ? kDown[button] : kUp[button];
    if (MenuHandlesMouse(msg, pt)) {
        return;
    }
    HWND target = s.capture != nullptr ? s.capture : WindowFromPoint(pt);
    if (target == nullptr) {
        return;
    }
    Window* w = Find(target);
    HWND top = TopLevelOf(target);
    if (w == nullptr || top == nullptr) {
        return;
    }
    if (!IsEnabledChain(*w)) {
        if (down) {
            MessageBeep(0);
            PressOnDisabled(top);
        }
        return;
    }
    int hit = s.capture != nullptr ? HTCLIENT : HitTest(target, pt);
    if (down && top != s.active) {
        Window* tw = Find(top);
        if (tw != nullptr && Activatable(*tw)) {
            Activate(top);
        }
        if (Find(target) == nullptr) {
            return;
        }
    }
    Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, msg));
    w = Find(target);
    if (w == nullptr) {
        return;
    }
    if (hit == HTCLIENT) {
        if (down && IsDoubleClick(*w, target, msg, pt)) {
            msg = kDbl[button];
        }
        Post(target, msg, MouseKeys(), ClientPoint(target, pt));
        return;
    }
    if (!down || button != 0) {
        return;
    }
    switch (hit) {
        case HTMENU:
            MenuBarClicked(top, MenuBarItemAt(*Find(top), pt));
            break;
        case HTCLOSE:
            Post(top, WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(x, y));
            break;
        case HTVSCROLL:
        case HTHSCROLL:
            ScrollBarMouse(target, hit, WM_LBUTTONDOWN, pt);
            break;
        default:
            break;
    }
}

void InputMouseWheel(int delta, int x, int y) {
    System& s = Sys();
    s.cursorPos = POINT{x, y};
    if (MenuIsOpen()) {
        return;
    }
    HWND target = s.focus != nullptr ? s.focus : s.active;
    if (target == nullptr) {
        return;
    }
    Window* w = Find(target);
    if (w == nullptr || !IsEnabledChain(*w)) {
        return;
    }
    Post(target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(MouseKeys()), delta), MAKELPARAM(x, y));
}

}  // namespace platform::win

namespace platform {

void SetCursorIdleHiding(BOOL on) {
    if (win::Backend* backend = win::CurrentBackend()) {
        backend->SetCursorIdleHiding(on != FALSE);
    }
}

}  // namespace platform
