// The backend on SDL's dummy video driver with the software renderer: real SDL windows
// and events without a display.
#include "platform/sdlwin/sdl_backend.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "platform/keyboard.h"
#include "platform/sdlwin/child_view.h"
#include "platform/win/backend.h"
#include "platform/win/canvas.h"
#include "platform/win/win32.h"
#include "tests/platform/win/winsys_fixture.h"

namespace {

using namespace platform;
using namespace winsys_test;

class SdlBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        std::string error;
        if (!sdlwin::Install(&error)) {
            GTEST_SKIP() << "no SDL video: " << error;
        }
        win::ResetWindowSystem();
        ReleaseAllKeys();
        Log().clear();
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecorderProc;
        wc.lpszClassName = L"Probe";
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        ASSERT_NE(RegisterClassW(&wc), 0);
        top = CreateWindowExW(0, L"Probe", L"Sonda", WS_OVERLAPPEDWINDOW, 50, 60, 300, 200, nullptr,
                              nullptr, nullptr, nullptr);
        ASSERT_NE(top, nullptr);
        ShowWindow(top, SW_SHOW);
        Pump();
        native = static_cast<SDL_Window*>(sdlwin::NativeWindowOf(top));
        ASSERT_NE(native, nullptr);
    }
    void TearDown() override {
        if (!sdlwin::Installed()) {
            return;
        }
        win::ResetWindowSystem();
        ReleaseAllKeys();
        sdlwin::Uninstall();
    }

    // Lets the backend take the pushed events, then dispatches everything (which presents).
    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            Dispatch();
        }
        SDL_Event probe;
        if (SDL_PeepEvents(&probe, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
            WaitMessage();
        }
        Dispatch();
    }
    static void Dispatch() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    void Push(SDL_Event e) {
        ASSERT_EQ(SDL_PushEvent(&e), 1);
        Pump();
    }
    SDL_Event Key(bool down, SDL_Scancode scancode, SDL_Keycode keycode) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = SDL_GetWindowID(native);
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = keycode;
        return e;
    }
    SDL_Event WindowEvent(SDL_WindowEventID what, int d1 = 0, int d2 = 0) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = SDL_GetWindowID(native);
        e.window.event = static_cast<Uint8>(what);
        e.window.data1 = d1;
        e.window.data2 = d2;
        return e;
    }
    std::uint32_t NativePixel(int x, int y) {
        std::uint32_t pixel = 0;
        SDL_Rect r{x, y, 1, 1};
        SDL_RenderReadPixels(SDL_GetRenderer(native), &r, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
        return pixel;
    }

    HWND top = nullptr;
    SDL_Window* native = nullptr;
};

TEST_F(SdlBackendTest, TheNativeWindowShowsTheContentAreaWhereTheWindowIs) {
    RECT outer{};
    GetWindowRect(top, &outer);
    RECT content = win::ContentRect(top);
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(native, &x, &y);
    SDL_GetWindowSize(native, &w, &h);
    EXPECT_EQ((std::array<LONG, 4>{x, y, x + w, y + h}),
              (std::array<LONG, 4>{outer.left + content.left, outer.top + content.top,
                                   outer.left + content.right, outer.top + content.bottom}));
    EXPECT_STREQ(SDL_GetWindowTitle(native), "Sonda");

    // Our moves move the native window; the desktop's moves move ours.
    SetWindowPos(top, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SDL_GetWindowPosition(native, &x, &y);
    EXPECT_EQ(x, 200 + content.left);
    Push(WindowEvent(SDL_WINDOWEVENT_MOVED, 400, 300));
    GetWindowRect(top, &outer);
    EXPECT_EQ(outer.left, 400 - content.left);
    EXPECT_EQ(outer.top, 300 - content.top);
}

TEST_F(SdlBackendTest, AnIconSetAfterShowingReachesTheNativeWindowBigBeforeSmall) {
    const std::vector<std::uint32_t> red(16 * 16, 0xFFFF0000u);
    const std::vector<std::uint32_t> blue(32 * 32, 0xFF0000FFu);
    HICON small = win::CreateIconFromPixels(16, 16, red.data());
    HICON big = win::CreateIconFromPixels(32, 32, blue.data());
    // The native window takes the icon when the window system next presents the window.
    auto setIcon = [&](WPARAM which, HICON icon) {
        SendMessageW(top, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        Pump();
    };
    setIcon(ICON_SMALL, small);
    EXPECT_EQ(sdlwin::NativeIconOf(top), small);
    setIcon(ICON_BIG, big);
    EXPECT_EQ(sdlwin::NativeIconOf(top), big);
    setIcon(ICON_SMALL, small);
    EXPECT_EQ(sdlwin::NativeIconOf(top), big);
}

TEST_F(SdlBackendTest, KeysReachTheFocusWindowAndTheKeyTableWithTheirSide) {
    SetFocus(top);
    Push(Key(true, SDL_SCANCODE_LCTRL, SDLK_LCTRL));
    EXPECT_NE(GetKeyState(VK_LCONTROL) & 0x8000, 0);
    EXPECT_EQ(GetKeyState(VK_RCONTROL) & 0x8000, 0);
    EXPECT_EQ(Params(top, WM_KEYDOWN), std::vector<WPARAM>{VK_CONTROL});
    Push(Key(false, SDL_SCANCODE_LCTRL, SDLK_LCTRL));
    EXPECT_EQ(GetKeyState(VK_LCONTROL) & 0x8000, 0);

    // A letter key gives its character through the loop's translation, once.
    Log().clear();
    Push(Key(true, SDL_SCANCODE_G, SDLK_g));
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.text[0] = 'g';
    Push(text);
    EXPECT_EQ(Params(top, WM_CHAR), std::vector<WPARAM>{'g'});

    // Another program takes the keyboard: keys held are released, and the game's window is no
    // longer the foreground window.
    EXPECT_NE(GetKeyState('G') & 0x8000, 0);
    Push(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_EQ(GetKeyState('G') & 0x8000, 0);
    if (SDL_GetKeyboardFocus() == nullptr) {
        EXPECT_EQ(GetForegroundWindow(), nullptr);
    }
    Push(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
    EXPECT_EQ(GetForegroundWindow(), top);
}

TEST_F(SdlBackendTest, ClicksArriveInClientCoordinatesMinimisingAsSizeMessagesAndCloseAsks) {
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.windowID = SDL_GetWindowID(native);
    click.button.button = SDL_BUTTON_LEFT;
    click.button.x = 10;
    click.button.y = 12;
    Push(click);
    EXPECT_EQ(Params(top, WM_LBUTTONDOWN, &Received::lParam),
              std::vector<LPARAM>{MAKELPARAM(10, 12)});
    Log().clear();
    Push(WindowEvent(SDL_WINDOWEVENT_MINIMIZED));
    EXPECT_TRUE(IsIconic(top));
    Push(WindowEvent(SDL_WINDOWEVENT_RESTORED));
    EXPECT_FALSE(IsIconic(top));
    EXPECT_EQ(Params(top, WM_SIZE), (std::vector<WPARAM>{SIZE_MINIMIZED, SIZE_RESTORED}));

    Push(WindowEvent(SDL_WINDOWEVENT_CLOSE));
    EXPECT_EQ(Count(top, WM_CLOSE), 1);
    // Default processing destroyed it, and its native window with it.
    EXPECT_FALSE(IsWindow(top));
    EXPECT_EQ(sdlwin::NativeWindowOf(top), nullptr);
}

TEST_F(SdlBackendTest, PresentedPixelsShowTheWindowWithTheChildsFrameOverIt) {
    HWND child = CreateWindowExW(0, L"Probe", L"", WS_CHILD | WS_VISIBLE, 30, 20, 40, 30, top,
                                 nullptr, nullptr, nullptr);
    Pump();
    // Without a menu or edge the content area is the client area: the child's client area
    // lies at its place in the native window.
    const RECT placed{30, 20, 70, 50};
    const RECT* view = &placed;

    RECT content = win::ContentRect(top);
    const win::Surface* surface = win::TopLevelSurface(top);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(NativePixel(5, 5), surface->At(content.left + 5, content.top + 5));

    std::vector<std::uint32_t> red(40 * 30, 0xFFFF0000u);
    sdlwin::ShowChildFrame(child, 40, 30, red.data());
    EXPECT_EQ(NativePixel(view->left + 1, view->top + 1), 0xFFFF0000u);
    EXPECT_EQ(NativePixel(view->right - 1, view->bottom - 1), 0xFFFF0000u);
    EXPECT_EQ(NativePixel(view->right + 1, view->top + 1),
              surface->At(content.left + view->right + 1, content.top + view->top + 1));
    sdlwin::RemoveChildFrame(child);
}

TEST_F(SdlBackendTest, OwnedWindowsStayOffTheTaskBarAndTakeTheKeyboardOfTheirDisabledOwner) {
    HWND dialog = CreateWindowExW(0, L"Probe", L"Dialogo", WS_POPUP | WS_CAPTION | WS_VISIBLE, 80,
                                  90, 120, 80, top, nullptr, nullptr, nullptr);
    EnableWindow(top, FALSE);
    Pump();
    auto* owned = static_cast<SDL_Window*>(sdlwin::NativeWindowOf(dialog));
    ASSERT_NE(owned, nullptr);
    EXPECT_NE(SDL_GetWindowFlags(owned) & SDL_WINDOW_SKIP_TASKBAR, 0u);
    EXPECT_EQ(SDL_GetWindowFlags(native) & SDL_WINDOW_SKIP_TASKBAR, 0u);

    // Another window of ours was active; the program loses the keyboard; the desktop gives
    // it back to the disabled owner: the dialog takes it.
    HWND other = CreateWindowExW(0, L"Probe", L"Altro", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300,
                                 100, 80, nullptr, nullptr, nullptr, nullptr);
    Pump();
    ASSERT_EQ(GetActiveWindow(), other);
    Log().clear();
    Push(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    if (SDL_GetKeyboardFocus() == nullptr) {
        EXPECT_EQ(Params(top, WM_ACTIVATEAPP), std::vector<WPARAM>{FALSE});
    }
    Push(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(GetForegroundWindow(), dialog);
    ASSERT_FALSE(Params(top, WM_ACTIVATEAPP).empty());
    EXPECT_EQ(Params(top, WM_ACTIVATEAPP).back(), static_cast<WPARAM>(TRUE));
}

TEST_F(SdlBackendTest, GetMessageWakesForTheNextTimer) {
    SetTimer(top, 7, 20, nullptr);
    MSG msg{};
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    while (msg.message != WM_TIMER) {
        DispatchMessageW(&msg);
        ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    }
    EXPECT_EQ(msg.wParam, 7u);
    KillTimer(top, 7);
}

}  // namespace
