// Bots of each skill, one at a time, against a scripted player on the project's map: the bot's
// kills and deaths a minute for each skill, over several seeds of a few minutes each. The server
// runs on simulated time: GameServer::receive and GameServer::tick answer with the datagrams to
// send and no socket is opened, so minutes of play take seconds.
//
// The scripted player stands in for a client of fixed skill, a fair newcomer. It reads its own
// view and the bot's position from the updates the server sends it and answers with the key and
// mouse records a client sends. It sees the bot whenever nothing solid stands between their eyes,
// at any range. Seeing it, it waits a fixed reaction of 0.3 s, then turns towards it at most
// 0.12 radians a tick (about 410 degrees a second), strafing from side to side, and fires single
// shots at most three a second, each aimed off at random by up to 3 degrees sideways and 2.25 in
// height, however long it has tracked the bot. With the bot out of sight it walks the map as a
// bot does: its legs are a Bot's wandering, given nobody to see.
//
// With --bots N, N bots of a skill play together against the scripted player, and the figures
// are those of their side: their kills of the player and their deaths by it.
//
// usage: bot_skill_bench [--minutes N] [--seeds N] [--bots N]
#include "Arena.h"
#include "Bot.h"
#include "Codec.h"
#include "Collisions.h"
#include "GameServer.h"
#include "MapFile.h"
#include "MathOps.h"
#include "StringFloat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

const PeerAddress playerAddress{0x7f000001, 40000};
const int reactionTicks = 18;
const int shotSpacingTicks = 20;
const float turnRate = 0.12f;
const float yawSpread = float(3 * pi / 180);
const float pitchSpread = float(2.25 * pi / 180);
// Fire once the view is this close to the chosen aim, as the bots do.
const float fireTolerance = 0.05f;
const int minStrafeTicks = 30;
const int maxStrafeTicks = 90;
const int ticksPerMinute = 60 * ticksPerSecond;
// Mouse pixels a radian, as the server turns a view.
const float pixelsPerRadian = 360;

float heading(vec3 direction) {
    return std::atan2(-direction.x, -direction.z);
}

float elevation(vec3 direction) {
    return std::asin(clamp(direction.y, -1.0f, 1.0f));
}

int pixels(float radians) {
    return int(std::lround(radians * pixelsPerRadian));
}

bool alive(const PlayerUpdate& record) {
    return record.position.x >= 0;
}

struct Score {
    int kills = 0;
    int deaths = 0;
};

class ScriptedPlayer {
  public:
    ScriptedPlayer(GameServer& game, const Arena& arena, uint32_t seed)
        : game(game), arena(arena), random(seed), legs(seed, BotSkill::of(SkillLevel::normal)) {
        Datagrams reply = game.receive(playerAddress, std::string(encodeJoin("player").view()));
        ownID = reply.at(0).bytes.at(1);
    }

    char id() const { return ownID; }
    int deaths() const { return timesKilled; }

    // Answers the datagrams of a tick.
    void play(const Datagrams& sent) {
        send(encodeKeepAlive(ownID));
        release(fire);
        std::optional<ServerMessage> update = updateIn(sent);
        const PlayerUpdate* self = update ? ownRecord(*update) : nullptr;
        if (self == nullptr || !alive(*self)) {
            timesKilled += self != nullptr && wasAlive ? 1 : 0;
            wasAlive = false;
            stop();
            return;
        }
        wasAlive = true;
        if (const PlayerUpdate* bot = nearestBotInSight(*update, *self)) {
            engage(*self, *bot);
        } else {
            wander();
        }
    }

  private:
    std::optional<ServerMessage> updateIn(const Datagrams& sent) const {
        for (const Datagram& datagram : sent) {
            ServerMessage message = parseServerMessage(datagram.bytes);
            if (datagram.peer == playerAddress && message.kind == ServerMessage::Kind::update) {
                return message;
            }
        }
        return std::nullopt;
    }

    const PlayerUpdate* ownRecord(const ServerMessage& update) const {
        for (size_t i = 0; i < update.playerCount; ++i) {
            if (update.players[i].playerID == ownID) {
                return &update.players[i];
            }
        }
        return nullptr;
    }

    const PlayerUpdate* nearestBotInSight(const ServerMessage& update,
                                          const PlayerUpdate& self) const {
        const PlayerUpdate* nearest = nullptr;
        for (size_t i = 0; i < update.playerCount; ++i) {
            const PlayerUpdate& bot = update.players[i];
            bool inSight =
                bot.playerID != ownID && alive(bot) && arena.canSee(self.position, bot.position);
            if (inSight &&
                (nearest == nullptr || distanceVec3(self.position, bot.position) <
                                           distanceVec3(self.position, nearest->position))) {
                nearest = &bot;
            }
        }
        return nearest;
    }

    void engage(const PlayerUpdate& self, const PlayerUpdate& bot) {
        if (!engaged) {
            engaged = true;
            reaction = reactionTicks;
            drawAimError();
        }
        vec3 toBot = normalized(bot.position - self.position);
        float yaw =
            std::remainder(heading(toBot) + yawError - heading(self.direction), float(2 * pi));
        float pitch = elevation(toBot) + pitchError - elevation(self.direction);
        send(encodeMouse(ownID, -pixels(clamp(yaw, -turnRate, turnRate)),
                         -pixels(clamp(pitch, -turnRate, turnRate))));
        strafe();
        bool onAim = std::fabs(yaw) < fireTolerance && std::fabs(pitch) < fireTolerance;
        if (reaction > 0) {
            --reaction;
        } else if (cooldown > 0) {
            --cooldown;
        } else if (onAim) {
            hold(fire, true);
            cooldown = shotSpacingTicks;
            drawAimError();
        }
    }

    void strafe() {
        hold(walkForward, false);
        hold(jump, false);
        if (--strafeTicks <= 0) {
            strafeSide = std::uniform_int_distribution<int>(-1, 1)(random);
            strafeTicks =
                std::uniform_int_distribution<int>(minStrafeTicks, maxStrafeTicks)(random);
        }
        hold(strafeLeft, strafeSide > 0);
        hold(strafeRight, strafeSide < 0);
    }

    void wander() {
        engaged = false;
        const ServerPlayer* body = game.findPlayer(ownID);
        BotControls controls = legs.think(*body, {}, arena);
        for (int control = 0; control < controlCount; ++control) {
            hold(Control(control), controls.held[size_t(control)]);
        }
        if (controls.dx != 0 || controls.dy != 0) {
            send(encodeMouse(ownID, controls.dx, controls.dy));
        }
    }

    void stop() {
        engaged = false;
        for (int control = 0; control < controlCount; ++control) {
            hold(Control(control), false);
        }
    }

    void drawAimError() {
        yawError = std::uniform_real_distribution<float>(-yawSpread, yawSpread)(random);
        pitchError = std::uniform_real_distribution<float>(-pitchSpread, pitchSpread)(random);
    }

    void release(Control control) { hold(control, false); }

    // Sends a key record only when the key changes, as a client does.
    void hold(Control control, bool down) {
        if (held[size_t(control)] != down) {
            held[size_t(control)] = down;
            send(encodeKey(ownID, control, down));
        }
    }

    void send(const WireBytes& record) { game.receive(playerAddress, std::string(record.view())); }

    GameServer& game;
    const Arena& arena;
    std::mt19937 random;
    Bot legs;
    char ownID = 0;
    bool wasAlive = false;
    int timesKilled = 0;
    std::array<bool, controlCount> held{};
    bool engaged = false;
    int reaction = 0;
    int cooldown = 0;
    float yawError = 0;
    float pitchError = 0;
    int strafeSide = 0;
    int strafeTicks = 0;
};

struct Options {
    int minutes = 5;
    int seeds = 10;
    int bots = 1;
};

Score playMatch(const Arena& arena, SkillLevel level, uint32_t seed, const Options& options) {
    std::ostream quiet(nullptr);
    GameServer game(arena, seed, quiet);
    game.useBotSkill(BotSkill::of(level));
    game.setBots(options.bots);
    ScriptedPlayer player(game, arena, seed * 7919 + 1);
    for (int tick = 0; tick < options.minutes * ticksPerMinute; ++tick) {
        player.play(game.tick());
    }
    // The bots' side: the player's deaths are their kills, its kills their deaths.
    return {player.deaths(), game.findPlayer(player.id())->points};
}

// The options, or nothing when they cannot be read.
std::optional<Options> readOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; i += 2) {
        std::string option = argv[i];
        std::optional<int> value =
            i + 1 < argc ? parseWholeNumber(argv[i + 1]) : std::optional<int>();
        if (!value || *value < 1 || *value > 1000) {
            return std::nullopt;
        }
        if (option == "--minutes") {
            options.minutes = *value;
        } else if (option == "--seeds") {
            options.seeds = *value;
        } else if (option == "--bots" && *value <= maxBots - 1) {
            options.bots = *value;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

void report(SkillLevel level, const std::vector<Score>& scores, int minutes) {
    Score total;
    std::string bySeed;
    for (const Score& score : scores) {
        total.kills += score.kills;
        total.deaths += score.deaths;
        bySeed += " " + std::to_string(score.kills) + ":" + std::to_string(score.deaths);
    }
    double played = double(minutes) * double(scores.size());
    std::printf("%-7s %9.2f %10.2f %12.2f  %s\n", skillName(level), total.kills / played,
                total.deaths / played, double(total.kills) / std::max(total.deaths, 1),
                bySeed.c_str());
}

} // namespace

int main(int argc, char** argv) {
    std::optional<Options> options = readOptions(argc, argv);
    if (!options) {
        std::cerr
            << "usage: bot_skill_bench [--minutes N] [--seeds N] [--bots N], N from 1 to 1000, "
               "bots at most 3\n";
        return 2;
    }
    MapFile map = readMapFile(std::string(CUBEFRAY_SOURCE_DIR) + "/resources/mapdata");
    if (!map.error.empty()) {
        std::cerr << "bot_skill_bench: " << map.error << "\n";
        return 1;
    }
    Arena arena(std::move(map.map));
    std::printf("%d bot%s against the scripted player: %d seeds of %d simulated minutes a skill\n",
                options->bots, options->bots == 1 ? "" : "s", options->seeds, options->minutes);
    std::printf("skill   kills/min  deaths/min  kills:deaths  bots' kills:deaths by seed\n");
    for (SkillLevel level : skillLevels) {
        std::vector<Score> scores;
        for (int seed = 1; seed <= options->seeds; ++seed) {
            scores.push_back(playMatch(arena, level, uint32_t(seed), *options));
        }
        report(level, scores, options->minutes);
    }
    return 0;
}
