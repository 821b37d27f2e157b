#include "server_test_support.h"

namespace {

PeerAddress from(uint32_t host, int port = 5000) {
    return PeerAddress{0x7f000000u + host, uint16_t(port)};
}

// The lines written since the last look, each look starting afresh.
Lines newLines(TestGame& game) {
    Lines lines;
    std::istringstream text(game.log.str());
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    game.log.str("");
    return lines;
}

// A full house of humans refusing a flood of joins: the first in full, then one line every ten
// seconds of ticks for as long as the flood goes on, nothing for a quiet window, and in full again
// after it.
TEST(LogSummary, AFloodOfRefusalsWritesALineEveryTenSeconds) {
    TestGame game(walledRoom(8, 8));
    std::vector<std::pair<int, char>> house;
    for (int client = 1; client <= maxPlayersInUpdate; ++client) {
        house.emplace_back(client, game.join(client, "player"));
    }
    newLines(game);
    std::string join = wire(encodeJoin("eve"));
    for (int tick = 0; tick < 599; ++tick) {
        for (int i = 0; i < 9; ++i) {
            game.server.receive(from(1 + i % 3, 6000 + tick), join);
        }
        game.run(1, house);
    }
    EXPECT_EQ(newLines(game), Lines{"refused eve from 127.0.0.1:6000: server full"});
    game.run(1, house);
    EXPECT_EQ(newLines(game), Lines{"refused 5,390 more joins from 3 addresses in the last 10 s"});

    // From one address a summary names it; one from each of many counts them up to a bound.
    game.server.receive(from(7), join);
    game.run(600, house);
    EXPECT_EQ(newLines(game), Lines{"refused 1 more join from 127.0.0.7 in the last 10 s"});
    game.run(600, house);
    EXPECT_EQ(newLines(game), Lines{});
    for (uint32_t host = 1; host <= 1001; ++host) {
        game.server.receive(from(host), join);
    }
    game.run(600, house);
    EXPECT_EQ(newLines(game), (Lines{"refused eve from 127.0.0.1:5000: server full",
                                     "refused 1,000 more joins from at least 256 addresses in "
                                     "the last 10 s"}));
}

// Malformed datagrams and those naming another's seat are summed up apart; a stop tells what
// its window has counted so far.
TEST(LogSummary, EachKindIsSummedUpApartAndAStopTellsTheRest) {
    TestGame game(walledRoom(8, 8));
    char alice = game.join(1, "alice");
    newLines(game);
    for (int i = 0; i < 3; ++i) {
        game.server.receive(from(2), "q1");
        game.server.receive(from(3), keyBytes(alice, walkForward, true));
    }
    game.run(150, {{1, alice}});
    game.server.summariseAtStop();
    EXPECT_EQ(newLines(game),
              (Lines{"dropped a malformed datagram of 2 bytes from 127.0.0.2:5000",
                     "dropped a datagram from 127.0.0.3:5000 naming a player id it does not own",
                     "dropped 2 more malformed datagrams from 127.0.0.2 in the last 3 s",
                     "dropped 2 more datagrams naming a player id their sender does not own "
                     "from 127.0.0.3 in the last 3 s"}));
    EXPECT_EQ(game.server.malformedDatagrams(), 3);
    EXPECT_EQ(game.server.unownedDatagrams(), 3);
}

} // namespace
