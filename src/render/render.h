// The render of a REAPER project's WAV items into one stereo WAV file, without REAPER.
#pragma once

#include "platform/platform.h"
#include "render/project.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tonfex::render {

inline constexpr int kRate = 44100; // the mix's sample rate

struct RenderOptions {
    int threads = 2; // workers for the pitch shifts
    // Called after each prepared item segment with the count done and the count to do.
    std::function<void(int done, int total)> progress = nullptr;
    // Where the WAV file is written (through a temporary file, never through a planted link);
    // none: the disk.
    Files* files = nullptr;
};

struct RenderResult {
    std::string error;  // "" when written; else a German message naming the file
    double seconds = 0; // length of the WAV
    double peak = 0;    // the mix's peak before any gain, 1 = full scale
    double gainDb = 0;  // the gain applied so the mix does not clip (0 or negative)
    int items = 0;      // items heard
    int shifts = 0;     // segments shifted or resampled (identical ones once)
    int reused = 0;     // items that took a segment shifted for an earlier one
};

// The stereo mix in memory: left and right at kRate.
struct Mix {
    std::vector<float> left, right;
};

// Constant-power pan law, centre at unity: pan -1 (left) .. 1 (right) to the channel gains
// sqrt(2)·cos and sqrt(2)·sin of (pan + 1)·π/4.
void panGains(double pan, double& left, double& right);

// Mixes every audible item; on an error the mix is left empty.
RenderResult mixProject(const Project& project, Mix& mix, const RenderOptions& options = {});
// Mixes and writes a 24-bit stereo WAV; a mix above full scale is lowered to -0.1 dBFS.
RenderResult renderProject(const Project& project, const std::filesystem::path& wav,
                           const RenderOptions& options = {});

} // namespace tonfex::render
