#include "Game.h"
#include "fake_server.h"
#include "test_helpers.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

PlayerUpdate record(char id, const char* name, vec3 position, vec3 direction = vec3(1, 0, 0),
                    bool shooting = false) {
    PlayerUpdate r;
    r.playerID = id;
    std::strncpy(r.name, name, sizeof(r.name));
    r.position = position;
    r.direction = direction;
    r.shooting = shooting ? 1 : 0;
    return r;
}

GenericMessage updateDatagram(std::initializer_list<PlayerUpdate> records) {
    UpdateMessage update;
    int i = 0;
    for (const PlayerUpdate& r : records) {
        update.players[i++] = r;
    }
    GenericMessage message;
    std::memcpy(message.data, &update, sizeof(update));
    return message;
}

GenericMessage chatDatagram(char sender, const std::string& text) {
    return datagram(std::string("t") + sender + text);
}

// A 10 x 4 x 10 arena: a floor, and a wall filling column 9 (x from 576).
std::string arenaText() {
    std::string text = "10 4 10 ";
    for (int x = 0; x < 10; ++x) {
        for (int y = 0; y < 4; ++y) {
            for (int z = 0; z < 10; ++z) {
                text += (y == 0 || x == 9) ? "1 1 " : "0 0 ";
            }
        }
    }
    return text;
}

class Roster : public ::testing::Test {
  protected:
    Roster() {
        pthread_mutex_init(&game.mutex, nullptr);
        game.mapManager.load(arenaText());
    }
    ~Roster() override { pthread_mutex_destroy(&game.mutex); }

    void deliver(const GenericMessage& message) {
        game.queueMessage(message);
        game.readMessages(0);
    }

    std::string ids() {
        std::string s;
        for (const Player& p : game.players) {
            s += p.getPlayerID();
        }
        return s;
    }

    Game game;
};

TEST_F(Roster, UpdatesCreateKeepAndDropPlayersInOrder) {
    testing::internal::CaptureStdout();
    deliver(updateDatagram(
        {record('a', "alice", vec3(100, 100, 100)), record('b', "bob", vec3(200, 100, 100))}));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ADDING PLAYER: alice\nDONE ADDING PLAYER: alice\n"
              "ADDING PLAYER: bob\nDONE ADDING PLAYER: bob\n");
    EXPECT_EQ(ids(), "ab");
    EXPECT_EQ(game.players[0].getPlayerName(), "alice");
    EXPECT_TRUE(near(game.players[0].getDirection(), vec3(1, 0, 0)));

    PlayerUpdate moved = record('b', "bob", vec3(250, 100, 100));
    moved.points = 3;
    deliver(updateDatagram({moved}));
    EXPECT_EQ(ids(), "b");
    EXPECT_EQ(game.players[0].getPoints(), 3);
    EXPECT_TRUE(near(game.players[0].getBox().center, vec3(250, 100, 100), 0));

    PlayerUpdate back = record('a', "alice", vec3(100, 100, 100));
    back.points = 9;
    back.rotation = quat(0, 1, 0, 0);
    deliver(updateDatagram({moved, back}));
    EXPECT_EQ(ids(), "ba");
    // Re-created from scratch: the constructor's points and rotation until the next update.
    EXPECT_EQ(game.playerByID('a')->getPoints(), 0);
    EXPECT_TRUE(near(game.playerByID('a')->getRotation(), quat(), 0));

    deliver(updateDatagram({}));
    EXPECT_TRUE(game.players.empty());
    EXPECT_EQ(game.playerByID('b'), nullptr);
}

TEST_F(Roster, ARecordWithIdZeroEndsTheList) {
    deliver(updateDatagram({record('a', "a", vec3(1, 1, 1)), record(0, "ghost", vec3(1, 1, 1)),
                            record('c', "c", vec3(1, 1, 1))}));
    EXPECT_EQ(ids(), "a");
}

TEST_F(Roster, UnterminatedNamesStopAtTheirField) {
    PlayerUpdate r = record('a', "", vec3(1, 1, 1));
    std::memset(r.name, 'N', sizeof(r.name));
    GenericMessage message = updateDatagram({r});
    testing::internal::CaptureStdout();
    deliver(message);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(game.players[0].getPlayerName(), std::string(12, 'N'));
}

TEST_F(Roster, AShotMeetingTheMapGivesABurst) {
    GenericMessage update =
        updateDatagram({record('a', "a", vec3(100, 100, 320), vec3(1, 0, 0), true),
                        record('b', "b", vec3(300, 100, 600))});
    testing::internal::CaptureStdout();
    deliver(update);
    testing::internal::GetCapturedStdout();
    // A player that an update creates does not shoot before the next update.
    EXPECT_TRUE(game.particleManager.particles.empty());
    deliver(update);
    ASSERT_EQ(game.particleManager.particles.size(), 3u);
    EXPECT_TRUE(near(game.particleManager.particles[0].position, vec3(576, 100, 320), 1e-3f));
    EXPECT_TRUE(near(game.particleManager.particles[0].color, vec4(0, 1, 1, 4), 0));
}

TEST_F(Roster, AShotThroughPlayersGivesOneExplosionEachAndNoBurst) {
    GenericMessage update = updateDatagram(
        {record('a', "a", vec3(100, 100, 320), vec3(1, 0, 0), true),
         record('b', "b", vec3(300, 100, 320)), record('c', "c", vec3(450, 100, 330))});
    testing::internal::CaptureStdout();
    deliver(update);
    deliver(update);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(game.particleManager.particles.size(), 60u);
    EXPECT_TRUE(near(game.particleManager.particles[0].position, vec3(275, 100, 320), 1e-3f));
    EXPECT_TRUE(near(game.particleManager.particles[30].position, vec3(425, 100, 320), 1e-3f));
}

TEST_F(Roster, AShotMeetingNoCubeGivesNothing) {
    GenericMessage update =
        updateDatagram({record('a', "a", vec3(100, 100, 320), vec3(0, 1, 0), true),
                        record('b', "b", vec3(100, 200, 320))});
    testing::internal::CaptureStdout();
    deliver(update);
    deliver(update);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(game.particleManager.particles.empty());
}

TEST_F(Roster, ChatLinesKeepTheNewestSix) {
    testing::internal::CaptureStdout();
    deliver(updateDatagram({record('a', "alice", vec3(100, 100, 100))}));
    testing::internal::GetCapturedStdout();
    deliver(chatDatagram('a', "hello"));
    deliver(chatDatagram('s', "server notice"));
    deliver(chatDatagram('q', "from nowhere"));
    EXPECT_EQ(game.chatLines,
              (std::vector<std::string>{"alice: hello", "server notice", "from nowhere"}));
    EXPECT_EQ(game.chatTimer, 10);
    for (int i = 0; i < 5; ++i) {
        deliver(chatDatagram('s', std::to_string(i)));
    }
    EXPECT_EQ(game.chatLines, (std::vector<std::string>{"from nowhere", "0", "1", "2", "3", "4"}));
}

TEST_F(Roster, ServerFullNoticeIsAddedWithoutTrimming) {
    for (int i = 0; i < 6; ++i) {
        deliver(chatDatagram('s', std::to_string(i)));
    }
    game.chatTimer = 1;
    deliver(datagram("f"));
    EXPECT_EQ(game.chatLines.size(), 7u);
    EXPECT_EQ(game.chatLines.back(), "Server is full :(");
    EXPECT_EQ(game.chatTimer, 1);
    deliver(chatDatagram('s', "next"));
    EXPECT_EQ(game.chatLines.size(), 7u);
    EXPECT_EQ(game.chatLines.front(), "1");
    for (int i = 0; i < 100; ++i) {
        deliver(datagram("f"));
    }
    EXPECT_EQ(game.chatLines.size(), 7u);
}

TEST_F(Roster, ChatTextEndsAtTheBufferWithoutAZero) {
    deliver(datagram("ts" + std::string(600, 'x')));
    EXPECT_EQ(game.chatLines.back(), std::string(510, 'x'));
}

TEST_F(Roster, CrosshairMarksOtherPlayersOnTheLineOfFire) {
    FakeServer server;
    game.initNetworkStuff("127.0.0.1", server.port);
    game.lastSendTime = 1e30f;
    game.clientPlayerID = 'a';
    testing::internal::CaptureStdout();
    deliver(updateDatagram({record('a', "a", vec3(100, 100, 320)),
                            record('b', "b", vec3(300, 100, 320)),
                            record('c', "c", vec3(300, 100, 500))}));
    testing::internal::GetCapturedStdout();
    game.update();
    EXPECT_FALSE(game.playerByID('a')->playerIsInCrosshairs());
    EXPECT_TRUE(game.playerByID('b')->playerIsInCrosshairs());
    EXPECT_FALSE(game.playerByID('c')->playerIsInCrosshairs());
    // Awaiting respawn: the marks keep their last values.
    deliver(updateDatagram({record('a', "a", vec3(-100, 100, 320)),
                            record('b', "b", vec3(300, 100, 900)),
                            record('c', "c", vec3(300, 100, 500))}));
    game.update();
    EXPECT_TRUE(game.playerByID('b')->playerIsInCrosshairs());
}

TEST_F(Roster, HostileDatagramsOfEveryTypeAndLengthAreHarmless) {
    FakeServer server;
    game.initNetworkStuff("127.0.0.1", server.port);
    std::srand(11);
    std::string noise(512, '\0');
    for (char& c : noise) {
        c = static_cast<char>(std::rand() % 256);
    }
    // A record whose floats are NaN, infinite and huge, shooting.
    PlayerUpdate hostile = record('h', "h", vec3(std::nanf(""), 1e30f, -1e30f),
                                  vec3(std::numeric_limits<float>::infinity(), 0, 0), true);
    PlayerUpdate huge = record('g', "g", vec3(1e30f, 1e30f, 1e30f), vec3(-1, 0, 0), true);
    testing::internal::CaptureStdout();
    GenericMessage shots = updateDatagram(
        {hostile, huge, record('i', "i", vec3(100, 100, 100), vec3(0, -1, 0), true)});
    deliver(shots);
    deliver(shots);
    for (int type = 0; type < 256; ++type) {
        for (int length = 0; length <= 512; length += (type == 'u' || type == 't') ? 1 : 37) {
            std::string content = noise.substr(0, size_t(length));
            if (length > 0) {
                content[0] = static_cast<char>(type);
            }
            deliver(datagram(content));
        }
    }
    game.update();
    testing::internal::GetCapturedStdout();
    EXPECT_LE(game.players.size(), 4u);
    EXPECT_LE(game.chatLines.size(), 7u);
    for (const Player& p : game.players) {
        EXPECT_LE(p.getPlayerName().size(), 12u);
    }
}

} // namespace
