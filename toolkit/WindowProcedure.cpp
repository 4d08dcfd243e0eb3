#include "toolkit/WindowProcedure.h"

#include <cstdint>
#include <optional>

#include "platform/keyboard.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/GUIElement.h"
#include "toolkit/Menus.h"
#include "toolkit/PanelChildren.h"

namespace TekuUtility {

namespace pf = platform;

pf::HCURSOR waitCursorHandle = nullptr;
pf::HCURSOR handCursorHandle = nullptr;
Form* activeForm = nullptr;
PanelChildren* activePanel = nullptr;
PanelChildren* wheelPanel = nullptr;
bool mouseTracking = false;

namespace {

// The element whose handle is exactly this window (no creation fallback): the owner of a
// control window named by a message or by the tab order.
GUIElement* FindOwner(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    for (GUIElement* element : ElementRegistry()) {
        if (element->handle == window) {
            return element;
        }
    }
    return nullptr;
}

void HandleActivate(GUIElement* element, HWND window) {
    const bool foreground = pf::GetForegroundWindow() == window;
    if (auto* form = dynamic_cast<Form*>(element)) {
        wheelPanel = nullptr;
        if (!foreground) {
            form->OnDeactivate();
            return;
        }
        if (activeForm != nullptr) {
            activeForm->OnDeactivate();
        }
        if (activePanel != nullptr) {
            PanelChildren* panel = activePanel;
            activePanel = nullptr;
            panel->OnDeactivate();
        }
        if (!IsLiveElement(form)) {
            return;
        }
        form->OnActivate();
        if (!IsLiveElement(form)) {
            return;
        }
        activeForm = form;
        Form* dialog = form->ownedDialog;
        if (dialog != nullptr && dialog->created && form->handle != nullptr) {
            pf::SetWindowPos(dialog->handle, form->handle, 0, 0, 0, 0,
                             pf::SWP_NOSIZE | pf::SWP_NOMOVE);
        }
    } else if (auto* panel = dynamic_cast<PanelChildren*>(element)) {
        if (!foreground) {
            panel->OnDeactivate();
            return;
        }
        if (activePanel != nullptr) {
            activePanel->OnDeactivate();
        }
        if (!IsLiveElement(panel)) {
            return;
        }
        panel->OnActivate();
        if (IsLiveElement(panel)) {
            activePanel = panel;
        }
    }
}

void HandleCommand(pf::WPARAM wParam, pf::LPARAM lParam) {
    const int commandId = pf::LOWORD(wParam);
    const int code = pf::HIWORD(wParam);
    auto control = reinterpret_cast<HWND>(lParam);
    if (control == nullptr) {
        if (code != 0) {
            return;  // accelerators: nothing
        }
        auto* item = static_cast<SubMenu*>(FindMenuItemById(commandId));
        if (item == nullptr) {
            return;
        }
        if (item->checkable) {
            item->checked = !item->IsChecked();
            if (item->created) {
                item->ApplyCheck();
            }
        }
        if (item->Command != nullptr) {
            item->Command(item);
        }
        return;
    }
    GUIElement* owner = FindOwner(control);
    auto* command = dynamic_cast<CommandElement*>(owner);
    if (command != nullptr && command->Command != nullptr) {
        command->Command(owner);
    }
}

// Scrolling of a panel; returns false when the panel has no matching bar (default processing).
bool HandleScroll(PanelChildren* panel, pf::UINT message, pf::WPARAM wParam) {
    const bool horizontal = message == pf::WM_HSCROLL;
    if (horizontal ? !panel->horizontalScrollBar : !panel->verticalScrollBar) {
        return false;
    }
    if (message == pf::WM_VSCROLL) {
        wheelPanel = panel;
    }
    const int bar = horizontal ? pf::SB_HORZ : pf::SB_VERT;
    pf::SCROLLINFO info{};
    info.fMask = pf::SIF_ALL;
    pf::GetScrollInfo(panel->handle, bar, &info);
    const int oldPosition = info.nPos;
    const int page = static_cast<int>(info.nPage);
    int requested = oldPosition;
    if (message == pf::WM_MOUSEWHEEL) {
        const auto delta = static_cast<std::int16_t>(pf::HIWORD(wParam));
        requested = delta > 0 ? oldPosition - page : oldPosition + page;
    } else {
        switch (pf::LOWORD(wParam)) {
            case pf::SB_LINEUP:
                requested = oldPosition - 1;
                break;
            case pf::SB_LINEDOWN:
                requested = oldPosition + 1;
                break;
            case pf::SB_PAGEUP:
                requested = oldPosition - page;
                break;
            case pf::SB_PAGEDOWN:
                requested = oldPosition + page;
                break;
            case pf::SB_THUMBTRACK:
                requested = info.nTrackPos;
                break;
            case pf::SB_TOP:
                requested = horizontal ? oldPosition : info.nMin;
                break;
            case pf::SB_BOTTOM:
                requested = horizontal ? oldPosition : info.nMax;
                break;
            default:
                break;
        }
    }
    pf::SCROLLINFO position{};
    position.fMask = pf::SIF_POS;
    position.nPos = requested;
    pf::SetScrollInfo(panel->handle, bar, &position, pf::TRUE);
    pf::SCROLLINFO after{};
    after.fMask = pf::SIF_ALL;
    pf::GetScrollInfo(panel->handle, bar, &after);
    const int newPosition = after.nPos;
    if (newPosition != oldPosition) {
        const int shift = oldPosition - newPosition;
        pf::ScrollWindow(panel->handle, horizontal ? shift : 0, horizontal ? 0 : shift, nullptr,
                         nullptr);
        pf::UpdateWindow(panel->handle);
    }
    if (requested != oldPosition) {
        ScrollHandler handler = horizontal ? panel->HorizontalScroll : panel->VerticalScroll;
        if (handler != nullptr) {
            handler(panel, oldPosition - requested);
        }
    }
    return true;
}

// The messages whose whole routing is one event operation of the element, followed by the
// default processing.
struct EventRoute {
    pf::UINT message;
    void (GUIElement::*event)();
};
constexpr EventRoute kEventRoutes[] = {
    {pf::WM_MOVE, &GUIElement::OnMove},         {pf::WM_SIZE, &GUIElement::OnResize},
    {pf::WM_SETFOCUS, &GUIElement::OnGotFocus}, {pf::WM_KILLFOCUS, &GUIElement::OnLostFocus},
    {pf::WM_PAINT, &GUIElement::OnPaint},       {pf::WM_MOUSEHOVER, &GUIElement::OnMouseHover},
};

// Likewise for mouse buttons, whose event gets the position.
struct MouseRoute {
    pf::UINT message;
    void (GUIElement::*event)(int x, int y);
};
constexpr MouseRoute kMouseRoutes[] = {
    {pf::WM_LBUTTONUP, &GUIElement::OnMouseUp},
    {pf::WM_LBUTTONDBLCLK, &GUIElement::OnDoubleClick},
    {pf::WM_RBUTTONDOWN, &GUIElement::OnRightMouseDown},
    {pf::WM_RBUTTONUP, &GUIElement::OnRightMouseUp},
    {pf::WM_RBUTTONDBLCLK, &GUIElement::OnRightDoubleClick},
};

// Raises the element's event for a message of the two tables (nothing without an element);
// false for any other message.
bool RaiseEvent(GUIElement* element, pf::UINT message, int x, int y) {
    for (const EventRoute& route : kEventRoutes) {
        if (route.message == message) {
            if (element != nullptr) {
                (element->*route.event)();
            }
            return true;
        }
    }
    for (const MouseRoute& route : kMouseRoutes) {
        if (route.message == message) {
            if (element != nullptr) {
                (element->*route.event)(x, y);
            }
            return true;
        }
    }
    return false;
}

// One message as the procedure routes it. A handler returns the procedure's result when the
// message goes no further, or nothing for the default processing.
struct Routed {
    HWND window;
    pf::UINT message;
    pf::WPARAM wParam;
    pf::LPARAM lParam;
    GUIElement* element;  // may be none
};
using Result = std::optional<pf::LRESULT>;

Result RouteDestroy(const Routed& m) {
    if (m.element != nullptr) {
        m.element->OnDestroy();
    }
    if (m.window == mainWindow) {
        pf::PostQuitMessage(0);
    }
    return std::nullopt;
}

Result RouteClose(const Routed& m) {
    if (m.element != nullptr && !m.element->OnClose()) {
        return 1;  // refused: the window stays
    }
    return std::nullopt;
}

Result RouteShowWindow(const Routed& m) {
    m.element->OnShow();
    if (IsLiveElement(m.element)) {
        m.element->OnResize();
    }
    return std::nullopt;
}

Result RouteSetCursor(const Routed& m) {
    if (pf::LOWORD(static_cast<pf::WPARAM>(m.lParam)) != pf::HTCLIENT) {
        return std::nullopt;
    }
    if (m.element->GetHandCursor()) {
        pf::SetCursor(handCursorHandle);
        return 1;
    }
    if (m.element->GetWaitCursor()) {
        pf::SetCursor(waitCursorHandle);
        return 1;
    }
    return std::nullopt;
}

// Tab moves the focus to the next tab stop of the control's parent (Shift: the previous one);
// every key then reaches OnKeyDown.
Result RouteKeyDown(const Routed& m) {
    GUIElement* element = m.element;
    if (m.wParam == static_cast<pf::WPARAM>(pf::VK_TAB)) {
        HWND dialog = m.window;
        if (dynamic_cast<Child*>(element) != nullptr && IsLiveElement(element->parent) &&
            element->parent->handle != nullptr) {
            dialog = element->parent->handle;
        }
        const bool previous = (pf::GetKeyState(pf::VK_SHIFT) & 0x8000) != 0;
        HWND next = pf::GetNextDlgTabItem(dialog, m.window, previous ? pf::TRUE : pf::FALSE);
        if (GUIElement* target = FindOwner(next)) {
            target->Focus();
        }
        if (!IsLiveElement(element)) {
            return std::nullopt;
        }
    }
    element->OnKeyDown(static_cast<int>(m.wParam));
    return std::nullopt;
}

Result RouteChar(const Routed& m) {
    const auto character = static_cast<wchar_t>(m.wParam);
    const bool isChild = dynamic_cast<Child*>(m.element) != nullptr;
    GUIElement* parent = m.element->parent;
    const bool passOn = m.element->OnKeyPress(character);
    // The parent previews the character after the child; only the child decides.
    if (isChild && IsLiveElement(parent) && parent->keyPreview) {
        parent->OnKeyPress(character);
    }
    return passOn ? Result{} : Result{1};
}

Result RouteTimer(const Routed& m) {
    auto* timer = dynamic_cast<Timer*>(FindElementById(static_cast<std::int32_t>(m.wParam)));
    if (timer != nullptr && timer->Tick != nullptr) {
        timer->Tick(timer);
    }
    return std::nullopt;
}

Result RouteScroll(const Routed& m) {
    auto* panel = dynamic_cast<PanelChildren*>(m.element);
    if (panel == nullptr && m.message == pf::WM_MOUSEWHEEL) {
        panel = wheelPanel;
    }
    if (panel != nullptr && HandleScroll(panel, m.message, m.wParam)) {
        return 0;
    }
    return std::nullopt;
}

Result RouteControlColor(const Routed& m) {
    HBRUSH brush = m.element->OnControlColor(reinterpret_cast<HDC>(m.wParam));
    if (brush != nullptr) {
        return reinterpret_cast<pf::LRESULT>(brush);
    }
    return std::nullopt;
}

Result RouteMouseMove(const Routed& m) {
    m.element->OnMouseMove(pf::GET_X_LPARAM(m.lParam), pf::GET_Y_LPARAM(m.lParam));
    if (!mouseTracking) {
        pf::TRACKMOUSEEVENT track{};
        track.dwFlags = pf::TME_HOVER | pf::TME_LEAVE;
        track.hwndTrack = m.window;
        track.dwHoverTime = pf::HOVER_DEFAULT;
        mouseTracking = pf::TrackMouseEvent(&track) != 0;
    }
    return std::nullopt;
}

Result RouteLeftButtonDown(const Routed& m) {
    m.element->OnMouseDown(pf::GET_X_LPARAM(m.lParam), pf::GET_Y_LPARAM(m.lParam));
    wheelPanel = IsLiveElement(m.element) ? dynamic_cast<PanelChildren*>(m.element) : nullptr;
    return std::nullopt;
}

Result RouteMouseLeave(const Routed& m) {
    mouseTracking = false;
    if (m.element != nullptr) {
        m.element->OnMouseLeave();
    }
    return std::nullopt;
}

// The program gaining or losing the keyboard, and the desktop minimising or restoring a
// form: the form's handlers hear of each change once.
Result RouteApplicationActivation(const Routed& m) {
    auto* form = dynamic_cast<Form*>(m.element);
    if (form != nullptr && form->ApplicationActivated != nullptr) {
        form->ApplicationActivated(form, m.wParam != pf::FALSE);
    }
    return std::nullopt;
}

void ReportMinimized(GUIElement* element, pf::WPARAM kind) {
    auto* form = IsLiveElement(element) ? dynamic_cast<Form*>(element) : nullptr;
    if (form == nullptr || (kind != pf::SIZE_MINIMIZED && kind != pf::SIZE_RESTORED)) {
        return;
    }
    const bool minimized = kind == pf::SIZE_MINIMIZED;
    if (form->minimized != minimized) {
        form->minimized = minimized;
        if (form->Minimized != nullptr) {
            form->Minimized(form, minimized);
        }
    }
}

using RouteFunction = Result (*)(const Routed&);
struct Route {
    pf::UINT message;
    RouteFunction route;
    bool needsElement;  // without an element the message gets the default processing only
};
constexpr Route kRoutes[] = {
    {pf::WM_DESTROY, &RouteDestroy, false},
    {pf::WM_CLOSE, &RouteClose, false},
    {pf::WM_SHOWWINDOW, &RouteShowWindow, true},
    {pf::WM_SETCURSOR, &RouteSetCursor, true},
    {pf::WM_KEYDOWN, &RouteKeyDown, true},
    {pf::WM_CHAR, &RouteChar, true},
    {pf::WM_TIMER, &RouteTimer, false},
    {pf::WM_HSCROLL, &RouteScroll, false},
    {pf::WM_VSCROLL, &RouteScroll, false},
    {pf::WM_MOUSEWHEEL, &RouteScroll, false},
    {pf::WM_CTLCOLOREDIT, &RouteControlColor, true},
    {pf::WM_CTLCOLORBTN, &RouteControlColor, true},
    {pf::WM_CTLCOLORSTATIC, &RouteControlColor, true},
    {pf::WM_MOUSEMOVE, &RouteMouseMove, true},
    {pf::WM_LBUTTONDOWN, &RouteLeftButtonDown, true},
    {pf::WM_MOUSELEAVE, &RouteMouseLeave, false},
    {pf::WM_ACTIVATEAPP, &RouteApplicationActivation, true},
};

// The routing of one message that needs more than an event operation.
Result RouteMessage(const Routed& m) {
    switch (m.message) {
        case pf::WM_CREATE:
            if (auto* form = dynamic_cast<Form*>(m.element)) {
                form->OnCreate(m.window);
            }
            return std::nullopt;
        case pf::WM_ACTIVATE:
            if (m.element != nullptr) {
                HandleActivate(m.element, m.window);
            }
            return std::nullopt;
        case pf::WM_COMMAND:
            HandleCommand(m.wParam, m.lParam);
            return std::nullopt;
        default:
            break;
    }
    for (const auto& route : kRoutes) {
        if (route.message == m.message) {
            if (route.needsElement && m.element == nullptr) {
                return std::nullopt;
            }
            return route.route(m);
        }
    }
    return std::nullopt;
}

}  // namespace

pf::LRESULT WindowProcedure(HWND window, pf::UINT message, pf::WPARAM wParam, pf::LPARAM lParam) {
    GUIElement* element = FindElementByHandle(window);
    // Taken now: a handler may destroy the element, and the window still needs its own
    // default processing afterwards.
    const WNDPROC oldProcedure = element != nullptr ? element->oldWindowProcedure : nullptr;

    if (waitCursorHandle == nullptr) {
        waitCursorHandle = pf::LoadCursorW(nullptr, pf::IDC_WAIT);
    }
    if (handCursorHandle == nullptr) {
        handCursorHandle = pf::LoadCursorW(nullptr, pf::IDC_HAND);
    }

    if (RaiseEvent(element, message, pf::GET_X_LPARAM(lParam), pf::GET_Y_LPARAM(lParam))) {
        if (message == pf::WM_SIZE) {
            ReportMinimized(element, wParam);
        }
    } else if (Result result = RouteMessage(Routed{window, message, wParam, lParam, element})) {
        return *result;
    }
    if (oldProcedure != nullptr) {
        return pf::CallWindowProcW(oldProcedure, window, message, wParam, lParam);
    }
    return pf::DefWindowProcW(window, message, wParam, lParam);
}

void RunMessageLoop(Form* form) {
    pf::MSG msg{};
    while (pf::GetMessageW(&msg, nullptr, 0, 0) != 0) {
        if (form != nullptr && IsLiveElement(form) && form->dialogMode &&
            pf::IsDialogMessageW(form->handle, &msg)) {
            continue;
        }
        pf::TranslateMessage(&msg);
        pf::DispatchMessageW(&msg);
    }
}

}  // namespace TekuUtility
