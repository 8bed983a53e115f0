#include "core/zufall.h"

#include "core/numbers.h"

namespace tonfex {

float Rnd(Random& random) {
    random.reseed();
    return random.next();
}

std::int16_t Zufallszahl(Random& random, std::int16_t lo, std::int16_t hi) {
    // The width is a 16-bit value as in the original routine; double arithmetic keeps the
    // product below the width, so the result never passes hi.
    std::int16_t width = toInt16(static_cast<double>(hi) + 1 - lo);
    return toInt16(lo + intFloor(static_cast<double>(Rnd(random)) * width));
}

} // namespace tonfex
