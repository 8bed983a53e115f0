// Reader of REAPER project files: the tracks and their WAV items as the render needs them.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tonfex::render {

// One line of a project split into its tokens, with REAPER's quoting removed.
using Tokens = std::vector<std::string>;

// Receives what the syntax reader finds; a listener that does not know a tag passes it over.
class RppListener {
public:
    virtual ~RppListener() = default;
    // A line "<TAG ..." opening a block; tokens[0] is the tag without "<".
    virtual void blockStart(const Tokens& tokens, int line) = 0;
    // A statement line inside the innermost open block.
    virtual void statement(const Tokens& tokens, int line) = 0;
    // The line ">" closing the innermost block.
    virtual void blockEnd(int line) = 0;
};

// Splits one line into tokens. A token starting with ", ' or ` runs to the next same quote
// (REAPER picks a quote the text does not hold, so there is no escape). False on an open quote.
bool splitTokens(std::string_view line, Tokens& out);

// Reads the block structure of `text` (one statement a line) and reports it to `listener`.
// Returns "" or a German message naming `name` and the line that cannot be read.
std::string readRpp(std::string_view text, const std::string& name, RppListener& listener);

struct Item {
    double position = 0, length = 0; // seconds on the time line
    double sourceOffset = 0;         // SOFFS: seconds into the source
    double volume = 1, pan = 0;      // product of the item's and the take's volume; item pan
    double fadeIn = 0, fadeOut = 0;  // seconds
    double rate = 1, semitones = 0;  // PLAYRATE: play rate and pitch adjustment
    bool preservePitch = true;       // PLAYRATE's second field: the rate keeps the pitch
    bool muted = false;
    std::filesystem::path file; // the source, made absolute against the project's folder
    int line = 0;               // the ITEM line, for messages
};

struct Track {
    double volume = 1, pan = 0;
    bool muted = false, solo = false;
    std::vector<Item> items;
};

struct Project {
    std::vector<Track> tracks;
    int otherSources = 0; // items whose active take is no WAVE source (MIDI, video, ...): silent
};

struct ReadResult {
    Project project;
    std::string error; // "" when read
};

// Reads a project's text; FILE names are taken relative to `folder` unless absolute.
ReadResult readProject(std::string_view text, const std::string& name,
                       const std::filesystem::path& folder);
// A project of 32767 items takes about 13 MB; a larger file is refused before it is read.
constexpr size_t kMaxProjectBytes = size_t{48} << 20;

// Reads the project file `path` (UTF-8 or Windows-1252), at most kMaxProjectBytes of it.
ReadResult readProjectFile(const std::filesystem::path& path, Files& files);

} // namespace tonfex::render
