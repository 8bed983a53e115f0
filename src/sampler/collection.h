// The sample collection a new working folder starts with: a chromatic octave of a mallet tone
// synthesized here, the sample project that catalogs it, its sample list and the two template
// heads of the project writer.
#pragma once

#include "core/workfolder.h"

#include <string>
#include <vector>

namespace tonfex {

struct DefaultSample {
    std::string name; // file name without ".wav"
    std::string note; // German note name, the description of the catalog entry
    double frequency = 0;
};

inline constexpr int kSampleRate = 44100;
inline constexpr double kSampleSeconds = 1.5;

// C4 to C5, one sample per semitone.
const std::vector<DefaultSample>& defaultSamples();

// A complete 16-bit mono RIFF/WAVE file of a struck mallet tone.
std::string malletWave(double frequency, double seconds = kSampleSeconds);

// The WAV files of defaultSamples(), in the same order; synthesized once per program run.
const std::vector<std::string>& defaultSampleWaves();

// The sample project "Tonfex-HCR.rpp": one track, one item per default sample.
std::vector<std::string> defaultSampleProject(const WorkFolder& folder);
// "Tonfex-HC.txt": the same samples as catalog entries.
std::vector<std::string> defaultSampleList();
// "Tonfex-RPP-01": a project head whose render file lies in the working folder.
std::vector<std::string> defaultProjectHead(const WorkFolder& folder);
// "Tonfex-RPP-02": the head of one track.
std::vector<std::string> defaultTrackHead();

} // namespace tonfex
