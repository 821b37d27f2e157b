#ifndef CUBEFRAY_CONTROLS_H
#define CUBEFRAY_CONTROLS_H

#include "ControlsInput.h"
#include "Display.h"
#include "Game.h"
#include "Gamepads.h"
#include "MatchInput.h"

#include <SDL.h>

// Hands the window's events to the game during a match: each key, mouse button and gamepad
// button does what the bindings say (move, jump, fire, chat, the menu, fullscreen), the left
// stick walks and the right one turns; while the menu is open keys and the pad's arrows go to it,
// while a chat line is open keys go to the line (Escape cancels it); Alt+Return is fullscreen as
// well; resizes go to the display. Settings changed in the menu take effect at once and are
// written to the settings file. The menu's last item quits the game, or leaves the match when it
// was begun from the start screen.
class Controls {
  public:
    Controls(Game& game, Display& display, Bindings& bindings, Gamepads& gamepads);

    void handle(const SDL_Event& event);
    // Once a frame: the right stick turns the view.
    void frame(double now);
    // The match goes on: neither the window was closed nor the match left.
    bool isRunning() const { return !quit && !left; }
    bool quitRequested() const { return quit; }

  private:
    void keyDown(const SDL_Event& event);
    void pressed(Input input);
    void padChanged(Input input, bool down);
    void menuAction(Menu::Action action);
    void openMenu();
    void closeMenu();

    Game& game;
    Display& display;
    Bindings& bindings;
    Gamepads& gamepads;
    MatchInput input;
    ControlsInput controlsInput;
    bool quit = false;
    bool left = false;
    // A mouse press the menu took: its release is the menu's too.
    bool menuHasButton = false;
    // The key just pressed opened the chat line: its text, which comes next, is not typed.
    bool chatJustOpened = false;
};

#endif
