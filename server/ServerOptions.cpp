#include "ServerOptions.h"

#include "GameServer.h"
#include "StringFloat.h"

#include <algorithm>
#include <arpa/inet.h>
#include <optional>

namespace {

const int maxPort = 65535;
const char* const valueOptions[] = {"--port", "--address", "--bots", "--map", "--name", "--master"};

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

std::string readAddress(const std::string& text, uint32_t& target) {
    // Dotted numbers only: a host name would need a name server before the port can be bound.
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1) {
        return "--address needs an IPv4 address as A.B.C.D, got '" + text + "'";
    }
    target = ntohl(address.s_addr);
    return "";
}

// HOST:PORT, split at the last colon.
std::string readMaster(const std::string& text, std::vector<MasterName>& masters) {
    size_t colon = text.rfind(':');
    std::optional<int> port =
        colon == std::string::npos ? std::nullopt : parseWholeNumber(text.substr(colon + 1));
    if (colon == 0 || !port || *port < 1 || *port > maxPort) {
        return "--master needs HOST:PORT with a port from 1 to 65535, got '" + text + "'";
    }
    masters.push_back({text.substr(0, colon), uint16_t(*port)});
    return "";
}

// The error, or an empty string.
std::string readOption(const std::string& option, const std::string& value,
                       ServerOptions& options) {
    if (option == "--port") {
        return readNumber(option, value, 0, maxPort, options.port);
    }
    if (option == "--address") {
        return readAddress(value, options.address);
    }
    if (option == "--bots") {
        return readNumber(option, value, 0, maxBots, options.bots);
    }
    if (option == "--master") {
        return readMaster(value, options.masters);
    }
    (option == "--map" ? options.mapPath : options.name) = value;
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
        if (std::find(std::begin(valueOptions), std::end(valueOptions), option) ==
            std::end(valueOptions)) {
            return rejection("unknown option '" + option + "'");
        }
        if (i + 1 == arguments.size()) {
            return rejection(option + " needs a value");
        }
        std::string error = readOption(option, arguments[++i], line.options);
        if (!error.empty()) {
            return rejection(error);
        }
    }
    return line;
}

std::string usageLine() {
    return "usage: cubefray-server [--port N] [--address A.B.C.D] [--bots N] [--map FILE]\n"
           "                       [--name TEXT] [--master HOST:PORT]...";
}

std::string helpText() {
    return usageLine() + "\n" +
           "  --port N            UDP port to serve on, 1 to 65535, or 0 for one the system picks\n"
           "                      (the first line of the log tells it); default 4000\n"
           "  --address A.B.C.D   serve on this IPv4 address only; default every address\n"
           "  --bots N            server-side players, 0 to 4; each takes a seat of the four;\n"
           "                      default 0\n"
           "  --map FILE          map to play; default mapdata among the game's resources, in\n"
           "                      Contents/Resources beside the program or in ../share/cubefray\n"
           "  --name TEXT         the server's name in server lists; default Cubefray server\n"
           "  --master HOST:PORT  a master server (dpmaster's protocol) to be listed with; may\n"
           "                      be given more than once\n";
}
