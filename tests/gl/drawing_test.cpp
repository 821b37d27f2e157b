#include "ImageLoader.h"
#include "MathOps.h"
#include "Model.h"
#include "Pen.h"
#include "Shaders.h"
#include "Sprites.h"
#include "TextDrawer.h"
#include "gl_test_helpers.h"

#include <cmath>
#include <limits>
#include <optional>

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

// A pen with its programs and square but none of the game's textures.
class Drawing : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        CaptureStdout();
        pen.solidColorProgram = SolidColorProgram(loadShaders("vsSolidColor", "fsSolidColor"));
        pen.simpleTextureProgram =
            SimpleTextureProgram(loadShaders("vsSimpleTexture", "fsSimpleTexture"));
        pen.lightProgram = LightProgram(loadShaders("vsLight", "fsLight"));
        GetCapturedStdout();
        pen.square.init(makeSquare(), 0);
        target.emplace(64, 64);
        ASSERT_TRUE(target->complete);
    }
    void TearDown() override {
        target.reset();
        GlTest::TearDown();
    }

    // One-texel texture, no mipmaps.
    static GLuint plainTexture(Pixel color) {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, color.data());
        return texture;
    }

    Pen pen;
    // 64 x 64, alive while the context is.
    std::optional<RenderTarget> target;
};

::testing::AssertionResult pixelNear(const Pixel& actual, const Pixel& expected, int tolerance) {
    for (int c = 0; c < 4; ++c) {
        if (std::abs(int(actual[c]) - int(expected[c])) > tolerance) {
            return ::testing::AssertionFailure() << "got (" << pixelText(actual) << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

const Pixel empty = {0, 0, 0, 0};

TEST_F(Drawing, SolidColorGoesWhereTheMatricesPutIt) {
    SolidColorProgram& solid = pen.solidColorProgram;
    solid.setPMat(scale(1, 2, 1));
    solid.bind(pen.square);
    solid.color(0, 0, 1, 0.5f);
    // The square ends up covering x 0..1 and y -1..1 of the clip square.
    solid.draw(translate(0.5f, 0, 0));
    EXPECT_TRUE(pixelNear(target->pixel(48, 4), {0, 0, 255, 128}, 1));
    EXPECT_EQ(target->pixel(16, 32), empty);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Drawing, SimpleTextureTintsTheTexture) {
    SimpleTextureProgram& simple = pen.simpleTextureProgram;
    GLuint texture = plainTexture({200, 100, 50, 255});
    simple.setPMat(scale(1, 2, 1));
    simple.bindTexture(texture);
    simple.bind(pen.square);
    simple.color(1, 0.5f, 1, 1);
    simple.draw(translate(-0.5f, 0, 0));
    EXPECT_TRUE(pixelNear(target->pixel(16, 60), {200, 50, 50, 255}, 1));
    EXPECT_EQ(target->pixel(48, 32), empty);
    glDeleteTextures(1, &texture);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The unit square of makeSquare cut into cells x cells quads, so that light summed at the
// vertices can be read off at the pixels in between.
Model finelyCutSquare(int cells) {
    Model grid;
    const float step = 1.0f / float(cells);
    const vec3 normal(0, 0, -1);
    for (int row = 0; row < cells; ++row) {
        for (int column = 0; column < cells; ++column) {
            float x0 = -0.5f + step * float(column), y0 = -0.5f + step * float(row);
            float first = float(grid.vertices.size() / 3);
            grid.pushVertices(vec3(x0, y0, 0), vec3(x0 + step, y0, 0),
                              vec3(x0 + step, y0 + step, 0), vec3(x0, y0 + step, 0));
            grid.pushUVs(vec2(0, 0), vec2(1, 0), vec2(1, 1), vec2(0, 1));
            grid.pushNormals(normal, normal, normal, normal);
            grid.pushElements(first, first + 1, first + 2, first + 3);
        }
    }
    return grid;
}

// The lit square fills the picture 2 units in front of the eye and faces it.
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
    void drawSquare(float shine) {
        pen.lightProgram.draw(translate(0, 0, -2) * scale(2, 2, -2), shine);
    }

    void light(vec3 position, float radius, float brightness) {
        pen.lightProgram.setLighting(1, {position.x, position.y, position.z},
                                     {brightness, brightness, brightness}, {radius});
    }

    // Pixel column that covers eye-space x.
    static int column(float x) { return int((x + 1) * 32); }
};

TEST_F(Lighting, FadesWithDistanceToTheFillLevel) {
    pen.lightProgram.color(1, 0.5f, 0.25f, 1);
    light(vec3(-0.5f, 0, -1.8f), 1, 1);
    drawSquare(-1);
    const Pixel near = target->pixel(column(-0.5f), 32);
    const Pixel middle = target->pixel(column(0), 32);
    const Pixel far = target->pixel(column(0.9f), 32);
    // Right under a light well inside its radius the surface shows almost its full colour.
    EXPECT_TRUE(pixelNear(near, {255, 135, 68, 255}, 4));
    EXPECT_GT(near[1], middle[1] + 60) << pixelText(middle);
    EXPECT_GT(middle[0], far[0]) << pixelText(middle);
    // Beyond the radius only the fill remains, in the surface's colour.
    EXPECT_TRUE(pixelNear(far, {38, 19, 10, 255}, 1));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Lighting, ShineAddsAHighlight) {
    pen.lightProgram.color(0.5f, 0.5f, 0.5f, 1);
    light(vec3(0, 0, -1.5f), 1, 1);
    drawSquare(-1);
    const Pixel matte = target->pixel(32, 32);
    drawSquare(20);
    const Pixel shiny = target->pixel(32, 32);
    EXPECT_GT(shiny[0], matte[0] + 40) << pixelText(matte) << " / " << pixelText(shiny);
}

TEST_F(Lighting, UnusableRadiiLightNothing) {
    pen.lightProgram.color(1, 1, 1, 1);
    pen.lightProgram.setLighting(3, {0, 0, -1.9f, 0, 0, -1.9f, 0, 0, -1.9f},
                                 std::vector<float>(9, 1),
                                 {std::numeric_limits<float>::quiet_NaN(), 0, -1});
    drawSquare(20);
    EXPECT_TRUE(pixelNear(target->pixel(32, 32), {38, 38, 38, 255}, 1));
}

TEST_F(Lighting, LightCountIsCutToCapacityAndData) {
    LightProgram& lit = pen.lightProgram;
    auto usedLights = [&] {
        GLint used = -1;
        glGetUniformiv(lit.program, lit.numPointLightsLocation, &used);
        return used;
    };
    lit.setLighting(5, {0, 0, 0}, {1, 1, 1}, {1});
    EXPECT_EQ(usedLights(), 1);
    lit.setLighting(3, std::vector<float>(30, 0), std::vector<float>(5, 1),
                    std::vector<float>(10, 1));
    EXPECT_EQ(usedLights(), 1);
    lit.setLighting(100, std::vector<float>(30, 0), std::vector<float>(30, 1),
                    std::vector<float>(10, 1));
    EXPECT_EQ(usedLights(), LightProgram::maxPointLights);
    lit.setLighting(-3, {0, 0, 0}, {1, 1, 1}, {1});
    EXPECT_EQ(usedLights(), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Lighting, NegativeAlphaTakesTheTexture) {
    GLuint texture = plainTexture({0, 255, 0, 255});
    pen.lightProgram.bindTexture(texture);
    light(vec3(0, 0, -1.5f), 100, 1.5f);

    pen.lightProgram.color(1, 0, 0, 0.3f);
    drawSquare(-1);
    EXPECT_EQ(target->pixel(32, 32), (Pixel{255, 0, 0, 255}));

    pen.lightProgram.color(1, 0, 0, -1);
    drawSquare(-1);
    EXPECT_EQ(target->pixel(32, 32), (Pixel{0, 255, 0, 255}));
    glDeleteTextures(1, &texture);
}

// Text on a 64 x 64 target in pixel units, from a 256 x 256 atlas of 16 x 16 tiles laid out
// like the real font: every tile green except the one for 'A', which is red.
class Text : public Drawing {
  protected:
    void SetUp() override {
        Drawing::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        std::vector<unsigned char> atlas;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                // Tiles count from the bottom row of the image, which the loader puts first.
                const int tile = (255 - y) / 16 * 16 + x / 16;
                const bool isA = tile == 'A' - 32;
                atlas.insert(atlas.end(), {static_cast<unsigned char>(isA ? 255 : 0),
                                           static_cast<unsigned char>(isA ? 0 : 255), 0, 255});
            }
        }
        const std::string path = writeTempPng("atlas.png", atlas, 256, 256);
        CaptureStdout();
        text.fontTexture = loadTexture(path);
        setSprites(text.glyphBuffers, initUVs(256, 256, 16, 16));
        GetCapturedStdout();
        pen.simpleTextureProgram.setPMat(ortho(0, 64, 0, 64, -1, 1));
    }
    void TearDown() override {
        if (context) {
            text.release();
        }
        Drawing::TearDown();
    }

    bool nothingDrawn() const {
        for (unsigned char byte : target->pixels()) {
            if (byte != 0) {
                return false;
            }
        }
        return true;
    }

    TextDrawer text;
};

const Pixel red = {255, 0, 0, 255};

TEST_F(Text, DrawsTheGlyphOfEachCharacter) {
    text.draw(pen, "AA\nA", vec2(16, 40), 16, 16);
    EXPECT_EQ(target->pixel(16, 40), red);
    EXPECT_EQ(target->pixel(32, 40), red);
    EXPECT_EQ(target->pixel(16, 24), red);
    EXPECT_EQ(target->pixel(32, 24), empty);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Text, CharactersWithoutGlyphsDrawNothingAndTakeNoRoom) {
    for (const char* s : {"\x01", "\x1f", "\x80", "\xff", "\t\r"}) {
        text.draw(pen, s, vec2(16, 40), 16, 16);
        EXPECT_TRUE(nothingDrawn()) << "for byte " << int(static_cast<unsigned char>(s[0]));
    }
    text.draw(pen,
              "\x01\xff"
              "A",
              vec2(16, 40), 16, 16);
    EXPECT_EQ(target->pixel(16, 40), red);
    EXPECT_EQ(target->pixel(32, 40), empty);
}

TEST_F(Text, WithoutGlyphBuffersNothingIsDrawn) {
    text.release();
    text.draw(pen, "A~", vec2(16, 40), 16, 16);
    EXPECT_TRUE(nothingDrawn());
}

TEST_F(Text, ReleaseDeletesTheGlObjects) {
    const GLuint texture = text.fontTexture;
    const std::vector<unsigned int> buffers = text.glyphBuffers;
    text.release();
    EXPECT_TRUE(text.glyphBuffers.empty());
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_FALSE(glIsBuffer(buffers.front()));
    EXPECT_FALSE(glIsBuffer(buffers.back()));
}

} // namespace
