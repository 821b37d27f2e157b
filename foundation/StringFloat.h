#ifndef CUBEFRAY_STRINGFLOAT_H
#define CUBEFRAY_STRINGFLOAT_H

#include <optional>
#include <string>

// The number at the start of text, read as stream extraction reads a float; 0 if there is none.
float parseFloat(std::string text);
// Default stream formatting: six significant digits, no trailing zeros.
std::string floatToString(float value);
// The whole text as a decimal integer: digits, a minus sign at most before them, nothing else;
// nothing when the text is anything else or the number does not fit an int.
std::optional<int> parseWholeNumber(const std::string& text);

#endif
