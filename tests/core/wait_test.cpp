#include "core/wait.h"
#include "platform/doubles.h"

#include <gtest/gtest.h>

using namespace tonfex;

TEST(Verzoegerung, WaitsItsTimeHandlingEventsAndSleeping) {
    ManualClock clock;
    ScriptedEvents events;
    bool stopped = false;
    events.onProcess = [&] {
        if (clock.seconds > 1000.5) stopped = true; // a click on Stopp during the wait
    };
    Verzoegerung(clock, events, 0.9);
    EXPECT_GE(clock.seconds, 1000.9);
    EXPECT_LT(clock.seconds, 1000.9 + 0.003);
    EXPECT_TRUE(stopped);
    EXPECT_GT(clock.sleeps, 100); // sleeps between rounds instead of spinning
    EXPECT_EQ(events.rounds, clock.sleeps);
    // Zero or a negative time returns at once.
    const double before = clock.seconds;
    const int rounds = events.rounds;
    Verzoegerung(clock, events, 0);
    Verzoegerung(clock, events, -3);
    EXPECT_EQ(events.rounds, rounds);
    EXPECT_EQ(clock.seconds, before);
}
