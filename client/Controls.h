#ifndef CUBEFRAY_CONTROLS_H
#define CUBEFRAY_CONTROLS_H

#include "Game.h"
#include "Scene.h"

#include <SDL.h>

#include <string>

// Hands the window's events to the game, the menu and the window itself: keys and the mouse to
// the game while it has the mouse, to the menu while that is open; Escape between the two (or
// out of an open chat line); F11 and Alt+Return to fullscreen; resizes to the scene. Settings
// changed in the menu take effect at once and are written to the settings file.
class Controls {
  public:
    Controls(Game& game, Scene& scene, SDL_Window* window, std::string settingsPath);

    void handle(const SDL_Event& event);
    bool isRunning() const { return running; }
    // Puts the game's settings into effect: mouse, field of view, fullscreen.
    void applySettings();

  private:
    void keyDown(const SDL_Event& event);
    void menuAction(Menu::Action action);
    void openMenu();
    void closeMenu();
    void toggleFullscreen();
    void setFullscreen(bool on);
    void place(const SDL_Rect& where);
    void saveSettings();
    void resized();
    vec2 menuPoint(int x, int y) const;

    Game& game;
    Scene& scene;
    SDL_Window* window;
    std::string settingsPath;
    bool running = true;
    // A mouse press the menu took: its release is the menu's too.
    bool menuHasButton = false;
    // Where the window stood before it went fullscreen.
    SDL_Rect windowed{0, 0, 0, 0};
};

#endif
