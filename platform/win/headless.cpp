#include "platform/win/headless.h"

#include <chrono>
#include <cstdio>
#include <deque>
#include <map>
#include <thread>

#include "platform/win/internal.h"

namespace platform::headless {
namespace {

class HeadlessBackend : public win::Backend {
  public:
    SIZE screen{1280, 1024};
    FakeClock* clock = nullptr;
    std::function<bool()> idle;
    std::deque<win::MessageBoxAnswer> answers;
    std::function<win::MessageBoxAnswer(const win::MessageBoxRequest&)> script;
    std::vector<win::MessageBoxRequest> log;
    std::map<HWND, int> presents;
    int cursor = 32512;
    bool cursorIdleHiding = false;

    SIZE ScreenSize() override { return screen; }
    void TopLevelCreated(HWND) override {}
    void TopLevelDestroyed(HWND window) override { presents.erase(window); }
    void TopLevelShown(HWND, bool) override {}
    void TopLevelMoved(HWND, const RECT&) override {}
    void TopLevelTitle(HWND, const std::wstring&) override {}
    void TopLevelActivated(HWND) override {}
    void Present(HWND window, const win::Surface&) override { ++presents[window]; }
    void SetCursorShape(int id) override { cursor = id; }
    void SetCursorIdleHiding(bool on) override { cursorIdleHiding = on; }

    bool Wait(std::optional<Ticks> deadline) override {
        if (idle && idle()) {
            return true;
        }
        if (!deadline) {
            return false;
        }
        if (clock != nullptr) {
            if (clock->Now() < *deadline) {
                clock->Set(*deadline);
            }
            return true;
        }
        Ticks now = MonotonicNow();
        if (*deadline > now) {
            std::this_thread::sleep_for(std::chrono::microseconds((*deadline - now) / 10));
        }
        return true;
    }

    win::MessageBoxAnswer MessageBoxOpened(const win::MessageBoxRequest& request) override {
        log.push_back(request);
        if (!answers.empty()) {
            win::MessageBoxAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        if (script) {
            return script(request);
        }
        int cancel = IDOK;
        switch (request.type & MB_TYPEMASK) {
            case MB_YESNO:
                cancel = IDNO;
                break;
            case MB_OKCANCEL:
            case MB_YESNOCANCEL:
                cancel = IDCANCEL;
                break;
            default:
                break;
        }
        return win::MessageBoxAnswer{cancel, 0};
    }
};

HeadlessBackend& Backend() {
    static HeadlessBackend backend;
    return backend;
}

Image ToImage(const win::Surface& s) {
    Image image;
    image.width = s.width;
    image.height = s.height;
    image.pixels = s.pixels;
    return image;
}

}  // namespace

void Install(int screenWidth, int screenHeight) {
    Backend().screen = SIZE{screenWidth, screenHeight};
    win::SetBackend(&Backend());
    InstallMessageBoxes();
}

void Reset() {
    win::ResetWindowSystem();
    HeadlessBackend& b = Backend();
    b.idle = nullptr;
    b.answers.clear();
    b.script = nullptr;
    b.log.clear();
    b.presents.clear();
    b.clock = nullptr;
    b.cursor = 32512;
    b.cursorIdleHiding = false;
}

void UseFakeClock(FakeClock* clock) {
    Backend().clock = clock;
}
void SetIdleHook(std::function<bool()> hook) {
    Backend().idle = std::move(hook);
}

void KeyDown(int virtualKey) {
    win::InputKey(virtualKey, true);
}
void KeyUp(int virtualKey) {
    win::InputKey(virtualKey, false);
}
void PressKey(int virtualKey) {
    win::InputKey(virtualKey, true);
    win::InputKey(virtualKey, false);
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        win::InputChar(c);
    }
}

void MouseMove(int x, int y) {
    win::InputMouseMove(x, y);
}
void MouseDown(int x, int y, int button) {
    win::InputMouseButton(button, true, x, y);
}
void MouseUp(int x, int y, int button) {
    win::InputMouseButton(button, false, x, y);
}
void Click(int x, int y, int button) {
    win::InputMouseMove(x, y);
    win::InputMouseButton(button, true, x, y);
    win::InputMouseButton(button, false, x, y);
}
void Wheel(int delta, int x, int y) {
    win::InputMouseWheel(delta, x, y);
}

void SetApplicationActive(bool active) {
    win::InputApplicationActive(active);
}

void Minimize(HWND window, bool minimized) {
    win::InputMinimized(window, minimized);
}

POINT ClientPoint(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

void ClickClient(HWND window, int x, int y, int button) {
    POINT p = ClientPoint(window, x, y);
    Click(p.x, p.y, button);
}

int RunUntilIdle(HWND dialog) {
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ++count;
        if (count > 1000000) {
            std::fprintf(stderr, "RunUntilIdle: the queue never empties\n");
            break;
        }
        if (dialog != nullptr && IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return count;
}

void RunFor(int ms, HWND dialog) {
    HeadlessBackend& b = Backend();
    Ticks end = MonotonicNow() + static_cast<Ticks>(ms) * kTicksPerMs;
    for (;;) {
        RunUntilIdle(dialog);
        if (QuitPosted() || b.clock == nullptr) {
            return;
        }
        std::optional<Ticks> next = win::NextMessageDeadline();
        if (next && *next <= end) {
            if (b.clock->Now() < *next) {
                b.clock->Set(*next);
            }
            continue;
        }
        if (b.clock->Now() < end) {
            b.clock->Set(end);
        }
        RunUntilIdle(dialog);
        return;
    }
}

bool QuitPosted() {
    return win::Sys().quitPosted;
}

void QueueMessageBoxAnswer(int result, int afterMs) {
    Backend().answers.push_back(win::MessageBoxAnswer{result, afterMs});
}

void SetMessageBoxScript(
    std::function<win::MessageBoxAnswer(const win::MessageBoxRequest&)> script) {
    Backend().script = std::move(script);
}

const std::vector<win::MessageBoxRequest>& MessageBoxLog() {
    return Backend().log;
}

std::optional<Image> WindowImage(HWND window) {
    auto surface = win::CaptureWindow(window);
    if (!surface) {
        return std::nullopt;
    }
    return ToImage(*surface);
}

bool SaveWindowPng(HWND window, const std::string& path) {
    auto image = WindowImage(window);
    return image && WritePngFile(path, *image);
}

Image ScreenImage() {
    win::Surface screen;
    screen.Resize(Backend().screen.cx, Backend().screen.cy, 0xFF3A6EA5u);
    for (HWND h : win::Sys().topLevels) {
        win::Window* w = win::Find(h);
        if (w == nullptr || (w->style & WS_VISIBLE) == 0 || !w->surface) {
            continue;
        }
        const win::Surface& s = *w->surface;
        for (int y = 0; y < s.height; ++y) {
            int sy = w->rect.top + y;
            if (sy < 0 || sy >= screen.height) {
                continue;
            }
            for (int x = 0; x < s.width; ++x) {
                int sx = w->rect.left + x;
                if (sx < 0 || sx >= screen.width) {
                    continue;
                }
                screen
                    .pixels[static_cast<std::size_t>(sy) * static_cast<std::size_t>(screen.width) +
                            static_cast<std::size_t>(sx)] = s.At(x, y);
            }
        }
    }
    return ToImage(screen);
}

bool SaveScreenPng(const std::string& path) {
    return WritePngFile(path, ScreenImage());
}

std::uint32_t ClientPixel(HWND window, int x, int y) {
    win::Window* w = win::Find(window);
    if (w == nullptr) {
        return 0;
    }
    const win::Surface* top = win::TopLevelSurface(win::TopLevelOf(window));
    if (top == nullptr) {
        return 0;
    }
    POINT o = win::SurfaceOrigin(*w);
    RECT c = win::ClientRectInWindow(*w);
    int sx = o.x + c.left + x;
    int sy = o.y + c.top + y;
    if (sx < 0 || sy < 0 || sx >= top->width || sy >= top->height) {
        return 0;
    }
    return top->At(sx, sy) & 0xFFFFFF;
}

int PresentCount(HWND window) {
    auto it = Backend().presents.find(window);
    return it == Backend().presents.end() ? 0 : it->second;
}

int CursorShape() {
    return Backend().cursor;
}

bool CursorIdleHiding() {
    return Backend().cursorIdleHiding;
}

}  // namespace platform::headless
