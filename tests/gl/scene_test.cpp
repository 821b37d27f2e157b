#include "Game.h"
#include "MathOps.h"
#include "Scene.h"
#include "gl_test_helpers.h"

namespace {

const int width = 720;
const int height = 480;

// A floor under open sky, as large as the client's own map so the lights hang where they do
// in the game.
std::string floorMap() {
    return mapText(32, 10, 32, [](int, int y, int) { return y == 0; });
}

Player makePlayer(char id, const char* name, vec3 position, vec3 direction) {
    Player p(position, position + direction, vec3(0, 1, 0));
    p.setPlayerID(id);
    p.setPlayerName(name);
    return p;
}

int brightness(const Pixel& p) {
    return (p[0] + p[1] + p[2]) / 3;
}

// The scene draws the roster as the game presents it, which each test sets as it needs.
class Frame : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        // The frame goes to the real window, shown at the client's start size, and is read back
        // from its back buffer, the default one to read, before any swap.
        SDL_SetWindowSize(window, width, height);
        SDL_ShowWindow(window);
        int drawableWidth = 0, drawableHeight = 0;
        for (int wait = 0; wait < 200 && (drawableWidth != width || drawableHeight != height);
             ++wait) {
            SDL_PumpEvents();
            SDL_Delay(5);
            SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
        }
        ASSERT_EQ(drawableWidth, width);
        // The driver takes the new size at a frame boundary.
        SDL_GL_SwapWindow(window);
        testing::internal::CaptureStdout();
        const std::string failure = scene.init(game, width, height);
        game.mapManager = loadedMap(floorMap());
        scene.mapMesh.init(game.mapManager);
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(failure, "");
        game.clientPlayerID = '1';
        game.chatTimer = 0;
    }
    void TearDown() override {
        scene.release();
        GlTest::TearDown();
    }

    // Where a world point lands in window pixels from the client player's eye.
    vec2 onScreen(vec3 point) {
        mat4 view = game.shownPlayer('1')->getViewMatrix();
        return projectToViewport(scene.projection * view, point, vec2(width, height));
    }

    Pixel frameAt(vec2 p) {
        scene.draw(game);
        return readPixel(int(p.x), int(p.y));
    }

    Game game;
    Scene scene;
};

template <typename Test> int countPixels(int x0, int y0, int x1, int y1, Test test) {
    const std::vector<unsigned char> all = readPixels(x0, y0, x1 - x0, y1 - y0);
    int count = 0;
    for (size_t i = 0; i < all.size(); i += 4) {
        count += test(Pixel{all[i], all[i + 1], all[i + 2], all[i + 3]}) ? 1 : 0;
    }
    return count;
}

bool white(const Pixel& p) {
    return p[0] > 200 && p[1] > 200 && p[2] > 200;
}

TEST_F(Frame, OtherPlayersBodyStandsWhereTheProjectionPutsIt) {
    game.shownPlayers.push_back(makePlayer('1', "me", vec3(1024, 400, 300), vec3(0, 0, 1)));
    // Near a corner light on the viewer's side, so its face towards us is lit.
    vec3 bodyAt(1300, 400, 700);
    vec2 expected = onScreen(bodyAt);
    // Looking along +z an ordinary camera shows world +x on the left; this one mirrors it.
    EXPECT_GT(expected.x, width / 2 + 20);
    Pixel empty = frameAt(expected);
    game.shownPlayers.push_back(makePlayer('2', "other", bodyAt, vec3(0, 0, -1)));
    Pixel withBody = frameAt(expected);
    EXPECT_LT(brightness(empty), 30);
    EXPECT_GT(brightness(withBody), 120);
    // A player awaiting respawn has no body.
    game.shownPlayers.back() = makePlayer('2', "other", vec3(-1300, 400, 700), vec3(0, 0, -1));
    EXPECT_LT(brightness(frameAt(expected)), 30);
}

TEST_F(Frame, NameTagsShowForThePlayerUnderTheCrosshairAndForAllBeforeTheIdIsKnown) {
    game.shownPlayers.push_back(makePlayer('1', "me", vec3(1024, 300, 300), vec3(0, 0, 1)));
    game.shownPlayers.push_back(makePlayer('2', "WWWWWW", vec3(1024, 300, 1500), vec3(0, 0, -1)));
    const vec2 tag = onScreen(vec3(1024, 300, 1500));
    auto tagPixels = [&] {
        scene.draw(game);
        return countPixels(int(tag.x) + 14, int(tag.y) - 10, int(tag.x) + 90, int(tag.y) + 10,
                           white);
    };
    EXPECT_EQ(tagPixels(), 0);
    game.shownPlayers[1].setIsInCrosshairs(true);
    EXPECT_GT(tagPixels(), 100);
    // Waiting for its id, the client looks from a fixed point at every name.
    game.clientPlayerID = '0';
    game.shownPlayers = {makePlayer('1', "AAAA", vec3(1024, 500, 1000), vec3(0, 0, -1))};
    const mat4 waitingView = lookAt(vec3(1023.18f, 500.201f, 664.032f),
                                    vec3(1023.21f, 500.197f, 665.032f), vec3(0, 1, 0));
    const vec2 name = projectToViewport(scene.projection * waitingView, vec3(1024, 500, 1000),
                                        vec2(width, height));
    scene.draw(game);
    EXPECT_GT(
        countPixels(int(name.x) - 20, int(name.y) - 10, int(name.x) + 60, int(name.y) + 10, white),
        50);
}

TEST_F(Frame, OverlayShowsTheCrosshairTheScoresAndTheChat) {
    game.shownPlayers.push_back(makePlayer('1', "me", vec3(1024, 300, 300), vec3(0, 0.3f, 1)));
    game.shownPlayers.push_back(makePlayer('2', "ANNA", vec3(1024, 300, 1500), vec3(0, 0, -1)));
    game.chatLines = {"OLDER LINE", "NEWEST LINE"};
    game.chatTimer = 10;
    scene.draw(game);
    EXPECT_GT(brightness(readPixel(width / 2, height / 2)), 200);
    EXPECT_LT(brightness(readPixel(width / 2 + 40, height / 2 + 40)), 40);
    // Two score lines, 25 pixels apart, from (20, height - 20) on; the own one in yellow.
    auto yellow = [](const Pixel& p) { return p[0] > 200 && p[1] > 180 && p[2] < 100; };
    EXPECT_GT(countPixels(10, height - 30, 120, height - 10, yellow), 50);
    EXPECT_GT(countPixels(10, height - 55, 120, height - 35, white), 50);
    EXPECT_EQ(countPixels(10, height - 80, 120, height - 60, white), 0);
    // Both chat lines are green, the older one below the newest.
    auto green = [](const Pixel& p) { return p[1] > 180 && p[0] < 45 && p[2] < 45; };
    int x = int(width * 0.05f);
    int y = int(height * 0.3f);
    EXPECT_GT(countPixels(x - 10, y - 10, x + 160, y + 10, green), 100);
    EXPECT_GT(countPixels(x - 10, y - 30, x + 160, y - 10, green), 100);
    EXPECT_EQ(countPixels(x - 10, y + 30, x + 160, height / 2 + 10, green), 0);
    game.talking = true;
    game.talkMessage = "HI";
    scene.draw(game);
    EXPECT_GT(countPixels(x - 10, height / 2 - 10, x + 120, height / 2 + 10, green), 50);
}

TEST_F(Frame, LightHalosCarryTheirLightsColour) {
    // Face the second light, (1, 0.5, 1), from 452 units away.
    vec4 light = scene.lightPositions[1];
    game.shownPlayers.push_back(
        makePlayer('1', "me", vec3(light.x, light.y, light.z + 452), vec3(0, 0, -1)));
    scene.draw(game);
    Pixel inner = readPixel(width / 2 + 14, height / 2);
    Pixel ring = readPixel(width / 2 + 23, height / 2);
    EXPECT_GT(brightness(inner), 240);
    EXPECT_GT(ring[0], ring[1] + 40);
    EXPECT_GT(ring[2], ring[1] + 40);
    // Half the colour, added: the alpha of the solid program counts, as it does for particles.
    EXPECT_LT(ring[0], 200);
}

} // namespace
