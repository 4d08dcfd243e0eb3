#include "platform/sdl/sdl_keys.h"

#include <SDL.h>

namespace platform::sdl {

namespace {

struct Entry {
    SDL_Scancode scancode;
    int message;
    int side;
};

// Keys mapped by their position.
constexpr Entry kByScancode[] = {
    {SDL_SCANCODE_LCTRL, VK_CONTROL, VK_LCONTROL},
    {SDL_SCANCODE_RCTRL, VK_CONTROL, VK_RCONTROL},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT, VK_LSHIFT},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT, VK_RSHIFT},
    {SDL_SCANCODE_LALT, VK_MENU, VK_LMENU},
    {SDL_SCANCODE_RALT, VK_MENU, VK_RMENU},
    {SDL_SCANCODE_LEFT, VK_LEFT, 0},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, 0},
    {SDL_SCANCODE_UP, VK_UP, 0},
    {SDL_SCANCODE_DOWN, VK_DOWN, 0},
    {SDL_SCANCODE_RETURN, VK_RETURN, 0},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, 0},
    {SDL_SCANCODE_TAB, VK_TAB, 0},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0},
    {SDL_SCANCODE_SPACE, VK_SPACE, 0},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, 0},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0},
    {SDL_SCANCODE_HOME, VK_HOME, 0},
    {SDL_SCANCODE_END, VK_END, 0},
    {SDL_SCANCODE_INSERT, VK_INSERT, 0},
    {SDL_SCANCODE_DELETE, VK_DELETE, 0},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0},
    {SDL_SCANCODE_KP_PLUS, VK_ADD, 0},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 0},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, 0},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1, 0},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS, 0},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA, 0},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS, 0},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, 0},
    {SDL_SCANCODE_SLASH, VK_OEM_2, 0},
};

}  // namespace

VirtualKey MapKey(int scancode, int keycode) {
    if (keycode >= SDLK_a && keycode <= SDLK_z) {
        return {'A' + (keycode - SDLK_a), 0};
    }
    if (keycode >= SDLK_0 && keycode <= SDLK_9) {
        return {'0' + (keycode - SDLK_0), 0};
    }
    const auto sc = static_cast<SDL_Scancode>(scancode);
    for (const Entry& entry : kByScancode) {
        if (entry.scancode == sc) {
            return {entry.message, entry.side};
        }
    }
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) {  // a layout without Latin letters
        return {'A' + (sc - SDL_SCANCODE_A), 0};
    }
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) {
        return {'1' + (sc - SDL_SCANCODE_1), 0};
    }
    if (sc == SDL_SCANCODE_0) {
        return {'0', 0};
    }
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) {
        return {VK_F1 + (sc - SDL_SCANCODE_F1), 0};
    }
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) {
        return {VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1), 0};
    }
    if (sc == SDL_SCANCODE_KP_0) {
        return {VK_NUMPAD0, 0};
    }
    return {};
}

std::u16string CharsFromText(std::string_view utf8) {
    std::u16string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            ++i;  // a stray continuation byte or an invalid lead
            continue;
        }
        if (i + static_cast<std::size_t>(extra) >= utf8.size()) {
            break;  // truncated sequence at the end
        }
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid) {
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(extra) + 1;
        constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            continue;  // overlong, out of range or a surrogate
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

}  // namespace platform::sdl
