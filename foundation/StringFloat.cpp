#include "StringFloat.h"

#include <charconv>
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

std::optional<int> parseWholeNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}
