#ifndef CUBEFRAY_KEYOF_H
#define CUBEFRAY_KEYOF_H

#include "Key.h"

#include <SDL_scancode.h>

// The game's key for a key of the keyboard, by its place (the scancode), not by what the layout
// prints on it; Key::none for the keys the game does not use.
Key keyOf(SDL_Scancode scancode);

#endif
