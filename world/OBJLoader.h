#ifndef CUBEFRAY_OBJLOADER_H
#define CUBEFRAY_OBJLOADER_H

#include "Model.h"

#include <istream>
#include <string>
#include <vector>

// Fields of s between the delimiters. An empty field that a delimiter closes reads "1", so that
// "4//6" names coordinate 1; an empty field at the very end stays empty.
std::vector<std::string> split(std::string s, char delim);

// A model read from OBJ text, or the first fault that breaks it: its line (from 1) and what is
// wrong there.
struct OBJText {
    Model model;
    unsigned long faultLine = 0;
    const char* fault = nullptr;
};

// Reads OBJ text as loadOBJ reads a file.
OBJText readOBJ(std::istream& text);

// A model file loaded, or what the client says of it before it stops: empty when it loaded.
struct LoadedModel {
    Model model;
    std::string failure;
};

// Reads a Wavefront OBJ file of triangles whose corners have the form v/vt/vn or v//vn. Every
// corner becomes its own vertex; z is negated to turn the file's coordinates into ours. A file
// that cannot be opened or is broken gives no model, only the failure.
[[nodiscard]] LoadedModel loadOBJ(const std::string& path);

#endif
