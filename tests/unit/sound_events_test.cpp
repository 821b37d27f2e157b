#include "Game.h"
#include "test_support.h"

#include <cstring>

namespace {

PlayerUpdate record(char id, vec3 position, vec3 direction, bool shooting = false) {
    PlayerUpdate r;
    r.playerID = id;
    r.name[0] = id;
    r.position = position;
    r.direction = direction;
    r.shooting = shooting ? 1 : 0;
    return r;
}

// The sounds that the game's handling of the datagrams asks for, taken.
std::vector<SoundKind> heard(Game& game, std::initializer_list<std::string> datagrams) {
    testing::internal::CaptureStdout();
    for (const std::string& bytes : datagrams) {
        GenericMessage message;
        std::memcpy(message.data, bytes.data(), std::min(bytes.size(), sizeof(message.data)));
        game.queueMessage(message);
    }
    game.readMessages(0);
    testing::internal::GetCapturedStdout();
    std::vector<SoundKind> kinds;
    for (size_t i = 0; i < game.sounds.size(); ++i) {
        kinds.push_back(game.sounds.at(i).kind);
    }
    return kinds;
}

std::string update(std::initializer_list<PlayerUpdate> records) {
    UpdateMessage message;
    std::copy(records.begin(), records.end(), message.players);
    return bytesOf(message);
}

// The own player 'a' fires along +x at bob, then at the wall in column 9 while carol shoots it,
// dies and sees bob leave.
TEST(SoundEvents, ComeFromTheShotsHitsDeathsRosterAndChatOfTheUpdates) {
    using K = SoundKind;
    Game game;
    pthread_mutex_init(&game.mutex, nullptr);
    game.mapManager.load(mapText(10, 4, 10, [](int x, int y, int) { return y == 0 || x == 9; }));
    game.clientPlayerID = 'a';
    const vec3 me(100, 100, 320);
    const vec3 carol(450, 100, 600);
    PlayerUpdate b = record('b', vec3(300, 100, 320), vec3(1, 0, 0));
    PlayerUpdate c = record('c', carol, normalized(me - carol));
    EXPECT_EQ(heard(game, {update({record('a', me, vec3(1, 0, 0)), b, c})}),
              std::vector<K>{K::join});
    game.sounds.clear();
    EXPECT_EQ(heard(game, {update({record('a', me, vec3(1, 0, 0), true), b, c})}),
              (std::vector<K>{K::ownShot, K::explosion, K::hitLanded}));
    EXPECT_TRUE(near(game.sounds.at(1).position, vec3(275, 100, 320), 1e-3f));
    game.sounds.clear();
    b.position = vec3(300, 100, 800);
    c.shooting = 1;
    EXPECT_EQ(heard(game, {update({record('a', me, vec3(1, 0, 0), true), b, c})}),
              (std::vector<K>{K::ownShot, K::impact, K::shot, K::hitTaken}));
    EXPECT_TRUE(near(game.sounds.at(1).position, vec3(576, 100, 320), 1e-3f));
    EXPECT_TRUE(near(game.sounds.at(2).position, carol, 0));
    game.sounds.clear();
    c.shooting = 0;
    // Only players' chat blips: the server's lines tell of joins and leaves, heard already.
    EXPECT_EQ(heard(game, {update({record('a', vec3(-1, -1, -1), vec3(1, 0, 0)), c}), "tcGG",
                           "tsb left"}),
              (std::vector<K>{K::ownDeath, K::leave, K::chat}));
    // A flood keeps the newest.
    game.sounds.clear();
    for (size_t i = 0; i < SoundEvents::capacity + 5; ++i) {
        game.sounds.add(K::impact, vec3(float(i), 0, 0));
    }
    EXPECT_EQ(game.sounds.size(), SoundEvents::capacity);
    EXPECT_EQ(game.sounds.at(0).position.x, 5);
    pthread_mutex_destroy(&game.mutex);
}

} // namespace
