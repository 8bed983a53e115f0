// The Play command on the recorder: the messages of a whole play and their times, Stop, the
// tempo rules, the tone list's pages and the summaries.
#include "fixture.h"

#include "core/errors.h"

#include <cstdio>

using namespace tonfex;
using tonfex::testkit::AppTest;

namespace {

std::string hex(std::uint32_t m) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X %02X %02X", m & 0xFF, (m >> 8) & 0xFF, (m >> 16) & 0xFF);
    return text;
}

struct PlayTest : AppTest {
    // MIDI mode, durations taken directly; further settings on top.
    void start(const std::string& melody,
               std::vector<std::pair<std::string, std::string>> more = {}) {
        std::vector<std::pair<std::string, std::string>> values = {
            {"SOUND", "1"}, {"TONFINDUNGSMETHODE", "3"}, {"TONDAUERDIREKT", "1"}, {"TEMPO", "1"}};
        values.insert(values.end(), more.begin(), more.end());
        settings(values);
        testkit::writeBytes(tmp / "Tonfex.txt", melody);
        app.Form_Load();
        midi.messages.clear();
    }
    // The note messages sent, with their times from the first one.
    std::vector<std::pair<double, std::string>> notes() {
        std::vector<std::pair<double, std::string>> out;
        for (const auto& m : midi.messages)
            if ((m.message & 0xF0) == 0x90) out.emplace_back(m.time, hex(m.message));
        for (auto& [time, text] : out)
            time -= midi.messages.front().time;
        return out;
    }
};

// Records how the tone list changes: "clear" or the line added.
struct ListLog : ModelObserver {
    std::vector<std::string> events;
    void lineAdded(const ListBox&, const std::string& line) override { events.push_back(line); }
    void listCleared(const ListBox&) override { events.push_back("clear"); }
};

} // namespace

TEST_F(PlayTest, WholePlaySendsAllOffThenLegatoTonesAtTheirScheduledTimes) {
    start("60 100 4800\r\n64 127 2400\r\n67 1 1200\r\n");
    app.Startknopf_Click();
    ASSERT_EQ(midi.messages.size(), 32u + 7u);
    EXPECT_EQ(hex(midi.messages[0].message), "B0 78 00");
    EXPECT_EQ(hex(midi.messages[31].message), "BF 7B 00");
    // 0.9 s "WAVETABLE" pause; then 1 s, 0.5 s, 0.25 s; velocity = loudness x 0.8.
    const std::vector<std::pair<double, std::string>> expected = {
        {0.9, "90 00 00"}, {0.9, "90 3C 50"}, {1.9, "90 3C 00"}, {1.9, "90 40 66"},
        {2.4, "90 40 00"}, {2.4, "90 43 01"}, {2.65, "90 43 00"}};
    auto n = notes();
    ASSERT_EQ(n.size(), expected.size());
    for (size_t k = 0; k < n.size(); ++k) {
        EXPECT_EQ(n[k].second, expected[k].second);
        EXPECT_NEAR(n[k].first, expected[k].first, 1e-9) << expected[k].second;
    }
    EXPECT_EQ(app.playStartedAt, midi.messages.front().time);
    EXPECT_EQ(app.midi.LetzterTon, 67);
    EXPECT_EQ(app.c.txtNot.text(), "392 Hz");
    EXPECT_EQ(app.c.Text5.text(), "G");
    EXPECT_EQ(
        app.c.Daten.lines(),
        (std::vector<std::string>{"Anzahl der Schleifendurchläufe", "im Tonfindungsgenerator: 0",
                                  "", "1  60  100  4800", "2  64  127  2400", "3  67  1  1200"}));
    EXPECT_EQ(app.s.LAUT, 80);
    // The waits sleep between rounds of the window's events instead of spinning.
    EXPECT_GT(tp.clock.sleeps, 100);
    EXPECT_EQ(tp.events.rounds, tp.clock.sleeps);
    EXPECT_TRUE(app.c.Startknopf.enabled && app.c.Dateiherstellung.enabled);
    EXPECT_EQ(app.c.Startknopf.back, (Rgb{255, 255, 192}));
}

TEST_F(PlayTest, TheTimeTheWindowTakesDoesNotAddUp) {
    start("60 100 480\r\n62 100 480\r\n64 100 480\r\n65 100 480\r\n");
    // Every round of events costs 30 ms, longer than a tone (0.1 s) can absorb in one round.
    tp.events.onProcess = [&] { tp.clock.seconds += 0.03; };
    app.Startknopf_Click();
    auto n = notes();
    ASSERT_EQ(n.size(), 9u);
    double first = n[1].first;
    for (size_t k = 1; k < 9; k += 2)
        EXPECT_NEAR(n[k].first - first, 0.1 * static_cast<double>(k / 2), 0.031) << n[k].second;
}

TEST_F(PlayTest, StopEndsAfterTheSoundingTonesWaitWithoutSummary) {
    start("60 100 4800\r\n62 100 4800\r\n64 100 4800\r\n");
    tp.events.onProcess = [&] {
        // Pressed while the second tone sounds.
        if (app.midi.LetzterTon == 62 && app.StopFlag == 0) app.Stopp_Click();
    };
    app.Startknopf_Click();
    auto n = notes();
    ASSERT_EQ(n.size(), 5u);
    EXPECT_EQ(n[3].second, "90 3E 50");
    EXPECT_EQ(n[4].second, "90 3E 00");
    EXPECT_NEAR(n[4].first, 2.9, 0.003); // the second tone's whole wait
    EXPECT_EQ(app.StopFlag, 0);
    // The list as it stood during the play: no summary after Stop.
    const auto& lines = app.c.Daten.lines();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 6, lines.end()),
              (std::vector<std::string>{"", "Anzahl der Schleifendurchläufe",
                                        "im Tonfindungsgenerator: 0", "", "1  60  100  4800",
                                        "2  62  100  4800"}));
    EXPECT_TRUE(app.c.Startknopf.enabled);
}

TEST_F(PlayTest, TempoRulesGiveTheirDurations) {
    struct Case {
        const char* tfm;
        const char* oga;
        const char* tempo;
        const char* duration;
        double seconds;
    };
    const Case cases[] = {
        {"3", "1", "1", "4800", 1.0},  {"1", "0", "1", "4.8", 1.0},  {"2", "1", "2", "4800", 0.5},
        {"0.2", "1", "2", "480", 0.5}, {"1", "1", "2", "4800", 0.5}, {"4", "0", "4", "4800", 0.25},
        {"0.1", "0", "7", "480", 1.0}, // the test mode plays at TEMPO 1 with Oga 1
    };
    for (const auto& c : cases) {
        start(
            std::string("60 100 ") + c.duration + "\r\n",
            {{"TONFINDUNGSMETHODE", c.tfm}, {"ORIGINALSAMPLEABSTAND", c.oga}, {"TEMPO", c.tempo}});
        app.Startknopf_Click();
        auto n = notes();
        ASSERT_EQ(n.size(), 3u);
        EXPECT_NEAR(n[2].first - n[1].first, c.seconds, 1e-9) << c.tfm << " " << c.duration;
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
    auto at = [&](const std::string& line) {
        return std::find(log.events.begin(), log.events.end(), line) - log.events.begin();
    };
    // Four header lines, tones 1 to 27; the 28th tone starts a page of 28; so does the 56th.
    EXPECT_EQ(log.events[4], "1  60  100  1");
    EXPECT_EQ(log.events[31], "clear");
    EXPECT_EQ(log.events[32], "28  60  100  1");
    EXPECT_EQ(log.events[60], "clear");
    EXPECT_EQ(log.events[61], "56  60  100  1");
    EXPECT_EQ(at("27  60  100  1"), 30);
    // The summary lists every tone without pages.
    EXPECT_EQ(app.c.Daten.count(), 3 + 60);
    EXPECT_EQ(app.c.Daten.lines().back(), "60  60  100  1");
}

TEST_F(PlayTest, EmptyMelodyShowsTheNoTonesLines) {
    start("Keine Zahl\r\n\r\n0 0 0\r\n");
    app.Startknopf_Click();
    EXPECT_EQ(app.c.Daten.lines(),
              (std::vector<std::string>{"", " Keine Töne erzeugt.", " Die Einstellungen in",
                                        " Tonfex.ini müssen", " geändert werden!"}));
    // Only the all-off and the final note off of the (never played) last note.
    ASSERT_EQ(midi.messages.size(), 33u);
    EXPECT_EQ(hex(midi.messages.back().message), "90 00 00");
}

TEST_F(PlayTest, DurationIndexBeyondTheListOrAboveTheArrays) {
    // A longer list first, then the default one of twelve lines: index 13 gives no wait now.
    std::string longList;
    for (int i = 1; i <= 20; ++i)
        longList += "4800\r\n";
    testkit::writeBytes(tmp / "Tonfex-DTC.txt", longList);
    // Rule 2: rules 3 and 6 would take the durations directly.
    start("60 100 13\r\n", {{"TONDAUERDIREKT", "0"}, {"TONFINDUNGSMETHODE", "2"}});
    app.Startknopf_Click();
    EXPECT_EQ(app.melody.Tondauer[1], 4800);
    std::filesystem::remove(tmp / "Tonfex-DTC.txt");
    ensureWorkFolder(tp.files, tmp.folder());
    app.Startknopf_Click();
    EXPECT_EQ(app.melody.Tondauer[1], 0);
    auto n = notes();
    EXPECT_EQ(n.back().first, n[n.size() - 2].first);

    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 100001\r\n");
    EXPECT_THROW(app.Startknopf_Click(), CommandEnd);
    EXPECT_EQ(tp.dialogs.records.back().text,
              "Die Tondauer 100001 in " + app.folder.text("Tonfex.txt") +
                  " ist keine Nummer der Tondauernliste (höchstens 100000).");
    EXPECT_TRUE(app.c.Startknopf.enabled);
}
