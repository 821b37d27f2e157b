#ifndef CUBEFRAY_STARTCONTROLS_H
#define CUBEFRAY_STARTCONTROLS_H

#include "ControlsInput.h"
#include "Display.h"
#include "Gamepads.h"
#include "ServerBrowser.h"
#include "Settings.h"
#include "StartScreen.h"

#include <SDL.h>

// Hands the window's events to the start screen: keys, the pad's arrows and buttons and clicks
// to its items, typed text to the field being edited (through SDL's text input, so that digits and
// dots type as the layout has them), F11 and Alt+Return to fullscreen, resizes to the display.
class StartControls {
  public:
    StartControls(StartScreen& screen, ServerBrowser& browser, Settings& settings, Display& display,
                  Bindings& bindings, Gamepads& gamepads);
    void openControls() { controlsInput.open(screen.controlsPage()); }

    // What the event asks of the program.
    StartScreen::Action handle(const SDL_Event& event);
    bool quitRequested() const { return quit; }
    void requestQuit() { quit = true; }

  private:
    StartScreen::Action keyDown(const SDL_Event& event);

    StartScreen& screen;
    ServerBrowser& browser;
    Settings& settings;
    Display& display;
    const Bindings& bindings;
    Gamepads& gamepads;
    ControlsInput controlsInput;
    bool quit = false;
};

#endif
