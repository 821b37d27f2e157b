#include "StartControls.h"

#include "KeyOf.h"

StartControls::StartControls(StartScreen& screen, ServerBrowser& browser, Settings& settings,
                             Display& display)
    : screen(screen), browser(browser), settings(settings), display(display) {}

StartScreen::Action StartControls::handle(const SDL_Event& event) {
    StartScreen::Action action = StartScreen::Action::none;
    switch (event.type) {
    case SDL_QUIT:
        quit = true;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_RESIZED ||
            event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            display.resized();
        }
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
    SDL_Scancode key = event.key.keysym.scancode;
    bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
    if (key == SDL_SCANCODE_F11 || (alt && key == SDL_SCANCODE_RETURN)) {
        display.toggleFullscreen(settings);
        return StartScreen::Action::none;
    }
    return screen.keyDown(keyOf(key), settings, browser);
}
