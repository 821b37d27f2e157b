#ifndef CUBEFRAY_SCENE_H
#define CUBEFRAY_SCENE_H

#include "Game.h"
#include "Hud.h"
#include "MapMesh.h"
#include "Matrix.h"
#include "Mesh.h"
#include "Pen.h"
#include "ReplayPlayer.h"
#include "ServerBrowser.h"
#include "StartScreen.h"
#include "TextDrawer.h"
#include "Vector.h"

#include <string>
#include <vector>

// Starts decoding the scene's images on another thread; Scene::init takes them when it comes to
// them. Call it before creating the window, which it then overlaps.
void startDecodingSceneImages();

// The frame: the game's state drawn from the own player's eye, with its lights, effects and
// overlay. Everything here needs the GL context.
class Scene {
  public:
    vec2 viewportSize;
    mat4 projection;
    mat4 orthoProjection;
    float fov = 60;
    Pen pen;
    TextDrawer textDrawer;
    Hud hud;
    MapMesh mapMesh;
    Mesh sphereMesh;
    Mesh cubeMesh;
    Mesh gunMesh;
    Mesh particleMesh;
    std::vector<vec4> lightPositions;
    std::vector<vec4> lightColors;

    // Loads the programs, textures and models, starts the game, hands it the map and builds the
    // map's mesh and the lights. Stops at the first file it cannot load or the game refuses, and
    // returns what the client says of it before it stops; empty when everything loaded.
    [[nodiscard]] std::string init(Game& game, float width, float height);
    void reshape(float width, float height);
    // A new vertical field of view, in degrees, for the next frames.
    void setFieldOfView(float degrees);
    // From the own player's eye, or from the camera when there is one.
    void draw(Game& game, const FreeCamera* camera = nullptr);
    // The bar of a replay over the frame just drawn.
    void drawReplayBar(const ReplayPlayer& player);
    // The start screen over the arena seen from above, turning slowly with the time (ms).
    void drawStartScreen(const StartScreen& screen, const ServerBrowser& browser,
                         const Settings& settings, double now);
    void setLighting();
    // Deletes what must go while the context still exists.
    void release();

  private:
    // The lights as the lit program takes them, in eye space.
    struct LightUniforms {
        std::vector<float> positions;
        std::vector<float> colors;
        std::vector<float> radii;
    };

    struct Camera {
        mat4 view;
        vec3 eye;
    };

    Camera cameraOf(const Game& game, Player* me) const;
    void drawLightHalos(const mat4& view);
    void drawParticles(const Game& game, const mat4& view);
    void drawOtherPlayers(const Game& game, const mat4& view);
    void drawGun(const mat4& modelView, float shine);
    void drawOverlay(const Game& game, const Player* me, const mat4& view);
    void drawScore(const Game& game, const Player& p, vec2 position);
    bool showsNameTag(const Player* me, const Player& p) const;
    void drawNameTags(const Game& game, const Player* me, const mat4& view);
    void drawCrosshair(float width, float height);
    void drawChatLines(const Game& game, float width, float height);

    // This frame's camera and projection, for skipping what lies outside the view.
    mat4 viewProjection;
    LightUniforms lightUniforms;
    // One instanced draw's worth of particles.
    vec4 particlePlaces[SolidColorProgram::maxInstances];
    vec4 particleColors[SolidColorProgram::maxInstances];
};

#endif
