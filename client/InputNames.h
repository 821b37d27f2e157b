#ifndef CUBEFRAY_INPUTNAMES_H
#define CUBEFRAY_INPUTNAMES_H

#include "Bindings.h"
#include "Settings.h"

#include <SDL.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The inputs as SDL reports them and as the settings file names them: keys by SDL's scancode
// names ("W", "Up", "Space"; "Scancode 54" where the name would not survive the file), mouse
// buttons "Mouse1" to "Mouse5" ("Mouse": any of them), gamepad buttons "Pad A", "Pad Start",
// "Pad RT" and so on.

// The right and left triggers are pad inputs of their own, past the buttons.
const int padLeftTrigger = SDL_CONTROLLER_BUTTON_MAX;
const int padRightTrigger = SDL_CONTROLLER_BUTTON_MAX + 1;

Input keyInput(SDL_Scancode scancode);
std::optional<Input> inputNamed(std::string_view name);
std::string nameOf(Input input);
// As the player's keyboard layout prints the key, for the Controls page.
std::string shownNameOf(Input input);

// Today's controls: W, S, A, D, Space, any mouse button, T, Escape, F11; in a replay Space, the
// arrows, 1 to 4 and F; on a gamepad A jumps, the right trigger fires and Start opens the menu.
Bindings defaultBindings();
// The bindings the settings name; each name that is no input is added to unknown, and its action
// keeps its default.
Bindings bindingsOf(const Settings& settings, std::vector<std::string>& unknown);
// The bindings as the settings file keeps them.
void keepBindings(const Bindings& bindings, Settings& settings);

#endif
