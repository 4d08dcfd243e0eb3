// Menu handles and their items: making, changing, asking and destroying them.
#include <memory>
#include <utility>

#include "platform/win/internal.h"

namespace platform::win {

namespace {

// The position of the item with the id, and the menu holding it (searched depth first).
std::pair<int, int> FindById(HMENU menu, UINT id, Menu** owner, int depth = 0) {
    Menu* m = FindMenu(menu);
    if (m == nullptr || depth > 16) {
        return {-1, -1};
    }
    for (std::size_t i = 0; i < m->items.size(); ++i) {
        if ((m->items[i].flags & MF_POPUP) == 0 && m->items[i].id == id) {
            *owner = m;
            return {static_cast<int>(i), 0};
        }
    }
    for (std::size_t i = 0; i < m->items.size(); ++i) {
        if ((m->items[i].flags & MF_POPUP) != 0) {
            auto r = FindById(m->items[i].popup, id, owner, depth + 1);
            if (r.first >= 0) {
                return r;
            }
        }
    }
    // A sub-menu can be addressed by its handle as the id.
    for (std::size_t i = 0; i < m->items.size(); ++i) {
        if (m->items[i].id == id) {
            *owner = m;
            return {static_cast<int>(i), 0};
        }
    }
    return {-1, -1};
}

}  // namespace

MenuItem* ItemOf(HMENU menu, UINT item, UINT flags) {
    Menu* owner = nullptr;
    if ((flags & MF_BYPOSITION) != 0) {
        owner = FindMenu(menu);
        if (owner == nullptr || item >= owner->items.size()) {
            return nullptr;
        }
        return &owner->items[item];
    }
    auto r = FindById(menu, item, &owner);
    if (r.first < 0 || owner == nullptr) {
        return nullptr;
    }
    return &owner->items[static_cast<std::size_t>(r.first)];
}

}  // namespace platform::win

namespace platform {

using win::Find;
using win::FindMenu;
using win::Menu;
using win::MenuItem;
using win::Sys;

namespace {
HMENU NewMenu(bool popup) {
    auto m = std::make_unique<Menu>();
    m->popup = popup;
    Sys().nextHandle += 4;
    auto h = Sys().nextHandle;
    Sys().menus.emplace(h, std::move(m));
    return reinterpret_cast<HMENU>(h);
}
}  // namespace

HMENU CreateMenu() {
    return NewMenu(false);
}
HMENU CreatePopupMenu() {
    return NewMenu(true);
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
    Menu* m = FindMenu(menu);
    if (m == nullptr) {
        win::SetError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    MenuItem item;
    item.flags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR);
    item.id = idOrPopup;
    if ((flags & MF_POPUP) != 0) {
        item.popup = reinterpret_cast<HMENU>(idOrPopup);
        if (FindMenu(item.popup) == nullptr) {
            win::SetError(ERROR_INVALID_MENU_HANDLE);
            return FALSE;
        }
    }
    if ((flags & MF_SEPARATOR) == 0 && text != nullptr) {
        item.text = text;
    }
    m->items.push_back(std::move(item));
    win::MenuChanged(menu);
    return TRUE;
}

BOOL SetMenu(HWND window, HMENU menu) {
    win::Window* w = Find(window);
    if (w == nullptr || (w->style & WS_CHILD) != 0) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (menu != nullptr && FindMenu(menu) == nullptr) {
        win::SetError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    win::MenuWindowGone(window);
    if (Menu* old = FindMenu(w->menu)) {
        old->window = nullptr;
    }
    w->menu = menu;
    if (Menu* m = FindMenu(menu)) {
        m->window = window;
    }
    win::NotifyClientChange(window);
    return TRUE;
}

HMENU GetMenu(HWND window) {
    win::Window* w = Find(window);
    return w == nullptr || (w->style & WS_CHILD) != 0 ? nullptr : w->menu;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
    MenuItem* it = win::ItemOf(menu, item, check);
    if (it == nullptr) {
        return static_cast<DWORD>(-1);
    }
    DWORD old = it->flags & MF_CHECKED;
    it->flags = (it->flags & ~MF_CHECKED) | (check & MF_CHECKED);
    win::MenuChanged(menu);
    return old;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    MenuItem* it = win::ItemOf(menu, item, flags);
    if (it == nullptr) {
        return static_cast<UINT>(-1);
    }
    UINT state = it->flags;
    if ((it->flags & MF_POPUP) != 0) {
        Menu* sub = FindMenu(it->popup);
        UINT count = sub == nullptr ? 0 : static_cast<UINT>(sub->items.size());
        state = (state & 0xFF) | (count << 8);
    }
    return state;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    MenuItem* it = win::ItemOf(menu, item, enable);
    if (it == nullptr) {
        return -1;
    }
    UINT old = it->flags & (MF_GRAYED | MF_DISABLED);
    it->flags = (it->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    win::MenuChanged(menu);
    return static_cast<BOOL>(old);
}

BOOL DestroyMenu(HMENU menu) {
    Menu* m = FindMenu(menu);
    if (m == nullptr) {
        win::SetError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    std::vector<HMENU> subs;
    for (const MenuItem& item : m->items) {
        if (item.popup != nullptr) {
            subs.push_back(item.popup);
        }
    }
    if (m->window != nullptr) {
        if (win::Window* w = Find(m->window)) {
            if (w->menu == menu) {
                w->menu = nullptr;
            }
        }
    }
    Sys().menus.erase(reinterpret_cast<std::uintptr_t>(menu));
    for (HMENU s : subs) {
        if (FindMenu(s) != nullptr) {
            DestroyMenu(s);
        }
    }
    return TRUE;
}

int GetMenuItemCount(HMENU menu) {
    Menu* m = FindMenu(menu);
    return m == nullptr ? -1 : static_cast<int>(m->items.size());
}

}  // namespace platform
