#include "Administration.h"
#include "server_test_support.h"

namespace {

const UnixTime noon = 1772366400; // 2026-03-01T12:00:00Z

// A game where alice, bob and carol play from one address.
struct HostedGame : TestGame {
    HostedGame() : TestGame(walledRoom(8, 8), 7, {"Friday arena", "mapdata", {}, 4000}) {
        join(1, "alice");
        join(2, "bob");
        server.receive(carolAddress, wire(encodeJoin("carol")));
        log.str("");
    }

    AdminAnswer command(const std::string& line, UnixTime now = noon) {
        AdminRequest request = parseAdminRequest(line);
        EXPECT_EQ(request.error, "") << line;
        return administer(server, request.command, now);
    }

    const PeerAddress carolAddress{clientAddress(1).ip, 41999};
};

TEST(Admin, AKickTellsEveryoneWhyThenFreesTheSeatAtOnce) {
    HostedGame game;
    AdminAnswer answer = game.command("kick bob flooding  the chat with spam");
    EXPECT_TRUE(answer.done);
    EXPECT_EQ(answer.text, "kicked bob");
    Lines notice = {"s:bob was kicked: flooding  the", "s:chat with spam"};
    EXPECT_EQ(chatFor(answer.datagrams, clientAddress(2)), notice);
    notice.push_back("s:bob left");
    EXPECT_EQ(chatFor(answer.datagrams, clientAddress(1)), notice);
    EXPECT_EQ(game.server.findPlayer('2'), nullptr);
    EXPECT_TRUE(sentTo(game.server.tick(), clientAddress(2)).empty());
    EXPECT_EQ(game.log.str(), "bob was kicked: flooding  the chat with spam\n");

    // By id, without a reason; a name two players share is refused.
    EXPECT_EQ(chatFor(game.command("kick 3").datagrams, clientAddress(1)),
              (Lines{"s:carol was kicked", "s:carol left"}));
    game.join(2, "alice");
    AdminAnswer twice = game.command("kick alice");
    EXPECT_EQ(
        std::make_pair(twice.done, twice.text),
        std::make_pair(false, std::string("2 players are named 'alice': kick one by its id")));
    EXPECT_FALSE(game.command("kick nobody").done);
    EXPECT_EQ(game.server.playerCount(), 2u);
}

TEST(Admin, ABanKicksTheAddressAndRefusesItsJoinsUntilItsEnd) {
    HostedGame game;
    AdminAnswer answer = game.command("ban 127.0.0.1 30");
    EXPECT_EQ(answer.text, "banned 127.0.0.1 until 2026-03-01T12:30:00Z");
    EXPECT_EQ(game.server.playerCount(), 0u);
    EXPECT_EQ(chatFor(answer.datagrams, clientAddress(1)), Lines{"s:alice was kicked: banned"});
    EXPECT_EQ(game.join(1, "alice"), 0);
    EXPECT_EQ(game.join(3, "dave"), 0);
    EXPECT_EQ(game.server.receive({0x7f000002, 5000}, wire(encodeJoin("erin")))[0].bytes, "s1");
    EXPECT_EQ(game.log.str(), "banned 127.0.0.1 until 2026-03-01T12:30:00Z\n"
                              "alice was kicked: banned\n"
                              "bob was kicked: banned\n"
                              "carol was kicked: banned\n"
                              "refused alice from 127.0.0.1:40001: banned\n"
                              "erin joined as 1 from 127.0.0.2:5000\n");
    game.command("ban 127.0.0.9");
    EXPECT_EQ(game.command("bans").text, "127.0.0.1 until 2026-03-01T12:30:00Z\n"
                                         "127.0.0.9 for good\n");

    game.server.clockIs(noon + 30 * 60 - 1);
    EXPECT_EQ(game.join(1, "alice"), 0);
    game.log.str("");
    game.server.clockIs(noon + 30 * 60);
    EXPECT_EQ(game.log.str(), "the ban of 127.0.0.1 ended\n");
    EXPECT_EQ(game.join(1, "alice"), '2');
    EXPECT_TRUE(game.command("unban 127.0.0.9").done);
    EXPECT_FALSE(game.command("unban 127.0.0.9").done);
    EXPECT_EQ(game.command("bans").text, "no bans");
}

// The bots wanted fill the seats humans leave free; a bot the host kicks is wanted no more.
TEST(Admin, BotsComeAndGoAsSeatsAllowAndNoticesFitTheChat) {
    HostedGame game;
    EXPECT_EQ(game.command("bots 3").text, "1 bots: no seat for more");
    EXPECT_EQ(chatFor(game.command("kick 2").datagrams, clientAddress(1)),
              (Lines{"s:bob was kicked", "s:bob left", "s:bot_ben joined"}));
    EXPECT_EQ(game.command("kick bot_ann").text, "kicked bot_ann");
    EXPECT_EQ(game.server.wantedBots(), 1);
    EXPECT_EQ(game.server.playerCount(), 3u);
    AdminAnswer answer = game.command("bots 2");
    EXPECT_EQ(answer.text, "2 bots");
    EXPECT_EQ(chatFor(answer.datagrams, clientAddress(1)), Lines{"s:bot_ann joined"});
    answer = game.command("bots 0");
    EXPECT_EQ(chatFor(answer.datagrams, clientAddress(1)),
              (Lines{"s:bot_ann left", "s:bot_ben left"}));
    EXPECT_EQ(game.server.playerCount(), 2u);

    answer = game.command("say  Server restarts at midnight: thank you all for playing!");
    EXPECT_EQ(chatFor(answer.datagrams, clientAddress(1)),
              (Lines{"s:Server restarts at midnight:", "s:thank you all for playing!"}));
    EXPECT_EQ(chatFor(game.command("say " + std::string(40, 'x')).datagrams, clientAddress(1)),
              (Lines{"s:" + std::string(29, 'x'), "s:" + std::string(11, 'x')}));
}

TEST(Admin, StatusListsTheServerAndEverySeat) {
    HostedGame game;
    game.run(150, {{1, '1'}});
    game.server.setBots(1);
    EXPECT_EQ(statusText(game.server),
              "name: Friday arena\nport: 4000\nmap: mapdata\nuptime: 0:00:02\nseats: 4 of 4\n"
              "id  name         kind   address                 score  silent\n"
              "1   alice        human  127.0.0.1:40001             0       0\n"
              "2   bob          human  127.0.0.1:40002             0       2\n"
              "3   carol        human  127.0.0.1:41999             0       2\n"
              "4   bot_ann      bot    -                           0       -\n");
}

TEST(Admin, RequestsAreReadWholeOrRefusedWithAReason) {
    std::vector<std::pair<std::string, std::string>> refused = {
        {"", "an empty request; the commands are status, kick, ban, unban, bans, bots, say"},
        {"reboot", "unknown command 'reboot'; the commands are status, kick, ban, unban, bans, "
                   "bots, say"},
        {"status\t", "a request holds printable ASCII only"},
        {"bans all", "bans takes no arguments"},
        {"kick", "kick needs a player's id or name"},
        {"say   ", "say needs a text"},
        {"ban 127.0.0", "ban needs an IPv4 address as A.B.C.D, got '127.0.0'"},
        {"ban 127.0.0.1 0", "ban takes minutes from 1 to 5256000 after the address, got '0'"},
        {"ban 127.0.0.1 5 6", "ban takes minutes from 1 to 5256000 after the address, got '5'"},
        {"unban host", "unban needs an IPv4 address as A.B.C.D, got 'host'"},
        {"bots 5", "bots needs a number from 0 to 4, got '5'"},
    };
    for (const auto& [line, error] : refused) {
        EXPECT_EQ(parseAdminRequest(line).error, error) << line;
    }
    AdminCommand ban = parseAdminRequest("  ban 127.0.0.3   60  ").command;
    EXPECT_EQ(std::make_tuple(ban.kind, ban.address, ban.minutes),
              std::make_tuple(AdminCommand::Kind::ban, 0x7f000003u, std::optional<int>(60)));

    RequestBuffer buffer;
    EXPECT_EQ(buffer.add("sta"), RequestBuffer::State::incomplete);
    EXPECT_EQ(buffer.add("tus\nmore"), RequestBuffer::State::complete);
    EXPECT_EQ(buffer.line(), "status");
    RequestBuffer endless;
    EXPECT_EQ(endless.add(std::string(300, 'x')), RequestBuffer::State::incomplete);
    EXPECT_EQ(endless.add(std::string(300, 'x') + "\n"), RequestBuffer::State::tooLong);
}

} // namespace
