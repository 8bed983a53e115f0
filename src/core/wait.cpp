#include "core/wait.h"

#include <algorithm>

namespace tonfex {

namespace {
// Longest sleep between two rounds of event processing: short enough for a responsive
// window, long enough not to keep a core busy.
constexpr double kSlice = 0.002;
} // namespace

void waitUntil(Clock& clock, Events& events, double deadline) {
    // One step, not slices: at large readings a slice added to the time can round away.
    if (clock.jumps()) {
        events.process();
        if (clock.monotonic() < deadline) clock.sleep(deadline - clock.monotonic());
        return;
    }
    for (;;) {
        double now = clock.monotonic();
        if (now >= deadline) return;
        events.process();
        now = clock.monotonic();
        if (now >= deadline) return;
        clock.sleep(std::min(deadline - now, kSlice));
    }
}

void Verzoegerung(Clock& clock, Events& events, double seconds) {
    if (!(seconds > 0)) return;
    waitUntil(clock, events, clock.monotonic() + seconds);
}

} // namespace tonfex
