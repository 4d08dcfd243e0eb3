#include "platform/sdlwin/event_translation.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace platform;
using namespace platform::sdlwin;
using Kind = InputAction::Kind;
using Lines = std::vector<std::string>;

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
    static SDL_Event Wheel(int x, int y, bool flipped = false) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.windowID = 7;
        e.wheel.x = x;
        e.wheel.y = y;
        e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
        e.wheel.mouseX = 10;
        e.wheel.mouseY = 20;
        return e;
    }

    // Translates the event and describes each action in a line.
    std::vector<std::string> Run(const SDL_Event& event) {
        static const char* const kKinds[] = {
            "key",       "char",       "move",  "button", "wheel", "activate", "focus-on-disabled",
            "minimized", "focus-lost", "close", "redraw", "moved", "quit"};
        std::vector<std::string> out;
        for (const InputAction& a : translator.Translate(event)) {
            std::string line = kKinds[static_cast<int>(a.kind)];
            const std::string xy = " " + std::to_string(a.x) + "," + std::to_string(a.y);
            const std::string updown = a.down ? " down" : " up";
            switch (a.kind) {
                case Kind::Key:
                    line += " " + std::to_string(a.key) + updown;
                    break;
                case Kind::Char:
                    line += " " + std::to_string(std::uint32_t(a.character));
                    break;
                case Kind::MouseMove:
                    line += xy;
                    break;
                case Kind::MouseButton:
                    line += " " + std::to_string(a.button) + updown + xy;
                    break;
                case Kind::Wheel:
                    line += " " + std::to_string(a.delta) + xy;
                    break;
                default:
                    line += a.window == kMain ? " main" : a.window == kMenu ? " menu" : "";
            }
            out.push_back(line);
        }
        return out;
    }
};

TEST_F(TranslationTest, ModifierKeysKeepTheirSideAndOtherKeysTheirCode) {
    EXPECT_EQ(Run(Key(true, SDL_SCANCODE_LCTRL, SDLK_LCTRL)),
              Lines{"key 162 down"});  // VK_LCONTROL
    Run(Key(true, SDL_SCANCODE_RCTRL, SDLK_RCTRL));
    EXPECT_EQ(Run(Key(true, SDL_SCANCODE_G, SDLK_g)), Lines{"key 71 down"});
    EXPECT_EQ(Run(Key(false, SDL_SCANCODE_LCTRL, SDLK_LCTRL)), Lines{"key 162 up"});
    EXPECT_FALSE(translator.KeyHeld(VK_LCONTROL));
    EXPECT_TRUE(translator.KeyHeld(VK_RCONTROL));
    // A key without a virtual-key code gives nothing.
    EXPECT_TRUE(Run(Key(true, SDL_SCANCODE_APPLICATION, SDLK_APPLICATION)).empty());
}

TEST_F(TranslationTest, LosingTheFocusReleasesTheHeldKeysOnly) {
    Run(Key(true, SDL_SCANCODE_LEFT, SDLK_LEFT));
    Run(Key(true, SDL_SCANCODE_LCTRL, SDLK_LCTRL));
    Run(Key(true, SDL_SCANCODE_G, SDLK_g));
    Run(Key(false, SDL_SCANCODE_G, SDLK_g));
    EXPECT_EQ(Run(Window(7, SDL_WINDOWEVENT_FOCUS_LOST)),
              (Lines{"key 37 up", "key 162 up", "focus-lost main"}));  // VK_LEFT, VK_LCONTROL
    // Nothing stays held: a second loss releases nothing.
    EXPECT_EQ(Run(Window(7, SDL_WINDOWEVENT_FOCUS_LOST)), Lines{"focus-lost main"});
}

TEST_F(TranslationTest, TextGivesOnlyTheCharactersKeyTranslationCannot) {
    EXPECT_TRUE(Run(Text("ciao G!")).empty());
    EXPECT_EQ(Run(Text("\xC3\xA8x\xE2\x82\xAC")), (Lines{"char 232", "char 8364"}));  // è x €
    // A character beyond 16 bits arrives whole, not as two halves.
    EXPECT_EQ(Run(Text("\xF0\x9F\x9A\x80")), Lines{"char 128640"});
}

TEST_F(TranslationTest, MouseEventsArriveInScreenCoordinates) {
    EXPECT_EQ(Run(Motion(7, 15, 25)), Lines{"move 215,125"});
    // Pressing where the pointer already is: the button alone.
    EXPECT_EQ(Run(Button(7, true, SDL_BUTTON_LEFT, 15, 25)), Lines{"button 0 down 215,125"});
    // Releasing over the menu's window, somewhere no motion reported: moved there first.
    EXPECT_EQ(Run(Button(8, false, SDL_BUTTON_RIGHT, 4, 6)),
              (Lines{"move 234,146", "button 1 up 234,146"}));
    EXPECT_EQ(Run(Button(8, true, SDL_BUTTON_MIDDLE, 4, 6)), Lines{"button 2 down 234,146"});
    EXPECT_TRUE(Run(Button(7, true, SDL_BUTTON_X1, 15, 25)).empty());
    // Windows that are not ours give nothing.
    EXPECT_TRUE(Run(Motion(99, 1, 1)).empty());
    EXPECT_TRUE(Run(Button(99, true, SDL_BUTTON_LEFT, 1, 1)).empty());
}

TEST_F(TranslationTest, PointsOfAScaledWindowMapBackToItsLogicalPixels) {
    // 2.5 device pixels per logical one and 30 of bar at the left: the first and the last
    // device pixel of logical (639, 480) give that pixel (the window shows at 200, 100).
    places[7].map = platform::win::ScaleMap{2.5, POINT{30, 0}};
    const POINT first = places[7].map.ToDevice(POINT{639, 480});
    const POINT last = places[7].map.ToDevice(POINT{640, 481});
    EXPECT_EQ(Run(Motion(7, first.x, first.y)), Lines{"move 839,580"});
    EXPECT_EQ(Run(Motion(7, last.x - 1, last.y - 1)), Lines{"move 839,580"});
    // On a desktop of two pixels per point at twice the scale, a point is a logical pixel.
    places[7].pixelsPerPoint = 2.0;
    places[7].map = platform::win::ScaleMap{2.0, POINT{0, 0}};
    EXPECT_EQ(Run(Motion(7, 123, 45)), Lines{"move 323,145"});
}

TEST_F(TranslationTest, WheelNotchesBecomeWheelDeltasAtThePointer) {
    EXPECT_EQ(Run(Wheel(0, 2)), Lines{"wheel 240 210,120"});
    EXPECT_EQ(Run(Wheel(0, 1, true)), Lines{"wheel -120 210,120"});
    // Sideways scrolling only: nothing for a vertical wheel.
    EXPECT_TRUE(Run(Wheel(3, 0)).empty());
}

TEST_F(TranslationTest, WindowEventsRespectDisabledWindowsAndMenus) {
    EXPECT_EQ(Run(Window(7, SDL_WINDOWEVENT_CLOSE)), Lines{"close main"});
    EXPECT_EQ(Run(Window(7, SDL_WINDOWEVENT_FOCUS_GAINED)), Lines{"activate main"});
    // A menu is never activated or closed by the desktop.
    EXPECT_TRUE(Run(Window(8, SDL_WINDOWEVENT_CLOSE)).empty());
    EXPECT_TRUE(Run(Window(8, SDL_WINDOWEVENT_FOCUS_GAINED)).empty());
    // A window disabled under its modal box is not closed, and the keyboard it takes is for its
    // box; but it still repaints.
    places[7].enabled = false;
    EXPECT_TRUE(Run(Window(7, SDL_WINDOWEVENT_CLOSE)).empty());
    EXPECT_EQ(Run(Window(7, SDL_WINDOWEVENT_FOCUS_GAINED)), Lines{"focus-on-disabled main"});
    EXPECT_EQ(Run(Window(7, SDL_WINDOWEVENT_EXPOSED)), Lines{"redraw main"});
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(Run(quit), Lines{"quit"});
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

    EXPECT_EQ(Utf8FromWide(L"Perch\u00E9 \u20AC"), "Perch\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(Utf8FromWide(std::wstring(1, static_cast<wchar_t>(0x1F680))), "\xF0\x9F\x9A\x80");
    // A lone surrogate is no character: the replacement character stands in.
    EXPECT_EQ(Utf8FromWide(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
