#include "MapMesh.h"
#include "gl_test_helpers.h"
#include "map_text.h"

namespace {

using MapUpload = GlTest;

GLint bufferSize(GLenum target, GLuint buffer) {
    GLint size = 0;
    glBindBuffer(target, buffer);
    glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size);
    return size;
}

TEST_F(MapUpload, TheMeshHoldsEveryExposedFace) {
    // Three cells in a row, the middle one solid: its -x and +x faces only.
    MapManager map = loadedMap("3 1 1 0 0 1 3 0 0 ");
    MapMesh mapMesh;
    mapMesh.init(map);
    const Mesh& mesh = mapMesh.getMesh();
    EXPECT_TRUE(mesh.initialised);
    EXPECT_EQ(mesh.elementCount, 12);
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, mesh.vertexBuffer), 8 * 3 * 4);
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, mesh.uvBuffer), 8 * 2 * 4);
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, mesh.normalBuffer), 8 * 3 * 4);
    EXPECT_EQ(bufferSize(GL_ELEMENT_ARRAY_BUFFER, mesh.elementBuffer), 12 * 4);
    EXPECT_TRUE(map.getCube(1, 0, 0).exposedFaces[0]);
}

TEST_F(MapUpload, AnEmptyMapUploadsAnEmptyMesh) {
    MapManager map = loadedMap("");
    MapMesh mapMesh;
    mapMesh.init(map);
    EXPECT_TRUE(mapMesh.getMesh().initialised);
    EXPECT_EQ(mapMesh.getMesh().elementCount, 0);
}

} // namespace
