#include "fixture.h"

#include "core/errors.h"
#include "generation/statistik.h"

using namespace tonfex;
using testkit::Lines;
using testkit::RuleTest;
using Ints = std::vector<int>;
using Reals = std::vector<double>;

namespace {
// The number that makes Int(Rnd * width) + low draw `value`.
float pick(int value, int low, int width) {
    return (static_cast<float>(value - low) + 0.5f) / static_cast<float>(width);
}
} // namespace

TEST_F(RuleTest, Regel01KeepsOnlyPitchesThatFitTheIntervalAndStopsAfter10000Passes) {
    struct Case {
        std::int16_t kg;
        Ints drawn, kept; // each kept pitch is followed by its 2 further draws
    };
    // STARTTON 60, INTERVALL 2, range 60..72: at most 2, at least 2, exactly 2 from the last.
    for (const Case& k : {Case{1, {65, 62, 70, 63}, {62, 63}}, Case{2, {61, 62, 63, 65}, {62, 65}},
                          Case{3, {63, 62, 61, 64}, {62, 64}}}) {
        SCOPED_TRACE(k.kg);
        s = Settings{}, s.SOUND = "1", s.KLEINERGROSSER = k.kg, tp.random.numbers.clear();
        s.TIEFTON = 60, s.HOCHTON = 72, s.STARTTON = 60, s.INTERVALL = 2, s.toneCount = 2;
        size_t next = 0;
        for (int t : k.drawn) {
            script({pick(t, 60, 13)});
            if (next < k.kept.size() && t == k.kept[next]) script({0.0f, 0.0f}), ++next;
        }
        Regel01(ctx);
        EXPECT_EQ(pitches(melody.Tonzahl), k.kept);
        EXPECT_EQ(Versuche, static_cast<int>(k.drawn.size()));
    }

    // No pitch in 60..80 lies exactly 12 from 70: the rule stops after 10000 passes.
    s.TIEFTON = 60, s.HOCHTON = 80, s.STARTTON = 70, s.INTERVALL = 12, s.KLEINERGROSSER = 3;
    s.toneCount = 5, tp.random.fallback = 0.5f;
    Regel01(ctx);
    EXPECT_EQ(std::pair(int(melody.Tonzahl), int(Versuche)), std::pair(0, 10000));
    // Any other KLEINERGROSSER accepts nothing either.
    s.KLEINERGROSSER = 4, s.INTERVALL = 0;
    Regel01(ctx);
    EXPECT_EQ(melody.Tonzahl, 0);
}

TEST_F(RuleTest, Regel01VolumesDurationsWaitsAndListLines) {
    s.TIEFTON = 1, s.HOCHTON = 24, s.INTERVALL = 50, s.LAUTVAR = 127, s.NOTENWERT = 8;
    s.toneCount = 2, s.VERZOGERUNG = 10;
    script({0.0f, 0.0f, 0.0f, 0.5f, 0.99999994f, 0.99999994f});
    const double start = tp.clock.seconds;
    Regel01(ctx);
    EXPECT_EQ(s.INTERVALL, 24);
    EXPECT_EQ(rows(3), (Lines{"1 1 1", "13 127 8", "0 0 0"}));
    // Every draw reseeds; 0.3 s at the start and 10 ms after each pitch and each tone.
    EXPECT_EQ(tp.random.reseeds, 6);
    EXPECT_NEAR(tp.clock.seconds - start, 0.3 + 4 * 0.010, 1e-6);

    s.LAUTVAR = s.NOTENWERT = 1;
    script({0.0f, 0.7f, 0.7f, 0.0f, 0.2f, 0.2f});
    Regel01(ctx);
    EXPECT_EQ(rows(2), (Lines{"1 127 1", "1 127 1"}));
}

TEST_F(RuleTest, RangeTakenFromTheCatalogueAndAnEmptyRangeDrawsNothing) {
    s.SOUND = "3", s.HOCHTON = 127, s.toneCount = 1, ctx.Samplezahl = 40;
    Regel01(ctx);
    EXPECT_EQ(s.HOCHTON, 40);
    s.SOUND = "1", s.HOCHTON = 127;
    Regel01(ctx);
    EXPECT_EQ(s.HOCHTON, 127);

    melody.Tonzahl = 3, s.TIEFTON = 50, s.HOCHTON = 40;
    const int reseeds = tp.random.reseeds;
    EXPECT_THROW(Regel01(ctx), CommandEnd);
    EXPECT_EQ(lastMessage(), "HOCHTON (40) ist kleiner als TIEFTON (50) - es werden keine Töne "
                             "berechnet.");
    EXPECT_EQ(melody.Tonzahl, 0);
    EXPECT_EQ(tp.random.reseeds, reseeds);
    s.SOUND = "3", s.TIEFTON = 1, s.HOCHTON = 127, ctx.Samplezahl = 0;
    EXPECT_THROW(Regel02(ctx), CommandEnd);
    EXPECT_TRUE(testkit::has(lastMessage(), "Anzahl der Samples (0)"));
}

TEST_F(RuleTest, Regel02RepeatsEachPitchByItsLoopCount) {
    s.TIEFTON = 1, s.HOCHTON = 3, s.SAMPLELOOPS = 3, s.LAUTVAR = 1, s.toneCount = 6;
    script({0.5f, 0.1f, 0.9f}); // loop counts 2, 1, 3 for tone numbers 1..3
    // Each pass draws pitch, volume and duration; repeated passes ignore the pitch.
    for (float t : {0.1f, 0.9f, 0.9f, 0.1f, 0.1f, 0.5f})
        script({t, 0.0f, 0.0f});
    Regel02(ctx);
    EXPECT_EQ(pitches(melody.Tonzahl), (Ints{1, 1, 3, 3, 3, 2}));
    EXPECT_EQ(Versuche, 6);
    const auto& z = c.Zuordnung.lines();
    EXPECT_EQ(Lines(z.begin(), z.begin() + 5),
              (Lines{"", "Loops:", "Ton 1 immer 2 mal", "Ton 2 immer 1 mal", "Ton 3 immer 3 mal"}));
    EXPECT_EQ(tail(c.Zuordnung, 5),
              (Lines{"", "1-fach-Loop: 1 mal", "2-fach-Loop: 1 mal", "3-fach-Loop: 1 mal", ""}));
    // With both statistics settings 0 Regel 02 writes no report.
    EXPECT_FALSE(std::filesystem::exists(tmp / "Tonfex-Test.txt"));
}

TEST_F(RuleTest, Regel02StopsAtThousandTonesAndLoopsInMidiModeWithoutCatalogue) {
    s.TIEFTON = 1, s.HOCHTON = 24, s.SAMPLELOOPS = 0, s.toneCount = 5000;
    tp.random.fallback = 0.3f;
    Regel02(ctx);
    EXPECT_EQ(std::pair(int(melody.Tonzahl), int(Versuche)), std::pair(1000, 1000));
    // SAMPLELOOPS 0 counts as 1; without a catalogue the 24 tone numbers of HOCHTON get counts.
    EXPECT_EQ(tail(c.Zuordnung, 3), (Lines{"", "1-fach-Loop: 24 mal", ""}));
    EXPECT_EQ(c.Zuordnung.lines()[25], "Ton 24 immer 1 mal");
}

TEST(CountPitches, MatchesTheDefinitionOnEveryPosition) {
    std::mt19937 gen(3);
    std::uniform_int_distribution<int> pitch(-40, 40);
    std::vector<std::int16_t> tones(2001), counts(2002, -7);
    for (size_t k = 1; k < tones.size(); ++k)
        tones[k] = static_cast<std::int16_t>(pitch(gen));
    for (CountMode mode : {CountMode::Total, CountMode::Running}) {
        countPitches(tones, 2000, mode, counts);
        for (int k = 1; k <= 2000; ++k) {
            int expected = 0;
            for (int j = 1; j <= (mode == CountMode::Total ? 2000 : k); ++j)
                expected += tones[static_cast<size_t>(j)] == tones[static_cast<size_t>(k)];
            ASSERT_EQ(counts[static_cast<size_t>(k)], expected) << k;
        }
        EXPECT_EQ(counts[2001], -7); // beyond n: kept
    }
}

TEST_F(RuleTest, StatisticsFileAndListLinesPerRoutine) {
    melody.Tonhoehe[1] = melody.Tonhoehe[3] = melody.Tonhoehe[4] = 60, melody.Tonhoehe[2] = 62;
    Statistik(ctx, 4);
    EXPECT_EQ(testkit::readBytes(tmp / "Tonfex-Test.txt"),
              "03.03.2027  09:05:07\r\n\r\n1. die Tonnummer 60 kommt 3 mal vor\r\n"
              "2. die Tonnummer 62 kommt 1 mal vor\r\n3. die Tonnummer 60 kommt 3 mal vor\r\n"
              "4. die Tonnummer 60 kommt 3 mal vor\r\n");
    EXPECT_EQ(c.Zuordnung.lines(),
              (Lines{"", "", "Statistik (siehe auch:", folder.text("Tonfex-Test.txt") + "):", "",
                     "1. Tonnummer 60 kommt 3 mal vor", "2. Tonnummer 62 kommt 1 mal vor",
                     "3. Tonnummer 60 kommt 3 mal vor", "4. Tonnummer 60 kommt 3 mal vor"}));

    c.Zuordnung.clear(), s.SAMPLETUNING = 2;
    patternStatistics(ctx, 4);
    EXPECT_EQ(melody.Tonzaehler[3], 2);
    EXPECT_EQ(tail(c.Zuordnung, 2),
              (Lines{"3. Tonnummer 60 zum 2. mal", "4. Tonnummer 60 zum 3. mal"}));
    EXPECT_TRUE(testkit::has(testkit::readBytes(tmp / "Tonfex-Test.txt"),
                             "3. die Tonnummer 60 erscheint zum 2. mal\r\n"));

    // The start-point routine runs last: its total counts and its file stay.
    s.SAMPLESTARTPUNKTMODUS = 1;
    patternStatistics(ctx, 4);
    EXPECT_EQ(melody.Tonzaehler[3], 3);
    EXPECT_TRUE(testkit::has(testkit::readBytes(tmp / "Tonfex-Test.txt"), "3 mal vor"));

    // Modes without a line form: counts, header only.
    c.Zuordnung.clear(), s.SAMPLETUNING = 5, s.SAMPLESTARTPUNKTMODUS = 0;
    patternStatistics(ctx, 4);
    EXPECT_EQ(std::pair(int(melody.Tonzaehler[1]), int(c.Zuordnung.count())), std::pair(3, 3));
    EXPECT_EQ(testkit::readBytes(tmp / "Tonfex-Test.txt"), "03.03.2027  09:05:07\r\n\r\n");
}
