// Verzoegerung: the responsive wait every rule and the player use.
#pragma once

#include "platform/platform.h"

namespace tonfex {

// Waits `seconds` on the monotonic clock, letting the window handle its events between
// short sleeps; a zero or negative time returns at once.
void Verzoegerung(Clock& clock, Events& events, double seconds);
// Waits until the monotonic clock reaches `deadline` (the player's scheduled tone ends).
void waitUntil(Clock& clock, Events& events, double deadline);

} // namespace tonfex
