#include "toolkit/PanelChildren.h"

#include "toolkit/WindowProcedure.h"

namespace TekuUtility {

namespace pf = platform;

PanelChildren::PanelChildren(GUIElement* parentElement) : Child(parentElement) {
    typeName = "panel";
}

PanelChildren::~PanelChildren() {
    if (activePanel == this) {
        activePanel = nullptr;
    }
    if (wheelPanel == this) {
        wheelPanel = nullptr;
    }
    // The window is served by the window procedure alone; it goes with its element.
    if (handle != nullptr && pf::IsWindow(handle)) {
        pf::DestroyWindow(handle);
    }
    if (ownsControlBrush && controlBrush != nullptr) {
        pf::DeleteObject(controlBrush);
    }
    // The window class goes with ownClass, after the window.
}

platform::DWORD PanelChildren::WindowStyle() const {
    pf::DWORD style = 0;
    if (tabStop) {
        style |= pf::WS_TABSTOP;
    }
    style |= popup ? 0x80u : (pf::WS_CHILD | pf::WS_VISIBLE);
    if (!enabled) {
        style |= pf::WS_DISABLED;
    }
    if (border) {
        style |= pf::WS_BORDER;
    }
    if (horizontalScrollBar) {
        style |= pf::WS_HSCROLL;
    }
    if (verticalScrollBar) {
        style |= pf::WS_VSCROLL;
    }
    return style;
}

platform::DWORD PanelChildren::WindowExStyle() const {
    pf::DWORD exStyle = 0;
    if (popup) {
        exStyle |= pf::WS_EX_DLGMODALFRAME | pf::WS_EX_TOOLWINDOW;
    }
    if (border && !flatBorder) {
        exStyle |= pf::WS_EX_CLIENTEDGE;
    }
    return exStyle;
}

void PanelChildren::Create() {
    if (created) {
        return;
    }
    const bool parentLive = IsLiveElement(parent);
    ownClass.Register(*this, L"PanelChildren", pf::CS_DBLCLKS,
                      parentLive ? parent->instance : nullptr, nullptr);

    HWND parentWindow = (!popup && parentLive) ? parent->handle : nullptr;
    auto menuId = popup ? nullptr : reinterpret_cast<pf::HMENU>(static_cast<std::intptr_t>(id));
    handle = pf::CreateWindowExW(WindowExStyle(), ownClass.Name().c_str(), text.c_str(),
                                 WindowStyle(), left, top, width, height, parentWindow, menuId,
                                 ownClass.Instance(), nullptr);
    if (handle == nullptr) {
        pf::GetLastError();
    }
    if (!popup) {
        pf::ShowWindow(handle, pf::SW_SHOW);
        pf::UpdateWindow(handle);
    }
    created = true;
    if (Load != nullptr) {
        Load(this);
    }
    loadRaised = true;
    SetScrollRange(scrollMin, scrollMax);
    CreateToolTip();
    ApplyFont();
}

void PanelChildren::SetScrollRange(std::int32_t minimum, std::int32_t maximum) {
    scrollMin = minimum;
    scrollMax = maximum;
    if (!created) {
        return;
    }
    pf::SCROLLINFO info{};
    info.fMask = pf::SIF_RANGE | pf::SIF_PAGE;
    info.nMin = minimum;
    info.nMax = maximum;
    // An inverted range has no page rather than a huge one.
    info.nPage = maximum > minimum ? static_cast<pf::UINT>((maximum - minimum) / 10) : 0;
    if (verticalScrollBar) {
        pf::SetScrollInfo(handle, pf::SB_VERT, &info, pf::TRUE);
    }
    if (horizontalScrollBar) {
        pf::SetScrollInfo(handle, pf::SB_HORZ, &info, pf::TRUE);
    }
}

HBRUSH PanelChildren::OnControlColor(HDC deviceContext) {
    if (!customColours) {
        return nullptr;
    }
    if (ownsControlBrush && controlBrush != nullptr) {
        pf::DeleteObject(controlBrush);
    }
    controlBrush = nullptr;
    ownsControlBrush = false;
    if (font != nullptr) {
        pf::SelectObject(deviceContext, font->GetHandle());
    }
    if (controlBackColor != kNoColor) {
        pf::SetBkColor(deviceContext, controlBackColor);
        controlBrush = pf::CreateSolidBrush(controlBackColor);
        ownsControlBrush = true;
    } else if (backColor != kNoColor) {
        pf::SetBkColor(deviceContext, backColor);
        controlBrush = pf::CreateSolidBrush(backColor);
        ownsControlBrush = true;
    } else {
        controlBrush = pf::GetSysColorBrush(pf::COLOR_BTNFACE);
    }
    if (textColor != kNoColor) {
        pf::SetTextColor(deviceContext, textColor);
    }
    return controlBrush;
}

}  // namespace TekuUtility
