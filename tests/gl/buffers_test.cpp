#include "MapMesh.h"
#include "Mesh.h"
#include "Model.h"
#include "gl_test_helpers.h"

namespace {

using GlBuffers = GlTest;

// A mesh that mixed up its arrays shows in every drawing test; the map builds its own.
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

} // namespace
