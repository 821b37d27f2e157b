#ifndef CUBEFRAY_STARTSCREEN_H
#define CUBEFRAY_STARTSCREEN_H

#include "ControlsPage.h"
#include "Key.h"
#include "Menu.h"
#include "ReplayFolder.h"
#include "ServerAddress.h"
#include "ServerBrowser.h"
#include "Settings.h"
#include "Vector.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The screen the game opens on when asked to (--start): play against bots, find a game in the
// server list, join an address, choose a name, watch a replay, the settings, quit. Keys and the
// mouse work as in the in-game menu: Up and Down choose, Return or Space act, Escape goes back.
// What the program must do comes back as an action; positions are window pixels from the bottom
// left, laid out here so that drawing and clicking agree.
class StartScreen {
  public:
    enum class Page { main, servers, replays, settings };
    enum class Item { playBots, findGame, joinAddress, name, replays, settings, quit };
    enum class Action {
        none,
        playBots,
        search,
        join,
        listReplays,
        playReplay,
        quit,
        settingsChanged,
        toggleFullscreen,
        openControls
    };

    static constexpr size_t itemCount = 7;
    static constexpr size_t maxAddressLength = 64;
    // Lines of a list shown at once.
    static constexpr size_t visibleLines = 8;

    StartScreen(bool withVolume, const Settings& settings);

    Page page() const { return shownPage; }
    Item item(size_t index) const { return items[index]; }
    size_t selected() const { return chosen; }
    // The chosen line of the list on show: servers or replays.
    size_t chosenLine() const { return chosenListLine; }
    // The first line of the list shown.
    size_t firstShownLine() const;
    // The replays the list shows, newest first.
    void showReplays(std::vector<ReplayListing> found);
    // The replay to play, once the action says so.
    const std::string& chosenReplay() const { return replayTarget; }
    // A text field has the keys: the address or the name.
    bool editing() const { return editedItem != nullptr; }
    Menu& settingsMenu() { return menu; }
    const Menu& settingsMenu() const { return menu; }
    ControlsPage& controlsPage() { return controls; }
    const ControlsPage& controlsPage() const { return controls; }
    // Where a join goes, once the action says so.
    const ServerAddress& target() const { return joinTarget; }
    // A line under the items: why the last join failed, what is going on.
    void setNotice(std::string text) { noticeText = std::move(text); }
    const std::string& notice() const { return noticeText; }

    Action keyDown(Key key, Settings& settings, ServerBrowser& browser);
    // Text typed into the field being edited; characters it cannot hold are dropped.
    void type(std::string_view text);
    Action click(vec2 point, vec2 viewport, Settings& settings, ServerBrowser& browser);
    void hover(vec2 point, vec2 viewport, const ServerBrowser& browser);
    // Opens the server list, as Find a game does.
    Action openServers();
    // Joins the address, as the address field does.
    Action joinAddress(const ServerAddress& address);

    Menu::Box itemBox(size_t index, vec2 viewport) const;
    Menu::Box lineBox(size_t line, vec2 viewport) const;
    Menu::Box titleBox(vec2 viewport) const;
    Menu::Box noticeBox(vec2 viewport) const;
    // The text of an item with its field, written into the buffer.
    std::string_view line(size_t index, char (&buffer)[96]) const;
    // A line of the server list.
    static std::string_view serverLine(const ServerEntry& server, char (&buffer)[96]);
    // The index-th line of the replays list.
    std::string_view replayLine(size_t index, char (&buffer)[96]) const;
    size_t replayCount() const { return replays.size(); }

  private:
    Action mainKey(Key key, Settings& settings);
    Action listKey(Key key, Settings& settings, ServerBrowser& browser);
    size_t listLength(const ServerBrowser& browser) const;
    // Return on a line of the list on show.
    Action pick(const ServerBrowser& browser);
    Action settingsAction(Menu::Action action);
    Action activate(Settings& settings);
    Action editKey(Key key, Settings& settings);
    Action joinServer(const ServerBrowser& browser);
    void toggleFavourite(Settings& settings, ServerBrowser& browser);

    std::array<Item, itemCount> items{Item::playBots, Item::findGame, Item::joinAddress, Item::name,
                                      Item::replays,  Item::settings, Item::quit};
    Page shownPage = Page::main;
    size_t chosen = 0;
    size_t chosenListLine = 0;
    std::vector<ReplayListing> replays;
    std::string replayTarget;
    std::string address;
    std::string name;
    // The field being edited, and what it held before.
    std::string* editedItem = nullptr;
    std::string before;
    ServerAddress joinTarget;
    std::string noticeText;
    Menu menu;
    ControlsPage controls;
    bool pointerKnown = false;
    vec2 pointer;
};

#endif
