#ifndef CUBEFRAY_KEYOF_H
#define CUBEFRAY_KEYOF_H

#include "Key.h"

#include <SDL_gamecontroller.h>
#include <SDL_scancode.h>
#include <cstdint>

// The game's key for a key of the keyboard, by its place (the scancode), not by what the layout
// prints on it; Key::none for the keys the game does not use.
Key keyOf(SDL_Scancode scancode);
// What a gamepad button means in a menu: the pad's arrows choose, A acts, B and Start go back.
Key padKeyOf(uint8_t button);

#endif
