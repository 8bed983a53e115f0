// MIDI_OUT and MIDI_CMD on the recorder: the exact bytes, the device list and silent errors.
#include "midi/midi_out.h"
#include "midi/player.h"
#include "platform/doubles.h"
#include "platform/midi.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace tonfex;

namespace {

std::vector<std::string> hex(const MidiRecorder& r) {
    std::vector<std::string> out;
    for (const auto& m : r.messages) {
        char text[16];
        std::snprintf(text, sizeof text, "%02X %02X %02X", m.message & 0xFF,
                      (m.message >> 8) & 0xFF, (m.message >> 16) & 0xFF);
        out.emplace_back(text);
    }
    return out;
}

struct MidiOutTest : ::testing::Test {
    ManualClock clock;
    MidiRecorder recorder{clock};
    MidiOut out{recorder};
};

} // namespace

TEST_F(MidiOutTest, EveryCommandSendsItsBytes) {
    ASSERT_TRUE(out.MidiOpen(-1));
    MidiAllOff(out);
    auto sent = hex(recorder);
    ASSERT_EQ(sent.size(), 32u);
    for (int channel = 0; channel < 16; ++channel) {
        char off[16], notes[16];
        std::snprintf(off, sizeof off, "B%X 78 00", channel);
        std::snprintf(notes, sizeof notes, "B%X 7B 00", channel);
        EXPECT_EQ(sent[static_cast<size_t>(2 * channel)], off);
        EXPECT_EQ(sent[static_cast<size_t>(2 * channel + 1)], notes);
    }
    recorder.messages.clear();
    MidiNoteOn(out, 0, 60, 100);
    MidiNoteOff(out, 0, 60);
    MidiNoteOn(out, 9, 127, 1);
    MidiControlChange(out, 3, 7, 100);
    MidiProgramChange(out, 0, 0, 11);
    MidiPitchBend(out, 0, 8200);
    MidiPitchBend(out, 0, 8192);
    MidiPitchBend(out, 0, 16383);
    MidiPitchBend(out, 0, 0);
    // Outside the 14 bits the bend stays at the nearer end instead of wrapping around.
    MidiPitchBend(out, 0, 20000);
    MidiPitchBend(out, 0, -5);
    EXPECT_EQ(hex(recorder),
              (std::vector<std::string>{"90 3C 64", "90 3C 00", "99 7F 01", "B3 07 64", "B0 00 00",
                                        "C0 0B 00", "E0 08 40", "E0 00 40", "E0 7F 7F", "E0 00 00",
                                        "E0 7F 7F", "E0 00 00"}));
    EXPECT_EQ(out.errorCount, 0);
    EXPECT_EQ(MidiOut::MidiPackMessage(0x90, 60, 100), 0x00643C90u);
    EXPECT_EQ(MidiSplit14(8200).lsb, 8);
    EXPECT_EQ(MidiSplit14(8200).msb, 64);
}

TEST_F(MidiOutTest, ErrorsStaySilentAndNothingOutOfRangeIsSent) {
    // Nothing open: the send is made, refused, and goes to the error hook.
    MidiNoteOn(out, 0, 60, 100);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(out.errorCount, 1);
    EXPECT_EQ(out.lastError, "Kein MIDI-Gerät geöffnet.");
    // Closing when nothing is open asks the system nothing.
    out.MidiClose();
    EXPECT_EQ(recorder.closes, 0);
    EXPECT_EQ(out.errorCount, 1);
    // A device that does not exist: false, no handle.
    EXPECT_FALSE(out.MidiOpen(5));
    EXPECT_EQ(out.hMidiOut, 0u);
    EXPECT_EQ(out.errorCount, 2);

    ASSERT_TRUE(out.MidiOpen(-1));
    MidiNoteOn(out, 0, 200, 100);      // a byte above 127 would spill into the next one
    MidiProgramChange(out, 0, 0, 128); // the bank select goes, the program does not
    out.MidiSendShort(0x40, 1, 1);
    std::vector<std::string> sentOnlyBank{"B0 00 00"};
    EXPECT_EQ(hex(recorder), sentOnlyBank);
    EXPECT_EQ(out.errorCount, 5);
}

TEST_F(MidiOutTest, DeviceListAndReopening) {
    recorder.devices = {std::string("Port A"), std::nullopt, std::string("Port C")};
    ListBox list;
    list.add("alt", 99);
    out.MidiListDevices(list);
    EXPECT_EQ(list.lines(), (std::vector<std::string>{"Aufzeichnung", "Port A", "Port C"}));
    EXPECT_EQ(list.itemData(), (std::vector<long>{-1, 0, 2}));
    recorder.mapperName.reset();
    out.MidiListDevices(list);
    EXPECT_EQ(list.lines(), (std::vector<std::string>{"Port A", "Port C"}));

    ASSERT_TRUE(out.MidiOpen(0));
    ASSERT_TRUE(out.MidiOpen(2)); // closes the open device first
    EXPECT_EQ(recorder.opens, 2);
    EXPECT_EQ(recorder.closes, 1);
    out.MidiClose();
    EXPECT_EQ(out.hMidiOut, 0u);
    EXPECT_EQ(recorder.closes, 2);
}

TEST(Player, TempoDivisorAndToneSeconds) {
    struct Case {
        const char* tfm;
        std::int16_t oga;
        float tempo;
        double divisor;
    };
    const Case cases[] = {
        {"0.1", 1, 2, 0.2},
        {"0.2", 1, 3, 0.3},
        {"2", 1, 3, 3},
        {"2", 0, 3, 0.003},
        {"3", 0, 3, 3},
        {"6", 1, 0.5f, 0.5},
        {"1", 0, 1, 0.001},
        // Rule 1 with ORIGINALSAMPLEABSTAND on, and numbers no rule has: TEMPO.
        {"1", 1, 2, 2},
        {"1.5", 1, 2, 2},
        {"0.5", 1, 4, 4},
    };
    for (const auto& c : cases) {
        Settings s;
        s.TONFINDUNGSMETHODE = c.tfm;
        s.ORIGINALSAMPLEABSTAND = c.oga;
        s.TEMPO = c.tempo;
        EXPECT_NEAR(tempoDivisor(s), c.divisor, 1e-9) << c.tfm << " " << c.oga;
    }
    EXPECT_DOUBLE_EQ(toneSeconds(4800, 1), 1.0);
    EXPECT_DOUBLE_EQ(toneSeconds(4.8, 0.001), 1.0);
    EXPECT_DOUBLE_EQ(toneSeconds(2400, 2), 0.25);
    EXPECT_EQ(toneSeconds(4800, 0), 0.0);  // a divisor of 0 never divides
    EXPECT_EQ(toneSeconds(4800, -1), 0.0); // nor does a negative tempo wait
    EXPECT_EQ(toneSeconds(0, 1), 0.0);
}

TEST(Player, FrequencyAndNoteName) {
    ManualClock clock;
    MidiRecorder recorder{clock};
    MidiPlayback m{recorder};
    EXPECT_DOUBLE_EQ(Frequenz(m, 69), 440.0);
    EXPECT_DOUBLE_EQ(Frequenz(m, 70), 466.16);
    EXPECT_DOUBLE_EQ(Frequenz(m, 60), 261.63);
    EXPECT_DOUBLE_EQ(m.frequency, 261.63);
    const char* names[] = {"C", "Cis", "D", "Dis", "E", "F", "Fis", "G", "Gis", "A", "Ais", "H"};
    for (int n = 0; n < 12; ++n) {
        EXPECT_EQ(Notenname(m, 60 + n), names[n]);
        EXPECT_EQ(Notenname(m, 1 + n + 11), names[n]);
    }
    EXPECT_EQ(Notenname(m, 0), "C");
    EXPECT_EQ(Notenname(m, -25), "H"); // no number leaves the table
    EXPECT_EQ(m.noteName, "H");
    EXPECT_EQ(toneLine(1, 60, 100, 480, '.'), "1  60  100  480");
    EXPECT_EQ(toneLine(12, 7, 1, 1.5, ','), "12  7  1  1,5");
}
