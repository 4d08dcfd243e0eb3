#include "toolkit/Controls.h"

#include "toolkit/WindowProcedure.h"

namespace TekuUtility {

namespace pf = platform;

namespace {

// Buttons, labels and text boxes start at 80 x 30 with their caption.
void StartWithCaption(Child& control, const std::string& caption, const char* kind) {
    control.text = Widen(caption);
    control.width = 80;
    control.height = 30;
    control.typeName = kind;
}

// The sunken edge of a control with a border.
platform::DWORD BorderExStyle(bool border) {
    return border ? pf::WS_EX_CLIENTEDGE : 0;
}

}  // namespace

// ---- Button ----

Button::Button(GUIElement* parentElement, const std::string& caption) : Child(parentElement) {
    StartWithCaption(*this, caption, "button");
}

platform::DWORD Button::WindowStyle() const {
    return pf::WS_CHILD | pf::WS_VISIBLE | pf::WS_TABSTOP;
}

void Button::Create() {
    CreateControl(0, L"Button", WindowStyle());
}

void Button::DrawImage(HDC, const platform::RECT&) {}

// ---- Label ----

Label::Label(GUIElement* parentElement, const std::string& caption) : Child(parentElement) {
    StartWithCaption(*this, caption, "label");
}

platform::DWORD Label::WindowStyle() const {
    pf::DWORD style = pf::WS_CHILD | pf::WS_VISIBLE | pf::SS_NOTIFY;
    if (border) {
        style |= pf::WS_BORDER;
    }
    if (alignRight) {
        style |= pf::SS_RIGHT;
    } else if (alignCenter) {
        style |= pf::SS_CENTER;
    }
    return style;
}

platform::DWORD Label::WindowExStyle() const {
    return BorderExStyle(border);
}

void Label::Create() {
    CreateControl(WindowExStyle(), L"static", WindowStyle());
}

// ---- Image ----

Image::Image(GUIElement* parentElement, const std::string& file)
    : Child(parentElement), fileName(file) {
    typeName = "image";
}

Image::Image(GUIElement* parentElement, std::int32_t resource)
    : Child(parentElement), resourceId(resource) {
    typeName = "image";
}

Image::~Image() {
    if (bitmap != nullptr) {
        pf::DeleteObject(bitmap);
    }
}

platform::DWORD Image::WindowStyle() const {
    pf::DWORD style = pf::WS_CHILD | pf::WS_VISIBLE | pf::SS_NOTIFY | pf::SS_BITMAP;
    if (border) {
        style |= pf::WS_BORDER;
    }
    return style;
}

platform::DWORD Image::WindowExStyle() const {
    return BorderExStyle(border);
}

void Image::SetImageFile(const std::string& file) {
    resourceId = -1;
    fileName = file;
    if (!created || file.empty()) {
        return;
    }
    const std::wstring wideName = Widen(file);
    ShowLoaded(pf::LoadImageW(nullptr, wideName.c_str(), pf::IMAGE_BITMAP, 0, 0,
                              pf::LR_LOADFROMFILE | pf::LR_CREATEDIBSECTION));
}

void Image::SetImageResource(std::int32_t resource) {
    resourceId = resource;
    fileName.clear();
    if (!created || resource <= 0) {
        return;
    }
    ShowLoaded(pf::LoadImageW(pf::GetModuleHandleW(nullptr), pf::MAKEINTRESOURCEW(resource),
                              pf::IMAGE_BITMAP, 0, 0, pf::LR_CREATEDIBSECTION));
}

void Image::ShowLoaded(platform::HANDLE loaded) {
    if (loaded == nullptr) {
        pf::GetLastError();
        return;
    }
    // The old bitmap goes only once the new one is on screen, so a failed load keeps it.
    pf::SendMessageW(handle, pf::STM_SETIMAGE, pf::IMAGE_BITMAP,
                     reinterpret_cast<pf::LPARAM>(loaded));
    if (bitmap != nullptr) {
        pf::DeleteObject(bitmap);
    }
    bitmap = static_cast<pf::HBITMAP>(loaded);
}

void Image::Create() {
    if (created) {
        return;
    }
    handle = CreateControlWindow(WindowExStyle(), L"static", WindowStyle());
    if (handle == nullptr) {
        return;  // an image without a window stays not created
    }
    created = true;
    if (resourceId == -1) {
        SetImageFile(fileName);
    } else {
        SetImageResource(resourceId);
    }
    AttachControl();
}

// ---- TextBox ----

TextBox::TextBox(GUIElement* parentElement, const std::string& content) : Child(parentElement) {
    StartWithCaption(*this, content, "textbox");
}

platform::DWORD TextBox::WindowStyle() const {
    pf::DWORD style = pf::WS_CHILD | pf::WS_VISIBLE | pf::WS_TABSTOP;
    if (horizontalScrollBar) {
        style |= pf::WS_HSCROLL;
    }
    if (verticalScrollBar) {
        style |= pf::WS_VSCROLL;
    }
    if (numbersOnly) {
        style |= pf::ES_NUMBER;
    }
    if (border) {
        style |= pf::WS_BORDER;
    }
    if (multiLine) {
        style |= pf::ES_MULTILINE | pf::ES_AUTOVSCROLL | pf::ES_WANTRETURN;
    }
    if (!multiLine || noWrap) {
        style |= pf::ES_AUTOHSCROLL;
    }
    if (readOnly) {
        style |= pf::ES_READONLY;
    }
    if (upperCase) {
        style |= pf::ES_UPPERCASE;
    } else if (lowerCase) {
        style |= pf::ES_LOWERCASE;
    }
    if (alignRight) {
        style |= pf::ES_RIGHT;
    } else if (alignCenter) {
        style |= pf::ES_CENTER;
    }
    if (narrowOnly) {
        style |= pf::ES_OEMCONVERT;
    }
    return style;
}

platform::DWORD TextBox::WindowExStyle() const {
    return BorderExStyle(border);
}

void TextBox::SetMaxLength(std::int32_t length) {
    maxLength = length;
    if (created) {
        pf::SendMessageW(handle, pf::EM_SETLIMITTEXT, static_cast<pf::WPARAM>(length), 0);
    }
}

void TextBox::ApplyStyle() {
    if (!created) {
        return;
    }
    pf::DWORD style = WindowStyle();
    if (!enabled) {
        style |= pf::WS_DISABLED;
    }
    pf::SetLastError(0);
    if (pf::SetWindowLongW(handle, pf::GWL_STYLE, static_cast<pf::LONG>(style)) == 0 &&
        pf::GetLastError() != 0) {
        return;
    }
    pf::SendMessageW(handle, pf::EM_SETREADONLY, readOnly ? 1 : 0, 0);
    pf::SendMessageW(handle, pf::EM_SETPASSWORDCHAR, password ? L'*' : 0, 0);
    pf::SetWindowPos(handle, nullptr, 0, 0, 0, 0,
                     pf::SWP_NOMOVE | pf::SWP_NOSIZE | pf::SWP_NOZORDER | pf::SWP_FRAMECHANGED);
}

void TextBox::Create() {
    // The limit is set before the box is subclassed.
    CreateControl(WindowExStyle(), L"edit", WindowStyle(), [](Child& control) {
        auto& box = static_cast<TextBox&>(control);
        if (box.maxLength != -1) {
            pf::SendMessageW(box.handle, pf::EM_SETLIMITTEXT,
                             static_cast<pf::WPARAM>(box.maxLength), 0);
        }
    });
}

// ---- Timer ----

Timer::Timer(GUIElement* parentElement, std::int32_t milliseconds)
    : Child(parentElement), interval(milliseconds) {
    text = L"timer";
    width = 50;
    height = 22;
    typeName = "timer";
}

Timer::~Timer() {
    Stop();
}

void Timer::Create() {
    CreateControl(0, L"static", pf::WS_CHILD);
}

void Timer::Start() {
    if (running) {
        return;
    }
    Create();
    pf::SetTimer(ParentWindow(), static_cast<pf::UINT_PTR>(id), static_cast<pf::UINT>(interval),
                 nullptr);
    running = true;
}

void Timer::Stop() {
    if (!running) {
        return;
    }
    pf::KillTimer(ParentWindow(), static_cast<pf::UINT_PTR>(id));
    running = false;
}

}  // namespace TekuUtility
