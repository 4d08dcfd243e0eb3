// How an edit box is laid out, hit and drawn: line breaking, scrolling, the caret and the
// selection.
#include <algorithm>

#include "platform/win/canvas.h"
#include "platform/win/edit_internal.h"

namespace platform::win {
namespace {

constexpr int kMargin = kEditMargin;

HDC MeasureDc(const EditState& st) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectControlFont(dc, st.font);
    return dc;
}

std::wstring Shown(const Window& w, const EditState& st) {
    if (st.password != 0 && !Multi(w)) {
        return std::wstring(w.text.size(), st.password);
    }
    return w.text;
}

}  // namespace

void ClampSelection(const Window& w, EditState& st) {
    int n = static_cast<int>(w.text.size());
    st.anchor = std::clamp(st.anchor, 0, n);
    st.caret = std::clamp(st.caret, 0, n);
}

int LineHeight(const EditState& st) {
    HDC dc = MeasureDc(st);
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    DeleteDC(dc);
    return std::max(1, static_cast<int>(tm.tmHeight));
}

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
            t[static_cast<std::size_t>(i)] != L'\r') {
            continue;
        }
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
                if (k < lineEnd && t[static_cast<std::size_t>(k)] == L' ') {
                    lastSpace = k + 1;
                }
            }
            int cut = lastSpace > s ? lastSpace : std::max(fit, s + 1);
            lines.push_back(LineSpan{s, cut - s});
            s = cut;
        }
        lines.push_back(LineSpan{s, lineEnd - s});
        if (end) {
            break;
        }
        if (t[static_cast<std::size_t>(i)] == L'\r' && i + 1 < n &&
            t[static_cast<std::size_t>(i) + 1] == L'\n') {
            ++i;
        }
        start = i + 1;
    }
    DeleteDC(dc);
    return lines;
}

int LineOf(const std::vector<LineSpan>& lines, int index) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineSpan& l = lines[i];
        if (index >= l.start && index <= l.start + l.length) {
            return static_cast<int>(i);
        }
    }
    return lines.empty() ? 0 : static_cast<int>(lines.size()) - 1;
}

int VisibleLines(HWND window, const EditState& st) {
    RECT r;
    GetClientRect(window, &r);
    return std::max(1, (r.bottom - 2) / LineHeight(st));
}

void UpdateScrollBar(HWND window, const Window& w, const EditState& st) {
    if (!Multi(w) || (w.style & WS_VSCROLL) == 0) {
        return;
    }
    auto lines = Lines(window, w, st);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, static_cast<int>(lines.size()) - 1);
    si.nPage = static_cast<UINT>(VisibleLines(window, st));
    si.nPos = st.firstLine;
    SetScrollInfo(window, SB_VERT, &si, TRUE);
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

namespace {

void DrawRun(HDC dc, int x, int y, std::wstring_view text, int lo, int hi, int lineStart,
             int height, bool showSelection, COLORREF textColor) {
    SetTextColor(dc, textColor);
    DrawTextLine(dc, x, y, text);
    int a = std::clamp(lo - lineStart, 0, static_cast<int>(text.size()));
    int b = std::clamp(hi - lineStart, 0, static_cast<int>(text.size()));
    if (!showSelection || a >= b) {
        return;
    }
    int x0 = x + TextWidth(dc, text.substr(0, static_cast<std::size_t>(a)));
    int x1 = x + TextWidth(dc, text.substr(0, static_cast<std::size_t>(b)));
    FillSolid(dc, RECT{x0, y, x1, y + height}, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawTextLine(dc, x0, y,
                 text.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a)));
}

}  // namespace

void PaintEdit(HWND window, const Window& w, EditState& st, HDC dc, const RECT& r) {
    ClampSelection(w, st);
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
            if ((w.style & ES_CENTER) != 0) {
                x = (r.right - tw) / 2;
            }
            if ((w.style & ES_RIGHT) != 0) {
                x = r.right - kMargin - tw;
            }
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
        if (caretX - st.scrollX > room) {
            st.scrollX = caretX - room;
        }
        if (caretX < st.scrollX) {
            st.scrollX = caretX;
        }
        if (textWidth - st.scrollX < room) {
            st.scrollX = std::max(0, textWidth - room);
        }
        int x = kMargin - st.scrollX;
        if (textWidth <= room) {
            if ((w.style & ES_CENTER) != 0) {
                x = (r.right - textWidth) / 2;
            }
            if ((w.style & ES_RIGHT) != 0) {
                x = r.right - kMargin - textWidth;
            }
        }
        DrawRun(dc, x, 1, shown, lo, hi, 0, height, showSel, textColor);
        if (focused) {
            int cx = x + caretX;
            FillSolid(dc, RECT{cx, 1, cx + 1, 1 + height}, 0);
        }
    }
}

}  // namespace platform::win
