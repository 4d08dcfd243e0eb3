// Window classes and windows: creation and destruction, the window tree, styles and
// long values, texts, geometry, show/hide, enable/disable, focus and activation.
#include <algorithm>
#include <cwctype>
#include <utility>

#include "platform/images/images.h"
#include "platform/resources.h"
#include "platform/win/canvas.h"
#include "platform/win/internal.h"

#ifndef KX_HAVE_RESOURCES
namespace platform {
// Without the resources library, programs simply have no resources.
std::optional<std::span<const std::uint8_t>> FindResource(ResourceType type, int id)
    __attribute__((weak));
}  // namespace platform
#endif

namespace platform::win {

namespace {

std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return s;
}

std::string Utf8(const std::wstring& w) {
    std::string out;
    for (wchar_t wc : w) {
        auto c = static_cast<std::uint32_t>(wc);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

HWND NewHandle() {
    Sys().nextHandle += 4;
    return reinterpret_cast<HWND>(Sys().nextHandle);
}

void RemoveFrom(std::vector<HWND>& list, HWND h) {
    list.erase(std::remove(list.begin(), list.end(), h), list.end());
}

// Keeps topmost windows above the others and owned windows above their owners.
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
            if (w == nullptr || w->owner == nullptr)
                continue;
            auto ownerIt = std::find(tl.begin(), tl.end(), w->owner);
            if (ownerIt == tl.end())
                continue;
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
        if (!moved)
            break;
    }
}

void DestroyTree(HWND window);

void SendSizeAndMove(HWND window, bool size, bool move) {
    Window* w = Find(window);
    if (w == nullptr)
        return;
    RECT c = ClientRectInWindow(*w);
    SIZE cs{c.right - c.left, c.bottom - c.top};
    POINT origin{w->rect.left + c.left, w->rect.top + c.top};
    bool sizeChanged = cs.cx != w->lastClient.cx || cs.cy != w->lastClient.cy;
    w->lastClient = cs;
    if (size || sizeChanged) {
        Send(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cs.cx, cs.cy));
    }
    if (move)
        Send(window, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
}

HICON ApplicationIcon() {
    static HICON icon = nullptr;
    if (icon == nullptr || IconSurface(icon) == nullptr) {
        std::vector<std::uint32_t> px(32 * 32, 0);
        for (int y = 2; y < 30; ++y) {
            for (int x = 2; x < 30; ++x) {
                bool border = x == 2 || y == 2 || x == 29 || y == 29;
                px[static_cast<std::size_t>(y * 32 + x)] =
                    border ? 0xFF404040u : (y < 9 ? 0xFF0078D7u : 0xFFFFFFFFu);
            }
        }
        icon = CreateIconFromPixels(32, 32, px.data());
        MarkStock(icon);
    }
    return icon;
}

std::optional<Image> ResourcePicture(ResourceType type, int id) {
#ifndef KX_HAVE_RESOURCES
    if (&platform::FindResource == nullptr)
        return std::nullopt;
#endif
    auto bytes = platform::FindResource(type, id);
    if (!bytes)
        return std::nullopt;
    return DecodeImage(*bytes);
}

}  // namespace

System& Sys() {
    static System system;
    return system;
}

Window* Find(HWND window) {
    auto& windows = Sys().windows;
    auto it = windows.find(reinterpret_cast<std::uintptr_t>(window));
    if (it == windows.end() || it->second == nullptr)
        return nullptr;
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
        if (window == ancestor)
            return true;
        Window* w = Find(window);
        if (w == nullptr || (w->style & WS_CHILD) == 0)
            return false;
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
        if (((cur->style & bit) != 0) != set)
            return false;
        if ((cur->style & WS_CHILD) == 0)
            return true;
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
    if ((w.style & WS_VSCROLL) != 0)
        c.right -= GetSystemMetrics(SM_CXVSCROLL);
    if ((w.style & WS_HSCROLL) != 0)
        c.bottom -= GetSystemMetrics(SM_CYHSCROLL);
    c.right = std::max(c.right, c.left);
    c.bottom = std::max(c.bottom, c.top);
    return c;
}

POINT SurfaceOrigin(const Window& w) {
    if ((w.style & WS_CHILD) == 0)
        return POINT{0, 0};
    Window* p = Find(w.parent);
    if (p == nullptr)
        return POINT{0, 0};
    POINT po = SurfaceOrigin(*p);
    RECT pc = ClientRectInWindow(*p);
    return POINT{po.x + pc.left + w.rect.left, po.y + pc.top + w.rect.top};
}

RECT ScreenRectOf(const Window& w) {
    if ((w.style & WS_CHILD) == 0)
        return w.rect;
    Window* p = Find(w.parent);
    if (p == nullptr)
        return w.rect;
    RECT pr = ScreenRectOf(*p);
    RECT pc = ClientRectInWindow(*p);
    int ox = pr.left + pc.left;
    int oy = pr.top + pc.top;
    return RECT{w.rect.left + ox, w.rect.top + oy, w.rect.right + ox, w.rect.bottom + oy};
}

void ZOrderTop(HWND window) {
    auto& tl = Sys().topLevels;
    if (std::find(tl.begin(), tl.end(), window) == tl.end())
        return;
    RemoveFrom(tl, window);
    tl.push_back(window);
    // Windows owned by this one come along above it.
    std::vector<HWND> owned;
    for (HWND h : tl) {
        Window* w = Find(h);
        if (w != nullptr && w->owner == window)
            owned.push_back(h);
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
        if (window != nullptr)
            ZOrderTop(window);
        return;
    }
    HWND old = s.active;
    s.active = window;
    SetForegroundWindowHandle(s.appActive ? window : nullptr);
    if (window != nullptr)
        ZOrderTop(window);
    if (Window* ow = Find(old); ow != nullptr && s.focus != nullptr && IsDescendant(old, s.focus))
        ow->lastFocus = s.focus;
    if (old != nullptr && Find(old) != nullptr) {
        MenuWindowGone(old);
        Send(old, WM_NCACTIVATE, FALSE, 0);
        Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(window));
    }
    if (s.focus != nullptr && old != nullptr && IsDescendant(old, s.focus)) {
        HWND f = s.focus;
        s.focus = nullptr;
        if (Find(f) != nullptr)
            Send(f, WM_KILLFOCUS, 0, 0);
    }
    if (s.active != window || window == nullptr || Find(window) == nullptr)
        return;
    Send(window, WM_NCACTIVATE, TRUE, 0);
    Send(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
    if (s.backend != nullptr && Find(window) != nullptr)
        s.backend->TopLevelActivated(window);
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
            if (*it == leaving || c == nullptr || c->destroying)
                continue;
            if ((c->style & WS_VISIBLE) == 0 || (c->style & WS_DISABLED) != 0)
                continue;
            if ((c->exStyle & WS_EX_NOACTIVATE) != 0)
                continue;
            if (c->className == L"tooltips_class32" || c->className == L"#32768")
                continue;
            next = *it;
            break;
        }
    }
    Activate(next);
}

// ---------------------------------------------------------------------------------------

namespace {

void DestroyTree(HWND window) {
    Window* w = Find(window);
    if (w == nullptr)
        return;
    Send(window, WM_DESTROY, 0, 0);
    w = Find(window);
    if (w == nullptr)
        return;
    std::vector<HWND> children = w->children;
    for (HWND c : children) {
        Window* cw = Find(c);
        if (cw != nullptr)
            cw->destroying = true;
        DestroyTree(c);
    }
    Send(window, WM_NCDESTROY, 0, 0);
}

void Unlink(HWND window) {
    System& s = Sys();
    Window* w = Find(window);
    if (w == nullptr)
        return;
    for (HWND c : std::vector<HWND>(w->children))
        Unlink(c);
    if ((w->style & WS_CHILD) != 0) {
        if (Window* p = Find(w->parent))
            RemoveFrom(p->children, window);
    } else {
        RemoveFrom(s.topLevels, window);
        if (w->menu != nullptr)
            DestroyMenu(w->menu);
        if (s.backend != nullptr)
            s.backend->TopLevelDestroyed(window);
    }
    s.timers.erase(std::remove_if(s.timers.begin(), s.timers.end(),
                                  [&](const Timer& t) { return t.window == window; }),
                   s.timers.end());
    if (s.focus == window)
        s.focus = nullptr;
    if (s.capture == window)
        s.capture = nullptr;
    if (s.active == window) {
        s.active = nullptr;
        SetForegroundWindowHandle(nullptr);
    }
    if (s.tracking.window == window)
        s.tracking = MouseTracking{};
    if (s.lastClickWindow == window)
        s.lastClickWindow = nullptr;
    ForgetWindowDCs(window);
    auto it = s.windows.find(reinterpret_cast<std::uintptr_t>(window));
    if (it != s.windows.end()) {
        s.graveyard.push_back(std::move(it->second));
        s.windows.erase(it);
    }
}

}  // namespace

void NotifyClientChange(HWND window) {
    InvalidateWindow(window, nullptr, true, true, true);
    SendSizeAndMove(window, false, false);
}

void ResetWindowSystem() {
    System& s = Sys();
    MenuCloseAll();
    for (HWND h : std::vector<HWND>(s.topLevels)) {
        if (Find(h) != nullptr)
            DestroyWindow(h);
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
    for (bool& b : s.mouseButtons)
        b = false;
    for (bool& b : s.injectedKeys)
        b = false;
    s.lastError = 0;
    s.appActive = true;
    ReleaseAllKeys();
    SetForegroundWindowHandle(nullptr);
    ResetGdi();
}

}  // namespace platform::win

// ---------------------------------------------------------------------------------------
// The calls.

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

ATOM RegisterClassW(const WNDCLASSW* wc) {
    win::RegisterSystemClasses();
    if (wc == nullptr || wc->lpszClassName == nullptr || wc->lpfnWndProc == nullptr) {
        win::SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::wstring key = win::Lower(wc->lpszClassName);
    auto& classes = Sys().classes;
    if (classes.count(key) != 0) {
        win::SetError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    win::WindowClass cls;
    cls.name = wc->lpszClassName;
    cls.wc = *wc;
    cls.wc.lpszClassName = nullptr;
    cls.wc.lpszMenuName = nullptr;
    classes.emplace(key, std::move(cls));
    return static_cast<ATOM>(0xC000 + classes.size());
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE /*instance*/) {
    if (className == nullptr)
        return FALSE;
    auto& classes = Sys().classes;
    auto it = classes.find(win::Lower(className));
    if (it == classes.end() || it->second.system)
        return FALSE;
    classes.erase(it);
    return TRUE;
}

int GetClassNameW(HWND window, LPWSTR buffer, int maxCount) {
    Window* w = Find(window);
    if (w == nullptr || buffer == nullptr || maxCount <= 0)
        return 0;
    int n = std::min(static_cast<int>(w->className.size()), maxCount - 1);
    std::copy_n(w->className.begin(), n, buffer);
    buffer[n] = L'\0';
    return n;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                     void* param) {
    win::RegisterSystemClasses();
    win::System& s = Sys();
    if (className == nullptr) {
        win::SetError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    auto cit = s.classes.find(win::Lower(className));
    if (cit == s.classes.end()) {
        win::SetError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    const win::WindowClass& cls = cit->second;
    bool child = (style & WS_CHILD) != 0;
    if (child && Find(parent) == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (!child && parent != nullptr && Find(parent) == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (!child && menuOrId != nullptr && win::FindMenu(menuOrId) == nullptr) {
        win::SetError(ERROR_INVALID_MENU_HANDLE);
        return nullptr;
    }
    if (x == CW_USEDEFAULT) {
        x = 40;
        y = 40;
    }
    if (width == CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }
    width = std::max(0, width);
    height = std::max(0, height);

    auto w = std::make_unique<Window>();
    HWND h = win::NewHandle();
    w->handle = h;
    w->className = cls.name;
    w->classStyle = cls.wc.style;
    w->classBackground = cls.wc.hbrBackground;
    w->classCursor = cls.wc.hCursor;
    w->proc = cls.wc.lpfnWndProc;
    w->instance = instance;
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->text = windowName != nullptr ? windowName : L"";
    w->rect = RECT{x, y, x + width, y + height};
    if (child) {
        w->parent = parent;
        w->id = static_cast<LONG_PTR>(reinterpret_cast<std::uintptr_t>(menuOrId));
    } else {
        w->owner = parent != nullptr ? win::TopLevelOf(parent) : nullptr;
        w->menu = menuOrId;
        w->surface = std::make_unique<win::Surface>();
        w->surface->Resize(width, height, 0xFFF0F0F0u);
    }
    if (cls.wc.hIcon != nullptr)
        w->icons[ICON_BIG] = cls.wc.hIcon;
    s.windows.emplace(reinterpret_cast<std::uintptr_t>(h), std::move(w));
    if (child) {
        Find(parent)->children.push_back(h);
    } else {
        s.topLevels.push_back(h);
        win::NormalizeZOrder();
        if (menuOrId != nullptr)
            win::FindMenu(menuOrId)->window = h;
        if (s.backend != nullptr)
            s.backend->TopLevelCreated(h);
    }

    CREATESTRUCTW cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menuOrId;
    cs.hwndParent = parent;
    cs.cx = width;
    cs.cy = height;
    cs.x = x;
    cs.y = y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (win::Send(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) == 0) {
        if (Find(h) != nullptr)
            DestroyWindow(h);
        return nullptr;
    }
    if (Find(h) == nullptr)
        return nullptr;
    if (win::Send(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (Find(h) != nullptr)
            DestroyWindow(h);
        return nullptr;
    }
    if (Find(h) == nullptr)
        return nullptr;
    win::SendSizeAndMove(h, true, true);
    if (Find(h) == nullptr)
        return nullptr;
    win::InvalidateWindow(h, nullptr, true, true, true);
    if ((style & WS_VISIBLE) != 0)
        ShowWindow(h, SW_SHOW);
    return Find(h) != nullptr ? h : nullptr;
}

BOOL DestroyWindow(HWND window) {
    win::System& s = Sys();
    Window* w = Find(window);
    if (w == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (w->destroying)
        return TRUE;
    w->destroying = true;
    bool topLevel = (w->style & WS_CHILD) == 0;
    // Windows owned by this one go first.
    if (topLevel) {
        for (HWND h : std::vector<HWND>(s.topLevels)) {
            Window* o = Find(h);
            if (o != nullptr && o->owner == window && !o->destroying)
                DestroyWindow(h);
        }
    }
    win::MenuWindowGone(window);
    w = Find(window);
    if (w == nullptr)
        return TRUE;
    if ((w->style & WS_VISIBLE) != 0) {
        w->style &= ~WS_VISIBLE;
        if (topLevel) {
            if (s.backend != nullptr)
                s.backend->TopLevelShown(window, false);
        } else {
            win::InvalidateUnder(*w);
        }
    }
    if (topLevel && s.active == window)
        win::ActivateNextAfter(window);
    if (s.focus != nullptr && win::IsDescendant(window, s.focus)) {
        HWND f = s.focus;
        s.focus = nullptr;
        if (Find(f) != nullptr)
            win::Send(f, WM_KILLFOCUS, 0, 0);
    }
    if (s.capture != nullptr && win::IsDescendant(window, s.capture))
        s.capture = nullptr;
    win::DestroyTree(window);
    win::Unlink(window);
    if (s.dispatchDepth == 0)
        s.graveyard.clear();
    return TRUE;
}

BOOL IsWindow(HWND window) {
    return Find(window) != nullptr ? TRUE : FALSE;
}

HWND GetParent(HWND window) {
    Window* w = Find(window);
    if (w == nullptr)
        return nullptr;
    if ((w->style & WS_CHILD) != 0)
        return w->parent;
    // A top-level window reports its owner only when it is a pop-up window.
    return (w->style & WS_POPUP) != 0 ? w->owner : nullptr;
}

HWND GetAncestorRoot(HWND window) {
    return win::TopLevelOf(window);
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* d = Find(dialog);
    if (d == nullptr)
        return nullptr;
    for (HWND c : d->children) {
        Window* w = Find(c);
        if (w != nullptr && w->id == id)
            return c;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND window) {
    Window* w = Find(window);
    return w == nullptr ? 0 : static_cast<int>(w->id);
}

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
            if (value != 0)
                w->proc = reinterpret_cast<WNDPROC>(value);
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
            if ((w->style & WS_CHILD) != 0)
                return 0;
            return reinterpret_cast<LONG_PTR>(
                std::exchange(w->owner, reinterpret_cast<HWND>(value)));
        case GWL_STYLE:
        case GWL_EXSTYLE: {
            LONG old =
                index == GWL_STYLE ? static_cast<LONG>(w->style) : static_cast<LONG>(w->exStyle);
            win::Send(window, WM_STYLECHANGING, static_cast<WPARAM>(index), 0);
            w = Find(window);
            if (w == nullptr)
                return 0;
            if (index == GWL_STYLE) {
                // Visibility and the child bit stay under the window system's control.
                DWORD keep = w->style & (WS_VISIBLE | WS_CHILD);
                w->style = (static_cast<DWORD>(value) & ~(WS_VISIBLE | WS_CHILD)) | keep;
            } else {
                w->exStyle = static_cast<DWORD>(value);
                if ((w->style & WS_CHILD) == 0)
                    win::NormalizeZOrder();
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
    if (Find(window) == nullptr || buffer == nullptr || maxCount <= 0)
        return 0;
    return static_cast<int>(win::Send(window, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                      reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND window) {
    if (Find(window) == nullptr)
        return 0;
    return static_cast<int>(win::Send(window, WM_GETTEXTLENGTH, 0, 0));
}

// ---------------------------------------------------------------------------------------

HWND SetFocus(HWND window) {
    win::System& s = Sys();
    if (window == nullptr) {
        HWND old = s.focus;
        s.focus = nullptr;
        if (old != nullptr && Find(old) != nullptr)
            win::Send(old, WM_KILLFOCUS, 0, 0);
        return old;
    }
    Window* w = Find(window);
    if (w == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (!win::IsEnabledChain(*w) || w->destroying)
        return nullptr;
    HWND top = win::TopLevelOf(window);
    if (top != s.active) {
        Window* t = Find(top);
        if (t == nullptr || (t->style & WS_DISABLED) != 0)
            return nullptr;
        win::Activate(top);
        if (Find(window) == nullptr)
            return nullptr;
    }
    HWND old = s.focus;
    if (old == window)
        return old;
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
    if (w == nullptr || (w->style & WS_CHILD) != 0)
        return nullptr;
    win::Activate(window);
    return old;
}

HWND GetActiveWindow() {
    return Sys().active;
}

HWND SetCapture(HWND window) {
    if (Find(window) == nullptr)
        return nullptr;
    return std::exchange(Sys().capture, window);
}

BOOL ReleaseCapture() {
    HWND old = std::exchange(Sys().capture, nullptr);
    if (old != nullptr && Find(old) != nullptr)
        win::Send(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    return Sys().capture;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    Window* w = Find(window);
    if (w == nullptr)
        return FALSE;
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == (enable == FALSE))
        return wasDisabled ? TRUE : FALSE;
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        win::System& s = Sys();
        if (s.focus != nullptr && win::IsDescendant(window, s.focus)) {
            // Remembered for when the window is enabled and activated again.
            if (Window* top = Find(win::TopLevelOf(window)))
                top->lastFocus = s.focus;
            SetFocus(nullptr);
        }
        if (s.capture != nullptr && win::IsDescendant(window, s.capture))
            ReleaseCapture();
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
    if (w == nullptr)
        return FALSE;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool child = (w->style & WS_CHILD) != 0;
    if (command == SW_HIDE) {
        if (!wasVisible)
            return FALSE;
        win::Send(window, WM_SHOWWINDOW, FALSE, 0);
        w = Find(window);
        if (w == nullptr)
            return TRUE;
        w->style &= ~WS_VISIBLE;
        if (child) {
            win::InvalidateUnder(*w);
        } else if (s.backend != nullptr) {
            s.backend->TopLevelShown(window, false);
        }
        if (!child && s.active == window)
            win::ActivateNextAfter(window);
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
        if (w == nullptr)
            return FALSE;
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
    if (w == nullptr || point == nullptr)
        return FALSE;
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

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    win::System& s = Sys();
    Window* w = Find(window);
    if (w == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    bool child = (w->style & WS_CHILD) != 0;
    RECT old = w->rect;
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
    bool moved = next.left != old.left || next.top != old.top;
    bool sized = (next.right - next.left) != (old.right - old.left) ||
                 (next.bottom - next.top) != (old.bottom - old.top);
    if (moved || sized) {
        if (child && win::IsVisibleChain(*w))
            win::InvalidateUnder(*w);
        w->rect = next;
        if (!child && sized && w->surface) {
            w->surface->Resize(next.right - next.left, next.bottom - next.top, 0xFFF0F0F0u);
        }
        if (!child && s.backend != nullptr)
            s.backend->TopLevelMoved(window, next);
        win::InvalidateWindow(window, nullptr, true, true, true);
    }
    if ((flags & SWP_FRAMECHANGED) != 0)
        win::InvalidateWindow(window, nullptr, true, true, true);
    if ((flags & SWP_NOZORDER) == 0) {
        if (child) {
            if (Window* p = Find(w->parent)) {
                auto& list = p->children;
                win::RemoveFrom(list, window);
                if (insertAfter == HWND_BOTTOM) {
                    list.insert(list.begin(), window);
                } else {
                    list.push_back(window);
                }
            }
            win::InvalidateWindow(window, nullptr, true, true, true);
        } else {
            if (insertAfter == HWND_TOPMOST) {
                w->exStyle |= WS_EX_TOPMOST;
            } else if (insertAfter == HWND_NOTOPMOST) {
                w->exStyle &= ~WS_EX_TOPMOST;
            }
            auto& tl = s.topLevels;
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
    }
    if ((flags & SWP_HIDEWINDOW) != 0)
        ShowWindow(window, SW_HIDE);
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
    if (rect == nullptr)
        return FALSE;
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
        if (w == nullptr || (w->style & WS_VISIBLE) == 0)
            continue;
        if (point.x < w->rect.left || point.x >= w->rect.right || point.y < w->rect.top ||
            point.y >= w->rect.bottom) {
            continue;
        }
        if (w->className == L"tooltips_class32")
            continue;
        HWND found = *it;
        // The deepest visible child under the point; later children lie on top.
        for (;;) {
            Window* cur = Find(found);
            HWND hit = nullptr;
            for (auto c = cur->children.rbegin(); c != cur->children.rend(); ++c) {
                Window* cw = Find(*c);
                if (cw == nullptr || (cw->style & WS_VISIBLE) == 0)
                    continue;
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
            if (hit == nullptr)
                break;
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
            if (Sys().backend != nullptr)
                size = Sys().backend->ScreenSize();
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

HCURSOR LoadCursorW(HINSTANCE /*instance*/, LPCWSTR name) {
    if (!IS_INTRESOURCE(name))
        return nullptr;
    auto id = reinterpret_cast<std::uintptr_t>(name);
    switch (id) {
        case 32512:
        case 32513:
        case 32514:
        case 32649:
        case 32515:
        case 32646:
            return reinterpret_cast<HCURSOR>(id);
        default:
            win::SetError(ERROR_RESOURCE_NOT_FOUND);
            return nullptr;
    }
}

HCURSOR SetCursor(HCURSOR cursor) {
    win::System& s = Sys();
    HCURSOR old = std::exchange(s.cursor, cursor);
    if (s.backend != nullptr && old != cursor) {
        s.backend->SetCursorShape(static_cast<int>(reinterpret_cast<std::uintptr_t>(cursor)));
    }
    return old;
}

HCURSOR GetCursor() {
    return Sys().cursor;
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    if (IS_INTRESOURCE(name) && (instance == nullptr || name == IDI_APPLICATION) &&
        reinterpret_cast<std::uintptr_t>(name) >= 32512) {
        return win::ApplicationIcon();
    }
    if (!IS_INTRESOURCE(name)) {
        win::SetError(ERROR_RESOURCE_NOT_FOUND);
        return nullptr;
    }
    int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    auto picture = win::ResourcePicture(ResourceType::Icon, id);
    if (!picture || picture->Empty()) {
        win::SetError(ERROR_RESOURCE_NOT_FOUND);
        return nullptr;
    }
    return win::CreateIconFromPixels(picture->width, picture->height, picture->pixels.data());
}

HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int /*cx*/, int /*cy*/, UINT flags) {
    if (name == nullptr) {
        win::SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (type == IMAGE_ICON) {
        return LoadIconW(instance, name);
    }
    if (type == IMAGE_CURSOR)
        return LoadCursorW(instance, name);
    if (type != IMAGE_BITMAP) {
        win::SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::optional<Image> picture;
    if ((flags & LR_LOADFROMFILE) != 0) {
        if (IS_INTRESOURCE(name)) {
            win::SetError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        picture = LoadImageFile(win::Utf8(name));
        if (!picture) {
            win::SetError(ERROR_FILE_NOT_FOUND);
            return nullptr;
        }
    } else {
        if (!IS_INTRESOURCE(name)) {
            win::SetError(ERROR_RESOURCE_NOT_FOUND);
            return nullptr;
        }
        int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
        picture = win::ResourcePicture(ResourceType::Bitmap, id);
        if (!picture) {
            win::SetError(ERROR_RESOURCE_NOT_FOUND);
            return nullptr;
        }
    }
    if (picture->Empty()) {
        win::SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return win::CreateBitmapFromPixels(picture->width, picture->height, picture->pixels.data());
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    win::RegisterSystemClasses();
    return init != nullptr ? TRUE : FALSE;
}

}  // namespace platform
