#include "platform/sdl/sdl_keys.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace platform::sdl {
namespace {

TEST(SdlKeys, ControlKeysKeepTheirSideInTheStateTable) {
    const VirtualKey left = MapKey(SDL_SCANCODE_LCTRL, SDLK_LCTRL);
    const VirtualKey right = MapKey(SDL_SCANCODE_RCTRL, SDLK_RCTRL);
    EXPECT_EQ((std::pair{left.message, left.side}), (std::pair{VK_CONTROL, VK_LCONTROL}));
    EXPECT_EQ((std::pair{right.message, right.side}), (std::pair{VK_CONTROL, VK_RCONTROL}));
    EXPECT_EQ(MapKey(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT).side, VK_LSHIFT);
    EXPECT_EQ(MapKey(SDL_SCANCODE_RALT, SDLK_RALT).message, VK_MENU);
}

TEST(SdlKeys, KeysMapToTheirVirtualKeysAndLettersFollowTheLayout) {
    EXPECT_EQ(MapKey(SDL_SCANCODE_LEFT, SDLK_LEFT).message, VK_LEFT);
    EXPECT_EQ(MapKey(SDL_SCANCODE_G, SDLK_g).message, 'G');
    EXPECT_EQ(MapKey(SDL_SCANCODE_F10, SDLK_F10).message, VK_F10);
    EXPECT_EQ(MapKey(SDL_SCANCODE_KP_9, SDLK_KP_9).message, VK_NUMPAD0 + 9);
    EXPECT_EQ(MapKey(SDL_SCANCODE_0, SDLK_0).message, '0');
    // On an AZERTY keyboard the key in the Q position types A.
    EXPECT_EQ(MapKey(SDL_SCANCODE_Q, SDLK_a).message, 'A');
    // A layout whose letter keys give no Latin keycode still gets the position's letter.
    EXPECT_EQ(MapKey(SDL_SCANCODE_Z, 0x3b6).message, 'Z');
    EXPECT_EQ(MapKey(SDL_SCANCODE_APPLICATION, SDLK_APPLICATION).message, 0);
}

TEST(SdlKeys, TextBecomesUtf16Characters) {
    EXPECT_EQ(CharsFromText("p"), u"p");
    EXPECT_EQ(CharsFromText("\xC3\xA8"), u"\u00e8");              // è
    EXPECT_EQ(CharsFromText("\xE2\x82\xAC"), u"\u20ac");          // €
    EXPECT_EQ(CharsFromText("\xF0\x9F\x98\x80"), u"\U0001F600");  // a surrogate pair
    EXPECT_EQ(CharsFromText("a\xC3"), u"a");                      // truncated at the end
    EXPECT_EQ(CharsFromText("\xC0\xAFx"), u"x");                  // overlong dropped
    EXPECT_EQ(CharsFromText("\x80y\xED\xA0\x80z"), u"yz");        // stray and surrogate
}

}  // namespace
}  // namespace platform::sdl
