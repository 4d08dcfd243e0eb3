#include "toolkit/GUIElement.h"

#include <algorithm>

#include "toolkit/WindowProcedure.h"

namespace TekuUtility {

namespace pf = platform;

std::int32_t idCounter = 0;
HWND mainWindow = nullptr;

namespace {

// Never destroyed, so elements with static storage can leave it at exit.
std::vector<GUIElement*>& Registry() {
    static auto* registry = new std::vector<GUIElement*>();
    return *registry;
}

}  // namespace

const std::vector<GUIElement*>& ElementRegistry() {
    return Registry();
}

bool IsLiveElement(const GUIElement* element) {
    if (element == nullptr) {
        return false;
    }
    const auto& registry = Registry();
    return std::find(registry.begin(), registry.end(), element) != registry.end();
}

GUIElement* FindElementByHandle(HWND window) {
    const auto& registry = Registry();
    for (GUIElement* element : registry) {
        if (element->handle == window) {
            return element;
        }
    }
    // A window whose CreateWindowExW is still running belongs to the element being created.
    if (!registry.empty() && registry.back()->handle == nullptr) {
        return registry.back();
    }
    return nullptr;
}

GUIElement* FindElementById(std::int32_t id) {
    if (id == GUIElement::kNoId) {
        return nullptr;
    }
    for (GUIElement* element : Registry()) {
        if (element->id == id) {
            return element;
        }
    }
    return nullptr;
}

std::wstring Widen(const std::string& text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (char c : text) {
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return wide;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        narrow.push_back(code <= 0xFF ? static_cast<char>(code) : '?');
    }
    return narrow;
}

// ---- Font ----

Font::Font(const std::string& faceName, std::int32_t fontHeight)
    : face(Widen(faceName)), height(fontHeight) {}

Font::Font(const Font& other)
    : face(other.face),
      height(other.height),
      bold(other.bold),
      italic(other.italic),
      underline(other.underline),
      fixedPitch(other.fixedPitch) {}

Font& Font::operator=(const Font& other) {
    if (this != &other) {
        Release();
        face = other.face;
        height = other.height;
        bold = other.bold;
        italic = other.italic;
        underline = other.underline;
        fixedPitch = other.fixedPitch;
    }
    return *this;
}

Font::~Font() {
    Release();
}

HFONT Font::GetHandle() {
    if (handle == nullptr) {
        handle =
            pf::CreateFontW(height, 0, 0, 0, bold ? 700 : 400, italic ? 1 : 0, underline ? 1 : 0, 0,
                            pf::DEFAULT_CHARSET, pf::OUT_OUTLINE_PRECIS, pf::CLIP_DEFAULT_PRECIS,
                            pf::CLEARTYPE_QUALITY, fixedPitch ? pf::FIXED_PITCH : 0, face.c_str());
    }
    return handle;
}

void Font::Release() {
    if (handle != nullptr) {
        pf::DeleteObject(handle);
        handle = nullptr;
    }
}

// ---- GUIElement ----

GUIElement::GUIElement(HINSTANCE moduleInstance) : instance(moduleInstance) {
    Registry().push_back(this);
}

GUIElement::~GUIElement() {
    auto& registry = Registry();
    registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
    // A standard control outliving its element gets its own procedure back, so its late
    // messages are served natively instead of reaching the window procedure.
    if (handle != nullptr && oldWindowProcedure != nullptr && pf::IsWindow(handle) &&
        reinterpret_cast<WNDPROC>(pf::GetWindowLongPtrW(handle, pf::GWLP_WNDPROC)) ==
            &WindowProcedure) {
        pf::SetWindowLongPtrW(handle, pf::GWLP_WNDPROC,
                              reinterpret_cast<pf::LONG_PTR>(oldWindowProcedure));
    }
}

void GUIElement::SetSize(std::int32_t newWidth, std::int32_t newHeight) {
    width = newWidth;
    height = newHeight;
    if (created) {
        pf::SetWindowPos(handle, nullptr, left, top, width, height,
                         pf::SWP_NOMOVE | pf::SWP_NOZORDER);
        RefreshToolTip();
        Refresh();
    }
}

void GUIElement::SetBackColor(COLORREF color) {
    backColor = color;
    if (created) {
        pf::InvalidateRect(handle, nullptr, 1);
        pf::PAINTSTRUCT paint{};
        HDC dc = pf::BeginPaint(handle, &paint);
        pf::RECT client{};
        pf::GetClientRect(handle, &client);
        pf::SetBkColor(dc, backColor);
        pf::ExtTextOutW(dc, 0, 0, pf::ETO_OPAQUE, &client, L"", 0, nullptr);
        pf::EndPaint(handle, &paint);
        backColorApplied = true;
    }
}

void GUIElement::SetEnabled(bool enable) {
    enabled = enable;
    if (created) {
        pf::EnableWindow(handle, enable ? 1 : 0);
    }
}

void GUIElement::SetText(const std::wstring& newText) {
    text = newText;
    if (created) {
        pf::SetWindowTextW(handle, text.c_str());
    }
}

void GUIElement::SetText(const std::string& newText) {
    SetText(Widen(newText));
}

void GUIElement::OnMouseUp(int x, int y) {
    if (MouseUp != nullptr) {
        MouseUp(this, handle, x, y);
    }
}

void GUIElement::OnMouseDown(int x, int y) {
    if (MouseDown != nullptr) {
        MouseDown(this, handle, x, y);
    }
}

void GUIElement::OnDoubleClick(int x, int y) {
    if (DoubleClick != nullptr) {
        DoubleClick(this, handle, x, y);
    }
}

void GUIElement::OnRightMouseUp(int x, int y) {
    if (RightMouseUp != nullptr) {
        RightMouseUp(this, handle, x, y);
    }
}

void GUIElement::OnRightMouseDown(int x, int y) {
    if (RightMouseDown != nullptr) {
        RightMouseDown(this, handle, x, y);
    }
}

void GUIElement::OnRightDoubleClick(int x, int y) {
    if (RightDoubleClick != nullptr) {
        RightDoubleClick(this, handle, x, y);
    }
}

void GUIElement::OnKeyUp(int key) {
    if (KeyUp != nullptr) {
        KeyUp(this, key);
    }
}

void GUIElement::OnKeyDown(int key) {
    if (KeyDown != nullptr) {
        KeyDown(this, key);
    }
}

bool GUIElement::OnKeyPress(wchar_t character) {
    return KeyPress == nullptr || KeyPress(this, character);
}

void GUIElement::OnMouseMove(int x, int y) {
    if (MouseMove != nullptr) {
        MouseMove(this, x, y);
    }
}

void GUIElement::OnMouseHover() {
    if (MouseHover != nullptr) {
        MouseHover(this);
    }
}

void GUIElement::OnMouseLeave() {
    if (MouseLeave != nullptr) {
        MouseLeave(this);
    }
}

void GUIElement::Focus() {
    if (created) {
        pf::SetFocus(handle);
    }
}

void GUIElement::OnMove() {
    GetLocation();
    if (Move != nullptr) {
        Move(this);
    }
}

void GUIElement::OnResize() {
    if (Resize != nullptr) {
        Resize(this);
    }
}

void GUIElement::OnPaint() {
    if (backColorApplied) {
        SetBackColor(backColor);
    }
    if (Paint != nullptr) {
        Paint(this);
    }
}

HBRUSH GUIElement::OnControlColor(HDC) {
    return nullptr;
}

bool GUIElement::OnClose() {
    return Closing == nullptr || Closing(this);
}

void GUIElement::OnDestroy() {
    if (Destroyed != nullptr) {
        Destroyed(this);
    }
    destroyed = true;
}

void GUIElement::OnGotFocus() {
    focusText = GetText();
    if (GotFocus != nullptr) {
        GotFocus(this);
    }
}

void GUIElement::OnLostFocus() {
    if (LostFocus != nullptr) {
        LostFocus(this);
    }
    if (GetText() != focusText && TextChanged != nullptr) {
        TextChanged(this);
    }
}

void GUIElement::OnActivate() {
    if (Activated != nullptr) {
        Activated(this);
    }
}

void GUIElement::OnDeactivate() {
    if (Deactivated != nullptr) {
        Deactivated(this);
    }
}

void GUIElement::OnCreate(HWND window) {
    if (handle == nullptr) {
        handle = window;
    }
    if (!loadRaised) {
        loadRaised = true;
        if (Load != nullptr) {
            Load(this);
        }
    }
}

void GUIElement::Refresh() {
    if (created) {
        pf::RedrawWindow(handle, nullptr, nullptr, pf::RDW_INVALIDATE | pf::RDW_FRAME);
    }
}

bool GUIElement::GetWaitCursor() {
    return waitCursor;
}
bool GUIElement::GetHandCursor() {
    return handCursor;
}
void GUIElement::SetWaitCursor(bool on) {
    waitCursor = on;
}
void GUIElement::SetHandCursor(bool on) {
    handCursor = on;
}
void GUIElement::OnShow() {}
void GUIElement::OnNotify(platform::NMHDR) {}

void GUIElement::SetLocation(std::int32_t newLeft, std::int32_t newTop) {
    left = newLeft;
    top = newTop;
    if (created) {
        pf::SetWindowPos(handle, nullptr, left, top, width, height,
                         pf::SWP_NOSIZE | pf::SWP_NOZORDER);
        Refresh();
    }
}

platform::POINT GUIElement::GetLocation() {
    pf::RECT bounds{};
    if (created && pf::GetWindowRect(handle, &bounds)) {
        pf::POINT corner{bounds.left, bounds.top};
        if (parent != nullptr) {
            pf::ScreenToClient(parent->handle, &corner);
        }
        left = corner.x;
        top = corner.y;
    }
    return pf::POINT{left, top};
}

std::wstring GUIElement::GetText() {
    // Menu elements keep a menu handle, not a window: their text lives in the field only.
    if (created && pf::IsWindow(handle)) {
        const int length = pf::GetWindowTextLengthW(handle);
        std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
        const int copied = pf::GetWindowTextW(handle, buffer.data(), length + 1);
        buffer.resize(static_cast<std::size_t>(std::clamp(copied, 0, length)));
        text = buffer;
    }
    return text;
}

std::string GUIElement::GetTextA() {
    return Narrow(GetText());
}

void GUIElement::Show() {
    if (!created) {
        Create();
    }
    pf::ShowWindow(handle, pf::SW_SHOWNA);
    visible = true;
}

void GUIElement::Hide() {
    if (created) {
        pf::ShowWindow(handle, pf::SW_HIDE);
        visible = false;
    }
}

void GUIElement::CreateToolTip() {
    if (toolTip.empty() || handle == nullptr) {
        return;
    }
    pf::INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    pf::InitCommonControlsEx(&controls);
    toolTipWindow = pf::CreateWindowExW(pf::WS_EX_TOPMOST, L"tooltips_class32", nullptr,
                                        pf::WS_POPUP | pf::TTS_NOPREFIX | pf::TTS_ALWAYSTIP, 0, 0,
                                        0, 0, handle, nullptr, instance, nullptr);
    if (toolTipWindow == nullptr) {
        return;
    }
    pf::SetWindowPos(toolTipWindow, pf::HWND_TOPMOST, 0, 0, 0, 0,
                     pf::SWP_NOMOVE | pf::SWP_NOSIZE | pf::SWP_NOACTIVATE);
    std::wstring tip = Widen(toolTip);
    pf::TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = pf::TTF_SUBCLASS;
    tool.hwnd = handle;
    tool.lpszText = tip.data();
    pf::GetClientRect(handle, &tool.rect);
    pf::SendMessageW(toolTipWindow, pf::TTM_ADDTOOLW, 0, reinterpret_cast<pf::LPARAM>(&tool));
}

void GUIElement::RefreshToolTip() {
    if (toolTipWindow == nullptr) {
        CreateToolTip();
        return;
    }
    std::wstring tip = Widen(toolTip);
    pf::TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = handle;
    tool.lpszText = tip.data();
    pf::GetClientRect(handle, &tool.rect);
    pf::SendMessageW(toolTipWindow, pf::TTM_NEWTOOLRECTW, 0, reinterpret_cast<pf::LPARAM>(&tool));
    pf::SendMessageW(toolTipWindow, pf::TTM_UPDATETIPTEXTW, 0, reinterpret_cast<pf::LPARAM>(&tool));
}

void GUIElement::ApplyFont() {
    if (font != nullptr && handle != nullptr) {
        pf::SendMessageW(handle, pf::WM_SETFONT, reinterpret_cast<pf::WPARAM>(font->GetHandle()),
                         1);
    }
}

void GUIElement::SubclassWindow() {
    if (handle == nullptr) {
        return;
    }
    oldWindowProcedure = reinterpret_cast<WNDPROC>(pf::SetWindowLongPtrW(
        handle, pf::GWLP_WNDPROC, reinterpret_cast<pf::LONG_PTR>(&WindowProcedure)));
}

Child::Child(GUIElement* parentElement, HINSTANCE moduleInstance) : GUIElement(moduleInstance) {
    parent = parentElement;
}

HWND Child::ParentWindow() const {
    return IsLiveElement(parent) ? parent->handle : nullptr;
}

HWND Child::CreateControlWindow(platform::DWORD exStyle, const wchar_t* className,
                                platform::DWORD style) {
    id = ++idCounter;
    if (!enabled) {
        style |= pf::WS_DISABLED;
    }
    HWND window = pf::CreateWindowExW(
        exStyle, className, text.c_str(), style, left, top, width, height, ParentWindow(),
        reinterpret_cast<platform::HMENU>(static_cast<std::intptr_t>(id)), instance, nullptr);
    if (window == nullptr) {
        pf::GetLastError();
    }
    return window;
}

void Child::CreateControl(platform::DWORD exStyle, const wchar_t* className, platform::DWORD style,
                          void (*setUp)(Child& control)) {
    if (created) {
        return;
    }
    handle = CreateControlWindow(exStyle, className, style);
    created = true;
    if (setUp != nullptr) {
        setUp(*this);
    }
    AttachControl();
}

void Child::AttachControl() {
    SubclassWindow();
    CreateToolTip();
    ApplyFont();
}

}  // namespace TekuUtility
