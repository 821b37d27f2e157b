#include "KeyOf.h"

Key keyOf(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return Key(int(Key::a) + (scancode - SDL_SCANCODE_A));
    }
    switch (scancode) {
    case SDL_SCANCODE_SPACE:
        return Key::space;
    case SDL_SCANCODE_RETURN:
        return Key::enter;
    case SDL_SCANCODE_KP_ENTER:
        return Key::keypadEnter;
    case SDL_SCANCODE_BACKSPACE:
        return Key::backspace;
    case SDL_SCANCODE_ESCAPE:
        return Key::escape;
    case SDL_SCANCODE_UP:
        return Key::up;
    case SDL_SCANCODE_DOWN:
        return Key::down;
    case SDL_SCANCODE_LEFT:
        return Key::left;
    case SDL_SCANCODE_RIGHT:
        return Key::right;
    default:
        return Key::none;
    }
}

Key padKeyOf(uint8_t button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return Key::up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return Key::down;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return Key::left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return Key::right;
    case SDL_CONTROLLER_BUTTON_A:
        return Key::enter;
    case SDL_CONTROLLER_BUTTON_B:
    case SDL_CONTROLLER_BUTTON_START:
        return Key::escape;
    default:
        return Key::none;
    }
}
