#include "ReplayControls.h"

#include "InputNames.h"
#include "KeyOf.h"

#include <iostream>

ReplayControls::ReplayControls(ReplayPlayer& player, Display& display, Bindings& bindings,
                               Gamepads& gamepads)
    : player(player), display(display), bindings(bindings), gamepads(gamepads) {}

ControlsInput ReplayControls::controlsInput() const {
    return ControlsInput(bindings, player.game().settings, display);
}

void ReplayControls::handle(const SDL_Event& event) {
    Menu& menu = player.game().menu;
    if (player.game().controlsPage.isOpen() && ControlsInput::isPageEvent(event)) {
        if (controlsInput().handle(event, player.game().controlsPage)) {
            menu.show();
        }
        return;
    }
    bool padEvent = gamepads.handle(event, [this](Input pad, bool down) {
        if (down && pad.code < SDL_CONTROLLER_BUTTON_MAX) {
            pressed(pad, padKeyOf(uint8_t(pad.code)), false);
        }
    });
    if (padEvent) {
        return;
    }
    if (display.windowEvent(event, quit)) {
        return;
    }
    switch (event.type) {
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
    if (Display::isAltReturn(event.key)) {
        display.toggleFullscreen(player.game().settings);
        return;
    }
    SDL_Scancode key = event.key.keysym.scancode;
    pressed(keyInput(key), keyOf(key), event.key.repeat != 0);
}

// A key or a pad button: what the bindings say, or what it means in the open menu.
void ReplayControls::pressed(Input input, Key menuKey, bool repeat) {
    Menu& menu = player.game().menu;
    std::optional<Action> action = bindings.actionOf(input, true);
    if (action == Action::fullscreen) {
        display.toggleFullscreen(player.game().settings);
    } else if (action == Action::menu) {
        setMenuOpen(!menu.isOpen());
    } else if (menu.isOpen()) {
        menuAction(menu.keyDown(menuKey, player.game().settings));
    } else if (!repeat && action) {
        command(*action);
    }
}

void ReplayControls::command(Action action) {
    switch (action) {
    case Action::pause:
        player.togglePause();
        break;
    case Action::jumpBack:
        player.jump(-ReplayPlayer::jumpMillis);
        break;
    case Action::jumpForward:
        player.jump(ReplayPlayer::jumpMillis);
        break;
    case Action::faster:
        player.faster();
        break;
    case Action::slower:
        player.slower();
        break;
    case Action::eye1:
    case Action::eye2:
    case Action::eye3:
    case Action::eye4:
        player.follow(size_t(action) - size_t(Action::eye1));
        break;
    case Action::freeCamera:
        player.toggleFreeCamera();
        break;
    default:
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

// The free camera flies while the match's walking keys are held; they move nothing else here.
void ReplayControls::fly() {
    FreeCamera* camera = player.freeCamera();
    if (camera == nullptr || player.game().menu.isOpen()) {
        return;
    }
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    auto held = [&](Action action) {
        for (const Input& input : bindings.of(action)) {
            if (input.device == Input::Device::key && keys[input.code] != 0) {
                return 1;
            }
        }
        return 0;
    };
    camera->move(held(Action::forward) - held(Action::back),
                 held(Action::right) - held(Action::left));
}

void ReplayControls::menuAction(Menu::Action action) {
    if (action == Menu::Action::resume) {
        setMenuOpen(false);
    } else if (action == Menu::Action::openControls) {
        player.game().menu.hide();
        controlsInput().open(player.game().controlsPage);
    } else if (display.menuAction(action, player.game().menu, player.game().settings)) {
        left = true;
    }
}

void ReplayControls::setMenuOpen(bool open) {
    Menu& menu = player.game().menu;
    open ? menu.show() : menu.hide();
    SDL_SetRelativeMouseMode(open ? SDL_FALSE : SDL_TRUE);
}
