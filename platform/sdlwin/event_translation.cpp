#include "platform/sdlwin/event_translation.h"

#include <climits>
#include <cmath>

#include "platform/sdl/sdl_keys.h"

namespace platform::sdlwin {
namespace {

constexpr int kWheelDelta = 120;

InputAction Action(InputAction::Kind kind, HWND window = nullptr) {
    InputAction a;
    a.kind = kind;
    a.window = window;
    return a;
}

}  // namespace

bool EventTranslator::KeyHeld(int virtualKey) const {
    return virtualKey > 0 && virtualKey < 256 && held_[virtualKey];
}

void EventTranslator::ReleaseHeldKeys(std::vector<InputAction>& out) {
    for (int vk = 1; vk < 256; ++vk) {
        if (!held_[vk]) {
            continue;
        }
        held_[vk] = false;
        InputAction a = Action(InputAction::Kind::Key);
        a.key = vk;
        a.down = false;
        out.push_back(a);
    }
}

void EventTranslator::TranslateWindowEvent(const SDL_WindowEvent& event,
                                           std::vector<InputAction>& out) {
    std::optional<WindowPlace> place = lookup_(event.windowID);
    if (!place) {
        return;
    }
    HWND w = place->window;
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            // A disabled window (its modal box is open) and a menu cannot be closed.
            if (place->enabled && !place->popup) {
                out.push_back(Action(InputAction::Kind::Close, w));
            }
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            out.push_back(Action(InputAction::Kind::Redraw, w));
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (!place->popup) {
                out.push_back(Action(place->enabled ? InputAction::Kind::Activate
                                                    : InputAction::Kind::FocusOnDisabled,
                                     w));
            }
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_RESTORED: {
            InputAction a = Action(InputAction::Kind::Minimized, w);
            a.down = event.event == SDL_WINDOWEVENT_MINIMIZED;
            out.push_back(a);
            break;
        }
        case SDL_WINDOWEVENT_FOCUS_LOST:
            ReleaseHeldKeys(out);
            out.push_back(Action(InputAction::Kind::FocusLost, w));
            break;
        case SDL_WINDOWEVENT_MOVED: {
            InputAction a = Action(InputAction::Kind::Moved, w);
            a.x = event.data1;
            a.y = event.data2;
            out.push_back(a);
            break;
        }
        default:
            break;
    }
}

void EventTranslator::TranslateKey(const SDL_Event& event, std::vector<InputAction>& out) {
    sdl::VirtualKey vk = sdl::MapKey(static_cast<int>(event.key.keysym.scancode),
                                     static_cast<int>(event.key.keysym.sym));
    int key = vk.side != 0 ? vk.side : vk.message;
    if (key <= 0 || key >= 256) {
        return;
    }
    bool down = event.type == SDL_KEYDOWN;
    held_[key] = down;
    InputAction a = Action(InputAction::Kind::Key);
    a.key = key;
    a.down = down;
    out.push_back(a);
}

void EventTranslator::TranslateText(const SDL_Event& event, std::vector<InputAction>& out) {
    // The key-down of an ASCII character already gives its WM_CHAR through the
    // message loop's key translation; only the rest (accented letters and other
    // characters of the keyboard layout) comes from the text.
    std::u16string units = sdl::CharsFromText(event.text.text);
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            continue;
        }
        InputAction a = Action(InputAction::Kind::Char);
        a.character = static_cast<wchar_t>(c);
        out.push_back(a);
    }
}

void EventTranslator::TranslateMotion(const SDL_Event& event, std::vector<InputAction>& out) {
    std::optional<WindowPlace> place = lookup_(event.motion.windowID);
    if (!place) {
        return;
    }
    InputAction a = Action(InputAction::Kind::MouseMove, place->window);
    const POINT p = ScreenPoint(*place, event.motion.x, event.motion.y);
    a.x = p.x;
    a.y = p.y;
    lastMouse_ = p;
    out.push_back(a);
}

void EventTranslator::TranslateButton(const SDL_Event& event, std::vector<InputAction>& out) {
    std::optional<WindowPlace> place = lookup_(event.button.windowID);
    int button = ButtonIndex(event.button.button);
    if (!place || button < 0) {
        return;
    }
    const POINT p = ScreenPoint(*place, event.button.x, event.button.y);
    if (p.x != lastMouse_.x || p.y != lastMouse_.y) {
        // The button acts where it happens, even if no motion reported the spot.
        InputAction m = Action(InputAction::Kind::MouseMove, place->window);
        m.x = p.x;
        m.y = p.y;
        out.push_back(m);
        lastMouse_ = p;
    }
    InputAction a = Action(InputAction::Kind::MouseButton, place->window);
    a.button = button;
    a.down = event.type == SDL_MOUSEBUTTONDOWN;
    a.x = p.x;
    a.y = p.y;
    out.push_back(a);
}

void EventTranslator::TranslateWheel(const SDL_Event& event, std::vector<InputAction>& out) {
    if (event.wheel.y == 0) {
        return;
    }
    std::optional<WindowPlace> place = lookup_(event.wheel.windowID);
    InputAction a = Action(InputAction::Kind::Wheel, place ? place->window : nullptr);
    int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
    a.delta = notches * kWheelDelta;
    if (place) {
        const POINT p = ScreenPoint(*place, event.wheel.mouseX, event.wheel.mouseY);
        a.x = p.x;
        a.y = p.y;
    } else {
        a.x = lastMouse_.x;
        a.y = lastMouse_.y;
    }
    out.push_back(a);
}

std::vector<InputAction> EventTranslator::Translate(const SDL_Event& event) {
    std::vector<InputAction> out;
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TranslateKey(event, out);
            break;
        case SDL_TEXTINPUT:
            TranslateText(event, out);
            break;
        case SDL_MOUSEMOTION:
            TranslateMotion(event, out);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            TranslateButton(event, out);
            break;
        case SDL_MOUSEWHEEL:
            TranslateWheel(event, out);
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window, out);
            break;
        case SDL_QUIT:
            out.push_back(Action(InputAction::Kind::Quit));
            break;
        default:
            break;
    }
    return out;
}

int ButtonIndex(std::uint8_t sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT:
            return 0;
        case SDL_BUTTON_RIGHT:
            return 1;
        case SDL_BUTTON_MIDDLE:
            return 2;
        default:
            return -1;
    }
}

POINT ScreenPoint(const WindowPlace& place, int x, int y) {
    const POINT device{static_cast<LONG>(std::lround(x * place.pixelsPerPoint)),
                       static_cast<LONG>(std::lround(y * place.pixelsPerPoint))};
    const POINT logical = place.map.ToLogical(device);
    return POINT{place.origin.x + logical.x, place.origin.y + logical.y};
}

int WaitTimeoutMs(std::optional<Ticks> deadline, Ticks now) {
    if (!deadline) {
        return -1;
    }
    if (*deadline <= now) {
        return 0;
    }
    Ticks left = *deadline - now;
    Ticks ms = left / kTicksPerMs;
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

SDL_SystemCursor SystemCursorFor(int cursorId) {
    switch (cursorId) {
        case 32513:
            return SDL_SYSTEM_CURSOR_IBEAM;
        case 32514:
            return SDL_SYSTEM_CURSOR_WAIT;
        case 32515:
            return SDL_SYSTEM_CURSOR_CROSSHAIR;
        case 32642:
            return SDL_SYSTEM_CURSOR_SIZENWSE;
        case 32643:
            return SDL_SYSTEM_CURSOR_SIZENESW;
        case 32644:
            return SDL_SYSTEM_CURSOR_SIZEWE;
        case 32645:
            return SDL_SYSTEM_CURSOR_SIZENS;
        case 32646:
            return SDL_SYSTEM_CURSOR_SIZEALL;
        case 32648:
            return SDL_SYSTEM_CURSOR_NO;
        case 32649:
            return SDL_SYSTEM_CURSOR_HAND;
        case 32650:
            return SDL_SYSTEM_CURSOR_WAITARROW;
        default:
            return SDL_SYSTEM_CURSOR_ARROW;
    }
}

std::string Utf8FromWide(const std::wstring& text) {
    std::string out;
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

}  // namespace platform::sdlwin
