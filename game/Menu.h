#ifndef CUBEFRAY_MENU_H
#define CUBEFRAY_MENU_H

#include "Key.h"
#include "Settings.h"
#include "Vector.h"

#include <array>
#include <cstddef>
#include <string_view>

// The in-game menu, and the settings page of the start screen: its items, which one is chosen,
// and what keys and clicks do to the settings. The game goes on behind it. Positions are window
// pixels from the bottom left, as the overlay draws; the menu lays itself out for the window so
// that drawing and clicking agree.
class Menu {
  public:
    enum class Item {
        resume,
        sensitivity,
        invertMouse,
        fieldOfView,
        controls,
        turnLocally,
        networkLine,
        bots,
        botSkill,
        fullscreen,
        volume,
        quit
    };
    // Where the menu stands: over a match begun from the command line (its last item quits the
    // game), over one begun from the start screen (it leaves the match), or on the start screen
    // (its first item goes back, and the bots of a match against bots and their skill are set
    // there).
    enum class Kind { match, matchFromStartScreen, startScreen };
    // What the program has to do after an input.
    enum class Action { none, resume, changed, toggleFullscreen, openControls, quit };

    struct Box {
        vec2 centre;
        vec2 size;

        bool contains(vec2 point) const;
    };

    // The volume is offered only where there is sound.
    explicit Menu(bool withVolume = false, Kind kind = Kind::match);

    bool isOpen() const { return open; }
    // Its last item leaves the match for the start screen rather than quitting the game.
    bool leavesTheMatch() const { return kind == Kind::matchFromStartScreen; }
    void show();
    void hide() { open = false; }

    size_t itemCount() const { return count; }
    Item item(size_t index) const { return items[index]; }
    size_t selected() const { return chosen; }

    // Up and Down choose, Left and Right change a value, Return or Space act on the item, Escape
    // resumes.
    Action keyDown(Key key, Settings& settings);
    // A click on an item acts on it; on a value, its left half lowers and its right half raises.
    // A click beside the menu resumes.
    Action click(vec2 point, vec2 viewport, Settings& settings);
    void hover(vec2 point, vec2 viewport);

    Box panel(vec2 viewport) const;
    Box itemBox(size_t index, vec2 viewport) const;
    // The line under the items that tells how the link is doing.
    Box linkBox(vec2 viewport) const;
    // The text of an item with its value, written into the buffer.
    std::string_view line(size_t index, const Settings& settings, char (&buffer)[48]) const;

  private:
    Action activate(Settings& settings);
    Action change(Settings& settings, int steps);

    std::array<Item, 12> items{};
    Kind kind = Kind::match;
    size_t count = 0;
    size_t chosen = 0;
    bool open = false;
    bool pointerKnown = false;
    vec2 pointer;
};

#endif
