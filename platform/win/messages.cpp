// Messages: synchronous sends, the posted queue, the message loop calls, timers, dialog
// keys and the default window procedure.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <thread>

#include "platform/win/canvas.h"
#include "platform/win/internal.h"

namespace platform::win {

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(window);
    if (w == nullptr || w->proc == nullptr) {
        return 0;
    }
    WNDPROC proc = w->proc;
    System& s = Sys();
    ++s.dispatchDepth;
    LRESULT r = proc(window, message, wParam, lParam);
    --s.dispatchDepth;
    if (s.dispatchDepth == 0 && !s.graveyard.empty()) {
        s.graveyard.clear();
    }
    return r;
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = NowMs();
    msg.pt = Sys().cursorPos;
    return msg;
}

void PostFront(const MSG& msg) {
    Sys().queue.push_front(msg);
}

namespace {

bool Matches(const MSG& m, HWND filter, UINT lo, UINT hi) {
    if (filter != nullptr && m.hwnd != filter && !IsDescendant(filter, m.hwnd)) {
        return false;
    }
    if (lo == 0 && hi == 0) {
        return true;
    }
    return m.message >= lo && m.message <= hi;
}

// The first window, parents before children and lower windows first, that needs painting.
HWND FindPaintTarget(HWND window, HWND filter) {
    Window* w = Find(window);
    if (w == nullptr || (w->style & WS_VISIBLE) == 0) {
        return nullptr;
    }
    if (w->needsPaint && !w->painting && (filter == nullptr || IsDescendant(filter, window))) {
        return window;
    }
    for (HWND c : w->children) {
        if (HWND h = FindPaintTarget(c, filter)) {
            return h;
        }
    }
    return nullptr;
}

HWND NextPaint(HWND filter) {
    for (HWND t : Sys().topLevels) {
        if (HWND h = FindPaintTarget(t, filter)) {
            return h;
        }
    }
    return nullptr;
}

// Hover: posts WM_MOUSEHOVER once the pointer rested long enough.
bool CheckHover(Ticks now) {
    MouseTracking& t = Sys().tracking;
    if (t.window == nullptr || (t.flags & TME_HOVER) == 0 || now < t.hoverDue) {
        return false;
    }
    t.flags &= ~TME_HOVER;
    if (Find(t.window) == nullptr) {
        return false;
    }
    POINT p = Sys().cursorPos;
    ScreenToClient(t.window, &p);
    Sys().queue.push_back(MakeMessage(t.window, WM_MOUSEHOVER, 0, MAKELPARAM(p.x, p.y)));
    return true;
}

std::optional<Ticks> NextDeadline() {
    std::optional<Ticks> next;
    for (const Timer& t : Sys().timers) {
        if (!next || t.due < *next) {
            next = t.due;
        }
    }
    const MouseTracking& tr = Sys().tracking;
    if (tr.window != nullptr && (tr.flags & TME_HOVER) != 0) {
        if (!next || tr.hoverDue < *next) {
            next = tr.hoverDue;
        }
    }
    return next;
}

// Keyboard input goes to the window that has the focus when it is taken from the queue,
// as system keys to the active window when nothing has the focus; none of them: dropped.
bool ResolveFocusTarget(MSG& m) {
    System& s = Sys();
    ApplyKeyTransition(m);
    if (MenuTakesInput(m)) {
        return false;
    }
    HWND target = s.focus;
    if (target == nullptr) {
        target = s.active;
        if (m.message == WM_KEYDOWN) {
            m.message = WM_SYSKEYDOWN;
        }
        if (m.message == WM_KEYUP) {
            m.message = WM_SYSKEYUP;
        }
    }
    Window* w = Find(target);
    if (w == nullptr || !IsEnabledChain(*w)) {
        return false;
    }
    m.hwnd = target;
    return true;
}

// The next due time of a timer that has fired: one interval after the previous due time, so
// that the time taken to deliver a tick does not stretch the period. A timer late by whole
// intervals skips them (one WM_TIMER stands for all) but keeps its phase.
Ticks NextDue(Ticks due, UINT intervalMs, Ticks now) {
    const Ticks interval = static_cast<Ticks>(intervalMs) * kTicksPerMs;
    due += interval;
    if (due <= now) {
        due += ((now - due) / interval + 1) * interval;
    }
    return due;
}

// One attempt to take a message. Returns false when nothing is there.
bool TakeMessage(MSG* msg, HWND filter, UINT lo, UINT hi, bool remove) {
    System& s = Sys();
    Ticks now = NowTicks();
    CheckHover(now);
    // By index: resolving keyboard input may run menu code that posts messages.
    for (std::size_t i = 0; i < s.queue.size();) {
        if (s.queue[i].hwnd == kToFocus) {
            MSG input = s.queue[i];
            s.queue.erase(s.queue.begin() + static_cast<std::ptrdiff_t>(i));
            if (!ResolveFocusTarget(input)) {
                i = 0;
                continue;
            }
            i = std::min(i, s.queue.size());
            s.queue.insert(s.queue.begin() + static_cast<std::ptrdiff_t>(i), input);
        }
        if (!Matches(s.queue[i], filter, lo, hi)) {
            ++i;
            continue;
        }
        *msg = s.queue[i];
        if (remove) {
            s.queue.erase(s.queue.begin() + static_cast<std::ptrdiff_t>(i));
        }
        return true;
    }
    if (s.quitPosted && (lo == 0 && hi == 0)) {
        *msg = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(s.quitCode), 0);
        if (remove) {
            s.quitPosted = false;
        }
        return true;
    }
    bool wantPaint = (lo == 0 && hi == 0) || (WM_PAINT >= lo && WM_PAINT <= hi);
    if (wantPaint) {
        if (HWND h = NextPaint(filter)) {
            *msg = MakeMessage(h, WM_PAINT, 0, 0);
            return true;
        }
    }
    bool wantTimer = (lo == 0 && hi == 0) || (WM_TIMER >= lo && WM_TIMER <= hi);
    if (wantTimer) {
        for (Timer& t : s.timers) {
            if (t.due > now) {
                continue;
            }
            if (filter != nullptr && !IsDescendant(filter, t.window)) {
                continue;
            }
            *msg = MakeMessage(t.window, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc));
            if (remove) {
                t.due = NextDue(t.due, t.interval, now);
            }
            return true;
        }
    }
    return false;
}

// The characters of the keys outside the letters and digits, without and with Shift.
struct KeyText {
    int vk;
    char plain;
    char shifted;
};

constexpr KeyText kKeyTexts[] = {
    {VK_SPACE, ' ', ' '},      {VK_RETURN, '\r', '\r'},  {VK_BACK, '\b', '\b'},
    {VK_TAB, '\t', '\t'},      {VK_ESCAPE, 0x1B, 0x1B},  {VK_OEM_1, ';', ':'},
    {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'},
    {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},     {VK_MULTIPLY, '*', '*'},
    {VK_ADD, '+', '+'},        {VK_SUBTRACT, '-', '-'},  {VK_DECIMAL, '.', '.'},
    {VK_DIVIDE, '/', '/'},
};

int KeyChar(int vk, bool shift, bool ctrl) {
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) {
            return vk - 'A' + 1;
        }
        return shift ? vk : vk - 'A' + 'a';
    }
    if (ctrl) {
        return 0;
    }
    if (vk >= '0' && vk <= '9') {
        static const char shifted[] = ")!@#$%^&*(";
        return shift ? shifted[vk - '0'] : vk;
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) {
        return '0' + (vk - VK_NUMPAD0);
    }
    for (const KeyText& k : kKeyTexts) {
        if (k.vk == vk) {
            return shift ? k.shifted : k.plain;
        }
    }
    return 0;
}

// The direct child of `dialog` that contains `window`.
HWND DialogChildOf(HWND dialog, HWND window) {
    while (window != nullptr) {
        Window* w = Find(window);
        if (w == nullptr) {
            return nullptr;
        }
        if ((w->style & WS_CHILD) != 0 && w->parent == dialog) {
            return window;
        }
        if ((w->style & WS_CHILD) == 0) {
            return nullptr;
        }
        window = w->parent;
    }
    return nullptr;
}

void ClickCommand(HWND dialog, int id, HWND control) {
    Send(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

}  // namespace

std::optional<Ticks> NextMessageDeadline() {
    return NextDeadline();
}

void PresentDirty() {
    System& s = Sys();
    for (HWND h : std::vector<HWND>(s.topLevels)) {
        Window* w = Find(h);
        if (w == nullptr || !w->surfaceDirty || !w->surface) {
            continue;
        }
        w->surfaceDirty = false;
        if (s.backend != nullptr && (w->style & WS_VISIBLE) != 0) {
            s.backend->Present(h, *w->surface);
        }
    }
}

}  // namespace platform::win

namespace platform {

using win::Find;
using win::Sys;
using win::Window;

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Find(window) == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return win::Send(window, message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && Find(window) == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    Sys().queue.push_back(win::MakeMessage(window, message, wParam, lParam));
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    Sys().quitPosted = true;
    Sys().quitCode = exitCode;
}

BOOL PeekMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (msg == nullptr) {
        return FALSE;
    }
    if (win::TakeMessage(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)) {
        return TRUE;
    }
    win::PresentDirty();
    return FALSE;
}

BOOL GetMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) {
        return -1;
    }
    if (window != nullptr && Find(window) == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    for (;;) {
        if (win::TakeMessage(msg, window, filterMin, filterMax, true)) {
            return msg->message == WM_QUIT ? FALSE : TRUE;
        }
        win::PresentDirty();
        win::Backend* backend = Sys().backend;
        std::optional<Ticks> deadline = win::NextDeadline();
        bool progress = backend != nullptr && backend->Wait(deadline);
        if (!progress) {
            if (deadline && backend == nullptr) {
                // No backend to wait with: sleep towards the deadline on the clock.
                Ticks before = win::NowTicks();
                Ticks wait = std::min<Ticks>(*deadline - before, 50 * kTicksPerMs);
                if (wait > 0) {
                    std::this_thread::sleep_for(std::chrono::microseconds(wait / 10));
                }
                if (win::NowTicks() != before || wait <= 0) {
                    continue;
                }
                std::fprintf(stderr, "GetMessageW: the clock does not move and no backend waits\n");
                std::abort();
            }
            std::fprintf(stderr, "GetMessageW: nothing can ever arrive (no input, no timer)\n");
            std::abort();
        }
    }
}

BOOL WaitMessage() {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        return TRUE;
    }
    win::Backend* backend = Sys().backend;
    return backend != nullptr && backend->Wait(win::NextDeadline()) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (msg == nullptr) {
        return FALSE;
    }
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) {
        return FALSE;
    }
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    int c = win::KeyChar(static_cast<int>(msg->wParam), shift, ctrl && !alt);
    if (c == 0) {
        return FALSE;
    }
    UINT charMessage = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    win::PostFront(win::MakeMessage(msg->hwnd, charMessage, static_cast<WPARAM>(c), msg->lParam));
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (msg == nullptr) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    if (Find(msg->hwnd) == nullptr) {
        return 0;
    }
    LRESULT r = win::Send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT) {
        // A window procedure that ignores WM_PAINT must not be asked again and again.
        if (Window* w = Find(msg->hwnd)) {
            if (w->needsPaint && !w->painting) {
                w->needsPaint = false;
                w->needsErase = false;
                w->needsFrame = false;
            }
        }
    }
    return r;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    Window* d = Find(dialog);
    if (d == nullptr) {
        return nullptr;
    }
    std::vector<HWND> stops;
    for (HWND c : d->children) {
        Window* w = Find(c);
        if (w == nullptr) {
            continue;
        }
        if ((w->style & WS_VISIBLE) == 0 || (w->style & WS_DISABLED) != 0) {
            continue;
        }
        if ((w->style & WS_TABSTOP) == 0) {
            continue;
        }
        stops.push_back(c);
    }
    if (stops.empty()) {
        return control;
    }
    HWND from = win::DialogChildOf(dialog, control);
    if (from == nullptr) {
        return previous ? stops.back() : stops.front();
    }
    // Walk the children from `from`, wrapping around, to the next tab stop.
    const auto& all = d->children;
    auto pos = std::find(all.begin(), all.end(), from);
    if (pos == all.end()) {
        return previous ? stops.back() : stops.front();
    }
    std::size_t n = all.size();
    auto i = static_cast<std::size_t>(pos - all.begin());
    for (std::size_t step = 1; step <= n; ++step) {
        HWND c = all[previous ? (i + n * 2 - step) % n : (i + step) % n];
        if (std::find(stops.begin(), stops.end(), c) != stops.end()) {
            return c;
        }
    }
    return control;
}

BOOL IsDialogMessageW(HWND dialog, MSG* msg) {
    if (msg == nullptr || Find(dialog) == nullptr) {
        return FALSE;
    }
    if (msg->hwnd == nullptr || !win::IsDescendant(dialog, msg->hwnd)) {
        return FALSE;
    }
    if (msg->message == WM_KEYDOWN) {
        int vk = static_cast<int>(msg->wParam);
        if (vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE) {
            LRESULT code =
                win::Send(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
            if ((code & DLGC_WANTMESSAGE) == 0) {
                if (vk == VK_TAB && (code & DLGC_WANTTAB) == 0) {
                    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
                    HWND next = GetNextDlgTabItem(dialog, GetFocus(), shift ? TRUE : FALSE);
                    if (next != nullptr) {
                        SetFocus(next);
                        if ((win::Send(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
                            win::Send(next, EM_SETSEL, 0, -1);
                        }
                    }
                    return TRUE;
                }
                if (vk == VK_RETURN) {
                    HWND focus = GetFocus();
                    if (focus != nullptr &&
                        (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0 &&
                        win::IsDescendant(dialog, focus)) {
                        win::ClickCommand(GetParent(focus), GetDlgCtrlID(focus), focus);
                        return TRUE;
                    }
                    Window* d = Find(dialog);
                    HWND def = nullptr;
                    for (HWND c : d->children) {
                        Window* w = Find(c);
                        if (w != nullptr && w->className == L"Button" &&
                            (w->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
                            (w->style & WS_DISABLED) == 0) {
                            def = c;
                            break;
                        }
                    }
                    if (def != nullptr) {
                        win::ClickCommand(dialog, GetDlgCtrlID(def), def);
                    } else {
                        win::ClickCommand(dialog, IDOK, GetDlgItem(dialog, IDOK));
                    }
                    return TRUE;
                }
                if (vk == VK_ESCAPE) {
                    win::ClickCommand(dialog, IDCANCEL, GetDlgItem(dialog, IDCANCEL));
                    return TRUE;
                }
            }
        }
    }
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return TRUE;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    win::System& s = Sys();
    if (window != nullptr && Find(window) == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    UINT interval = std::max<UINT>(elapseMs, 10);
    if (window == nullptr) {
        id = ++s.nextTimerId;
    }
    Ticks due = win::NowTicks() + static_cast<Ticks>(interval) * kTicksPerMs;
    for (win::Timer& t : s.timers) {
        if (t.window == window && t.id == id) {
            t.interval = interval;
            t.proc = proc;
            t.due = due;
            return window == nullptr ? id : (id == 0 ? 1 : id);
        }
    }
    s.timers.push_back(win::Timer{window, id, interval, proc, due});
    return window == nullptr ? id : (id == 0 ? 1 : id);
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    auto& timers = Sys().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const win::Timer& t) { return t.window == window && t.id == id; });
    if (it == timers.end()) {
        return FALSE;
    }
    timers.erase(it);
    // A WM_TIMER already taken from the queue is not called back.
    auto& q = Sys().queue;
    q.erase(std::remove_if(q.begin(), q.end(),
                           [&](const MSG& m) {
                               return m.message == WM_TIMER && m.hwnd == window && m.wParam == id;
                           }),
            q.end());
    return TRUE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
    if (track == nullptr) {
        return FALSE;
    }
    win::MouseTracking& t = Sys().tracking;
    if ((track->dwFlags & TME_CANCEL) != 0) {
        if (t.window == track->hwndTrack) {
            t.flags &= ~track->dwFlags;
        }
        return TRUE;
    }
    Window* w = Find(track->hwndTrack);
    if (w == nullptr) {
        return FALSE;
    }
    // The pointer must be over the window, or the leave message comes at once.
    HWND under = WindowFromPoint(Sys().cursorPos);
    if (under != track->hwndTrack) {
        if ((track->dwFlags & TME_LEAVE) != 0) {
            PostMessageW(track->hwndTrack, WM_MOUSELEAVE, 0, 0);
        }
        return TRUE;
    }
    t.window = track->hwndTrack;
    t.flags = track->dwFlags & (TME_HOVER | TME_LEAVE);
    t.hoverMs = track->dwHoverTime == HOVER_DEFAULT ? 400 : track->dwHoverTime;
    t.hoverDue = win::NowTicks() + static_cast<Ticks>(t.hoverMs) * kTicksPerMs;
    t.hoverAnchor = Sys().cursorPos;
    return TRUE;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (proc == nullptr) {
        return 0;
    }
    return proc(window, message, wParam, lParam);
}

namespace {

LRESULT DefSetText(HWND window, Window& w, LPARAM lParam) {
    auto text = reinterpret_cast<LPCWSTR>(lParam);
    w.text = text != nullptr ? text : L"";
    if ((w.style & WS_CHILD) == 0) {
        win::InvalidateWindow(window, nullptr, false, true, false);
        if (Sys().backend != nullptr) {
            Sys().backend->TopLevelTitle(window, w.text);
        }
    }
    return TRUE;
}

LRESULT DefGetText(const Window& w, WPARAM wParam, LPARAM lParam) {
    auto* buffer = reinterpret_cast<wchar_t*>(lParam);
    int max = static_cast<int>(wParam);
    if (buffer == nullptr || max <= 0) {
        return 0;
    }
    int n = std::min(static_cast<int>(w.text.size()), max - 1);
    std::copy_n(w.text.begin(), n, buffer);
    buffer[n] = L'\0';
    return n;
}

// WM_GETICON answers the other size when the asked one is not set; WM_SETICON returns the
// icon it replaced.
LRESULT DefIcon(HWND window, Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETICON) {
        HICON icon = w.icons[wParam == ICON_BIG ? 1 : 0];
        if (icon == nullptr) {
            icon = w.icons[wParam == ICON_BIG ? 0 : 1];
        }
        return reinterpret_cast<LRESULT>(icon);
    }
    int which = wParam == ICON_BIG ? 1 : 0;
    auto old = reinterpret_cast<LRESULT>(w.icons[which]);
    w.icons[which] = reinterpret_cast<HICON>(lParam);
    win::InvalidateWindow(window, nullptr, false, true, false);
    return old;
}

LRESULT DefEraseBackground(HWND window, const Window& w, WPARAM wParam) {
    if (w.classBackground == nullptr) {
        return 0;
    }
    auto dc = reinterpret_cast<HDC>(wParam);
    RECT r;
    GetClientRect(window, &r);
    HBRUSH brush = w.classBackground;
    // A class background may name a system colour as COLOR_x + 1.
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value > 0 && value <= 31) {
        brush = GetSysColorBrush(static_cast<int>(value - 1));
    }
    FillRect(dc, &r, brush);
    return 1;
}

// A child asks its parent first; over the client area the class cursor shows, elsewhere the
// arrow.
LRESULT DefSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(window);
    if ((w->style & WS_CHILD) != 0) {
        if (win::Send(w->parent, WM_SETCURSOR, wParam, lParam) != 0) {
            return TRUE;
        }
        w = Find(window);
        if (w == nullptr) {
            return FALSE;
        }
    }
    if (LOWORD(static_cast<WPARAM>(lParam)) == HTCLIENT) {
        SetCursor(w->classCursor != nullptr ? w->classCursor : LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    }
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return FALSE;
}

LRESULT DefControlColour(UINT message, WPARAM wParam) {
    auto dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    int bk = message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(bk));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(bk));
}

// System keys of a child go to its top-level window. There Alt+F4 closes, Alt or F10 pressed
// and released alone enters the menu bar, and Alt with a letter opens the menu it names.
LRESULT DefSystemKey(HWND window, const Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    win::System& s = Sys();
    if ((w.style & WS_CHILD) != 0) {
        return win::Send(win::TopLevelOf(window), message, wParam, lParam);
    }
    if (message == WM_SYSKEYDOWN) {
        if (static_cast<int>(wParam) == VK_F4 && (GetKeyState(VK_MENU) & 0x8000) != 0) {
            win::Send(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    } else if (message == WM_SYSKEYUP) {
        if ((static_cast<int>(wParam) == VK_MENU || static_cast<int>(wParam) == VK_F10) &&
            s.altAlone) {
            s.altAlone = false;
            if (w.menu != nullptr) {
                win::MenuEnterKeyboardMode(window);
            }
        }
    } else if (w.menu != nullptr) {
        win::MenuOpenByMnemonic(window, static_cast<wchar_t>(wParam));
    } else {
        MessageBeep(0);
    }
    return 0;
}

}  // namespace

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    win::System& s = Sys();
    Window* w = Find(window);
    if (w == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_SETTEXT:
            return DefSetText(window, *w, lParam);
        case WM_GETTEXT:
            return DefGetText(*w, wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_GETICON:
        case WM_SETICON:
            return DefIcon(window, *w, message, wParam, lParam);
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(window, &ps);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_NCPAINT:
            win::PaintNonClient(window);
            return 0;
        case WM_ERASEBKGND:
            return DefEraseBackground(window, *w, wParam);
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && s.active == window &&
                (s.focus == nullptr || !win::IsDescendant(window, s.focus))) {
                win::RestoreFocus(window);
            }
            return 0;
        case WM_NCACTIVATE:
            win::InvalidateWindow(window, nullptr, false, true, false);
            return TRUE;
        case WM_SETCURSOR:
            return DefSetCursor(window, wParam, lParam);
        case WM_MOUSEWHEEL:
            if ((w->style & WS_CHILD) != 0) {
                return win::Send(w->parent, message, wParam, lParam);
            }
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return DefControlColour(message, wParam);
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            return DefSystemKey(window, *w, message, wParam, lParam);
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                win::Send(window, WM_CLOSE, 0, 0);
            }
            return 0;
        case WM_MOUSEACTIVATE:
            return 1;
        default:
            return 0;
    }
}

}  // namespace platform
