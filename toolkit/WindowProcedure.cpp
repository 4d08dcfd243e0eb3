#include "toolkit/WindowProcedure.h"

#include <cstdint>

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

}  // namespace

pf::LRESULT WindowProcedure(HWND window, pf::UINT message, pf::WPARAM wParam, pf::LPARAM lParam) {
    GUIElement* element = FindElementByHandle(window);
    // Taken now: a handler may delete the element, and the window still needs its own
    // default processing afterwards.
    const WNDPROC oldProcedure = element != nullptr ? element->oldWindowProcedure : nullptr;
    auto defaultProcessing = [&]() -> pf::LRESULT {
        if (oldProcedure != nullptr) {
            return pf::CallWindowProcW(oldProcedure, window, message, wParam, lParam);
        }
        return pf::DefWindowProcW(window, message, wParam, lParam);
    };
    auto alive = [&]() { return IsLiveElement(element); };

    if (waitCursorHandle == nullptr) {
        waitCursorHandle = pf::LoadCursorW(nullptr, pf::IDC_WAIT);
    }
    if (handCursorHandle == nullptr) {
        handCursorHandle = pf::LoadCursorW(nullptr, pf::IDC_HAND);
    }

    const int x = pf::GET_X_LPARAM(lParam);
    const int y = pf::GET_Y_LPARAM(lParam);

    if (RaiseEvent(element, message, x, y)) {
        return defaultProcessing();
    }
    switch (message) {
        case pf::WM_CREATE:
            if (auto* form = dynamic_cast<Form*>(element)) {
                form->OnCreate(window);
            }
            break;
        case pf::WM_DESTROY:
            if (element != nullptr) {
                element->OnDestroy();
            }
            if (window == mainWindow) {
                pf::PostQuitMessage(0);
            }
            break;
        case pf::WM_ACTIVATE:
            if (element != nullptr) {
                HandleActivate(element, window);
            }
            break;
        case pf::WM_CLOSE:
            if (element != nullptr && !element->OnClose()) {
                return 1;  // refused: the window stays
            }
            break;
        case pf::WM_SHOWWINDOW:
            if (element != nullptr) {
                element->OnShow();
                if (alive()) {
                    element->OnResize();
                }
            }
            break;
        case pf::WM_SETCURSOR:
            if (element != nullptr && pf::LOWORD(static_cast<pf::WPARAM>(lParam)) == pf::HTCLIENT) {
                if (element->GetHandCursor()) {
                    pf::SetCursor(handCursorHandle);
                    return 1;
                }
                if (element->GetWaitCursor()) {
                    pf::SetCursor(waitCursorHandle);
                    return 1;
                }
            }
            break;
        case pf::WM_KEYDOWN:
            if (element == nullptr) {
                break;
            }
            if (wParam == static_cast<pf::WPARAM>(pf::VK_TAB)) {
                HWND dialog = window;
                if (dynamic_cast<Child*>(element) != nullptr && IsLiveElement(element->parent) &&
                    element->parent->handle != nullptr) {
                    dialog = element->parent->handle;
                }
                const bool previous = (pf::GetKeyState(pf::VK_SHIFT) & 0x8000) != 0;
                HWND next = pf::GetNextDlgTabItem(dialog, window, previous ? pf::TRUE : pf::FALSE);
                if (GUIElement* target = FindOwner(next)) {
                    target->Focus();
                }
                if (!alive()) {
                    break;
                }
            }
            element->OnKeyDown(static_cast<int>(wParam));
            break;
        case pf::WM_KEYUP:
            if (element != nullptr) {
                element->OnKeyUp(static_cast<int>(wParam));
            }
            break;
        case pf::WM_CHAR: {
            if (element == nullptr) {
                break;
            }
            const auto character = static_cast<wchar_t>(wParam);
            const bool isChild = dynamic_cast<Child*>(element) != nullptr;
            GUIElement* parent = element->parent;
            const bool passOn = element->OnKeyPress(character);
            // The parent previews the character after the child; only the child decides.
            if (isChild && IsLiveElement(parent) && parent->keyPreview) {
                parent->OnKeyPress(character);
            }
            if (!passOn) {
                return 1;
            }
            break;
        }
        case pf::WM_COMMAND:
            HandleCommand(wParam, lParam);
            break;
        case pf::WM_TIMER: {
            auto* timer = dynamic_cast<Timer*>(FindElementById(static_cast<std::int32_t>(wParam)));
            if (timer != nullptr && timer->Tick != nullptr) {
                timer->Tick(timer);
            }
            break;
        }
        case pf::WM_HSCROLL:
        case pf::WM_VSCROLL:
            if (auto* panel = dynamic_cast<PanelChildren*>(element)) {
                if (HandleScroll(panel, message, wParam)) {
                    return 0;
                }
            }
            break;
        case pf::WM_MOUSEWHEEL: {
            auto* panel = dynamic_cast<PanelChildren*>(element);
            if (panel == nullptr) {
                panel = wheelPanel;
            }
            if (panel != nullptr && HandleScroll(panel, message, wParam)) {
                return 0;
            }
            break;
        }
        case pf::WM_CTLCOLOREDIT:
        case pf::WM_CTLCOLORBTN:
        case pf::WM_CTLCOLORSTATIC:
            if (element != nullptr) {
                HBRUSH brush = element->OnControlColor(reinterpret_cast<HDC>(wParam));
                if (brush != nullptr) {
                    return reinterpret_cast<pf::LRESULT>(brush);
                }
            }
            break;
        case pf::WM_MOUSEMOVE:
            if (element != nullptr) {
                element->OnMouseMove(x, y);
                if (!mouseTracking) {
                    pf::TRACKMOUSEEVENT track{};
                    track.dwFlags = pf::TME_HOVER | pf::TME_LEAVE;
                    track.hwndTrack = window;
                    track.dwHoverTime = pf::HOVER_DEFAULT;
                    mouseTracking = pf::TrackMouseEvent(&track) != 0;
                }
            }
            break;
        case pf::WM_LBUTTONDOWN:
            if (element != nullptr) {
                element->OnMouseDown(x, y);
                wheelPanel = alive() ? dynamic_cast<PanelChildren*>(element) : nullptr;
            }
            break;
        case pf::WM_MOUSELEAVE:
            mouseTracking = false;
            if (element != nullptr) {
                element->OnMouseLeave();
            }
            break;
        default:
            break;
    }
    return defaultProcessing();
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
