// Hearing a REAPER project without REAPER: its render into a WAV file, where the program has
// the render (Linux); elsewhere the answer says so.
#pragma once

#include "platform/platform.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tonfex {

struct ListenSummary {
    std::string error; // "" when the WAV file was written
    double seconds = 0, peakDb = 0, gainDb = 0;
    int items = 0, shifts = 0, reused = 0;
};

// Renders `project` into `wav`; `progress` hears the shifted segments done and to do.
ListenSummary renderToWav(const std::filesystem::path& project, const std::filesystem::path& wav,
                          const std::function<void(int done, int total)>& progress, Files& files);

} // namespace tonfex
