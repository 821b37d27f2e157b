#include "game_driver.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// A 10 x 4 x 10 arena: a floor, and a wall filling column 9 (x from 576) on which shots land. No
// keep-alive falls due.
class Roster : public ::testing::Test {
  protected:
    Roster() {
        startTestGame(game);
        EXPECT_EQ(
            game.loadMap(mapText(10, 4, 10, [](int x, int y, int) { return y == 0 || x == 9; })),
            "");
    }

    void deliver(const std::string& bytes, double now = 0) { ::deliver(game, bytes, now); }

    std::string ids() {
        std::string s;
        for (const Player& p : game.players) {
            s += p.getPlayerID();
        }
        return s;
    }

    // The particles of the second of two equal updates: players created by the first do not
    // shoot before the next.
    std::vector<Particle> shot(std::initializer_list<PlayerUpdate> records) {
        game.players.clear();
        game.particleManager.particles.clear();
        deliver(updateDatagram(records));
        EXPECT_TRUE(game.particleManager.particles.empty());
        deliver(updateDatagram(records));
        return game.particleManager.particles;
    }

    Game game;
};

TEST_F(Roster, UpdatesCreateKeepAndDropPlayersInOrder) {
    deliver(updateDatagram({playerRecord('a', "alice", vec3(100, 100, 100), vec3(0, 0, 1)),
                            playerRecord('b', "bob", vec3(200, 100, 100))}));
    EXPECT_EQ(ids(), "ab");
    EXPECT_EQ(game.players[0].getPlayerName(), "alice");
    EXPECT_TRUE(near(game.players[0].getDirection(), vec3(0, 0, 1)));
    // A player missing from one update is gone; one coming back is created anew, behind.
    PlayerUpdate moved = playerRecord('b', "bob", vec3(250, 100, 100));
    moved.points = 3;
    deliver(updateDatagram({moved}));
    EXPECT_EQ(ids(), "b");
    EXPECT_EQ(game.players[0].getPoints(), 3);
    EXPECT_TRUE(near(game.players[0].getBox().center, vec3(250, 100, 100), 0));
    PlayerUpdate back = playerRecord('a', "alice", vec3(100, 100, 100));
    deliver(updateDatagram({moved, back}));
    EXPECT_EQ(ids(), "ba");
    // A record with id 0 ends the list: everyone is gone.
    deliver(updateDatagram({playerRecord(0, "ghost", vec3(1, 1, 1)), moved, back}));
    EXPECT_TRUE(game.players.empty());
    // A name without a terminating zero ends with its field.
    PlayerUpdate r = playerRecord('d', "", vec3(1, 1, 1));
    std::memset(r.name, 'N', sizeof(r.name));
    r.points = 0x41414141;
    deliver(updateDatagram({playerRecord('a', "", vec3()), playerRecord('b', "", vec3()),
                            playerRecord('c', "", vec3()), r}));
    EXPECT_EQ(game.players[3].getPlayerName(), std::string(12, 'N'));
}

TEST_F(Roster, ShotsBurstOnTheMapAndExplodeInEachPlayerCrossed) {
    std::vector<Particle> burst =
        shot({playerRecord('a', "a", vec3(100, 100, 320), vec3(1, 0, 0), true),
              playerRecord('b', "b", vec3(300, 100, 600))});
    ASSERT_EQ(burst.size(), 3u);
    EXPECT_TRUE(near(burst[0].position, vec3(576, 100, 320), 1e-3f));
    EXPECT_TRUE(near(burst[0].color, vec4(0, 1, 1, 4), 0));
    // Through two players: an explosion in each, where the shot enters, and no burst.
    std::vector<Particle> explosions = shot(
        {playerRecord('a', "a", vec3(100, 100, 320), vec3(1, 0, 0), true),
         playerRecord('b', "b", vec3(300, 100, 320)), playerRecord('c', "c", vec3(450, 100, 330))});
    ASSERT_EQ(explosions.size(), 60u);
    EXPECT_TRUE(near(explosions[0].position, vec3(275, 100, 320), 1e-3f));
    EXPECT_TRUE(near(explosions[30].position, vec3(425, 100, 320), 1e-3f));
    // A shot into the sky reaches as far as the server's: the player above is hit where the
    // shot enters; meeting nothing at all, it gives nothing.
    std::vector<Particle> skyward =
        shot({playerRecord('a', "a", vec3(100, 100, 320), vec3(0, 1, 0), true),
              playerRecord('b', "b", vec3(100, 900, 320))});
    ASSERT_EQ(skyward.size(), 30u);
    EXPECT_TRUE(near(skyward[0].position, vec3(100, 825, 320), 1e-3f));
    EXPECT_TRUE(shot({playerRecord('a', "a", vec3(100, 100, 320), vec3(0, 1, 0), true)}).empty());
}

// A flood in the server's name buys a bounded number of shots; the roster follows it all. The
// updates a stall held back all have theirs.
TEST_F(Roster, AFloodOfUpdatesHasTheShotsOfAFewOnly) {
    PlayerUpdate shooter = playerRecord('a', "a", vec3(100, 100, 320), vec3(1, 0, 0), true);
    deliver(updateDatagram({shooter}));
    game.update(0);
    auto burst = [&](int updates, double now) {
        game.update(now);
        game.particleManager.particles.clear();
        for (int i = 0; i < updates; ++i) {
            shooter.position.z = 300 + float(i);
            deliver(updateDatagram({shooter}), now);
        }
        return game.particleManager.particles.size() / 3;
    };
    EXPECT_EQ(burst(20, 1000), 20u);
    EXPECT_EQ(burst(200, 2000), size_t(ShotAllowance::burst));
    EXPECT_EQ(game.players.at(0).getPosition().z, 499);
    EXPECT_EQ(burst(200, 2000 + 1000 / 60.0), 2u);
    // A clock that goes back buys nothing.
    EXPECT_EQ(burst(200, 0), 0u);
    EXPECT_EQ(burst(1, 2100), 1u);
}

// Hits taken and landed show in the overlay's end-to-end test; here the names and the view.
TEST_F(Roster, TheFirstBodyCrossedIsHitAndAVictimLeavingForRespawnWasKilled) {
    deliver("sa");
    PlayerUpdate me = playerRecord('a', "alice", vec3(100, 100, 320), vec3(1, 0, 0), true);
    PlayerUpdate bob = playerRecord('b', "bob", vec3(300, 100, 320));
    PlayerUpdate carol = playerRecord('c', "carol", vec3(450, 100, 330), vec3(-1, 0, 0));
    deliver(updateDatagram({me, bob, carol}), 0);
    deliver(updateDatagram({me, bob, carol}), 100);
    EXPECT_EQ(game.combat.feedLineCount(150), 0u);
    // The killing shot sends bob away in the same update: he is hit where he stood.
    bob.position = vec3(-1000, -1000, -1000);
    game.particleManager.particles.clear();
    deliver(updateDatagram({me, bob, carol}), 200);
    EXPECT_TRUE(near(game.particleManager.particles.at(0).position, vec3(275, 100, 320), 1e-3f));
    ASSERT_EQ(game.combat.feedLineCount(300), 1u);
    EXPECT_EQ(game.combat.feedLine(0).killer.view(), "alice");
    EXPECT_EQ(game.combat.feedLine(0).victim.view(), "bob");
    EXPECT_EQ(game.combat.feedLineCount(200 + CombatEvents::feedLifetime), 0u);
    // Carol shoots back and kills the own player, whose view stays where it last stood.
    me.shooting = 0;
    carol.shooting = 1;
    deliver(updateDatagram({me, bob, carol}), 300);
    me.position = vec3(-1000, -1000, -1000);
    deliver(updateDatagram({me, bob, carol}), 400);
    EXPECT_EQ(game.combat.killedBy(), "carol");
    EXPECT_EQ(game.combat.feedLine(0).victim.view(), "alice");
    EXPECT_TRUE(game.hasLastOwnView);
    EXPECT_TRUE(near(game.lastOwnEye, vec3(100, 100, 320), 0));
}

// The server keeps a player who has just spawned from harm for two seconds or until it fires;
// the picture must not show hits that did not happen.
TEST_F(Roster, APlayerBackInPlayIsShieldedForTwoSecondsOrUntilItFires) {
    deliver("sa");
    PlayerUpdate me = playerRecord('a', "alice", vec3(100, 100, 320), vec3(1, 0, 0));
    PlayerUpdate bob = playerRecord('b', "bob", vec3(-1000, -1000, -1000));
    PlayerUpdate carol = playerRecord('c', "carol", vec3(300, 100, 500));
    deliver(updateDatagram({me, bob, carol}), 0);
    game.update(0);
    // The own player has just joined; carol was there before.
    EXPECT_TRUE(game.isShielded('a'));
    EXPECT_FALSE(game.isShielded('c'));
    bob.position = vec3(300, 100, 320);
    deliver(updateDatagram({me, bob, carol}), 100);
    auto shoot = [&](double now) {
        game.particleManager.particles.clear();
        me.shooting = 1;
        deliver(updateDatagram({me, bob, carol}), now);
        me.shooting = 0;
        deliver(updateDatagram({me, bob, carol}), now + 20);
        game.update(now + 20);
        return game.particleManager.particles.size();
    };
    // Sparks, and no hit; the own shot ended the own shield.
    EXPECT_EQ(shoot(1000), 3u);
    EXPECT_GT(game.combat.sinceHitLanded(1020), 1e9);
    EXPECT_TRUE(game.isShielded('b'));
    EXPECT_FALSE(game.isShielded('a'));
    EXPECT_GT(shoot(2100), 3u);
    EXPECT_EQ(game.combat.sinceHitLanded(2120), 20);
    EXPECT_FALSE(game.isShielded('b'));
    // Back in play again, and firing at once: no shield.
    bob.position = vec3(-1000, -1000, -1000);
    deliver(updateDatagram({me, bob, carol}), 3000);
    bob.position = vec3(300, 100, 320);
    deliver(updateDatagram({me, bob, carol}), 3020);
    bob.shooting = 1;
    deliver(updateDatagram({me, bob, carol}), 3040);
    game.update(3040);
    EXPECT_FALSE(game.isShielded('b'));
}

TEST_F(Roster, ChatKeepsTheNewestSixAndTheServerFullNoticeAtMostASeventh) {
    deliver(updateDatagram({playerRecord('a', "alice", vec3(100, 100, 100))}));
    deliver("tahello");
    deliver("tsserver notice");
    deliver("tqfrom nowhere");
    EXPECT_EQ(game.chatLines,
              (std::vector<std::string>{"alice: hello", "server notice", "from nowhere"}));
    EXPECT_EQ(game.chatTimer, 10);
    for (int i = 0; i < 5; ++i) {
        deliver("ts" + std::to_string(i));
    }
    EXPECT_EQ(game.chatLines, (std::vector<std::string>{"from nowhere", "0", "1", "2", "3", "4"}));
    // The notice comes on top of six lines, without showing the chat again.
    game.chatTimer = 1;
    deliver("f");
    EXPECT_EQ(game.chatLines.size(), 7u);
    EXPECT_EQ(game.chatLines.back(), "Server is full :(");
    EXPECT_EQ(game.chatTimer, 1);
    for (int i = 0; i < 100; ++i) {
        deliver("f");
    }
    EXPECT_EQ(game.chatLines.size(), 7u);
    // Chat text without a terminating zero ends with the datagram.
    deliver("ts" + std::string(600, 'x'));
    EXPECT_EQ(game.chatLines.back(), std::string(510, 'x'));
}

TEST_F(Roster, CrosshairMarksOtherPlayersOnTheLineOfFire) {
    game.clientPlayerID = 'a';
    deliver(updateDatagram({playerRecord('a', "a", vec3(100, 100, 320)),
                            playerRecord('b', "b", vec3(300, 100, 320)),
                            playerRecord('c', "c", vec3(300, 100, 500))}));
    game.update(0);
    EXPECT_FALSE(game.playerByID('a')->playerIsInCrosshairs());
    EXPECT_TRUE(game.playerByID('b')->playerIsInCrosshairs());
    EXPECT_FALSE(game.playerByID('c')->playerIsInCrosshairs());
    // Awaiting respawn: the marks keep their last values.
    deliver(updateDatagram({playerRecord('a', "a", vec3(-100, 100, 320)),
                            playerRecord('b', "b", vec3(300, 100, 900)),
                            playerRecord('c', "c", vec3(300, 100, 500))}));
    game.update(0);
    EXPECT_TRUE(game.playerByID('b')->playerIsInCrosshairs());
}

TEST_F(Roster, HostileDatagramsOfEveryTypeAndLengthAreHarmless) {
    std::srand(11);
    std::string noise(512, '\0');
    std::generate(noise.begin(), noise.end(), [] { return static_cast<char>(std::rand() % 256); });
    // Records whose floats are NaN, infinite and huge, shooting.
    const std::string shots =
        updateDatagram({playerRecord('h', "h", vec3(std::nanf(""), 1e30f, -1e30f),
                                     vec3(std::numeric_limits<float>::infinity(), 0, 0), true),
                        playerRecord('g', "g", vec3(1e30f, 1e30f, 1e30f), vec3(-1, 0, 0), true),
                        playerRecord('i', "i", vec3(100, 100, 100), vec3(0, -1, 0), true)});
    deliver(shots);
    deliver(shots);
    for (int type = 0; type < 256; ++type) {
        for (int length = 0; length <= 512; length += (type == 'u' || type == 't') ? 1 : 37) {
            deliver(length ? char(type) + noise.substr(1, size_t(length - 1)) : "");
        }
    }
    // Nothing from anyone but the server counts, however well it is formed.
    const char id = game.clientPlayerID;
    game.receive("s9", PeerAddress{testServer.ip, uint16_t(testServer.port + 1)}, 0);
    game.receive("s9", PeerAddress{testServer.ip + 1, testServer.port}, 0);
    EXPECT_EQ(game.clientPlayerID, id);
    EXPECT_EQ(game.strangerDatagrams(), 2u);
    game.update(0);
    EXPECT_LE(game.players.size(), 4u);
    EXPECT_LE(game.chatLines.size(), 7u);
    for (const Player& p : game.players) {
        EXPECT_LE(p.getPlayerName().size(), 12u);
    }
}

} // namespace
