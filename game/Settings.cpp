#include "Settings.h"

#include "FileLoader.h"
#include "Messages.h"

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

// The servers of a list, comma-separated; nothing when one of them is no server.
std::optional<std::vector<ServerAddress>> parseServerList(const std::string& text) {
    std::vector<ServerAddress> servers;
    std::istringstream entries(text);
    std::string entry;
    while (std::getline(entries, entry, ',')) {
        if (trimmed(entry).empty()) {
            continue;
        }
        std::optional<ServerAddress> server = parseServerAddress(entry);
        if (!server) {
            return std::nullopt;
        }
        servers.push_back(*server);
    }
    return servers;
}

std::string formatServerList(const std::vector<ServerAddress>& servers) {
    std::string text;
    for (const ServerAddress& server : servers) {
        text += (text.empty() ? "" : ", ") + server.text();
    }
    return text;
}

const char* yesNo(bool flag) {
    return flag ? "yes" : "no";
}

// Each setting by its name in the file: how it is read (false: the value is no value) and how
// it is written.
struct Field {
    const char* name;
    bool (*read)(Settings&, const std::string&);
    std::string (*write)(const Settings&);
};

template <float Settings::*member> bool readNumber(Settings& settings, const std::string& text) {
    std::optional<float> number = parseNumber(text);
    if (number) {
        settings.*member = *number;
    }
    return number.has_value();
}

template <int Settings::*member> bool readWhole(Settings& settings, const std::string& text) {
    std::optional<float> number = parseNumber(text);
    if (number) {
        settings.*member = int(std::clamp(*number, -1e6f, 1e6f));
    }
    return number.has_value();
}

template <bool Settings::*member> bool readFlag(Settings& settings, const std::string& text) {
    std::optional<bool> flag = parseYesNo(text);
    if (flag) {
        settings.*member = *flag;
    }
    return flag.has_value();
}

template <std::vector<ServerAddress> Settings::*member>
bool readServers(Settings& settings, const std::string& text) {
    std::optional<std::vector<ServerAddress>> servers = parseServerList(text);
    if (servers) {
        settings.*member = *servers;
    }
    return servers.has_value();
}

bool readName(Settings& settings, const std::string& text) {
    settings.name = playerName(text);
    return true;
}

// As short as it can be written and still read back as the same number.
template <float Settings::*member> std::string writeNumber(const Settings& settings) {
    const float value = settings.*member;
    char text[32];
    for (int digits = 6; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, double(value));
        if (parseNumber(text) == value) {
            break;
        }
    }
    return text;
}

template <int Settings::*member> std::string writeWhole(const Settings& settings) {
    return std::to_string(settings.*member);
}

template <bool Settings::*member> std::string writeFlag(const Settings& settings) {
    return yesNo(settings.*member);
}

template <std::vector<ServerAddress> Settings::*member>
std::string writeServers(const Settings& settings) {
    return formatServerList(settings.*member);
}

std::string writeName(const Settings& settings) {
    return settings.name;
}

bool readSkill(Settings& settings, const std::string& text) {
    std::optional<SkillLevel> level = parseSkillLevel(text);
    settings.botSkill = level.value_or(settings.botSkill);
    return level.has_value();
}

std::string writeSkill(const Settings& settings) {
    return skillName(settings.botSkill);
}

const Field fields[] = {
    {"sensitivity", readNumber<&Settings::sensitivity>, writeNumber<&Settings::sensitivity>},
    {"invert_mouse", readFlag<&Settings::invertMouse>, writeFlag<&Settings::invertMouse>},
    {"field_of_view", readNumber<&Settings::fieldOfView>, writeNumber<&Settings::fieldOfView>},
    {"fullscreen", readFlag<&Settings::fullscreen>, writeFlag<&Settings::fullscreen>},
    {"volume", readWhole<&Settings::volume>, writeWhole<&Settings::volume>},
    {"turn_view_locally", readFlag<&Settings::turnLocally>, writeFlag<&Settings::turnLocally>},
    {"network_line", readFlag<&Settings::networkLine>, writeFlag<&Settings::networkLine>},
    {"name", readName, writeName},
    {"bots", readWhole<&Settings::bots>, writeWhole<&Settings::bots>},
    {"bot_skill", readSkill, writeSkill},
    {"lan_search", readFlag<&Settings::lanSearch>, writeFlag<&Settings::lanSearch>},
    {"favourites", readServers<&Settings::favourites>, writeServers<&Settings::favourites>},
    {"recent", readServers<&Settings::recent>, writeServers<&Settings::recent>},
    {"masters", readServers<&Settings::masters>, writeServers<&Settings::masters>},
    {"record", readFlag<&Settings::record>, writeFlag<&Settings::record>},
    {"replays_kept", readWhole<&Settings::replaysKept>, writeWhole<&Settings::replaysKept>},
    {"pad_sensitivity", readNumber<&Settings::padSensitivity>,
     writeNumber<&Settings::padSensitivity>},
};

const std::string bindPrefix = "bind_";

// Sets the named value; false when the value cannot be read. Unknown names are left alone.
bool apply(Settings& settings, const std::string& name, const std::string& value) {
    for (const Field& field : fields) {
        if (name == field.name) {
            return field.read(settings, value);
        }
    }
    for (size_t i = 0; i < actionCount; ++i) {
        if (name == bindPrefix + infoOf(Action(i)).name) {
            settings.bindings[i] = value;
        }
    }
    return true;
}

} // namespace

std::string playerName(std::string_view text) {
    std::string name;
    for (char c : text) {
        if (name.size() < size_t(nameFieldSize - 1) && c >= ' ' && c <= '~' && c != '#') {
            name += c;
        }
    }
    return trimmed(name);
}

void Settings::clamp() {
    sensitivity = std::clamp(sensitivity, minSensitivity, maxSensitivity);
    fieldOfView = std::clamp(fieldOfView, minFieldOfView, maxFieldOfView);
    volume = std::clamp(volume, 0, maxVolume);
    bots = std::clamp(bots, 0, maxBots);
    replaysKept = std::clamp(replaysKept, 1, maxReplaysKept);
    padSensitivity = std::clamp(padSensitivity, minSensitivity, maxSensitivity);
    if (recent.size() > maxRecent) {
        recent.resize(maxRecent);
    }
}

void Settings::joined(const ServerAddress& server) {
    recent.erase(std::remove(recent.begin(), recent.end(), server), recent.end());
    recent.insert(recent.begin(), server);
    clamp();
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
    std::string text = "# Cubefray settings, written by the game's menu.\n";
    for (const Field& field : fields) {
        text += std::string(field.name) + " = " + field.write(settings) + "\n";
    }
    for (size_t i = 0; i < actionCount; ++i) {
        if (!settings.bindings[i].empty()) {
            text += bindPrefix + infoOf(Action(i)).name + " = " + settings.bindings[i] + "\n";
        }
    }
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
