// The "Static" class: text, bitmaps (SS_BITMAP with STM_SETIMAGE) and icons.
#include "platform/win/canvas.h"
#include "platform/win/internal.h"

namespace platform::win {
namespace {

struct StaticState : ControlState {
    HFONT font = nullptr;
    HANDLE image = nullptr;
    bool pressed = false;
};

void Paint(HWND window, const Window& w, StaticState& st, HDC dc, const RECT& r) {
    FillControlBackground(window, dc, r, WM_CTLCOLORSTATIC, COLOR_BTNFACE);
    DWORD type = w.style & SS_TYPEMASK;
    if (type == SS_BITMAP || type == SS_ICON) {
        Surface* pic = type == SS_BITMAP ? BitmapSurface(static_cast<HBITMAP>(st.image))
                                         : IconSurface(static_cast<HICON>(st.image));
        if (pic != nullptr) {
            int x = 0;
            int y = 0;
            if ((w.style & SS_CENTERIMAGE) != 0) {
                x = (r.right - pic->width) / 2;
                y = (r.bottom - pic->height) / 2;
            }
            BlendSurface(dc, x, y, *pic);
        }
    } else {
        HGDIOBJ old = SelectControlFont(dc, st.font);
        SetBkMode(dc, TRANSPARENT);
        if (!IsEnabledChain(w)) {
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        }
        UINT format = DT_WORDBREAK | DT_EXPANDTABS;
        if (type == SS_CENTER) {
            format |= DT_CENTER;
        }
        if (type == SS_RIGHT) {
            format |= DT_RIGHT;
        }
        if ((w.style & SS_CENTERIMAGE) != 0) {
            format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
        }
        RECT box = r;
        DrawTextW(dc, w.text.c_str(), -1, &box, format);
        SelectObject(dc, old);
    }
}

LRESULT Handle(HWND window, Window* w, StaticState* st, UINT message, WPARAM wParam,
               LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_SETTEXT:
            return SetTextAndRepaint(window, wParam, lParam);
        case WM_ENABLE:
        case WM_STYLECHANGED:
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case STM_SETIMAGE:
        case STM_SETICON: {
            auto old = reinterpret_cast<LRESULT>(st->image);
            st->image = message == STM_SETICON ? reinterpret_cast<HANDLE>(wParam)
                                               : reinterpret_cast<HANDLE>(lParam);
            // A bitmap static takes the size of its picture, as the platform's does.
            Surface* pic = (w->style & SS_TYPEMASK) == SS_BITMAP
                               ? BitmapSurface(static_cast<HBITMAP>(st->image))
                               : nullptr;
            if (pic != nullptr && (w->style & SS_CENTERIMAGE) == 0) {
                RECT ins = NonClientInsets(*w);
                SetWindowPos(window, nullptr, 0, 0, pic->width + ins.left + ins.right,
                             pic->height + ins.top + ins.bottom,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            InvalidateRect(window, nullptr, TRUE);
            return old;
        }
        case STM_GETIMAGE:
            return reinterpret_cast<LRESULT>(st->image);
        case WM_LBUTTONDOWN:
            st->pressed = true;
            return 0;
        case WM_LBUTTONUP:
            if (st->pressed && (w->style & SS_NOTIFY) != 0) {
                NotifyParent(window, STN_CLICKED);
            }
            st->pressed = false;
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK_Static(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlProcedure<StaticState>(window, message, wParam, lParam, &Paint, &Handle);
}

}  // namespace platform::win
