#ifndef CUBEFRAY_CLIENT_CLIENTARGUMENTS_H
#define CUBEFRAY_CLIENT_CLIENTARGUMENTS_H

#include "ServerAddress.h"

#include <optional>
#include <string>

// What the command line asks of the client: to join the server it names at once, to open the
// start screen (and maybe join the server of a cubefray:// link from there), or to print a
// reply and end, with status 0.
struct ClientArguments {
    enum class Mode { reply, play, start, replay };

    Mode mode = Mode::reply;
    int port = 0;
    // The usage line, the help, the version or why the port will not do.
    std::string reply;
    // The server of a link, to join from the start screen; nothing when the link names none.
    std::optional<ServerAddress> link;
    // A link that names no server: the start screen says so.
    bool brokenLink = false;
    // The replay to play, or the file to record the match into (empty: as the settings say).
    std::string file;
    // Where the server address, port and name stand in argv.
    int first = 1;
};

const char* const linkScheme = "cubefray://";

// argv as main receives it: the program name, then [--record FILE] server_address port
// player_name, or --replay FILE, or --start, a cubefray://HOST:PORT link, --help or --version
// alone.
ClientArguments readClientArguments(int argc, const char* const* argv);

#endif
