#ifndef CUBEFRAY_DISPLAY_H
#define CUBEFRAY_DISPLAY_H

#include "Menu.h"
#include "Scene.h"
#include "Settings.h"
#include "SoundPlayer.h"

#include <SDL.h>

#include <string>

// The window, the picture and the sound as the settings want them, whatever page or match is
// running: fullscreen, field of view, volume, the size of the picture, and the settings file.
class Display {
  public:
    Display(SDL_Window* window, Scene& scene, SoundPlayer& sound, std::string settingsPath);

    // Puts the settings into effect: fullscreen, field of view, volume.
    void apply(const Settings& settings);
    void toggleFullscreen(Settings& settings);
    // Writes the settings file; a failure is one line and the game goes on.
    void save(const Settings& settings) const;
    // The projection and the overlay follow the window whichever way its size changed.
    void resized();
    // A window event: a change of size is followed.
    void windowChanged(const SDL_WindowEvent& event);
    // The window's own events, alike over a match and a replay: a close request (told on the
    // console, the mouse let go, quit set) and a change of size. Whether the event was one.
    bool windowEvent(const SDL_Event& event, bool& quit);
    // Alt+Return switches fullscreen on every page, whatever else is bound.
    static bool isAltReturn(const SDL_KeyboardEvent& event);
    // Does what the menu over a match or a replay asks: settings take effect and are kept, its
    // last item quits the game; true when it leaves for the start screen instead. Resuming is
    // the caller's.
    bool menuAction(Menu::Action action, const Menu& menu, Settings& settings);
    // A point of the window in the overlay's pixels, counted from the bottom.
    vec2 overlayPoint(int x, int y) const;
    vec2 viewport() const { return scene.viewportSize; }
    SDL_Window* window() const { return sdlWindow; }

  private:
    void setFullscreen(bool on);
    void place(const SDL_Rect& where);

    SDL_Window* sdlWindow;
    Scene& scene;
    SoundPlayer& sound;
    std::string settingsPath;
    // Where the window stood before it went fullscreen.
    SDL_Rect windowed{0, 0, 0, 0};
};

#endif
