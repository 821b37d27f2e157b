#include "SoundEvents.h"

void SoundEvents::add(SoundKind kind, vec3 position) {
    if (count == capacity) {
        first = (first + 1) % capacity;
        --count;
    }
    ring[(first + count) % capacity] = {kind, position};
    ++count;
}
