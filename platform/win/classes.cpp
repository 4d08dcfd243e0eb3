// The system's own window classes and what the standard controls share.
#include "platform/win/internal.h"

namespace platform::win {

void RegisterSystemClasses() {
    System& s = Sys();
    if (s.systemClassesRegistered) {
        return;
    }
    s.systemClassesRegistered = true;
    struct Entry {
        const wchar_t* name;
        WNDPROC proc;
        UINT style;
        LPCWSTR cursor;
    };
    const Entry entries[] = {
        {L"Button", CALLBACK_Button, 0, IDC_ARROW},
        {L"Static", CALLBACK_Static, 0, IDC_ARROW},
        {L"Edit", CALLBACK_Edit, CS_DBLCLKS, IDC_IBEAM},
        {L"tooltips_class32", CALLBACK_ToolTip, 0, IDC_ARROW},
        {L"#32768", CALLBACK_MenuPopup, 0, IDC_ARROW},
        {L"#32770", CALLBACK_MessageBox, 0, IDC_ARROW},
    };
    for (const Entry& e : entries) {
        WindowClass cls;
        cls.name = e.name;
        cls.wc.style = e.style;
        cls.wc.lpfnWndProc = e.proc;
        cls.wc.hCursor = LoadCursorW(nullptr, e.cursor);
        cls.system = true;
        std::wstring key;
        for (const wchar_t* p = e.name; *p != 0; ++p) {
            key.push_back(*p >= L'A' && *p <= L'Z' ? static_cast<wchar_t>(*p - L'A' + L'a') : *p);
        }
        s.classes.emplace(key, std::move(cls));
    }
}

bool HandleFontMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HFONT& font,
                       LRESULT* result) {
    if (message == WM_SETFONT) {
        font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(static_cast<WPARAM>(lParam)) != 0) {
            InvalidateRect(window, nullptr, TRUE);
        }
        *result = 0;
        return true;
    }
    if (message == WM_GETFONT) {
        *result = reinterpret_cast<LRESULT>(font);
        return true;
    }
    return false;
}

LRESULT SetTextAndRepaint(HWND window, WPARAM wParam, LPARAM lParam) {
    LRESULT r = DefWindowProcW(window, WM_SETTEXT, wParam, lParam);
    InvalidateRect(window, nullptr, TRUE);
    return r;
}

HGDIOBJ SelectControlFont(HDC dc, HFONT font) {
    return SelectObject(dc, font != nullptr ? static_cast<HGDIOBJ>(font) : UiFont());
}

HBRUSH ControlColor(HWND control, HDC dc, UINT message) {
    HWND parent = GetParent(control);
    Window* w = Find(control);
    LRESULT r = 0;
    if (w != nullptr && (w->style & WS_CHILD) != 0 && parent != nullptr) {
        r = Send(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    }
    if (r == 0) {
        r = DefWindowProcW(control, message, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(control));
    }
    return reinterpret_cast<HBRUSH>(r);
}

void FillControlBackground(HWND control, HDC dc, const RECT& client, UINT message, int fallback) {
    HBRUSH brush = ControlColor(control, dc, message);
    if (FillRect(dc, &client, brush) == 0) {
        FillSolid(dc, client, GetSysColor(fallback));
    }
}

void NotifyParent(HWND control, WORD code) {
    Window* w = Find(control);
    if (w == nullptr || (w->style & WS_CHILD) == 0) {
        return;
    }
    Send(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<int>(w->id), code),
         reinterpret_cast<LPARAM>(control));
}

std::wstring& Clipboard() {
    static std::wstring clipboard;
    return clipboard;
}

}  // namespace platform::win
