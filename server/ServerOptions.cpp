#include "ServerOptions.h"

#include "GameServer.h"
#include "StringFloat.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

const int maxPort = 65535;
const char* const valueOptions[] = {"--port", "--address", "--bots",  "--bot-skill", "--map",
                                    "--name", "--master",  "--admin", "--state"};

// Letters, digits and the few signs systemd leaves unescaped in an instance's name: nothing that
// could lead the path elsewhere.
bool isInstanceName(const std::string& name) {
    return !name.empty() &&
           std::all_of(name.begin(), name.end(),
                       [](char c) {
                           return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
                                  c == '.' || c == '-' || c == ':';
                       }) &&
           name != "." && name != "..";
}

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
    std::optional<uint32_t> address = parseIPv4(text);
    if (!address) {
        return "--address needs an IPv4 address as A.B.C.D, got '" + text + "'";
    }
    target = *address;
    return "";
}

std::string readSkill(const std::string& text, SkillLevel& target) {
    std::optional<SkillLevel> level = parseSkillLevel(text);
    if (!level) {
        return "--bot-skill needs easy, normal or hard, got '" + text + "'";
    }
    target = *level;
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
    if (option == "--bot-skill") {
        return readSkill(value, options.botSkill);
    }
    if (option == "--master") {
        return readMaster(value, options.masters);
    }
    std::string& text = option == "--map"     ? options.mapPath
                        : option == "--name"  ? options.name
                        : option == "--admin" ? options.adminPath
                                              : options.stateFolder;
    text = value;
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
    return "usage: cubefray-server [--port N] [--address A.B.C.D] [--bots N]\n"
           "                       [--bot-skill easy|normal|hard] [--map FILE] [--name TEXT]\n"
           "                       [--master HOST:PORT]... [--admin PATH] [--state DIR]\n"
           "       cubefray-server admin [--socket PATH | --instance NAME] COMMAND";
}

std::string helpText() {
    return usageLine() + "\n" +
           "  --port N            UDP port to serve on, 1 to 65535, or 0 for one the system picks\n"
           "                      (the first line of the log tells it); default 4000\n"
           "  --address A.B.C.D   serve on this IPv4 address only; default every address\n"
           "  --bots N            server-side players, 0 to 4, while seats are free: a human who\n"
           "                      joins a full server takes a bot's seat, and the bot comes back\n"
           "                      when a human leaves; default 0\n"
           "  --bot-skill LEVEL   how well the bots play: easy, normal or hard; default normal\n"
           "  --map FILE          map to play; default mapdata among the server's resources, in\n"
           "                      Contents/Resources beside the program or in\n"
           "                      ../share/cubefray-server\n"
           "  --name TEXT         the server's name in server lists; default Cubefray server\n"
           "  --master HOST:PORT  a master server (dpmaster's protocol) to be listed with; may\n"
           "                      be given more than once\n"
           "  --admin PATH        take the host's commands on a Unix socket at PATH, which only\n"
           "                      the server's user and group may use (see admin --help)\n"
           "  --state DIR         keep the bans in DIR/bans, so that they outlast a restart\n";
}

std::string instanceAdminSocket(const std::string& instance) {
    return "/run/cubefray-server@" + instance + "/admin.sock";
}

AdminCommandLine parseAdminCommandLine(const std::vector<std::string>& arguments) {
    AdminCommandLine line;
    size_t at = 0;
    for (; at < arguments.size() && arguments[at].rfind("--", 0) == 0; at += 2) {
        const std::string& option = arguments[at];
        if (option == "--help") {
            line.action = CommandLine::Action::showHelp;
            return line;
        }
        if (option != "--socket" && option != "--instance") {
            line.error = "unknown option '" + option + "'";
        } else if (at + 1 == arguments.size()) {
            line.error = option + " needs a value";
        } else if (option == "--socket") {
            line.socketPath = arguments[at + 1];
        } else if (isInstanceName(arguments[at + 1])) {
            line.socketPath = instanceAdminSocket(arguments[at + 1]);
        } else {
            line.error = "--instance needs the name of an instance, as 4001, got '" +
                         arguments[at + 1] + "'";
        }
        if (!line.error.empty()) {
            line.action = CommandLine::Action::reject;
            return line;
        }
    }
    for (; at < arguments.size(); ++at) {
        line.request += (line.request.empty() ? "" : " ") + arguments[at];
    }
    if (line.request.empty()) {
        line.action = CommandLine::Action::reject;
        line.error = "admin needs a command";
    }
    return line;
}

std::string adminUsageLine() {
    return "usage: cubefray-server admin [--socket PATH | --instance NAME] COMMAND";
}

std::string adminHelpText() {
    return adminUsageLine() + "\n" +
           "Sends the command to a running server and prints its answer.\n"
           "  --socket PATH    the server's admin socket; default " +
           serviceAdminSocket +
           ",\n"
           "                   the service cubefray-server's\n"
           "  --instance NAME  the socket of the service cubefray-server@NAME (its port)\n"
           "Commands:\n"
           "  status                 name, port, map, uptime and every seat\n"
           "  kick ID|NAME [REASON]  tell everyone in the chat, then free the seat\n"
           "  ban ADDRESS [MINUTES]  kick whoever plays from the IPv4 address and refuse its\n"
           "                         joins for the minutes, or for good\n"
           "  unban ADDRESS          lift the ban of the address\n"
           "  bans                   list the bans and their ends\n"
           "  bots N                 want N bots, 0 to 4: they play in the seats humans leave\n"
           "                         free\n"
           "  say TEXT               a notice of the server's in the chat\n";
}
