#include "Combat.h"
#include "server_test_support.h"

namespace {

// A room with a one-cell step along one wall and a two-cell pillar in the middle.
std::string botArena() {
    return mapText(12, 6, 12, [](int x, int y, int z) {
        bool border = x == 0 || z == 0 || x == 11 || z == 11;
        bool step = y == 1 && x >= 2 && x <= 4 && z == 2;
        bool pillar = (y == 1 || y == 2) && x == 6 && z == 6;
        return y == 0 || (border && y <= 3) || step || pillar;
    });
}

// Bots take seats like players and never time out. A bot with nobody to fight keeps moving: most
// ten-second stretches end far from where they started, and over the whole run it covers much
// of the room, jumping onto the step now and then.
TEST(Bots, TakeSeatsAndWanderWithoutEnteringWalls) {
    TestGame game(botArena(), 11);
    game.server.setBots(4);
    EXPECT_EQ(game.server.playerCount(), 4u);
    game.server.setBots(1);
    std::vector<vec3> visited;
    int climbs = 0;
    bool wasUp = false;
    for (int tick = 0; tick < 6000; ++tick) {
        game.server.tick();
        const Player& body = game.player('1').body;
        ASSERT_TRUE(game.arena.fits(body.getBox())) << "tick " << tick;
        float feet = body.getBox().min.y;
        bool up = feet > 128 && feet < 128.5f;
        climbs += tick > 0 && up && !wasUp ? 1 : 0;
        wasUp = up || (wasUp && !(feet > 64 && feet < 64.5f));
        if (tick % 300 == 0) {
            visited.push_back(body.getPosition());
        }
    }
    EXPECT_EQ(game.server.playerCount(), 1u);
    int moves = 0;
    float farthest = 0;
    for (size_t i = 1; i < visited.size(); ++i) {
        moves += distanceVec3(visited[i], visited[i - 1]) > 64 ? 1 : 0;
        farthest = std::max(farthest, distanceVec3(visited[i], visited[0]));
    }
    EXPECT_GE(moves, 12);
    EXPECT_GT(farthest, 256);
    EXPECT_GE(climbs, 3);
}

// A match against bots is everyone against everyone: with no human about, bots score on each
// other.
TEST(Bots, FightEachOtherToo) {
    TestGame game(walledRoom(10, 10), 3);
    game.server.setBots(2);
    int points = 0;
    for (int second = 0; second < 60 && points == 0; ++second) {
        game.run(60);
        points = game.player('1').points + game.player('2').points;
    }
    EXPECT_GT(points, 0);
}

// The bot spares the human while the spawn protects it, then shoots not at once (it reacts),
// soon (within a second), then at a human pace, aimed at the human within a few degrees.
TEST(Bots, ShootAHumanInSight) {
    TestGame game(walledRoom(10, 10), 5);
    game.server.setBots(1);
    char alice = game.join(1, "alice");
    std::vector<int> shotTicks;
    bool hitTheHuman = false;
    for (int tick = 1; tick <= 600; ++tick) {
        ServerMessage update = updateFor(game.run(1, {{1, alice}}), clientAddress(1)).value();
        const PlayerUpdate& bot = update.players[0];
        const PlayerUpdate& human = update.players[1];
        if (!bot.shooting) {
            continue;
        }
        shotTicks.push_back(tick);
        // A shot that kills leaves the human at the graveyard in the same update.
        bool killed = human.position.x < 0;
        if (!killed) {
            EXPECT_GT(bot.direction.dot(normalized(human.position - bot.position)), std::cos(0.1f));
        }
        hitTheHuman = hitTheHuman || killed || game.player(alice).hitsTaken > 0;
    }
    ASSERT_FALSE(shotTicks.empty());
    EXPECT_GE(shotTicks[0],
              spawnProtectionTicks + BotSkill::of(SkillLevel::normal).minReactionTicks);
    EXPECT_LE(shotTicks[0], spawnProtectionTicks + 60);
    for (size_t i = 1; i < shotTicks.size(); ++i) {
        EXPECT_GE(shotTicks[i] - shotTicks[i - 1], 15);
    }
    EXPECT_TRUE(hitTheHuman);
}

// A hall 40 cells long, a bot standing in it facing along +x and a human who stands still; the
// bot turns as it asks, but does not walk.
struct Duel {
    Duel(SkillLevel level, uint32_t seed, vec3 human, float facing = -float(pi) / 2)
        : skill(BotSkill::of(level)), bot(seed, skill),
          self('1', "bot", true, PeerAddress()), humans{{'2', human}} {
        self.spawnAt(eye, facing);
    }

    BotControls think() {
        BotControls controls = bot.think(self, humans, arena);
        self.turn(controls.dx, controls.dy);
        return controls;
    }

    // The ticks until the first shot, or 0 when none comes within the ticks.
    int firstShot(int ticks) {
        for (int tick = 1; tick <= ticks; ++tick) {
            if (think().held[fire]) {
                return tick;
            }
        }
        return 0;
    }

    // Radians between the view and the line to the human, sideways.
    float yawError() const {
        vec3 view = self.body.getDirection();
        vec3 toHuman = humans[0].eye - eye;
        float error = std::atan2(-view.x, -view.z) - std::atan2(-toHuman.x, -toHuman.z);
        return std::fabs(std::remainder(error, float(2 * pi)));
    }

    static inline const vec3 eye{96, 160, 160};
    Arena arena{loadedMap(walledRoom(40, 5))};
    BotSkill skill;
    Bot bot;
    ServerPlayer self;
    std::vector<Sighting> humans;
};

// Skills differ in how soon the first shot follows the first sight, in how fast the view turns
// and in how far the bot sees.
TEST(Bots, ReactAndTurnAsTheirSkillAllowsAndSeeNoFartherThanItsRange) {
    for (SkillLevel level : skillLevels) {
        for (uint32_t seed = 1; seed <= 20; ++seed) {
            Duel ahead(level, seed, Duel::eye + vec3(600, 0, 0));
            int shot = ahead.firstShot(120);
            EXPECT_GE(shot, ahead.skill.minReactionTicks + 1) << skillName(level);
            EXPECT_LE(shot, ahead.skill.maxReactionTicks + 1) << skillName(level);
        }
        // A human behind: the bot turns round at its full rate and no faster.
        Duel behind(level, 1, Duel::eye + vec3(600, 0, 0), float(pi) / 2);
        int widest = 0;
        for (int tick = 0; tick < 60; ++tick) {
            widest = std::max(widest, std::abs(behind.think().dx));
        }
        EXPECT_EQ(widest, std::lround(behind.skill.turnRate * 360)) << skillName(level);
    }
    vec3 between = Duel::eye + vec3((BotSkill::of(SkillLevel::easy).sightRange +
                                     BotSkill::of(SkillLevel::normal).sightRange) /
                                        2,
                                    0, 0);
    EXPECT_EQ(Duel(SkillLevel::easy, 1, between).firstShot(300), 0);
    EXPECT_GT(Duel(SkillLevel::normal, 1, between).firstShot(300), 0);
}

// Each shot is aimed off at random: widely at a target just seen, narrowly once the bot has
// tracked it for a while.
TEST(Bots, AimBetterTheLongerTheyTrackTheSameTarget) {
    const float rounding = 0.01f;
    float widestFirst = 0;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        Duel duel(SkillLevel::normal, seed, Duel::eye + vec3(600, 0, 0));
        int previousShot = -1;
        for (int tick = 1; tick <= 400; ++tick) {
            float error = duel.yawError();
            if (!duel.think().held[fire]) {
                continue;
            }
            if (previousShot < 0) {
                EXPECT_LE(error, duel.skill.firstAimError + rounding);
                widestFirst = std::max(widestFirst, error);
            } else if (previousShot >= duel.skill.settleTicks) {
                EXPECT_LE(error, duel.skill.settledAimError + rounding) << seed << " " << tick;
            }
            previousShot = tick;
        }
        EXPECT_GT(previousShot, duel.skill.settleTicks * 2);
    }
    EXPECT_GT(widestFirst, BotSkill::of(SkillLevel::normal).settledAimError + 2 * rounding);
}

TEST(Bots, HoldFireWithoutSight) {
    // Two rooms parted by a full wall: the bot and the human spawn in different ones.
    auto twoRooms = [](int x, int y, int z) {
        bool border = x == 0 || z == 0 || x == 11 || z == 5;
        return y == 0 || ((border || x == 6) && y <= 4);
    };
    TestGame game(mapText(12, 6, 6, twoRooms), 2);
    game.server.setBots(1);
    char alice = game.join(1, "alice");
    for (int tick = 0; tick < 600; ++tick) {
        ServerMessage update = updateFor(game.run(1, {{1, alice}}), clientAddress(1)).value();
        ASSERT_EQ(update.players[0].shooting, 0) << tick;
    }
}

} // namespace
