// A panel that draws its own one-line text: its own font description, text colour and
// horizontal alignment, the text centred vertically. Used for the status bar and for links.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/PanelChildren.h"

namespace TekuUtility {

class CellControl : public PanelChildren {
  public:
    // Values of textAlign.
    static constexpr std::int32_t kAlignLeft = 0;
    static constexpr std::int32_t kAlignRight = 1;
    static constexpr std::int32_t kAlignCenter = 2;

    bool cellBold = false;
    bool cellUnderline = false;
    bool cellItalic = false;
    std::string cellFace = "Tahoma";
    std::int32_t cellFontHeight = 14;
    std::int32_t textAlign = kAlignCenter;
    // textColor (a PanelChildren field) is the colour of the cell's own text, black here.

    explicit CellControl(GUIElement* parentElement);

    // Store the text as every element does, then repaint the cell.
    void SetText(const std::wstring& newText) override;
    void SetText(const std::string& newText) override;
    // Background (when applied), then the text centred vertically; then raises Paint.
    void OnPaint() override;
};

}  // namespace TekuUtility
