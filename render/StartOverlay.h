#ifndef CUBEFRAY_STARTOVERLAY_H
#define CUBEFRAY_STARTOVERLAY_H

#include "Pen.h"
#include "ServerBrowser.h"
#include "Settings.h"
#include "StartScreen.h"
#include "TextDrawer.h"

// Draws the start screen over whatever lies behind it, laid out as the screen lays itself out:
// the title, then the items, the server list or the settings, and the notice at the bottom.
void drawStartScreen(Pen& pen, TextDrawer& text, const StartScreen& screen,
                     const ServerBrowser& browser, const Settings& settings, vec2 viewport);

#endif
