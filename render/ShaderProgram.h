#ifndef CUBEFRAY_SHADERPROGRAM_H
#define CUBEFRAY_SHADERPROGRAM_H

#include "Matrix.h"
#include "Mesh.h"

// What every linked program shares: its name, where the vertex positions go, the projection it
// draws with and how many elements the bound mesh has.
struct ShaderProgram {
    unsigned int program = 0;
    int aVertexPosLocation = -1;
    mat4 pMat;
    int elementCount = 0;

    // Takes effect with the next draw; no GL call.
    void setPMat(mat4 m) { pMat = m; }

    // Draws count of the bound elements from the first one on.
    void drawElements(int first, int count) const;

  protected:
    // Feeds the attribute from the buffer, components floats a vertex, tightly packed.
    void attribute(int location, unsigned int buffer, int components) const;
    void bindElements(const Mesh& mesh);
    // Makes the program current and binds the texture to unit 0, which the sampler reads.
    void bindTextureToSampler(int samplerLocation, unsigned int texture) const;
    // Draws the bound elements as triangles with the program in use.
    void drawElements() const;
};

#endif
