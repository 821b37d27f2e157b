#include "ServerOptions.h"

#include "GameServer.h"
#include "StringFloat.h"

#include <optional>

namespace {

const int minPort = 1;
const int maxPort = 65535;

CommandLine rejection(const std::string& error) {
    CommandLine line;
    line.action = CommandLine::Action::reject;
    line.error = error;
    return line;
}

// Reads the value of a numeric option into target; the error, or an empty string.
std::string readNumber(const std::string& option, const std::string& text, int low, int high,
                       int& target) {
    std::optional<int> value = parseWholeNumber(text);
    if (!value || *value < low || *value > high) {
        return option + " needs a number from " + std::to_string(low) + " to " +
               std::to_string(high) + ", got '" + text + "'";
    }
    target = *value;
    return "";
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments,
                             const std::string& defaultMapPath) {
    CommandLine line;
    line.options.mapPath = defaultMapPath;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help") {
            line.action = CommandLine::Action::showHelp;
            return line;
        }
        if (option != "--port" && option != "--bots" && option != "--map") {
            return rejection("unknown option '" + option + "'");
        }
        if (i + 1 == arguments.size()) {
            return rejection(option + " needs a value");
        }
        const std::string& value = arguments[++i];
        std::string error;
        if (option == "--port") {
            error = readNumber(option, value, minPort, maxPort, line.options.port);
        } else if (option == "--bots") {
            error = readNumber(option, value, 0, maxBots, line.options.bots);
        } else {
            line.options.mapPath = value;
        }
        if (!error.empty()) {
            return rejection(error);
        }
    }
    return line;
}

std::string usageLine() {
    return "usage: cubefray-server [--port N] [--bots N] [--map FILE]";
}

std::string helpText() {
    return usageLine() + "\n" +
           "  --port N    UDP port to serve on, 1 to 65535 (default 4000)\n"
           "  --bots N    server-side players, 0 to 4; each takes a seat of the four (default 0)\n"
           "  --map FILE  map to play (default: mapdata among the game's resources, in\n"
           "              Contents/Resources beside the program or in ../share/cubefray)\n";
}
