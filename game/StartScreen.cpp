#include "StartScreen.h"

#include "Messages.h"

#include <algorithm>
#include <cstdio>

namespace {

const float itemHeight = 36;
const float itemWidth = 560;
const float serverHeight = 30;
const float serverWidth = 700;

std::string_view written(int length, const char (&buffer)[96]) {
    return std::string_view(buffer, size_t(std::clamp(length, 0, int(sizeof buffer) - 1)));
}

} // namespace

StartScreen::StartScreen(bool withVolume, const Settings& settings)
    : name(settings.name), menu(withVolume, Menu::Kind::startScreen) {
    if (!settings.recent.empty()) {
        address = settings.recent.front().text();
    }
}

StartScreen::Action StartScreen::keyDown(Key key, Settings& settings, ServerBrowser& browser) {
    if (editing()) {
        return editKey(key, settings);
    }
    switch (shownPage) {
    case Page::servers:
    case Page::replays:
        return listKey(key, settings, browser);
    case Page::settings:
        return settingsAction(menu.keyDown(key, settings));
    default:
        return mainKey(key, settings);
    }
}

StartScreen::Action StartScreen::mainKey(Key key, Settings& settings) {
    switch (key) {
    case Key::up:
        chosen = (chosen + itemCount - 1) % itemCount;
        return Action::none;
    case Key::down:
        chosen = (chosen + 1) % itemCount;
        return Action::none;
    case Key::enter:
    case Key::keypadEnter:
    case Key::space:
        return activate(settings);
    default:
        return Action::none;
    }
}

StartScreen::Action StartScreen::activate(Settings&) {
    switch (items[chosen]) {
    case Item::playBots:
        return Action::playBots;
    case Item::findGame:
        return openServers();
    case Item::joinAddress:
        editedItem = &address;
        break;
    case Item::name:
        editedItem = &name;
        break;
    case Item::replays:
        return Action::listReplays;
    case Item::settings:
        shownPage = Page::settings;
        menu.show();
        return Action::none;
    case Item::quit:
        return Action::quit;
    }
    before = *editedItem;
    return Action::none;
}

StartScreen::Action StartScreen::openServers() {
    shownPage = Page::servers;
    chosenListLine = 0;
    return Action::search;
}

void StartScreen::showReplays(std::vector<ReplayListing> found) {
    replays = std::move(found);
    shownPage = Page::replays;
    chosenListLine = 0;
}

size_t StartScreen::listLength(const ServerBrowser& browser) const {
    return shownPage == Page::replays ? replays.size() : browser.servers().size();
}

StartScreen::Action StartScreen::pick(const ServerBrowser& browser) {
    if (shownPage == Page::servers) {
        return joinServer(browser);
    }
    if (chosenListLine >= replays.size()) {
        return Action::none;
    }
    replayTarget = replays[chosenListLine].path;
    return Action::playReplay;
}

StartScreen::Action StartScreen::joinAddress(const ServerAddress& server) {
    joinTarget = server;
    return Action::join;
}

// Return takes what was typed, Escape puts back what was there.
StartScreen::Action StartScreen::editKey(Key key, Settings& settings) {
    if (key == Key::escape) {
        *editedItem = before;
        editedItem = nullptr;
    } else if (key == Key::backspace && !editedItem->empty()) {
        editedItem->pop_back();
    } else if (key == Key::enter || key == Key::keypadEnter) {
        if (editedItem == &name) {
            editedItem = nullptr;
            settings.name = name = playerName(name);
            return Action::settingsChanged;
        }
        std::optional<ServerAddress> server = parseServerAddress(address);
        if (!server) {
            noticeText = "Write HOST or HOST:PORT";
            return Action::none;
        }
        editedItem = nullptr;
        return joinAddress(*server);
    }
    return Action::none;
}

void StartScreen::type(std::string_view text) {
    if (!editing()) {
        return;
    }
    size_t most = editedItem == &name ? size_t(nameFieldSize - 1) : maxAddressLength;
    for (char c : text) {
        bool fits = c > ' ' && c <= '~' && c != '#';
        bool blankInName = c == ' ' && editedItem == &name;
        if ((fits || blankInName) && editedItem->size() < most) {
            *editedItem += c;
        }
    }
}

StartScreen::Action StartScreen::listKey(Key key, Settings& settings, ServerBrowser& browser) {
    size_t lines = listLength(browser);
    bool servers = shownPage == Page::servers;
    switch (key) {
    case Key::up:
        chosenListLine = lines == 0 ? 0 : (chosenListLine + lines - 1) % lines;
        return Action::none;
    case Key::down:
        chosenListLine = lines == 0 ? 0 : (chosenListLine + 1) % lines;
        return Action::none;
    case Key::enter:
    case Key::keypadEnter:
    case Key::space:
        return pick(browser);
    case Key::r:
        return servers ? openServers() : Action::listReplays;
    case Key::f:
        if (!servers) {
            return Action::none;
        }
        toggleFavourite(settings, browser);
        return Action::settingsChanged;
    case Key::escape:
        shownPage = Page::main;
        return Action::none;
    default:
        return Action::none;
    }
}

StartScreen::Action StartScreen::joinServer(const ServerBrowser& browser) {
    if (chosenListLine >= browser.servers().size()) {
        return Action::none;
    }
    const PeerAddress& server = browser.servers()[chosenListLine].address;
    std::string host = addressText(server);
    return joinAddress({host.substr(0, host.rfind(':')), server.port});
}

void StartScreen::toggleFavourite(Settings& settings, ServerBrowser& browser) {
    if (chosenListLine >= browser.servers().size()) {
        return;
    }
    ServerEntry& entry = *browser.find(browser.servers()[chosenListLine].address);
    std::string host = addressText(entry.address);
    ServerAddress server{host.substr(0, host.rfind(':')), entry.address.port};
    auto& favourites = settings.favourites;
    entry.favourite = !entry.favourite;
    favourites.erase(std::remove(favourites.begin(), favourites.end(), server), favourites.end());
    if (entry.favourite) {
        favourites.push_back(server);
    }
}

StartScreen::Action StartScreen::settingsAction(Menu::Action action) {
    switch (action) {
    case Menu::Action::resume:
        menu.hide();
        shownPage = Page::main;
        return Action::none;
    case Menu::Action::changed:
        return Action::settingsChanged;
    case Menu::Action::toggleFullscreen:
        return Action::toggleFullscreen;
    case Menu::Action::openControls:
        return Action::openControls;
    default:
        return Action::none;
    }
}

StartScreen::Action StartScreen::click(vec2 point, vec2 viewport, Settings& settings,
                                       ServerBrowser& browser) {
    if (shownPage == Page::settings) {
        return settingsAction(menu.click(point, viewport, settings));
    }
    if (shownPage == Page::servers || shownPage == Page::replays) {
        size_t shown = std::min(visibleLines, listLength(browser) - firstShownLine());
        for (size_t line = 0; line < shown; ++line) {
            if (lineBox(line, viewport).contains(point)) {
                chosenListLine = firstShownLine() + line;
                return pick(browser);
            }
        }
        return Action::none;
    }
    for (size_t i = 0; i < itemCount; ++i) {
        if (itemBox(i, viewport).contains(point) && !editing()) {
            chosen = i;
            return activate(settings);
        }
    }
    return Action::none;
}

// The pointer appears where the mouse was left, which is nobody's choice: only moving it on from
// there chooses.
void StartScreen::hover(vec2 point, vec2 viewport, const ServerBrowser& browser) {
    if (shownPage == Page::settings) {
        menu.hover(point, viewport);
        return;
    }
    bool moved = pointerKnown && (point.x != pointer.x || point.y != pointer.y);
    pointerKnown = true;
    pointer = point;
    if (!moved || editing()) {
        return;
    }
    if (shownPage == Page::servers || shownPage == Page::replays) {
        size_t shown = std::min(visibleLines, listLength(browser) - firstShownLine());
        for (size_t line = 0; line < shown; ++line) {
            if (lineBox(line, viewport).contains(point)) {
                chosenListLine = firstShownLine() + line;
            }
        }
        return;
    }
    for (size_t i = 0; i < itemCount; ++i) {
        if (itemBox(i, viewport).contains(point)) {
            chosen = i;
        }
    }
}

size_t StartScreen::firstShownLine() const {
    return chosenListLine < visibleLines ? 0 : chosenListLine - visibleLines + 1;
}

Menu::Box StartScreen::titleBox(vec2 viewport) const {
    return {vec2(viewport.x / 2, viewport.y - 60), vec2(itemWidth, 60)};
}

Menu::Box StartScreen::itemBox(size_t index, vec2 viewport) const {
    float top = viewport.y / 2 + float(itemCount) * itemHeight / 2;
    return {vec2(viewport.x / 2, top - (float(index) + 0.5f) * itemHeight),
            vec2(itemWidth, itemHeight)};
}

Menu::Box StartScreen::lineBox(size_t line, vec2 viewport) const {
    float top = viewport.y - 130;
    return {vec2(viewport.x / 2, top - (float(line) + 0.5f) * serverHeight),
            vec2(serverWidth, serverHeight)};
}

Menu::Box StartScreen::noticeBox(vec2 viewport) const {
    return {vec2(viewport.x / 2, 50), vec2(serverWidth, itemHeight)};
}

std::string_view StartScreen::line(size_t index, char (&buffer)[96]) const {
    const char* cursor = "";
    switch (items[index]) {
    case Item::playBots:
        return written(std::snprintf(buffer, sizeof buffer, "Play against bots"), buffer);
    case Item::findGame:
        return written(std::snprintf(buffer, sizeof buffer, "Find a game"), buffer);
    case Item::joinAddress:
        cursor = editedItem == &address ? "_" : "";
        return written(
            std::snprintf(buffer, sizeof buffer, "Join address  %s%s", address.c_str(), cursor),
            buffer);
    case Item::name:
        cursor = editedItem == &name ? "_" : "";
        return written(std::snprintf(buffer, sizeof buffer, "Name  %s%s", name.c_str(), cursor),
                       buffer);
    case Item::replays:
        return written(std::snprintf(buffer, sizeof buffer, "Replays"), buffer);
    case Item::settings:
        return written(std::snprintf(buffer, sizeof buffer, "Settings"), buffer);
    case Item::quit:
        return written(std::snprintf(buffer, sizeof buffer, "Quit"), buffer);
    }
    return {};
}

std::string_view StartScreen::serverLine(const ServerEntry& server, char (&buffer)[96]) {
    std::string address = addressText(server.address);
    int length = std::snprintf(buffer, sizeof buffer, "%s%-16.16s %d/%d %4.0f ms  %s%s",
                               server.favourite ? "*" : " ", server.name.c_str(), server.players,
                               server.maxPlayers, server.ping, address.c_str(),
                               server.full() ? "  FULL" : "");
    return written(length, buffer);
}

// When, where and how long: "2026-12-07 12:06  127.0.0.1:4000  0:06".
std::string_view StartScreen::replayLine(size_t index, char (&buffer)[96]) const {
    const ReplayListing& replay = replays[index];
    std::string when = replay.header.start.substr(0, 16);
    std::replace(when.begin(), when.end(), 'T', ' ');
    int seconds = int(replay.length / 1000);
    int length = std::snprintf(buffer, sizeof buffer, "%-16.16s  %-22.22s %3d:%02d%s", when.c_str(),
                               replay.header.server.c_str(), seconds / 60, seconds % 60,
                               replay.problem.empty() ? "" : "  damaged");
    return written(length, buffer);
}
