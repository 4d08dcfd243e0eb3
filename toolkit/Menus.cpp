#include "toolkit/Menus.h"

#include "platform/win/win32.h"

namespace TekuUtility {

namespace pf = platform;

namespace {

// A menu element's handle field holds its native menu.
HWND AsHandle(pf::HMENU menu) {
    return reinterpret_cast<HWND>(menu);
}

}  // namespace

GUIElement* FindMenuItemById(std::int32_t id) {
    if (id == GUIElement::kNoId) {
        return nullptr;
    }
    for (GUIElement* element : ElementRegistry()) {
        if (element->id == id && dynamic_cast<SubMenu*>(element) != nullptr) {
            return element;
        }
    }
    return nullptr;
}

// ---- MenuBar ----

MenuBar::MenuBar(GUIElement* form) : Child(form) {
    typeName = "menubar";
}

void MenuBar::Create() {
    // A second native bar would replace the first with an empty one: make the tree once.
    if (created) {
        return;
    }
    HWND formWindow = ParentWindow();
    if (formWindow == nullptr) {
        return;
    }
    menuHandle = pf::CreateMenu();
    for (Menu* item : items) {
        if (IsLiveElement(item)) {
            item->Create();
        }
    }
    pf::SetMenu(formWindow, menuHandle);
    created = true;
    handle = AsHandle(menuHandle);
}

// ---- Menu ----

Menu::Menu(MenuBar* bar, const std::string& title) : Child(bar) {
    text = Widen(title);
    typeName = "menu";
    if (bar != nullptr) {
        bar->items.push_back(this);
        if (bar->created) {
            Create();
        }
    }
}

void Menu::Create() {
    if (created || !IsLiveElement(parent)) {
        return;
    }
    auto* bar = dynamic_cast<MenuBar*>(parent);
    if (bar == nullptr || bar->menuHandle == nullptr) {
        return;
    }
    menuHandle = pf::CreateMenu();
    for (SubMenu* item : items) {
        if (IsLiveElement(item)) {
            item->Create();
        }
    }
    pf::AppendMenuW(bar->menuHandle, pf::MF_POPUP, reinterpret_cast<pf::UINT_PTR>(menuHandle),
                    text.c_str());
    handle = AsHandle(menuHandle);
    created = true;
}

// ---- SubMenu ----

SubMenu::SubMenu(GUIElement* parentElement, const std::string& caption) : Child(parentElement) {
    text = Widen(caption);
    typeName = "submenu";
    id = ++idCounter;
    if (auto* menu = dynamic_cast<Menu*>(parentElement)) {
        menu->items.push_back(this);
        if (menu->created) {
            Create();
        }
    } else if (auto* item = dynamic_cast<SubMenu*>(parentElement)) {
        item->items.push_back(this);
        if (item->created) {
            Create();
        }
    }
}

platform::HMENU SubMenu::ParentMenuHandle() const {
    if (!IsLiveElement(parent)) {
        return nullptr;
    }
    if (auto* menu = dynamic_cast<Menu*>(parent)) {
        return menu->menuHandle;
    }
    if (auto* item = dynamic_cast<SubMenu*>(parent)) {
        return item->popupHandle;
    }
    return nullptr;
}

void SubMenu::Create() {
    if (created) {
        return;
    }
    pf::HMENU parentMenu = ParentMenuHandle();
    if (parentMenu == nullptr) {
        return;
    }
    const auto commandId = static_cast<pf::UINT_PTR>(id);
    if (items.empty()) {
        pf::AppendMenuW(parentMenu, appendFlags, commandId, text.empty() ? nullptr : text.c_str());
        if (checkable) {
            pf::CheckMenuItem(parentMenu, static_cast<pf::UINT>(id),
                              pf::MF_BYCOMMAND | (checked ? pf::MF_CHECKED : pf::MF_UNCHECKED));
        }
    } else {
        popupHandle = pf::CreatePopupMenu();
        for (SubMenu* item : items) {
            if (IsLiveElement(item)) {
                item->Create();
            }
        }
        pf::AppendMenuW(parentMenu, pf::MF_POPUP, reinterpret_cast<pf::UINT_PTR>(popupHandle),
                        text.c_str());
    }
    created = true;
    handle = AsHandle(popupHandle);
    if (!enabled) {
        SetEnabled(false);
    }
}

void SubMenu::SetEnabled(bool enable) {
    enabled = enable;
    if (created) {
        pf::EnableMenuItem(ParentMenuHandle(), static_cast<pf::UINT>(id),
                           pf::MF_BYCOMMAND | (enable ? pf::MF_ENABLED : pf::MF_GRAYED));
    }
}

bool SubMenu::IsChecked() {
    pf::HMENU parentMenu = ParentMenuHandle();
    if (created && parentMenu != nullptr) {
        const pf::UINT state =
            pf::GetMenuState(parentMenu, static_cast<pf::UINT>(id), pf::MF_BYCOMMAND);
        // A failed read keeps the stored flag; other state bits (greyed, highlighted) do not
        // hide the check mark.
        if (state != static_cast<pf::UINT>(-1)) {
            checked = (state & pf::MF_CHECKED) != 0;
        }
    }
    return checked;
}

void SubMenu::ApplyCheck() {
    pf::HMENU parentMenu = ParentMenuHandle();
    if (parentMenu != nullptr) {
        pf::CheckMenuItem(
            parentMenu, static_cast<pf::UINT>(id),
            pf::MF_BYCOMMAND | ((checked && checkable) ? pf::MF_CHECKED : pf::MF_UNCHECKED));
    }
}

void SubMenu::SetCheckable(bool on) {
    checkable = on;
    if (created) {
        ApplyCheck();
    }
}

void SubMenu::SetChecked(bool on) {
    checked = on;
    if (created) {
        ApplyCheck();
    }
}

}  // namespace TekuUtility
