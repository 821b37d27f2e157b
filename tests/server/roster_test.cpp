#include "ServerMessages.h"
#include "server_test_support.h"

#include <random>

namespace {

std::string room() {
    return walledRoom(8, 8);
}

TEST(Roster, JoinGivesTheLowestFreeIDAndTellsEveryone) {
    TestGame game(room());
    EXPECT_EQ(game.join(1, "alice"), '1');
    Datagrams reply = game.send(2, joinBytes("bob"));
    ASSERT_FALSE(reply.empty());
    EXPECT_EQ(reply[0].peer, clientAddress(2));
    EXPECT_EQ(reply[0].bytes, "s2");
    std::vector<std::string> expected = {"s:bob joined"};
    EXPECT_EQ(chatFor(reply, clientAddress(1)), expected);
    EXPECT_EQ(chatFor(reply, clientAddress(2)), expected);

    game.send(1, shortBytes(MessageType::leave, '1'));
    EXPECT_EQ(game.join(3, "carol"), '1');
    EXPECT_EQ(game.log.str(),
              "alice joined as 1\nbob joined as 2\nalice left\ncarol joined as 1\n");
}

TEST(Roster, NamesAreBoundedAndDefaulted) {
    TestGame game(room());
    char id = game.join(1, "");
    EXPECT_EQ(game.player(id).name(), "player");
    Datagrams reply = game.send(2, "j" + std::string("twelve_chars"));
    EXPECT_EQ(chatFor(reply, clientAddress(2)), std::vector<std::string>{"s:twelve_chars joined"});
    std::optional<UpdateMessage> update = updateFor(game.server.tick(), clientAddress(2));
    ASSERT_TRUE(update);
    EXPECT_EQ(std::string(update->players[1].name, 12), "twelve_chars");
    EXPECT_EQ(std::string(update->players[0].name, 12), std::string("player\0\0\0\0\0\0", 12));
}

TEST(Roster, AFifthPlayerIsTurnedAway) {
    TestGame game(room());
    for (int client = 1; client <= 4; ++client) {
        EXPECT_EQ(game.join(client, "p"), char('0' + client));
    }
    Datagrams reply = game.send(5, joinBytes("late"));
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].peer, clientAddress(5));
    EXPECT_EQ(reply[0].bytes, "f");
    EXPECT_EQ(game.server.playerCount(), 4u);
}

TEST(Roster, ARepeatedJoinOnlyResendsTheID) {
    TestGame game(room());
    game.join(1, "alice");
    game.join(2, "bob");
    vec3 before = game.player('2').body.getPosition();
    Datagrams reply = game.send(2, joinBytes("mallory"));
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].bytes, "s2");
    EXPECT_EQ(game.player('2').name(), "bob");
    EXPECT_EQ(game.server.playerCount(), 2u);
    EXPECT_EQ(game.player('2').body.getPosition().x, before.x);
    EXPECT_EQ(game.server.rejectedDatagrams(), 0);
}

TEST(Roster, NobodySteersOrSpeaksForAnotherPlayer) {
    TestGame game(room());
    game.join(1, "alice");
    game.join(2, "bob");
    vec3 direction = game.player('1').body.getDirection();
    EXPECT_TRUE(game.send(2, keyBytes('1', walkForward, true)).empty());
    game.send(2, mouseBytes('1', 500, 0));
    EXPECT_TRUE(game.send(2, talkBytes('1', "I AM ALICE")).empty());
    game.send(2, shortBytes(MessageType::leave, '1'));
    // Unknown senders and unseated ids are refused alike.
    game.send(9, shortBytes(MessageType::keepAlive, '2'));
    game.send(1, shortBytes(MessageType::keepAlive, '4'));

    EXPECT_EQ(game.server.rejectedDatagrams(), 6);
    EXPECT_FALSE(game.player('1').holds(walkForward));
    EXPECT_EQ(game.player('1').body.getDirection().x, direction.x);
    EXPECT_EQ(game.server.playerCount(), 2u);
}

TEST(Roster, ChatIsRelayedWithTheSpeakersIDAndCut) {
    TestGame game(room());
    game.join(1, "alice");
    game.join(2, "bob");
    Datagrams relayed = game.send(2, talkBytes('2', "THIS LINE IS MUCH TOO LONG FOR THE CHAT"));
    std::vector<std::string> expected = {"2:THIS LINE IS MUCH TOO LONG FO"};
    EXPECT_EQ(chatFor(relayed, clientAddress(1)), expected);
    EXPECT_EQ(chatFor(relayed, clientAddress(2)), expected);
    EXPECT_TRUE(game.send(2, talkBytes('2', "")).empty());
}

TEST(Roster, SilenceForFiveSecondsDropsAClient) {
    TestGame game(room());
    game.join(1, "alice");
    game.join(2, "bob");
    // Alice keeps talking to the server; Bob falls silent after the join.
    Datagrams last = game.run(299, {{1, '1'}});
    EXPECT_NE(game.server.findPlayer('2'), nullptr);
    EXPECT_TRUE(chatFor(last, clientAddress(1)).empty());
    game.send(1, shortBytes(MessageType::keepAlive, '1'));
    last = game.server.tick();
    EXPECT_EQ(game.server.findPlayer('2'), nullptr);
    EXPECT_EQ(chatFor(last, clientAddress(1)), std::vector<std::string>{"s:bob left"});
    EXPECT_TRUE(sentTo(last, clientAddress(2)).empty());
    EXPECT_NE(game.log.str().find("bob left\n"), std::string::npos);
}

TEST(Roster, LeaveDropsAtOnce) {
    TestGame game(room());
    game.join(1, "alice");
    game.join(2, "bob");
    Datagrams reply = game.send(1, shortBytes(MessageType::leave, '1'));
    EXPECT_EQ(game.server.findPlayer('1'), nullptr);
    EXPECT_EQ(chatFor(reply, clientAddress(2)), std::vector<std::string>{"s:alice left"});
    std::optional<UpdateMessage> update = updateFor(game.server.tick(), clientAddress(2));
    ASSERT_TRUE(update);
    EXPECT_EQ(update->players[0].playerID, '2');
    EXPECT_EQ(update->players[1].playerID, 0);
}

// Every type code at every length up to a full datagram, all its other bytes 0xff: no id and no
// control has that value, so only a join could be accepted, and its one length is left out.
TEST(Roster, MalformedDatagramsAreDroppedAndCounted) {
    TestGame game(room());
    game.join(1, "alice");
    long sent = 0;
    for (int code = 0; code < 256; ++code) {
        for (size_t length = 0; length <= size_t(maxDatagramSize); ++length) {
            if (code == MessageType::join && length == sizeof(JoinMessage)) {
                continue;
            }
            std::string bytes(length, char(0xff));
            if (length > 0) {
                bytes[0] = char(code);
            }
            EXPECT_TRUE(game.send(1, bytes).empty());
            ++sent;
        }
    }
    EXPECT_EQ(game.server.rejectedDatagrams(), sent);
    EXPECT_EQ(game.server.playerCount(), 1u);
}

TEST(Roster, RandomBytesUnderAValidIDLeaveTheGameSane) {
    TestGame game(room());
    game.join(1, "alice");
    std::mt19937 random(3);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(size_t(random() % 16), '\0');
        for (char& c : bytes) {
            c = char(random());
        }
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
    vec3 direction = alice.body.getDirection();
    EXPECT_NEAR(direction.length(), 1.0f, 1e-4f);
    EXPECT_TRUE(game.arena.fits(alice.body.getBox()));
}

} // namespace
