// Random draws as the rules and the sample choice make them: a fresh seed before every draw.
#pragma once

#include "platform/platform.h"

#include <cstdint>

namespace tonfex {

// Rnd after a reseed from the clock: one uniform number in [0, 1).
float Rnd(Random& random);

// Zufallszahl: lo + Int(Rnd * (hi + 1 - lo)), a value in lo..hi when hi >= lo. The rules draw
// loop counts with it, the sampler sample rows and tunings (-32767..32767).
std::int32_t Zufallszahl(Random& random, std::int32_t lo, std::int32_t hi);

} // namespace tonfex
