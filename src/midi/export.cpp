#include "midi/export.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tonfex {

namespace {

void bigEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void littleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A variable-length quantity: seven bits a byte, the high bit set on all but the last.
void variableLength(std::string& out, std::uint32_t value) {
    char bytes[5];
    int n = 0;
    do {
        bytes[n++] = static_cast<char>(value & 0x7F);
        value >>= 7;
    } while (value > 0);
    while (n > 1)
        out += static_cast<char>(bytes[--n] | 0x80);
    out += bytes[0];
}

} // namespace

std::vector<TimedMidiMessage> fromOrigin(const std::vector<TimedMidiMessage>& messages,
                                         double origin) {
    std::vector<TimedMidiMessage> out;
    out.reserve(messages.size());
    for (const auto& m : messages)
        out.push_back({std::max(0.0, m.time - origin), m.message});
    return out;
}

std::vector<std::string> protocolLines(const std::vector<TimedMidiMessage>& messages) {
    std::vector<std::string> lines;
    lines.reserve(messages.size());
    for (const auto& m : messages) {
        long long micro = std::llround(m.time * 1e6);
        char line[64];
        std::snprintf(line, sizeof line, "%lld.%03lld %02X %02X %02X", micro / 1000, micro % 1000,
                      static_cast<unsigned>(m.message & 0xFF),
                      static_cast<unsigned>((m.message >> 8) & 0xFF),
                      static_cast<unsigned>((m.message >> 16) & 0xFF));
        lines.emplace_back(line);
    }
    return lines;
}

std::optional<double> firstToneTime(const std::vector<TimedMidiMessage>& messages) {
    for (const auto& m : messages)
        if ((m.message & 0xF0) == 0x90 && ((m.message >> 16) & 0x7F) > 0) return m.time;
    return std::nullopt;
}

std::optional<std::string> standardMidiFile(const std::vector<TimedMidiMessage>& messages) {
    constexpr double kLongestDelta = 0x0FFFFFFF; // the largest variable-length quantity
    std::string track;
    variableLength(track, 0);
    track += "\xFF\x51\x03";
    bigEndian(track, 1000000, 3); // microseconds per quarter note
    double previous = 0;
    for (const auto& m : messages) {
        if (!std::isfinite(m.time)) return std::nullopt;
        const double tick = std::max(previous, std::round(m.time * 1000));
        if (tick - previous > kLongestDelta) return std::nullopt;
        variableLength(track, static_cast<std::uint32_t>(tick - previous));
        previous = tick;
        int status = static_cast<int>(m.message & 0xFF);
        track += static_cast<char>(status);
        track += static_cast<char>((m.message >> 8) & 0x7F);
        // Program change and channel pressure carry one data byte.
        if ((status & 0xF0) != 0xC0 && (status & 0xF0) != 0xD0)
            track += static_cast<char>((m.message >> 16) & 0x7F);
    }
    variableLength(track, 0);
    track += std::string("\xFF\x2F\x00", 3);

    std::string file = "MThd";
    bigEndian(file, 6, 4);
    bigEndian(file, 0, 2);    // format 0
    bigEndian(file, 1, 2);    // one track
    bigEndian(file, 1000, 2); // ticks per quarter note
    file += "MTrk";
    bigEndian(file, static_cast<std::uint32_t>(track.size()), 4);
    return file + track;
}

std::optional<std::string> wavHeader(std::uint64_t dataBytes, int rate) {
    if (dataBytes > 0xFFFFFFFFull - 36) return std::nullopt;
    std::string out;
    out += "RIFF";
    littleEndian(out, static_cast<std::uint32_t>(36 + dataBytes), 4);
    out += "WAVEfmt ";
    littleEndian(out, 16, 4);
    littleEndian(out, 1, 2); // PCM
    littleEndian(out, 2, 2); // stereo
    littleEndian(out, static_cast<std::uint32_t>(rate), 4);
    littleEndian(out, static_cast<std::uint32_t>(rate) * 4, 4);
    littleEndian(out, 4, 2);
    littleEndian(out, 16, 2);
    out += "data";
    littleEndian(out, static_cast<std::uint32_t>(dataBytes), 4);
    return out;
}

void appendSamples(std::string& out, const std::int16_t* samples, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k)
        littleEndian(out, static_cast<std::uint16_t>(samples[k]), 2);
}


} // namespace tonfex
