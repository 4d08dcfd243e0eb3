#include "toolkit/CellControl.h"

#include "toolkit/Drawing.h"

namespace TekuUtility {

namespace pf = platform;

CellControl::CellControl(GUIElement* parentElement) : PanelChildren(parentElement) {
    textColor = 0;
    tabStop = false;
}

void CellControl::SetText(const std::wstring& newText) {
    GUIElement::SetText(newText);
    if (created) {
        pf::InvalidateRect(handle, nullptr, pf::TRUE);
    }
}

void CellControl::SetText(const std::string& newText) {
    SetText(Widen(newText));
}

void CellControl::OnPaint() {
    pf::RECT client{};
    if (created && pf::GetClientRect(handle, &client)) {
        // Made for every paint, so a change of the cell font fields shows at once.
        Font cellFont(cellFace, cellFontHeight);
        cellFont.bold = cellBold;
        cellFont.italic = cellItalic;
        cellFont.underline = cellUnderline;
        Drawing drawing(this);
        drawing.Begin();
        if (backColorApplied) {
            drawing.FillRectangle(0, 0, client.right - client.left, client.bottom - client.top,
                                  backColor);
        }
        Font* textFont = font != nullptr ? font : &cellFont;
        const std::int32_t textHeight = drawing.TextHeight(textFont);
        if (!text.empty()) {
            const int y = (client.bottom - textHeight - client.top) / 2;
            drawing.DrawText(0, y, client.right - client.left, client.bottom - y, text, textAlign,
                             textColor, textFont);
        }
        drawing.End();
        cellFont.Release();
    }
    if (Paint != nullptr) {
        Paint(this);
    }
}

}  // namespace TekuUtility
