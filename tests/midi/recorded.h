// The recorder's messages as hex texts ("90 3C 50"), for the MIDI tests.
#pragma once

#include "platform/midi.h"

#include <cstdio>
#include <string>
#include <vector>

namespace tonfex::testkit {

inline std::string hex(std::uint32_t m) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X %02X %02X", m & 0xFF, (m >> 8) & 0xFF, (m >> 16) & 0xFF);
    return text;
}

inline std::vector<std::string> hex(const MidiRecorder& r) {
    std::vector<std::string> out;
    for (const auto& m : r.messages)
        out.push_back(hex(m.message));
    return out;
}

} // namespace tonfex::testkit
