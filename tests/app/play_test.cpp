// The Play command on the recorder: the messages of a whole play and their times, Stop, the
// tempo rules, the tone list's pages and the summaries.
#include "fixture.h"

#include "core/errors.h"
#include "midi/recorded.h"

#include <cmath>
#include <cstdio>

using namespace tonfex;
using tonfex::testkit::AppTest;
using Lines = std::vector<std::string>;

namespace {

struct PlayTest : AppTest {
    // MIDI mode, durations taken directly at tempo 1; further settings on top.
    void start(const std::string& melody, const std::string& more = "") {
        settings("SOUND 1, TONFINDUNGSMETHODE 3, TONDAUERDIREKT 1, TEMPO 1, " + more);
        testkit::writeBytes(tmp / "Tonfex.txt", melody);
        app.Form_Load();
        midi.messages.clear();
    }
    // The note messages, each with its milliseconds after the first message sent.
    Lines notes() {
        Lines out;
        for (const auto& m : midi.messages)
            if ((m.message & 0xF0) == 0x90) {
                char ms[32];
                std::snprintf(ms, sizeof ms, "%.3f ", (m.time - midi.messages[0].time) * 1000);
                out.push_back(ms + testkit::hex(m.message));
            }
        return out;
    }
};

// Records how the tone list changes: "clear" or the line added.
struct ListLog : ModelObserver {
    Lines events;
    void lineAdded(const ListBox&, const std::string& line) override { events.push_back(line); }
    void listCleared(const ListBox&) override { events.push_back("clear"); }
};

} // namespace

TEST_F(PlayTest, WholePlaySendsAllOffThenLegatoTonesAtTheirScheduledTimes) {
    start("60 100 4800\r\n64 127 2400\r\n67 1 1200\r\n");
    // The window sees which tone sounds during its wait (the piano roll marks it).
    std::vector<int> sounding;
    tp.events.onProcess = [&] {
        if (sounding.empty() || sounding.back() != app.soundingTone)
            sounding.push_back(app.soundingTone);
    };
    app.Startknopf_Click();
    EXPECT_EQ(sounding, (std::vector<int>{0, 1, 2, 3}));
    ASSERT_EQ(midi.messages.size(), 32u + 7u);
    // 0.9 s "WAVETABLE" pause; then 1 s, 0.5 s, 0.25 s; velocity = loudness x 0.8.
    EXPECT_EQ(notes(), (Lines{"900.000 90 00 00", "900.000 90 3C 50", "1900.000 90 3C 00",
                              "1900.000 90 40 66", "2400.000 90 40 00", "2400.000 90 43 01",
                              "2650.000 90 43 00"}));
    EXPECT_EQ(app.c.txtNot.text() + " " + app.c.Text5.text(), "392 Hz G");
    const auto& shown = app.c.Daten.lines();
    EXPECT_EQ(Lines(shown.end() - 3, shown.end()),
              (Lines{"1  60  100  4800", "2  64  127  2400", "3  67  1  1200"}));
}

TEST_F(PlayTest, SmallDelaysKeepTheScheduleAStallMovesIt) {
    std::string melody;
    for (int i = 0; i < 8; ++i)
        melody += "60 100 480\r\n"; // 100 ms each
    start(melody);
    // The milliseconds between the starts of successive tones.
    auto gaps = [&] {
        std::vector<double> starts, out;
        for (const auto& m : midi.messages)
            if ((m.message & 0xF0) == 0x90 && (m.message >> 16) > 0) starts.push_back(m.time);
        for (size_t k = 1; k < starts.size(); ++k)
            out.push_back(std::round((starts[k] - starts[k - 1]) * 1e4) / 10);
        midi.messages.clear();
        return out;
    };
    // Every round of events costs 8 ms: the tones keep their absolute times, nothing adds up.
    tp.events.onProcess = [&] { tp.clock.seconds += 0.008; };
    app.Startknopf_Click();
    auto small = gaps();
    ASSERT_EQ(small.size(), 7u);
    double sum = 0;
    for (double g : small) {
        EXPECT_NEAR(g, 100, 9);
        sum += g;
    }
    EXPECT_NEAR(sum, 700, 9);

    // A stall of a second during the third tone: the later tones are moved, each keeps its
    // 100 ms instead of all sounding at once.
    bool stalled = false;
    tp.events.onProcess = [&] {
        if (app.soundingTone == 3 && !stalled) tp.clock.seconds += 1.0;
        stalled = stalled || app.soundingTone == 3;
    };
    app.Startknopf_Click();
    EXPECT_EQ(gaps(), (std::vector<double>{100, 100, 1000, 100, 100, 100, 100}));
}

TEST_F(PlayTest, StopEndsAfterTheSoundingTonesWaitWithoutSummary) {
    start("60 100 4800\r\n62 100 4800\r\n64 100 4800\r\n");
    tp.events.onProcess = [&] { // pressed while the second tone sounds
        if (app.midi.LetzterTon == 62 && !app.stopPressed) app.Stopp_Click();
    };
    app.Startknopf_Click();
    EXPECT_EQ(notes(), (Lines{"900.000 90 00 00", "900.000 90 3C 50", "1900.000 90 3C 00",
                              "1900.000 90 3E 50", "2900.000 90 3E 00"}));
    EXPECT_FALSE(app.stopPressed);
    const auto& lines = app.c.Daten.lines();
    EXPECT_EQ(Lines(lines.end() - 3, lines.end()),
              (Lines{"", "1  60  100  4800", "2  62  100  4800"}));
}

TEST_F(PlayTest, AnEndDuringAToneSilencesItAndClosingEndsEveryChannel) {
    // The window closed (or Ende pressed) while the second tone sounds: the end unwinds the
    // play from its wait.
    start("60 100 4800\r\n62 100 4800\r\n64 100 4800\r\n");
    tp.events.onProcess = [&] {
        if (app.midi.LetzterTon == 62) throw ProgramEnd();
    };
    EXPECT_THROW(app.Startknopf_Click(), ProgramEnd);
    EXPECT_EQ(notes().back(), "1900.000 90 3E 00");
    midi.messages.clear();
    app.Form_Unload();
    Lines closing = testkit::hex(midi);
    ASSERT_EQ(closing.size(), 16u);
    EXPECT_EQ(closing.front() + closing.back(), "B0 7B 00BF 7B 00");
    EXPECT_EQ(midi.closes, 1);
}

TEST_F(PlayTest, TempoRulesGiveTheirDurations) {
    struct Case {
        const char *tfm, *oga, *tempo, *duration, *end;
    };
    const Case cases[] = {
        {"3", "1", "1", "4800", "1900.000"},  {"1", "0", "1", "4.8", "1900.000"},
        {"2", "1", "2", "4800", "1400.000"},  {"0.2", "1", "2", "480", "1400.000"},
        {"1", "1", "2", "4800", "1400.000"},  {"4", "0", "4", "4800", "1150.000"},
        {"0.1", "0", "7", "480", "1900.000"}, // the test mode plays at TEMPO 1 with Oga 1
    };
    for (const auto& c : cases) {
        const std::string more = std::string("TONFINDUNGSMETHODE ") + c.tfm +
                                 ", ORIGINALSAMPLEABSTAND " + c.oga + ", TEMPO " + c.tempo;
        start(std::string("60 100 ") + c.duration + "\r\n", more);
        app.Startknopf_Click();
        EXPECT_EQ(notes().back(), std::string(c.end) + " 90 3C 00") << c.tfm << " " << c.duration;
    }
}

TEST_F(PlayTest, TheToneListIsPagedAtTwentyEight) {
    std::string melody;
    for (int i = 0; i < 60; ++i)
        melody += "60 100 1\r\n";
    start(melody);
    ListLog log;
    app.c.Daten.observer = &log;
    app.Startknopf_Click();
    app.c.Daten.observer = nullptr;
    // Four header lines, tones 1 to 27; the 28th tone starts a page of 28; so does the 56th.
    EXPECT_EQ(log.events[30], "27  60  100  1");
    EXPECT_EQ(Lines(log.events.begin() + 31, log.events.begin() + 33),
              (Lines{"clear", "28  60  100  1"}));
    EXPECT_EQ(Lines(log.events.begin() + 60, log.events.begin() + 62),
              (Lines{"clear", "56  60  100  1"}));
    // The summary lists every tone without pages.
    EXPECT_EQ(app.c.Daten.count(), 3 + 60);
    EXPECT_EQ(app.c.Daten.lines().back(), "60  60  100  1");
}

TEST_F(PlayTest, EmptyMelodyShowsTheNoTonesLines) {
    start("Keine Zahl\r\n\r\n0 0 0\r\n");
    app.Startknopf_Click();
    EXPECT_EQ(app.c.Daten.lines(), (Lines{"", " Keine Töne erzeugt.", " Die Einstellungen in",
                                          " Tonfex.ini müssen", " geändert werden!"}));
    // The all-off and the final note off of the last note (none played yet: note 0).
    EXPECT_EQ(midi.messages.size(), 33u);
    EXPECT_EQ(notes(), Lines{"900.000 90 00 00"});
}

TEST_F(PlayTest, DurationsFromTheListOrDirectlyAndIndicesBeyondTheList) {
    // Rule 2 (rules 3 and 6 take durations directly): index 13 of a longer list first, then
    // of the default list of twelve lines, where it lies beyond the list and keeps the value
    // the longer list left.
    std::string longList;
    for (int i = 1; i <= 20; ++i)
        longList += "4800\r\n";
    testkit::writeBytes(tmp / "Tonfex-DTC.txt", longList);
    start("60 100 5\r\n62 90 13\r\n64 80 2\r\n", "TONDAUERDIREKT 0, TONFINDUNGSMETHODE 2");
    app.Startknopf_Click();
    const auto& d = app.melody.Tondauer;
    EXPECT_EQ(d[2], 4800);
    std::filesystem::remove(tmp / "Tonfex-DTC.txt");
    std::vector<std::string> written;
    EXPECT_EQ(writeMissingDefaults(tp.files, tmp.folder(), written), "");
    app.Startknopf_Click();
    EXPECT_EQ((std::vector<double>{d[1], d[2], d[3]}), (std::vector<double>{2400, 4800, 300}));

    // Directly, with the system's decimal comma.
    start("60 100 1,5\r\n");
    app.decimal = ',';
    app.Startknopf_Click();
    EXPECT_EQ(d[1], 1.5);

    settings("SOUND 1, TONDAUERDIREKT 0");
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 100001\r\n");
    EXPECT_THROW(app.Startknopf_Click(), CommandEnd);
    EXPECT_EQ(tp.dialogs.records.back().text,
              "Die Tondauer 100001 in " + app.folder.text("Tonfex.txt") +
                  " ist keine Nummer der Tondauernliste (höchstens 100000).");
    EXPECT_TRUE(app.c.Startknopf.enabled);
    // Without a melody file: a message, and the window is unlocked.
    std::filesystem::remove(tmp / "Tonfex.txt");
    EXPECT_THROW(app.Startknopf_Click(), CommandEnd);
    EXPECT_EQ(tp.dialogs.records.back().text,
              app.folder.text("Tonfex.txt") + " ist nicht vorhanden!");
    EXPECT_TRUE(app.c.Startknopf.enabled && app.c.Dateiherstellung.enabled);
}
