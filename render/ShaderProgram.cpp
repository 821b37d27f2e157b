#include "ShaderProgram.h"

#include <epoxy/gl.h>

#include <type_traits>

static_assert(std::is_same<GLuint, unsigned int>::value, "programs keep GL names as unsigned int");
static_assert(std::is_same<GLint, int>::value, "programs keep GL locations as int");

void ShaderProgram::attribute(GLint location, GLuint buffer, GLint components) const {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0,
                          nullptr);
}

void ShaderProgram::bindElements(const Mesh& mesh) {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.elementBuffer);
    elementCount = mesh.elementCount;
}

void ShaderProgram::bindTextureToSampler(GLint samplerLocation, GLuint texture) const {
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glUniform1i(samplerLocation, 0);
    glBindTexture(GL_TEXTURE_2D, texture);
}

void ShaderProgram::drawElements() const {
    drawElements(0, elementCount);
}

void ShaderProgram::drawElements(int first, int count) const {
    const size_t offset = size_t(first) * sizeof(GLuint);
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, reinterpret_cast<const void*>(offset));
}
