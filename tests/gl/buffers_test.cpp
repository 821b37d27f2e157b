#include "Mesh.h"
#include "Model.h"
#include "gl_test_helpers.h"

namespace {

// Leaves the buffer bound, so its contents can be read next.
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
    EXPECT_EQ(bufferSize(GL_ELEMENT_ARRAY_BUFFER, mesh.elementBuffer), 36 * 4);
    // Positions and normals are the same size, so only the contents tell them apart.
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, mesh.normalBuffer), 24 * 3 * 4);
    std::vector<float> normals(72);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, 72 * 4, normals.data());
    EXPECT_EQ(normals, makeCube().normals);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
