// Key codes and typed characters for the SDL backend.
#include "platform/sdl/sdl_keys.h"

int virtualkey(SDL_Keycode key, SDL_Scancode scancode, bool numlock) {
    // A key that types a character is placed by that character; any other key
    // by the position SDL's keycode names, which follows the layout's remapping.
    bool printable = (key & SDLK_SCANCODE_MASK) == 0;
    int where =
        printable ? static_cast<int>(scancode) : static_cast<int>(key & ~SDLK_SCANCODE_MASK);
    return ::virtualkey(where, printable ? static_cast<char32_t>(key) : 0, numlock);
}

std::optional<PadButton> padbutton(SDL_GameControllerButton button) {
    const char* name = SDL_GameControllerGetStringForButton(button);
    return name ? padbutton(std::string_view(name)) : std::nullopt;
}

std::optional<PadAxis> padaxis(SDL_GameControllerAxis axis) {
    const char* name = SDL_GameControllerGetStringForAxis(axis);
    return name ? padaxis(std::string_view(name)) : std::nullopt;
}
