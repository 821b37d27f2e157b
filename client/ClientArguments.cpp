#include "ClientArguments.h"

#include "Messages.h"
#include "StringFloat.h"

#include <optional>

namespace {

const int minPort = 1;
const int maxPort = 65535;
const std::string usageLine = "usage: server_address port player_name\n";

std::string helpText() {
    return usageLine +
           "Joins the Cubefray game server at server_address (a host name or an IPv4 address)\n"
           "on UDP port port (1 to 65535) as player_name, of which the first " +
           std::to_string(nameFieldSize - 1) +
           " characters count.\n"
           "W, A, S and D move, Space jumps, the mouse looks and any button fires, T opens a\n"
           "chat line and Escape frees the mouse.\n"
           "  --record FILE        before the three arguments: record the match into FILE\n"
           "  --replay FILE        play a recorded match\n"
           "  --start              open the start screen: play against bots, find a game\n"
           "  cubefray://HOST:PORT open the start screen and join that server\n"
           "  --help               print this help\n"
           "  --version            print the version\n";
}

ClientArguments reply(const std::string& text) {
    ClientArguments arguments;
    arguments.reply = text;
    return arguments;
}

ClientArguments startScreen() {
    ClientArguments arguments;
    arguments.mode = ClientArguments::Mode::start;
    return arguments;
}

// The start screen joins the server of the link; a link that names none is said there.
ClientArguments followLink(const std::string& link) {
    ClientArguments arguments = startScreen();
    std::string rest = link.substr(std::string(linkScheme).size());
    if (!rest.empty() && rest.back() == '/') {
        rest.pop_back();
    }
    arguments.link = parseServerAddress(rest);
    arguments.brokenLink = !arguments.link;
    return arguments;
}

} // namespace

ClientArguments readClientArguments(int argc, const char* const* argv) {
    if (argc == 2 && std::string(argv[1]) == "--help") {
        return reply(helpText());
    }
    if (argc == 2 && std::string(argv[1]) == "--version") {
        return reply(std::string("cubefray ") + CUBEFRAY_VERSION + "\n");
    }
    if (argc == 2 && std::string(argv[1]) == "--start") {
        return startScreen();
    }
    if (argc == 2 && std::string(argv[1]).rfind(linkScheme, 0) == 0) {
        return followLink(argv[1]);
    }
    if (argc == 3 && std::string(argv[1]) == "--replay") {
        ClientArguments arguments;
        arguments.mode = ClientArguments::Mode::replay;
        arguments.file = argv[2];
        return arguments;
    }
    bool recording = argc == 6 && std::string(argv[1]) == "--record";
    if (argc != 4 && !recording) {
        return reply(usageLine);
    }
    ClientArguments arguments;
    arguments.first = recording ? 3 : 1;
    arguments.file = recording ? argv[2] : "";
    std::optional<int> port = parseWholeNumber(argv[arguments.first + 1]);
    if (!port || *port < minPort || *port > maxPort) {
        return reply("port must be a number from 1 to 65535, got '" +
                     std::string(argv[arguments.first + 1]) + "'\n");
    }
    arguments.mode = ClientArguments::Mode::play;
    arguments.port = *port;
    return arguments;
}
