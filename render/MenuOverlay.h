#ifndef CUBEFRAY_MENUOVERLAY_H
#define CUBEFRAY_MENUOVERLAY_H

#include "Menu.h"
#include "Pen.h"
#include "Settings.h"
#include "TextDrawer.h"

// Draws the open menu over the running game, laid out as the menu lays itself out.
void drawMenu(Pen& pen, TextDrawer& text, const Menu& menu, const Settings& settings,
              vec2 viewport);

#endif
