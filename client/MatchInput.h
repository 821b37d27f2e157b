#ifndef CUBEFRAY_MATCHINPUT_H
#define CUBEFRAY_MATCHINPUT_H

#include "Bindings.h"
#include "Game.h"

#include <optional>

// What an input does in a match, whatever device it comes from: the actions of the game go to
// the game, held by the input that pressed them; the menu's and fullscreen come back to the
// program, which owns the window.
class MatchInput {
  public:
    MatchInput(Game& game, const Bindings& bindings) : game(game), bindings(bindings) {}

    // The menu's or fullscreen's action, for the program; nothing when the game took it.
    std::optional<Action> pressed(Input input);
    void released(Input input);

  private:
    std::optional<Action> actionOf(Input input) const;

    Game& game;
    const Bindings& bindings;
};

#endif
