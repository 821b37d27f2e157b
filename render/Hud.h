#ifndef CUBEFRAY_HUD_H
#define CUBEFRAY_HUD_H

#include "Game.h"
#include "Matrix.h"
#include "Pen.h"
#include "TextDrawer.h"
#include "Vector.h"

#include <string_view>

// What the overlay tells the player beyond scores and chat: the state of the connection, hits
// taken (a red flash at the edge towards the shooter) and landed (a marker at the crosshair),
// the death screen and the kill feed. Draws with the pen's orthographic projection in pixels.
class Hud {
  public:
    // Darkens the last view while the own player awaits respawn; drawn under the rest of the
    // overlay.
    void drawDeathShade(Pen& pen, const Game& game, const Player* me, vec2 viewport);
    // The round trip and the loss, small in the bottom right corner.
    void drawNetworkLine(Pen& pen, TextDrawer& text, const Game& game, vec2 viewport);
    // The hit flash and the hit marker: drawn before any text, so that they tint none.
    void drawMarks(Pen& pen, const Game& game, const Player* me, const mat4& view, vec2 viewport);
    // The kill feed, the death notice and the connection notice.
    void drawTexts(Pen& pen, TextDrawer& text, const Game& game, const Player* me, vec2 viewport);

  private:
    void drawHitFlash(Pen& pen, const Game& game, const Player* me, const mat4& view,
                      vec2 viewport);
    void drawHitMarker(Pen& pen, const Game& game, vec2 viewport);
    void drawKillFeed(Pen& pen, TextDrawer& text, const Game& game, vec2 viewport);
    void drawDeathNotice(Pen& pen, TextDrawer& text, const Game& game, vec2 viewport);
    void drawConnectionNotice(Pen& pen, TextDrawer& text, const Game& game, vec2 viewport);
    // Large text centred on the point, over a dark band.
    void drawBanner(Pen& pen, TextDrawer& text, std::string_view line, vec2 centre, vec4 color);
};

#endif
