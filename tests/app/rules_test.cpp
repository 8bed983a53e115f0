#include "fixture.h"

#include "melody/zeilenleser.h"

using namespace tonfex;
using namespace tonfex::testkit;

namespace {
// The window on a fresh default working folder, drawing from the real clock-seeded random source.
struct RealRandomTest : AppTest {
    ClockRandom random;
    Platform real{tp.dialogs, tp.clipboard, tp.programs, tp.windows,
                  tp.clock,   tp.events,    random,      tp.files};
    App window{real, tmp.folder(), '.', OsKind::Windows};
};
} // namespace

TEST_F(RealRandomTest, EveryRuleWritesAMelodyThePlayerReadsBack) {
    for (int tfm = 1; tfm <= 9; ++tfm) {
        SCOPED_TRACE(tfm);
        settings("SOUND 1, TONFINDUNGSMETHODE " + std::to_string(tfm) +
                 ", VERZOGERUNG 0, TEMPO 1000, TIEFTON 48, HOCHTON 84, STARTTON 60, INTERVALL 7, "
                 "ANZAHL 300, UNTERGRENZE -7, OBERGRENZE 7, KURZTON 3, LANGTON 6, WIEVIELELOOPS 8");
        std::filesystem::remove(tmp / "Tonfex.txt");
        window.Form_Load();
        window.Dateiherstellung_Click();
        EXPECT_EQ(window.Regelname, "Regel 0" + std::to_string(tfm));
        ASSERT_GT(window.melody.Tonzahl, 0);
        EXPECT_EQ(window.tonesRead, window.melody.Tonzahl);
        for (const auto& record : tp.dialogs.records)
            ADD_FAILURE() << record.text;
        // A reader that answers every question with No would end the program.
        ScriptedDialogs strict;
        strict.defaultAnswer = false;
        auto lines = readTextLines(tp.files, tmp / "Tonfex.txt");
        ASSERT_TRUE(lines.has_value());
        EXPECT_NO_THROW(readToneRows(*lines, Reader::Player, true, '.', strict, "Tonfex.txt"));
        EXPECT_TRUE(window.c.Dateiherstellung.enabled);
    }
}

TEST_F(RealRandomTest, ASeedMakesTheMelodyAndProjectAgainWithoutTheDrawWaits) {
    // Sample mode with random transpositions: the project writer draws from the seed too.
    const std::string base = "TONFINDUNGSMETHODE 1, ANZAHL 300, SAMPLETUNING 3, "
                             "TONHÖHENÄNDERUNGSFAKTOR 1, SAMPLETRANSU -5, SAMPLETRANSO 5, ";
    auto run = [&](const std::string& more) {
        settings(base + more);
        const double start = tp.clock.seconds;
        window.Dateiherstellung_Click();
        EXPECT_EQ(random.seed(), 0); // the command hands the clock's reseeding back
        return std::tuple{file("Tonfex.txt"), file("Tonfex.rpp"), tp.clock.seconds - start};
    };
    auto shownSeed = [&] {
        const auto& lines = window.c.Daten.lines();
        auto line = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
            return l.rfind("Zufallsstart: ", 0) == 0;
        });
        return line == lines.end() ? std::string() : line->substr(14);
    };
    window.Form_Load();
    const auto [melody, project, seconds] = run("VERZOGERUNG 10, ZUFALLSSTART 42");
    EXPECT_EQ(shownSeed(), "42");
    EXPECT_EQ(run("VERZOGERUNG 0, ZUFALLSSTART 42"), std::tuple(melody, project, seconds));
    EXPECT_NE(std::get<0>(run("VERZOGERUNG 0, ZUFALLSSTART 43")), melody);
    // Without a seed each of the 300 tones waits 10 ms after its draws.
    EXPECT_GT(std::get<2>(run("VERZOGERUNG 10, ZUFALLSSTART 0")), seconds + 3.0);
    EXPECT_EQ(shownSeed(), "");

    // --seed wins over the file; -1 draws a seed that, written into the file, makes it again.
    window.seedOverride = 42;
    EXPECT_EQ(std::get<0>(run("VERZOGERUNG 0, ZUFALLSSTART 5")), melody);
    window.seedOverride = -1;
    const std::string drawn = std::get<0>(run("ZUFALLSSTART 5"));
    const std::string shown = shownSeed();
    ASSERT_NE(shown, "");
    window.seedOverride.reset();
    EXPECT_EQ(std::get<0>(run("ZUFALLSSTART " + shown)), drawn);
}

TEST_F(AppTest, OneSeedServesTheWholeCommandAndTheSummaryNamesIt) {
    settings("SOUND 1, TONFINDUNGSMETHODE 1, ANZAHL 20, TEMPO 1000, ZUFALLSSTART 9");
    app.Form_Load();
    app.Dateiherstellung_Click(); // rule and play: one seeding, then back to the clock
    app.Startknopf_Click();       // a play alone seeds itself
    EXPECT_EQ(tp.random.seedsUsed, (std::vector<std::int32_t>{9, 0, 9, 0}));
    EXPECT_EQ(tp.random.reseeds, 0);
    app.Kurzubersicht_Click();
    EXPECT_EQ(occurrences(joined(app.c.inidat.lines()), "  Zufallsstart 9 (Zst)"), 1u);

    settings("SOUND 1, TONFINDUNGSMETHODE 1, ANZAHL 20, TEMPO 1000");
    tp.random.seedsUsed.clear();
    app.Dateiherstellung_Click();
    EXPECT_TRUE(tp.random.seedsUsed.empty());
    EXPECT_GT(tp.random.reseeds, 0);
    app.Kurzubersicht_Click();
    EXPECT_FALSE(has(joined(app.c.inidat.lines()), "Zufallsstart"));
}
