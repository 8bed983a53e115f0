// The play's files: protocol lines, Standard MIDI File bytes and the WAV header.
#include "midi/export.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tonfex;

namespace {
std::uint32_t msg(int status, int d1, int d2) {
    return static_cast<std::uint32_t>(status | d1 << 8 | d2 << 16);
}
} // namespace

TEST(Export, ProtocolCountsFromThePlaysStart) {
    std::vector<TimedMidiMessage> sent = {{99.5, msg(0xC0, 11, 0)},
                                          {100.0, msg(0xB0, 120, 0)},
                                          {100.0123454, msg(0x90, 60, 80)},
                                          {101.5, msg(0xE0, 8, 64)}};
    EXPECT_EQ(protocolLines(fromOrigin(sent, 100.0)),
              (std::vector<std::string>{"0.000 C0 0B 00", "0.000 B0 78 00", "12.345 90 3C 50",
                                        "1500.000 E0 08 40"}));
}

TEST(Export, StandardMidiFileTicksAreMillisecondsAndDeltasBeyondTheFormatAreRefused) {
    std::vector<TimedMidiMessage> sent = {{0, msg(0xB0, 0, 0)},
                                          {0, msg(0xC0, 11, 0)},
                                          {0.9, msg(0x90, 60, 80)},
                                          {1.9004, msg(0x90, 60, 0)},
                                          {201.9004, msg(0xE0, 8, 64)}};
    std::string expected("MThd\0\0\0\x06\0\0\0\x01\x03\xE8"
                         "MTrk\0\0\0\x22"
                         "\0\xFF\x51\x03\x0F\x42\x40"
                         "\0\xB0\0\0"
                         "\0\xC0\x0B"               // one data byte
                         "\x87\x04\x90\x3C\x50"     // 900 ticks
                         "\x87\x68\x90\x3C\0"       // 1000 ticks later
                         "\x8C\x9A\x40\xE0\x08\x40" // 200000 ticks later
                         "\0\xFF\x2F\0",
                         14 + 8 + 34);
    EXPECT_EQ(standardMidiFile(sent), expected);
    // The first note that sounds, not the note off of note 0 before it.
    sent.insert(sent.begin() + 2, {0.5, msg(0x90, 0, 0)});
    EXPECT_EQ(firstToneTime(sent), 0.9);
    // 0x0FFFFFFF ticks is the longest delta; one more, or a time that is not a number, fails.
    const double longest = 0x0FFFFFFF / 1000.0;
    EXPECT_TRUE(standardMidiFile({{0, msg(0x90, 60, 80)}, {longest, msg(0x90, 60, 0)}}));
    EXPECT_FALSE(standardMidiFile({{0, msg(0x90, 60, 80)}, {longest + 0.001, msg(0x90, 60, 0)}}));
    EXPECT_FALSE(standardMidiFile({{0, msg(0x90, 60, 80)}, {1e308, msg(0x90, 60, 0)}}));
    EXPECT_FALSE(standardMidiFile({{0, msg(0x90, 60, 80)}, {std::nan(""), msg(0x90, 60, 0)}}));
    EXPECT_FALSE(firstToneTime({{0, msg(0x90, 60, 0)}, {1, msg(0xB0, 123, 0)}}));
}

TEST(Export, WavHeaderAndLittleEndianFrames) {
    auto bytes = wavHeader(8, 44100);
    ASSERT_TRUE(bytes);
    const std::int16_t frames[] = {1, -1, 0x1234, -32768};
    appendSamples(*bytes, frames, 4);
    std::string expected("RIFF\x2C\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0"
                         "\x04\0\x10\0data\x08\0\0\0"
                         "\x01\0\xFF\xFF\x34\x12\0\x80",
                         52);
    EXPECT_EQ(*bytes, expected);
    EXPECT_TRUE(wavHeader(0xFFFFFFFFull - 36, 44100));
    EXPECT_FALSE(wavHeader(0xFFFFFFFFull - 35, 44100));
}
