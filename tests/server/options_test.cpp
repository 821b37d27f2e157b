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
    EXPECT_EQ(line.options.mapPath, "/default/mapdata");
    line = parse({"--bots", "4", "--map", "arena.txt", "--port", "1", "--port", "65535"});
    ASSERT_EQ(line.action, CommandLine::Action::run);
    EXPECT_EQ(line.options.port, 65535);
    EXPECT_EQ(line.options.bots, 4);
    EXPECT_EQ(line.options.mapPath, "arena.txt");
    // Help wins over the arguments after it, bad ones included.
    EXPECT_EQ(parse({"--port", "5000", "--help", "--nonsense"}).action,
              CommandLine::Action::showHelp);
}

TEST(ServerOptions, RejectsBadArgumentsWithAReason) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--speed", "3"}, "unknown option '--speed'"},
        {{"--port=4000"}, "unknown option '--port=4000'"},
        {{"--port"}, "--port needs a value"},
        {{"--bots", "1", "--map"}, "--map needs a value"},
        {{"--port", "40x"}, "--port needs a number from 1 to 65535, got '40x'"},
        {{"--port", "0"}, "--port needs a number from 1 to 65535, got '0'"},
        {{"--port", "65536"}, "--port needs a number from 1 to 65535, got '65536'"},
        {{"--port", "99999999999999999999"},
         "--port needs a number from 1 to 65535, got '99999999999999999999'"},
        {{"--bots", "5"}, "--bots needs a number from 0 to 4, got '5'"},
        {{"--bots", "-1"}, "--bots needs a number from 0 to 4, got '-1'"},
    };
    for (const auto& [arguments, error] : cases) {
        CommandLine line = parse(arguments);
        EXPECT_EQ(line.action, CommandLine::Action::reject) << error;
        EXPECT_EQ(line.error, error);
    }
}

} // namespace
