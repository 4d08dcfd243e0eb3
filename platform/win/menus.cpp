// Menus on the screen: the bar drawn in a window's non-client strip, drop-down windows, and
// choosing by mouse and keyboard.
#include <algorithm>
#include <cwctype>

#include "platform/win/canvas.h"
#include "platform/win/internal.h"

namespace platform::win {
namespace {

constexpr int kItemHeight = 22;
constexpr int kSeparatorHeight = 8;
constexpr int kBarPadding = 7;

struct Level {
    HMENU menu = nullptr;
    HWND popup = nullptr;
    int selected = -1;
};

struct Tracker {
    HWND window = nullptr;  // the window whose menu is in use; none when menus are idle
    int barItem = -1;
    std::vector<Level> open;
    bool byMouse = false;  // opened with a click on the bar, not with Alt or F10
};

Tracker g_track;

bool Selectable(const MenuItem& item) {
    return (item.flags & MF_SEPARATOR) == 0;
}
bool Enabled(const MenuItem& item) {
    return (item.flags & (MF_GRAYED | MF_DISABLED)) == 0;
}

wchar_t Mnemonic(const std::wstring& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == L'&') {
            if (text[i + 1] == L'&') {
                ++i;
                continue;
            }
            return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(text[i + 1])));
        }
    }
    return 0;
}

int TextWidthUi(const std::wstring& text, bool stripPrefix) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, UiFont());
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &r,
              DT_CALCRECT | DT_SINGLELINE | (stripPrefix ? 0 : DT_NOPREFIX));
    DeleteDC(dc);
    return r.right - r.left;
}

RECT BarRectInWindow(const Window& w) {
    RECT ins = NonClientInsets(w);
    int menuHeight = GetSystemMetrics(SM_CYMENU);
    int edge = (w.exStyle & WS_EX_CLIENTEDGE) != 0 ? 2 : 0;
    int top = ins.top - edge - menuHeight;
    return RECT{ins.left - edge, top, (w.rect.right - w.rect.left) - (ins.right - edge),
                top + menuHeight};
}

// Bar item rectangles in window coordinates.
std::vector<RECT> BarItems(const Window& w) {
    std::vector<RECT> rects;
    Menu* menu = FindMenu(w.menu);
    if (menu == nullptr) {
        return rects;
    }
    RECT bar = BarRectInWindow(w);
    int x = bar.left;
    for (const MenuItem& item : menu->items) {
        int width = TextWidthUi(item.text, true) + 2 * kBarPadding;
        rects.push_back(RECT{x, bar.top, x + width, bar.bottom});
        x += width;
    }
    return rects;
}

int ItemHeight(const MenuItem& item) {
    return (item.flags & MF_SEPARATOR) != 0 ? kSeparatorHeight : kItemHeight;
}

SIZE PopupSize(const Menu& menu) {
    int width = 0;
    int height = 4;
    for (const MenuItem& item : menu.items) {
        width = std::max(width, TextWidthUi(item.text, true));
        height += ItemHeight(item);
    }
    return SIZE{width + 60, height};
}

// Item index under a point in popup client coordinates, or -1.
int PopupItemAt(const Menu& menu, POINT p) {
    int y = 2;
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
        int h = ItemHeight(menu.items[i]);
        if (p.y >= y && p.y < y + h) {
            return static_cast<int>(i);
        }
        y += h;
    }
    return -1;
}

void RedrawBar() {
    if (g_track.window != nullptr && Find(g_track.window) != nullptr) {
        RECT none;
        InvalidateWindow(g_track.window, &none, false, true, false);
    }
}

void ClosePopupsFrom(std::size_t level) {
    while (g_track.open.size() > level) {
        HWND popup = g_track.open.back().popup;
        g_track.open.pop_back();
        if (popup != nullptr && Find(popup) != nullptr) {
            DestroyWindow(popup);
        }
    }
}

void Exit() {
    HWND window = g_track.window;
    ClosePopupsFrom(0);
    g_track.barItem = -1;
    RedrawBar();
    g_track = Tracker{};
    if (window != nullptr && Find(window) != nullptr) {
        Send(window, WM_EXITMENULOOP, 0, 0);
    }
}

void OpenPopup(HMENU menu, POINT screen, int selectFirst) {
    Menu* m = FindMenu(menu);
    if (m == nullptr || g_track.window == nullptr) {
        return;
    }
    Send(g_track.window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    m = FindMenu(menu);
    if (m == nullptr || g_track.window == nullptr) {
        return;
    }
    SIZE size = PopupSize(*m);
    Level level;
    level.menu = menu;
    if (selectFirst != 0) {
        for (std::size_t i = 0; i < m->items.size(); ++i) {
            if (Selectable(m->items[i])) {
                level.selected = static_cast<int>(i);
                break;
            }
        }
    }
    g_track.open.push_back(level);
    std::size_t index = g_track.open.size() - 1;
    HWND popup = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, L"#32768",
                                 L"", WS_POPUP | WS_BORDER, screen.x, screen.y, size.cx + 2,
                                 size.cy + 2, g_track.window, nullptr, nullptr, nullptr);
    if (index < g_track.open.size()) {
        g_track.open[index].popup = popup;
        ShowWindow(popup, SW_SHOWNA);
    } else if (popup != nullptr) {
        DestroyWindow(popup);
    }
}

void OpenBarItem(HWND window, int item, bool selectFirst) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    Menu* bar = FindMenu(w->menu);
    if (bar == nullptr || item < 0 || item >= static_cast<int>(bar->items.size())) {
        return;
    }
    if (g_track.window != window) {
        if (g_track.window != nullptr) {
            Exit();
        }
        g_track.window = window;
        Send(window, WM_ENTERMENULOOP, 0, 0);
        Send(window, WM_INITMENU,
             reinterpret_cast<WPARAM>(Find(window) ? Find(window)->menu : nullptr), 0);
        w = Find(window);
        if (w == nullptr || g_track.window != window) {
            return;
        }
        bar = FindMenu(w->menu);
        if (bar == nullptr || item >= static_cast<int>(bar->items.size())) {
            return;
        }
    }
    ClosePopupsFrom(0);
    g_track.barItem = item;
    RedrawBar();
    const MenuItem& it = bar->items[static_cast<std::size_t>(item)];
    if ((it.flags & MF_POPUP) != 0 && Enabled(it)) {
        std::vector<RECT> rects = BarItems(*w);
        RECT wr = ScreenRectOf(*w);
        RECT r = rects[static_cast<std::size_t>(item)];
        OpenPopup(it.popup, POINT{wr.left + r.left, wr.top + r.bottom}, selectFirst ? 1 : 0);
    }
}

void Choose(const MenuItem& item) {
    HWND window = g_track.window;
    UINT_PTR id = item.id;
    Exit();
    if (window != nullptr && Find(window) != nullptr) {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(static_cast<int>(id), 0), 0);
    }
}

// Acts on the selected item of the deepest drop-down: opens its sub-menu or chooses it.
void ActivateItem(std::size_t levelIndex, int item, bool keyboard) {
    if (levelIndex >= g_track.open.size()) {
        return;
    }
    Level& level = g_track.open[levelIndex];
    Menu* m = FindMenu(level.menu);
    if (m == nullptr || item < 0 || item >= static_cast<int>(m->items.size())) {
        return;
    }
    level.selected = item;
    MenuItem chosen = m->items[static_cast<std::size_t>(item)];
    if (!Selectable(chosen) || !Enabled(chosen)) {
        return;
    }
    if ((chosen.flags & MF_POPUP) != 0) {
        ClosePopupsFrom(levelIndex + 1);
        Window* pw = Find(level.popup);
        if (pw == nullptr) {
            return;
        }
        int y = 2;
        for (int i = 0; i < item; ++i) {
            y += ItemHeight(m->items[static_cast<std::size_t>(i)]);
        }
        OpenPopup(chosen.popup, POINT{pw->rect.right - 2, pw->rect.top + y}, keyboard ? 1 : 0);
        return;
    }
    Choose(chosen);
}

void InvalidatePopup(std::size_t index) {
    if (index < g_track.open.size() && g_track.open[index].popup != nullptr) {
        InvalidateRect(g_track.open[index].popup, nullptr, TRUE);
    }
}

void MoveSelection(int step) {
    if (g_track.open.empty()) {
        return;
    }
    Level& level = g_track.open.back();
    Menu* m = FindMenu(level.menu);
    if (m == nullptr || m->items.empty()) {
        return;
    }
    int n = static_cast<int>(m->items.size());
    int i = level.selected;
    for (int tries = 0; tries < n; ++tries) {
        i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
        if (Selectable(m->items[static_cast<std::size_t>(i)])) {
            break;
        }
    }
    level.selected = i;
    InvalidatePopup(g_track.open.size() - 1);
}

}  // namespace

void MenuChanged(HMENU /*menu*/) {
    // Cheap enough: redraw every bar and open drop-down.
    for (auto& [handle, m] : Sys().menus) {
        if (m->window != nullptr && Find(m->window) != nullptr) {
            RECT none;
            InvalidateWindow(m->window, &none, false, true, false);
        }
    }
    for (std::size_t i = 0; i < g_track.open.size(); ++i) {
        InvalidatePopup(i);
    }
}

bool MenuIsOpen() {
    return g_track.window != nullptr;
}

void MenuCloseAll() {
    if (g_track.window != nullptr) {
        Exit();
    }
}

void MenuWindowGone(HWND window) {
    if (g_track.window == window) {
        Exit();
    }
}

void MenuEnterKeyboardMode(HWND window) {
    Window* w = Find(window);
    if (w == nullptr || FindMenu(w->menu) == nullptr || FindMenu(w->menu)->items.empty()) {
        return;
    }
    if (g_track.window == window) {
        Exit();
        return;
    }
    if (g_track.window != nullptr) {
        Exit();
    }
    g_track.window = window;
    Send(window, WM_ENTERMENULOOP, 0, 0);
    Send(window, WM_INITMENU, reinterpret_cast<WPARAM>(w->menu), 0);
    g_track.barItem = 0;
    RedrawBar();
}

void MenuOpenByMnemonic(HWND window, wchar_t c) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    Menu* bar = FindMenu(w->menu);
    if (bar == nullptr) {
        return;
    }
    wchar_t lower = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    for (std::size_t i = 0; i < bar->items.size(); ++i) {
        if (Mnemonic(bar->items[i].text) == lower) {
            OpenBarItem(window, static_cast<int>(i), true);
            return;
        }
    }
    MessageBeep(0);
}

static void EscapeKey() {
    if (g_track.open.size() > 1) {
        ClosePopupsFrom(g_track.open.size() - 1);
    } else if (g_track.open.size() == 1 && g_track.byMouse) {
        // A menu opened with the mouse is left whole: no title stays highlighted while the
        // keys go back to the window.
        Exit();
    } else if (g_track.open.size() == 1) {
        ClosePopupsFrom(0);
        RedrawBar();
    } else {
        Exit();
    }
}

static void SidewaysKey(int vk, int barCount) {
    if (vk == VK_LEFT && g_track.open.size() > 1) {
        ClosePopupsFrom(g_track.open.size() - 1);
        return;
    }
    if (vk == VK_RIGHT && !g_track.open.empty()) {
        Level& level = g_track.open.back();
        Menu* m = FindMenu(level.menu);
        if (m != nullptr && level.selected >= 0 &&
            (m->items[static_cast<std::size_t>(level.selected)].flags & MF_POPUP) != 0) {
            ActivateItem(g_track.open.size() - 1, level.selected, true);
            return;
        }
    }
    if (barCount == 0) {
        return;
    }
    int next = (g_track.barItem + (vk == VK_RIGHT ? 1 : -1) + barCount) % barCount;
    if (!g_track.open.empty()) {
        OpenBarItem(g_track.window, next, true);
    } else {
        g_track.barItem = next;
        RedrawBar();
    }
}

// A letter or digit: the bar title or the item of the open drop-down that has it as its
// mnemonic; a beep when none has.
static void MnemonicKey(int vk) {
    bool letter = (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9');
    if (!letter) {
        return;
    }
    wchar_t c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(vk)));
    if (g_track.open.empty()) {
        MenuOpenByMnemonic(g_track.window, c);
        return;
    }
    Menu* m = FindMenu(g_track.open.back().menu);
    if (m != nullptr) {
        for (std::size_t i = 0; i < m->items.size(); ++i) {
            if (Mnemonic(m->items[i].text) == c) {
                ActivateItem(g_track.open.size() - 1, static_cast<int>(i), true);
                return;
            }
        }
    }
    MessageBeep(0);
}

bool MenuHandlesKey(int vk, bool down) {
    if (g_track.window == nullptr) {
        return false;
    }
    if (Find(g_track.window) == nullptr) {
        g_track = Tracker{};
        return false;
    }
    if (!down) {
        return true;
    }
    Window* w = Find(g_track.window);
    Menu* bar = FindMenu(w->menu);
    int barCount = bar == nullptr ? 0 : static_cast<int>(bar->items.size());
    switch (vk) {
        case VK_MENU:
        case VK_F10:
            Exit();
            return true;
        case VK_ESCAPE:
            EscapeKey();
            return true;
        case VK_LEFT:
        case VK_RIGHT:
            SidewaysKey(vk, barCount);
            return true;
        case VK_DOWN:
        case VK_UP:
            if (g_track.open.empty()) {
                OpenBarItem(g_track.window, std::max(0, g_track.barItem), true);
            } else {
                MoveSelection(vk == VK_DOWN ? 1 : -1);
            }
            return true;
        case VK_RETURN:
            if (g_track.open.empty()) {
                OpenBarItem(g_track.window, std::max(0, g_track.barItem), true);
            } else {
                ActivateItem(g_track.open.size() - 1, g_track.open.back().selected, true);
            }
            return true;
        default:
            MnemonicKey(vk);
            return true;
    }
}

bool MenuHandlesChar(wchar_t /*c*/) {
    return g_track.window != nullptr;
}

bool MenuHandlesMouse(UINT message, POINT screen) {
    if (g_track.window == nullptr) {
        return false;
    }
    Window* w = Find(g_track.window);
    if (w == nullptr) {
        g_track = Tracker{};
        return false;
    }
    // Over an open drop-down?
    for (std::size_t i = g_track.open.size(); i-- > 0;) {
        Window* pw = Find(g_track.open[i].popup);
        if (pw == nullptr) {
            continue;
        }
        if (screen.x < pw->rect.left || screen.x >= pw->rect.right || screen.y < pw->rect.top ||
            screen.y >= pw->rect.bottom) {
            continue;
        }
        Menu* m = FindMenu(g_track.open[i].menu);
        if (m == nullptr) {
            return true;
        }
        POINT local{screen.x - pw->rect.left - 1, screen.y - pw->rect.top - 1};
        int item = PopupItemAt(*m, local);
        if (message == WM_MOUSEMOVE) {
            if (item != g_track.open[i].selected) {
                g_track.open[i].selected = item;
                InvalidatePopup(i);
                ClosePopupsFrom(i + 1);
                if (item >= 0 && (m->items[static_cast<std::size_t>(item)].flags & MF_POPUP) != 0) {
                    ActivateItem(i, item, false);
                }
            }
        } else if (message == WM_LBUTTONUP && item >= 0) {
            ActivateItem(i, item, false);
        }
        return true;
    }
    // Over the bar?
    RECT wr = ScreenRectOf(*w);
    std::vector<RECT> items = BarItems(*w);
    for (std::size_t i = 0; i < items.size(); ++i) {
        RECT r = items[i];
        if (screen.x >= wr.left + r.left && screen.x < wr.left + r.right &&
            screen.y >= wr.top + r.top && screen.y < wr.top + r.bottom) {
            int index = static_cast<int>(i);
            if (message == WM_MOUSEMOVE) {
                if (index != g_track.barItem && !g_track.open.empty()) {
                    OpenBarItem(g_track.window, index, false);
                }
            } else if (message == WM_LBUTTONDOWN) {
                if (index == g_track.barItem && !g_track.open.empty()) {
                    Exit();
                } else {
                    OpenBarItem(g_track.window, index, false);
                }
            }
            return true;
        }
    }
    // Elsewhere: a click closes the menus and is swallowed.
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
        Exit();
    }
    return true;
}

int MenuBarItemAt(const Window& w, POINT screen) {
    RECT wr = ScreenRectOf(w);
    std::vector<RECT> items = BarItems(w);
    for (std::size_t i = 0; i < items.size(); ++i) {
        RECT r = items[i];
        if (screen.x >= wr.left + r.left && screen.x < wr.left + r.right &&
            screen.y >= wr.top + r.top && screen.y < wr.top + r.bottom) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void MenuBarClicked(HWND window, int item) {
    if (item < 0) {
        return;
    }
    OpenBarItem(window, item, false);
    if (g_track.window == window) {
        g_track.byMouse = true;
    }
}

void DrawMenuBarInto(HDC dc, const Window& w, const RECT& bar) {
    FillSolid(dc, bar, GetSysColor(COLOR_MENU));
    Menu* menu = FindMenu(w.menu);
    if (menu == nullptr) {
        return;
    }
    std::vector<RECT> rects = BarItems(w);
    HGDIOBJ old = SelectObject(dc, UiFont());
    SetBkMode(dc, TRANSPARENT);
    bool tracking = g_track.window == w.handle;
    for (std::size_t i = 0; i < menu->items.size() && i < rects.size(); ++i) {
        RECT r = rects[i];
        r.right = std::min(r.right, bar.right);
        if (r.right <= r.left) {
            break;
        }
        const MenuItem& item = menu->items[i];
        bool hot = tracking && g_track.barItem == static_cast<int>(i);
        if (hot) {
            FillSolid(dc, r, GetSysColor(COLOR_HIGHLIGHT));
        }
        SetTextColor(dc, !Enabled(item) ? GetSysColor(COLOR_GRAYTEXT)
                         : hot          ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                        : GetSysColor(COLOR_MENUTEXT));
        DrawTextW(dc, item.text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, old);
}

LRESULT CALLBACK_MenuPopup(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEACTIVATE) {
        return 3;  // MA_NOACTIVATE
    }
    if (message != WM_PAINT) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    FillSolid(dc, client, GetSysColor(COLOR_MENU));
    const Level* level = nullptr;
    for (const Level& l : g_track.open) {
        if (l.popup == window) {
            level = &l;
        }
    }
    Menu* m = level != nullptr ? FindMenu(level->menu) : nullptr;
    if (m != nullptr) {
        HGDIOBJ old = SelectObject(dc, UiFont());
        SetBkMode(dc, TRANSPARENT);
        int y = 2;
        for (std::size_t i = 0; i < m->items.size(); ++i) {
            const MenuItem& item = m->items[i];
            int h = ItemHeight(item);
            RECT row{2, y, client.right - 2, y + h};
            if ((item.flags & MF_SEPARATOR) != 0) {
                FillSolid(dc, RECT{row.left + 4, y + h / 2, row.right - 4, y + h / 2 + 1},
                          GetSysColor(COLOR_BTNSHADOW));
                y += h;
                continue;
            }
            bool selected = level->selected == static_cast<int>(i);
            if (selected) {
                FillSolid(dc, row, GetSysColor(COLOR_HIGHLIGHT));
            }
            COLORREF color = !Enabled(item) ? GetSysColor(COLOR_GRAYTEXT)
                             : selected     ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                            : GetSysColor(COLOR_MENUTEXT);
            SetTextColor(dc, color);
            if ((item.flags & MF_CHECKED) != 0) {
                // A check mark: a short and a long stroke.
                int cx = row.left + 8;
                int cy = y + h / 2;
                for (int k = 0; k < 3; ++k) {
                    FillSolid(dc, RECT{cx + k, cy + k - 1, cx + k + 1, cy + k + 1}, color);
                }
                for (int k = 0; k < 6; ++k) {
                    FillSolid(dc, RECT{cx + 2 + k, cy + 1 - k, cx + 3 + k, cy + 3 - k}, color);
                }
            }
            RECT text{row.left + 24, y, row.right - 20, y + h};
            DrawTextW(dc, item.text.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            if ((item.flags & MF_POPUP) != 0) {
                int ax = row.right - 10;
                int ay = y + h / 2;
                for (int k = 0; k < 4; ++k) {
                    FillSolid(dc, RECT{ax + k, ay - 3 + k, ax + k + 1, ay + 4 - k}, color);
                }
            }
            y += h;
        }
        SelectObject(dc, old);
    }
    EndPaint(window, &ps);
    return 0;
}

}  // namespace platform::win
