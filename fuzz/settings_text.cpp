// The settings file as the client reads it at start: either every value in its range, or the
// defaults with the line that is damaged; what the menu writes reads back as it was.
#include "FuzzSupport.h"
#include "Settings.h"

#include <cmath>
#include <cstring>

namespace {

bool inRange(const Settings& settings) {
    return settings.sensitivity >= Settings::minSensitivity &&
           settings.sensitivity <= Settings::maxSensitivity &&
           settings.fieldOfView >= Settings::minFieldOfView &&
           settings.fieldOfView <= Settings::maxFieldOfView && settings.volume >= 0 &&
           settings.volume <= Settings::maxVolume;
}

bool same(const Settings& a, const Settings& b, float tolerance) {
    return std::fabs(a.sensitivity - b.sensitivity) <= tolerance * b.sensitivity &&
           std::fabs(a.fieldOfView - b.fieldOfView) <= tolerance * b.fieldOfView &&
           a.invertMouse == b.invertMouse && a.fullscreen == b.fullscreen && a.volume == b.volume &&
           a.botSkill == b.botSkill;
}

size_t lineCount(const std::string& text) {
    size_t count = 0;
    for (size_t start = 0; start < text.size(); start = text.find('\n', start) + 1) {
        ++count;
        if (text.find('\n', start) == std::string::npos) {
            break;
        }
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    SettingsRead read = parseSettings(text);
    if (!read.problem.empty()) {
        promise(same(read.settings, Settings(), 0), "a damaged file gives the defaults");
        size_t line = std::strtoul(read.problem.c_str() + std::strlen("line "), nullptr, 10);
        promise(read.problem.rfind("line ", 0) == 0 && line >= 1 && line <= lineCount(text),
                "a damaged file names one of its lines");
        return 0;
    }
    promise(inRange(read.settings), "every value in its range");
    // %g keeps six digits.
    SettingsRead again = parseSettings(formatSettings(read.settings));
    promise(again.problem.empty() && same(again.settings, read.settings, 1e-5f),
            "what the menu writes reads back");
    return 0;
}
