#include "Hud.h"

#include "MathOps.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const int bannerSize = 36;
const int bannerAdvance = 27;
const int feedSize = 20;
const int feedAdvance = 15;
const float feedMargin = 20;
const float feedSpacing = 25;
// The flash at the edge: nested bands, so it fades from the edge inwards.
const float flashBand = 24;
const int flashBands = 3;
const float flashAlpha = 0.4f;
const vec4 flashColor(1, 0.05f, 0.05f, 1);
const float markerOffset = 9;
const vec2 markerBar(12, 3);
const float deathShade = 0.55f;

// Everything here lies at the same depth and is drawn in order, each thing over the last: no
// depth test, blending on. The frame expects the depth test back on afterwards.
class OverlayState {
  public:
    OverlayState() {
        glDisable(GL_DEPTH_TEST);
        enableBlending();
    }
    ~OverlayState() {
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
    }
    OverlayState(const OverlayState&) = delete;
    OverlayState& operator=(const OverlayState&) = delete;

    // Text drawing turns blending off when it is done.
    static void enableBlending() {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
};

float fadeOut(double age, double lifetime) {
    return float(std::clamp(1.0 - age / lifetime, 0.0, 1.0));
}

float textWidth(std::string_view line, int advance) {
    return float(line.size()) * float(advance);
}

} // namespace

// Large, but never wider than most of the window: a long address shrinks to fit.
void Hud::drawBanner(Pen& pen, TextDrawer& text, std::string_view line, vec2 centre, vec4 color) {
    float room = 0.9f * 2 * centre.x / float(std::max<size_t>(line.size(), 1));
    int advance = std::max(6, std::min(bannerAdvance, int(room)));
    int size = advance * bannerSize / bannerAdvance;
    float width = textWidth(line, advance);
    OverlayState::enableBlending();
    vec2 backdrop(width + 2 * float(advance), 1.6f * float(size));
    pen.fillRect(centre, backdrop, vec4(0, 0, 0, 0.6f));
    text.keepClear({centre - backdrop * 0.5f, centre + backdrop * 0.5f});
    pen.simpleTextureProgram.color(color.x, color.y, color.z, color.w);
    // Glyphs are centred on the cursor, so the first one stands half an advance in.
    vec2 start(centre.x - width / 2 + float(advance) / 2, centre.y);
    text.draw(pen, line, start, size, advance);
}

void Hud::drawDeathShade(Pen& pen, const Game&, const Player* me, vec2 viewport) {
    if (me == nullptr || !me->awaitingRespawn()) {
        return;
    }
    OverlayState state;
    pen.fillRect(viewport * 0.5f, viewport, vec4(0, 0, 0, deathShade));
}

void Hud::drawMarks(Pen& pen, const Game& game, const Player* me, const mat4& view, vec2 viewport) {
    OverlayState state;
    drawHitFlash(pen, game, me, view, viewport);
    drawHitMarker(pen, game, viewport);
}

void Hud::drawTexts(Pen& pen, TextDrawer& text, const Game& game, const Player* me, vec2 viewport) {
    OverlayState state;
    drawKillFeed(pen, text, game, viewport);
    if (me != nullptr && me->awaitingRespawn()) {
        drawDeathNotice(pen, text, game, viewport);
    }
    if (game.live) {
        drawConnectionNotice(pen, text, game, viewport);
    }
}

// The camera mirrors the world, but what it shows on the right has a positive x in eye space
// all the same: the side is read off the view itself, as the picture is.
void Hud::drawHitFlash(Pen& pen, const Game& game, const Player* me, const mat4& view,
                       vec2 viewport) {
    float strength =
        fadeOut(game.combat.sinceHitTaken(game.currentTime), CombatEvents::hitFlashLifetime);
    if (strength <= 0 || me == nullptr || me->awaitingRespawn()) {
        return;
    }
    vec4 seen = view * vec4(game.combat.lastShooterPosition(), 1);
    float angle = float(std::atan2(double(seen.x), double(-seen.z)) * 180 / pi);
    vec2 half = viewport * 0.5f;
    OverlayState::enableBlending();
    for (int band = 1; band <= flashBands; ++band) {
        float depth = flashBand * float(band);
        vec4 color(flashColor.x, flashColor.y, flashColor.z, flashAlpha * strength);
        if (angle > 45 && angle < 135) {
            pen.fillRect(vec2(viewport.x - depth / 2, half.y), vec2(depth, viewport.y), color);
        } else if (angle < -45 && angle > -135) {
            pen.fillRect(vec2(depth / 2, half.y), vec2(depth, viewport.y), color);
        } else if (std::fabs(angle) <= 45) {
            pen.fillRect(vec2(half.x, viewport.y - depth / 2), vec2(viewport.x, depth), color);
        } else {
            pen.fillRect(vec2(half.x, depth / 2), vec2(viewport.x, depth), color);
        }
    }
}

void Hud::drawHitMarker(Pen& pen, const Game& game, vec2 viewport) {
    float strength =
        fadeOut(game.combat.sinceHitLanded(game.currentTime), CombatEvents::hitMarkerLifetime);
    if (strength <= 0) {
        return;
    }
    vec2 centre = viewport * 0.5f;
    vec4 color(1, 1, 1, strength);
    OverlayState::enableBlending();
    for (int corner = 0; corner < 4; ++corner) {
        vec2 side(corner & 1 ? markerOffset : -markerOffset,
                  corner & 2 ? markerOffset : -markerOffset);
        float degrees = (corner == 0 || corner == 3) ? 45.0f : -45.0f;
        pen.fillRect(centre + side, markerBar, color, degrees);
    }
}

void Hud::drawKillFeed(Pen& pen, TextDrawer& text, const Game& game, vec2 viewport) {
    size_t lines = game.combat.feedLineCount(game.currentTime);
    vec2 cursor(0, viewport.y - feedMargin);
    for (size_t i = 0; i < lines; ++i) {
        const CombatEvents::FeedLine& entry = game.combat.feedLine(i);
        char line[48];
        int length = std::snprintf(line, sizeof line, "%.*s x %.*s", int(entry.killer.length),
                                   entry.killer.text, int(entry.victim.length), entry.victim.text);
        std::string_view shown(line, size_t(std::clamp(length, 0, int(sizeof line) - 1)));
        // Full for most of its life, fading out over the last second.
        double age = game.currentTime - entry.at;
        float alpha = fadeOut(age - (CombatEvents::feedLifetime - 1000), 1000);
        pen.simpleTextureProgram.color(1, 0.85f, 0.3f, alpha);
        cursor.x = viewport.x - feedMargin - textWidth(shown, feedAdvance) + feedAdvance / 2.0f;
        text.draw(pen, shown, cursor, feedSize, feedAdvance);
        cursor.y -= feedSpacing;
    }
}

void Hud::drawDeathNotice(Pen& pen, TextDrawer& text, const Game& game, vec2 viewport) {
    vec2 centre(viewport.x / 2, viewport.y * 0.62f);
    std::string_view killer = game.combat.killedBy();
    if (!killer.empty()) {
        char line[32];
        int length =
            std::snprintf(line, sizeof line, "Killed by %.*s", int(killer.size()), killer.data());
        drawBanner(pen, text, std::string_view(line, size_t(std::clamp(length, 0, 31))), centre,
                   vec4(1, 0.3f, 0.3f, 1));
    }
    drawBanner(pen, text, "Respawning...", centre - vec2(0, 2 * bannerSize), vec4(1, 1, 1, 1));
}

void Hud::drawConnectionNotice(Pen& pen, TextDrawer& text, const Game& game, vec2 viewport) {
    const std::string& notice = game.connection.notice(game.currentTime);
    if (!notice.empty()) {
        drawBanner(pen, text, notice, vec2(viewport.x / 2, viewport.y * 0.75f),
                   vec4(1, 0.9f, 0.3f, 1));
    }
}

void Hud::drawNetworkLine(Pen& pen, TextDrawer& text, const Game& game, vec2 viewport) {
    OverlayState state;
    char buffer[64];
    std::string_view line = game.link.summarize(game.currentTime, buffer);
    pen.simpleTextureProgram.color(0.6f, 0.8f, 1, 0.9f);
    vec2 start(viewport.x - feedMargin - textWidth(line, feedAdvance) + feedAdvance / 2.0f,
               feedMargin);
    text.draw(pen, line, start, feedSize, feedAdvance);
}
