// The window class that a form or a panel registers for itself, named after the id counter;
// it is unregistered, and its background brush deleted, when the element goes.
#pragma once

#include <string>

#include "toolkit/GUIElement.h"

namespace TekuUtility {

class OwnWindowClass {
  public:
    OwnWindowClass() = default;
    OwnWindowClass(const OwnWindowClass&) = delete;
    OwnWindowClass& operator=(const OwnWindowClass&) = delete;
    ~OwnWindowClass();

    // Names the class `prefix` followed by the id counter's value, gives the element the next
    // id, and registers a class of the given style, instance and icon (WindowProcedure, the
    // arrow cursor, and the system COLOR_BTNFACE brush or, with a backColor, a solid brush of
    // it).
    void Register(GUIElement& element, const wchar_t* prefix, platform::UINT style,
                  HINSTANCE instance, platform::HICON icon);
    const std::wstring& Name() const { return name; }
    HINSTANCE Instance() const { return instance; }

  private:
    std::wstring name;  // empty until registered
    HINSTANCE instance = nullptr;
    HBRUSH brush = nullptr;  // the background brush, when made here
};

}  // namespace TekuUtility
