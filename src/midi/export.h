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

// Format 0, 1000 ticks per quarter note at 60 quarters a minute: one tick is a millisecond.
std::string standardMidiFile(const std::vector<TimedMidiMessage>& messages);

// RIFF WAVE of interleaved 16-bit stereo frames; nothing when it is too long for the format.
std::optional<std::string> wavFile(const std::vector<std::int16_t>& frames, int rate);

} // namespace tonfex
