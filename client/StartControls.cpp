#include "StartControls.h"

#include "InputNames.h"
#include "KeyOf.h"

StartControls::StartControls(StartScreen& screen, ServerBrowser& browser, Settings& settings,
                             Display& display, Bindings& bindings, Gamepads& gamepads)
    : screen(screen), browser(browser), settings(settings), display(display), bindings(bindings),
      gamepads(gamepads), controlsInput(bindings, settings, display) {}

StartScreen::Action StartControls::handle(const SDL_Event& event) {
    StartScreen::Action action = StartScreen::Action::none;
    if (screen.controlsPage().isOpen() && ControlsInput::isPageEvent(event)) {
        controlsInput.handle(event, screen.controlsPage());
        return action;
    }
    bool padEvent = gamepads.handle(event, [&](Input pad, bool down) {
        if (down && pad.code < SDL_CONTROLLER_BUTTON_MAX) {
            action = screen.keyDown(padKeyOf(uint8_t(pad.code)), settings, browser);
        }
    });
    if (padEvent) {
        return action;
    }
    switch (event.type) {
    case SDL_QUIT:
        quit = true;
        break;
    case SDL_WINDOWEVENT:
        display.windowChanged(event.window);
        break;
    case SDL_KEYDOWN:
        action = keyDown(event);
        break;
    case SDL_TEXTINPUT:
        screen.type(event.text.text);
        break;
    case SDL_MOUSEMOTION:
        screen.hover(display.overlayPoint(event.motion.x, event.motion.y), display.viewport(),
                     browser);
        break;
    case SDL_MOUSEBUTTONDOWN:
        action = screen.click(display.overlayPoint(event.button.x, event.button.y),
                              display.viewport(), settings, browser);
        break;
    default:
        break;
    }
    if (screen.editing() != bool(SDL_IsTextInputActive())) {
        screen.editing() ? SDL_StartTextInput() : SDL_StopTextInput();
    }
    return action;
}

StartScreen::Action StartControls::keyDown(const SDL_Event& event) {
    bool fullscreen =
        bindings.actionOf(keyInput(event.key.keysym.scancode), false) == Action::fullscreen;
    if (Display::isAltReturn(event.key) || fullscreen) {
        display.toggleFullscreen(settings);
        return StartScreen::Action::none;
    }
    return screen.keyDown(keyOf(event.key.keysym.scancode), settings, browser);
}
