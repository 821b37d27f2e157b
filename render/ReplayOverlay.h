#ifndef CUBEFRAY_REPLAYOVERLAY_H
#define CUBEFRAY_REPLAYOVERLAY_H

#include "Pen.h"
#include "ReplayPlayer.h"
#include "TextDrawer.h"

// How high the bar stands at the bottom of the window, in pixels.
const float replayBarHeight = 34;

// The bar at the bottom of a replay: how far it has played of how long, the speed, whose eye
// (or the free camera), paused, and the end when it has come.
void drawReplayBar(Pen& pen, TextDrawer& text, const ReplayPlayer& player, vec2 viewport);

#endif
