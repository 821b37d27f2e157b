#include "Scene.h"

#include "FileLoader.h"
#include "FilePath.h"
#include "GameRules.h"
#include "ImageLoader.h"
#include "MathOps.h"
#include "MenuOverlay.h"
#include "OBJLoader.h"
#include "ReplayOverlay.h"
#include "StartOverlay.h"
#include "ViewVolume.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace {

const float nearPlane = 0.1f;
const float farPlane = 5000;
const float lightHeight = 500;
const float lightMarginCubes = 7;
// Particles are a few pixels across: a coarse sphere looks the same and costs a tenth of the
// halo sphere, which matters when a fire fight keeps hundreds of them alive.
const int particleSphereRings = 6;
const int particleSphereSegments = 8;
const float lightRadius = 650;
const float innerHaloRadius = 20;
const float outerHaloRadius = 30;
// Every vertex of the gun model lies within 1.6 of its origin; other players' guns are drawn 40
// times that size, 20 units above the eye.
const float otherGunScale = 40;
const vec3 otherGunLift(0, 20, 0);
const float otherGunReach = 1.6f * otherGunScale;
const int textSize = 20;
const int textAdvance = 15;
const float crosshairSize = 25;
const std::string_view chatPrompt = "CHAT: ";
// How far apart a name tag keeps from the overlay's text, and how far from its player it may
// move to do so.
const float nameTagGap = 4;
const float nameTagReach = 160;
// The start screen's view turns a radian in this many milliseconds.
const double backdropTurnMillis = 12000;
// Radians a millisecond: a shielded body brightens and dims about twice a second.
const double shieldPulse = 0.012;
// Where the camera stands before the client has found itself in the roster.
const vec3 waitingEye(1023.18f, 500.201f, 664.032f);
const vec3 waitingTarget(1023.21f, 500.197f, 665.032f);

// The map of the resource directory handed to the game, or what the client says of it before it
// stops.
std::string loadMapResource(Game& game) {
    const std::string path = getResourcePath("mapdata");
    std::optional<std::string> text = fileStringContents(path);
    return text ? game.loadMap(*text) : cannotOpenFailure(path);
}

} // namespace

void startDecodingSceneImages() {
    prefetchImages({getResourcePath(tilesImage), getResourcePath(crosshairsImage),
                    getResourcePath(gunImage), getResourcePath(fontImage)});
}

std::string Scene::init(Game& game, float width, float height) {
    std::string failure = pen.init();
    if (failure.empty()) {
        failure = textDrawer.init();
    }
    if (!failure.empty()) {
        return failure;
    }
    viewportSize = vec2(width, height);

    glClearColor(0, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);

    failure = loadMapResource(game);
    if (!failure.empty()) {
        return failure;
    }
    mapMesh.init(game.mapManager);
    fov = 60;
    sphereMesh.init(makeSphere(20, 20), 0);
    particleMesh.init(makeSphere(particleSphereRings, particleSphereSegments), 0);
    cubeMesh.init(makeCube(), 0);
    LoadedModel gun = loadOBJ(getResourcePath("gun.obj"));
    if (!gun.failure.empty()) {
        return gun.failure;
    }
    // The model file repeats the corners its triangles share; a vertex is lit once when welded.
    gunMesh.init(weldVertices(gun.model), 0);

    const MapManager& map = game.mapManager;
    float w = map.getWidth();
    float h = map.getHeight();
    float d = map.getDepth();
    float m = lightMarginCubes * map.getCubeSize();
    lightPositions = {vec4(w / 2, h / 1.5f, d / 2, 1), vec4(m, lightHeight, m, 1),
                      vec4(w - m, lightHeight, m, 1), vec4(w - m, lightHeight, d - m, 1),
                      vec4(m, lightHeight, d - m, 1)};
    lightColors = {vec4(1, 1, 1, 1), vec4(1, 0.5f, 1, 0.7f), vec4(1.5f, 0.7f, 0.5f, 1),
                   vec4(0.5f, 1.5f, 0.5f, 1), vec4(0.5f, 0.8f, 1.5f, 1)};
    reshape(width, height);
    return "";
}

void Scene::reshape(float width, float height) {
    glViewport(0, 0, truncateToInt(width), truncateToInt(height));
    viewportSize = vec2(width, height);
    projection = perspective(width / height, fov, nearPlane, farPlane);
    orthoProjection = ortho(0, width, 0, height, 0, 1);
}

void Scene::setFieldOfView(float degrees) {
    fov = degrees;
    reshape(viewportSize.x, viewportSize.y);
}

void Scene::release() {
    textDrawer.release();
}

// The arrays keep their room from frame to frame, so this allocates in the first frame only.
void Scene::setLighting() {
    lightUniforms.positions.clear();
    lightUniforms.colors.clear();
    lightUniforms.radii.clear();
    for (size_t i = 0; i < lightPositions.size(); ++i) {
        vec4 eye = pen.view * lightPositions[i];
        lightUniforms.positions.insert(lightUniforms.positions.end(), {eye.x, eye.y, eye.z});
        lightUniforms.colors.insert(lightUniforms.colors.end(),
                                    {lightColors[i].x, lightColors[i].y, lightColors[i].z});
        lightUniforms.radii.push_back(lightRadius);
    }
    pen.lightProgram.setLighting(int(lightPositions.size()), lightUniforms.positions,
                                 lightUniforms.colors, lightUniforms.radii);
}

void Scene::draw(Game& game, const FreeCamera* freeCamera) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    pen.setPMat(projection);
    Player* me = freeCamera ? nullptr : game.shownPlayer(game.clientPlayerID);
    Camera camera = freeCamera
                        ? Camera{lookAt(freeCamera->eye, freeCamera->eye + freeCamera->direction(),
                                        vec3(0, 1, 0)),
                                 freeCamera->eye}
                        : cameraOf(game, me);
    const mat4& view = camera.view;
    pen.setView(view);
    viewProjection = projection * view;
    setLighting();
    mapMesh.draw(pen, camera.eye);
    drawLightHalos(view);
    drawParticles(game, view);
    drawOtherPlayers(game, view);
    // The own gun goes over everything: it must never sink into a wall.
    glClear(GL_DEPTH_BUFFER_BIT);
    if (me) {
        drawGun(view * me->gunModelMatrix(), 20);
    }
    drawOverlay(game, me, view);
}

void Scene::drawReplayBar(const ReplayPlayer& player) {
    pen.setView(mat4());
    pen.setPMat(orthoProjection);
    ::drawReplayBar(pen, textDrawer, player, viewportSize);
}

void Scene::drawStartScreen(const StartScreen& screen, const ServerBrowser& browser,
                            const Settings& settings, double now) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    pen.setPMat(projection);
    double heading = now / backdropTurnMillis;
    vec3 ahead(float(std::sin(heading)), -0.35f, float(std::cos(heading)));
    mat4 view = lookAt(waitingEye, waitingEye + ahead, vec3(0, 1, 0));
    pen.setView(view);
    viewProjection = projection * view;
    setLighting();
    mapMesh.draw(pen, waitingEye);
    drawLightHalos(view);
    pen.setView(mat4());
    pen.setPMat(orthoProjection);
    ::drawStartScreen(pen, textDrawer, screen, browser, settings, viewportSize);
}

// While the own player awaits respawn its eye is off the map: the last view it had stays.
Scene::Camera Scene::cameraOf(const Game& game, Player* me) const {
    if (me == nullptr) {
        return {lookAt(waitingEye, waitingTarget, vec3(0, 1, 0)), waitingEye};
    }
    if (me->awaitingRespawn() && game.hasLastOwnView) {
        vec3 eye = game.lastOwnEye;
        return {lookAt(eye, eye + game.lastOwnDirection, vec3(0, 1, 0)), eye};
    }
    return {me->getViewMatrix(), me->getPosition()};
}

void Scene::drawLightHalos(const mat4& view) {
    SolidColorProgram& program = pen.solidColorProgram;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    for (size_t i = 0; i < lightPositions.size(); ++i) {
        const vec4& p = lightPositions[i];
        if (outsideView(vec3(p.x, p.y, p.z), outerHaloRadius, viewProjection)) {
            continue;
        }
        mat4 at = view * translate(p.x, p.y, p.z);
        program.bind(sphereMesh);
        program.color(1, 1, 1, 1);
        program.draw(at * scale(innerHaloRadius));
        program.bind(sphereMesh);
        program.color(lightColors[i].x, lightColors[i].y, lightColors[i].z, 0.5f);
        program.draw(at * scale(outerHaloRadius));
    }
}

void Scene::drawParticles(const Game& game, const mat4& view) {
    SolidColorProgram& program = pen.solidColorProgram;
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    program.bind(particleMesh);
    int batched = 0;
    for (const Particle& p : game.particleManager.particles) {
        if (outsideView(p.position, p.size, viewProjection)) {
            continue;
        }
        particlePlaces[batched] = vec4(p.position, p.size);
        particleColors[batched] = p.color;
        if (++batched == SolidColorProgram::maxInstances) {
            program.drawInstances(view, particlePlaces, particleColors, batched);
            batched = 0;
        }
    }
    program.drawInstances(view, particlePlaces, particleColors, batched);
    glDisable(GL_BLEND);
}

void Scene::drawGun(const mat4& modelView, float shine) {
    LightProgram& program = pen.lightProgram;
    program.bindTexture(pen.gunTexture);
    program.color(0, 0, 0, -1);
    program.bind(gunMesh);
    program.draw(modelView, shine);
}

void Scene::drawOtherPlayers(const Game& game, const mat4& view) {
    for (const Player& p : game.shownPlayers) {
        bool seen = !outsideView(p.getPosition() + otherGunLift, otherGunReach, viewProjection);
        if (p.getPlayerID() != game.clientPlayerID && seen) {
            drawGun(view * translate(otherGunLift) * p.gunModelMatrix() * scale(otherGunScale),
                    100);
        }
    }
    LightProgram& program = pen.lightProgram;
    for (const Player& p : game.shownPlayers) {
        if (p.getPlayerID() == game.clientPlayerID || p.awaitingRespawn()) {
            continue;
        }
        Box body = p.getBox();
        if (outsideView(body.min, body.max, viewProjection)) {
            continue;
        }
        program.bind(cubeMesh);
        if (game.isShielded(p.getPlayerID())) {
            // A pale blue that breathes: not worth a shot yet.
            float glow = 1.6f + 0.6f * float(std::sin(game.currentTime * shieldPulse));
            program.color(0.5f * glow, 0.9f * glow, 1.4f * glow, 1);
        } else {
            program.color(2, 2, 2, 2);
        }
        program.draw(view * translate(p.getPosition()) * scale(bodySize.x, bodySize.y, bodySize.z),
                     150);
    }
}

// The marks go under all text, and the name tags last of all but the menus, clear of every line
// drawn before them.
void Scene::drawOverlay(const Game& game, const Player* me, const mat4& view) {
    pen.setView(mat4());
    pen.setPMat(orthoProjection);
    textDrawer.forgetDrawn();
    hud.drawDeathShade(pen, game, me, viewportSize);
    hud.drawMarks(pen, game, me, view, viewportSize);
    float width = viewportSize.x;
    float height = viewportSize.y;
    drawCrosshair(width, height);
    vec2 scoreCursor(20, height - 20);
    for (const Player& p : game.shownPlayers) {
        drawScore(game, p, scoreCursor);
        scoreCursor.y -= 25;
    }
    if (game.talking) {
        pen.simpleTextureProgram.color(0, 1, 0, 1);
        vec2 entry(width * 0.05f, height / 2);
        textDrawer.draw(pen, chatPrompt, entry, textSize, textAdvance);
        entry.x += float(chatPrompt.size() * textAdvance);
        textDrawer.draw(pen, game.talkMessage, entry, textSize, textAdvance);
    }
    drawChatLines(game, width, height);
    hud.drawTexts(pen, textDrawer, game, me, viewportSize);
    if (game.settings.networkLine && game.live) {
        hud.drawNetworkLine(pen, textDrawer, game, viewportSize);
    }
    if (!game.live) {
        textDrawer.keepClear({vec2(0, 0), vec2(width, replayBarHeight)});
    }
    if (!game.menu.isOpen() && !game.controlsPage.isOpen()) {
        drawNameTags(game, me, view);
    }
    char linkLine[64];
    drawMenu(pen, textDrawer, game.menu, game.settings,
             game.live ? game.link.describe(game.currentTime, linkLine) : "", viewportSize);
    drawControlsPage(pen, textDrawer, game.controlsPage, viewportSize);
}

// A tag starts where its player stands in the picture; it stays inside the window and moves out
// of the way of the overlay's text, or is left out when no place near is free.
void Scene::drawNameTags(const Game& game, const Player* me, const mat4& view) {
    const ScreenRect window{vec2(0, 0), viewportSize};
    const vec2 half(textSize / 2.0f, textSize / 2.0f);
    const size_t taken = textDrawer.drawnAreaCount();
    for (const Player& p : game.shownPlayers) {
        if (p.getPlayerID() == game.clientPlayerID || !showsNameTag(me, p)) {
            continue;
        }
        // A point behind the eye projects through it onto the wrong side of the picture.
        const mat4 toClip = projection * view;
        if (!((toClip * vec4(p.getPosition(), 1)).w > 0)) {
            continue;
        }
        const std::string& name = p.getPlayerName();
        vec2 at = projectToViewport(toClip, p.getPosition(), viewportSize);
        float length = float(std::max<size_t>(name.size(), 1) - 1) * textAdvance;
        ScreenRect wanted{at - half, at + half + vec2(length, 0)};
        std::optional<ScreenRect> place =
            placeClear(wanted, window, textDrawer.drawnAreas(), taken, nameTagGap, nameTagReach);
        if (place) {
            pen.simpleTextureProgram.color(1, 1, 1, 1);
            textDrawer.draw(pen, name, place->min + half, textSize, textAdvance);
        }
    }
}

// The name and the points as the default stream format writes a float, built without the heap.
// The own row stands out in yellow; a name that two players share carries the id behind it.
void Scene::drawScore(const Game& game, const Player& p, vec2 position) {
    bool own = p.getPlayerID() == game.clientPlayerID;
    SimpleTextureProgram& program = pen.simpleTextureProgram;
    own ? program.color(1, 0.9f, 0.2f, 1) : program.color(1, 1, 1, 1);
    bool shared =
        std::any_of(game.shownPlayers.begin(), game.shownPlayers.end(), [&p](const Player& o) {
            return &o != &p && o.getPlayerName() == p.getPlayerName();
        });
    char line[64];
    int length = shared ? std::snprintf(line, sizeof line, "%s#%c %g", p.getPlayerName().c_str(),
                                        p.getPlayerID(), double(float(p.getPoints())))
                        : std::snprintf(line, sizeof line, "%s %g", p.getPlayerName().c_str(),
                                        double(float(p.getPoints())));
    textDrawer.draw(pen,
                    std::string_view(line, size_t(std::clamp(length, 0, int(sizeof line) - 1))),
                    position, textSize, textAdvance);
}

bool Scene::showsNameTag(const Player* me, const Player& p) const {
    if (me == nullptr || me->awaitingRespawn()) {
        return true;
    }
    vec3 towards = normalized(p.getPosition() - me->getPosition());
    return p.playerIsInCrosshairs() && towards.dot(me->getDirection()) > 0;
}

void Scene::drawCrosshair(float width, float height) {
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
void Scene::drawChatLines(const Game& game, float width, float height) {
    if (game.chatTimer <= 0) {
        return;
    }
    vec2 position(width * 0.05f, height * 0.3f);
    vec4 color(0, 1, 0, game.chatTimer);
    for (auto line = game.chatLines.rbegin(); line != game.chatLines.rend(); ++line) {
        pen.simpleTextureProgram.color(color.x, color.y, color.z, color.w);
        textDrawer.draw(pen, *line, position, textSize, textAdvance);
        position.y -= 20;
        color += vec4(0.1f, -0.1f, 0.1f, 0);
    }
}
