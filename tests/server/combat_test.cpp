#include "Combat.h"
#include "server_test_support.h"

namespace {

struct Duel : ::testing::Test {
    TestGame game{duelCorridor()};
    char alice = game.join(1, "alice");
    char bob = game.join(2, "bob");

    // One tick with both clients alive; alice's record and bob's in its update.
    std::pair<PlayerUpdate, PlayerUpdate> tick() {
        std::optional<UpdateMessage> update =
            updateFor(game.run(1, {{1, alice}, {2, bob}}), clientAddress(1));
        return {update.value().players[0], update.value().players[1]};
    }
};

TEST_F(Duel, PlayersSpawnApartFacingEachOther) {
    vec3 a = game.player(alice).body.getPosition();
    vec3 b = game.player(bob).body.getPosition();
    EXPECT_NEAR(std::fabs(a.z - b.z), 448, 1e-3f);
    EXPECT_TRUE(near(game.player(alice).body.getDirection(), normalized(b - a), 1e-4f));
}

TEST_F(Duel, HeldFireShootsEverySixthTick) {
    game.press(1, alice, fire);
    std::vector<int> shotTicks;
    for (int t = 1; t <= 15; ++t) {
        auto [a, b] = tick();
        if (a.shooting) {
            shotTicks.push_back(t);
        }
        EXPECT_EQ(b.shooting, 0);
    }
    EXPECT_EQ(shotTicks, (std::vector<int>{1, 7, 13}));
    EXPECT_EQ(game.player(bob).hitsTaken, 3);

    // Letting go and pressing again does not beat the interval: the next shot is at tick 19.
    game.press(1, alice, fire, false);
    tick();
    game.press(1, alice, fire);
    EXPECT_EQ(tick().first.shooting, 0);
    EXPECT_EQ(tick().first.shooting, 0);
    EXPECT_EQ(tick().first.shooting, 1);
}

TEST_F(Duel, FourHitsKillAndTheVictimRespawnsThreeSecondsLater) {
    vec3 bobsSpot = game.player(bob).body.getPosition();
    game.press(1, alice, fire);
    for (int t = 1; t < 19; ++t) {
        tick();
    }
    EXPECT_EQ(game.player(bob).hitsTaken, 3);
    Datagrams killTick = game.run(1, {{1, alice}, {2, bob}});
    game.press(1, alice, fire, false);
    std::optional<UpdateMessage> update = updateFor(killTick, clientAddress(2));
    ASSERT_TRUE(update);
    EXPECT_EQ(update->players[0].points, 1);
    EXPECT_LT(update->players[1].position.x, 0);
    EXPECT_EQ(chatFor(killTick, clientAddress(2)), std::vector<std::string>{"s:alice killed bob"});
    EXPECT_NE(game.log.str().find("alice killed bob\n"), std::string::npos);

    // The dead neither move nor shoot.
    game.press(2, bob, fire);
    game.press(2, bob, walkForward);
    for (int t = 1; t < respawnTicks; ++t) {
        PlayerUpdate dead = tick().second;
        ASSERT_TRUE(near(dead.position, graveyard, 0)) << t;
        ASSERT_EQ(dead.shooting, 0) << t;
    }
    game.press(2, bob, fire, false);
    game.press(2, bob, walkForward, false);
    PlayerUpdate back = tick().second;
    EXPECT_TRUE(near(back.position, bobsSpot, 1.0f));
    EXPECT_TRUE(game.arena.fits(game.player(bob).body.getBox()));
    EXPECT_EQ(game.player(bob).hitsTaken, 0);
    EXPECT_EQ(back.points, 0);
}

// A line of players along z in an open corridor; a solid cell stands in the way at z = 5.
struct LineOfFire : ::testing::Test {
    MapManager map;
    std::vector<ServerPlayer> players;

    LineOfFire() {
        map.load(mapText(1, 5, 10, [](int, int y, int z) { return y == 2 && z == 7; }));
        for (float z : {40.0f, 200.0f, 330.0f, 600.0f}) {
            players.emplace_back(char('1' + players.size()), "p", false, PeerAddress());
            // Yaw pi turns the initial -z view to +z.
            players.back().spawnAt(vec3(32, 160, z), 3.14159265f);
        }
    }
};

TEST_F(LineOfFire, TheNearestLivingPlayerTakesTheShot) {
    EXPECT_EQ(playerHitBy(players[0], players, map), &players[1]);
    players[1].die(respawnTicks);
    EXPECT_EQ(playerHitBy(players[0], players, map), &players[2]);
}

TEST_F(LineOfFire, WallsStopShots) {
    players[1].die(respawnTicks);
    players[2].die(respawnTicks);
    EXPECT_EQ(playerHitBy(players[0], players, map), nullptr);
    EXPECT_NEAR(shotEnd(players[0].body, map).z, 448, 0.01f);
    // Turned away from the wall, the shot runs its full reach.
    players[0].spawnAt(vec3(32, 160, 40), 0);
    EXPECT_NEAR(shotEnd(players[0].body, map).z, 40 - shotReach, 0.01f);
}

TEST(Update, EveryClientGetsOneUpdateAListingEveryPlayerInIDOrder) {
    TestGame game(walledRoom(8, 8));
    game.join(1, "alice");
    game.join(2, "bob");
    game.join(3, "carol");
    game.send(1, shortBytes(MessageType::leave, '1'));
    game.join(4, "dave");
    Datagrams batch = game.server.tick();
    ASSERT_EQ(batch.size(), 3u);
    for (int client : {2, 3, 4}) {
        std::vector<std::string> sent = sentTo(batch, clientAddress(client));
        ASSERT_EQ(sent.size(), 1u);
        ASSERT_EQ(sent[0].size(), 244u);
    }
    UpdateMessage update = *updateFor(batch, clientAddress(4));
    EXPECT_EQ(update.type, 'u');
    const char expectedIDs[] = {'1', '2', '3', 0};
    const char* expectedNames[] = {"dave", "bob", "carol"};
    for (int i = 0; i < 3; ++i) {
        const PlayerUpdate& record = update.players[i];
        EXPECT_EQ(record.playerID, expectedIDs[i]);
        EXPECT_EQ(textOfField(record.name, sizeof(record.name)), expectedNames[i]);
        const Player& body = game.player(record.playerID).body;
        EXPECT_TRUE(near(record.position, body.getBox().center, 0));
        EXPECT_TRUE(near(record.direction, body.getDirection(), 0));
        EXPECT_TRUE(near(record.rotation * vec3(0, 0, -1), record.direction, 1e-4f));
        EXPECT_EQ(record.shooting, 0);
    }
    EXPECT_EQ(update.players[3].playerID, expectedIDs[3]);
}

} // namespace
