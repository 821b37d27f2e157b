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

void drawServers(Pen& pen, TextDrawer& text, const StartScreen& screen,
                 const ServerBrowser& browser, vec2 viewport) {
    const std::vector<ServerEntry>& servers = browser.servers();
    Menu::Box top = screen.serverBox(0, viewport);
    float height = top.size.y * float(StartScreen::visibleServers + 1);
    drawPanel(pen, vec2(top.centre.x, top.centre.y + top.size.y / 2 - height / 2 + 20),
              vec2(top.size.x + 24, height + 48));
    pen.simpleTextureProgram.color(0.6f, 0.8f, 1, 1);
    Menu::Box header = top;
    header.centre.y += top.size.y + 8;
    drawLeft(pen, text,
             servers.empty() ? "Searching...   R refresh   Escape back"
                             : "Return join   R refresh   F favourite   Escape back",
             header, listSize, listAdvance);
    glEnable(GL_BLEND);
    size_t first = screen.firstShownServer();
    size_t shown =
        std::min(StartScreen::visibleServers, servers.size() - std::min(first, servers.size()));
    for (size_t line = 0; line < shown; ++line) {
        const ServerEntry& server = servers[first + line];
        Menu::Box box = screen.serverBox(line, viewport);
        if (first + line == screen.chosenServer()) {
            pen.fillRect(box.centre, box.size, chosenColor);
        }
        server.full() ? pen.simpleTextureProgram.color(1, 0.5f, 0.4f, 1)
                      : pen.simpleTextureProgram.color(1, 1, 0.9f, 1);
        char buffer[96];
        drawLeft(pen, text, StartScreen::serverLine(server, buffer), box, listSize, listAdvance);
        glEnable(GL_BLEND);
    }
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
    case StartScreen::Page::settings:
        drawMenu(pen, text, screen.settingsMenu(), settings, "", viewport);
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
