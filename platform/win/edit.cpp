// The "Edit" class: single-line boxes (limit, case conversion, digits only, password,
// caret, selection, the process clipboard) and multi-line boxes with line scrolling.
#include <algorithm>
#include <cwctype>
#include <vector>

#include "platform/win/canvas.h"
#include "platform/win/internal.h"

namespace platform::win {
namespace {

constexpr int kMargin = 2;
constexpr int kDefaultLimit = 30000;

struct EditState : ControlState {
    HFONT font = nullptr;
    int anchor = 0;
    int caret = 0;
    int limit = kDefaultLimit;
    wchar_t password = 0;
    int scrollX = 0;
    int firstLine = 0;
    bool dragging = false;
    bool created = false;
};

struct LineSpan {
    int start = 0;
    int length = 0;
};

bool Multi(const Window& w) {
    return (w.style & ES_MULTILINE) != 0;
}

// Case conversion that knows the Latin-1 letters whatever the C library's locale.
wchar_t Upper(wchar_t c) {
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<wchar_t>(c - 0x20);
    if (c == 0xFF)
        return static_cast<wchar_t>(0x178);
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

wchar_t Lower(wchar_t c) {
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<wchar_t>(c + 0x20);
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

HDC MeasureDc(const EditState& st) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectControlFont(dc, st.font);
    return dc;
}

int LineHeight(const EditState& st) {
    HDC dc = MeasureDc(st);
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    DeleteDC(dc);
    return std::max(1, static_cast<int>(tm.tmHeight));
}

std::wstring Shown(const Window& w, const EditState& st) {
    if (st.password != 0 && !Multi(w))
        return std::wstring(w.text.size(), st.password);
    return w.text;
}

// Lines of a multi-line box: split at line breaks, wrapped at the width unless the box
// scrolls horizontally.
std::vector<LineSpan> Lines(HWND window, const Window& w, const EditState& st) {
    std::vector<LineSpan> lines;
    const std::wstring& t = w.text;
    RECT r;
    GetClientRect(window, &r);
    int width = r.right - 2 * kMargin;
    bool wrap = Multi(w) && (w.style & ES_AUTOHSCROLL) == 0 && width > 0;
    HDC dc = MeasureDc(st);
    int start = 0;
    int n = static_cast<int>(t.size());
    for (int i = 0; i <= n; ++i) {
        bool end = i == n;
        if (!end && t[static_cast<std::size_t>(i)] != L'\n' &&
            t[static_cast<std::size_t>(i)] != L'\r')
            continue;
        int lineEnd = i;
        // Wrap [start, lineEnd).
        int s = start;
        while (wrap && lineEnd - s > 0 &&
               TextWidth(dc, std::wstring_view(t).substr(static_cast<std::size_t>(s),
                                                         static_cast<std::size_t>(lineEnd - s))) >
                   width) {
            int fit = s;
            int lastSpace = -1;
            for (int k = s + 1; k <= lineEnd; ++k) {
                if (TextWidth(dc, std::wstring_view(t).substr(static_cast<std::size_t>(s),
                                                              static_cast<std::size_t>(k - s))) >
                    width) {
                    break;
                }
                fit = k;
                if (k < lineEnd && t[static_cast<std::size_t>(k)] == L' ')
                    lastSpace = k + 1;
            }
            int cut = lastSpace > s ? lastSpace : std::max(fit, s + 1);
            lines.push_back(LineSpan{s, cut - s});
            s = cut;
        }
        lines.push_back(LineSpan{s, lineEnd - s});
        if (end)
            break;
        if (t[static_cast<std::size_t>(i)] == L'\r' && i + 1 < n &&
            t[static_cast<std::size_t>(i) + 1] == L'\n')
            ++i;
        start = i + 1;
    }
    DeleteDC(dc);
    return lines;
}

int LineOf(const std::vector<LineSpan>& lines, int index) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineSpan& l = lines[i];
        if (index >= l.start && index <= l.start + l.length)
            return static_cast<int>(i);
    }
    return lines.empty() ? 0 : static_cast<int>(lines.size()) - 1;
}

int VisibleLines(HWND window, const EditState& st) {
    RECT r;
    GetClientRect(window, &r);
    return std::max(1, (r.bottom - 2) / LineHeight(st));
}

void UpdateScrollBar(HWND window, const Window& w, const EditState& st) {
    if (!Multi(w) || (w.style & WS_VSCROLL) == 0)
        return;
    auto lines = Lines(window, w, st);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, static_cast<int>(lines.size()) - 1);
    si.nPage = static_cast<UINT>(VisibleLines(window, st));
    si.nPos = st.firstLine;
    SetScrollInfo(window, SB_VERT, &si, TRUE);
}

void Changed(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    NotifyParent(window, EN_UPDATE);
    NotifyParent(window, EN_CHANGE);
}

void Clamp(const Window& w, EditState& st) {
    int n = static_cast<int>(w.text.size());
    st.anchor = std::clamp(st.anchor, 0, n);
    st.caret = std::clamp(st.caret, 0, n);
}

// Replaces the selection; `typed` text that does not fit is refused whole, other text is
// cut to fit. Returns whether anything changed.
bool Replace(HWND window, Window& w, EditState& st, std::wstring text, bool typed) {
    Clamp(w, st);
    int lo = std::min(st.anchor, st.caret);
    int hi = std::max(st.anchor, st.caret);
    int room = st.limit - (static_cast<int>(w.text.size()) - (hi - lo));
    if (static_cast<int>(text.size()) > room) {
        if (typed || room <= 0) {
            NotifyParent(window, EN_MAXTEXT);
            MessageBeep(0);
            if (typed || hi == lo)
                return false;
            text.clear();
        } else {
            text.resize(static_cast<std::size_t>(room));
        }
    }
    if (text.empty() && lo == hi)
        return false;
    w.text.replace(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi - lo), text);
    st.caret = st.anchor = lo + static_cast<int>(text.size());
    Changed(window);
    return true;
}

std::wstring Selected(const Window& w, EditState& st) {
    Clamp(w, st);
    int lo = std::min(st.anchor, st.caret);
    int hi = std::max(st.anchor, st.caret);
    return w.text.substr(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi - lo));
}

void EnsureCaretVisible(HWND window, const Window& w, EditState& st) {
    if (!Multi(w))
        return;
    auto lines = Lines(window, w, st);
    int line = LineOf(lines, st.caret);
    int visible = VisibleLines(window, st);
    if (line < st.firstLine)
        st.firstLine = line;
    if (line >= st.firstLine + visible)
        st.firstLine = line - visible + 1;
    UpdateScrollBar(window, w, st);
}

int IndexAt(HWND window, const Window& w, const EditState& st, int x, int y) {
    HDC dc = MeasureDc(st);
    std::wstring shown = Shown(w, st);
    int result = 0;
    if (Multi(w)) {
        auto lines = Lines(window, w, st);
        int row = std::clamp(st.firstLine + (y - 1) / LineHeight(st), 0,
                             std::max(0, static_cast<int>(lines.size()) - 1));
        const LineSpan& l = lines[static_cast<std::size_t>(row)];
        result = l.start + l.length;
        for (int k = 0; k <= l.length; ++k) {
            int wpx =
                TextWidth(dc, std::wstring_view(shown).substr(static_cast<std::size_t>(l.start),
                                                              static_cast<std::size_t>(k)));
            if (wpx + kMargin >= x) {
                result = l.start + k;
                break;
            }
        }
    } else {
        int target = x - kMargin + st.scrollX;
        result = static_cast<int>(shown.size());
        int prev = 0;
        for (int k = 1; k <= static_cast<int>(shown.size()); ++k) {
            int wpx =
                TextWidth(dc, std::wstring_view(shown).substr(0, static_cast<std::size_t>(k)));
            if (wpx >= target) {
                result = (target - prev < wpx - target) ? k - 1 : k;
                break;
            }
            prev = wpx;
        }
    }
    DeleteDC(dc);
    return result;
}

void DrawRun(HDC dc, int x, int y, std::wstring_view text, int lo, int hi, int lineStart,
             int height, bool showSelection, COLORREF textColor) {
    SetTextColor(dc, textColor);
    DrawTextLine(dc, x, y, text);
    int a = std::clamp(lo - lineStart, 0, static_cast<int>(text.size()));
    int b = std::clamp(hi - lineStart, 0, static_cast<int>(text.size()));
    if (!showSelection || a >= b)
        return;
    int x0 = x + TextWidth(dc, text.substr(0, static_cast<std::size_t>(a)));
    int x1 = x + TextWidth(dc, text.substr(0, static_cast<std::size_t>(b)));
    FillSolid(dc, RECT{x0, y, x1, y + height}, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawTextLine(dc, x0, y,
                 text.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a)));
}

void Paint(HWND window, const Window& w, EditState& st, HDC dc, const RECT& r) {
    Clamp(w, st);
    bool readOnly = (w.style & ES_READONLY) != 0 || !IsEnabledChain(w);
    FillControlBackground(window, dc, r, readOnly ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                          COLOR_WINDOW);
    COLORREF textColor = IsEnabledChain(w) ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT);
    SelectControlFont(dc, st.font);
    int height = LineHeight(st);
    bool focused = Sys().focus == window;
    bool showSel = focused || (w.style & ES_NOHIDESEL) != 0;
    int lo = std::min(st.anchor, st.caret);
    int hi = std::max(st.anchor, st.caret);
    std::wstring shown = Shown(w, st);
    if (Multi(w)) {
        auto lines = Lines(window, w, st);
        int y = 1;
        for (int i = st.firstLine; i < static_cast<int>(lines.size()) && y < r.bottom; ++i) {
            const LineSpan& l = lines[static_cast<std::size_t>(i)];
            std::wstring_view text = std::wstring_view(shown).substr(
                static_cast<std::size_t>(l.start), static_cast<std::size_t>(l.length));
            int x = kMargin;
            int tw = TextWidth(dc, text);
            if ((w.style & ES_CENTER) != 0)
                x = (r.right - tw) / 2;
            if ((w.style & ES_RIGHT) != 0)
                x = r.right - kMargin - tw;
            DrawRun(dc, x, y, text, lo, hi, l.start, height, showSel, textColor);
            if (focused && LineOf(lines, st.caret) == i) {
                int cx =
                    x + TextWidth(dc, text.substr(0, static_cast<std::size_t>(st.caret - l.start)));
                FillSolid(dc, RECT{cx, y, cx + 1, y + height}, 0);
            }
            y += height;
        }
    } else {
        int textWidth = TextWidth(dc, shown);
        int caretX =
            TextWidth(dc, std::wstring_view(shown).substr(0, static_cast<std::size_t>(st.caret)));
        int room = std::max(1, static_cast<int>(r.right) - 2 * kMargin);
        if (caretX - st.scrollX > room)
            st.scrollX = caretX - room;
        if (caretX < st.scrollX)
            st.scrollX = caretX;
        if (textWidth - st.scrollX < room)
            st.scrollX = std::max(0, textWidth - room);
        int x = kMargin - st.scrollX;
        if (textWidth <= room) {
            if ((w.style & ES_CENTER) != 0)
                x = (r.right - textWidth) / 2;
            if ((w.style & ES_RIGHT) != 0)
                x = r.right - kMargin - textWidth;
        }
        DrawRun(dc, x, 1, shown, lo, hi, 0, height, showSel, textColor);
        if (focused) {
            int cx = x + caretX;
            FillSolid(dc, RECT{cx, 1, cx + 1, 1 + height}, 0);
        }
    }
}

void MoveCaret(HWND window, Window& w, EditState& st, int to, bool extend) {
    st.caret = std::clamp(to, 0, static_cast<int>(w.text.size()));
    if (!extend)
        st.anchor = st.caret;
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

bool KeyDown(HWND window, Window& w, EditState& st, int vk) {
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    int n = static_cast<int>(w.text.size());
    switch (vk) {
        case VK_LEFT:
            MoveCaret(window, w, st, st.caret - 1, shift);
            return true;
        case VK_RIGHT:
            MoveCaret(window, w, st, st.caret + 1, shift);
            return true;
        case VK_HOME:
        case VK_END: {
            if (!Multi(w)) {
                MoveCaret(window, w, st, vk == VK_HOME ? 0 : n, shift);
                return true;
            }
            auto lines = Lines(window, w, st);
            const LineSpan& l = lines[static_cast<std::size_t>(LineOf(lines, st.caret))];
            MoveCaret(window, w, st, vk == VK_HOME ? l.start : l.start + l.length, shift);
            return true;
        }
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT: {
            if (!Multi(w))
                return true;
            auto lines = Lines(window, w, st);
            int line = LineOf(lines, st.caret);
            int column = st.caret - lines[static_cast<std::size_t>(line)].start;
            int step = (vk == VK_UP || vk == VK_DOWN) ? 1 : VisibleLines(window, st);
            int target = line + ((vk == VK_DOWN || vk == VK_NEXT) ? step : -step);
            target = std::clamp(target, 0, static_cast<int>(lines.size()) - 1);
            const LineSpan& l = lines[static_cast<std::size_t>(target)];
            MoveCaret(window, w, st, l.start + std::min(column, l.length), shift);
            return true;
        }
        case VK_DELETE:
            if ((w.style & ES_READONLY) != 0)
                return true;
            if (st.anchor == st.caret) {
                if (st.caret >= n)
                    return true;
                st.anchor = st.caret + 1;
            }
            Replace(window, w, st, L"", false);
            return true;
        default:
            return false;
    }
}

void Char(HWND window, Window& w, EditState& st, wchar_t c) {
    bool readOnly = (w.style & ES_READONLY) != 0;
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
        case L'\b':
            if (readOnly) {
                MessageBeep(0);
                return;
            }
            if (st.anchor == st.caret) {
                if (st.caret == 0)
                    return;
                st.anchor = st.caret - 1;
            }
            Replace(window, w, st, L"", false);
            EnsureCaretVisible(window, w, st);
            return;
        case L'\r':
            if (Multi(w) && (w.style & ES_WANTRETURN) != 0 && !readOnly) {
                Replace(window, w, st, L"\r\n", true);
                EnsureCaretVisible(window, w, st);
            }
            return;
        default:
            break;
    }
    if (c < 0x20 || c == 0x7F)
        return;
    if (readOnly) {
        MessageBeep(0);
        return;
    }
    if ((w.style & ES_NUMBER) != 0 && (c < L'0' || c > L'9')) {
        MessageBeep(0);
        return;
    }
    if ((w.style & ES_UPPERCASE) != 0) {
        c = Upper(c);
    } else if ((w.style & ES_LOWERCASE) != 0) {
        c = Lower(c);
    }
    Replace(window, w, st, std::wstring(1, c), true);
    EnsureCaretVisible(window, w, st);
}

LRESULT Handle(HWND window, Window* w, EditState* st, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!st->created) {
        st->created = true;
        if ((w->style & ES_PASSWORD) != 0)
            st->password = L'*';
        if (Multi(*w))
            st->limit = 0x7FFFFFFE;
    }
    switch (message) {
        case WM_GETDLGCODE: {
            LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
            if (Multi(*w) && (w->style & ES_WANTRETURN) != 0)
                code |= DLGC_WANTALLKEYS;
            return code;
        }
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcW(window, message, wParam, lParam);
            st->anchor = st->caret = 0;
            st->scrollX = 0;
            st->firstLine = 0;
            UpdateScrollBar(window, *w, *st);
            Changed(window);
            return r;
        }
        case WM_SIZE:
        case WM_STYLECHANGED:
            UpdateScrollBar(window, *w, *st);
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_ENABLE:
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_SETFOCUS:
            InvalidateRect(window, nullptr, TRUE);
            NotifyParent(window, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            st->dragging = false;
            InvalidateRect(window, nullptr, TRUE);
            NotifyParent(window, EN_KILLFOCUS);
            return 0;
        case WM_CHAR:
            Char(window, *w, *st, static_cast<wchar_t>(wParam));
            return 0;
        case WM_KEYDOWN:
            if (KeyDown(window, *w, *st, static_cast<int>(wParam)))
                return 0;
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_LBUTTONDOWN: {
            SetFocus(window);
            w = Find(window);
            if (w == nullptr)
                return 0;
            int at = IndexAt(window, *w, *st, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            bool shift = (wParam & MK_SHIFT) != 0;
            st->caret = at;
            if (!shift)
                st->anchor = at;
            st->dragging = true;
            SetCapture(window);
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (st->dragging) {
                st->caret = IndexAt(window, *w, *st, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        case WM_LBUTTONUP:
            if (st->dragging) {
                st->dragging = false;
                if (GetCapture() == window)
                    ReleaseCapture();
            }
            return 0;
        case WM_LBUTTONDBLCLK: {
            // Select the word under the pointer.
            int at = IndexAt(window, *w, *st, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            int a = at;
            int b = at;
            auto word = [&](int i) {
                return i >= 0 && i < static_cast<int>(w->text.size()) &&
                       std::iswalnum(static_cast<wint_t>(w->text[static_cast<std::size_t>(i)]));
            };
            while (word(a - 1))
                --a;
            while (word(b))
                ++b;
            st->anchor = a;
            st->caret = b;
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        }
        case WM_VSCROLL: {
            if (!Multi(*w))
                return 0;
            int visible = VisibleLines(window, *st);
            int line = st->firstLine;
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
            Scroll(window, *w, *st, line);
            return 0;
        }
        case WM_MOUSEWHEEL: {
            if (!Multi(*w))
                return DefWindowProcW(window, message, wParam, lParam);
            auto delta = static_cast<std::int16_t>(HIWORD(wParam));
            Scroll(window, *w, *st, st->firstLine - 3 * delta / WHEEL_DELTA);
            return 0;
        }
        case EM_SETLIMITTEXT:
            st->limit =
                wParam == 0 ? 0x7FFFFFFE : static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFE));
            return 0;
        case EM_GETLIMITTEXT:
            return st->limit;
        case EM_SETREADONLY:
            if (wParam != 0) {
                w->style |= ES_READONLY;
            } else {
                w->style &= ~ES_READONLY;
            }
            InvalidateRect(window, nullptr, TRUE);
            return TRUE;
        case EM_SETPASSWORDCHAR:
            st->password = static_cast<wchar_t>(wParam);
            if (st->password != 0) {
                w->style |= ES_PASSWORD;
            } else {
                w->style &= ~ES_PASSWORD;
            }
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case EM_GETPASSWORDCHAR:
            return st->password;
        case EM_SETSEL: {
            int n = static_cast<int>(w->text.size());
            auto start = static_cast<int>(static_cast<LONG_PTR>(wParam));
            auto end = static_cast<int>(lParam);
            if (start < 0) {
                st->anchor = st->caret;
            } else {
                if (end < 0 || end > n)
                    end = n;
                st->anchor = std::min(start, n);
                st->caret = end;
            }
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        }
        case EM_GETSEL: {
            Clamp(*w, *st);
            DWORD lo = static_cast<DWORD>(std::min(st->anchor, st->caret));
            DWORD hi = static_cast<DWORD>(std::max(st->anchor, st->caret));
            if (wParam != 0)
                *reinterpret_cast<DWORD*>(wParam) = lo;
            if (lParam != 0)
                *reinterpret_cast<DWORD*>(lParam) = hi;
            return static_cast<LRESULT>(MAKELPARAM(static_cast<int>(lo), static_cast<int>(hi)) &
                                        0xFFFFFFFF);
        }
        case EM_REPLACESEL: {
            auto text = reinterpret_cast<LPCWSTR>(lParam);
            Replace(window, *w, *st, text != nullptr ? text : L"", false);
            EnsureCaretVisible(window, *w, *st);
            return 0;
        }
        case EM_GETLINECOUNT:
            return Multi(*w) ? static_cast<LRESULT>(Lines(window, *w, *st).size()) : 1;
        case EM_GETFIRSTVISIBLELINE:
            return Multi(*w) ? st->firstLine : 0;
        case EM_LINESCROLL:
            if (Multi(*w))
                Scroll(window, *w, *st, st->firstLine + static_cast<int>(lParam));
            return TRUE;
        case WM_COPY:
            if (st->password == 0 || Multi(*w)) {
                std::wstring sel = Selected(*w, *st);
                if (!sel.empty())
                    Clipboard() = sel;
            }
            return 0;
        case WM_CUT:
            if ((w->style & ES_READONLY) != 0)
                return 0;
            Send(window, WM_COPY, 0, 0);
            if ((w = Find(window)) != nullptr)
                Replace(window, *w, *st, L"", false);
            return 0;
        case WM_CLEAR:
            if ((w->style & ES_READONLY) == 0)
                Replace(window, *w, *st, L"", false);
            return 0;
        case WM_PASTE: {
            if ((w->style & ES_READONLY) != 0)
                return 0;
            std::wstring text = Clipboard();
            if (!Multi(*w)) {
                // A single line takes the clipboard up to its first line break.
                auto cut = text.find_first_of(L"\r\n");
                if (cut != std::wstring::npos)
                    text.resize(cut);
            }
            if ((w->style & ES_NUMBER) != 0 && std::any_of(text.begin(), text.end(), [](wchar_t c) {
                    return c < L'0' || c > L'9';
                })) {
                MessageBeep(0);
                return 0;
            }
            for (auto& c : text) {
                if ((w->style & ES_UPPERCASE) != 0)
                    c = Upper(c);
                if ((w->style & ES_LOWERCASE) != 0)
                    c = Lower(c);
            }
            Replace(window, *w, *st, text, false);
            EnsureCaretVisible(window, *w, *st);
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

// The box takes its password character and its limit from its styles on its first message
// (WM_NCCREATE), before anything can paint it.
LRESULT CALLBACK_Edit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlProcedure<EditState>(window, message, wParam, lParam, &Paint, &Handle);
}

}  // namespace platform::win
