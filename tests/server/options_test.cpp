#include "ServerOptions.h"

#include <gtest/gtest.h>

namespace {

CommandLine parse(const std::vector<std::string>& arguments) {
    return parseCommandLine(arguments, "/default/mapdata");
}

TEST(ServerOptions, DefaultsEveryOptionTheLastOfARepeatAndHelp) {
    CommandLine line = parse({});
    ASSERT_EQ(line.action, CommandLine::Action::run);
    EXPECT_EQ(line.options.port, 4000);
    EXPECT_EQ(line.options.bots, 0);
    EXPECT_EQ(line.options.botSkill, SkillLevel::normal);
    EXPECT_EQ(line.options.mapPath, "/default/mapdata");
    EXPECT_EQ(line.options.address, 0u);
    EXPECT_EQ(line.options.name, "Cubefray server");
    EXPECT_TRUE(line.options.masters.empty());
    line = parse({"--bots",      "4",
                  "--map",       "arena.txt",
                  "--port",      "1",
                  "--port",      "65535",
                  "--address",   "127.0.0.2",
                  "--name",      "Two words",
                  "--master",    "m.example:27950",
                  "--master",    "127.0.0.1:1",
                  "--port",      "0",
                  "--admin",     "/run/a.sock",
                  "--state",     "/var/lib/s",
                  "--bot-skill", "hard"});
    ASSERT_EQ(line.action, CommandLine::Action::run);
    EXPECT_EQ(line.options.port, 0);
    EXPECT_EQ(line.options.bots, 4);
    EXPECT_EQ(line.options.botSkill, SkillLevel::hard);
    EXPECT_EQ(line.options.mapPath, "arena.txt");
    EXPECT_EQ(line.options.address, 0x7f000002u);
    EXPECT_EQ(line.options.name, "Two words");
    ASSERT_EQ(line.options.masters.size(), 2u);
    EXPECT_EQ(line.options.masters[0].host, "m.example");
    EXPECT_EQ(line.options.masters[0].port, 27950);
    EXPECT_EQ(line.options.masters[1].host, "127.0.0.1");
    EXPECT_EQ(line.options.adminPath, "/run/a.sock");
    EXPECT_EQ(line.options.stateFolder, "/var/lib/s");
    // Help wins over the arguments after it, bad ones included.
    EXPECT_EQ(parse({"--port", "5000", "--help", "--nonsense"}).action,
              CommandLine::Action::showHelp);
}

TEST(ServerOptions, RejectsBadArgumentsWithAReason) {
    std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--speed", "3"}, "unknown option '--speed'"},
        {{"--port=4000"}, "unknown option '--port=4000'"},
        {{"--port"}, "--port needs a value"},
        {{"--bots", "1", "--map"}, "--map needs a value"},
        {{"--port", "40x"}, "--port needs a number from 0 to 65535, got '40x'"},
        {{"--port", "-1"}, "--port needs a number from 0 to 65535, got '-1'"},
        {{"--port", "65536"}, "--port needs a number from 0 to 65535, got '65536'"},
        {{"--port", "99999999999999999999"},
         "--port needs a number from 0 to 65535, got '99999999999999999999'"},
        {{"--bots", "5"}, "--bots needs a number from 0 to 4, got '5'"},
        {{"--bots", "-1"}, "--bots needs a number from 0 to 4, got '-1'"},
        {{"--bot-skill", "Hard"}, "--bot-skill needs easy, normal or hard, got 'Hard'"},
        {{"--bot-skill", ""}, "--bot-skill needs easy, normal or hard, got ''"},
        {{"--bot-skill"}, "--bot-skill needs a value"},
        {{"--name"}, "--name needs a value"},
        {{"--address", "localhost"}, "--address needs an IPv4 address as A.B.C.D, got 'localhost'"},
        {{"--address", "127.0.0.256"},
         "--address needs an IPv4 address as A.B.C.D, got '127.0.0.256'"},
        {{"--address", "127.1"}, "--address needs an IPv4 address as A.B.C.D, got '127.1'"},
    };
    for (std::string master :
         {"m.example", "m.example:", ":27950", "m.example:0", "m.example:65536", "m.example:x"}) {
        cases.push_back(
            {{"--master", master},
             "--master needs HOST:PORT with a port from 1 to 65535, got '" + master + "'"});
    }
    for (const auto& [arguments, error] : cases) {
        CommandLine line = parse(arguments);
        EXPECT_EQ(line.action, CommandLine::Action::reject) << error;
        EXPECT_EQ(line.error, error);
    }
}

// The command's words go as one request; the socket is the service's, an instance's or any.
TEST(ServerOptions, TheAdminCommandFindsTheSocketOfTheServiceAskedAbout) {
    AdminCommandLine line = parseAdminCommandLine({"kick", "2", "spamming", "again"});
    EXPECT_EQ(line.action, CommandLine::Action::run);
    EXPECT_EQ(line.socketPath, "/run/cubefray-server/admin.sock");
    EXPECT_EQ(line.request, "kick 2 spamming again");
    line = parseAdminCommandLine({"--instance", "4001", "say", "--instance"});
    EXPECT_EQ(line.socketPath, "/run/cubefray-server@4001/admin.sock");
    EXPECT_EQ(line.request, "say --instance");
    EXPECT_EQ(parseAdminCommandLine({"--socket", "/tmp/a", "status"}).socketPath, "/tmp/a");
    EXPECT_EQ(parseAdminCommandLine({"--help"}).action, CommandLine::Action::showHelp);
    for (const auto& [arguments, error] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{}, "admin needs a command"},
             {{"--socket", "/tmp/a"}, "admin needs a command"},
             {{"--port", "4001", "status"}, "unknown option '--port'"},
             {{"--instance"}, "--instance needs a value"},
             {{"--instance", "../x", "status"},
              "--instance needs the name of an instance, as 4001, got '../x'"}}) {
        line = parseAdminCommandLine(arguments);
        EXPECT_EQ(line.action, CommandLine::Action::reject);
        EXPECT_EQ(line.error, error);
    }
}

} // namespace
