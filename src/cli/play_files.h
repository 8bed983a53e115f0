// The files a play is written to instead of sounding: --midi-protokoll, --mid and --wav.
#pragma once

#include "cli/cli.h"
#include "platform/midi.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tonfex {

struct PlayFileOptions {
    std::string protocol, mid, wav; // file names as given; empty: not wanted

    bool any() const { return !protocol.empty() || !mid.empty() || !wav.empty(); }
    // The protocol shows the play as it happened, in real time; the other files take the
    // scheduled times, and the play takes no real time.
    bool realTime() const { return !protocol.empty(); }
};

// The options' values; an error text when they are given to a verb that does not play.
std::string playFileOptions(const CliOptions& options, PlayFileOptions& files);

// Writes the wanted files from the recorded messages, times counted from `origin`; says
// on `out` which files were written. Returns an error text.
std::string writePlayFiles(const PlayFileOptions& wanted,
                           const std::vector<TimedMidiMessage>& messages, double origin,
                           Files& files, std::ostream& out);

} // namespace tonfex
