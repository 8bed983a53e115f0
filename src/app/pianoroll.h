// The piano roll of the melody file as data: each tone's pitch, loudness, start and length,
// read as the player reads the file. Both windows draw it.
#pragma once

#include "core/workfolder.h"
#include "platform/platform.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tonfex {

struct RollTone {
    int pitch = 0;
    int volume = 0;
    double start = 0;  // sum of the durations before it
    double length = 0; // its duration, as the player takes it
};

struct PianoRoll {
    std::vector<RollTone> tones; // tone k of the file at index k - 1
    int low = 0, high = 0;       // pitch range of the tones that sound (loudness above 1)
    double total = 0;            // end of the last tone
    int rests = 0;               // tones of loudness 1
    int corrected = 0;           // values the player's checks would replace
    std::string error;           // why there is nothing to draw ("" when fine)
};

// Builds the roll from the melody file's lines with the player's reading: durations taken
// directly (TONDAUERDIREKT 1) or from the duration list (index 1 = its first line).
PianoRoll pianoRollFromLines(const std::vector<std::string>& melodyLines, bool durationsDirect,
                             const std::vector<double>& durationList, bool midiMode, char decimal);

// Reads the melody file, the settings and the duration list of the working folder. It asks
// nothing and shows no message: a half-written or malformed file is drawn as it reads.
PianoRoll readPianoRoll(Files& files, const WorkFolder& folder, char decimal);

// A file's size and modification time: the windows look at it twice a second to notice an edit
// of the melody file without reading the file.
struct FileStamp {
    bool present = false;
    std::filesystem::file_time_type time{};
    std::uintmax_t size = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp fileStamp(const std::filesystem::path& path);

} // namespace tonfex
