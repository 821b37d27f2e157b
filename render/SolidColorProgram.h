#ifndef CUBEFRAY_SOLIDCOLORPROGRAM_H
#define CUBEFRAY_SOLIDCOLORPROGRAM_H

#include "Matrix.h"
#include "Mesh.h"
#include "ShaderProgram.h"

// Flat colour, alpha included, for outlines, boxes and overlays; and many copies of one mesh,
// each with its own place, size and colour, in one draw.
struct SolidColorProgram : ShaderProgram {
    // Copies a single instanced draw takes; the arrays in the vertex shader hold this many.
    static constexpr int maxInstances = 64;

    int mvpMatLocation = -1;
    int materialColorLocation = -1;
    int instancedLocation = -1;
    int instancePlaceLocation = -1;
    int instanceColorLocation = -1;

    SolidColorProgram() = default;
    explicit SolidColorProgram(unsigned int program);

    void bind(Mesh mesh);
    // Acts on the program in use, so call it after bind.
    void color(float r, float g, float b, float a);
    // Draws the bound mesh with the program in use.
    void draw(mat4 mv);
    // Draws count copies of the bound mesh, copy i at places[i] (x, y, z, then the scale w) in
    // colors[i]; count is cut to maxInstances. Same result as count draws of translate and
    // scale.
    void drawInstances(mat4 mv, const vec4* places, const vec4* colors, int count);
};

#endif
