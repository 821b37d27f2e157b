#ifndef CUBEFRAY_CONTROLS_H
#define CUBEFRAY_CONTROLS_H

#include "Display.h"
#include "Game.h"

#include <SDL.h>

// Hands the window's events to the game during a match: keys and the mouse to the game while it
// has the mouse, to the menu while that is open; Escape between the two (or out of an open chat
// line); F11 and Alt+Return to fullscreen; resizes to the display. Settings changed in the menu
// take effect at once and are written to the settings file. The menu's last item quits the
// game, or leaves the match when it was begun from the start screen.
class Controls {
  public:
    Controls(Game& game, Display& display);

    void handle(const SDL_Event& event);
    // The match goes on: neither the window was closed nor the match left.
    bool isRunning() const { return !quit && !left; }
    bool quitRequested() const { return quit; }

  private:
    void keyDown(const SDL_Event& event);
    void menuAction(Menu::Action action);
    void openMenu();
    void closeMenu();

    Game& game;
    Display& display;
    bool quit = false;
    bool left = false;
    // A mouse press the menu took: its release is the menu's too.
    bool menuHasButton = false;
};

#endif
