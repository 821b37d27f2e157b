#ifndef CUBEFRAY_SETTINGS_H
#define CUBEFRAY_SETTINGS_H

#include <string>

// What the player may set in the menu. The defaults give exactly the input and the picture of a
// client without settings.
struct Settings {
    static constexpr float minSensitivity = 0.1f;
    static constexpr float maxSensitivity = 10;
    static constexpr float minFieldOfView = 40;
    static constexpr float maxFieldOfView = 110;
    static constexpr int maxVolume = 100;

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

    // Brings every value into its range.
    void clamp();
};

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
