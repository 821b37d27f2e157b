#ifndef CUBEFRAY_REPLAYCONTROLS_H
#define CUBEFRAY_REPLAYCONTROLS_H

#include "ControlsInput.h"
#include "Display.h"
#include "Gamepads.h"
#include "ReplayPlayer.h"

#include <SDL.h>

// Hands the window's events to a replay being watched, as the bindings say (by default Space
// pauses, Left and Right jump five seconds back and forward, Up and Down change the speed, 1 to
// 4 follow the first to fourth player of the roster from their eye, F flies a free camera with
// the match's keys for forward, back, left and right and the mouse, Escape opens the menu, whose
// last item quits, or leaves from the start screen). Each change is told on the console.
class ReplayControls {
  public:
    ReplayControls(ReplayPlayer& player, Display& display, Bindings& bindings, Gamepads& gamepads);

    void handle(const SDL_Event& event);
    // Once a frame: the free camera flies as the keys held say.
    void fly();
    bool isRunning() const { return !quit && !left; }
    bool quitRequested() const { return quit; }

  private:
    void keyDown(const SDL_Event& event);
    void pressed(Input input, Key menuKey, bool repeat);
    void command(Action action);
    void menuAction(Menu::Action action);
    void setMenuOpen(bool open);
    void tell() const;

    // The Controls page works on the settings of the game being played, which a jump renews.
    ControlsInput controlsInput() const;

    ReplayPlayer& player;
    Display& display;
    Bindings& bindings;
    Gamepads& gamepads;
    bool quit = false;
    bool left = false;
};

#endif
