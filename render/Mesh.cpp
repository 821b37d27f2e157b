#include "Mesh.h"

#include <epoxy/gl.h>

#include <type_traits>

static_assert(std::is_same<GLuint, unsigned int>::value, "Mesh keeps GL names as unsigned int");

namespace {

template <typename T> GLuint makeBuffer(GLenum target, const std::vector<T>& data) {
    static_assert(sizeof(T) == 4, "every mesh array holds 4-byte values");
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(4 * data.size()), data.data(), GL_STATIC_DRAW);
    return buffer;
}

} // namespace

void Mesh::init(Model model, unsigned int kind) {
    this->kind = kind;
    initialised = true;
    vertexBuffer = makeBuffer(GL_ARRAY_BUFFER, model.vertices);
    uvBuffer = makeBuffer(GL_ARRAY_BUFFER, model.uvs);
    normalBuffer = makeBuffer(GL_ARRAY_BUFFER, model.normals);
    elementBuffer = makeBuffer(GL_ELEMENT_ARRAY_BUFFER, model.elements);
    elementCount = static_cast<int>(model.elements.size());
}
