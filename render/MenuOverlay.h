#ifndef CUBEFRAY_MENUOVERLAY_H
#define CUBEFRAY_MENUOVERLAY_H

#include "ControlsPage.h"
#include "Menu.h"
#include "Pen.h"
#include "Settings.h"
#include "TextDrawer.h"

#include <string_view>

// Draws the open menu over the running game, laid out as the menu lays itself out, with the line
// that tells how the link is doing under its items.
void drawMenu(Pen& pen, TextDrawer& text, const Menu& menu, const Settings& settings,
              std::string_view linkLine, vec2 viewport);
// Draws the open Controls page in the menu's place.
void drawControlsPage(Pen& pen, TextDrawer& text, const ControlsPage& page, vec2 viewport);

#endif
