#include "Combat.h"
#include "Shot.h"
#include "server_test_support.h"

namespace {

// A corridor one cell wide with a floor cell at each end and nothing between: the two players
// spawn at its ends, eyes 448 apart.
TEST(Combat, HeldFireShootsEverySixthTickAndTheFourthHitKillsUntilRespawn) {
    TestGame game(mapText(1, 5, 8, [](int, int y, int z) { return y == 0 && (z == 0 || z == 7); }));
    char alice = game.join(1, "alice");
    char bob = game.join(2, "bob");
    vec3 b = game.player(bob).body.getPosition();

    Datagrams batch;
    auto tick = [&] {
        batch = game.run(1, {{1, alice}, {2, bob}});
        return updateFor(batch, clientAddress(2)).value();
    };
    game.run(spawnProtectionTicks, {{1, alice}, {2, bob}});
    // Letting go at tick 2 and pressing again at tick 3 does not beat the interval.
    ServerMessage update;
    std::vector<int> shotTicks;
    for (int t = 1; t <= 19; ++t) {
        game.press(1, alice, fire, t != 2);
        update = tick();
        if (update.players[0].shooting) {
            shotTicks.push_back(t);
        }
        EXPECT_EQ(update.players[1].shooting, 0);
        EXPECT_EQ(update.players[1].position.x < 0, t == 19) << t;
    }
    EXPECT_EQ(shotTicks, (std::vector<int>{1, 7, 13, 19}));
    EXPECT_EQ(update.players[0].points, 1);
    EXPECT_EQ(chatFor(batch, clientAddress(2)), Lines{"s:alice killed bob"});
    EXPECT_NE(game.log.str().find("alice killed bob\n"), std::string::npos);

    // The dead stay out of sight and do not shoot.
    game.press(1, alice, fire, false);
    game.press(2, bob, fire);
    for (int t = 1; t < respawnTicks; ++t) {
        update = tick();
        ASSERT_TRUE(near(update.players[1].position, graveyard, 0)) << t;
        ASSERT_EQ(update.players[1].shooting, 0) << t;
    }
    game.press(2, bob, fire, false);
    EXPECT_TRUE(near(tick().players[1].position, b, 1.0f));
    EXPECT_EQ(game.player(bob).hitsTaken, 0);
}

// The same corridor: bob has just spawned when alice opens fire, and again after she kills him.
TEST(Combat, TheJustSpawnedAreUnhurtForTwoSecondsOrUntilTheyFire) {
    TestGame game(mapText(1, 5, 8, [](int, int y, int z) { return y == 0 && (z == 0 || z == 7); }));
    char alice = game.join(1, "alice");
    char bob = game.join(2, "bob");
    std::vector<std::pair<int, char>> both = {{1, alice}, {2, bob}};
    game.press(1, alice, fire);
    for (int t = 1; t < spawnProtectionTicks; ++t) {
        game.run(1, both);
        ASSERT_TRUE(game.player(bob).isProtected()) << t;
        ASSERT_EQ(game.player(bob).hitsTaken, 0) << t;
    }
    game.run(shotInterval, both);
    EXPECT_EQ(game.player(bob).hitsTaken, 1);
    // Shooting ended alice's own protection at once: bob hurts her as soon as he fires.
    game.press(2, bob, fire);
    game.run(1, both);
    EXPECT_EQ(game.player(alice).hitsTaken, 1);
    game.press(2, bob, fire, false);

    game.run(4 * shotInterval, both);
    ASSERT_FALSE(game.player(bob).isAlive());
    game.run(respawnTicks, both);
    ASSERT_TRUE(game.player(bob).isProtected());
    game.run(shotInterval, both);
    EXPECT_EQ(game.player(bob).hitsTaken, 0);
    game.press(2, bob, fire);
    game.run(2 * shotInterval, both);
    EXPECT_FALSE(game.player(bob).isProtected());
    EXPECT_GT(game.player(bob).hitsTaken, 0);
}

// A line of players along z, facing +z, in an open corridor; a solid cell fills z = 448 to 512.
TEST(Combat, TheNearestLivingPlayerTakesTheShotAndWallsStopIt) {
    MapManager map;
    map.load(mapText(1, 5, 10, [](int, int y, int z) { return y == 2 && z == 7; }));
    std::vector<ServerPlayer> players;
    for (float z : {40.0f, 200.0f, 330.0f, 600.0f}) {
        players.emplace_back(char('1' + players.size()), "p", false, PeerAddress());
        players.back().spawnAt(vec3(32, 160, z), 3.14159265f);
    }
    EXPECT_EQ(playerHitBy(players[0], players, map), &players[1]);
    players[1].die(respawnTicks);
    EXPECT_EQ(playerHitBy(players[0], players, map), &players[2]);
    players[2].die(respawnTicks);
    EXPECT_EQ(playerHitBy(players[0], players, map), nullptr);
    EXPECT_NEAR(shotEnd(players[0].body, map).z, 448, 0.01f);
    // Turned away from the wall, the shot runs its full reach.
    players[0].spawnAt(vec3(32, 160, 40), 0);
    EXPECT_NEAR(shotEnd(players[0].body, map).z, 40 - shotReach, 0.01f);
}

TEST(Update, EveryClientGetsOneListingEveryPlayerInIDOrder) {
    TestGame game(walledRoom(8, 8));
    game.join(1, "alice");
    game.send(2, "jtwelve_chars");
    game.join(3, "carol");
    game.send(1, {MessageType::leave, '1'});
    game.join(4, "dave");
    // Turns, wild ones included, keep the rotation on the view direction.
    game.send(2, mouseBytes('2', 300, 120));
    game.send(3, mouseBytes('3', 10000, 10000));
    game.send(4, mouseBytes('1', -7, -400));
    Datagrams batch = game.server.tick();
    ASSERT_EQ(batch.size(), 3u);
    for (int client : {2, 3, 4}) {
        ASSERT_TRUE(updateFor(batch, clientAddress(client))) << client;
    }
    ServerMessage update = *updateFor(batch, clientAddress(4));
    const char* names[] = {"dave", "twelve_chars", "carol"};
    for (int i = 0; i < 3; ++i) {
        const PlayerUpdate& record = update.players[i];
        EXPECT_EQ(record.playerID, char('1' + i));
        std::string name = names[i];
        name.resize(nameFieldSize, '\0');
        EXPECT_EQ(std::string(record.name, nameFieldSize), name);
        const Player& body = game.player(record.playerID).body;
        EXPECT_TRUE(near(record.position, body.getBox().center, 0));
        EXPECT_TRUE(near(record.direction, body.getDirection(), 0));
        EXPECT_TRUE(near(record.rotation * vec3(0, 0, -1), record.direction, 1e-4f));
    }
    EXPECT_EQ(update.players[3].playerID, 0);
}

} // namespace
