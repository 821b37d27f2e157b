#ifndef CUBEFRAY_LINKQUALITY_H
#define CUBEFRAY_LINKQUALITY_H

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

// How the link to the server is doing, measured from what arrives anyway: not a byte of its own
// goes on the wire. The round trip is the least of the recent samples (the answer to the join,
// the first update to carry a turn), so a spike does not count; jitter is the spread of the gaps
// between updates; loss the share of the server's 60 updates a second that never came.
class LinkQuality {
  public:
    static constexpr size_t roundTripSamples = 16;
    static constexpr size_t remembered = 256;
    static constexpr double updateInterval = 1000.0 / 60;
    // Loss is counted over this much of the latest past, in milliseconds.
    static constexpr double lossWindow = 2000;

    void roundTrip(double millis);
    void updateArrived(double now);

    // Milliseconds; nothing before the first sample.
    std::optional<double> roundTripMillis() const;
    // The mean distance of the recent gaps between updates from their mean, in milliseconds.
    double jitterMillis() const;
    // From 0 to 1, over the latest lossWindow.
    double loss(double now) const;

    // "Round trip 42 ms  jitter 3 ms  loss 0%", written into the buffer.
    std::string_view describe(double now, char (&buffer)[64]) const;
    // "42 ms  0% loss": what the network line shows.
    std::string_view summarize(double now, char (&buffer)[64]) const;

  private:
    std::array<double, roundTripSamples> roundTrips{};
    size_t roundTripCount = 0;
    // Arrival times of the latest updates, oldest first from arrivalStart.
    std::array<double, remembered> arrivals{};
    size_t arrivalCount = 0;
};

#endif
