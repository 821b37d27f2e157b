#include "Mesh.h"
#include "Model.h"
#include "Sprites.h"
#include "gl_test_helpers.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

GLint bufferSize(GLenum target, GLuint buffer) {
    glBindBuffer(target, buffer);
    GLint size = -1;
    glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size);
    return size;
}

using GlBuffers = GlTest;

TEST_F(GlBuffers, MeshHoldsEveryArrayOfTheModel) {
    Mesh mesh;
    mesh.init(makeCube(), 7);
    EXPECT_TRUE(mesh.initialised);
    EXPECT_EQ(mesh.kind, 7u);
    EXPECT_EQ(mesh.elementCount, 36);
    // 24 vertices: three floats for positions and normals, two for coordinates.
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, mesh.vertexBuffer), 24 * 3 * 4);
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, mesh.uvBuffer), 24 * 2 * 4);
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, mesh.normalBuffer), 24 * 3 * 4);
    EXPECT_EQ(bufferSize(GL_ELEMENT_ARRAY_BUFFER, mesh.elementBuffer), 36 * 4);

    const Model cube = makeCube();
    std::vector<unsigned int> elements(36);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, 36 * 4, elements.data());
    EXPECT_EQ(elements, cube.elements);
    std::vector<float> normals(72);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.normalBuffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, 72 * 4, normals.data());
    EXPECT_EQ(normals, cube.normals);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlBuffers, FontAtlasGivesOneSpriteBufferPerTile) {
    const std::vector<vec2> uvs = initUVs(1024, 1024, 64, 64);
    std::vector<unsigned int> sprites;
    CaptureStdout();
    setSprites(sprites, uvs);
    EXPECT_EQ(GetCapturedStdout(), "uvs.size(): 1024\nsprites.size(): 256\n");
    ASSERT_EQ(sprites.size(), 256u);
    for (unsigned int sprite : sprites) {
        EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, sprite), 32);
    }
    float last[8];
    glBindBuffer(GL_ARRAY_BUFFER, sprites.back());
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof last, last);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(last[2 * c], uvs[1020 + c].x);
        EXPECT_EQ(last[2 * c + 1], uvs[1020 + c].y);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlBuffers, SpritesAppendAndIgnoreAnIncompleteGroup) {
    std::vector<unsigned int> sprites = {0};
    CaptureStdout();
    setSprites(sprites, std::vector<vec2>(7, vec2(0.5f, 0.25f)));
    EXPECT_EQ(GetCapturedStdout(), "uvs.size(): 7\nsprites.size(): 2\n");
    ASSERT_EQ(sprites.size(), 2u);
    EXPECT_TRUE(glIsBuffer(sprites[1]));

    CaptureStdout();
    setSprites(sprites, {});
    EXPECT_EQ(GetCapturedStdout(), "uvs.size(): 0\nsprites.size(): 2\n");
}

} // namespace
