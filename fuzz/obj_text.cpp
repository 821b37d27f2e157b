// Model text as the client reads its gun: either a model whose corners all resolved, or the
// line and the fault that the client names before it stops.
#include "FuzzSupport.h"
#include "OBJLoader.h"

#include <sstream>

namespace {

struct Lines {
    unsigned long count = 0;
    unsigned long faces = 0;
};

Lines linesOf(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        ++lines.count;
        lines.faces += line.compare(0, 2, "f ") == 0;
    }
    return lines;
}

void checkModel(const Model& model, unsigned long faces) {
    size_t corners = model.elements.size();
    promise(corners == 3 * faces, "three corners a face");
    promise(model.vertices.size() == 3 * corners && model.normals.size() == 3 * corners &&
                model.uvs.size() == 2 * corners,
            "every corner has a position, a normal and a texture coordinate");
    for (size_t i = 0; i < corners; ++i) {
        promise(model.elements[i] == i, "every corner is its own vertex");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    OBJText read = readOBJ(in);
    Lines lines = linesOf(text);
    if (read.fault != nullptr) {
        promise(read.faultLine >= 1 && read.faultLine <= lines.count,
                "a broken file names one of its lines");
        return 0;
    }
    checkModel(read.model, lines.faces);
    return 0;
}
