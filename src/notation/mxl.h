// Compressed MusicXML (.mxl): a zip archive whose META-INF/container.xml names the score.
#pragma once

#include <cstddef>
#include <string>

namespace tonfex {

struct MxlScore {
    std::string text;  // the score's XML, when read
    std::string error; // German, when not
};

// Unpacks the score from the archive's bytes; a score larger than `limit` bytes is refused.
// `fileText` names the archive in messages.
MxlScore unpackMxl(const std::string& bytes, size_t limit, const std::string& fileText);

} // namespace tonfex
