#include "Gamepads.h"

#include "InputNames.h"

#include <cmath>

namespace {

const int stickInputs = 300;
const Action stickActions[4] = {Action::forward, Action::back, Action::left, Action::right};

// Past the dead zone, from 0 to 1, squared so that small tilts aim finely.
float response(Sint16 value) {
    float beyond = (std::fabs(float(value)) - float(Gamepads::deadZone)) /
                   (32767.0f - float(Gamepads::deadZone));
    if (beyond <= 0) {
        return 0;
    }
    float curve = std::fmin(beyond, 1.0f);
    return std::copysign(curve * curve, float(value));
}

int wholePixels(float& carry) {
    int whole = int(carry);
    carry -= float(whole);
    return whole;
}

} // namespace

Input stickInput(size_t direction) {
    return {Input::Device::pad, stickInputs + int(direction)};
}

std::optional<Action> stickAction(Input input) {
    int direction = input.code - stickInputs;
    if (input.device != Input::Device::pad || direction < 0 || direction >= 4) {
        return std::nullopt;
    }
    return stickActions[direction];
}

Gamepads::~Gamepads() {
    for (auto& [id, pad] : pads) {
        SDL_GameControllerClose(pad.controller);
    }
}

bool Gamepads::handle(const SDL_Event& event, const Change& changed) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        if (SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which)) {
            SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
            if (pads.count(id) == 0) {
                pads[id].controller = controller;
            }
        }
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (auto pad = pads.find(event.cdevice.which); pad != pads.end()) {
            letGo(pad->second, changed);
            SDL_GameControllerClose(pad->second.controller);
            pads.erase(pad);
        }
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (auto pad = pads.find(event.cbutton.which);
            pad != pads.end() && event.cbutton.button < SDL_CONTROLLER_BUTTON_MAX) {
            bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
            pad->second.buttons[event.cbutton.button] = down;
            changed({Input::Device::pad, event.cbutton.button}, down);
        }
        return true;
    case SDL_CONTROLLERAXISMOTION: {
        auto pad = pads.find(event.caxis.which);
        if (pad == pads.end()) {
            return true;
        }
        Uint8 axis = event.caxis.axis;
        if (axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT) {
            size_t which = axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT ? 0 : 1;
            bool down = event.caxis.value >= triggerHalfWay;
            if (down != pad->second.triggers[which]) {
                pad->second.triggers[which] = down;
                changed({Input::Device::pad, which == 0 ? padLeftTrigger : padRightTrigger}, down);
            }
        } else if (axis == SDL_CONTROLLER_AXIS_LEFTX || axis == SDL_CONTROLLER_AXIS_LEFTY) {
            walk(pad->second, changed);
        }
        return true;
    }
    default:
        return false;
    }
}

void Gamepads::walk(Pad& pad, const Change& changed) {
    Sint16 x = SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTX);
    Sint16 y = SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTY);
    const std::array<bool, 4> now = {y<-deadZone, y> deadZone, x<-deadZone, x> deadZone};
    for (size_t direction = 0; direction < now.size(); ++direction) {
        if (now[direction] != pad.walking[direction]) {
            pad.walking[direction] = now[direction];
            changed(stickInput(direction), now[direction]);
        }
    }
}

// A pad that is gone reads as nothing: what it held is known from its events.
void Gamepads::letGo(Pad& pad, const Change& changed) {
    for (size_t button = 0; button < pad.buttons.size(); ++button) {
        if (pad.buttons[button]) {
            changed({Input::Device::pad, int(button)}, false);
        }
    }
    for (size_t which = 0; which < pad.triggers.size(); ++which) {
        if (pad.triggers[which]) {
            changed({Input::Device::pad, which == 0 ? padLeftTrigger : padRightTrigger}, false);
        }
    }
    for (size_t direction = 0; direction < pad.walking.size(); ++direction) {
        if (pad.walking[direction]) {
            changed(stickInput(direction), false);
        }
    }
}

void Gamepads::turn(float sensitivity, int& dx, int& dy) {
    for (auto& [id, pad] : pads) {
        carryX -= response(SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_RIGHTX)) *
                  fullTurn * sensitivity;
        carryY += response(SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_RIGHTY)) *
                  fullTurn * sensitivity;
    }
    dx = wholePixels(carryX);
    dy = wholePixels(carryY);
}
