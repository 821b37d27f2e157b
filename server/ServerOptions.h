#ifndef CUBEFRAY_SERVER_SERVEROPTIONS_H
#define CUBEFRAY_SERVER_SERVEROPTIONS_H

#include <cstdint>
#include <string>
#include <vector>

// A master as the command line names it; the program resolves the host.
struct MasterName {
    std::string host;
    uint16_t port = 0;
};

struct ServerOptions {
    // 0: one the system picks.
    int port = 4000;
    // The IPv4 address to serve on, in host byte order; 0: every address of the machine.
    uint32_t address = 0;
    int bots = 0;
    std::string mapPath;
    std::string name = "Cubefray server";
    std::vector<MasterName> masters;
};

// What the command line asks for: to run with options, to show the help, or nothing at all
// because of the error it names.
struct CommandLine {
    enum class Action { run, showHelp, reject };

    Action action = Action::run;
    ServerOptions options;
    std::string error;
};

// Reads [--port N] [--address A.B.C.D] [--bots N] [--map FILE] [--name TEXT]
// [--master HOST:PORT]... and --help, without the program name. The map defaults to
// defaultMapPath; a repeated option takes its last value, but each --master adds a master.
CommandLine parseCommandLine(const std::vector<std::string>& arguments,
                             const std::string& defaultMapPath);

std::string usageLine();
// The usage line and a line on each option.
std::string helpText();

#endif
