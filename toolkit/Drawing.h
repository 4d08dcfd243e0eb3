// A GDI painting pass over one element: holds the device context from BeginPaint and offers
// text, rectangles and text measuring. Begun at the start of a paint and ended at its end.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win/win32.h"
#include "toolkit/GUIElement.h"

namespace TekuUtility {

class Drawing {
  public:
    // At most this many characters of a text are drawn, the terminator included.
    static constexpr std::size_t kTextBufferLength = 1024;

    GUIElement* owner = nullptr;  // the element being painted; not owned
    HDC deviceContext = nullptr;
    platform::PAINTSTRUCT paint{};
    bool released = false;
    std::string errorText;  // the last error code as decimal text, kept by OnError

    explicit Drawing(GUIElement* ownerElement);
    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;
    // Ends a pass that is still open.
    virtual ~Drawing();

    // BeginPaint on the owner's window.
    void Begin();
    // Text at (x, y); with w and h both non-zero, inside the rectangle with the alignment
    // (0 left, 1 right, 2 centre). The font, when given, is selected for the call only.
    void DrawText(int x, int y, int w, int h, const std::wstring& text, int alignment,
                  COLORREF color, Font* textFont);
    void DrawText(int x, int y, int w, int h, const std::string& text, int alignment,
                  COLORREF color, Font* textFont);
    // Height of the font's text metrics; 0 without a device context.
    std::int32_t TextHeight(Font* textFont);
    // A solid rectangle without outline.
    void FillRectangle(int x, int y, int w, int h, COLORREF color);
    // A one-pixel outline, not filled.
    void FrameRectangle(int x, int y, int w, int h, COLORREF color);
    // EndPaint; a second call does nothing.
    void End();

    // Reads the platform's last error code into errorText; nothing is shown.
    virtual void OnError();
};

}  // namespace TekuUtility
