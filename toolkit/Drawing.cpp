#include "toolkit/Drawing.h"

#include <algorithm>
#include <cstdio>

namespace TekuUtility {

namespace pf = platform;

Drawing::Drawing(GUIElement* ownerElement) : owner(ownerElement) {}

Drawing::~Drawing() {
    End();
}

void Drawing::Begin() {
    if (owner == nullptr || deviceContext != nullptr) {
        return;
    }
    released = false;
    deviceContext = pf::BeginPaint(owner->handle, &paint);
    if (deviceContext == nullptr) {
        OnError();
    }
}

void Drawing::DrawText(int x, int y, int w, int h, const std::wstring& text, int alignment,
                       COLORREF color, Font* textFont) {
    if (deviceContext == nullptr) {
        return;
    }
    pf::SetBkMode(deviceContext, pf::TRANSPARENT);
    wchar_t buffer[kTextBufferLength] = {};
    const std::size_t count = std::min(text.size(), kTextBufferLength - 1);
    std::copy_n(text.begin(), count, buffer);
    pf::HGDIOBJ oldFont = nullptr;
    if (textFont != nullptr) {
        oldFont = pf::SelectObject(deviceContext, textFont->GetHandle());
    }
    const COLORREF oldColor = pf::SetTextColor(deviceContext, color);
    if (w == 0 || h == 0) {
        pf::TextOutW(deviceContext, x, y, buffer, static_cast<int>(count));
    } else {
        pf::RECT area{x, y, x + w, y + h};
        const pf::UINT format = alignment == 1   ? pf::DT_RIGHT
                                : alignment == 2 ? pf::DT_CENTER
                                                 : pf::DT_LEFT;
        pf::DrawTextW(deviceContext, buffer, -1, &area, format);
    }
    pf::SetTextColor(deviceContext, oldColor);
    if (textFont != nullptr) {
        pf::SelectObject(deviceContext, oldFont);
    }
}

void Drawing::DrawText(int x, int y, int w, int h, const std::string& text, int alignment,
                       COLORREF color, Font* textFont) {
    DrawText(x, y, w, h, Widen(text), alignment, color, textFont);
}

std::int32_t Drawing::TextHeight(Font* textFont) {
    if (deviceContext == nullptr) {
        return 0;
    }
    pf::HGDIOBJ oldFont = nullptr;
    if (textFont != nullptr) {
        oldFont = pf::SelectObject(deviceContext, textFont->GetHandle());
    }
    pf::TEXTMETRICW metrics{};
    const bool measured = pf::GetTextMetricsW(deviceContext, &metrics) != 0;
    if (textFont != nullptr) {
        pf::SelectObject(deviceContext, oldFont);
    }
    if (!measured) {
        OnError();
        return 0;
    }
    return metrics.tmHeight;
}

void Drawing::FillRectangle(int x, int y, int w, int h, COLORREF color) {
    if (deviceContext == nullptr) {
        return;
    }
    pf::HPEN pen = pf::CreatePen(pf::PS_NULL, 1, 0);
    pf::HBRUSH brush = pf::CreateSolidBrush(color);
    pf::HGDIOBJ oldPen = pf::SelectObject(deviceContext, pen);
    pf::HGDIOBJ oldBrush = pf::SelectObject(deviceContext, brush);
    // Without an outline Rectangle leaves out the right column and the bottom row, so the
    // rectangle is one larger to fill exactly w x h.
    pf::Rectangle(deviceContext, x, y, x + w + 1, y + h + 1);
    pf::SelectObject(deviceContext, oldBrush);
    pf::SelectObject(deviceContext, oldPen);
    pf::DeleteObject(brush);
    pf::DeleteObject(pen);
}

void Drawing::FrameRectangle(int x, int y, int w, int h, COLORREF color) {
    if (deviceContext == nullptr) {
        return;
    }
    pf::HPEN pen = pf::CreatePen(pf::PS_SOLID, 1, color);
    pf::HGDIOBJ oldBrush = pf::SelectObject(deviceContext, pf::GetStockObject(pf::HOLLOW_BRUSH));
    pf::HGDIOBJ oldPen = pf::SelectObject(deviceContext, pen);
    pf::Rectangle(deviceContext, x, y, x + w, y + h);
    pf::SelectObject(deviceContext, oldPen);
    pf::SelectObject(deviceContext, oldBrush);
    pf::DeleteObject(pen);
}

void Drawing::End() {
    if (deviceContext == nullptr || released) {
        return;
    }
    if (owner != nullptr) {
        pf::EndPaint(owner->handle, &paint);
    }
    deviceContext = nullptr;
    released = true;
}

void Drawing::OnError() {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(pf::GetLastError()));
    errorText = buffer;
}

}  // namespace TekuUtility
