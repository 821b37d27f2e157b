#ifndef CUBEFRAY_SERVER_GAMESERVER_H
#define CUBEFRAY_SERVER_GAMESERVER_H

#include "Arena.h"
#include "Bans.h"
#include "Bot.h"
#include "Codec.h"
#include "Datagram.h"
#include "Listing.h"
#include "Query.h"
#include "RepeatedEvents.h"
#include "ServerPlayer.h"

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

const int ticksPerSecond = 60;
// A client that sends nothing for five seconds has gone.
const int silenceLimitTicks = 5 * ticksPerSecond;
const int maxBots = maxPlayersInUpdate;

// The rules of the game, without sockets or clocks: datagrams come in through receive(), time
// passes through tick(), the host's commands come through the calls below, and all answer with
// the datagrams to send. Joins, leaves, timeouts, kills, chat lines and what the host does are
// written to the log, a line each; refused joins, malformed datagrams and datagrams naming a
// seat their sender does not hold, which anyone can send without end, are written once and then
// summed up every ten seconds (RepeatedEvents).
//
// Bans last across restarts, so they end at times of the wall clock, which the program tells
// through clockIs().
//
// The host wants a number of bots, and they play while seats are free: a human who joins a full
// server takes a bot's seat, and when a human's seat is freed, a bot that gave way comes back.
// Only a server full of humans turns a human away.
//
// Everyone who spawns is safe from shots for a while (spawnProtectionTicks), and bots choose no
// such player as a target; firing ends it.
//
// Query datagrams are answered apart from the game, unlogged, so a flood of them fills no log;
// the heartbeats to the masters leave with the datagrams of a tick.
class GameServer {
  public:
    // The arena must offer at least one spawn point and outlive the server.
    GameServer(const Arena& arena, uint32_t seed, std::ostream& log, Listing listing = {});

    // The skill of the bots seated from now on.
    void useBotSkill(const BotSkill& skill) { botSkill = skill; }
    Datagrams receive(const PeerAddress& from, const std::string& bytes);
    // One sixtieth of a second: input turned into motion and shots, then an update for every
    // client.
    Datagrams tick();

    // Datagrams dropped because they are no well-formed client record.
    long malformedDatagrams() const { return malformed; }
    // Well-formed datagrams dropped because their sender does not hold the seat of the id they
    // name: mostly a client's input from before it has heard its id.
    long unownedDatagrams() const { return unowned; }
    // The player with this id, or nullptr.
    const ServerPlayer* findPlayer(char id) const;
    size_t playerCount() const { return players.size(); }
    // In id order.
    const std::vector<ServerPlayer>& seats() const { return players; }
    uint64_t ticks() const { return tickCount; }
    const Listing& listed() const { return listing; }

    // A notice of the server's in the chat, cut into as many lines as the chat record needs.
    Datagrams notice(const std::string& text);
    // A notice names the player and the reason (which may be empty), then the seat is freed as
    // for a timeout. The id must be seated.
    Datagrams kick(char id, const std::string& reason);
    // Wants count bots: seats bots, or removes them from the highest id down, until there are
    // count or no seat is free.
    Datagrams setBots(int count);
    int wantedBots() const { return botsWanted; }
    // Kicks whoever plays from the address, then refuses its joins until the end (nothing: for
    // good); false, and nothing done, when the ban list is full.
    bool ban(uint32_t ip, std::optional<UnixTime> end, Datagrams& out);
    // Whether the address was banned.
    bool unban(uint32_t ip);
    const BanList& bans() const { return banList; }
    // The bans kept from an earlier run.
    void restoreBans(BanList bans) { banList = std::move(bans); }
    // The time of the wall clock: the bans that have ended by then are lifted.
    void clockIs(UnixTime now);
    // The summaries of repeated events not yet written; the server stops.
    void summariseAtStop();

  private:
    ServerPlayer* playerByID(char id);
    ServerPlayer* findClient(const PeerAddress& peer);
    ServerPlayer* ownerOf(const ClientMessage& message, const PeerAddress& from);
    char lowestFreeID() const;
    ServerPlayer& seat(const std::string& name, bool isBot, PeerAddress peer);
    ServerPlayer& seatBot();
    void seatWantedBots(Datagrams& out);
    // The bot with the highest id leaves; the log tells why. There must be a bot.
    void removeNewestBot(const std::string& why, Datagrams& out);

    Datagrams answerQuery(const PeerAddress& from, const std::string& bytes);
    InfoPairs info(const std::string& challenge) const;
    void sendHeartbeats(Datagrams& out);

    void handleJoin(const ClientMessage& message, const PeerAddress& from, Datagrams& out);
    void refuseJoin(const std::string& name, const PeerAddress& from, const char* why,
                    Datagrams& out);
    void writeSummaries();
    void handle(ServerPlayer& sender, const ClientMessage& message, Datagrams& out);
    // why is the log's word for it: "left", "timed out" or "was kicked: REASON".
    void removePlayer(char id, const std::string& why, Datagrams& out);

    void dropSilentClients(Datagrams& out);
    void steerBots();
    void advance(ServerPlayer& player);
    void fireIfReady(ServerPlayer& shooter, Datagrams& out);
    void registerHit(ServerPlayer& shooter, ServerPlayer& victim, Datagrams& out);
    void spawn(ServerPlayer& player);
    vec3 farthestSpawnPoint(const ServerPlayer& player);
    float yawTowardsCentre(vec3 eye) const;

    // The living players a bot may choose as a target, bots too, so that a match against bots is
    // everyone against everyone: none who has just spawned.
    std::vector<Sighting> targetablePlayers() const;
    void broadcast(const WireBytes& message, Datagrams& out) const;
    void broadcastChat(const std::string& line, Datagrams& out) const;
    void writeLog(const std::string& line);

    const Arena& arena;
    std::ostream& log;
    Listing listing;
    QueryLimiter queryLimiter;
    HeartbeatSchedule heartbeats;
    std::mt19937 random;
    // In id order, which is the order of the records in every update.
    std::vector<ServerPlayer> players;
    std::map<char, Bot> bots;
    BotSkill botSkill = BotSkill::of(SkillLevel::normal);
    int botsWanted = 0;
    uint64_t tickCount = 0;
    long malformed = 0;
    long unowned = 0;
    BanList banList;
    RepeatedEvents refusedJoins{{"refused", "join", "joins"}};
    RepeatedEvents malformedFrom{{"dropped", "malformed datagram", "malformed datagrams"}};
    RepeatedEvents unownedFrom{{"dropped", "datagram naming a player id its sender does not own",
                                "datagrams naming a player id their sender does not own"}};
};

#endif
