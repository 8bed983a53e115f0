// The live controls and the MIDI steps of the window's start: bend, frequency display,
// instrument list and device list, on the recorder.
#include "fixture.h"
#include "midi/recorded.h"

using namespace tonfex;
using tonfex::testkit::AppTest;

namespace {

using Sent = std::vector<std::string>;

// All Notes Off on channels 0 to 15.
Sent allNotesOff() {
    Sent out;
    for (std::uint32_t channel = 0; channel < 16; ++channel)
        out.push_back(testkit::hex(0xB0 + channel + (0x7B << 8)));
    return out;
}

struct LiveTest : AppTest {
    LiveTest() {
        midi.devices = {std::string("Port A")};
        app.instrumentFile = std::filesystem::path(TONFEX_BINARY_DIR) / "genmidi.txt";
        app.Form_Load();
    }
    // The messages sent since the last look.
    Sent sent() {
        Sent out = testkit::hex(midi);
        midi.messages.clear();
        return out;
    }
    void play() {
        settings("SOUND 1");
        testkit::writeBytes(tmp / "Tonfex.txt", "70 100 1\r\n");
        app.Startknopf_Click();
        sent();
    }
};

} // namespace

TEST_F(LiveTest, StartOpensTheDefaultDeviceAndChoosesInstrumentEleven) {
    EXPECT_EQ(app.c.List1.lines(), (Sent{"Aufzeichnung", "Port A"}));
    EXPECT_EQ(sent(), (Sent{"B0 00 00", "C0 0B 00"}));
    EXPECT_EQ(app.c.lst_sound_list.count(), 128);
    app.Form_Unload();
    EXPECT_EQ(std::pair(app.midi.out.hMidiOut, midi.closes), std::pair(MidiHandle{0}, 1));
}

TEST_F(LiveTest, ScrollBarBendsOnlyAfterTheFirstPlay) {
    sent();
    app.c.VScroll1.value = 12883;
    app.VScroll1_Change();
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(app.c.txtNot.text(), "  T O N F E X");

    play();
    Sent shown;
    for (int value : {8200, 12883}) {
        app.c.VScroll1.value = value;
        app.VScroll1_Change();
        shown.push_back(app.c.txtNot.text());
    }
    EXPECT_EQ(shown, (Sent{"466.16 Hz", "496.77 Hz"}));
    EXPECT_NEAR(app.midi.BendOffset, 4.68, 1e-9);
    app.neutral_Click();
    EXPECT_EQ(app.c.VScroll1.value, 8200);
    app.neutral_Click(); // already neutral: no change, nothing sent
    EXPECT_EQ(sent(), (Sent{"E0 08 40", "E0 53 64", "E0 08 40"}));
    EXPECT_EQ(app.c.txtNot.text(), "466.16 Hz");
}

TEST_F(LiveTest, BenderSendsAtOnceWithOneDecimalOfOffset) {
    sent();
    app.Bender_MouseMove(8200.0f);
    EXPECT_EQ(app.c.txtNot.text(), "466.16 Hz");
    app.Bender_MouseMove(12883.0f);
    EXPECT_EQ(app.c.txtNot.text(), "496.91 Hz"); // the offset 4.7, not 4.68
    EXPECT_EQ(app.c.Bender.markerY, 12883.0);
    EXPECT_EQ(sent(), (Sent{"E0 08 40", "E0 53 64"}));

    // The bend stays in the displayed frequency of played tones; the reference tone 70 shows
    // the bend control's own figure.
    play();
    EXPECT_EQ(app.c.txtNot.text() + " " + app.c.Text5.text(), "496.91 Hz Ais");

    // Closing tells every channel All Notes Off first; with no device open the move is
    // silent and sends nowhere.
    app.midi.out.MidiClose();
    EXPECT_EQ(sent(), allNotesOff());
    app.Bender_MouseMove(5000.0f);
    EXPECT_TRUE(sent().empty());
}

TEST_F(LiveTest, InstrumentAndDeviceClicks) {
    sent();
    for (int line : {0, 11})
        app.lst_sound_list_Click(line);
    EXPECT_EQ(sent(), (Sent{"B0 00 00", "C0 00 00", "B0 00 00", "C0 0B 00"}));

    app.c.Label1.caption = "<--- zuerst hier etwas auswählen !";
    app.List1_Click(1);
    EXPECT_EQ(app.c.Label1.caption, "");
    // Device 0 opened as the second handle, the old one closed.
    EXPECT_EQ(std::tuple(midi.opens, midi.closes, app.midi.out.hMidiOut),
              std::tuple(2, 1, MidiHandle{2}));
    // The old device heard All Notes Off; the instrument chosen before is not sent again to
    // the new device.
    EXPECT_EQ(sent(), allNotesOff());
    app.List1_Click(5); // no such line
    EXPECT_EQ(midi.opens, 2);
}

TEST_F(LiveTest, InstrumentFileMissingOrLongerThanTheMidiPrograms) {
    app.c.lst_sound_list.clear();
    app.instrumentFile = tmp / "fehlt.txt";
    app.Instrumentenliste();
    EXPECT_TRUE(app.c.lst_sound_list.count() == 0 && tp.dialogs.records.empty());

    std::string names;
    for (int i = 0; i < 130; ++i)
        names += "Klang " + std::to_string(i) + "\r\n";
    testkit::writeBytes(tmp / "lang.txt", names);
    app.instrumentFile = tmp / "lang.txt";
    app.Instrumentenliste();
    EXPECT_EQ(app.c.lst_sound_list.count(), 128);
    sent();
    app.lst_sound_list_Click(127);
    app.lst_sound_list_Click(128); // beyond the MIDI programs: nothing
    EXPECT_EQ(sent(), (Sent{"B0 00 00", "C0 7F 00"}));
}
