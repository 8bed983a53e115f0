// Round trips through MuseScore 3 and files of Python's mido: programs that are not ours.
#include "notation/capella.h"
#include "notation/score.h"
#include "notation_kit.h"

#include <sstream>

using namespace tonfex;

namespace {

struct Tone {
    int pitch, volume, duration, written; // written: the ladder's duration in divisions
};
// Durations relative to the shortest (600, a sixteenth) with dots, rests and sharps.
const std::vector<Tone> kTones = {{60, 100, 2400, 480}, {61, 100, 1200, 240}, {59, 100, 1800, 360},
                                  {66, 1, 1200, 240},   {72, 100, 600, 120},  {70, 90, 2100, 420},
                                  {55, 100, 4800, 960}, {67, 100, 9600, 1920}};

struct MuseScoreTest : testkit::ImportTest {
    void TearDown() override { TONFEX_REPORT_SCHEMA_SKIP(); }

    MuseScoreTest() {
        std::string melody;
        for (const Tone& t : kTones)
            melody += std::to_string(t.pitch) + " " + std::to_string(t.volume) + " " +
                      std::to_string(t.duration) + "\r\n";
        testkit::writeBytes(tmp / "Tonfex.txt", melody);
        Settings s;
        s.KURZESTWERT = 16;
        s.VBSCHLUSSEL = 1;
        s.NOTENPROZEILE = 3;
        s.TONDAUERDIREKT = 1;
        Melody m;
        writeScoreFile(s, m, {}, tp.files, tp.dialogs, tmp.folder(), LocalTime{});
        EXPECT_EQ(testkit::musicXmlProblems(tmp / "Tonfex-Cap.xml"), "");
    }
};

} // namespace

TEST_F(MuseScoreTest, PlaysTheScoreOneOctaveUpWithTheLaddersDurations) {
    testkit::museScore(tmp / "Tonfex-Cap.xml", tmp / "out.mid");
    testkit::runLogged("/usr/bin/python3 " +
                           testkit::shellQuote(TONFEX_TEST_DATA "/notation/midi_notes.py") + " " +
                           testkit::shellQuote(tmp / "out.mid"),
                       tmp / "notes.txt");
    std::istringstream in(testkit::readBytes(tmp / "notes.txt"));
    int ticksPerQuarter = 0;
    in >> ticksPerQuarter;
    ASSERT_EQ(ticksPerQuarter, 480) << in.str(); // the score's divisions, so ticks compare 1:1
    int onset = 0;
    for (const Tone& t : kTones) {
        if (t.volume > 1) {
            int start = -1, pitch = -1, length = -1;
            in >> start >> pitch >> length;
            EXPECT_EQ(start, onset) << "tone " << t.pitch;
            EXPECT_EQ(pitch, t.pitch + 12);
            // MuseScore releases a note one tick before its end.
            EXPECT_TRUE(length >= t.written - 1 && length <= t.written) << length;
        }
        onset += t.written;
    }
    int extra = -1;
    EXPECT_FALSE(in >> extra) << "more notes than tones";
    // MuseScore's MIDI file as a pattern: the tones it plays with the ladder's durations.
    std::istringstream rows(import(MidiLesen, tmp / "out.mid"));
    int last = 0;
    for (const Tone& t : kTones) {
        int pitch = -1, volume = -1, duration = -1;
        rows >> pitch >> volume >> duration;
        last = t.volume > 1 ? t.pitch + 12 : last;
        EXPECT_EQ(pitch, last);
        EXPECT_EQ(volume > 1, t.volume > 1) << volume;
        EXPECT_EQ(duration, t.written * 2000 / 480) << "tone " << t.pitch;
    }
}

TEST_F(MuseScoreTest, ItsExportUnderEachNameBecomesAPatternOfTheSameNotes) {
    std::string expected;
    int last = 0;
    for (const Tone& t : kTones) {
        last = t.volume > 1 ? t.pitch : last;
        expected += std::to_string(last) + "  " + (t.volume > 1 ? "100" : "1") + "  " +
                    std::to_string(t.written * 2000 / 480) + "\r\n";
    }
    // MuseScore's uncompressed export under the old and its default name, and compressed.
    for (const char* name : {"Tonfex-01.xml", "Tonfex-01.musicxml", "Tonfex-01.mxl"}) {
        for (const char* old : {"Tonfex-01.xml", "Tonfex-01.musicxml", "Tonfex-01.mxl"})
            std::filesystem::remove(tmp / old);
        testkit::museScore(tmp / "Tonfex-Cap.xml", tmp / name);
        const std::string exported = testkit::readBytes(tmp / name);
        if (std::string(name).ends_with(".mxl"))
            ASSERT_EQ(exported.rfind("PK\x03\x04", 0), 0u) << name;
        else
            ASSERT_NE(exported.find("<note default-x="), std::string::npos) << name;
        zuordnung.clear(), currentPitch = 0, buffer = Pattern{};
        EXPECT_EQ(import(CapellaLesen, tmp / "Tonfex-01.xml"), expected) << name;
        EXPECT_EQ(zuordnung.lines()[2], "Gelesen aus " + (tmp / name).string());
    }
}

using MidoFiles = testkit::ImportTest;

// A format 1 file as mido writes it: the conductor track has no notes, channel 3 of the next
// track is the voice; its chord keeps the highest note, the gap becomes a rest row.
TEST_F(MidoFiles, FormatOneGivesTheFirstVoiceWithRestAndChordTop) {
    ASSERT_EQ(testkit::runLogged("/usr/bin/python3 " +
                                     testkit::shellQuote(TONFEX_TEST_DATA "/notation/mido_format1.py") +
                                     " " + testkit::shellQuote(tmp / "f1.mid"),
                                 tmp / "log.txt"),
              0);
    EXPECT_EQ(import(MidiLesen, tmp / "f1.mid"),
              "72  90  2000\r\n72  1  1000\r\n77  80  2000\r\n76  64  4000\r\n");
    EXPECT_EQ(zuordnung.lines()[3], "Aus f1.mid übergangen: 1 Akkordton, 1 Note weiterer Stimmen");
}
