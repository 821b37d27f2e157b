#include "MathOps.h"
#include "Model.h"
#include "Pen.h"
#include "Shaders.h"
#include "TextDrawer.h"
#include "gl_test_helpers.h"

#include <limits>

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

// A pen with the light and texture programs and the square, none of the game's textures, on a
// cleared window; the solid program draws the halos of the scene tests. No test may leave a GL
// error behind.
class Drawing : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        CaptureStdout();
        const LoadedProgram texture = loadShaders("vsSimpleTexture", "fsSimpleTexture");
        const LoadedProgram light = loadShaders("vsLight", "fsLight");
        GetCapturedStdout();
        ASSERT_EQ(texture.failure + light.failure, "");
        pen.simpleTextureProgram = SimpleTextureProgram(texture.program);
        pen.lightProgram = LightProgram(light.program);
        pen.square.init(makeSquare(), 0);
        glViewport(0, 0, 64, 64);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override {
        if (context) {
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        }
        GlTest::TearDown();
    }

    // Bottom row first, nearest texel, no mipmaps.
    static GLuint makeTexture(int width, int height, const unsigned char* rgba) {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return texture;
    }

    Pen pen;
};

// For near(), which reports the pixel it got.
vec4 rgba(const Pixel& p) {
    return vec4(p[0], p[1], p[2], p[3]);
}

const Pixel empty = {0, 0, 0, 0};
const Pixel red = {255, 0, 0, 255};

// The unit square of makeSquare cut into cells x cells quads, so that light summed at the
// vertices can be read off at the pixels in between.
Model finelyCutSquare(int cells) {
    Model grid;
    const float step = 1.0f / float(cells);
    const vec3 n(0, 0, -1);
    for (int k = 0; k < cells * cells; ++k) {
        const float x = -0.5f + step * float(k % cells), y = -0.5f + step * float(k / cells);
        grid.pushVertices(vec3(x, y, 0), vec3(x + step, y, 0), vec3(x + step, y + step, 0),
                          vec3(x, y + step, 0));
        grid.pushUVs(vec2(0, 0), vec2(1, 0), vec2(1, 1), vec2(0, 1));
        grid.pushNormals(n, n, n, n);
        grid.pushElements(float(4 * k), float(4 * k + 1), float(4 * k + 2), float(4 * k + 3));
    }
    return grid;
}

// The lit square fills the picture 2 units in front of the eye and faces it: pixel column x
// covers eye-space x / 32 - 1.
class Lighting : public Drawing {
  protected:
    void SetUp() override {
        Drawing::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        surface.init(finelyCutSquare(64), 0);
        pen.lightProgram.setPMat(ortho(-1, 1, -1, 1, 0.5f, 10));
        pen.lightProgram.bind(surface);
    }

    Mesh surface;
    // The square's normal points away from the eye; the mirrored z turns it around and the
    // program has to normalise the stretched normal.
    const mat4 facingTheEye = translate(0, 0, -2) * scale(2, 2, -2);
};

TEST_F(Lighting, FadesWithDistanceToTheFillLevelAndShinesOnRequest) {
    pen.lightProgram.color(1, 0.5f, 0.25f, 1);
    pen.lightProgram.setLighting(1, {-0.5f, 0, -1.8f}, {1, 1, 1}, {1});
    pen.lightProgram.draw(facingTheEye, -1);
    const Pixel under = readPixel(16, 32), middle = readPixel(32, 32);
    const Pixel far = readPixel(60, 32);
    // Right under a light well inside its radius the surface shows almost its full colour.
    EXPECT_TRUE(near(rgba(under), vec4(255, 135, 68, 255), 4));
    EXPECT_GT(under[1], middle[1] + 60);
    EXPECT_GT(middle[0], far[0]);
    // Beyond the radius only the fill remains, 0.15 of the surface's colour.
    EXPECT_TRUE(near(rgba(far), vec4(38, 19, 10, 255), 1));
    pen.lightProgram.draw(facingTheEye, 20);
    const Pixel shiny = readPixel(16, 32);
    EXPECT_GT(shiny[2], under[2] + 40);

    // Radii that are no positive number reach nothing, not even with a highlight, and neither
    // does a light behind the surface.
    pen.lightProgram.setLighting(4, {0, 0, -1.9f, 0, 0, -1.9f, 0, 0, -1.9f, 0, 0, -2.1f},
                                 std::vector<float>(12, 1),
                                 {std::numeric_limits<float>::quiet_NaN(), 0, -1, 1});
    pen.lightProgram.draw(facingTheEye, 20);
    EXPECT_TRUE(near(rgba(readPixel(32, 32)), vec4(38, 19, 10, 255), 1));
}

TEST_F(Lighting, LightCountIsCutToCapacityAndToEveryArray) {
    LightProgram& lit = pen.lightProgram;
    // Lights asked for, then how many each array has room for.
    auto used = [&](int count, size_t positions, size_t colors, size_t radii) {
        lit.setLighting(count, std::vector<float>(3 * positions, 0),
                        std::vector<float>(3 * colors, 1), std::vector<float>(radii, 1));
        GLint used = -1;
        glGetUniformiv(lit.program, lit.numPointLightsLocation, &used);
        return used;
    };
    EXPECT_EQ(used(5, 1, 9, 9), 1);
    EXPECT_EQ(used(5, 9, 2, 9), 2);
    EXPECT_EQ(used(5, 9, 9, 3), 3);
    EXPECT_EQ(used(100, 30, 30, 30), LightProgram::maxPointLights);
    EXPECT_EQ(used(-3, 1, 1, 1), 0);
}

TEST_F(Lighting, NegativeAlphaTakesTheTexture) {
    const Pixel green = {0, 255, 0, 255};
    pen.lightProgram.bindTexture(makeTexture(1, 1, green.data()));
    pen.lightProgram.setLighting(1, {0, 0, -1.5f}, {1.5f, 1.5f, 1.5f}, {100});
    pen.lightProgram.color(1, 0, 0, 0.3f);
    pen.lightProgram.draw(facingTheEye, -1);
    EXPECT_EQ(readPixel(32, 32), red);
    pen.lightProgram.color(1, 0, 0, -1);
    pen.lightProgram.draw(facingTheEye, -1);
    EXPECT_EQ(readPixel(32, 32), green);
}

bool nothingDrawn() {
    return readPixels(0, 0, 64, 64) == std::vector<unsigned char>(64 * 64 * 4);
}

// Text in pixel units, from an atlas of 16 x 16 one-texel tiles laid out like the real font:
// every tile green except the one for 'A', which is red.
TEST_F(Drawing, TextShowsTheGlyphOfEachCharacterSkipsThoseWithoutAndNothingOnceReleased) {
    std::vector<unsigned char> atlas;
    for (int tile = 0; tile < 256; ++tile) {
        const unsigned char r = tile == 'A' - 32 ? 255 : 0;
        atlas.insert(atlas.end(), {r, static_cast<unsigned char>(255 - r), 0, 255});
    }
    TextDrawer text;
    text.fontTexture = makeTexture(16, 16, atlas.data());
    text.glyphUVs = initUVs(16, 16, 1, 1);
    CaptureStdout();
    text.initBuffers();
    GetCapturedStdout();
    pen.simpleTextureProgram.setPMat(ortho(0, 64, 0, 64, -1, 1));
    // More glyphs than one draw takes: the string goes in several.
    text.draw(pen, std::string(300, 'A') + "\nA", vec2(16, 40), 16, 16);
    EXPECT_EQ(readPixel(16, 24), red);
    glClear(GL_COLOR_BUFFER_BIT);
    for (const char* s : {"\x01", "\x1f", "\x80", "\xff", "\t\r"}) {
        text.draw(pen, s, vec2(16, 40), 16, 16);
        EXPECT_TRUE(nothingDrawn()) << "for byte " << int(static_cast<unsigned char>(s[0]));
    }
    // Glyphless characters take no room either.
    text.draw(pen, "A\001\377A\nA", vec2(16, 40), 16, 16);
    EXPECT_EQ(readPixel(16, 40), red);
    EXPECT_EQ(readPixel(32, 40), red);
    EXPECT_EQ(readPixel(48, 40), empty);
    EXPECT_EQ(readPixel(16, 24), red);
    EXPECT_EQ(readPixel(32, 24), empty);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    const GLuint texture = text.fontTexture;
    text.draw(pen, "A", vec2(16, 40), 16, 16);
    GLint buffer = 0;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &buffer);
    ASSERT_TRUE(glIsBuffer(GLuint(buffer)));
    text.release();
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_FALSE(glIsBuffer(GLuint(buffer)));
    text.draw(pen, "A~", vec2(16, 40), 16, 16);
    EXPECT_TRUE(nothingDrawn());
}

} // namespace
