// The toolkit's top-level window: a window class of its own, an overlapped or dialog-style
// window, and the parent of controls, menus and timers.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/GUIElement.h"
#include "toolkit/OwnWindowClass.h"

namespace TekuUtility {

// Selects the dialog constructor of Form.
struct DialogStyle {};
inline constexpr DialogStyle kDialogStyle{};

class Form : public GUIElement {
  public:
    Form* ownedDialog = nullptr;  // the dialog open over this form; not owned
    bool topMost = true;          // dialog mode only
    bool minimizeBox = true;
    bool maximizeBox = true;  // also gives the sizing frame
    bool caption = true;      // false: a bare popup window (normal mode only)
    bool dialogMode = false;
    bool modalFrame = false;  // dialog mode only
    platform::HICON iconHandle = nullptr;
    std::int32_t iconId = 0;  // 0: the system application icon
    // Called with true when the program gets the keyboard back from another program, false
    // when it loses it (WM_ACTIVATEAPP).
    StateHandler ApplicationActivated = nullptr;
    // Called with true when the desktop minimises the window, false when it restores it.
    StateHandler Minimized = nullptr;
    bool minimized = false;  // as last reported to Minimized

    explicit Form(HINSTANCE instance);
    Form(HINSTANCE instance, DialogStyle);
    // Closes the window if it still exists (WM_CLOSE, then DestroyWindow) and frees the icon;
    // the window class goes after the window.
    ~Form() override;

    // Draws continuously in subclasses; nothing here.
    virtual void Render();

    void Create() override;
    // Sizes the window so that its client area is width x height; needs the window.
    void SetClientSize(std::int32_t clientWidth, std::int32_t clientHeight);
    void CenterOnScreen();
    // Stores the icon id; on a created form loads the icon and sets it on the window.
    void SetIcon(std::int32_t icon);

    platform::DWORD WindowStyle() const;
    platform::DWORD WindowExStyle() const;

  private:
    OwnWindowClass ownClass;  // "Window<n>"
};

}  // namespace TekuUtility
