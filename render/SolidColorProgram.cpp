#include "SolidColorProgram.h"

#include <epoxy/gl.h>

#include <algorithm>

SolidColorProgram::SolidColorProgram(GLuint program) {
    this->program = program;
    aVertexPosLocation = glGetAttribLocation(program, "aVertexPos");
    mvpMatLocation = glGetUniformLocation(program, "mvpMat");
    materialColorLocation = glGetUniformLocation(program, "materialColor");
    instancedLocation = glGetUniformLocation(program, "instanced");
    instancePlaceLocation = glGetUniformLocation(program, "instancePlace");
    instanceColorLocation = glGetUniformLocation(program, "instanceColor");
    glUseProgram(program);
    glEnableVertexAttribArray(0);
    glUseProgram(0);
}

void SolidColorProgram::bind(Mesh mesh) {
    glUseProgram(program);
    attribute(aVertexPosLocation, mesh.vertexBuffer, 3);
    bindElements(mesh);
}

void SolidColorProgram::color(float r, float g, float b, float a) {
    glUniform4f(materialColorLocation, r, g, b, a);
}

void SolidColorProgram::draw(mat4 mv) {
    // Handing over the transpose is the same as asking GL to transpose the row-major matrix.
    glUniformMatrix4fv(mvpMatLocation, 1, GL_FALSE, (pMat * mv).transpose().m);
    drawElements();
}

void SolidColorProgram::drawInstances(mat4 mv, const vec4* places, const vec4* colors, int count) {
    static_assert(sizeof(vec4) == 4 * sizeof(float), "vec4 arrays go to GL as float arrays");
    const GLsizei copies = std::clamp(count, 0, maxInstances);
    if (copies == 0) {
        return;
    }
    glUniform1i(instancedLocation, 1);
    glUniform4fv(instancePlaceLocation, copies, &places[0].x);
    glUniform4fv(instanceColorLocation, copies, &colors[0].x);
    glUniformMatrix4fv(mvpMatLocation, 1, GL_FALSE, (pMat * mv).transpose().m);
    glDrawElementsInstanced(GL_TRIANGLES, elementCount, GL_UNSIGNED_INT, nullptr, copies);
    glUniform1i(instancedLocation, 0);
}
