#include "ControlsPage.h"

#include <algorithm>
#include <cstdio>

namespace {

const float lineHeight = 30;
const float lineWidth = 640;
const float margin = 24;

} // namespace

void ControlsPage::show() {
    open = true;
    awaiting = false;
    chosen = 0;
    slot = 0;
}

size_t ControlsPage::firstShownLine() const {
    return chosen < visibleLines ? 0 : chosen - visibleLines + 1;
}

ControlsPage::Result ControlsPage::keyDown(Key key, Bindings& bindings) {
    if (awaiting) {
        awaiting = key != Key::escape;
        return Result::none;
    }
    switch (key) {
    case Key::up:
        chosen = (chosen + lineCount - 1) % lineCount;
        return Result::none;
    case Key::down:
        chosen = (chosen + 1) % lineCount;
        return Result::none;
    case Key::left:
    case Key::right:
        slot = key == Key::left ? 0 : 1;
        return Result::none;
    case Key::enter:
    case Key::keypadEnter:
    case Key::space:
        if (chosen == actionCount) {
            bindings.reset();
            return Result::changed;
        }
        awaiting = true;
        return Result::none;
    case Key::escape:
        hide();
        return Result::back;
    default:
        return Result::none;
    }
}

ControlsPage::Result ControlsPage::capture(Input input, Bindings& bindings) {
    if (!awaiting || chosen >= actionCount) {
        return Result::none;
    }
    awaiting = false;
    bindings.bind(Action(chosen), slot, input);
    return Result::changed;
}

Menu::Box ControlsPage::panel(vec2 viewport) const {
    return {viewport * 0.5f,
            vec2(lineWidth + 2 * margin, float(visibleLines + 1) * lineHeight + 2 * margin)};
}

// The title line first, then the lines shown.
Menu::Box ControlsPage::lineBox(size_t shownLine, vec2 viewport) const {
    float top = viewport.y / 2 + float(visibleLines + 1) * lineHeight / 2;
    return {vec2(viewport.x / 2, top - (float(shownLine) + 1.5f) * lineHeight),
            vec2(lineWidth, lineHeight)};
}

// Built in the buffer without the heap: the page is drawn every frame it is open.
std::string_view ControlsPage::line(size_t index, char (&buffer)[96]) const {
    int length = 0;
    if (index >= actionCount) {
        length = std::snprintf(buffer, sizeof buffer, "Reset to defaults");
    } else {
        char names[Bindings::slots][24];
        for (size_t i = 0; i < Bindings::slots; ++i) {
            bool marked = index == chosen && i == slot;
            const char* name = marked && awaiting ? "press" : shown[index][i].c_str();
            std::snprintf(names[i], sizeof names[i], marked ? "[%.12s]" : "%.12s", name);
        }
        length = std::snprintf(buffer, sizeof buffer, "%-20s %-14s %-14s",
                               infoOf(Action(index)).label, names[0], names[1]);
    }
    return std::string_view(buffer, size_t(std::clamp(length, 0, int(sizeof buffer) - 1)));
}
