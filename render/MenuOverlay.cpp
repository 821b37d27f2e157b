#include "MenuOverlay.h"

#include <epoxy/gl.h>

namespace {

const int textSize = 24;
const int textAdvance = 18;

} // namespace

// Everything lies at the same depth and is drawn in order over what came before.
void drawMenu(Pen& pen, TextDrawer& text, const Menu& menu, const Settings& settings,
              vec2 viewport) {
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
        std::string_view line = menu.line(i, settings, buffer);
        Menu::Box box = menu.itemBox(i, viewport);
        float width = float(line.size() * textAdvance);
        vec2 start(box.centre.x - width / 2 + textAdvance / 2.0f, box.centre.y);
        bool chosen = i == menu.selected();
        pen.simpleTextureProgram.color(1, 1, chosen ? 1.0f : 0.85f, 1);
        text.draw(pen, line, start, textSize, textAdvance);
        glEnable(GL_BLEND);
    }
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
