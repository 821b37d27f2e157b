#ifndef CUBEFRAY_SOLIDCOLORPROGRAM_H
#define CUBEFRAY_SOLIDCOLORPROGRAM_H

#include "Matrix.h"
#include "Mesh.h"
#include "ShaderProgram.h"

// Flat colour, alpha included, for outlines, boxes and overlays.
struct SolidColorProgram : ShaderProgram {
    int mvpMatLocation = -1;
    int materialColorLocation = -1;

    SolidColorProgram() = default;
    explicit SolidColorProgram(unsigned int program);

    void bind(Mesh mesh);
    // Acts on the program in use, so call it after bind.
    void color(float r, float g, float b, float a);
    // Draws the bound mesh with the program in use.
    void draw(mat4 mv);
};

#endif
