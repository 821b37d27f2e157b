#ifndef CUBEFRAY_SETTINGS_H
#define CUBEFRAY_SETTINGS_H

#include "Bindings.h"
#include "ServerAddress.h"
#include "SkillLevel.h"

#include <array>

#include <string>
#include <string_view>
#include <vector>

// What the player may set in the menu. The defaults give exactly the input and the picture of a
// client without settings.
struct Settings {
    static constexpr float minSensitivity = 0.1f;
    static constexpr float maxSensitivity = 10;
    static constexpr float minFieldOfView = 40;
    static constexpr float maxFieldOfView = 110;
    static constexpr int maxVolume = 100;
    static constexpr int maxBots = 4;
    static constexpr size_t maxRecent = 10;
    static constexpr int maxReplaysKept = 1000;

    // How much of the mouse motion goes to the server.
    float sensitivity = 1;
    // Moving the mouse up looks down.
    bool invertMouse = false;
    // Vertical, in degrees.
    float fieldOfView = 60;
    bool fullscreen = false;
    // 0 to 100; 0 is silence.
    int volume = 80;
    // The mouse turns the view at once, before the server's answer; off, the view follows the
    // server's updates alone.
    bool turnLocally = true;
    // A line on the screen tells the round trip and the loss.
    bool networkLine = false;
    // The name to join with; empty until the player chose one (the login name stands for it).
    std::string name;
    // The bots of a match against bots.
    int bots = 3;
    SkillLevel botSkill = SkillLevel::normal;
    // The server list asks the local network.
    bool lanSearch = true;
    std::vector<ServerAddress> favourites;
    // The servers joined last, newest first.
    std::vector<ServerAddress> recent;
    std::vector<ServerAddress> masters;
    // Every match is recorded into the replays folder, which keeps the newest ones.
    bool record = true;
    int replaysKept = 20;
    // The inputs of each action as the file names them ("W, Up"); empty: the default.
    std::array<std::string, actionCount> bindings;
    // How fast the gamepad's right stick turns, 0.1 to 10.
    float padSensitivity = 1;

    // Brings every value into its range.
    void clamp();
    // Puts the server at the front of the recent ones.
    void joined(const ServerAddress& server);
};

// The name as a join can carry it and the settings file can keep it: printable, without #, at
// most 11 characters, blanks around it dropped.
std::string playerName(std::string_view text);

// A settings text read, or why it could not be. A damaged text gives the defaults.
struct SettingsRead {
    Settings settings;
    // Empty when the text was fine; otherwise what is wrong and where.
    std::string problem;
};

// "name = value" lines; blank lines and lines from # on are ignored, as are names this version
// does not know. Values out of range are clamped; a value that is no value is damage.
SettingsRead parseSettings(const std::string& text);
std::string formatSettings(const Settings& settings);

// $XDG_CONFIG_HOME/cubefray/settings, else ~/.config/cubefray/settings; empty when neither is
// known.
std::string settingsPath();
// A missing file gives the defaults without a problem.
SettingsRead readSettings(const std::string& path);
// Writes through a temporary file, creating the folder; the reason it failed, or empty.
std::string writeSettings(const std::string& path, const Settings& settings);

#endif
