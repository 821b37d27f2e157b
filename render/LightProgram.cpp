#include "LightProgram.h"

#include <epoxy/gl.h>

#include <algorithm>

LightProgram::LightProgram(GLuint program) {
    this->program = program;
    aVertexPosLocation = glGetAttribLocation(program, "aVertexPos");
    aVertexUVLocation = glGetAttribLocation(program, "aVertexUV");
    aVertexNormLocation = glGetAttribLocation(program, "aVertexNorm");
    pMatLocation = glGetUniformLocation(program, "pMat");
    mvMatLocation = glGetUniformLocation(program, "mvMat");
    nMatLocation = glGetUniformLocation(program, "nMat");
    materialColorLocation = glGetUniformLocation(program, "materialColor");
    materialShineLocation = glGetUniformLocation(program, "materialShine");
    ambientColorLocation = glGetUniformLocation(program, "ambientColor");
    numPointLightsLocation = glGetUniformLocation(program, "numPointLights");
    pointLightPosLocation = glGetUniformLocation(program, "pointLightPos");
    pointLightColorLocation = glGetUniformLocation(program, "pointLightColor");
    pointLightRadiusLocation = glGetUniformLocation(program, "pointLightRadius");
    texSamplerLocation = glGetUniformLocation(program, "texSampler");
    glUseProgram(program);
    color(0, 0, 0, -1);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glEnableVertexAttribArray(2);
    glUseProgram(0);
}

void LightProgram::bind(Mesh mesh) {
    glUseProgram(program);
    attribute(aVertexPosLocation, mesh.vertexBuffer, 3);
    attribute(aVertexUVLocation, mesh.uvBuffer, 2);
    attribute(aVertexNormLocation, mesh.normalBuffer, 3);
    bindElements(mesh);
}

void LightProgram::color(float r, float g, float b, float a) {
    glUseProgram(program);
    glUniform4f(materialColorLocation, r, g, b, a);
}

void LightProgram::bindTexture(GLuint texture) {
    bindTextureToSampler(texSamplerLocation, texture);
}

void LightProgram::setLighting(int count, const std::vector<float>& positions,
                               const std::vector<float>& colors, const std::vector<float>& radii) {
    const size_t available = std::min({positions.size() / 3, colors.size() / 3, radii.size(),
                                       static_cast<size_t>(maxPointLights)});
    const GLsizei used = std::clamp(count, 0, static_cast<int>(available));
    glUseProgram(program);
    glUniform3f(ambientColorLocation, 0, 0, 0);
    glUniform1i(numPointLightsLocation, used);
    if (used > 0) {
        glUniform3fv(pointLightPosLocation, used, positions.data());
        glUniform3fv(pointLightColorLocation, used, colors.data());
        glUniform1fv(pointLightRadiusLocation, used, radii.data());
    }
}

void LightProgram::draw(mat4 mv, float shine) {
    setTransform(mv, shine);
    drawElements();
}

void LightProgram::setTransform(mat4 mv, float shine) {
    glUseProgram(program);
    glUniformMatrix4fv(pMatLocation, 1, GL_TRUE, pMat.m);
    glUniformMatrix4fv(mvMatLocation, 1, GL_TRUE, mv.m);
    glUniformMatrix3fv(nMatLocation, 1, GL_TRUE, mv.toMat3().m);
    glUniform1f(materialShineLocation, shine);
}
