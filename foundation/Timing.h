#ifndef CUBEFRAY_TIMING_H
#define CUBEFRAY_TIMING_H

#include <cstdint>

// Milliseconds on a monotonic clock whose origin is the first call. The client keeps times as
// floats, so a small origin keeps them exact to the millisecond for hours.
int64_t getCurrentMillisecond();
// The same clock with the fractions of a millisecond, for pacing and measuring frames.
double preciseMilliseconds();

#endif
