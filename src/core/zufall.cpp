#include "core/zufall.h"

#include <algorithm>
#include <cmath>

namespace tonfex {

float Rnd(Random& random) {
    random.reseed();
    return random.next();
}

std::int32_t Zufallszahl(Random& random, std::int32_t lo, std::int32_t hi) {
    // Wide arithmetic: the width of -32767..32767 does not fit a 16-bit count.
    double span = static_cast<double>(hi) - static_cast<double>(lo) + 1;
    double value = static_cast<double>(lo) + std::floor(static_cast<double>(Rnd(random)) * span);
    if (hi >= lo) value = std::clamp(value, static_cast<double>(lo), static_cast<double>(hi));
    return static_cast<std::int32_t>(value);
}

} // namespace tonfex
