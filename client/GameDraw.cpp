#include "Game.h"

#include "MathOps.h"
#include "StringFloat.h"

#include <epoxy/gl.h>

namespace {

const float lightRadius = 650;
const int textSize = 20;
const int textAdvance = 15;
const float crosshairSize = 25;
// Where the camera stands before the client has found itself in the roster.
const vec3 waitingEye(1023.18f, 500.201f, 664.032f);
const vec3 waitingTarget(1023.21f, 500.197f, 665.032f);

} // namespace

void Game::setLighting() {
    std::vector<float> positions, colors, radii;
    for (size_t i = 0; i < lightPositions.size(); ++i) {
        vec4 eye = pen.view * lightPositions[i];
        positions.insert(positions.end(), {eye.x, eye.y, eye.z});
        colors.insert(colors.end(), {lightColors[i].x, lightColors[i].y, lightColors[i].z});
        radii.push_back(lightRadius);
    }
    pen.lightProgram.setLighting(int(lightPositions.size()), positions, colors, radii);
}

void Game::draw(float) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    pen.setPMat(projection);
    Player* me = playerByID(clientPlayerID);
    mat4 view = me ? me->getViewMatrix() : lookAt(waitingEye, waitingTarget, vec3(0, 1, 0));
    pen.setView(view);
    setLighting();
    mapManager.draw(&pen);
    drawLightHalos(view);
    drawParticles(view);
    drawOtherPlayers(view);
    // The own gun goes over everything: it must never sink into a wall.
    glClear(GL_DEPTH_BUFFER_BIT);
    if (me) {
        drawGun(view * me->gunModelMatrix(), 20);
    }
    drawOverlay(me, view);
}

void Game::drawLightHalos(const mat4& view) {
    SolidColorProgram& program = pen.solidColorProgram;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    for (size_t i = 0; i < lightPositions.size(); ++i) {
        const vec4& p = lightPositions[i];
        mat4 at = view * translate(p.x, p.y, p.z);
        program.bind(sphereMesh);
        program.color(1, 1, 1, 1);
        program.draw(at * scale(20, 20, 20));
        program.bind(sphereMesh);
        program.color(lightColors[i].x, lightColors[i].y, lightColors[i].z, 0.5f);
        program.draw(at * scale(30, 30, 30));
    }
}

void Game::drawParticles(const mat4& view) {
    SolidColorProgram& program = pen.solidColorProgram;
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    program.bind(particleMesh);
    for (const Particle& p : particleManager.particles) {
        program.color(p.color.x, p.color.y, p.color.z, p.color.w);
        program.draw(view * translate(p.position) * scale(p.size));
    }
    glDisable(GL_BLEND);
}

void Game::drawGun(const mat4& modelView, float shine) {
    LightProgram& program = pen.lightProgram;
    program.bindTexture(pen.gunTexture);
    program.color(0, 0, 0, -1);
    program.bind(gunMesh);
    program.draw(modelView, shine);
}

void Game::drawOtherPlayers(const mat4& view) {
    for (const Player& p : players) {
        if (p.getPlayerID() != clientPlayerID) {
            drawGun(view * translate(0, 20, 0) * p.gunModelMatrix() * scale(40), 100);
        }
    }
    LightProgram& program = pen.lightProgram;
    for (const Player& p : players) {
        if (p.getPlayerID() == clientPlayerID || p.awaitingRespawn()) {
            continue;
        }
        program.bind(cubeMesh);
        program.color(2, 2, 2, 2);
        program.draw(view * translate(p.getPosition()) * scale(50, 150, 50), 150);
    }
}

void Game::drawOverlay(Player* me, const mat4& view) {
    pen.setView(mat4());
    pen.setPMat(orthoProjection);
    SimpleTextureProgram& program = pen.simpleTextureProgram;
    program.color(1, 1, 1, 1);
    float width = viewportSize.x;
    float height = viewportSize.y;
    vec2 scoreCursor(20, height - 20);
    for (const Player& p : players) {
        if (p.getPlayerID() != clientPlayerID && showsNameTag(me, p)) {
            vec4 clip = projection * view * vec4(p.getPosition(), 1);
            vec2 tag((clip.x / clip.w + 1) * (width - 1) / 2,
                     (clip.y / clip.w + 1) * (height - 1) / 2);
            textDrawer.draw(pen, p.getPlayerName(), tag, textSize, textAdvance);
        }
        program.color(1, 1, 1, 1);
        std::string score = p.getPlayerName() + " " + floatToString(float(p.getPoints()));
        textDrawer.draw(pen, score, scoreCursor, textSize, textAdvance);
        scoreCursor.y -= 25;
    }
    drawCrosshair(width, height);
    if (talking) {
        program.color(0, 1, 0, 1);
        textDrawer.draw(pen, "CHAT: " + talkMessage, vec2(width * 0.05f, height / 2), textSize,
                        textAdvance);
    }
    drawChatLines(width, height);
}

bool Game::showsNameTag(Player* me, const Player& p) const {
    if (me == nullptr || me->awaitingRespawn()) {
        return true;
    }
    vec3 towards = normalized(p.getPosition() - me->getPosition());
    return p.playerIsInCrosshairs() && towards.dot(me->getDirection()) > 0;
}

void Game::drawCrosshair(float width, float height) {
    SimpleTextureProgram& program = pen.simpleTextureProgram;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    program.color(1, 1, 1, 1);
    program.bind(pen.square);
    program.bindTexture(pen.crosshairsTexture);
    program.draw(translate(width / 2, height / 2, 0) * scale(crosshairSize));
    glDisable(GL_BLEND);
}

// The newest line sits highest in pure green; each older one 20 pixels lower, a tenth nearer
// magenta. The timer fades them all through the alpha.
void Game::drawChatLines(float width, float height) {
    vec2 position(width * 0.05f, height * 0.3f);
    vec4 color(0, 1, 0, chatTimer);
    for (auto line = chatLines.rbegin(); line != chatLines.rend(); ++line) {
        pen.simpleTextureProgram.color(color.x, color.y, color.z, color.w);
        textDrawer.draw(pen, *line, position, textSize, textAdvance);
        position.y -= 20;
        color += vec4(0.1f, -0.1f, 0.1f, 0);
    }
}
