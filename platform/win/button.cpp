// The "Button" class: push buttons that send BN_CLICKED to their parent.
#include "platform/win/canvas.h"
#include "platform/win/internal.h"

namespace platform::win {
namespace {

struct ButtonState : ControlState {
    HFONT font = nullptr;
    bool pressed = false;
    bool tracking = false;
    bool spaceDown = false;
    HANDLE image = nullptr;
};

bool IsDefault(const Window& w) {
    return (w.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

void Click(HWND window) {
    NotifyParent(window, BN_CLICKED);
}

// A push button paints its face in the system colour whatever brush the parent answers;
// only the text colours the parent sets apply.
void Paint(HWND window, const Window& w, ButtonState& st, HDC dc, const RECT& r) {
    ControlColor(window, dc, WM_CTLCOLORBTN);
    FillSolid(dc, r, GetSysColor(COLOR_BTNFACE));
    bool focused = Sys().focus == window;
    RECT inner = r;
    if (IsDefault(w) || focused) {
        HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        FrameRect(dc, &r, black);
        inner = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    DrawEdge3D(dc, inner, st.pressed);
    int shift = st.pressed ? 1 : 0;
    if (Surface* pic = BitmapSurface(static_cast<HBITMAP>(st.image))) {
        BlendSurface(dc, (r.right - pic->width) / 2 + shift, (r.bottom - pic->height) / 2 + shift,
                     *pic);
    } else {
        HGDIOBJ old = SelectControlFont(dc, st.font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc,
                     IsEnabledChain(w) ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT));
        RECT text{r.left + 2 + shift, r.top + 2 + shift, r.right - 2 + shift, r.bottom - 2 + shift};
        DrawTextW(dc, w.text.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
    }
    if (focused) {
        // Dotted focus rectangle.
        RECT f{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4};
        for (int x = f.left; x < f.right; x += 2) {
            FillSolid(dc, RECT{x, f.top, x + 1, f.top + 1}, 0);
            FillSolid(dc, RECT{x, f.bottom - 1, x + 1, f.bottom}, 0);
        }
        for (int y = f.top; y < f.bottom; y += 2) {
            FillSolid(dc, RECT{f.left, y, f.left + 1, y + 1}, 0);
            FillSolid(dc, RECT{f.right - 1, y, f.right, y + 1}, 0);
        }
    }
}

bool Inside(HWND window, LPARAM lParam) {
    RECT r;
    GetClientRect(window, &r);
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Pressing with the left button, which clicks when released over the button; the button
// shows pressed only while the pointer is over it.
LRESULT HandleMouse(HWND window, ButtonState* st, UINT message, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetFocus(window);
            SetCapture(window);
            st->tracking = true;
            st->pressed = true;
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_MOUSEMOVE:
            if (st->tracking && st->pressed != Inside(window, lParam)) {
                st->pressed = !st->pressed;
                InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        case WM_LBUTTONUP: {
            if (!st->tracking) {
                return 0;
            }
            bool inside = Inside(window, lParam);
            st->tracking = false;
            st->pressed = false;
            if (GetCapture() == window) {
                ReleaseCapture();
            }
            InvalidateRect(window, nullptr, TRUE);
            if (inside) {
                Click(window);
            }
            return 0;
        }
        default:  // WM_CAPTURECHANGED
            if (st->tracking) {
                st->tracking = false;
                st->pressed = false;
                InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
    }
}

// Space presses the button and clicks on release; Enter clicks at once.
LRESULT HandleKey(HWND window, ButtonState* st, UINT message, WPARAM wParam) {
    if (message == WM_KEYDOWN) {
        if (wParam == VK_SPACE) {
            st->spaceDown = true;
            st->pressed = true;
            InvalidateRect(window, nullptr, TRUE);
        } else if (wParam == VK_RETURN) {
            Click(window);
        }
    } else if (wParam == VK_SPACE && st->spaceDown) {
        st->spaceDown = false;
        st->pressed = false;
        InvalidateRect(window, nullptr, TRUE);
        Click(window);
    }
    return 0;
}

// The BM_ messages: clicking, state, style and image.
LRESULT HandleButtonMessage(HWND window, Window* w, ButtonState* st, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    switch (message) {
        case BM_CLICK:
            if (IsEnabledChain(*w)) {
                Click(window);
            }
            return 0;
        case BM_GETSTATE:
            return (st->pressed ? BST_PUSHED : 0) | (Sys().focus == window ? BST_FOCUS : 0);
        case BM_SETSTATE:
            st->pressed = wParam != 0;
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case BM_SETSTYLE:
            w->style = (w->style & ~0xFFFFu) | static_cast<DWORD>(wParam & 0xFFFF);
            if (lParam != 0) {
                InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        default: {  // BM_SETIMAGE
            auto old = reinterpret_cast<LRESULT>(st->image);
            st->image = reinterpret_cast<HANDLE>(lParam);
            InvalidateRect(window, nullptr, TRUE);
            return old;
        }
    }
}

LRESULT Handle(HWND window, Window* w, ButtonState* st, UINT message, WPARAM wParam,
               LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_BUTTON | (IsDefault(*w) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        case WM_SETTEXT:
            return SetTextAndRepaint(window, wParam, lParam);
        case WM_ENABLE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_STYLECHANGED:
            if (message == WM_KILLFOCUS) {
                st->pressed = st->spaceDown = false;
            }
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            return HandleMouse(window, st, message, lParam);
        case WM_KEYDOWN:
        case WM_KEYUP:
            return HandleKey(window, st, message, wParam);
        case WM_CHAR:
            return 0;
        case BM_CLICK:
        case BM_GETSTATE:
        case BM_SETSTATE:
        case BM_SETSTYLE:
        case BM_SETIMAGE:
            return HandleButtonMessage(window, w, st, message, wParam, lParam);
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK_Button(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlProcedure<ButtonState>(window, message, wParam, lParam, &Paint, &Handle);
}

}  // namespace platform::win
