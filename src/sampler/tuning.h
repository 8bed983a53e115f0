// Sample choice and tuning: which catalog entry a tone plays, its transposition (pitch value)
// and where in its WAV file it starts (start value).
#pragma once

#include "controls/models.h"
#include "melody/melody.h"
#include "platform/platform.h"
#include "sampler/catalog.h"
#include "settings/settings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tonfex {

// The window-level values of the sampler that outlive one project run.
struct SamplerState {
    std::vector<double> Samplelaenge = std::vector<double>(kCatalogLast + 1);
    std::vector<std::int16_t> Samplezeile = std::vector<std::int16_t>(kCatalogLast + 1);
    std::int16_t Itemzahl = 0;
    double tuningTerm = 0;       // d: keeps its value for SAMPLETUNING modes that set none
    double keytransposeTerm = 0; // k
    double startShiftTerm = 0;   // s: keeps its value for start modes that set none
    std::int16_t Zufallswert = 0;
};

// Random draws of the Stn 3 transposition: the redraws that avoid the two previous values,
// and the bound on all draws of one tone after which the nearest limit of the range is used.
inline constexpr int kAvoidDraws = 1000;
inline constexpr int kMaxDrawsPerTone = 10000;

// A catalog entry split into its name and fields, with the fields' numeric values.
struct SampleEntry {
    bool empty = true;
    std::string NAME;
    EntryFields fields;
    double DT = 0, ZTP = 0, HT = 0, LT1 = 0, LT2 = 0;
};

// Splits each catalog row once per writer run; rows outside the catalog give the empty entry.
class EntryCache {
public:
    EntryCache(const std::vector<std::string>& table, std::int32_t Samplezahl);
    const SampleEntry& row(long k);

private:
    const std::vector<std::string>& table_;
    std::int32_t Samplezahl_;
    std::vector<SampleEntry> entries_;
    std::vector<bool> split_;
};

// Everything the writer needs of one tone.
struct ToneSample {
    const SampleEntry* entry = nullptr; // E
    double pitch = 0;                   // P, for the PLAYRATE line
    double start = 0;                   // S, for the SOFFS line
};

// The per-tone decisions of one writer run, in the writer's order of tones.
class SampleChooser {
public:
    SampleChooser(Settings& s, const Melody& melody, EntryCache& entries, std::int32_t Samplezahl,
                  std::int16_t lowestTone, SamplerState& state, Platform& platform, ListBox& Daten);

    // Sample choice, keytranspose term, missing-sample question, fields, tuning term and
    // start-shift term of tone i. A No to the question ends the program (ProgramEnd).
    ToneSample choose(int i);

private:
    double randomTransposition(int i);
    std::int16_t draw(std::int32_t lo, std::int32_t hi);

    Settings& s_;
    const Melody& melody_;
    EntryCache& entries_;
    std::int32_t Samplezahl_;
    std::int16_t lowest_;
    SamplerState& state_;
    Platform& platform_;
    ListBox& Daten_;
    std::int32_t sequence_ = 0;  // the row counter of KEYTRANSPOSE 3
    std::int32_t previous1_ = 0; // the last two random transpositions of SAMPLETUNING 3
    std::int32_t previous2_ = 0;
};

// The question's text when tone number `tone` has no sample.
std::string missingSampleQuestion(double sound, std::int32_t tone);

} // namespace tonfex
