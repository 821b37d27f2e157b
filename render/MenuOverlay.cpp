#include "MenuOverlay.h"

#include <epoxy/gl.h>

#include <algorithm>

namespace {

const int textSize = 24;
const int textAdvance = 18;
const int linkSize = 16;
const int linkAdvance = 12;

// Text centred in the box.
void drawCentred(Pen& pen, TextDrawer& text, std::string_view line, const Menu::Box& box, int size,
                 int advance) {
    float width = float(line.size() * size_t(advance));
    vec2 start(box.centre.x - width / 2 + float(advance) / 2, box.centre.y);
    text.draw(pen, line, start, size, advance);
}

} // namespace

// Everything lies at the same depth and is drawn in order over what came before.
void drawMenu(Pen& pen, TextDrawer& text, const Menu& menu, const Settings& settings,
              std::string_view linkLine, vec2 viewport) {
    if (!menu.isOpen()) {
        return;
    }
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Menu::Box panel = menu.panel(viewport);
    pen.fillRect(panel.centre, panel.size + vec2(4, 4), vec4(0.6f, 0.65f, 0.75f, 0.8f));
    pen.fillRect(panel.centre, panel.size, vec4(0.02f, 0.03f, 0.06f, 0.85f));
    Menu::Box chosen = menu.itemBox(menu.selected(), viewport);
    pen.fillRect(chosen.centre, chosen.size, vec4(0.25f, 0.45f, 0.8f, 0.6f));
    for (size_t i = 0; i < menu.itemCount(); ++i) {
        char buffer[48];
        bool chosen = i == menu.selected();
        pen.simpleTextureProgram.color(1, 1, chosen ? 1.0f : 0.85f, 1);
        drawCentred(pen, text, menu.line(i, settings, buffer), menu.itemBox(i, viewport), textSize,
                    textAdvance);
        glEnable(GL_BLEND);
    }
    pen.simpleTextureProgram.color(0.6f, 0.8f, 1, 1);
    drawCentred(pen, text, linkLine, menu.linkBox(viewport), linkSize, linkAdvance);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

void drawControlsPage(Pen& pen, TextDrawer& text, const ControlsPage& page, vec2 viewport) {
    if (!page.isOpen()) {
        return;
    }
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Menu::Box panel = page.panel(viewport);
    pen.fillRect(panel.centre, panel.size + vec2(4, 4), vec4(0.6f, 0.65f, 0.75f, 0.8f));
    pen.fillRect(panel.centre, panel.size, vec4(0.02f, 0.03f, 0.06f, 0.85f));
    Menu::Box title = page.lineBox(0, viewport);
    title.centre.y += title.size.y;
    pen.simpleTextureProgram.color(0.6f, 0.8f, 1, 1);
    drawCentred(pen, text,
                page.waiting() ? "Press the input to bind, Escape cancels"
                               : "Return binds   Left/Right first or second   Escape back",
                title, linkSize, linkAdvance);
    size_t first = page.firstShownLine();
    size_t shown = std::min(ControlsPage::visibleLines, ControlsPage::lineCount - first);
    for (size_t line = 0; line < shown; ++line) {
        Menu::Box box = page.lineBox(line, viewport);
        bool chosen = first + line == page.selected();
        glEnable(GL_BLEND);
        if (chosen) {
            pen.fillRect(box.centre, box.size, vec4(0.25f, 0.45f, 0.8f, 0.6f));
        }
        char buffer[96];
        pen.simpleTextureProgram.color(1, 1, chosen ? 1.0f : 0.85f, 1);
        drawCentred(pen, text, page.line(first + line, buffer), box, linkSize + 2, linkAdvance);
    }
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
