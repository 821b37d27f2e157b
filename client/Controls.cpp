#include "Controls.h"

#include "KeyOf.h"
#include "Timing.h"

#include <iostream>

Controls::Controls(Game& game, Scene& scene, SoundPlayer& sound, SDL_Window* window,
                   std::string settingsPath)
    : game(game), scene(scene), sound(sound), window(window),
      settingsPath(std::move(settingsPath)) {}

void Controls::handle(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        std::cout << "Exiting game\n" << std::flush;
        SDL_SetRelativeMouseMode(SDL_FALSE);
        running = false;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_RESIZED ||
            event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            resized();
        }
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
            game.menu.hover(menuPoint(event.motion.x, event.motion.y), scene.viewportSize);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (game.menu.isOpen()) {
            menuHasButton = true;
            menuAction(game.menu.click(menuPoint(event.button.x, event.button.y),
                                       scene.viewportSize, game.settings));
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
    bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
    if (key == SDL_SCANCODE_F11 || (alt && key == SDL_SCANCODE_RETURN)) {
        toggleFullscreen();
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
    switch (action) {
    case Menu::Action::resume:
        closeMenu();
        break;
    case Menu::Action::changed:
        applySettings();
        saveSettings();
        break;
    case Menu::Action::toggleFullscreen:
        toggleFullscreen();
        break;
    case Menu::Action::quit: {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        break;
    }
    case Menu::Action::none:
        break;
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

void Controls::toggleFullscreen() {
    game.settings.fullscreen = !game.settings.fullscreen;
    applySettings();
    saveSettings();
}

void Controls::applySettings() {
    bool fullscreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                      SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (fullscreen != game.settings.fullscreen) {
        setFullscreen(game.settings.fullscreen);
    }
    if (scene.fov != game.settings.fieldOfView) {
        scene.setFieldOfView(game.settings.fieldOfView);
    }
    sound.setVolume(game.settings.volume);
}

// The window manager makes a window fullscreen; without one (a bare X server) nothing would
// happen, so the window is also placed over the whole display while it is still a window, and
// put back once it is one again. With a window manager this changes nothing.
void Controls::setFullscreen(bool on) {
    if (on) {
        SDL_GetWindowPosition(window, &windowed.x, &windowed.y);
        SDL_GetWindowSize(window, &windowed.w, &windowed.h);
        SDL_Rect display;
        if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &display) == 0) {
            place(display);
        }
    }
    SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (!on) {
        place(windowed);
    }
    resized();
}

void Controls::place(const SDL_Rect& where) {
    if (where.w > 0 && where.h > 0) {
        SDL_SetWindowPosition(window, where.x, where.y);
        SDL_SetWindowSize(window, where.w, where.h);
    }
}

void Controls::saveSettings() {
    std::string problem = writeSettings(settingsPath, game.settings);
    if (!problem.empty()) {
        std::cout << "Cannot save the settings to " << settingsPath << ": " << problem << std::endl;
    }
}

// The projection and the overlay follow the window whichever way its size changed.
void Controls::resized() {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    vec2 size{float(width), float(height)};
    if (size.x != scene.viewportSize.x || size.y != scene.viewportSize.y) {
        scene.reshape(size.x, size.y);
    }
}

// SDL counts rows from the top, the overlay from the bottom.
vec2 Controls::menuPoint(int x, int y) const {
    return vec2(float(x), scene.viewportSize.y - float(y));
}
