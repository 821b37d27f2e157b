#include "OBJLoader.h"

#include "FileLoader.h"
#include "MathOps.h"

#include <cstddef>
#include <sstream>
#include <utility>

// Model files ship with the game, so a malformed one is a broken installation rather than
// something to work around: the loader never reads an element that does not exist and instead
// names the file, the line and the fault, for the client to stop on. Faces that are not
// triangles, corners that are not v/vt/vn or v//vn, and indices outside their list all count as
// broken; corners past the third are ignored. Indices are resolved only after the whole file is
// read, since a face may refer to a vertex that comes later. Files with CR LF line ends load like
// LF files.

namespace {

struct Corner {
    int position;
    int coordinate;
    int normal;
};

struct Face {
    Corner corners[3];
    unsigned long line;
};

// Stream extraction of the whole field, as parseFloat reads it, turned into a 0-based index.
bool readIndex(const std::string& field, int& index) {
    std::istringstream in(field);
    float value = 0;
    if (!(in >> value) || !(in >> std::ws).eof()) {
        return false;
    }
    index = truncateToInt(value - 1.0f);
    return true;
}

bool readCorner(const std::string& text, Corner& corner) {
    std::vector<std::string> parts = split(text, '/');
    return parts.size() == 3 && readIndex(parts[0], corner.position) &&
           readIndex(parts[1], corner.coordinate) && readIndex(parts[2], corner.normal);
}

// Up to three floats from text; a missing or unreadable one, and any after it, stay 0.
vec3 readVec3(const std::string& text) {
    std::istringstream in(text);
    vec3 v;
    in >> v.x >> v.y >> v.z;
    return v;
}

vec2 readVec2(const std::string& text) {
    std::istringstream in(text);
    vec2 v;
    in >> v.x >> v.y;
    return v;
}

std::string after(const std::string& line, std::size_t count) {
    return count < line.size() ? line.substr(count) : std::string();
}

bool startsWith(const std::string& line, const char* prefix) {
    return line.compare(0, 2, prefix) == 0;
}

template <typename T> bool inRange(int index, const std::vector<T>& list) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

OBJText brokenAt(unsigned long line, const char* fault) {
    OBJText broken;
    broken.faultLine = line;
    broken.fault = fault;
    return broken;
}

} // namespace

std::vector<std::string> split(std::string s, char delim) {
    std::vector<std::string> fields(1);
    for (char c : s) {
        if (c == delim) {
            if (fields.back().empty()) {
                fields.back() = "1";
            }
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

OBJText readOBJ(std::istream& text) {
    std::vector<vec3> positions;
    std::vector<vec2> coordinates;
    std::vector<vec3> normals;
    std::vector<Face> faces;

    std::string line;
    unsigned long lineNumber = 0;
    while (std::getline(text, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (startsWith(line, "v ")) {
            positions.push_back(readVec3(after(line, 2)));
        } else if (startsWith(line, "vt")) {
            coordinates.push_back(readVec2(after(line, 3)));
        } else if (startsWith(line, "vn")) {
            normals.push_back(readVec3(after(line, 3)));
        } else if (startsWith(line, "f ")) {
            std::vector<std::string> corners = split(after(line, 2), ' ');
            if (corners.size() < 3) {
                return brokenAt(lineNumber, "a face needs three corners");
            }
            Face face;
            face.line = lineNumber;
            for (int k = 0; k < 3; ++k) {
                if (!readCorner(corners[k], face.corners[k])) {
                    return brokenAt(lineNumber, "a corner must be v/vt/vn or v//vn");
                }
            }
            faces.push_back(face);
        }
    }
    // Corners written v//vn read coordinate 1, which must exist even without vt lines.
    if (coordinates.empty()) {
        coordinates.emplace_back(0, 0);
    }

    OBJText read;
    Model& model = read.model;
    unsigned int element = 0;
    for (const Face& face : faces) {
        for (const Corner& c : face.corners) {
            if (!inRange(c.position, positions)) {
                return brokenAt(face.line, "position index out of range");
            }
            if (!inRange(c.coordinate, coordinates)) {
                return brokenAt(face.line, "texture coordinate index out of range");
            }
            if (!inRange(c.normal, normals)) {
                return brokenAt(face.line, "normal index out of range");
            }
            const vec3& p = positions[c.position];
            const vec2& t = coordinates[c.coordinate];
            const vec3& n = normals[c.normal];
            model.vertices.insert(model.vertices.end(), {p.x, p.y, -p.z});
            model.uvs.insert(model.uvs.end(), {t.x, t.y});
            model.normals.insert(model.normals.end(), {n.x, n.y, -n.z});
            model.elements.push_back(element++);
        }
    }
    return read;
}

LoadedModel loadOBJ(const std::string& path) {
    std::ifstream file;
    std::string failure = openFile(path, file);
    if (!failure.empty()) {
        return {Model(), failure};
    }
    OBJText read = readOBJ(file);
    if (read.fault != nullptr) {
        return {Model(), "Broken model file " + path + " at line " +
                             std::to_string(read.faultLine) + ": " + read.fault + "\n"};
    }
    return {std::move(read.model), ""};
}
