#include "Settings.h"

#include "FileLoader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace {

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::optional<float> parseNumber(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    float value = std::strtof(text.c_str(), &end);
    if (*end != '\0' || errno != 0 || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> parseYesNo(const std::string& text) {
    if (text == "yes") {
        return true;
    }
    if (text == "no") {
        return false;
    }
    return std::nullopt;
}

// Sets the named value; false when the value cannot be read. Unknown names are left alone.
bool apply(Settings& settings, const std::string& name, const std::string& value) {
    if (name == "sensitivity" || name == "field_of_view" || name == "volume") {
        std::optional<float> number = parseNumber(value);
        if (!number) {
            return false;
        }
        if (name == "sensitivity") {
            settings.sensitivity = *number;
        } else if (name == "field_of_view") {
            settings.fieldOfView = *number;
        } else {
            settings.volume = int(std::clamp(*number, 0.0f, float(Settings::maxVolume)));
        }
        return true;
    }
    bool* flags[] = {&settings.invertMouse, &settings.fullscreen, &settings.turnLocally,
                     &settings.networkLine};
    const char* flagNames[] = {"invert_mouse", "fullscreen", "turn_view_locally", "network_line"};
    for (size_t i = 0; i < std::size(flags); ++i) {
        if (name == flagNames[i]) {
            std::optional<bool> flag = parseYesNo(value);
            if (flag) {
                *flags[i] = *flag;
            }
            return flag.has_value();
        }
    }
    return true;
}

const char* yesNo(bool flag) {
    return flag ? "yes" : "no";
}

} // namespace

void Settings::clamp() {
    sensitivity = std::clamp(sensitivity, minSensitivity, maxSensitivity);
    fieldOfView = std::clamp(fieldOfView, minFieldOfView, maxFieldOfView);
    volume = std::clamp(volume, 0, maxVolume);
}

SettingsRead parseSettings(const std::string& text) {
    SettingsRead read;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = trimmed(line.substr(0, line.find('#')));
        if (line.empty()) {
            continue;
        }
        size_t equals = line.find('=');
        bool readable =
            equals != std::string::npos &&
            apply(read.settings, trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)));
        if (!readable) {
            return {Settings(), "line " + std::to_string(number) + " is not name = value"};
        }
    }
    read.settings.clamp();
    return read;
}

std::string formatSettings(const Settings& settings) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "# Cubefray settings, written by the game's menu.\n"
                  "sensitivity = %g\ninvert_mouse = %s\nfield_of_view = %g\nfullscreen = %s\n"
                  "volume = %d\nturn_view_locally = %s\nnetwork_line = %s\n",
                  double(settings.sensitivity), yesNo(settings.invertMouse),
                  double(settings.fieldOfView), yesNo(settings.fullscreen), settings.volume,
                  yesNo(settings.turnLocally), yesNo(settings.networkLine));
    return text;
}

std::string settingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + "/cubefray/settings";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.config/cubefray/settings";
    }
    return "";
}

SettingsRead readSettings(const std::string& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error)) {
        return {};
    }
    FileBytes file = readFileBytes(path, SIZE_MAX);
    if (file.problem != FileBytes::Problem::none) {
        return {Settings(), "it cannot be read"};
    }
    return parseSettings(file.bytes);
}

std::string writeSettings(const std::string& path, const Settings& settings) {
    if (path.empty()) {
        return "no folder for settings is known";
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::string temporary = path + ".new";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << formatSettings(settings);
        if (!file.flush()) {
            return std::strerror(errno);
        }
    }
    std::filesystem::rename(temporary, path, error);
    return error ? error.message() : "";
}
