#ifndef CUBEFRAY_LOCALVIEW_H
#define CUBEFRAY_LOCALVIEW_H

#include "Player.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// The own player's view, turned at once by every mouse message the game sends, the way the
// server will turn it when the message arrives. The server's word still decides: each update's
// view is placed in the chain of views the sent turns lead to (where it matches one best), and
// only the turns after that place are applied on top of it. A turn the server never made (a
// lost message) or a turn of the server's own shows as a difference, which fades out if small
// and is taken at once if large; with the mouse still the view is exactly the server's.
class LocalView {
  public:
    // Turns remembered: enough for a fast mouse over a long round trip.
    static constexpr size_t capacity = 1024;
    static constexpr double fadeMillis = 100;
    // A difference larger than this, in radians, is taken at once.
    static constexpr float snapAngle = 0.2f;
    // A reported view farther than this from every view the turns lead to was turned by the
    // server itself.
    static constexpr float matchAngle = 0.05f;

    // Forgets every turn: the server turns no player that is not in play.
    void reset();
    // A mouse message of dx, dy pixels has been sent now.
    void turned(int dx, int dy, double now);
    // The view an update reported for the own player, handled now. Turns sent at settledBefore or
    // earlier have reached the server by now or never will. The round trip this shows, when the
    // update is the first to carry a turn, in milliseconds.
    std::optional<double> reported(const Orientation& server, double now, double settledBefore);
    // The view to show now: the server's latest with the turns it has not yet made.
    Orientation shown(double now) const;
    bool known() const { return hasReport; }

  private:
    struct Turn {
        int dx = 0;
        int dy = 0;
        double sentAt = 0;
        // The view once the server has made this turn, as the chain from the anchor has it.
        Orientation after;
    };

    const Turn& turn(uint64_t number) const { return turns[number % capacity]; }
    Turn& turn(uint64_t number) { return turns[number % capacity]; }
    uint64_t oldestKept() const;
    // The number of the sent turns whose view matches the server's best (0: none made), or
    // nothing when none comes near.
    std::optional<uint64_t> placeOf(const Orientation& server) const;
    // The last turn sent at the time or before it; 0 for none.
    uint64_t lastSentBy(double time) const;
    void anchorAt(uint64_t number, const Orientation& server);
    Orientation predicted() const;
    void keepShownAt(const Orientation& before, double now);

    std::array<Turn, capacity> turns{};
    // Turns sent so far; turn n is the n-th, from 1.
    uint64_t sentCount = 0;
    // The latest report and the number of turns it had made.
    bool hasReport = false;
    uint64_t anchorNumber = 0;
    Orientation anchor;
    // What is still to fade out: the rotation that takes the prediction to the view shown
    // when the difference arose.
    quat correction;
    double correctionStart = 0;
};

#endif
