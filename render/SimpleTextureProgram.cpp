#include "SimpleTextureProgram.h"

#include <epoxy/gl.h>

SimpleTextureProgram::SimpleTextureProgram(GLuint program) {
    this->program = program;
    aVertexPosLocation = glGetAttribLocation(program, "aVertexPos");
    aVertexUVLocation = glGetAttribLocation(program, "aVertexUV");
    mvpMatLocation = glGetUniformLocation(program, "mvpMat");
    texSamplerLocation = glGetUniformLocation(program, "texSampler");
    uColorLocation = glGetUniformLocation(program, "uColor");
    glUseProgram(program);
    color(1, 1, 1, 1);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glUseProgram(0);
}

void SimpleTextureProgram::bind(Mesh mesh) {
    glUseProgram(program);
    attribute(aVertexPosLocation, mesh.vertexBuffer, 3);
    attribute(aVertexUVLocation, mesh.uvBuffer, 2);
    bindElements(mesh);
}

void SimpleTextureProgram::color(float r, float g, float b, float a) {
    glUseProgram(program);
    glUniform4f(uColorLocation, r, g, b, a);
}

void SimpleTextureProgram::bindTexture(GLuint texture) {
    bindTextureToSampler(texSamplerLocation, texture);
}

void SimpleTextureProgram::bindUVB(GLuint buffer) {
    glUseProgram(program);
    attribute(aVertexUVLocation, buffer, 2);
}

void SimpleTextureProgram::draw(mat4 mv) {
    glUseProgram(program);
    glUniformMatrix4fv(mvpMatLocation, 1, GL_TRUE, (pMat * mv).m);
    drawElements();
}
