// Standard MIDI Files as patterns: the notes of one voice become pattern notes, as those of a
// MusicXML export do.
#pragma once

#include "notation/capella.h"

#include <string>

namespace tonfex {

// The largest MIDI file the import reads: a pattern's 10000 notes take some 100 kB.
inline constexpr size_t kMidiImportBytes = size_t{4} << 20;

// Reads a format 0 or 1 file: the first track that has notes, the channel of its first note,
// one voice (a note that starts while another sounds ends that one; of a chord the highest
// note stays). A quarter note is `divisions` ticks; velocities become volumes; a gap longer
// than a sixty-fourth note is a rest, a shorter one lengthens the note before it. A file it
// cannot read ends the command with a message naming it.
MusicXmlNotes readMidiNotes(const std::string& bytes, Dialogs& dialogs, const std::string& fileText,
                            const std::string& patternText);

} // namespace tonfex
