#include "Game.h"

#include "FileLoader.h"
#include "FilePath.h"
#include "MathOps.h"
#include "OBJLoader.h"
#include "Timing.h"

#include <epoxy/gl.h>

namespace {

const float nearPlane = 0.1f;
const float farPlane = 5000;
const float lightHeight = 500;
const float lightMarginCubes = 7;
// Particles are a few pixels across: a coarse sphere looks the same and costs a tenth of the
// halo sphere, which matters when a fire fight keeps hundreds of them alive.
const int particleSphereRings = 6;
const int particleSphereSegments = 8;

} // namespace

void Game::init(float width, float height) {
    talking = false;
    chatTimer = 10;
    pen.init();
    textDrawer.init();
    currentTime = lastSendTime = float(getCurrentMillisecond());
    viewportSize = vec2(width, height);

    glClearColor(0, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);

    mapManager.init(fileStringContents(getResourcePath("mapdata")));
    fov = 60;
    sphereMesh.init(makeSphere(20, 20), 0);
    particleMesh.init(makeSphere(particleSphereRings, particleSphereSegments), 0);
    cubeMesh.init(makeCube(), 0);
    gunMesh.init(loadOBJ(getResourcePath("gun.obj")), 0);

    float w = mapManager.getWidth();
    float h = mapManager.getHeight();
    float d = mapManager.getDepth();
    float m = lightMarginCubes * mapManager.getCubeSize();
    lightPositions = {vec4(w / 2, h / 1.5f, d / 2, 1), vec4(m, lightHeight, m, 1),
                      vec4(w - m, lightHeight, m, 1), vec4(w - m, lightHeight, d - m, 1),
                      vec4(m, lightHeight, d - m, 1)};
    lightColors = {vec4(1, 1, 1, 1), vec4(1, 0.5f, 1, 0.7f), vec4(1.5f, 0.7f, 0.5f, 1),
                   vec4(0.5f, 1.5f, 0.5f, 1), vec4(0.5f, 0.8f, 1.5f, 1)};
    reshape(width, height);
}

void Game::reshape(float width, float height) {
    glViewport(0, 0, truncateToInt(width), truncateToInt(height));
    viewportSize = vec2(width, height);
    projection = perspective(width / height, fov, nearPlane, farPlane);
    orthoProjection = ortho(0, width, 0, height, 0, 1);
}
