// A play's messages as files: the protocol text, a Standard MIDI File and a WAV file.
#pragma once

#include "platform/midi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tonfex {

// The messages with their times counted from `origin`; messages sent before it (the
// instrument chosen at start-up) stand at 0.
std::vector<TimedMidiMessage> fromOrigin(const std::vector<TimedMidiMessage>& messages,
                                         double origin);

// One line per message: milliseconds with three decimals, then the three bytes in hex
// ("12.345 90 3C 50").
std::vector<std::string> protocolLines(const std::vector<TimedMidiMessage>& messages);

// The time of the first note that sounds (a note on with a velocity above 0); a file of the
// play starts there.
std::optional<double> firstToneTime(const std::vector<TimedMidiMessage>& messages);

// Format 0, 1000 ticks per quarter note at 60 quarters a minute: one tick is a millisecond.
// Nothing when a time between two messages does not fit the format (about 74 hours).
std::optional<std::string> standardMidiFile(const std::vector<TimedMidiMessage>& messages);

// The 44 bytes that start a RIFF WAVE of 16-bit stereo at `rate` with `dataBytes` of samples;
// nothing when that is too long for the format (4 GB).
std::optional<std::string> wavHeader(std::uint64_t dataBytes, int rate);

// Little-endian 16-bit samples as the bytes of a WAV's data.
void appendSamples(std::string& out, const std::int16_t* samples, std::size_t count);

} // namespace tonfex
