// The toolkit's element model: GUIElement (the base of every window, control, menu entry and
// timer), the Font record, the Child and CommandElement markers, and the process-wide element
// registry, id counter and main-window handle that the window procedure works with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace platform {
struct NMHDR;  // the notification record of the window system (platform/win/win32.h)
}

namespace TekuUtility {

using platform::COLORREF;
using platform::HBRUSH;
using platform::HDC;
using platform::HFONT;
using platform::HINSTANCE;
using platform::HWND;
using platform::WNDPROC;

inline constexpr COLORREF kNoColor = platform::kNoColor;

class GUIElement;

// Handler fields: plain functions that receive the element the event belongs to.
using ElementHandler = void (*)(GUIElement* element);
using MouseHandler = void (*)(GUIElement* element, HWND window, int x, int y);
using KeyHandler = void (*)(GUIElement* element, int key);
using KeyPressHandler = bool (*)(GUIElement* element, wchar_t character);
using ClosingHandler = bool (*)(GUIElement* element);
using MouseMoveHandler = void (*)(GUIElement* element, int x, int y);
// Scroll handlers get the signed difference old position - requested position.
using StateHandler = void (*)(GUIElement* element, bool on);
using ScrollHandler = void (*)(GUIElement* element, std::int32_t delta);

// Texts: the toolkit keeps wide strings; narrow input is widened byte by byte (Latin-1).
std::wstring Widen(const std::string& text);
// Characters above 0xFF have no Latin-1 byte and become '?'.
std::string Narrow(const std::wstring& text);

// A font description whose native handle is made on first use and deleted with the record.
class Font {
  public:
    HFONT handle = nullptr;
    std::wstring face = L"System";
    std::int32_t height = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool fixedPitch = false;

    Font() = default;
    Font(const std::string& faceName, std::int32_t fontHeight);
    // A copy describes the same font and makes its own handle.
    Font(const Font& other);
    Font& operator=(const Font& other);
    ~Font();

    // The native font, created with CreateFontW the first time it is asked for.
    HFONT GetHandle();
    // Deletes the native font; the next GetHandle makes a new one.
    void Release();
};

// Base of every toolkit element. Properties live in the fields; the native window is made by
// Create, after which every setter also updates the window at once.
class GUIElement {
  public:
    bool visible = true;
    bool keyPreview = false;
    bool destroyed = false;
    bool waitCursor = false;
    bool handCursor = false;
    HWND toolTipWindow = nullptr;
    HWND handle = nullptr;
    HINSTANCE instance = nullptr;
    Font* font = nullptr;  // not owned
    std::int32_t width = 100;
    std::int32_t height = 50;
    std::int32_t left = 100;
    std::int32_t top = 100;
    bool created = false;
    COLORREF backColor = kNoColor;
    std::wstring text;
    std::wstring focusText;
    bool backColorApplied = false;
    bool enabled = true;
    std::int32_t id = kNoId;
    std::string typeName;
    std::string toolTip;
    GUIElement* parent = nullptr;  // not owned
    WNDPROC oldWindowProcedure = nullptr;

    ElementHandler Load = nullptr;
    bool loadRaised = false;
    MouseHandler MouseUp = nullptr;
    MouseHandler MouseDown = nullptr;
    MouseHandler DoubleClick = nullptr;
    MouseHandler RightMouseUp = nullptr;
    MouseHandler RightMouseDown = nullptr;
    MouseHandler RightDoubleClick = nullptr;
    KeyHandler KeyUp = nullptr;
    KeyHandler KeyDown = nullptr;
    KeyPressHandler KeyPress = nullptr;
    ElementHandler Move = nullptr;
    ElementHandler Resize = nullptr;
    ElementHandler Paint = nullptr;
    ClosingHandler Closing = nullptr;
    ElementHandler Destroyed = nullptr;
    ElementHandler GotFocus = nullptr;
    ElementHandler LostFocus = nullptr;
    ElementHandler Activated = nullptr;
    ElementHandler Deactivated = nullptr;
    ElementHandler TextChanged = nullptr;
    MouseMoveHandler MouseMove = nullptr;
    ElementHandler MouseHover = nullptr;
    ElementHandler MouseLeave = nullptr;

    // The id of an element that has none yet; it never matches a lookup by id.
    static constexpr std::int32_t kNoId = -1;

    explicit GUIElement(HINSTANCE instance = nullptr);
    GUIElement(const GUIElement&) = delete;
    GUIElement& operator=(const GUIElement&) = delete;
    // Leaves the registry, so no later lookup can reach the deleted element.
    virtual ~GUIElement();

    virtual void SetSize(std::int32_t newWidth, std::int32_t newHeight);
    virtual void SetBackColor(COLORREF color);
    virtual void SetEnabled(bool enable);
    virtual void SetText(const std::wstring& newText);
    virtual void SetText(const std::string& newText);
    virtual void OnMouseUp(int x, int y);
    virtual void OnMouseDown(int x, int y);
    virtual void OnDoubleClick(int x, int y);
    virtual void OnRightMouseUp(int x, int y);
    virtual void OnRightMouseDown(int x, int y);
    virtual void OnRightDoubleClick(int x, int y);
    virtual void OnKeyUp(int key);
    virtual void OnKeyDown(int key);
    virtual bool OnKeyPress(wchar_t character);
    virtual void OnMouseMove(int x, int y);
    virtual void OnMouseHover();
    virtual void OnMouseLeave();
    virtual void Focus();
    virtual void OnMove();
    virtual void OnResize();
    virtual void OnPaint();
    virtual HBRUSH OnControlColor(HDC deviceContext);
    virtual bool OnClose();
    virtual void OnDestroy();
    virtual void OnGotFocus();
    virtual void OnLostFocus();
    virtual void OnActivate();
    virtual void OnDeactivate();
    virtual void OnCreate(HWND window);
    virtual void Refresh();
    virtual bool GetWaitCursor();
    virtual bool GetHandCursor();
    virtual void SetWaitCursor(bool on);
    virtual void SetHandCursor(bool on);
    virtual void OnShow();
    virtual void OnNotify(platform::NMHDR record);
    virtual void Create() = 0;

    void SetLocation(std::int32_t newLeft, std::int32_t newTop);
    platform::POINT GetLocation();
    std::wstring GetText();
    std::string GetTextA();  // GetText narrowed
    void Show();
    void Hide();
    std::string GetToolTip() const { return toolTip; }

  protected:
    // Makes the tool tip window for a non-empty toolTip; run by every Create.
    void CreateToolTip();
    // Moves the tool tip to the current client rectangle, or makes it if there is none.
    void RefreshToolTip();
    // Sends WM_SETFONT with the font's handle when a font is set; run by every Create.
    void ApplyFont();
    // Points the standard control's window at WindowProcedure, keeping its own procedure.
    void SubclassWindow();
};

// Marks an element that lives inside a parent element.
class Child : public GUIElement {
  public:
    explicit Child(GUIElement* parentElement, HINSTANCE instance = nullptr);

  protected:
    // Takes the next id and makes the native control as a child of the parent's window, at
    // the stored place, size and text (disabled when not enabled). Returns the window or
    // none; the platform's error code is read and dropped.
    HWND CreateControlWindow(platform::DWORD exStyle, const wchar_t* className,
                             platform::DWORD style);
    // The whole Create of a standard control, once: the window (CreateControlWindow), created
    // set (also when the window could not be made), `setUp` when given (the control's own
    // first settings), then AttachControl.
    void CreateControl(platform::DWORD exStyle, const wchar_t* className, platform::DWORD style,
                       void (*setUp)(Child& control) = nullptr);
    // The last steps of a standard control's Create: subclasses its window, then makes the
    // tool tip and applies the font.
    void AttachControl();
    // The parent's native window, or none (also when the parent has been deleted).
    HWND ParentWindow() const;
};

// Second base of the elements that raise a command (buttons and menu items).
class CommandElement {
  public:
    ElementHandler Command = nullptr;
};

// The element registry: every live element in construction order.
const std::vector<GUIElement*>& ElementRegistry();
// Whether the element is registered, that is constructed and not yet deleted.
bool IsLiveElement(const GUIElement* element);
// The first element whose handle is the window; failing that, the last registered element
// while its handle is still empty (the element whose window is being created); else none.
GUIElement* FindElementByHandle(HWND window);
// The first element with this id; elements without an id never match.
GUIElement* FindElementById(std::int32_t id);
// The first menu item (SubMenu) with this command id.
GUIElement* FindMenuItemById(std::int32_t id);

// Shared by controls, menu items, forms and panels: each takes the next value.
extern std::int32_t idCounter;
// The first form whose window was created; its destruction ends the message loop.
extern HWND mainWindow;

}  // namespace TekuUtility
