#include "ReplayControls.h"

#include "KeyOf.h"

#include <iostream>

ReplayControls::ReplayControls(ReplayPlayer& player, Display& display)
    : player(player), display(display) {}

void ReplayControls::handle(const SDL_Event& event) {
    Menu& menu = player.game().menu;
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
    case SDL_MOUSEMOTION:
        if (menu.isOpen()) {
            menu.hover(display.overlayPoint(event.motion.x, event.motion.y), display.viewport());
        } else if (FreeCamera* camera = player.freeCamera()) {
            camera->look(event.motion.xrel, event.motion.yrel);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (menu.isOpen()) {
            menuAction(menu.click(display.overlayPoint(event.button.x, event.button.y),
                                  display.viewport(), player.game().settings));
        }
        break;
    default:
        break;
    }
}

void ReplayControls::keyDown(const SDL_Event& event) {
    Menu& menu = player.game().menu;
    SDL_Scancode key = event.key.keysym.scancode;
    if (Display::isFullscreenKey(event.key)) {
        display.toggleFullscreen(player.game().settings);
    } else if (key == SDL_SCANCODE_ESCAPE) {
        setMenuOpen(!menu.isOpen());
    } else if (menu.isOpen()) {
        menuAction(menu.keyDown(keyOf(key), player.game().settings));
    } else if (event.key.repeat == 0) {
        command(key);
    }
}

void ReplayControls::command(SDL_Scancode key) {
    if (key == SDL_SCANCODE_SPACE) {
        player.togglePause();
    } else if (key == SDL_SCANCODE_LEFT || key == SDL_SCANCODE_RIGHT) {
        player.jump(key == SDL_SCANCODE_LEFT ? -ReplayPlayer::jumpMillis
                                             : ReplayPlayer::jumpMillis);
    } else if (key == SDL_SCANCODE_UP) {
        player.faster();
    } else if (key == SDL_SCANCODE_DOWN) {
        player.slower();
    } else if (key >= SDL_SCANCODE_1 && key <= SDL_SCANCODE_4) {
        player.follow(size_t(key - SDL_SCANCODE_1));
    } else if (key == SDL_SCANCODE_F) {
        player.toggleFreeCamera();
    } else {
        return;
    }
    tell();
}

void ReplayControls::tell() const {
    std::string_view eye = player.followedName();
    std::cout << "Replay at " << int(player.position() / 100) / 10.0 << " s of "
              << int(player.length() / 100) / 10.0 << " s, speed " << player.pace() << "x"
              << (player.isPaused() ? ", paused" : "") << ", "
              << (eye.empty() ? "free camera" : "eye of " + std::string(eye)) << std::endl;
}

// The free camera flies while the keys are held; they turn nothing else in a replay.
void ReplayControls::fly() {
    FreeCamera* camera = player.freeCamera();
    if (camera == nullptr || player.game().menu.isOpen()) {
        return;
    }
    const Uint8* held = SDL_GetKeyboardState(nullptr);
    camera->move(int(held[SDL_SCANCODE_W]) - int(held[SDL_SCANCODE_S]),
                 int(held[SDL_SCANCODE_D]) - int(held[SDL_SCANCODE_A]));
}

void ReplayControls::menuAction(Menu::Action action) {
    if (action == Menu::Action::resume) {
        setMenuOpen(false);
    } else if (display.menuAction(action, player.game().menu, player.game().settings)) {
        left = true;
    }
}

void ReplayControls::setMenuOpen(bool open) {
    Menu& menu = player.game().menu;
    open ? menu.show() : menu.hide();
    SDL_SetRelativeMouseMode(open ? SDL_FALSE : SDL_TRUE);
}
