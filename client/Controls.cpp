#include "Controls.h"

#include "KeyOf.h"
#include "Timing.h"

#include <iostream>

Controls::Controls(Game& game, Display& display) : game(game), display(display) {}

void Controls::handle(const SDL_Event& event) {
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
        // Releases always reach the game, so no key stays held behind the menu.
        game.keyUp(keyOf(event.key.keysym.scancode));
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
            game.keyDown(Key::mouseButton);
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (!menuHasButton) {
            game.keyUp(Key::mouseButton);
        }
        menuHasButton = false;
        break;
    default:
        break;
    }
}

void Controls::keyDown(const SDL_Event& event) {
    SDL_Scancode key = event.key.keysym.scancode;
    if (Display::isFullscreenKey(event.key)) {
        display.toggleFullscreen(game.settings);
        return;
    }
    if (key == SDL_SCANCODE_ESCAPE && !game.talking) {
        game.menu.isOpen() ? closeMenu() : openMenu();
        return;
    }
    if (game.menu.isOpen()) {
        menuAction(game.menu.keyDown(keyOf(key), game.settings));
        return;
    }
    // An open chat line takes Escape as "cancel".
    game.keyDown(keyOf(key));
}

void Controls::menuAction(Menu::Action action) {
    if (action == Menu::Action::resume) {
        closeMenu();
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
