#include "SolidColorProgram.h"

#include <epoxy/gl.h>

SolidColorProgram::SolidColorProgram(GLuint program) {
    this->program = program;
    aVertexPosLocation = glGetAttribLocation(program, "aVertexPos");
    mvpMatLocation = glGetUniformLocation(program, "mvpMat");
    materialColorLocation = glGetUniformLocation(program, "materialColor");
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
