#ifndef CUBEFRAY_GAMEPADS_H
#define CUBEFRAY_GAMEPADS_H

#include "Bindings.h"

#include <SDL.h>

#include <array>
#include <functional>
#include <map>

// The gamepads, plugged in before the game began or during it, through SDL's game controller
// API. Buttons are inputs the bindings name ("Pad A"); the triggers count as buttons once
// pressed half way; the left stick walks and strafes past a dead zone (inputs of its own, one a
// direction); the right stick turns the view at a speed that grows with the square of the tilt
// past its dead zone, carrying the fractions of a pixel from frame to frame. A pad unplugged
// lets go of everything it held.
class Gamepads {
  public:
    // Of the full tilt, 32767.
    static constexpr int deadZone = 8000;
    static constexpr int triggerHalfWay = 16384;
    // Pixels a frame at full tilt and a sensitivity of 1.
    static constexpr float fullTurn = 15;

    // A change of an input: down or up.
    using Change = std::function<void(Input input, bool down)>;

    Gamepads() = default;
    ~Gamepads();
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // A controller event, turned into changes of inputs; false for any other event.
    bool handle(const SDL_Event& event, const Change& changed);
    // The right sticks' turn for this frame, in pixels as a mouse message carries them: dx to
    // the left, dy down.
    void turn(float sensitivity, int& dx, int& dy);

  private:
    struct Pad {
        SDL_GameController* controller = nullptr;
        std::array<bool, SDL_CONTROLLER_BUTTON_MAX> buttons{};
        std::array<bool, 2> triggers{};
        // Forward, back, left, right.
        std::array<bool, 4> walking{};
    };

    void walk(Pad& pad, const Change& changed);
    void letGo(Pad& pad, const Change& changed);

    std::map<SDL_JoystickID, Pad> pads;
    float carryX = 0;
    float carryY = 0;
};

// The stick's walking directions as inputs, and the actions they are.
Input stickInput(size_t direction);
std::optional<Action> stickAction(Input input);

#endif
