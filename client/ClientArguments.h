#ifndef CUBEFRAY_CLIENT_CLIENTARGUMENTS_H
#define CUBEFRAY_CLIENT_CLIENTARGUMENTS_H

#include <string>

// What the command line asks of the client: to play on the port it names, or to print a reply
// and end, with status 0 either way.
struct ClientArguments {
    int port = 0;
    // The usage line, the help, the version or why the port will not do; empty to play.
    std::string reply;
};

// argv as main receives it: the program name, then server_address port player_name, or
// --help or --version alone.
ClientArguments readClientArguments(int argc, const char* const* argv);

#endif
