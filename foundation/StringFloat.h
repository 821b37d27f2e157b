#ifndef CUBEFRAY_STRINGFLOAT_H
#define CUBEFRAY_STRINGFLOAT_H

#include <string>

// The number at the start of text, read as stream extraction reads a float; 0 if there is none.
float parseFloat(std::string text);
// Default stream formatting: six significant digits, no trailing zeros.
std::string floatToString(float value);

#endif
