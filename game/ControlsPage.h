#ifndef CUBEFRAY_CONTROLSPAGE_H
#define CUBEFRAY_CONTROLSPAGE_H

#include "Bindings.h"
#include "Key.h"
#include "Menu.h"
#include "Vector.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The Controls page of the menus: every action with its two inputs, and "Reset to defaults"
// last. Up and Down choose the action, Left and Right its first or second input, Return waits
// for the key, mouse button or gamepad button to bind there (Escape cancels the wait), Escape
// goes back. Binding an input another action has swaps the two. The names shown are the
// program's to give, as the player's keyboard layout prints them.
class ControlsPage {
  public:
    enum class Result { none, changed, back };

    static constexpr size_t lineCount = actionCount + 1;
    static constexpr size_t visibleLines = 10;

    bool isOpen() const { return open; }
    void show();
    void hide() { open = false; }
    size_t selected() const { return chosen; }
    size_t selectedSlot() const { return slot; }
    // Waiting for the input to bind.
    bool waiting() const { return awaiting; }
    size_t firstShownLine() const;

    Result keyDown(Key key, Bindings& bindings);
    // The input pressed while waiting.
    Result capture(Input input, Bindings& bindings);
    void
    setShownNames(const std::array<std::array<std::string, Bindings::slots>, actionCount>& names) {
        shown = names;
    }

    Menu::Box panel(vec2 viewport) const;
    Menu::Box lineBox(size_t shownLine, vec2 viewport) const;
    // The index-th line: the action, its inputs as shown (the chosen one marked while waiting).
    std::string_view line(size_t index, char (&buffer)[96]) const;

  private:
    std::array<std::array<std::string, Bindings::slots>, actionCount> shown;
    size_t chosen = 0;
    size_t slot = 0;
    bool open = false;
    bool awaiting = false;
};

#endif
