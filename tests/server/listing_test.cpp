#include "server_test_support.h"

namespace {

const PeerAddress firstMaster{0x7f000063, 27950};
const PeerAddress secondMaster{0x7f000064, 27951};
const int fiveMinutes = 5 * 60 * ticksPerSecond;

// The infostring of the one answer a getinfo got, or nothing.
std::optional<InfoPairs> answer(TestGame& game, int client, const std::string& challenge) {
    Datagrams reply = game.send(client, encodeGetInfo(challenge));
    if (reply.empty()) {
        return std::nullopt;
    }
    EXPECT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].peer, clientAddress(client));
    EXPECT_LE(reply[0].bytes.size(), maxQueryReply);
    return parseInfoResponse(reply[0].bytes);
}

TEST(Listing, GetInfoTellsTheSeatsNameAndMapAndChangesNothing) {
    TestGame game(walledRoom(8, 8), 7, {"Test \\ arena\n", "mapdata", {}});
    game.server.setBots(2);
    game.join(1, "alice");
    game.log.str("");
    EXPECT_EQ(answer(game, 2, "x7"), (InfoPairs{{"gamename", "Cubefray"},
                                                {"protocol", "1"},
                                                {"clients", "3"},
                                                {"bots", "2"},
                                                {"sv_maxclients", "4"},
                                                {"challenge", "x7"},
                                                {"mapname", "mapdata"},
                                                {"hostname", "Test ? arena?"}}));
    std::optional<InfoPairs> bare = answer(game, 2, "");
    ASSERT_TRUE(bare);
    EXPECT_FALSE(infoValue(*bare, "challenge"));
    EXPECT_TRUE(game.send(2, encodeGetInfo("a;b")).empty());
    EXPECT_TRUE(game.send(2, "\xff\xff\xff\xffgetstatus x").empty());
    EXPECT_EQ(game.server.malformedDatagrams() + game.server.unownedDatagrams(), 0);
    EXPECT_EQ(game.server.playerCount(), 3u);
    EXPECT_EQ(game.log.str(), "");

    // A name too long for the reply is cut, and only the name.
    TestGame verbose(walledRoom(8, 8), 7, {std::string(600, 'n'), "mapdata", {}});
    std::string challenge(maxChallengeLength, 'c');
    std::optional<InfoPairs> info = answer(verbose, 1, challenge);
    ASSERT_TRUE(info);
    EXPECT_EQ(infoValue(*info, "challenge"), challenge);
    EXPECT_EQ(infoValue(*info, "mapname"), "mapdata");
    EXPECT_GT(infoValue(*info, "hostname")->size(), 200u);
}

TEST(Listing, AnAddressGetsTenAnswersInAnySecondWhateverItsPorts) {
    TestGame game(walledRoom(8, 8));
    auto answers = [&game](PeerAddress from, int queries) {
        size_t sent = 0;
        for (int i = 0; i < queries; ++i) {
            sent += game.server.receive(from, encodeGetInfo("c")).size();
        }
        return sent;
    };
    const PeerAddress first{0x7f000001, 1000}, samePlace{0x7f000001, 1001};
    EXPECT_EQ(answers(first, 6), 6u);
    game.run(30);
    EXPECT_EQ(answers(samePlace, 30), 4u);
    EXPECT_EQ(answers({0x7f000002, 1000}, 30), 10u);
    game.run(29);
    EXPECT_EQ(answers(first, 1), 0u);
    // The first six leave the window a second after they went out; the four later ones stay.
    game.run(1);
    EXPECT_EQ(answers(first, 30), 6u);

    // A flood from forged addresses is forgotten a second later.
    for (uint32_t forged = 0; forged < 20000; ++forged) {
        game.server.receive({forged * 7919, uint16_t(forged)}, encodeGetInfo("c"));
    }
    game.run(60);
    EXPECT_EQ(answers(first, 30), 10u);
}

// A game listed with two masters, which tells at which ticks since its start heartbeats went.
struct ListedGame : TestGame {
    ListedGame()
        : TestGame(walledRoom(8, 8), 7, {"arena", "mapdata", {firstMaster, secondMaster}}) {}

    std::vector<int> heartbeatsIn(int ticks, const std::vector<std::pair<int, char>>& clients) {
        std::vector<int> when;
        for (int i = 0; i < ticks; ++i) {
            Datagrams out = run(1, clients);
            ++now;
            Lines toFirst = sentTo(out, firstMaster);
            EXPECT_EQ(toFirst, sentTo(out, secondMaster)) << now;
            if (!toFirst.empty()) {
                EXPECT_EQ(toFirst, Lines{encodeHeartbeat()}) << now;
                when.push_back(now);
            }
        }
        return when;
    }

    int now = 0;
};

using Ticks = std::vector<int>;

TEST(Listing, HeartbeatsGoAtStartOnBecomingEmptyOrFullOrNotAndEveryFiveMinutes) {
    ListedGame game;
    EXPECT_EQ(game.heartbeatsIn(120, {}), Ticks{1});
    char alice = game.join(1, "alice");
    EXPECT_EQ(game.heartbeatsIn(60, {{1, alice}}), Ticks{121});
    game.send(1, wire(encodeLeave(alice)));
    EXPECT_EQ(game.heartbeatsIn(60, {}), Ticks{181});

    alice = game.join(1, "alice");
    game.server.setBots(2);
    EXPECT_EQ(game.heartbeatsIn(10, {{1, alice}}), Ticks{241});
    // Full, or no longer full, before a second has passed since the last heartbeat: told once
    // it has.
    char bob = game.join(2, "bob");
    EXPECT_EQ(game.heartbeatsIn(90, {{1, alice}, {2, bob}}), Ticks{301});
    game.send(2, wire(encodeLeave(bob)));
    EXPECT_EQ(game.heartbeatsIn(30, {{1, alice}}), Ticks{361});
    // Full and no longer full again within the second: nothing to tell.
    char carol = game.join(3, "carol");
    EXPECT_EQ(game.heartbeatsIn(20, {{1, alice}, {3, carol}}), Ticks{});
    game.send(3, wire(encodeLeave(carol)));
    EXPECT_EQ(game.heartbeatsIn(60, {{1, alice}}), Ticks{});
    EXPECT_EQ(game.heartbeatsIn(fiveMinutes, {{1, alice}}), Ticks{361 + fiveMinutes});
}

} // namespace
