// The "Edit" class: single-line boxes (limit, case conversion, digits only, password,
// narrow characters only, caret, selection, word moves, one level of undo, the process
// clipboard) and multi-line boxes with line scrolling. Drawing is in edit_view.cpp.
#include <algorithm>
#include <cwctype>

#include "platform/win/edit_internal.h"

namespace platform::win {
namespace {

constexpr int kMultiLineLimit = 0x7FFFFFFE;

// Case conversion that knows the Latin-1 letters whatever the C library's locale.
wchar_t Upper(wchar_t c) {
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return static_cast<wchar_t>(c - 0x20);
    }
    if (c == 0xFF) {
        return static_cast<wchar_t>(0x178);
    }
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

wchar_t Lower(wchar_t c) {
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<wchar_t>(c + 0x20);
    }
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

wchar_t Converted(const Window& w, wchar_t c) {
    if ((w.style & ES_UPPERCASE) != 0) {
        return Upper(c);
    }
    if ((w.style & ES_LOWERCASE) != 0) {
        return Lower(c);
    }
    return c;
}

// Whether the box may hold c: digits only with ES_NUMBER; with ES_OEMCONVERT only what a
// narrow string keeps, one byte per character (printable Latin-1), so that what the box
// shows is what the program stores.
bool Accepts(const Window& w, wchar_t c) {
    if ((w.style & ES_NUMBER) != 0 && (c < L'0' || c > L'9')) {
        return false;
    }
    if ((w.style & ES_OEMCONVERT) != 0) {
        return (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF);
    }
    return true;
}

bool ReadOnly(const Window& w) {
    return (w.style & ES_READONLY) != 0;
}

void Changed(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    NotifyParent(window, EN_UPDATE);
    NotifyParent(window, EN_CHANGE);
}

// Replaces the selection; `typed` text that does not fit is refused whole, other text is
// cut to fit. Returns whether anything changed.
bool Replace(HWND window, Window& w, EditState& st, std::wstring text, bool typed) {
    ClampSelection(w, st);
    int lo = std::min(st.anchor, st.caret);
    int hi = std::max(st.anchor, st.caret);
    int room = st.limit - (static_cast<int>(w.text.size()) - (hi - lo));
    if (static_cast<int>(text.size()) > room) {
        if (typed || room <= 0) {
            NotifyParent(window, EN_MAXTEXT);
            MessageBeep(0);
            if (typed || hi == lo) {
                return false;
            }
            text.clear();
        } else {
            text.resize(static_cast<std::size_t>(room));
        }
    }
    if (text.empty() && lo == hi) {
        return false;
    }
    if (!(typed && st.typing && lo == hi)) {
        st.undoText = w.text;
        st.undoCaret = st.caret;
        st.canUndo = true;
    }
    st.typing = typed;
    w.text.replace(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi - lo), text);
    st.caret = st.anchor = lo + static_cast<int>(text.size());
    Changed(window);
    return true;
}

// Swaps the text with the one before the last edit, so a second undo redoes it.
void Undo(HWND window, Window& w, EditState& st) {
    if (!st.canUndo || ReadOnly(w)) {
        return;
    }
    std::swap(w.text, st.undoText);
    int caret = st.undoCaret;
    st.undoCaret = st.caret;
    st.caret = st.anchor = std::clamp(caret, 0, static_cast<int>(w.text.size()));
    st.typing = false;
    Changed(window);
}

std::wstring Selected(const Window& w, EditState& st) {
    ClampSelection(w, st);
    int lo = std::min(st.anchor, st.caret);
    int hi = std::max(st.anchor, st.caret);
    return w.text.substr(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi - lo));
}

bool IsWordChar(const std::wstring& t, int i) {
    return i >= 0 && i < static_cast<int>(t.size()) &&
           !std::iswspace(static_cast<wint_t>(t[static_cast<std::size_t>(i)]));
}

// Word moves as the system's edit boxes make them: left to the start of the word before the
// caret, right to the start of the next word.
int WordLeft(const std::wstring& t, int from) {
    int i = from;
    while (i > 0 && !IsWordChar(t, i - 1)) {
        --i;
    }
    while (i > 0 && IsWordChar(t, i - 1)) {
        --i;
    }
    return i;
}

int WordRight(const std::wstring& t, int from) {
    int n = static_cast<int>(t.size());
    int i = from;
    while (i < n && IsWordChar(t, i)) {
        ++i;
    }
    while (i < n && !IsWordChar(t, i)) {
        ++i;
    }
    return i;
}

void EnsureCaretVisible(HWND window, const Window& w, EditState& st) {
    if (!Multi(w)) {
        return;
    }
    auto lines = Lines(window, w, st);
    int line = LineOf(lines, st.caret);
    int visible = VisibleLines(window, st);
    if (line < st.firstLine) {
        st.firstLine = line;
    }
    if (line >= st.firstLine + visible) {
        st.firstLine = line - visible + 1;
    }
    UpdateScrollBar(window, w, st);
}

void MoveCaret(HWND window, Window& w, EditState& st, int to, bool extend) {
    st.caret = std::clamp(to, 0, static_cast<int>(w.text.size()));
    if (!extend) {
        st.anchor = st.caret;
    }
    st.typing = false;
    EnsureCaretVisible(window, w, st);
    InvalidateRect(window, nullptr, TRUE);
}

void Scroll(HWND window, Window& w, EditState& st, int line) {
    auto lines = Lines(window, w, st);
    int visible = VisibleLines(window, st);
    int maxFirst = std::max(0, static_cast<int>(lines.size()) - visible);
    st.firstLine = std::clamp(line, 0, maxFirst);
    UpdateScrollBar(window, w, st);
    InvalidateRect(window, nullptr, TRUE);
}

// Deletes the selection, or from the caret to `to` when nothing is selected.
void DeleteTo(HWND window, Window& w, EditState& st, int to) {
    if (ReadOnly(w)) {
        MessageBeep(0);
        return;
    }
    ClampSelection(w, st);
    if (st.anchor == st.caret) {
        if (to == st.caret) {
            return;
        }
        st.anchor = std::clamp(to, 0, static_cast<int>(w.text.size()));
    }
    Replace(window, w, st, L"", false);
    EnsureCaretVisible(window, w, st);
}

int LineEnd(HWND window, const Window& w, const EditState& st, bool home) {
    if (!Multi(w)) {
        return home ? 0 : static_cast<int>(w.text.size());
    }
    auto lines = Lines(window, w, st);
    const LineSpan& l = lines[static_cast<std::size_t>(LineOf(lines, st.caret))];
    return home ? l.start : l.start + l.length;
}

void MoveByLines(HWND window, Window& w, EditState& st, int vk, bool shift) {
    if (!Multi(w)) {
        return;
    }
    auto lines = Lines(window, w, st);
    int line = LineOf(lines, st.caret);
    int column = st.caret - lines[static_cast<std::size_t>(line)].start;
    int step = (vk == VK_UP || vk == VK_DOWN) ? 1 : VisibleLines(window, st);
    int target = line + ((vk == VK_DOWN || vk == VK_NEXT) ? step : -step);
    target = std::clamp(target, 0, static_cast<int>(lines.size()) - 1);
    const LineSpan& l = lines[static_cast<std::size_t>(target)];
    MoveCaret(window, w, st, l.start + std::min(column, l.length), shift);
}

// Keys that move the caret or delete; false for keys the box leaves to default processing.
bool OnKeyDown(HWND window, Window& w, EditState& st, int vk) {
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    switch (vk) {
        case VK_LEFT:
            MoveCaret(window, w, st, ctrl ? WordLeft(w.text, st.caret) : st.caret - 1, shift);
            return true;
        case VK_RIGHT:
            MoveCaret(window, w, st, ctrl ? WordRight(w.text, st.caret) : st.caret + 1, shift);
            return true;
        case VK_HOME:
        case VK_END:
            MoveCaret(window, w, st, LineEnd(window, w, st, vk == VK_HOME), shift);
            return true;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
            MoveByLines(window, w, st, vk, shift);
            return true;
        case VK_DELETE:
            if (!ReadOnly(w)) {
                DeleteTo(window, w, st, ctrl ? WordRight(w.text, st.caret) : st.caret + 1);
            }
            return true;
        case VK_BACK:
            // Ctrl+Backspace makes no character here: the key itself deletes the word.
            if (!ctrl) {
                return false;
            }
            DeleteTo(window, w, st, WordLeft(w.text, st.caret));
            return true;
        default:
            return false;
    }
}

// Control characters: the clipboard keys, select all, undo, backspace and return.
void OnControlChar(HWND window, Window& w, EditState& st, wchar_t c) {
    switch (c) {
        case 1:  // Ctrl+A
            st.anchor = 0;
            st.caret = static_cast<int>(w.text.size());
            InvalidateRect(window, nullptr, TRUE);
            return;
        case 3:
            Send(window, WM_COPY, 0, 0);
            return;
        case 22:
            Send(window, WM_PASTE, 0, 0);
            return;
        case 24:
            Send(window, WM_CUT, 0, 0);
            return;
        case 26:
            Send(window, WM_UNDO, 0, 0);
            return;
        case L'\b':
            DeleteTo(window, w, st, st.caret - 1);
            return;
        case 0x7F:  // Ctrl+Backspace
            DeleteTo(window, w, st, WordLeft(w.text, st.caret));
            return;
        case L'\r':
            if (Multi(w) && (w.style & ES_WANTRETURN) != 0 && !ReadOnly(w)) {
                Replace(window, w, st, L"\r\n", true);
                EnsureCaretVisible(window, w, st);
            }
            return;
        default:
            return;
    }
}

void OnChar(HWND window, Window& w, EditState& st, wchar_t c) {
    if (c < 0x20 || c == 0x7F) {
        OnControlChar(window, w, st, c);
        return;
    }
    c = Converted(w, c);
    if (ReadOnly(w) || !Accepts(w, c)) {
        MessageBeep(0);
        return;
    }
    Replace(window, w, st, std::wstring(1, c), true);
    EnsureCaretVisible(window, w, st);
}

// Selects the word under a client point.
void SelectWordAt(HWND window, const Window& w, EditState& st, LPARAM lParam) {
    int at = IndexAt(window, w, st, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    auto word = [&](int i) {
        return i >= 0 && i < static_cast<int>(w.text.size()) &&
               std::iswalnum(static_cast<wint_t>(w.text[static_cast<std::size_t>(i)]));
    };
    int a = at;
    int b = at;
    while (word(a - 1)) {
        --a;
    }
    while (word(b)) {
        ++b;
    }
    st.anchor = a;
    st.caret = b;
    InvalidateRect(window, nullptr, TRUE);
}

LRESULT OnMouse(HWND window, Window* w, EditState& st, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN: {
            SetFocus(window);
            w = Find(window);
            if (w == nullptr) {
                return 0;
            }
            int at = IndexAt(window, *w, st, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            st.caret = at;
            if ((wParam & MK_SHIFT) == 0) {
                st.anchor = at;
            }
            st.dragging = true;
            st.typing = false;
            SetCapture(window);
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (st.dragging) {
                st.caret = IndexAt(window, *w, st, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        case WM_LBUTTONUP:
            if (st.dragging) {
                st.dragging = false;
                if (GetCapture() == window) {
                    ReleaseCapture();
                }
            }
            return 0;
        default:  // WM_LBUTTONDBLCLK
            SelectWordAt(window, *w, st, lParam);
            return 0;
    }
}

LRESULT OnScroll(HWND window, Window& w, EditState& st, UINT message, WPARAM wParam,
                 LPARAM lParam) {
    if (message == WM_MOUSEWHEEL) {
        if (!Multi(w)) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        auto delta = static_cast<std::int16_t>(HIWORD(wParam));
        Scroll(window, w, st, st.firstLine - 3 * delta / WHEEL_DELTA);
        return 0;
    }
    if (!Multi(w)) {
        return 0;
    }
    int visible = VisibleLines(window, st);
    int line = st.firstLine;
    switch (LOWORD(wParam)) {
        case SB_LINEUP:
            --line;
            break;
        case SB_LINEDOWN:
            ++line;
            break;
        case SB_PAGEUP:
            line -= visible;
            break;
        case SB_PAGEDOWN:
            line += visible;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            line = static_cast<std::int16_t>(HIWORD(wParam));
            break;
        case SB_TOP:
            line = 0;
            break;
        case SB_BOTTOM:
            line = 1 << 20;
            break;
        default:
            return 0;
    }
    Scroll(window, w, st, line);
    return 0;
}

// Pasted text: a single line takes the clipboard up to its first line break; text with a
// character the box refuses is refused whole.
void Paste(HWND window, Window& w, EditState& st) {
    std::wstring text = Clipboard();
    if (!Multi(w)) {
        auto cut = text.find_first_of(L"\r\n");
        if (cut != std::wstring::npos) {
            text.resize(cut);
        }
    }
    for (auto& c : text) {
        c = Converted(w, c);
    }
    bool refused = std::any_of(text.begin(), text.end(), [&](wchar_t c) {
        return c != L'\r' && c != L'\n' && !Accepts(w, c);
    });
    if (refused) {
        MessageBeep(0);
        return;
    }
    Replace(window, w, st, text, false);
    EnsureCaretVisible(window, w, st);
}

LRESULT OnClipboard(HWND window, Window* w, EditState& st, UINT message) {
    if (message == WM_COPY) {
        if (st.password == 0 || Multi(*w)) {
            std::wstring sel = Selected(*w, st);
            if (!sel.empty()) {
                Clipboard() = sel;
            }
        }
        return 0;
    }
    if (ReadOnly(*w)) {
        return 0;
    }
    switch (message) {
        case WM_CUT:
            Send(window, WM_COPY, 0, 0);
            if ((w = Find(window)) != nullptr) {
                Replace(window, *w, st, L"", false);
            }
            return 0;
        case WM_CLEAR:
            Replace(window, *w, st, L"", false);
            return 0;
        case WM_UNDO:
            Undo(window, *w, st);
            return TRUE;
        default:  // WM_PASTE
            Paste(window, *w, st);
            return 0;
    }
}

LRESULT OnSelection(HWND window, Window& w, EditState& st, UINT message, WPARAM wParam,
                    LPARAM lParam) {
    if (message == EM_SETSEL) {
        int n = static_cast<int>(w.text.size());
        auto start = static_cast<int>(static_cast<LONG_PTR>(wParam));
        auto end = static_cast<int>(lParam);
        if (start < 0) {
            st.anchor = st.caret;
        } else {
            if (end < 0 || end > n) {
                end = n;
            }
            st.anchor = std::min(start, n);
            st.caret = end;
        }
        st.typing = false;
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    if (message == EM_GETSEL) {
        ClampSelection(w, st);
        DWORD lo = static_cast<DWORD>(std::min(st.anchor, st.caret));
        DWORD hi = static_cast<DWORD>(std::max(st.anchor, st.caret));
        if (wParam != 0) {
            *reinterpret_cast<DWORD*>(wParam) = lo;
        }
        if (lParam != 0) {
            *reinterpret_cast<DWORD*>(lParam) = hi;
        }
        return static_cast<LRESULT>(MAKELPARAM(static_cast<int>(lo), static_cast<int>(hi)) &
                                    0xFFFFFFFF);
    }
    if (message != EM_REPLACESEL) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto text = reinterpret_cast<LPCWSTR>(lParam);
    Replace(window, w, st, text != nullptr ? text : L"", false);
    EnsureCaretVisible(window, w, st);
    return 0;
}

void SetStyleBit(HWND window, Window& w, DWORD bit, bool on) {
    if (on) {
        w.style |= bit;
    } else {
        w.style &= ~bit;
    }
    InvalidateRect(window, nullptr, TRUE);
}

// The EM_ messages other than the selection's.
LRESULT OnEditMessage(HWND window, Window& w, EditState& st, UINT message, WPARAM wParam,
                      LPARAM lParam) {
    switch (message) {
        case EM_SETLIMITTEXT:
            st.limit = wParam == 0 ? kMultiLineLimit
                                   : static_cast<int>(std::min<WPARAM>(wParam, kMultiLineLimit));
            return 0;
        case EM_GETLIMITTEXT:
            return st.limit;
        case EM_SETREADONLY:
            SetStyleBit(window, w, ES_READONLY, wParam != 0);
            return TRUE;
        case EM_SETPASSWORDCHAR:
            st.password = static_cast<wchar_t>(wParam);
            SetStyleBit(window, w, ES_PASSWORD, st.password != 0);
            return 0;
        case EM_GETPASSWORDCHAR:
            return st.password;
        case EM_GETLINECOUNT:
            return Multi(w) ? static_cast<LRESULT>(Lines(window, w, st).size()) : 1;
        case EM_GETFIRSTVISIBLELINE:
            return Multi(w) ? st.firstLine : 0;
        case EM_LINESCROLL:
            if (Multi(w)) {
                Scroll(window, w, st, st.firstLine + static_cast<int>(lParam));
            }
            return TRUE;
        case EM_CANUNDO:
            return st.canUndo ? TRUE : FALSE;
        case EM_UNDO:
            Undo(window, w, st);
            return TRUE;
        default:
            return OnSelection(window, w, st, message, wParam, lParam);
    }
}

// Focus, size, style and text changes.
LRESULT OnWindowState(HWND window, Window& w, EditState& st, UINT message, WPARAM wParam,
                      LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcW(window, message, wParam, lParam);
            st.anchor = st.caret = 0;
            st.scrollX = 0;
            st.firstLine = 0;
            st.canUndo = st.typing = false;
            UpdateScrollBar(window, w, st);
            Changed(window);
            return r;
        }
        case WM_SIZE:
        case WM_STYLECHANGED:
            UpdateScrollBar(window, w, st);
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_SETFOCUS:
            InvalidateRect(window, nullptr, TRUE);
            NotifyParent(window, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            st.dragging = st.typing = false;
            InvalidateRect(window, nullptr, TRUE);
            NotifyParent(window, EN_KILLFOCUS);
            return 0;
        default:  // WM_ENABLE
            InvalidateRect(window, nullptr, TRUE);
            return 0;
    }
}

LRESULT Handle(HWND window, Window* w, EditState* st, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!st->created) {
        st->created = true;
        if ((w->style & ES_PASSWORD) != 0) {
            st->password = L'*';
        }
        if (Multi(*w)) {
            st->limit = kMultiLineLimit;
        }
    }
    switch (message) {
        case WM_GETDLGCODE: {
            LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
            if (Multi(*w) && (w->style & ES_WANTRETURN) != 0) {
                code |= DLGC_WANTALLKEYS;
            }
            return code;
        }
        case WM_SETTEXT:
        case WM_SIZE:
        case WM_STYLECHANGED:
        case WM_ENABLE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            return OnWindowState(window, *w, *st, message, wParam, lParam);
        case WM_CHAR:
            OnChar(window, *w, *st, static_cast<wchar_t>(wParam));
            return 0;
        case WM_KEYDOWN:
            if (OnKeyDown(window, *w, *st, static_cast<int>(wParam))) {
                return 0;
            }
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            return OnMouse(window, w, *st, message, wParam, lParam);
        case WM_VSCROLL:
        case WM_MOUSEWHEEL:
            return OnScroll(window, *w, *st, message, wParam, lParam);
        case WM_COPY:
        case WM_CUT:
        case WM_CLEAR:
        case WM_PASTE:
        case WM_UNDO:
            return OnClipboard(window, w, *st, message);
        default:
            if (message >= EM_GETSEL && message <= EM_GETLIMITTEXT) {
                return OnEditMessage(window, *w, *st, message, wParam, lParam);
            }
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

// The box takes its password character and its limit from its styles on its first message
// (WM_NCCREATE), before anything can paint it.
LRESULT CALLBACK_Edit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlProcedure<EditState>(window, message, wParam, lParam, &PaintEdit, &Handle);
}

}  // namespace platform::win
