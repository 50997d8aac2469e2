// Key codes and typed characters for the SDL backend.
#include "platform/sdl/sdl_keys.h"

#include <cstdint>

#include "platform/cp1252.h"

namespace {

// Keypad keys with Num Lock off, as cursor and editing keys (keypad 5 is Clear).
int keypadnavigation(SDL_Keycode key) {
    switch (key) {
        case SDLK_KP_0:
            return 45;
        case SDLK_KP_1:
            return 35;
        case SDLK_KP_2:
            return 40;
        case SDLK_KP_3:
            return 34;
        case SDLK_KP_4:
            return 37;
        case SDLK_KP_5:
            return 12;
        case SDLK_KP_6:
            return 39;
        case SDLK_KP_7:
            return 36;
        case SDLK_KP_8:
            return 38;
        case SDLK_KP_9:
            return 33;
        case SDLK_KP_PERIOD:
            return 46;
        default:
            return 0;
    }
}

}  // namespace

int virtualkey(SDL_Keycode key, SDL_Scancode scancode, bool numlock) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return 'A' + (scancode - SDL_SCANCODE_A);
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return '1' + (scancode - SDL_SCANCODE_1);
    }
    if (scancode == SDL_SCANCODE_0) return '0';
    if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
    if (key >= SDLK_F13 && key <= SDLK_F24) return 124 + (key - SDLK_F13);
    if (!numlock) {
        if (int code = keypadnavigation(key)) return code;
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 97 + (key - SDLK_KP_1);
    switch (key) {
        case SDLK_BACKSPACE:
            return 8;
        case SDLK_TAB:
            return 9;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return 13;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return 16;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return 17;
        case SDLK_LALT:
        case SDLK_RALT:
            return 18;
        case SDLK_PAUSE:
            return 19;
        case SDLK_CAPSLOCK:
            return 20;
        case SDLK_ESCAPE:
            return 27;
        case SDLK_SPACE:
            return 32;
        case SDLK_PAGEUP:
            return 33;
        case SDLK_PAGEDOWN:
            return 34;
        case SDLK_END:
            return 35;
        case SDLK_HOME:
            return 36;
        case SDLK_LEFT:
            return 37;
        case SDLK_UP:
            return 38;
        case SDLK_RIGHT:
            return 39;
        case SDLK_DOWN:
            return 40;
        case SDLK_PRINTSCREEN:
            return 44;
        case SDLK_INSERT:
            return 45;
        case SDLK_DELETE:
            return 46;
        case SDLK_LGUI:
            return 91;
        case SDLK_RGUI:
            return 92;
        case SDLK_APPLICATION:
            return 93;
        case SDLK_KP_0:
            return 96;
        case SDLK_KP_MULTIPLY:
            return 106;
        case SDLK_KP_PLUS:
            return 107;
        case SDLK_KP_MINUS:
            return 109;
        case SDLK_KP_PERIOD:
            return 110;
        case SDLK_KP_DIVIDE:
            return 111;
        case SDLK_NUMLOCKCLEAR:
            return 144;
        case SDLK_SCROLLLOCK:
            return 145;
        case SDLK_SEMICOLON:
            return 186;
        case SDLK_EQUALS:
            return 187;
        case SDLK_COMMA:
            return 188;
        case SDLK_MINUS:
            return 189;
        case SDLK_PERIOD:
            return 190;
        case SDLK_SLASH:
            return 191;
        case SDLK_BACKQUOTE:
            return 192;
        case SDLK_LEFTBRACKET:
            return 219;
        case SDLK_BACKSLASH:
            return 220;
        case SDLK_RIGHTBRACKET:
            return 221;
        case SDLK_QUOTE:
            return 222;
        default:
            return 0;
    }
}

std::vector<int> windows1252(std::string_view utf8) {
    std::vector<int> codes;
    size_t i = 0;
    while (i < utf8.size()) {
        auto byte = static_cast<uint8_t>(utf8[i]);
        int length = byte < 0x80           ? 1
                     : (byte >> 5) == 0x6  ? 2
                     : (byte >> 4) == 0xE  ? 3
                     : (byte >> 3) == 0x1E ? 4
                                           : 0;
        if (length == 0 || i + length > utf8.size()) {
            ++i;  // a stray byte of a broken sequence
            continue;
        }
        char32_t c = length == 1 ? byte : byte & (0x7F >> length);
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            auto next = static_cast<uint8_t>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) valid = false;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            ++i;
            continue;
        }
        i += length;
        if (int code = unicodetocp1252(c)) codes.push_back(code);
    }
    return codes;
}

std::optional<PadButton> padbutton(SDL_GameControllerButton button) {
    const char* name = SDL_GameControllerGetStringForButton(button);
    return name ? padbutton(std::string_view(name)) : std::nullopt;
}

std::optional<PadAxis> padaxis(SDL_GameControllerAxis axis) {
    const char* name = SDL_GameControllerGetStringForAxis(axis);
    return name ? padaxis(std::string_view(name)) : std::nullopt;
}
