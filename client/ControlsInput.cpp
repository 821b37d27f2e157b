#include "ControlsInput.h"

#include "InputNames.h"
#include "KeyOf.h"

ControlsInput::ControlsInput(Bindings& bindings, Settings& settings, Display& display)
    : bindings(bindings), settings(settings), display(display) {}

void ControlsInput::open(ControlsPage& page) const {
    showNames(page);
    page.show();
}

void ControlsInput::showNames(ControlsPage& page) const {
    std::array<std::array<std::string, Bindings::slots>, actionCount> names;
    for (size_t i = 0; i < actionCount; ++i) {
        for (size_t slot = 0; slot < Bindings::slots; ++slot) {
            Input input = bindings.of(Action(i))[slot];
            names[i][slot] = input.device == Input::Device::none ? "-" : shownNameOf(input);
        }
    }
    page.setShownNames(names);
}

bool ControlsInput::isPageEvent(const SDL_Event& event) {
    return event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN ||
           event.type == SDL_CONTROLLERBUTTONDOWN;
}

bool ControlsInput::handle(const SDL_Event& event, ControlsPage& page) const {
    bool escape = event.type == SDL_KEYDOWN && event.key.keysym.scancode == SDL_SCANCODE_ESCAPE;
    if (event.type == SDL_KEYDOWN && (escape || !page.waiting())) {
        result(page.keyDown(keyOf(event.key.keysym.scancode), bindings), page);
    } else if (event.type == SDL_KEYDOWN) {
        result(page.capture(keyInput(event.key.keysym.scancode), bindings), page);
    } else if (event.type == SDL_MOUSEBUTTONDOWN) {
        result(page.capture({Input::Device::mouse, event.button.button}, bindings), page);
    } else if (event.type == SDL_CONTROLLERBUTTONDOWN) {
        result(page.waiting() ? page.capture({Input::Device::pad, event.cbutton.button}, bindings)
                              : page.keyDown(padKeyOf(event.cbutton.button), bindings),
               page);
    }
    return !page.isOpen();
}

void ControlsInput::result(ControlsPage::Result result, ControlsPage& page) const {
    if (result == ControlsPage::Result::changed) {
        keepBindings(bindings, settings);
        display.save(settings);
        showNames(page);
    }
}
