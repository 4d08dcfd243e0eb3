// Window classes and the life of a window: registering classes, creating a window with its
// creation messages and destroying it with its children and owned windows.
#include <algorithm>
#include <cwctype>
#include <utility>

#include "platform/win/internal.h"

namespace platform::win {
namespace {

std::wstring Lower(std::wstring s) {
    for (auto& c : s) {
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    }
    return s;
}

HWND NewHandle() {
    Sys().nextHandle += 4;
    return reinterpret_cast<HWND>(Sys().nextHandle);
}

void DestroyTree(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    Send(window, WM_DESTROY, 0, 0);
    w = Find(window);
    if (w == nullptr) {
        return;
    }
    std::vector<HWND> children = w->children;
    for (HWND c : children) {
        Window* cw = Find(c);
        if (cw != nullptr) {
            cw->destroying = true;
        }
        DestroyTree(c);
    }
    Send(window, WM_NCDESTROY, 0, 0);
}

void Unlink(HWND window) {
    System& s = Sys();
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    for (HWND c : std::vector<HWND>(w->children)) {
        Unlink(c);
    }
    if ((w->style & WS_CHILD) != 0) {
        if (Window* p = Find(w->parent)) {
            RemoveFrom(p->children, window);
        }
    } else {
        RemoveFrom(s.topLevels, window);
        if (w->menu != nullptr) {
            DestroyMenu(w->menu);
        }
        if (s.backend != nullptr) {
            s.backend->TopLevelDestroyed(window);
        }
    }
    s.timers.erase(std::remove_if(s.timers.begin(), s.timers.end(),
                                  [&](const Timer& t) { return t.window == window; }),
                   s.timers.end());
    if (s.focus == window) {
        s.focus = nullptr;
    }
    if (s.capture == window) {
        s.capture = nullptr;
    }
    if (s.active == window) {
        s.active = nullptr;
        SetForegroundWindowHandle(nullptr);
    }
    if (s.tracking.window == window) {
        s.tracking = MouseTracking{};
    }
    if (s.lastClickWindow == window) {
        s.lastClickWindow = nullptr;
    }
    ForgetWindowDCs(window);
    auto it = s.windows.find(reinterpret_cast<std::uintptr_t>(window));
    if (it != s.windows.end()) {
        s.graveyard.push_back(std::move(it->second));
        s.windows.erase(it);
    }
}

}  // namespace
}  // namespace platform::win

namespace platform {

using win::Find;
using win::Sys;
using win::Window;

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
    if (className == nullptr) {
        return FALSE;
    }
    auto& classes = Sys().classes;
    auto it = classes.find(win::Lower(className));
    if (it == classes.end() || it->second.system) {
        return FALSE;
    }
    classes.erase(it);
    return TRUE;
}

int GetClassNameW(HWND window, LPWSTR buffer, int maxCount) {
    Window* w = Find(window);
    if (w == nullptr || buffer == nullptr || maxCount <= 0) {
        return 0;
    }
    int n = std::min(static_cast<int>(w->className.size()), maxCount - 1);
    std::copy_n(w->className.begin(), n, buffer);
    buffer[n] = L'\0';
    return n;
}

namespace {

// The class a new window is made of, after checking the parent and the menu; nullptr (with
// the error set) when the window cannot be made.
const win::WindowClass* CreatableClass(LPCWSTR className, DWORD style, HWND parent,
                                       HMENU menuOrId) {
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
    return &cit->second;
}

// The window record as the class and the creation arguments describe it; a top-level window
// gets its own surface.
std::unique_ptr<Window> NewWindow(const win::WindowClass& cls, const CREATESTRUCTW& cs) {
    auto w = std::make_unique<Window>();
    w->handle = win::NewHandle();
    w->className = cls.name;
    w->classStyle = cls.wc.style;
    w->classBackground = cls.wc.hbrBackground;
    w->classCursor = cls.wc.hCursor;
    w->proc = cls.wc.lpfnWndProc;
    w->instance = cs.hInstance;
    auto style = static_cast<DWORD>(cs.style);
    w->style = style & ~WS_VISIBLE;
    w->exStyle = cs.dwExStyle;
    w->text = cs.lpszName != nullptr ? cs.lpszName : L"";
    w->rect = RECT{cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy};
    if ((style & WS_CHILD) != 0) {
        w->parent = cs.hwndParent;
        w->id = static_cast<LONG_PTR>(reinterpret_cast<std::uintptr_t>(cs.hMenu));
    } else {
        w->owner = cs.hwndParent != nullptr ? win::TopLevelOf(cs.hwndParent) : nullptr;
        w->menu = cs.hMenu;
        w->surface = std::make_unique<win::Surface>();
        w->surface->Resize(cs.cx, cs.cy, 0xFFF0F0F0u);
    }
    if (cls.wc.hIcon != nullptr) {
        w->icons[ICON_BIG] = cls.wc.hIcon;
    }
    return w;
}

// Enters the window in the tree: under its parent, or among the top-level windows with its
// menu and the backend told.
void Link(std::unique_ptr<Window> w) {
    win::System& s = Sys();
    HWND h = w->handle;
    bool child = (w->style & WS_CHILD) != 0;
    HWND parent = w->parent;
    HMENU menu = w->menu;
    s.windows.emplace(reinterpret_cast<std::uintptr_t>(h), std::move(w));
    if (child) {
        Find(parent)->children.push_back(h);
    } else {
        s.topLevels.push_back(h);
        win::NormalizeZOrder();
        if (menu != nullptr) {
            win::FindMenu(menu)->window = h;
        }
        if (s.backend != nullptr) {
            s.backend->TopLevelCreated(h);
        }
    }
}

// WM_NCCREATE, WM_CREATE, the first WM_SIZE and WM_MOVE, then showing when asked; the window
// when it survived them all.
HWND SendCreation(HWND h, CREATESTRUCTW& cs, DWORD style) {
    if (win::Send(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) == 0) {
        if (Find(h) != nullptr) {
            DestroyWindow(h);
        }
        return nullptr;
    }
    if (Find(h) == nullptr) {
        return nullptr;
    }
    if (win::Send(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (Find(h) != nullptr) {
            DestroyWindow(h);
        }
        return nullptr;
    }
    if (Find(h) == nullptr) {
        return nullptr;
    }
    win::SendSizeAndMove(h, true, true);
    if (Find(h) == nullptr) {
        return nullptr;
    }
    win::InvalidateWindow(h, nullptr, true, true, true);
    if ((style & WS_VISIBLE) != 0) {
        ShowWindow(h, SW_SHOW);
    }
    return Find(h) != nullptr ? h : nullptr;
}

}  // namespace

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                     void* param) {
    win::RegisterSystemClasses();
    const win::WindowClass* cls = CreatableClass(className, style, parent, menuOrId);
    if (cls == nullptr) {
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
    CREATESTRUCTW cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menuOrId;
    cs.hwndParent = parent;
    cs.cx = std::max(0, width);
    cs.cy = std::max(0, height);
    cs.x = x;
    cs.y = y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    std::unique_ptr<Window> w = NewWindow(*cls, cs);
    HWND h = w->handle;
    Link(std::move(w));
    return SendCreation(h, cs, style);
}

BOOL DestroyWindow(HWND window) {
    win::System& s = Sys();
    Window* w = Find(window);
    if (w == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (w->destroying) {
        return TRUE;
    }
    w->destroying = true;
    bool topLevel = (w->style & WS_CHILD) == 0;
    // Windows owned by this one go first.
    if (topLevel) {
        for (HWND h : std::vector<HWND>(s.topLevels)) {
            Window* o = Find(h);
            if (o != nullptr && o->owner == window && !o->destroying) {
                DestroyWindow(h);
            }
        }
    }
    win::MenuWindowGone(window);
    w = Find(window);
    if (w == nullptr) {
        return TRUE;
    }
    if ((w->style & WS_VISIBLE) != 0) {
        w->style &= ~WS_VISIBLE;
        if (topLevel) {
            if (s.backend != nullptr) {
                s.backend->TopLevelShown(window, false);
            }
        } else {
            win::InvalidateUnder(*w);
        }
    }
    if (topLevel && s.active == window) {
        win::ActivateNextAfter(window);
    }
    if (s.focus != nullptr && win::IsDescendant(window, s.focus)) {
        HWND f = s.focus;
        s.focus = nullptr;
        if (Find(f) != nullptr) {
            win::Send(f, WM_KILLFOCUS, 0, 0);
        }
    }
    if (s.capture != nullptr && win::IsDescendant(window, s.capture)) {
        s.capture = nullptr;
    }
    win::DestroyTree(window);
    win::Unlink(window);
    if (s.dispatchDepth == 0) {
        s.graveyard.clear();
    }
    return TRUE;
}

}  // namespace platform
