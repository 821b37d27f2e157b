#ifndef CUBEFRAY_SERVER_SERVEROPTIONS_H
#define CUBEFRAY_SERVER_SERVEROPTIONS_H

#include "SkillLevel.h"

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
    SkillLevel botSkill = SkillLevel::normal;
    std::string mapPath;
    std::string name = "Cubefray server";
    std::vector<MasterName> masters;
    // The admin socket's path; empty: none.
    std::string adminPath;
    // The folder the bans are kept in; empty: bans last until the server stops.
    std::string stateFolder;
};

// What the command line asks for: to run with options, to show the help, or nothing at all
// because of the error it names.
struct CommandLine {
    enum class Action { run, showHelp, reject };

    Action action = Action::run;
    ServerOptions options;
    std::string error;
};

// Reads [--port N] [--address A.B.C.D] [--bots N] [--bot-skill LEVEL] [--map FILE] [--name TEXT]
// [--master HOST:PORT]... [--admin PATH] [--state DIR] and --help, without the program name. The
// map defaults to defaultMapPath; a repeated option takes its last value, but each --master adds a
// master.
CommandLine parseCommandLine(const std::vector<std::string>& arguments,
                             const std::string& defaultMapPath);

std::string usageLine();
// The usage line and a line on each option.
std::string helpText();

// The admin socket of the service cubefray-server, and of its instance cubefray-server@NAME.
const char* const serviceAdminSocket = "/run/cubefray-server/admin.sock";
std::string instanceAdminSocket(const std::string& instance);

// What `cubefray-server admin` asks for: the request to send to the socket, the help, or nothing
// because of the error it names.
struct AdminCommandLine {
    CommandLine::Action action = CommandLine::Action::run;
    std::string socketPath = serviceAdminSocket;
    // The command's words joined by blanks.
    std::string request;
    std::string error;
};

// Reads [--socket PATH | --instance NAME] COMMAND [ARGUMENT]..., the arguments after "admin".
AdminCommandLine parseAdminCommandLine(const std::vector<std::string>& arguments);
std::string adminUsageLine();
std::string adminHelpText();

#endif
