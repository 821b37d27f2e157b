#include "StringFloat.h"

#include <sstream>

float parseFloat(std::string text) {
    std::istringstream in(text);
    float value = 0;
    in >> value;
    return value;
}

std::string floatToString(float value) {
    std::ostringstream out;
    out << value;
    return out.str();
}
