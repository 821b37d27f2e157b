#include "InputNames.h"

#include "StringFloat.h"

#include <array>
#include <sstream>

namespace {

const char* const scancodePrefix = "Scancode ";
const char* const mousePrefix = "Mouse";
const char* const padPrefix = "Pad ";
const int mouseButtons = 5;

const std::array<const char*, SDL_CONTROLLER_BUTTON_MAX + 2> padNames = {
    "A",          "B",       "X",       "Y",       "Back",     "Guide", "Start", "LeftStick",
    "RightStick", "LB",      "RB",      "Up",      "Down",     "Left",  "Right", "Misc",
    "Paddle1",    "Paddle2", "Paddle3", "Paddle4", "Touchpad", "LT",    "RT"};

// A name the settings file keeps whole: no comma (the list's), no # (a comment's), not empty.
bool keepsInAFile(std::string_view name) {
    return !name.empty() && name.find(',') == std::string_view::npos &&
           name.find('#') == std::string_view::npos;
}

std::string_view trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

Input key(SDL_Scancode scancode) {
    return {Input::Device::key, int(scancode)};
}

} // namespace

Input keyInput(SDL_Scancode scancode) {
    return key(scancode);
}

std::optional<Input> inputNamed(std::string_view name) {
    std::string text(trimmed(name));
    if (text == mousePrefix) {
        return Input{Input::Device::mouse, 0};
    }
    if (text.rfind(mousePrefix, 0) == 0) {
        std::optional<int> button = parseWholeNumber(text.substr(5));
        if (button && *button >= 1 && *button <= mouseButtons) {
            return Input{Input::Device::mouse, *button};
        }
    }
    if (text.rfind(padPrefix, 0) == 0) {
        for (size_t i = 0; i < padNames.size(); ++i) {
            if (text.substr(4) == padNames[i]) {
                return Input{Input::Device::pad, int(i)};
            }
        }
    }
    if (text.rfind(scancodePrefix, 0) == 0) {
        std::optional<int> code = parseWholeNumber(text.substr(9));
        if (code && *code > 0 && *code < SDL_NUM_SCANCODES) {
            return key(SDL_Scancode(*code));
        }
    }
    SDL_Scancode scancode = SDL_GetScancodeFromName(text.c_str());
    if (scancode != SDL_SCANCODE_UNKNOWN) {
        return key(scancode);
    }
    return std::nullopt;
}

std::string nameOf(Input input) {
    switch (input.device) {
    case Input::Device::key: {
        std::string name = SDL_GetScancodeName(SDL_Scancode(input.code));
        return keepsInAFile(name) ? name : scancodePrefix + std::to_string(input.code);
    }
    case Input::Device::mouse:
        return input.code == 0 ? mousePrefix : mousePrefix + std::to_string(input.code);
    case Input::Device::pad:
        return size_t(input.code) < padNames.size()
                   ? padPrefix + std::string(padNames[size_t(input.code)])
                   : "";
    default:
        return "";
    }
}

std::string shownNameOf(Input input) {
    if (input.device == Input::Device::key) {
        const char* printed = SDL_GetKeyName(SDL_GetKeyFromScancode(SDL_Scancode(input.code)));
        return *printed != '\0' ? printed : nameOf(input);
    }
    if (input.device == Input::Device::mouse) {
        return input.code == 0 ? "Any mouse" : "Mouse " + std::to_string(input.code);
    }
    return nameOf(input);
}

Bindings defaultBindings() {
    const Input none;
    const Input pad{Input::Device::pad, SDL_CONTROLLER_BUTTON_A};
    Bindings::Table table{};
    auto set = [&table](Action action, Input first, Input second) {
        table[size_t(action)] = {first, second};
    };
    set(Action::forward, key(SDL_SCANCODE_W), none);
    set(Action::back, key(SDL_SCANCODE_S), none);
    set(Action::left, key(SDL_SCANCODE_A), none);
    set(Action::right, key(SDL_SCANCODE_D), none);
    set(Action::jump, key(SDL_SCANCODE_SPACE), pad);
    set(Action::fire, Input{Input::Device::mouse, 0}, Input{Input::Device::pad, padRightTrigger});
    set(Action::chat, key(SDL_SCANCODE_T), none);
    set(Action::menu, key(SDL_SCANCODE_ESCAPE),
        Input{Input::Device::pad, SDL_CONTROLLER_BUTTON_START});
    set(Action::fullscreen, key(SDL_SCANCODE_F11), none);
    set(Action::pause, key(SDL_SCANCODE_SPACE), pad);
    set(Action::jumpBack, key(SDL_SCANCODE_LEFT), none);
    set(Action::jumpForward, key(SDL_SCANCODE_RIGHT), none);
    set(Action::faster, key(SDL_SCANCODE_UP), none);
    set(Action::slower, key(SDL_SCANCODE_DOWN), none);
    set(Action::eye1, key(SDL_SCANCODE_1), none);
    set(Action::eye2, key(SDL_SCANCODE_2), none);
    set(Action::eye3, key(SDL_SCANCODE_3), none);
    set(Action::eye4, key(SDL_SCANCODE_4), none);
    set(Action::freeCamera, key(SDL_SCANCODE_F), none);
    return Bindings(table);
}

Bindings bindingsOf(const Settings& settings, std::vector<std::string>& unknown) {
    Bindings bindings = defaultBindings();
    for (size_t i = 0; i < actionCount; ++i) {
        if (settings.bindings[i].empty()) {
            continue;
        }
        Bindings::Slots inputs{};
        size_t taken = 0;
        bool known = true;
        std::istringstream names(settings.bindings[i]);
        std::string name;
        while (std::getline(names, name, ',')) {
            std::optional<Input> input = inputNamed(name);
            if (!input) {
                unknown.push_back(std::string(trimmed(name)));
                known = false;
            } else if (taken < Bindings::slots) {
                inputs[taken++] = *input;
            }
        }
        for (size_t slot = 0; known && slot < Bindings::slots; ++slot) {
            bindings.bind(Action(i), slot, inputs[slot]);
        }
    }
    return bindings;
}

void keepBindings(const Bindings& bindings, Settings& settings) {
    for (size_t i = 0; i < actionCount; ++i) {
        std::string names;
        for (const Input& input : bindings.of(Action(i))) {
            if (input.device != Input::Device::none) {
                names += (names.empty() ? "" : ", ") + nameOf(input);
            }
        }
        settings.bindings[i] = names;
    }
}
