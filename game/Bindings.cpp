#include "Bindings.h"

#include "GameRules.h"

namespace {

const ActionInfo actions[actionCount] = {
    {"forward", "Forward", true, false, walkForward},
    {"back", "Back", true, false, walkBack},
    {"left", "Left", true, false, strafeLeft},
    {"right", "Right", true, false, strafeRight},
    {"jump", "Jump", true, false, jump},
    {"fire", "Fire", true, false, fire},
    {"chat", "Chat", true, false, -1},
    {"menu", "Menu", true, true, -1},
    {"fullscreen", "Fullscreen", true, true, -1},
    {"pause", "Replay: pause", false, true, -1},
    {"jump_back", "Replay: 5 s back", false, true, -1},
    {"jump_forward", "Replay: 5 s on", false, true, -1},
    {"faster", "Replay: faster", false, true, -1},
    {"slower", "Replay: slower", false, true, -1},
    {"eye_1", "Replay: eye of 1st", false, true, -1},
    {"eye_2", "Replay: eye of 2nd", false, true, -1},
    {"eye_3", "Replay: eye of 3rd", false, true, -1},
    {"eye_4", "Replay: eye of 4th", false, true, -1},
    {"free_camera", "Replay: free camera", false, true, -1},
};

bool meet(Action a, Action b) {
    const ActionInfo& x = infoOf(a);
    const ActionInfo& y = infoOf(b);
    return (x.inMatch && y.inMatch) || (x.inReplay && y.inReplay);
}

} // namespace

const ActionInfo& infoOf(Action action) {
    return actions[size_t(action)];
}

Bindings::Bindings(const Table& defaults) : defaults(defaults), current(defaults) {}

std::optional<Action> Bindings::actionOf(Input input, bool inReplay) const {
    Input anyButton{Input::Device::mouse, 0};
    for (size_t i = 0; i < actionCount; ++i) {
        const ActionInfo& info = actions[i];
        if (!(inReplay ? info.inReplay : info.inMatch)) {
            continue;
        }
        for (const Input& bound : current[i]) {
            bool anyMouse = bound == anyButton && input.device == Input::Device::mouse;
            if (input.device != Input::Device::none && (bound == input || anyMouse)) {
                return Action(i);
            }
        }
    }
    return std::nullopt;
}

void Bindings::bind(Action action, size_t slot, Input input) {
    Input replaced = current[size_t(action)][slot];
    for (size_t i = 0; i < actionCount && input.device != Input::Device::none; ++i) {
        for (Input& bound : current[i]) {
            if (bound == input && meet(Action(i), action)) {
                bound = replaced;
            }
        }
    }
    current[size_t(action)][slot] = input;
}
