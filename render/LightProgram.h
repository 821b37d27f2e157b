#ifndef CUBEFRAY_LIGHTPROGRAM_H
#define CUBEFRAY_LIGHTPROGRAM_H

#include "Matrix.h"
#include "Mesh.h"
#include "ShaderProgram.h"

#include <vector>

// Per-fragment point lights for the world: the map, the players and the guns.
struct LightProgram : ShaderProgram {
    // Size of the light arrays in the fragment shader.
    static constexpr int maxPointLights = 8;

    int aVertexUVLocation = -1;
    int aVertexNormLocation = -1;
    int pMatLocation = -1;
    int mvMatLocation = -1;
    int nMatLocation = -1;
    int materialColorLocation = -1;
    int materialShineLocation = -1;
    int ambientColorLocation = -1;
    int numPointLightsLocation = -1;
    int pointLightPosLocation = -1;
    int pointLightColorLocation = -1;
    int pointLightRadiusLocation = -1;
    int texSamplerLocation = -1;

    LightProgram() = default;
    explicit LightProgram(unsigned int program);

    void bind(Mesh mesh);
    // A negative alpha lights the bound texture instead of the colour.
    void color(float r, float g, float b, float a);
    void bindTexture(unsigned int texture);
    // Light positions are in eye space, three floats a light, as are the colours; one radius a
    // light. The count is cut to the shader's capacity and to what the arrays hold.
    void setLighting(int count, const std::vector<float>& positions,
                     const std::vector<float>& colors, const std::vector<float>& radii);
    // A shine of zero or less turns the highlights off.
    void draw(mat4 mv, float shine);
    // What draw sets before it draws: for drawing parts of the bound mesh with drawElements.
    void setTransform(mat4 mv, float shine);
};

#endif
