#include "MatchInput.h"

#include "Gamepads.h"

std::optional<Action> MatchInput::actionOf(Input input) const {
    std::optional<Action> walking = stickAction(input);
    return walking ? walking : bindings.actionOf(input, false);
}

std::optional<Action> MatchInput::pressed(Input input) {
    std::optional<Action> action = actionOf(input);
    if (action == Action::menu || action == Action::fullscreen) {
        return action;
    }
    if (action && !game.menu.isOpen() && !game.controlsPage.isOpen()) {
        game.press(*action, input.id());
    }
    return std::nullopt;
}

// Releases always reach the game, so no key stays held behind the menu or the chat line.
void MatchInput::released(Input input) {
    if (std::optional<Action> action = actionOf(input)) {
        game.release(*action, input.id());
    }
}
