// A form's menu bar as a tree of elements: MenuBar holds Menus (the drop-down titles), a Menu
// holds SubMenus (the items), and a SubMenu with items of its own becomes a cascading menu.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/GUIElement.h"

namespace TekuUtility {

class Menu;
class SubMenu;

class MenuBar : public Child {
  public:
    std::vector<Menu*> items;  // not owned
    platform::HMENU menuHandle = nullptr;

    explicit MenuBar(GUIElement* form);
    // Makes the whole native menu tree and sets it on the form's window.
    void Create() override;
};

class Menu : public Child {
  public:
    std::vector<SubMenu*> items;  // not owned
    platform::HMENU menuHandle = nullptr;

    // Attaches to the bar; creates itself at once when the bar is already created.
    Menu(MenuBar* bar, const std::string& title);
    void Create() override;
};

class SubMenu : public Child, public CommandElement {
  public:
    std::vector<SubMenu*> items;  // not owned
    platform::HMENU popupHandle = nullptr;
    platform::UINT appendFlags = 0;
    bool checkable = false;
    bool checked = false;

    // Takes its command id from the id counter and attaches to a Menu or SubMenu parent;
    // creates itself at once when that parent is already created.
    SubMenu(GUIElement* parentElement, const std::string& caption);

    // Greys or enables the item in its menu.
    void SetEnabled(bool enable) override;
    // The check state read back from the menu (checked only when the state is exactly
    // MF_CHECKED); the stored flag while the item has no menu.
    bool IsChecked();
    // Shows the check mark when both checked and checkable.
    void ApplyCheck();
    void SetCheckable(bool on);
    void SetChecked(bool on);
    void Create() override;

    // The native menu this item is appended to: the Menu's menu or the SubMenu's pop-up.
    platform::HMENU ParentMenuHandle() const;
};

}  // namespace TekuUtility
