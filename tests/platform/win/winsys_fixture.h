// Shared set-up for the window-system tests: a clean headless window system with a fake
// clock, and a window class that records the messages it receives.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/win/headless.h"
#include "platform/win/win32.h"

namespace winsys_test {

using namespace platform;

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Messages seen by windows of the "Recorder" class, in order.
inline std::vector<Received>& Log() {
    static std::vector<Received> log;
    return log;
}

// Optional per-test behaviour of the recorder: return true when the message is handled,
// with its result in *result.
inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>& Hook() {
    static std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> hook;
    return hook;
}

inline LRESULT RecorderProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    Log().push_back(Received{h, m, wp, lp});
    LRESULT result = 0;
    if (Hook() && Hook()(h, m, wp, lp, &result)) {
        return result;
    }
    return DefWindowProcW(h, m, wp, lp);
}

inline std::vector<UINT> MessagesFor(HWND h) {
    std::vector<UINT> out;
    for (const auto& r : Log()) {
        if (r.window == h) {
            out.push_back(r.message);
        }
    }
    return out;
}

// The wParam (or the field given) of each `message` that `h` received, in order.
template <typename T = WPARAM>
std::vector<T> Params(HWND h, UINT message, T Received::*field = &Received::wParam) {
    std::vector<T> out;
    for (const auto& r : Log()) {
        if (r.window == h && r.message == message) {
            out.push_back(r.*field);
        }
    }
    return out;
}

inline std::wstring Text(HWND h) {
    wchar_t buffer[256];
    GetWindowTextW(h, buffer, 256);
    return buffer;
}

// A rectangle as {left, top, right, bottom}, to compare in one line.
inline std::array<LONG, 4> Edges(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

inline std::array<LONG, 4> ClientEdges(HWND h) {
    RECT r{};
    GetClientRect(h, &r);
    return Edges(r);
}

// An edit box's selection: {start, end}.
inline std::pair<DWORD, DWORD> Selection(HWND edit) {
    DWORD lo = 0;
    DWORD hi = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    return {lo, hi};
}

inline int Count(HWND h, UINT message) {
    return static_cast<int>(Params(h, message).size());
}

// Presses the keys one after the other, each with `modifier` held when given, then lets the
// queue run (through the dialog's keys when one is given).
inline void Press(std::initializer_list<int> keys, int modifier = 0, HWND dialog = nullptr) {
    if (modifier != 0) {
        headless::KeyDown(modifier);
    }
    for (int key : keys) {
        headless::PressKey(key);
    }
    if (modifier != 0) {
        headless::KeyUp(modifier);
    }
    headless::RunUntilIdle(dialog);
}

// Types the text to the focus window, then lets the queue run.
inline void Type(const std::wstring& text) {
    headless::TypeText(text);
    headless::RunUntilIdle();
}

// A click at a point of the window's client area, then lets the queue run.
inline void ClickAt(HWND window, int x, int y) {
    headless::ClickClient(window, x, y);
    headless::RunUntilIdle();
}

// Moves the mouse to a point of the window's client area, then lets the queue run.
inline void MoveTo(HWND window, int x, int y) {
    const POINT p = headless::ClientPoint(window, x, y);
    headless::MouseMove(p.x, p.y);
    headless::RunUntilIdle();
}

// A click at a screen point, then lets the queue run.
inline void ClickAt(int x, int y) {
    headless::Click(x, y);
    headless::RunUntilIdle();
}

class WinsysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::Install();
        headless::Reset();
        headless::UseFakeClock(&clock_.clock());
        Log().clear();
        Hook() = nullptr;
        WNDCLASSW wc;
        wc.lpfnWndProc = RecorderProc;
        wc.lpszClassName = L"Recorder";
        wc.style = CS_DBLCLKS;
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        ASSERT_NE(RegisterClassW(&wc), 0);
    }
    void TearDown() override {
        Hook() = nullptr;
        headless::Reset();
    }

    HWND TopLevel(DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, int x = 100,
                  int y = 100, int w = 300, int h = 200, HWND owner = nullptr) {
        return CreateWindowExW(0, L"Recorder", L"Top", style, x, y, w, h, owner, nullptr, nullptr,
                               nullptr);
    }
    HWND Child(HWND parent, const wchar_t* cls, int id, DWORD style, int x = 10, int y = 10,
               int w = 80, int h = 25, const wchar_t* text = L"") {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr,
                               nullptr);
    }

    ScopedFakeClock clock_;
};

}  // namespace winsys_test
