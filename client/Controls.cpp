#include "Controls.h"

#include "InputNames.h"
#include "KeyOf.h"
#include "Timing.h"

#include <iostream>

Controls::Controls(Game& game, Display& display, Bindings& bindings)
    : game(game), display(display), bindings(bindings),
      controlsInput(bindings, game.settings, display) {}

void Controls::handle(const SDL_Event& event) {
    if (game.controlsPage.isOpen() && ControlsInput::isPageEvent(event)) {
        if (controlsInput.handle(event, game.controlsPage)) {
            game.menu.show();
        }
        return;
    }
    switch (event.type) {
    case SDL_QUIT:
        std::cout << "Exiting game\n" << std::flush;
        SDL_SetRelativeMouseMode(SDL_FALSE);
        quit = true;
        break;
    case SDL_WINDOWEVENT:
        display.windowChanged(event.window);
        break;
    case SDL_KEYDOWN:
        keyDown(event);
        break;
    case SDL_KEYUP:
        released(keyInput(event.key.keysym.scancode));
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
            released({Input::Device::mouse, event.button.button});
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
        // it, so the game hears the key before the action.
        game.keyDown(keyOf(key));
        pressed(keyInput(key));
    }
}

// What an input does in a match: the menu and fullscreen are the window's, the rest the game's.
void Controls::pressed(Input input) {
    std::optional<Action> action = bindings.actionOf(input, false);
    if (action == Action::menu) {
        game.menu.isOpen() ? closeMenu() : openMenu();
    } else if (action == Action::fullscreen) {
        display.toggleFullscreen(game.settings);
    } else if (action && !game.menu.isOpen()) {
        game.press(*action, input.id());
    }
}

// Releases always reach the game, so no key stays held behind the menu or the chat line.
void Controls::released(Input input) {
    if (std::optional<Action> action = bindings.actionOf(input, false)) {
        game.release(*action, input.id());
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
