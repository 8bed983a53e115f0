// MIDI_OUT and MIDI_CMD on the recorder: the exact bytes, the device list and silent errors.
#include "midi/midi_out.h"
#include "midi/player.h"
#include "platform/doubles.h"
#include "recorded.h"
#include "support.h"

#include <gtest/gtest.h>

using namespace tonfex;
using testkit::hex;
using Sent = std::vector<std::string>;

namespace {
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
    EXPECT_EQ(Sent(sent.begin(), sent.begin() + 4),
              (Sent{"B0 78 00", "B0 7B 00", "B1 78 00", "B1 7B 00"}));
    EXPECT_EQ(sent[31], "BF 7B 00");
    recorder.messages.clear();
    MidiNoteOn(out, 0, 60, 100);
    MidiNoteOff(out, 0, 60);
    MidiNoteOn(out, 9, 127, 1);
    MidiControlChange(out, 3, 7, 100);
    MidiProgramChange(out, 0, 0, 11);
    // Outside the 14 bits a bend stays at the nearer end instead of wrapping around.
    for (int bend : {8200, 8192, 16383, 0, 20000, -5})
        MidiPitchBend(out, 0, bend);
    EXPECT_EQ(hex(recorder),
              (Sent{"90 3C 64", "90 3C 00", "99 7F 01", "B3 07 64", "B0 00 00", "C0 0B 00",
                    "E0 08 40", "E0 00 40", "E0 7F 7F", "E0 00 00", "E0 7F 7F", "E0 00 00"}));
    EXPECT_EQ(out.errorCount, 0);
}

TEST_F(MidiOutTest, ErrorsStaySilentAndNothingOutOfRangeIsSent) {
    MidiNoteOn(out, 0, 60, 100); // nothing open: made, refused, handed to the error hook
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(out.errorCount, 1);
    EXPECT_EQ(out.lastError, "Kein MIDI-Gerät geöffnet.");
    out.MidiClose(); // nothing open: the system is not asked
    EXPECT_FALSE(out.MidiOpen(5) || recorder.closes || out.hMidiOut);

    ASSERT_TRUE(out.MidiOpen(-1));
    MidiNoteOn(out, 0, 200, 100);      // a byte above 127 would spill into the next one
    MidiProgramChange(out, 0, 0, 128); // the bank select goes, the program does not
    out.MidiSendShort(0x40, 1, 1);
    EXPECT_EQ(hex(recorder), Sent{"B0 00 00"});
    EXPECT_EQ(out.errorCount, 5);
}

TEST_F(MidiOutTest, DeviceListAndReopening) {
    recorder.devices = {std::string("Port A"), std::nullopt, std::string("Port C")};
    ListBox list;
    list.add("alt", 99);
    out.MidiListDevices(list);
    EXPECT_EQ(list.lines(), (Sent{"Aufzeichnung", "Port A", "Port C"}));
    EXPECT_EQ(list.itemData(), (std::vector<long>{-1, 0, 2}));
    recorder.mapperName.reset();
    out.MidiListDevices(list);
    EXPECT_EQ(list.lines(), (Sent{"Port A", "Port C"}));

    ASSERT_TRUE(out.MidiOpen(0));
    ASSERT_TRUE(out.MidiOpen(2)); // closes the open device first
    EXPECT_EQ(std::pair(recorder.opens, recorder.closes), std::pair(2, 1));
}

TEST(Player, FrequencyNoteNameWaitAndToneLine) {
    ManualClock clock;
    MidiRecorder recorder{clock};
    MidiPlayback m{recorder};
    EXPECT_EQ(testkit::mapped({69, 70, 60}, [&](int p) { return Frequenz(m, p); }),
              (std::vector<double>{440.0, 466.16, 261.63}));
    // No number leaves the table.
    EXPECT_EQ(testkit::mapped({61, 0, -25}, [&](int p) { return std::string(Notenname(m, p)); }),
              (std::vector<std::string>{"Cis", "C", "H"}));
    EXPECT_EQ(toneSeconds(4800, 0), 0.0);  // a divisor of 0 never divides
    EXPECT_EQ(toneSeconds(4800, -1), 0.0); // a negative tempo does not wait either
    EXPECT_EQ(toneLine(12, 7, 1, 1.5, ','), "12  7  1  1,5");
}
