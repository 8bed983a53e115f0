// The counting routines: how often each pitch of the new melody occurs, for the sample tuning
// and the statistics report "Tonfex-Test.txt".
#pragma once

#include "generation/rules.h"

#include <cstdint>
#include <vector>

namespace tonfex {

enum class CountMode { Total, Running };

// For k = 1..n: the number of positions 1..n (Total) or 1..k (Running) whose pitch equals
// pitches[k]. One pass over a table of all 16-bit pitches, so it takes linear time.
void countPitches(const std::vector<std::int16_t>& pitches, int n, CountMode mode,
                  std::vector<std::int16_t>& counts);

// Regel 01's report with total counts (SAMPLETUNING and SAMPLESTARTPUNKTMODUS both 0).
void Statistik(RuleContext& ctx, int n);
// Running numbers for SAMPLETUNING 2 and 4, else total counts; lines only for 1 to 4.
void StatistikTuning(RuleContext& ctx, int n);
// Running numbers for SAMPLESTARTPUNKTMODUS 2, else total counts; lines only for 1 and 2.
void StatistikStartpunkt(RuleContext& ctx, int n);

// What every rule but Regel 01 runs at its end: the tuning, then the start-point routine.
void patternStatistics(RuleContext& ctx, int n);

} // namespace tonfex
