// The keyboard as the game knows it: SDL keys turned into Windows virtual-key
// codes through the shared key table, and the game controller's buttons and
// axes that the pad mapping uses.
#pragma once

#include <SDL_gamecontroller.h>
#include <SDL_keyboard.h>

#include <optional>
#include <string_view>
#include <vector>

#include "platform/gamepad.h"
#include "platform/virtualkeys.h"

// The virtual-key code of a key, or 0 for a key the game has no code for.
// Letters follow the keyboard layout, the digit row its position; with Num
// Lock off the keypad gives the cursor keys.
int virtualkey(SDL_Keycode key, SDL_Scancode scancode, bool numlock);

// The pad button or axis of SDL's, or nothing for one the game does not use.
std::optional<PadButton> padbutton(SDL_GameControllerButton button);
std::optional<PadAxis> padaxis(SDL_GameControllerAxis axis);
