#include "Display.h"

#include <iostream>

Display::Display(SDL_Window* window, Scene& scene, SoundPlayer& sound, std::string settingsPath)
    : sdlWindow(window), scene(scene), sound(sound), settingsPath(std::move(settingsPath)) {}

void Display::apply(const Settings& settings) {
    bool fullscreen = (SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                      SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (fullscreen != settings.fullscreen) {
        setFullscreen(settings.fullscreen);
    }
    if (scene.fov != settings.fieldOfView) {
        scene.setFieldOfView(settings.fieldOfView);
    }
    sound.setVolume(settings.volume);
}

void Display::toggleFullscreen(Settings& settings) {
    settings.fullscreen = !settings.fullscreen;
    apply(settings);
    save(settings);
}

// The window manager makes a window fullscreen; without one (a bare X server) nothing would
// happen, so the window is also placed over the whole display while it is still a window, and
// put back once it is one again. With a window manager this changes nothing.
void Display::setFullscreen(bool on) {
    if (on) {
        SDL_GetWindowPosition(sdlWindow, &windowed.x, &windowed.y);
        SDL_GetWindowSize(sdlWindow, &windowed.w, &windowed.h);
        SDL_Rect display;
        if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(sdlWindow), &display) == 0) {
            place(display);
        }
    }
    SDL_SetWindowFullscreen(sdlWindow, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (!on) {
        place(windowed);
    }
    resized();
}

void Display::place(const SDL_Rect& where) {
    if (where.w > 0 && where.h > 0) {
        SDL_SetWindowPosition(sdlWindow, where.x, where.y);
        SDL_SetWindowSize(sdlWindow, where.w, where.h);
    }
}

void Display::save(const Settings& settings) const {
    std::string problem = writeSettings(settingsPath, settings);
    if (!problem.empty()) {
        std::cout << "Cannot save the settings to " << settingsPath << ": " << problem << std::endl;
    }
}

void Display::resized() {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(sdlWindow, &width, &height);
    vec2 size{float(width), float(height)};
    if (size.x != scene.viewportSize.x || size.y != scene.viewportSize.y) {
        scene.reshape(size.x, size.y);
    }
}

void Display::windowChanged(const SDL_WindowEvent& event) {
    if (event.event == SDL_WINDOWEVENT_RESIZED || event.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        resized();
    }
}

bool Display::windowEvent(const SDL_Event& event, bool& quit) {
    if (event.type == SDL_QUIT) {
        std::cout << "Exiting game\n" << std::flush;
        SDL_SetRelativeMouseMode(SDL_FALSE);
        quit = true;
        return true;
    }
    if (event.type == SDL_WINDOWEVENT) {
        windowChanged(event.window);
        return true;
    }
    return false;
}

bool Display::isAltReturn(const SDL_KeyboardEvent& event) {
    return (event.keysym.mod & KMOD_ALT) != 0 && event.keysym.scancode == SDL_SCANCODE_RETURN;
}

bool Display::menuAction(Menu::Action action, const Menu& menu, Settings& settings) {
    switch (action) {
    case Menu::Action::changed:
        apply(settings);
        save(settings);
        return false;
    case Menu::Action::toggleFullscreen:
        toggleFullscreen(settings);
        return false;
    case Menu::Action::quit:
        if (menu.leavesTheMatch()) {
            return true;
        } else {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            return false;
        }
    default:
        return false;
    }
}

// SDL counts rows from the top, the overlay from the bottom.
vec2 Display::overlayPoint(int x, int y) const {
    return vec2(float(x), scene.viewportSize.y - float(y));
}
