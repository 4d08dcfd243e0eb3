#include "toolkit/OwnWindowClass.h"

#include "toolkit/WindowProcedure.h"

namespace TekuUtility {

namespace pf = platform;

OwnWindowClass::~OwnWindowClass() {
    if (!name.empty()) {
        pf::UnregisterClassW(name.c_str(), instance);
    }
    if (brush != nullptr) {
        pf::DeleteObject(brush);
    }
}

void OwnWindowClass::Register(GUIElement& element, const wchar_t* prefix, platform::UINT style,
                              HINSTANCE classInstance, platform::HICON icon) {
    name = prefix + std::to_wstring(idCounter);
    element.id = ++idCounter;
    instance = classInstance;

    pf::WNDCLASSW wc{};
    wc.style = style;
    wc.lpfnWndProc = &WindowProcedure;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = pf::LoadCursorW(nullptr, pf::IDC_ARROW);
    if (element.backColor == kNoColor) {
        wc.hbrBackground = pf::GetSysColorBrush(pf::COLOR_BTNFACE);
    } else {
        brush = pf::CreateSolidBrush(element.backColor);
        wc.hbrBackground = brush;
    }
    wc.lpszClassName = name.c_str();
    pf::RegisterClassW(&wc);
}

}  // namespace TekuUtility
