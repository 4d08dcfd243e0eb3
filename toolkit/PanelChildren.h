// A container window with a window class of its own, optional scroll bars and colours for
// the controls inside it. The 3D panel and the cell control derive from it.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/GUIElement.h"
#include "toolkit/OwnWindowClass.h"

namespace TekuUtility {

class PanelChildren : public Child {
  public:
    bool customColours = true;
    ScrollHandler VerticalScroll = nullptr;
    ScrollHandler HorizontalScroll = nullptr;
    bool border = false;
    bool flatBorder = false;
    bool verticalScrollBar = false;
    bool horizontalScrollBar = false;
    std::int32_t scrollMin = 0;
    std::int32_t scrollMax = 100;
    bool tabStop = true;
    HBRUSH controlBrush = nullptr;
    COLORREF textColor = kNoColor;
    COLORREF controlBackColor = kNoColor;
    bool popup = false;

    explicit PanelChildren(GUIElement* parentElement);
    // Destroys the panel's window (it serves no other element) and its brushes.
    ~PanelChildren() override;

    // Stores the range; on a created panel sets it, with a page of a tenth, on each bar.
    void SetScrollRange(std::int32_t minimum, std::int32_t maximum);
    HBRUSH OnControlColor(HDC deviceContext) override;
    void Create() override;

    // The window style and extended style Create uses, from the current fields.
    platform::DWORD WindowStyle() const;
    platform::DWORD WindowExStyle() const;

  private:
    OwnWindowClass ownClass;        // "PanelChildren<n>"
    bool ownsControlBrush = false;  // controlBrush was made here (not a system brush)
};

}  // namespace TekuUtility
