#ifndef CUBEFRAY_MESH_H
#define CUBEFRAY_MESH_H

#include "Model.h"

// A model copied into GL buffers. Copies share the buffers; nothing here deletes them.
struct Mesh {
    unsigned int vertexBuffer = 0;
    unsigned int uvBuffer = 0;
    unsigned int normalBuffer = 0;
    unsigned int elementBuffer = 0;
    bool initialised = false;
    // What the mesh shows, for the caller to tell meshes apart; the GL side ignores it.
    unsigned int kind = 0;
    int elementCount = 0;

    // Needs a current GL context. Leaves the new buffers bound.
    void init(Model model, unsigned int kind);
};

#endif
