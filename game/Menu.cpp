#include "Menu.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const float itemHeight = 32;
const float itemWidth = 480;
const float panelMargin = 24;
// Each step of the sensitivity is a quarter more or less: 0.1 to 10 in about twenty steps.
const double sensitivityRatio = 1.25;
const double fieldOfViewStep = 5;
const int volumeStep = 10;

// Steps along a grid whose lines stand at whole numbers: a value on a line moves by the steps, one
// between lines (from the settings file, or a limit) first to the next line in the direction of
// the steps. So steps up and down return exactly.
double alongGrid(double position, int steps) {
    const double onLine = 1e-3;
    return steps > 0 ? std::floor(position + onLine) + steps : std::ceil(position - onLine) + steps;
}

float steppedSensitivity(float value, int steps) {
    if (!(value > 0)) {
        return Settings::minSensitivity;
    }
    double position = std::log(double(value)) / std::log(sensitivityRatio);
    return float(std::pow(sensitivityRatio, alongGrid(position, steps)));
}

float steppedFieldOfView(float value, int steps) {
    return float(fieldOfViewStep * alongGrid(double(value) / fieldOfViewStep, steps));
}

int toggleLine(char (&buffer)[48], const char* name, bool on) {
    return std::snprintf(buffer, sizeof buffer, "%s  %s", name, on ? "yes" : "no");
}

} // namespace

bool Menu::Box::contains(vec2 point) const {
    return std::fabs(point.x - centre.x) <= size.x / 2 &&
           std::fabs(point.y - centre.y) <= size.y / 2;
}

Menu::Menu(bool withVolume, Kind kind) : kind(kind) {
    bool onStartScreen = kind == Kind::startScreen;
    for (Item item : {Item::resume, Item::sensitivity, Item::invertMouse, Item::fieldOfView,
                      Item::controls, Item::turnLocally, Item::networkLine, Item::bots,
                      Item::botSkill, Item::fullscreen, Item::volume, Item::quit}) {
        bool forMatchesAgainstBots = item == Item::bots || item == Item::botSkill;
        bool offered = (item != Item::volume || withVolume) &&
                       (!forMatchesAgainstBots || onStartScreen) &&
                       (item != Item::quit || !onStartScreen);
        if (offered) {
            items[count++] = item;
        }
    }
}

void Menu::show() {
    open = true;
    chosen = 0;
    pointerKnown = false;
}

Menu::Action Menu::keyDown(Key key, Settings& settings) {
    switch (key) {
    case Key::up:
        chosen = (chosen + count - 1) % count;
        return Action::none;
    case Key::down:
        chosen = (chosen + 1) % count;
        return Action::none;
    case Key::left:
        return change(settings, -1);
    case Key::right:
        return change(settings, 1);
    case Key::enter:
    case Key::keypadEnter:
    case Key::space:
        return activate(settings);
    case Key::escape:
        return Action::resume;
    default:
        return Action::none;
    }
}

Menu::Action Menu::click(vec2 point, vec2 viewport, Settings& settings) {
    if (!panel(viewport).contains(point)) {
        return Action::resume;
    }
    for (size_t i = 0; i < count; ++i) {
        Box box = itemBox(i, viewport);
        if (!box.contains(point)) {
            continue;
        }
        chosen = i;
        bool onValue = items[i] == Item::sensitivity || items[i] == Item::fieldOfView ||
                       items[i] == Item::volume || items[i] == Item::bots ||
                       items[i] == Item::botSkill;
        if (onValue) {
            return change(settings, point.x < box.centre.x ? -1 : 1);
        }
        return activate(settings);
    }
    return Action::none;
}

// The pointer appears where the mouse was left, which is nobody's choice: only moving it on from
// there chooses.
void Menu::hover(vec2 point, vec2 viewport) {
    bool moved = pointerKnown && (point.x != pointer.x || point.y != pointer.y);
    pointerKnown = true;
    pointer = point;
    if (!moved) {
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        if (itemBox(i, viewport).contains(point)) {
            chosen = i;
        }
    }
}

Menu::Action Menu::activate(Settings& settings) {
    switch (items[chosen]) {
    case Item::resume:
        return Action::resume;
    case Item::fullscreen:
        return Action::toggleFullscreen;
    case Item::controls:
        return Action::openControls;
    case Item::quit:
        return Action::quit;
    default:
        return change(settings, 1);
    }
}

Menu::Action Menu::change(Settings& settings, int steps) {
    switch (items[chosen]) {
    case Item::sensitivity:
        settings.sensitivity = steppedSensitivity(settings.sensitivity, steps);
        break;
    case Item::fieldOfView:
        settings.fieldOfView = steppedFieldOfView(settings.fieldOfView, steps);
        break;
    case Item::volume:
        settings.volume += volumeStep * steps;
        break;
    case Item::bots:
        settings.bots += steps;
        break;
    case Item::botSkill:
        settings.botSkill = nextSkillLevel(settings.botSkill, steps);
        break;
    case Item::invertMouse:
        settings.invertMouse = !settings.invertMouse;
        break;
    case Item::turnLocally:
        settings.turnLocally = !settings.turnLocally;
        break;
    case Item::networkLine:
        settings.networkLine = !settings.networkLine;
        break;
    default:
        return Action::none;
    }
    settings.clamp();
    return Action::changed;
}

// The items, then the line about the link.
Menu::Box Menu::panel(vec2 viewport) const {
    return {viewport * 0.5f,
            vec2(itemWidth + 2 * panelMargin, float(count + 1) * itemHeight + 2 * panelMargin)};
}

Menu::Box Menu::itemBox(size_t index, vec2 viewport) const {
    float top = viewport.y / 2 + float(count + 1) * itemHeight / 2;
    return {vec2(viewport.x / 2, top - (float(index) + 0.5f) * itemHeight),
            vec2(itemWidth, itemHeight)};
}

Menu::Box Menu::linkBox(vec2 viewport) const {
    return itemBox(count, viewport);
}

std::string_view Menu::line(size_t index, const Settings& settings, char (&buffer)[48]) const {
    int length = 0;
    switch (items[index]) {
    case Item::resume:
        length =
            std::snprintf(buffer, sizeof buffer, kind == Kind::startScreen ? "Back" : "Resume");
        break;
    case Item::bots:
        length = std::snprintf(buffer, sizeof buffer, "Bots  %d", settings.bots);
        break;
    case Item::botSkill:
        length =
            std::snprintf(buffer, sizeof buffer, "Bot skill  %s", skillName(settings.botSkill));
        break;
    case Item::controls:
        length = std::snprintf(buffer, sizeof buffer, "Controls");
        break;
    case Item::sensitivity:
        length = std::snprintf(buffer, sizeof buffer, "Mouse sensitivity  %.3g",
                               double(settings.sensitivity));
        break;
    case Item::invertMouse:
        length = toggleLine(buffer, "Invert mouse", settings.invertMouse);
        break;
    case Item::fieldOfView:
        length = std::snprintf(buffer, sizeof buffer, "Field of view  %.0f",
                               double(settings.fieldOfView));
        break;
    case Item::fullscreen:
        length = toggleLine(buffer, "Fullscreen", settings.fullscreen);
        break;
    case Item::turnLocally:
        length = toggleLine(buffer, "Turn the view locally", settings.turnLocally);
        break;
    case Item::networkLine:
        length = toggleLine(buffer, "Network line", settings.networkLine);
        break;
    case Item::volume:
        length = settings.volume == 0
                     ? std::snprintf(buffer, sizeof buffer, "Volume  muted")
                     : std::snprintf(buffer, sizeof buffer, "Volume  %d", settings.volume);
        break;
    case Item::quit:
        length = std::snprintf(buffer, sizeof buffer,
                               kind == Kind::matchFromStartScreen ? "Leave" : "Quit");
        break;
    }
    return std::string_view(buffer, size_t(std::clamp(length, 0, int(sizeof buffer) - 1)));
}
