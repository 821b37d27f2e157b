#ifndef CUBEFRAY_SERVER_ADMINISTRATION_H
#define CUBEFRAY_SERVER_ADMINISTRATION_H

#include "AdminCommand.h"
#include "GameServer.h"

#include <string>

// What a command did: the text for the host, and the datagrams it sends to the players.
struct AdminAnswer {
    // False when the command was refused; the text says why.
    bool done = true;
    std::string text;
    Datagrams datagrams;
};

// Carries out the host's command on the game at the wall clock's time now (a ban's minutes
// count from it).
AdminAnswer administer(GameServer& game, const AdminCommand& command, UnixTime now);

// The game's name, port, map and uptime, and a line on each seat.
std::string statusText(const GameServer& game);

#endif
