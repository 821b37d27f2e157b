#include "server_test_support.h"

#include <algorithm>
#include <random>

namespace {

// Seats from the first join to a leave and a timeout, with a fifth client turned away between.
TEST(Roster, SeatsGoToTheLowestFreeIDsAndFreeOnLeavingOrSilence) {
    TestGame game(walledRoom(8, 8));
    EXPECT_EQ(game.join(1, "alice"), '1');
    Datagrams reply = game.send(2, wire(encodeJoin("bob")));
    EXPECT_EQ(sentTo(reply, clientAddress(2)).at(0), "s2");
    EXPECT_EQ(chatFor(reply, clientAddress(1)), Lines{"s:bob joined"});
    EXPECT_EQ(chatFor(reply, clientAddress(2)), Lines{"s:bob joined"});

    // A repeated join only resends the id: no second seat, no new name, no respawn.
    vec3 before = game.player('2').body.getPosition();
    reply = game.send(2, wire(encodeJoin("mallory")));
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].bytes, "s2");
    EXPECT_EQ(game.player('2').name(), "bob");
    EXPECT_TRUE(near(game.player('2').body.getPosition(), before, 0));

    EXPECT_EQ(game.join(3, "carol"), '3');
    EXPECT_EQ(game.join(4, "dave"), '4');
    reply = game.send(5, wire(encodeJoin("late")));
    EXPECT_EQ(reply.size(), 1u);
    EXPECT_EQ(sentTo(reply, clientAddress(5)), Lines{"f"});
    EXPECT_EQ(game.server.playerCount(), 4u);

    reply = game.send(1, {MessageType::leave, '1'});
    EXPECT_EQ(chatFor(reply, clientAddress(2)), Lines{"s:alice left"});
    EXPECT_EQ(game.join(5, "erin"), '1');

    // Everyone but bob keeps talking to the server.
    std::vector<std::pair<int, char>> talking = {{3, '3'}, {4, '4'}, {5, '1'}};
    game.run(5 * 60 - 1, talking);
    EXPECT_NE(game.server.findPlayer('2'), nullptr);
    Datagrams last = game.run(1, talking);
    EXPECT_EQ(game.server.findPlayer('2'), nullptr);
    EXPECT_EQ(chatFor(last, clientAddress(3)), Lines{"s:bob left"});
    EXPECT_TRUE(sentTo(last, clientAddress(2)).empty());
    EXPECT_EQ(game.server.malformedDatagrams() + game.server.unownedDatagrams(), 0);
    // Carol's answers are lost: she sends with the unknown id, refused but alive.
    game.run(6 * 60, {{3, '0'}, {4, '4'}, {5, '1'}});
    EXPECT_NE(game.server.findPlayer('3'), nullptr);
    EXPECT_EQ(game.server.unownedDatagrams(), 6 * 60);
}

TEST(Roster, ChatIsRelayedCutAndNobodySpeaksOrSteersForAnother) {
    TestGame game(walledRoom(8, 8));
    game.join(1, "alice");
    game.join(2, "bob");
    game.log.str("");
    Datagrams relayed = game.send(2, talkBytes('2', "THIS LINE IS MUCH TOO LONG FOR THE CHAT"));
    Lines cut = {"2:THIS LINE IS MUCH TOO LONG FO"};
    EXPECT_EQ(chatFor(relayed, clientAddress(1)), cut);
    EXPECT_EQ(chatFor(relayed, clientAddress(2)), cut);
    EXPECT_TRUE(game.send(2, talkBytes('2', "")).empty());

    vec3 direction = game.player('1').body.getDirection();
    EXPECT_TRUE(game.send(2, keyBytes('1', walkForward, true)).empty());
    game.send(2, mouseBytes('1', 500, 0));
    EXPECT_TRUE(game.send(2, talkBytes('1', "I AM ALICE")).empty());
    game.send(2, {MessageType::leave, '1'});
    // Unknown senders, unseated ids and the input a client sends before it hears its id are
    // refused alike, and counted apart from malformed datagrams.
    game.send(9, {MessageType::keepAlive, '2'});
    game.send(1, {MessageType::keepAlive, '4'});
    game.send(3, keyBytes(unknownPlayerID, walkForward, true));
    EXPECT_EQ(game.server.unownedDatagrams(), 7);
    EXPECT_EQ(game.server.malformedDatagrams(), 0);
    // The first is logged; the rest wait for the summary.
    EXPECT_EQ(game.log.str(), "chat bob: THIS LINE IS MUCH TOO LONG FO\n"
                              "dropped a datagram from 127.0.0.1:40002 naming a player id it does "
                              "not own\n");
    EXPECT_FALSE(game.player('1').holds(walkForward));
    EXPECT_TRUE(near(game.player('1').body.getDirection(), direction, 0));
    EXPECT_EQ(game.server.playerCount(), 2u);
}

// Which datagrams are well formed is the parser's test; here they are counted, and random bytes
// under a valid id must leave the player whole.
TEST(Roster, MalformedDatagramsAreDroppedAndCounted) {
    TestGame game(walledRoom(8, 8));
    game.join(1, "alice");
    for (const std::string& bytes : {std::string(), std::string("q1"), std::string(600, 'k')}) {
        EXPECT_TRUE(game.send(1, bytes).empty());
    }
    EXPECT_EQ(game.server.malformedDatagrams(), 3);
    EXPECT_EQ(game.server.unownedDatagrams(), 0);
    std::mt19937 random(3);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(size_t(random() % 16), '\0');
        std::generate(bytes.begin(), bytes.end(), [&random] { return char(random()); });
        if (bytes.size() > 1) {
            bytes[0] = "kmtxj"[random() % 5];
            bytes[1] = '1';
        }
        game.send(1, bytes);
        if (round % 100 == 0) {
            game.server.tick();
        }
    }
    const ServerPlayer& alice = game.player('1');
    EXPECT_NEAR(alice.body.getDirection().length(), 1.0f, 1e-4f);
    EXPECT_TRUE(game.arena.fits(alice.body.getBox()));
}

} // namespace

namespace {

// Four bots wanted: each human who joins the full house takes the seat of the bot with the
// highest id, and each human seat freed by a leave, a timeout or a kick goes back to a bot.
TEST(Roster, HumansTakeTheSeatsOfBotsWhichReturnAsHumansGo) {
    TestGame game(walledRoom(8, 8));
    game.server.setBots(maxBots);
    game.log.str("");
    Datagrams reply = game.send(1, wire(encodeJoin("alice")));
    EXPECT_EQ(sentTo(reply, clientAddress(1)).at(0), "s4");
    EXPECT_EQ(chatFor(reply, clientAddress(1)), Lines{"s:alice joined"});
    EXPECT_EQ(game.join(2, "bob"), '3');
    reply = game.send(3, wire(encodeJoin("carol")));
    EXPECT_EQ(chatFor(reply, clientAddress(1)), (Lines{"s:bot_ben left", "s:carol joined"}));
    EXPECT_EQ(game.join(4, "dave"), '1');
    EXPECT_EQ(game.join(5, "erin"), 0);
    EXPECT_EQ(game.log.str(), "bot_dot left to free a seat for alice\n"
                              "alice joined as 4 from 127.0.0.1:40001\n"
                              "bot_cal left to free a seat for bob\n"
                              "bob joined as 3 from 127.0.0.1:40002\n"
                              "bot_ben left to free a seat for carol\n"
                              "carol joined as 2 from 127.0.0.1:40003\n"
                              "bot_ann left to free a seat for dave\n"
                              "dave joined as 1 from 127.0.0.1:40004\n"
                              "refused erin from 127.0.0.1:40005: server full\n");

    game.log.str("");
    reply = game.send(1, {MessageType::leave, '4'});
    EXPECT_EQ(chatFor(reply, clientAddress(2)), (Lines{"s:alice left", "s:bot_ann joined"}));
    Datagrams kicked = game.server.kick('3', "");
    EXPECT_EQ(chatFor(kicked, clientAddress(4)),
              (Lines{"s:bob was kicked", "s:bob left", "s:bot_ben joined"}));
    game.run(silenceLimitTicks, {{4, '1'}});
    // The bots may kill someone meanwhile.
    Lines events;
    std::istringstream log(game.log.str());
    for (std::string line; std::getline(log, line);) {
        if (line.find(" killed ") == std::string::npos) {
            events.push_back(line);
        }
    }
    EXPECT_EQ(events,
              (Lines{"alice left", "bot_ann joined as 4 (bot)", "bob was kicked",
                     "bot_ben joined as 3 (bot)", "carol timed out", "bot_cal joined as 2 (bot)"}));
    EXPECT_EQ(game.server.playerCount(), 4u);
    // Dave is the only human left; the host wants fewer bots now, so his leave brings none.
    game.server.setBots(1);
    game.send(4, {MessageType::leave, '1'});
    EXPECT_EQ(game.server.playerCount(), 1u);
    EXPECT_EQ(game.player('2').name(), "bot_cal");
}

} // namespace
