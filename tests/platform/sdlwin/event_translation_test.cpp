#include "platform/sdlwin/event_translation.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <map>

namespace {

using namespace platform;
using namespace platform::sdlwin;
using Kind = InputAction::Kind;

const HWND kMain = reinterpret_cast<HWND>(std::uintptr_t{0x10010});
const HWND kMenu = reinterpret_cast<HWND>(std::uintptr_t{0x10020});

// Two native windows: the main window showing at (200, 100) on the screen, a menu at (230, 140).
class TranslationTest : public ::testing::Test {
  protected:
    std::map<std::uint32_t, WindowPlace> places{
        {7, WindowPlace{kMain, POINT{200, 100}, true, false, 1.0, {}}},
        {8, WindowPlace{kMenu, POINT{230, 140}, true, true, 1.0, {}}},
    };
    EventTranslator translator{[this](std::uint32_t id) -> std::optional<WindowPlace> {
        auto it = places.find(id);
        if (it == places.end()) {
            return std::nullopt;
        }
        return it->second;
    }};

    static SDL_Event Key(bool down, SDL_Scancode scancode, SDL_Keycode keycode) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = keycode;
        return e;
    }
    static SDL_Event Window(std::uint32_t id, SDL_WindowEventID what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = id;
        e.window.event = static_cast<Uint8>(what);
        return e;
    }
    static SDL_Event Button(std::uint32_t id, bool down, Uint8 button, int x, int y) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = id;
        e.button.button = button;
        e.button.x = x;
        e.button.y = y;
        return e;
    }
    static SDL_Event Motion(std::uint32_t id, int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = id;
        e.motion.x = x;
        e.motion.y = y;
        return e;
    }
    static SDL_Event Text(const char* utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
        return e;
    }
};

TEST_F(TranslationTest, ModifierKeysKeepTheirSideAndOtherKeysTheirCode) {
    auto left = translator.Translate(Key(true, SDL_SCANCODE_LCTRL, SDLK_LCTRL));
    translator.Translate(Key(true, SDL_SCANCODE_RCTRL, SDLK_RCTRL));
    auto g = translator.Translate(Key(true, SDL_SCANCODE_G, SDLK_g));
    ASSERT_EQ(left.size(), 1u);
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(left[0].kind, Kind::Key);
    EXPECT_EQ(left[0].key, VK_LCONTROL);
    EXPECT_TRUE(left[0].down);
    EXPECT_EQ(g[0].key, 'G');
    auto up = translator.Translate(Key(false, SDL_SCANCODE_LCTRL, SDLK_LCTRL));
    ASSERT_EQ(up.size(), 1u);
    EXPECT_FALSE(up[0].down);
    EXPECT_FALSE(translator.KeyHeld(VK_LCONTROL));
    EXPECT_TRUE(translator.KeyHeld(VK_RCONTROL));
    // A key without a virtual-key code gives nothing.
    EXPECT_TRUE(
        translator.Translate(Key(true, SDL_SCANCODE_APPLICATION, SDLK_APPLICATION)).empty());
}

TEST_F(TranslationTest, LosingTheFocusReleasesTheHeldKeysOnly) {
    translator.Translate(Key(true, SDL_SCANCODE_LEFT, SDLK_LEFT));
    translator.Translate(Key(true, SDL_SCANCODE_LCTRL, SDLK_LCTRL));
    translator.Translate(Key(true, SDL_SCANCODE_G, SDLK_g));
    translator.Translate(Key(false, SDL_SCANCODE_G, SDLK_g));
    auto out = translator.Translate(Window(7, SDL_WINDOWEVENT_FOCUS_LOST));
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].kind, Kind::Key);
    EXPECT_FALSE(out[0].down);
    EXPECT_EQ(out[1].kind, Kind::Key);
    EXPECT_FALSE(out[1].down);
    EXPECT_EQ((std::vector<int>{out[0].key, out[1].key}), (std::vector<int>{VK_LEFT, VK_LCONTROL}));
    EXPECT_EQ(out[2].kind, Kind::FocusLost);
    EXPECT_EQ(out[2].window, kMain);
    // Nothing stays held: a second loss releases nothing.
    EXPECT_EQ(translator.Translate(Window(7, SDL_WINDOWEVENT_FOCUS_LOST)).size(), 1u);
}

TEST_F(TranslationTest, TextGivesOnlyTheCharactersKeyTranslationCannot) {
    EXPECT_TRUE(translator.Translate(Text("ciao G!")).empty());
    auto accented = translator.Translate(Text("\xC3\xA8x\xE2\x82\xAC"));  // "è", "x", "€"
    ASSERT_EQ(accented.size(), 2u);
    EXPECT_EQ(accented[0].kind, Kind::Char);
    EXPECT_EQ(accented[0].character, L'\u00E8');
    EXPECT_EQ(accented[1].character, L'\u20AC');
    // A character beyond 16 bits arrives whole, not as two halves.
    auto astral = translator.Translate(Text("\xF0\x9F\x9A\x80"));
    ASSERT_EQ(astral.size(), 1u);
    EXPECT_EQ(static_cast<std::uint32_t>(astral[0].character), 0x1F680u);
}

TEST_F(TranslationTest, MouseEventsArriveInScreenCoordinates) {
    auto move = translator.Translate(Motion(7, 15, 25));
    ASSERT_EQ(move.size(), 1u);
    EXPECT_EQ(move[0].kind, Kind::MouseMove);
    EXPECT_EQ(move[0].x, 215);
    EXPECT_EQ(move[0].y, 125);

    // Pressing where the pointer already is: the button alone.
    auto press = translator.Translate(Button(7, true, SDL_BUTTON_LEFT, 15, 25));
    ASSERT_EQ(press.size(), 1u);
    EXPECT_EQ(press[0].kind, Kind::MouseButton);
    EXPECT_EQ(press[0].button, 0);
    EXPECT_TRUE(press[0].down);
    EXPECT_EQ(press[0].x, 215);

    // Releasing over the menu's window, somewhere no motion reported: moved there first.
    auto release = translator.Translate(Button(8, false, SDL_BUTTON_RIGHT, 4, 6));
    ASSERT_EQ(release.size(), 2u);
    EXPECT_EQ(release[0].kind, Kind::MouseMove);
    EXPECT_EQ(release[0].x, 234);
    EXPECT_EQ(release[0].y, 146);
    EXPECT_EQ(release[1].button, 1);
    EXPECT_FALSE(release[1].down);

    EXPECT_EQ(translator.Translate(Button(7, true, SDL_BUTTON_MIDDLE, 15, 25)).back().button, 2);
    EXPECT_TRUE(translator.Translate(Button(7, true, SDL_BUTTON_X1, 15, 25)).empty());
    // Windows that are not ours give nothing.
    EXPECT_TRUE(translator.Translate(Motion(99, 1, 1)).empty());
    EXPECT_TRUE(translator.Translate(Button(99, true, SDL_BUTTON_LEFT, 1, 1)).empty());
}

TEST_F(TranslationTest, PointsOfAScaledWindowMapBackToItsLogicalPixels) {
    // The main window at 2.5 device pixels per logical one, 30 pixels of bar at its left:
    // the first and the last device pixel of each logical pixel give that pixel.
    places[7].map = platform::win::ScaleMap{2.5, POINT{30, 0}};
    for (const POINT p : {POINT{0, 0}, POINT{1, 1}, POINT{639, 480}, POINT{320, 17}}) {
        const POINT first = places[7].map.ToDevice(p);
        const POINT last = places[7].map.ToDevice(POINT{p.x + 1, p.y + 1});
        for (const POINT in : {first, POINT{last.x - 1, last.y - 1}}) {
            const auto move = translator.Translate(Motion(7, in.x, in.y));
            ASSERT_EQ(move.size(), 1u);
            EXPECT_EQ(move[0].x, 200 + p.x) << in.x;
            EXPECT_EQ(move[0].y, 100 + p.y) << in.y;
        }
    }
    // On a desktop of two pixels per point at twice the scale, a point is a logical pixel.
    places[7].pixelsPerPoint = 2.0;
    places[7].map = platform::win::ScaleMap{2.0, POINT{0, 0}};
    EXPECT_EQ(translator.Translate(Motion(7, 123, 45))[0].x, 323);
}

TEST_F(TranslationTest, WheelNotchesBecomeWheelDeltasAtThePointer) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = 7;
    e.wheel.y = 2;
    e.wheel.mouseX = 10;
    e.wheel.mouseY = 20;
    auto up = translator.Translate(e);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].kind, Kind::Wheel);
    EXPECT_EQ(up[0].delta, 240);
    EXPECT_EQ(up[0].x, 210);
    EXPECT_EQ(up[0].y, 120);

    e.wheel.y = 1;
    e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    EXPECT_EQ(translator.Translate(e)[0].delta, -120);

    // Sideways scrolling only: nothing for a vertical wheel.
    e.wheel.y = 0;
    e.wheel.x = 3;
    EXPECT_TRUE(translator.Translate(e).empty());
}

TEST_F(TranslationTest, WindowEventsRespectDisabledWindowsAndMenus) {
    auto close = translator.Translate(Window(7, SDL_WINDOWEVENT_CLOSE));
    ASSERT_EQ(close.size(), 1u);
    EXPECT_EQ(close[0].kind, Kind::Close);
    EXPECT_EQ(close[0].window, kMain);
    auto focus = translator.Translate(Window(7, SDL_WINDOWEVENT_FOCUS_GAINED));
    ASSERT_EQ(focus.size(), 1u);
    EXPECT_EQ(focus[0].kind, Kind::Activate);

    // A menu is never activated or closed by the desktop.
    EXPECT_TRUE(translator.Translate(Window(8, SDL_WINDOWEVENT_CLOSE)).empty());
    EXPECT_TRUE(translator.Translate(Window(8, SDL_WINDOWEVENT_FOCUS_GAINED)).empty());
    // A window disabled under its modal box is not closed, and the keyboard it takes is
    // for its box.
    places[7].enabled = false;
    EXPECT_TRUE(translator.Translate(Window(7, SDL_WINDOWEVENT_CLOSE)).empty());
    focus = translator.Translate(Window(7, SDL_WINDOWEVENT_FOCUS_GAINED));
    ASSERT_EQ(focus.size(), 1u);
    EXPECT_EQ(focus[0].kind, Kind::FocusOnDisabled);
    // But it still repaints.
    EXPECT_EQ(translator.Translate(Window(7, SDL_WINDOWEVENT_EXPOSED))[0].kind, Kind::Redraw);

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(translator.Translate(quit)[0].kind, Kind::Quit);
}

TEST(WaitTimeout, WaitsWholeMillisecondsNeverPastTheDeadline) {
    const Ticks now = 1'000'000 * kTicksPerMs;
    EXPECT_EQ(WaitTimeoutMs(std::nullopt, now), -1);
    EXPECT_EQ(WaitTimeoutMs(now, now), 0);
    EXPECT_EQ(WaitTimeoutMs(now - 5 * kTicksPerMs, now), 0);
    EXPECT_EQ(WaitTimeoutMs(now + 1, now), 0);
    EXPECT_EQ(WaitTimeoutMs(now + 30 * kTicksPerMs, now), 30);
    EXPECT_EQ(WaitTimeoutMs(now + 30 * kTicksPerMs + 9999, now), 30);
    EXPECT_EQ(WaitTimeoutMs(now + (Ticks{1} << 50), now), INT_MAX);
}

TEST(Conversions, CursorsAndTitles) {
    EXPECT_EQ(SystemCursorFor(32513), SDL_SYSTEM_CURSOR_IBEAM);
    EXPECT_EQ(SystemCursorFor(12345), SDL_SYSTEM_CURSOR_ARROW);

    EXPECT_EQ(Utf8FromWide(L"Kryx Space"), "Kryx Space");
    EXPECT_EQ(Utf8FromWide(L"Perch\u00E9 \u20AC"), "Perch\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(Utf8FromWide(std::wstring(1, static_cast<wchar_t>(0x1F680))), "\xF0\x9F\x9A\x80");
    // A lone surrogate is no character: the replacement character stands in.
    EXPECT_EQ(Utf8FromWide(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
