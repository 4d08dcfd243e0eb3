// Drawing objects (brushes, pens, fonts, bitmaps, icons) and device contexts behind the GDI
// calls, and the helpers the window system draws its own parts with.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/win/win32.h"

namespace platform::win {

struct Surface;

// 0x00BBGGRR to opaque 0xAARRGGBB.
constexpr std::uint32_t ToArgb(COLORREF c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// A device context that draws into a window's part of its top-level surface.
HDC CreateWindowDC(HWND window, POINT origin, RECT clip);
// Draws through `dc` into the rectangle `clip` of the surface (surface coordinates).
void SetDCClip(HDC dc, RECT clip);
void DestroyDC(HDC dc);
// Drops the device contexts of a window that goes away.
void ForgetWindowDCs(HWND window);

// The surface a bitmap holds; nullptr for other handles.
Surface* BitmapSurface(HBITMAP bitmap);
HBITMAP CreateBitmapFromPixels(int width, int height, const std::uint32_t* argb);
// Icons are pictures as well; nullptr for other handles.
Surface* IconSurface(HICON icon);
HICON CreateIconFromPixels(int width, int height, const std::uint32_t* argb);

// Text measurement with the font selected in `dc`, '&' prefixes not interpreted.
int TextWidth(HDC dc, std::wstring_view text);
// Draws one line at (x, y), top-left; underlines the character at index `underline` when
// it is not negative. Uses the DC's text colour; no background.
void DrawTextLine(HDC dc, int x, int y, std::wstring_view text, int underline = -1);

// Fills a rectangle (logical coordinates) with an opaque colour, clipped.
void FillSolid(HDC dc, const RECT& r, COLORREF color);
// Copies a picture with its alpha blended over the destination.
void BlendSurface(HDC dc, int x, int y, const Surface& source);

// Keeps an object for the whole run: deleting it does nothing, a reset spares it.
void MarkStock(HGDIOBJ object);

// Drops every drawing object and device context: part of the window system reset.
void ResetGdi();

}  // namespace platform::win
