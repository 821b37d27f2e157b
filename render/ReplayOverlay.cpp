#include "ReplayOverlay.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstdio>

namespace {

const float trackHeight = 4;
const int textSize = 18;
const int textAdvance = 13;

// Minutes and seconds with tenths.
int clock(char* out, size_t room, double millis) {
    int tenths = int(millis / 100);
    return std::snprintf(out, room, "%d:%02d.%d", tenths / 600, tenths / 10 % 60, tenths % 10);
}

} // namespace

void drawReplayBar(Pen& pen, TextDrawer& text, const ReplayPlayer& player, vec2 viewport) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    pen.fillRect(vec2(viewport.x / 2, replayBarHeight / 2), vec2(viewport.x, replayBarHeight),
                 vec4(0, 0, 0, 0.65f));
    double share = player.length() > 0 ? player.position() / player.length() : 1;
    float played = viewport.x * float(std::clamp(share, 0.0, 1.0));
    pen.fillRect(vec2(played / 2, replayBarHeight - trackHeight / 2), vec2(played, trackHeight),
                 vec4(1, 0.6f, 0.2f, 0.9f));
    char position[16];
    char length[16];
    clock(position, sizeof position, player.position());
    clock(length, sizeof length, player.length());
    std::string_view eye = player.followedName();
    const char* state = player.atEnd()      ? "   End of the replay"
                        : player.isPaused() ? "   Paused"
                                            : "";
    char line[96];
    int written = std::snprintf(line, sizeof line, "%s / %s   %gx   %.*s%s%s", position, length,
                                double(player.pace()), int(eye.size()), eye.data(),
                                eye.empty() ? "free camera" : "", state);
    pen.simpleTextureProgram.color(1, 1, 1, 0.95f);
    text.draw(pen, std::string_view(line, size_t(std::clamp(written, 0, int(sizeof line) - 1))),
              vec2(12 + textAdvance / 2.0f, replayBarHeight / 2 - 2), textSize, textAdvance);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
