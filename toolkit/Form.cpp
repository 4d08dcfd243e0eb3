#include "toolkit/Form.h"

#include <algorithm>

#include "toolkit/WindowProcedure.h"

namespace TekuUtility {

namespace pf = platform;

namespace {

constexpr pf::DWORD kFramedStyle =
    pf::WS_VISIBLE | pf::WS_CAPTION | pf::WS_SYSMENU | pf::WS_MAXIMIZEBOX;  // 0x10C90000
constexpr pf::DWORD kModalFrameBit = 0x80;

// The window of the form this one is the open dialog of: its owner on the desktop, which
// keeps it above that window and closes it with it.
HWND OwnerWindow(const Form& dialog) {
    for (GUIElement* element : ElementRegistry()) {
        auto* form = dynamic_cast<Form*>(element);
        if (form != nullptr && form->ownedDialog == &dialog && form->handle != nullptr) {
            return form->handle;
        }
    }
    return nullptr;
}

}  // namespace

Form::Form(HINSTANCE moduleInstance) : GUIElement(moduleInstance) {
    typeName = "form";
}

Form::Form(HINSTANCE moduleInstance, DialogStyle) : GUIElement(moduleInstance) {
    typeName = "form";
    dialogMode = true;
}

Form::~Form() {
    if (activeForm == this) {
        activeForm = nullptr;
    }
    // No owner may keep pointing at a deleted dialog.
    for (GUIElement* element : ElementRegistry()) {
        auto* form = dynamic_cast<Form*>(element);
        if (form != nullptr && form->ownedDialog == this) {
            form->ownedDialog = nullptr;
        }
    }
    if (iconHandle != nullptr) {
        pf::DestroyIcon(iconHandle);
        iconHandle = nullptr;
    }
    if (handle != nullptr && pf::IsWindow(handle)) {
        pf::SendMessageW(handle, pf::WM_CLOSE, 0, 0);
        created = false;
        pf::DestroyWindow(handle);
    }
    // The window class goes with ownClass, after the window.
}

void Form::Render() {}

platform::DWORD Form::WindowStyle() const {
    pf::DWORD style = 0;
    if (dialogMode) {
        style = kFramedStyle | (modalFrame ? kModalFrameBit : 0);
    } else if (!caption) {
        style = pf::WS_POPUP;
    } else {
        style = kFramedStyle;
        if (minimizeBox) {
            style |= pf::WS_MINIMIZEBOX;
        }
        if (maximizeBox) {
            style |= pf::WS_THICKFRAME;
        }
    }
    // A bare popup has no boxes to clear (the box bits double as other style bits).
    if (dialogMode || caption) {
        if (!maximizeBox) {
            style &= ~pf::WS_MAXIMIZEBOX;
        }
        if (!minimizeBox) {
            style &= ~pf::WS_MINIMIZEBOX;
        }
    }
    if (!enabled) {
        style |= pf::WS_DISABLED;
    }
    return style;
}

platform::DWORD Form::WindowExStyle() const {
    if (!dialogMode) {
        return 0;
    }
    pf::DWORD exStyle = pf::WS_EX_DLGMODALFRAME | pf::WS_EX_TOOLWINDOW;
    if (topMost) {
        exStyle |= pf::WS_EX_TOPMOST;
    }
    return exStyle;
}

void Form::Create() {
    if (created) {
        return;
    }
    const pf::HICON icon = iconId != 0 ? pf::LoadIconW(instance, pf::MAKEINTRESOURCEW(iconId))
                                       : pf::LoadIconW(nullptr, pf::IDI_APPLICATION);
    ownClass.Register(*this, L"Window", pf::CS_VREDRAW | pf::CS_HREDRAW | pf::CS_DBLCLKS, instance,
                      icon);

    HWND window = pf::CreateWindowExW(WindowExStyle(), ownClass.Name().c_str(), text.c_str(),
                                      WindowStyle(), left, top, width, height, OwnerWindow(*this),
                                      nullptr, instance, nullptr);
    if (window == nullptr) {
        pf::GetLastError();
    } else {
        handle = window;
    }
    if (mainWindow == nullptr) {
        mainWindow = handle;
    }
    OnCreate(handle);
    pf::ShowWindow(handle, pf::SW_SHOW);
    pf::UpdateWindow(handle);
    created = true;
    CreateToolTip();
    if (font != nullptr && handle != nullptr) {
        pf::SendMessageW(handle, pf::WM_SETFONT, reinterpret_cast<pf::WPARAM>(font->GetHandle()),
                         pf::TRUE);
    }
}

void Form::SetClientSize(std::int32_t clientWidth, std::int32_t clientHeight) {
    if (!created) {
        return;
    }
    pf::RECT outer{};
    pf::RECT client{};
    pf::GetWindowRect(handle, &outer);
    pf::GetClientRect(handle, &client);
    const int frameWidth = std::max(0, (outer.right - outer.left) - (client.right - client.left));
    const int frameHeight = std::max(0, (outer.bottom - outer.top) - (client.bottom - client.top));
    SetSize(clientWidth + frameWidth, clientHeight + frameHeight);
}

void Form::CenterOnScreen() {
    const int screenWidth = pf::GetSystemMetrics(pf::SM_CXSCREEN);
    const int screenHeight = pf::GetSystemMetrics(pf::SM_CYSCREEN);
    pf::RECT outer{};
    if (created && pf::GetWindowRect(handle, &outer)) {
        width = outer.right - outer.left;
        height = outer.bottom - outer.top;
    }
    left = (screenWidth - width) / 2;
    top = (screenHeight - height) / 2;
    if (created) {
        pf::SetWindowPos(handle, nullptr, left, top, 0, 0, pf::SWP_NOSIZE | pf::SWP_NOZORDER);
        Refresh();
    }
}

void Form::SetIcon(std::int32_t icon) {
    iconId = icon;
    if (!created) {
        return;
    }
    pf::HICON loaded = pf::LoadIconW(instance, pf::MAKEINTRESOURCEW(icon));
    if (loaded == nullptr) {
        return;
    }
    // One picture for both sizes, so the title bar, the taskbar and the window switcher agree.
    pf::SendMessageW(handle, pf::WM_SETICON, pf::ICON_SMALL, reinterpret_cast<pf::LPARAM>(loaded));
    pf::SendMessageW(handle, pf::WM_SETICON, pf::ICON_BIG, reinterpret_cast<pf::LPARAM>(loaded));
    if (iconHandle != nullptr) {
        pf::DestroyIcon(iconHandle);
    }
    iconHandle = loaded;
}

}  // namespace TekuUtility
