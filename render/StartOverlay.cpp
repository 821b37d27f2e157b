#include "StartOverlay.h"

#include "MenuOverlay.h"

#include <epoxy/gl.h>

#include <algorithm>

namespace {

const int titleSize = 56;
const int titleAdvance = 44;
const int itemSize = 24;
const int itemAdvance = 18;
const int listSize = 15;
const int listAdvance = 11;
const vec4 chosenColor(0.25f, 0.45f, 0.8f, 0.6f);

void drawCentred(Pen& pen, TextDrawer& text, std::string_view line, vec2 centre, int size,
                 int advance) {
    float width = float(line.size() * size_t(advance));
    text.draw(pen, line, vec2(centre.x - width / 2 + float(advance) / 2, centre.y), size, advance);
}

void drawLeft(Pen& pen, TextDrawer& text, std::string_view line, const Menu::Box& box, int size,
              int advance) {
    vec2 start(box.centre.x - box.size.x / 2 + float(advance), box.centre.y);
    text.draw(pen, line, start, size, advance);
}

void drawPanel(Pen& pen, vec2 centre, vec2 size) {
    pen.fillRect(centre, size + vec2(4, 4), vec4(0.6f, 0.65f, 0.75f, 0.8f));
    pen.fillRect(centre, size, vec4(0.02f, 0.03f, 0.06f, 0.85f));
}

void drawItems(Pen& pen, TextDrawer& text, const StartScreen& screen, vec2 viewport) {
    Menu::Box first = screen.itemBox(0, viewport);
    Menu::Box last = screen.itemBox(StartScreen::itemCount - 1, viewport);
    drawPanel(pen, vec2(first.centre.x, (first.centre.y + last.centre.y) / 2),
              vec2(first.size.x + 48, first.centre.y - last.centre.y + first.size.y + 48));
    Menu::Box chosen = screen.itemBox(screen.selected(), viewport);
    pen.fillRect(chosen.centre, chosen.size, chosenColor);
    for (size_t i = 0; i < StartScreen::itemCount; ++i) {
        char buffer[96];
        bool isChosen = i == screen.selected();
        pen.simpleTextureProgram.color(1, 1, isChosen ? 1.0f : 0.85f, 1);
        drawCentred(pen, text, screen.line(i, buffer), screen.itemBox(i, viewport).centre, itemSize,
                    itemAdvance);
        glEnable(GL_BLEND);
    }
}

// A list of lines, the chosen one marked, under a line of what the keys do; lineOf writes the
// index-th line and tells whether to draw it as marked (a full server).
template <typename LineOf>
void drawList(Pen& pen, TextDrawer& text, const StartScreen& screen, std::string_view keys,
              size_t count, LineOf lineOf, vec2 viewport) {
    Menu::Box top = screen.lineBox(0, viewport);
    float height = top.size.y * float(StartScreen::visibleLines + 1);
    drawPanel(pen, vec2(top.centre.x, top.centre.y + top.size.y / 2 - height / 2 + 20),
              vec2(top.size.x + 24, height + 48));
    pen.simpleTextureProgram.color(0.6f, 0.8f, 1, 1);
    Menu::Box header = top;
    header.centre.y += top.size.y + 8;
    drawLeft(pen, text, keys, header, listSize, listAdvance);
    glEnable(GL_BLEND);
    size_t first = std::min(screen.firstShownLine(), count);
    size_t shown = std::min(StartScreen::visibleLines, count - first);
    for (size_t line = 0; line < shown; ++line) {
        Menu::Box box = screen.lineBox(line, viewport);
        if (first + line == screen.chosenLine()) {
            pen.fillRect(box.centre, box.size, chosenColor);
        }
        char buffer[96];
        bool marked = false;
        std::string_view written = lineOf(first + line, buffer, marked);
        marked ? pen.simpleTextureProgram.color(1, 0.5f, 0.4f, 1)
               : pen.simpleTextureProgram.color(1, 1, 0.9f, 1);
        drawLeft(pen, text, written, box, listSize, listAdvance);
        glEnable(GL_BLEND);
    }
}

void drawServers(Pen& pen, TextDrawer& text, const StartScreen& screen,
                 const ServerBrowser& browser, vec2 viewport) {
    const std::vector<ServerEntry>& servers = browser.servers();
    std::string_view keys = servers.empty() ? "Searching...   R refresh   Escape back"
                                            : "Return join   R refresh   F favourite   Escape back";
    drawList(
        pen, text, screen, keys, servers.size(),
        [&](size_t index, char(&buffer)[96], bool& marked) {
            marked = servers[index].full();
            return StartScreen::serverLine(servers[index], buffer);
        },
        viewport);
}

void drawReplays(Pen& pen, TextDrawer& text, const StartScreen& screen, vec2 viewport) {
    std::string_view keys =
        screen.replayCount() == 0 ? "No replays yet   Escape back" : "Return play   Escape back";
    drawList(
        pen, text, screen, keys, screen.replayCount(),
        [&](size_t index, char(&buffer)[96], bool&) { return screen.replayLine(index, buffer); },
        viewport);
}

} // namespace

void drawStartScreen(Pen& pen, TextDrawer& text, const StartScreen& screen,
                     const ServerBrowser& browser, const Settings& settings, vec2 viewport) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    bool onSettings = screen.page() == StartScreen::Page::settings;
    if (!onSettings) {
        pen.simpleTextureProgram.color(1, 0.6f, 0.2f, 1);
        drawCentred(pen, text, "CUBEFRAY", screen.titleBox(viewport).centre, titleSize,
                    titleAdvance);
        glEnable(GL_BLEND);
    }
    switch (screen.page()) {
    case StartScreen::Page::main:
        drawItems(pen, text, screen, viewport);
        break;
    case StartScreen::Page::servers:
        drawServers(pen, text, screen, browser, viewport);
        break;
    case StartScreen::Page::replays:
        drawReplays(pen, text, screen, viewport);
        break;
    case StartScreen::Page::settings:
        drawMenu(pen, text, screen.settingsMenu(), settings, "", viewport);
        drawControlsPage(pen, text, screen.controlsPage(), viewport);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        break;
    }
    if (!screen.notice().empty() && !onSettings) {
        pen.simpleTextureProgram.color(1, 0.9f, 0.3f, 1);
        drawCentred(pen, text, screen.notice(), screen.noticeBox(viewport).centre, itemSize,
                    itemAdvance);
    }
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
