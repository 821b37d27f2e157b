#ifndef CUBEFRAY_SPAWNSHIELDS_H
#define CUBEFRAY_SPAWNSHIELDS_H

#include <array>

// Who the server keeps from harm just now, as far as the client can tell: the server sends no
// such mark, but its rule is known. A player seen coming into play is shielded for the spawn
// protection time, until it is seen firing.
class SpawnShields {
  public:
    SpawnShields();

    // The player came into play at now, in milliseconds.
    void spawned(char id, double now);
    void fired(char id);
    bool covers(char id, double now) const;

  private:
    // By the player's id byte: any byte may come from the server.
    std::array<double, 256> shieldedUntil;
};

#endif
