#include "game_driver.h"

namespace {

// The sounds that the game's handling of the datagrams asks for.
std::vector<SoundKind> heard(Game& game, std::initializer_list<std::string> datagrams) {
    game.sounds.clear();
    for (const std::string& bytes : datagrams) {
        deliver(game, bytes);
    }
    std::vector<SoundKind> kinds;
    for (size_t i = 0; i < game.sounds.size(); ++i) {
        kinds.push_back(game.sounds.at(i).kind);
    }
    return kinds;
}

// The own player 'a' fires along +x at bob, then at the wall in column 9 while carol shoots it,
// dies and sees bob leave.
TEST(SoundEvents, ComeFromTheShotsHitsDeathsRosterAndChatOfTheUpdates) {
    using K = SoundKind;
    Game game;
    startTestGame(game);
    game.mapManager.load(mapText(10, 4, 10, [](int x, int y, int) { return y == 0 || x == 9; }));
    deliver(game, "sa");
    const vec3 me(100, 100, 320);
    const vec3 carol(450, 100, 600);
    PlayerUpdate a = playerRecord('a', "a", me);
    PlayerUpdate b = playerRecord('b', "b", vec3(300, 100, 320));
    PlayerUpdate c = playerRecord('c', "c", carol, normalized(me - carol));
    EXPECT_EQ(heard(game, {updateDatagram({a, b, c})}), std::vector<K>{K::join});
    a.shooting = 1;
    EXPECT_EQ(heard(game, {updateDatagram({a, b, c})}),
              (std::vector<K>{K::ownShot, K::explosion, K::hitLanded}));
    EXPECT_TRUE(near(game.sounds.at(1).position, vec3(275, 100, 320), 1e-3f));
    b.position = vec3(300, 100, 800);
    c.shooting = 1;
    EXPECT_EQ(heard(game, {updateDatagram({a, b, c})}),
              (std::vector<K>{K::ownShot, K::impact, K::shot, K::hitTaken}));
    EXPECT_TRUE(near(game.sounds.at(1).position, vec3(576, 100, 320), 1e-3f));
    EXPECT_TRUE(near(game.sounds.at(2).position, carol, 0));
    a = playerRecord('a', "a", vec3(-1, -1, -1));
    c.shooting = 0;
    // Only players' chat blips: the server's lines tell of joins and leaves, heard already.
    EXPECT_EQ(heard(game, {updateDatagram({a, c}), "tcGG", "tsb left"}),
              (std::vector<K>{K::ownDeath, K::leave, K::chat}));
    // A flood keeps the newest.
    game.sounds.clear();
    for (size_t i = 0; i < SoundEvents::capacity + 5; ++i) {
        game.sounds.add(K::impact, vec3(float(i), 0, 0));
    }
    EXPECT_EQ(game.sounds.size(), SoundEvents::capacity);
    EXPECT_EQ(game.sounds.at(0).position.x, 5);
}

} // namespace
