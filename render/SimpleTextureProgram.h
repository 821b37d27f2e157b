#ifndef CUBEFRAY_SIMPLETEXTUREPROGRAM_H
#define CUBEFRAY_SIMPLETEXTUREPROGRAM_H

#include "Matrix.h"
#include "Mesh.h"
#include "ShaderProgram.h"

// Texture tinted by a colour, for the text, the crosshairs and the gun in the hand.
struct SimpleTextureProgram : ShaderProgram {
    int aVertexUVLocation = -1;
    int mvpMatLocation = -1;
    int texSamplerLocation = -1;
    int uColorLocation = -1;

    SimpleTextureProgram() = default;
    explicit SimpleTextureProgram(unsigned int program);

    void bind(Mesh mesh);
    void color(float r, float g, float b, float a);
    void bindTexture(unsigned int texture);
    // Replaces the mesh's texture coordinates, e.g. to pick one tile of an atlas.
    void bindUVB(unsigned int buffer);
    void draw(mat4 mv);
};

#endif
