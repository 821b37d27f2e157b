#ifndef CUBEFRAY_SERVER_SERVEROPTIONS_H
#define CUBEFRAY_SERVER_SERVEROPTIONS_H

#include <string>
#include <vector>

struct ServerOptions {
    int port = 4000;
    int bots = 0;
    std::string mapPath;
};

// What the command line asks for: to run with options, to show the help, or nothing at all
// because of the error it names.
struct CommandLine {
    enum class Action { run, showHelp, reject };

    Action action = Action::run;
    ServerOptions options;
    std::string error;
};

// Reads [--port N] [--bots N] [--map FILE] and --help, without the program name. The map
// defaults to defaultMapPath; a repeated option takes its last value.
CommandLine parseCommandLine(const std::vector<std::string>& arguments,
                             const std::string& defaultMapPath);

std::string usageLine();
// The usage line and a line on each option.
std::string helpText();

#endif
