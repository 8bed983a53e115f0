// The MusicXML pattern import: the notes of a one-voice MusicXML export become the rows of a
// pattern file, updating only the kinds of values the user agrees to.
#pragma once

#include "controls/models.h"
#include "melody/melody.h"
#include "notation/xml.h"
#include "platform/platform.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tonfex {

// One note of the export, as the import uses it.
struct ExportNote {
    bool rest = false;
    std::optional<std::int16_t> pitch; // set when step and octave gave one
    std::int32_t duration = 0;         // in divisions
    bool tieStart = false;
    std::optional<std::int16_t> volume; // a MIDI note's velocity; a score's notes take 100
};

// The notes the import passes over, by kind.
struct PassedNotes {
    int chordTones = 0, otherVoices = 0, otherParts = 0, graceNotes = 0, cueNotes = 0;
};

struct MusicXmlNotes {
    std::int32_t divisions = 0; // per quarter note
    std::vector<ExportNote> notes;
    int rows = 0; // pattern rows they give, tied notes joined
    PassedNotes passed;
    // "Aus NAME übergangen: ..." when notes were passed over, else "".
    std::string notice(const std::string& fileName) const;
};

// Reads divisions and the notes of one voice: the first part's first staff, the voice of its
// first note; chord tones after the first, grace and cue notes and the other voices, staves and
// parts are passed over and counted. No divisions, divisions of 0 or more rows than a pattern
// holds end the command with a message naming the files.
MusicXmlNotes readMusicXmlNotes(const std::vector<std::string>& lines, Dialogs& dialogs,
                                const std::string& xmlText, const std::string& patternText);
// The same from the file's text, lines ending in LF.
MusicXmlNotes readMusicXmlText(const std::string& text, Dialogs& dialogs,
                               const std::string& xmlText, const std::string& patternText);

// The largest export the import reads. A pattern holds 10000 notes, which an export writes in
// about 3 MB; the file is read whole, its notes' tokens taking some twenty times its size.
inline constexpr size_t kMusicXmlBytes = size_t{4} << 20;

struct Overwrite {
    bool pitches = true, volumes = true, durations = true;
};

// Stores the notes into rows 1.. of `buffer` (a quarter note is 2000) and returns the row
// count. `currentPitch` is the last pitch read, which a rest takes; it lives between runs.
int applyNotes(const MusicXmlNotes& xml, Overwrite overwrite, std::int16_t& currentPitch,
               Pattern& buffer);

// The pattern file's lines for rows 1..rows; rows with pitch 0 are left out.
std::vector<std::string> patternFileLines(const Pattern& buffer, int rows, char decimal);

// What the import needs besides the two files.
struct ImportContext {
    Files& files;
    Dialogs& dialogs;
    ListBox& zuordnung;
    char decimal;
    bool keineFrage;            // no questions: every kind is overwritten
    std::int16_t& currentPitch; // kept between runs
    Pattern& buffer;            // the pattern read buffer
};

// The import: asks what to overwrite, loads the existing pattern, converts the export, writes
// the pattern file and lists it. A message leaves the pattern file as it was.
void CapellaLesen(const std::filesystem::path& xmlPath, const std::filesystem::path& patternPath,
                  ImportContext& context);
// The same from a Standard MIDI File.
void MidiLesen(const std::filesystem::path& midiPath, const std::filesystem::path& patternPath,
               ImportContext& context);

} // namespace tonfex
