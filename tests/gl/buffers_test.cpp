#include "MapMesh.h"
#include "Mesh.h"
#include "Model.h"
#include "Sprites.h"
#include "gl_test_helpers.h"

namespace {

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
    EXPECT_EQ(bufferSize(GL_ELEMENT_ARRAY_BUFFER, mesh.elementBuffer), 36 * 4);
    // Positions and normals are the same size, so only the contents tell them apart.
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, mesh.normalBuffer), 24 * 3 * 4);
    std::vector<float> normals(72);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, 72 * 4, normals.data());
    EXPECT_EQ(normals, makeCube().normals);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlBuffers, TheMapsMeshHoldsEveryExposedFaceAndAnEmptyMapNone) {
    // Three cells in a row, the middle one solid: its -x and +x faces only.
    MapManager map = loadedMap("3 1 1 0 0 1 3 0 0 ");
    MapMesh mapMesh;
    mapMesh.init(map);
    const Mesh& mesh = mapMesh.getMesh();
    EXPECT_EQ(mesh.elementCount, 12);
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, mesh.vertexBuffer), 8 * 3 * 4);
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, mesh.uvBuffer), 8 * 2 * 4);
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, mesh.normalBuffer), 8 * 3 * 4);
    EXPECT_EQ(bufferSize(GL_ELEMENT_ARRAY_BUFFER, mesh.elementBuffer), 12 * 4);
    MapManager empty = loadedMap("");
    MapMesh emptyMesh;
    emptyMesh.init(empty);
    EXPECT_TRUE(emptyMesh.getMesh().initialised);
    EXPECT_EQ(emptyMesh.getMesh().elementCount, 0);
}

TEST_F(GlBuffers, SpritesAppendOneBufferPerFullGroupOfFourCorners) {
    const std::vector<vec2> uvs = initUVs(1024, 1024, 64, 64);
    std::vector<unsigned int> sprites = {0};
    ::testing::internal::CaptureStdout();
    setSprites(sprites, uvs);
    setSprites(sprites, std::vector<vec2>(3, vec2(0.5f, 0.25f)));
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(sprites.size(), 257u);
    EXPECT_EQ(sprites.front(), 0u);
    float last[8];
    ASSERT_EQ(bufferSize(GL_ARRAY_BUFFER, sprites.back()), int(sizeof last));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof last, last);
    for (int c = 0; c < 4; ++c) {
        EXPECT_TRUE(near(vec2(last[2 * c], last[2 * c + 1]), uvs[1020 + c], 0)) << "corner " << c;
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
