#include "LinkQuality.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// How many gaps the jitter looks at.
const size_t jitterGaps = 64;

std::string_view written(int length, const char (&buffer)[64]) {
    return std::string_view(buffer, size_t(std::clamp(length, 0, int(sizeof buffer) - 1)));
}

int percent(double share) {
    return int(std::lround(share * 100));
}

} // namespace

void LinkQuality::roundTrip(double millis) {
    if (std::isfinite(millis) && millis >= 0) {
        roundTrips[roundTripCount++ % roundTripSamples] = millis;
    }
}

void LinkQuality::updateArrived(double now) {
    arrivals[arrivalCount++ % remembered] = now;
}

std::optional<double> LinkQuality::roundTripMillis() const {
    if (roundTripCount == 0) {
        return std::nullopt;
    }
    size_t kept = std::min(roundTripCount, roundTripSamples);
    return *std::min_element(roundTrips.begin(), roundTrips.begin() + long(kept));
}

double LinkQuality::jitterMillis() const {
    size_t gaps = std::min({arrivalCount, remembered, jitterGaps + 1});
    if (gaps < 3) {
        return 0;
    }
    --gaps;
    auto gap = [this](size_t back) {
        return arrivals[(arrivalCount - back) % remembered] -
               arrivals[(arrivalCount - back - 1) % remembered];
    };
    double mean = 0;
    for (size_t back = 1; back <= gaps; ++back) {
        mean += gap(back);
    }
    mean /= double(gaps);
    double spread = 0;
    for (size_t back = 1; back <= gaps; ++back) {
        spread += std::fabs(gap(back) - mean);
    }
    return spread / double(gaps);
}

double LinkQuality::loss(double now) const {
    size_t kept = std::min(arrivalCount, remembered);
    if (kept == 0) {
        return 0;
    }
    size_t received = 0;
    double oldest = now;
    for (size_t back = 1; back <= kept; ++back) {
        double at = arrivals[(arrivalCount - back) % remembered];
        if (now - at > lossWindow) {
            break;
        }
        ++received;
        oldest = at;
    }
    // Only as much of the window as the updates have been coming counts; a link that went
    // quiet counts the whole window.
    double span = received == 0 ? lossWindow : std::min(lossWindow, now - oldest + updateInterval);
    double expected = span / updateInterval;
    return std::clamp(1 - double(received) / expected, 0.0, 1.0);
}

std::string_view LinkQuality::describe(double now, char (&buffer)[64]) const {
    std::optional<double> trip = roundTripMillis();
    int length =
        trip ? std::snprintf(buffer, sizeof buffer, "Round trip %.0f ms  jitter %.0f ms  loss %d%%",
                             *trip, jitterMillis(), percent(loss(now)))
             : std::snprintf(buffer, sizeof buffer, "Round trip ?  jitter %.0f ms  loss %d%%",
                             jitterMillis(), percent(loss(now)));
    return written(length, buffer);
}

std::string_view LinkQuality::summarize(double now, char (&buffer)[64]) const {
    std::optional<double> trip = roundTripMillis();
    int length =
        trip ? std::snprintf(buffer, sizeof buffer, "%.0f ms  %d%% loss", *trip, percent(loss(now)))
             : std::snprintf(buffer, sizeof buffer, "? ms  %d%% loss", percent(loss(now)));
    return written(length, buffer);
}
