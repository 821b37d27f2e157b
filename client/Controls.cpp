#include "Controls.h"

#include "InputNames.h"
#include "KeyOf.h"
#include "Timing.h"

Controls::Controls(Game& game, Display& display, Bindings& bindings, Gamepads& gamepads)
    : game(game), display(display), bindings(bindings), gamepads(gamepads), input(game, bindings),
      controlsInput(bindings, game.settings, display) {
    // The start screen turns text input off outside its fields; the chat line needs it.
    SDL_StartTextInput();
}

void Controls::handle(const SDL_Event& event) {
    // The text of a key comes right after the key itself.
    bool textOfChatKey = chatJustOpened;
    chatJustOpened = false;
    if (game.controlsPage.isOpen() && ControlsInput::isPageEvent(event)) {
        if (controlsInput.handle(event, game.controlsPage)) {
            game.menu.show();
        }
        return;
    }
    if (gamepads.handle(event, [this](Input pad, bool down) { padChanged(pad, down); })) {
        return;
    }
    if (display.windowEvent(event, quit)) {
        return;
    }
    switch (event.type) {
    case SDL_KEYDOWN:
        keyDown(event);
        break;
    case SDL_KEYUP:
        input.released(keyInput(event.key.keysym.scancode));
        break;
    case SDL_TEXTINPUT:
        if (!textOfChatKey) {
            game.typeText(event.text.text);
        }
        break;
    case SDL_MOUSEMOTION:
        if (SDL_GetRelativeMouseMode() == SDL_TRUE) {
            game.mouseMoved(-event.motion.xrel, event.motion.yrel, preciseMilliseconds());
        } else if (game.menu.isOpen()) {
            game.menu.hover(display.overlayPoint(event.motion.x, event.motion.y),
                            display.viewport());
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (game.menu.isOpen()) {
            menuHasButton = true;
            menuAction(game.menu.click(display.overlayPoint(event.button.x, event.button.y),
                                       display.viewport(), game.settings));
        } else {
            pressed({Input::Device::mouse, event.button.button});
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (!menuHasButton) {
            input.released({Input::Device::mouse, event.button.button});
        }
        menuHasButton = false;
        break;
    default:
        break;
    }
}

void Controls::keyDown(const SDL_Event& event) {
    SDL_Scancode key = event.key.keysym.scancode;
    if (Display::isAltReturn(event.key)) {
        display.toggleFullscreen(game.settings);
    } else if (game.talking) {
        // The chat line has the keys; Escape cancels it.
        game.keyDown(keyOf(key));
    } else if (game.menu.isOpen() && bindings.actionOf(keyInput(key), false) != Action::menu) {
        menuAction(game.menu.keyDown(keyOf(key), game.settings));
    } else {
        // Return shows the chat lines again; the key that opens the chat line must not type in
        // it, so the game hears the key before the action, and the key's text is not typed.
        game.keyDown(keyOf(key));
        pressed(keyInput(key));
        chatJustOpened = game.talking;
    }
}

// The menu and fullscreen are the window's; the rest is the game's.
void Controls::pressed(Input pressedInput) {
    std::optional<Action> action = input.pressed(pressedInput);
    if (action == Action::menu) {
        game.menu.isOpen() ? closeMenu() : openMenu();
    } else if (action == Action::fullscreen) {
        display.toggleFullscreen(game.settings);
    }
}

// In the menu the pad's arrows choose and A acts; everywhere else a pad is an input like any.
void Controls::padChanged(Input pad, bool down) {
    bool button = pad.code < SDL_CONTROLLER_BUTTON_MAX;
    bool menuKey = game.menu.isOpen() && button && padKeyOf(uint8_t(pad.code)) != Key::none &&
                   bindings.actionOf(pad, false) != Action::menu;
    if (down && menuKey) {
        menuAction(game.menu.keyDown(padKeyOf(uint8_t(pad.code)), game.settings));
    } else if (down) {
        pressed(pad);
    } else {
        input.released(pad);
    }
}

void Controls::frame(double now) {
    int dx = 0;
    int dy = 0;
    gamepads.turn(game.settings.padSensitivity, dx, dy);
    if ((dx != 0 || dy != 0) && !game.menu.isOpen() && !game.controlsPage.isOpen()) {
        game.turn(dx, dy, now);
    }
}

void Controls::menuAction(Menu::Action action) {
    if (action == Menu::Action::resume) {
        closeMenu();
    } else if (action == Menu::Action::openControls) {
        game.menu.hide();
        controlsInput.open(game.controlsPage);
    } else if (display.menuAction(action, game.menu, game.settings)) {
        left = true;
    }
}

void Controls::openMenu() {
    game.menu.show();
    SDL_SetRelativeMouseMode(SDL_FALSE);
}

void Controls::closeMenu() {
    game.menu.hide();
    SDL_SetRelativeMouseMode(SDL_TRUE);
}
