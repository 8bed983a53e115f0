// The MusicXML score writer: the melody file as a one-part, one-voice score for a notation
// program, written as lines of text with fixed indentation.
#pragma once

#include "core/workfolder.h"
#include "melody/melody.h"
#include "platform/platform.h"
#include "settings/settings.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tonfex {

// One rung of the note-value ladder: the MusicXML type name and its undotted duration in
// divisions (480 per quarter note).
struct NoteRung {
    std::string type;
    int duration = 0;
};
using Ladder = std::array<NoteRung, 9>;

// The ladder that starts at the shortest written value KURZESTWERT (128, 64, 32, 16, 8 or 4);
// each rung is twice the one before, repeating the breve once it is reached. Nothing for any
// other value.
std::optional<Ladder> noteLadder(int kurzestwert);

// A written note value: type name, duration in divisions (dots included) and 0 to 2 dots.
struct NoteValue {
    std::string type;
    int duration = 0;
    int dots = 0;
};

// Classifies the duration `d` of a tone relative to the melody's shortest duration `dmin` (> 0).
NoteValue classifyDuration(double d, double dmin, const Ladder& ladder);

// The lines of the score for tones 1..n of `melody`; bad settings or tones end the command
// with a message before anything is written.
std::vector<std::string> scoreLines(const Settings& s, const Melody& melody, int n,
                                    const LocalTime& today, Dialogs& dialogs,
                                    const WorkFolder& folder);

// Reads the melody file into `melody` (widths 3, 3, 8 and the player's checks, durations from
// the field or from `durationList`) and returns the number of tones read.
int readScoreMelody(const Settings& s, Melody& melody, const std::vector<double>& durationList,
                    Files& files, Dialogs& dialogs, const WorkFolder& folder);

// The whole command after the settings and the duration list have been read: checks the
// settings, reads the melody and replaces the score file. Any message leaves the file as it was.
void writeScoreFile(const Settings& s, Melody& melody, const std::vector<double>& durationList,
                    Files& files, Dialogs& dialogs, const WorkFolder& folder,
                    const LocalTime& today);

} // namespace tonfex
