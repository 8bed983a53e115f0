#include "fixture.h"

#include "core/errors.h"
#include "core/textfile.h"

#include <array>
#include <set>
#include <sstream>
#include <tuple>

using namespace tonfex;
using testkit::Lines;
using testkit::RuleTest;
using Ints = std::vector<int>;
using Reals = std::vector<double>;

TEST_F(RuleTest, Randi06ReadsListsAndDispatches) {
    testkit::writeBytes(tmp / "Tonfex-Cap-PT.txt", "60 80 4\r\n\r\n62 80 2\r\n");
    testkit::writeBytes(tmp / "Tonfex-Cap-02.txt", "200  90  1200\r\n");
    s.SOUND = "3", s.TONFINDUNGSMETHODE = "4", s.TIEFTON = 30, s.HOCHTON = 127, ctx.Samplezahl = 50;
    script({0.5f});
    Randi06(ctx, tables);
    EXPECT_EQ(std::tuple(s.TIEFTON, s.HOCHTON, s.STARTTON), std::tuple(1, 50, 26));
    EXPECT_EQ(name01, folder.text("Tonfex-Cap-PT.txt"));
    EXPECT_EQ(tp.dialogs.records.at(0).text, "Wert für HT größer 127 eingelesen: 200 - weiter?");
    EXPECT_EQ(Lines(c.Zuordnung.lines().begin(), c.Zuordnung.lines().begin() + 11),
              (Lines{"Pattern aus", name01 + ":", "", "60  80  4", "62  80  2", "", "Pattern aus",
                     name02 + ":", "", "127  90  1200", ""}));
    EXPECT_EQ(Regelname, "Regel 04");
    EXPECT_EQ(melody.Tonzahl, s.WIEVIELELOOPS);

    s.TONFINDUNGSMETHODE = "10";
    EXPECT_THROW(Randi06(ctx, tables), CommandEnd);
    EXPECT_EQ(lastMessage(), "Für TONFINDUNGSMETHODE 10 gibt es keine Regel (TFm).");
    EXPECT_EQ(melody.Tonzahl, 0);

    std::filesystem::remove(tmp / "Tonfex-Cap-PT.txt");
    s.TONFINDUNGSMETHODE = "3";
    EXPECT_THROW(Randi06(ctx, tables), CommandEnd);
    EXPECT_EQ(lastMessage(), folder.text("Tonfex-Cap-PT.txt") +
                                 " ist nicht vorhanden! „tonfex vorgaben“ schreibt die fehlenden "
                                 "Vorgaben.");
}

TEST_F(RuleTest, Regel03ShiftsKeepTheirDistance) {
    fill(p02, {{60, 90, 1200}});
    s.UNTERGRENZE = 0, s.OBERGRENZE = 11, s.WIEDERHOLUNGSDISTANZ = 11, s.WIEVIELELOOPS = 12;
    scriptNoise(5000);
    int n = Regel03(ctx, tables);
    ASSERT_EQ(n, 12);
    auto got = pitches(n);
    std::set<int> distinct(got.begin(), got.end());
    EXPECT_EQ(std::tuple(distinct.size(), *distinct.begin(), *distinct.rbegin()),
              std::tuple(12u, 60, 71));
    EXPECT_EQ(Versuche, 1);
    EXPECT_EQ(c.Zuordnung.lines().back(), "12   " + std::to_string(got.back() - 60));

    // Three shifts and a distance of 5: from the fourth pass on the rule cannot hold.
    c.Zuordnung.clear(), s.OBERGRENZE = 2, s.WIEDERHOLUNGSDISTANZ = 5, s.WIEVIELELOOPS = 5;
    scriptNoise(30000);
    n = Regel03(ctx, tables);
    const auto& z = c.Zuordnung.lines();
    EXPECT_EQ(std::count(z.begin(), z.end(), "Regel nicht eingehalten!"), 2);
    EXPECT_EQ(z[z.size() - 3], "Regel nicht eingehalten!");
    for (int p : pitches(n))
        EXPECT_TRUE(p >= 60 && p <= 62);

    // Distance 0 allows repeats at once; a negative lower bound shifts down.
    s.WIEDERHOLUNGSDISTANZ = 0, s.UNTERGRENZE = -5, s.OBERGRENZE = -5;
    tp.random.numbers.clear();
    n = Regel03(ctx, tables);
    EXPECT_EQ(pitches(n), Ints(5, 55));
    EXPECT_EQ(c.Zuordnung.lines().back(), "5   -5");

    s.UNTERGRENZE = 3, s.OBERGRENZE = 2;
    EXPECT_THROW(Regel03(ctx, tables), CommandEnd);
    EXPECT_EQ(lastMessage(), "OBERGRENZE (2) ist kleiner als UNTERGRENZE (3) - es werden keine "
                             "Töne berechnet.");
}

TEST_F(RuleTest, Regel04InsertsFromTheSecondPassOn) {
    fill(p02, {{60, 90, 4}, {61, 80, 2}, {63, 70, 8}});
    s.WIEVIELELOOPS = 1;
    EXPECT_EQ(Regel04(ctx, tables), 3);
    EXPECT_EQ(tp.random.reseeds, 0);

    s.WIEVIELELOOPS = 2;
    script({0.1f, 0.5f}); // +1 after the 61, then -1 after the 63
    int n = Regel04(ctx, tables);
    EXPECT_EQ(pitches(n), (Ints{60, 61, 63, 60, 61, 62, 63, 62}));
    EXPECT_EQ(durations(n), (Reals{4, 2, 8, 4, 2, 4, 8, 4}));
    EXPECT_EQ(std::pair(int(melody.Lautstaerke[6]), int(Versuche)), std::pair(127, 0));

    // An inserted 60 is a third below the 63: no second insertion.
    script({0.5f});
    n = Regel04(ctx, tables);
    EXPECT_EQ(pitches(n), (Ints{60, 61, 63, 60, 61, 60, 63}));
}

TEST_F(RuleTest, Regel05ReplacesLongTonesByTheTransposedPattern) {
    fill(p01, {{50, 100, 6}});
    fill(p02, {{60, 91, 1}, {62, 92, 1}, {64, 93, 1}});
    s.KURZTON = 2, s.LANGTON = 4, s.WIEVIELELOOPS = 2;
    script({0.0f, 0.5f, 0.99f, 0.4f, 0.0f, 0.7f});
    int n = Regel05(ctx, tables);
    EXPECT_EQ(pitches(n), (Ints{62, 64, 66, 62, 64, 66}));
    EXPECT_EQ(durations(n), (Reals{2, 3, 4, 3, 2, 4}));
    EXPECT_EQ(melody.Lautstaerke[5], 92);

    fill(p01, {{50, 100, 4}, {52, 90, 1}});
    n = Regel05(ctx, tables);
    EXPECT_EQ(pitches(n), (Ints{50, 52, 50, 52}));

    // An empty Pattern 02 is told; the short tones stay.
    fill(p01, {{50, 100, 6}, {52, 90, 1}}), p02.Zeilen = 0;
    n = Regel05(ctx, tables);
    EXPECT_EQ(pitches(n), (Ints{52, 52}));
    EXPECT_EQ(lastMessage(), "Die Patterndatei P02.txt enthält keine Töne.");
}

TEST_F(RuleTest, Regel06PlaysStretchesAndLogsThem) {
    fill(p01, {{48, 100, 400}, {50, 90, 3}, {60, 80, 200}});
    fill(p02, {{60, 70, 100}, {62, 71, 200}, {64, 72, 300}});
    s.WIEVIELELOOPS = 1;
    // Pattern 01 rows 1..3; for row 1 Pattern 02 rows 2 and 1 (given smaller first), row 3: 3.
    script({0.0f, 0.99f, 0.5f, 0.0f, 0.99f, 0.99f});
    int n = Regel06(ctx, tables);
    EXPECT_EQ(pitches(n), (Ints{60, 62, 50, 76}));
    EXPECT_EQ(durations(n), (Reals{100, 200, 3, 150}));
    EXPECT_EQ(readTextLines(tp.files, tmp / "Tonfex-Test2.txt"),
              (Lines{"03.03.2027  09:05:07", "", "1. Schleife:", "Pattern 01:  1 bis 3",
                     "Pattern 02:  1 bis 2", "Pattern 02:  3 bis 3", ""}));

    // Backward: Pattern 01 from row 3 down to 1, Pattern 02 drawn backward then forward.
    s.VORRUCK01 = s.VORRUCK02 = true;
    script({0.0f, 0.99f, 0.6f, 0.0f, 0.99f, 0.7f, 0.5f, 0.0f, 0.2f});
    n = Regel06(ctx, tables);
    EXPECT_EQ(pitches(n), (Ints{76, 74, 72, 50, 60, 62}));
    auto log = readTextLines(tp.files, tmp / "Tonfex-Test2.txt").value();
    EXPECT_EQ(Lines(log.begin() + 3, log.begin() + 6),
              (Lines{"Pattern 01:  3 bis 1", "Pattern 02:  3 bis 1", "Pattern 02:  1 bis 2"}));

    p01.Zeilen = 0;
    const int reseeds = tp.random.reseeds;
    EXPECT_THROW(Regel06(ctx, tables), CommandEnd);
    EXPECT_EQ(lastMessage(), "Die Patterndatei P01.txt enthält keine Töne.");
    EXPECT_EQ(tp.random.reseeds, reseeds);
}

TEST_F(RuleTest, PatternRulesStopAtTheLimitOfTonzahl) {
    fill(p02, {{60, 90, 1}, {62, 90, 1}});
    s.WIEVIELELOOPS = 20000;
    EXPECT_EQ(Regel03(ctx, tables), 32767);
    EXPECT_EQ(lastMessage(),
              "Die Melodie hat die Höchstzahl von 32767 Tönen erreicht - die Regel hört hier auf.");
    EXPECT_EQ(melody.Tonhoehe[32767], 60);

    tp.dialogs.records.clear(), fill(p01, {{48, 90, 400}}),
        s.WIEVIELELOOPS = 16384; // both rows of Pattern 02 in every pass: 32768 tones
    for (int pass = 0; pass < 16384; ++pass)
        script({0.0f, 0.99f, 0.0f, 0.99f});
    EXPECT_EQ(Regel06(ctx, tables), 32767);
    EXPECT_EQ(tp.dialogs.records.size(), 1u);
    s.WIEVIELELOOPS = 16383; // 32766 tones: no message
    EXPECT_EQ(Regel05(ctx, tables), 32766);
    EXPECT_EQ(tp.dialogs.records.size(), 1u);
}

TEST_F(RuleTest, Regel07MakesOnlyTransitionsOfPattern01InRange) {
    // Read as a loop, the steps (interval from the tone before, duration, volume) run
    // a b a c a b d c: after a comes b or c, but after b a only c.
    fill(p01, {{60, 90, 1}, {62, 80, 2}, {63, 90, 1}, {60, 70, 1}, {61, 90, 1}, {63, 80, 2},
               {62, 60, 4}, {59, 70, 1}});
    using Step = std::tuple<int, double, int>;
    auto stepOf = [](const auto& m, size_t k, size_t before) {
        return Step{m.Tonhoehe[k] - m.Tonhoehe[before], m.Tondauer[k], m.Lautstaerke[k]};
    };
    for (int order : {1, 2})
        for (auto [lo, hi] : {std::pair{1, 127}, std::pair{57, 65}}) {
            SCOPED_TRACE(std::to_string(order) + " " + std::to_string(lo));
            std::set<std::vector<Step>> seen;
            for (int j = 0; j < 8; ++j) {
                std::vector<Step> steps;
                for (int q = j; q <= j + order; ++q) {
                    auto k = static_cast<size_t>(q % 8 + 1);
                    steps.push_back(stepOf(p01, k, (k + 6) % 8 + 1));
                }
                seen.insert(steps);
            }
            s.MARKOVORDNUNG = static_cast<std::int16_t>(order), s.TIEFTON = lo, s.HOCHTON = hi;
            s.STARTTON = 61, s.toneCount = 400;
            scriptNoise(400);
            const int n = Regel07(ctx, tables);
            ASSERT_EQ(n, 400);
            auto pitch = [&](size_t i) { return static_cast<int>(melody.Tonhoehe[i]); };
            int checked = 0;
            for (size_t i = 1; i <= static_cast<size_t>(n); ++i) {
                ASSERT_TRUE(pitch(i) >= lo && pitch(i) <= hi);
                if (i < static_cast<size_t>(order) + 2) continue;
                std::vector<Step> steps;
                bool contextClamped = false;
                for (size_t q = i - static_cast<size_t>(order); q <= i; ++q) {
                    steps.push_back(stepOf(melody, q, q - 1));
                    if (q < i) contextClamped = contextClamped || pitch(q) == lo || pitch(q) == hi;
                }
                if (contextClamped) continue;
                ++checked;
                if (seen.count(steps)) continue;
                // Not seen: only when no follower of the context stays in range.
                for (const auto& u : seen)
                    if (std::equal(u.begin(), u.end() - 1, steps.begin())) {
                        const int to = pitch(i - 1) + std::get<0>(u.back());
                        EXPECT_TRUE(to < lo || to > hi) << "tone " << i;
                    }
            }
            EXPECT_GT(checked, 200);
        }
}

TEST_F(RuleTest, Regel08PassesAreTheFourRowFormsWithShiftsKeepingTheirDistance) {
    fill(p02, {{62, 90, 1}, {65, 80, 2}, {62, 70, 3}, {69, 60, 4}, {60, 50, 5}, {65, 40, 6},
               {71, 30, 7}});
    const Ints row = {2, 5, 9, 0, 11};
    Ints inversion;
    for (int pc : row)
        inversion.push_back(((2 * row[0] - pc) % 12 + 12) % 12);
    const std::vector<Ints> forms = {row, Ints(row.rbegin(), row.rend()), inversion,
                                     Ints(inversion.rbegin(), inversion.rend())};
    const Lines names = {"Grundgestalt", "Krebs", "Umkehrung", "Krebsumkehrung"};
    s.UNTERGRENZE = -3, s.OBERGRENZE = 4, s.WIEDERHOLUNGSDISTANZ = 3, s.WIEVIELELOOPS = 60;
    scriptNoise(3000);
    const int n = Regel08(ctx, tables);
    ASSERT_EQ(n, 60 * 5);
    const Lines z = tail(c.Zuordnung, 60);
    EXPECT_EQ(tail(c.Zuordnung, 63).front(), "Reihe: 2 5 9 0 11");
    std::set<std::string> formsUsed;
    Ints shifts;
    for (int pass = 0; pass < 60; ++pass) {
        std::istringstream line(z[static_cast<size_t>(pass)]);
        int number = 0, shift = 0;
        std::string form;
        line >> number >> form >> shift;
        EXPECT_EQ(number, pass + 1);
        EXPECT_TRUE(shift >= -3 && shift <= 4) << shift;
        for (size_t back = 1; back <= 3 && back <= shifts.size(); ++back)
            EXPECT_NE(shifts[shifts.size() - back], shift) << "pass " << pass + 1;
        shifts.push_back(shift);
        auto f = std::find(names.begin(), names.end(), form);
        ASSERT_NE(f, names.end()) << form;
        formsUsed.insert(form);
        Ints played;
        for (size_t t = 1; t <= 5; ++t) {
            const size_t i = static_cast<size_t>(pass) * 5 + t;
            played.push_back(((melody.Tonhoehe[i] - shift) % 12 + 12) % 12);
            EXPECT_EQ(std::tuple(melody.Lautstaerke[i], melody.Tondauer[i]),
                      std::tuple(p02.Lautstaerke[t], p02.Tondauer[t]));
        }
        EXPECT_EQ(played, forms[static_cast<size_t>(f - names.begin())]) << form;
    }
    EXPECT_EQ(formsUsed.size(), 4u);
}

TEST_F(RuleTest, Regel09StepsArePattern02sWeightedByTheirCountAndReflectAtTheBounds) {
    // Steps +2 -1 0 +3 -2 +1 +2 -3: sizes 0, 1, 2, 3 counted 1, 2, 3, 2 times.
    fill(p02, {{60, 90, 1}, {62, 90, 1}, {61, 90, 1}, {61, 90, 1}, {64, 90, 1}, {62, 90, 1},
               {63, 90, 1}, {65, 90, 1}, {62, 90, 1}});
    const std::array<double, 4> weights = {1, 2, 3, 2};
    ClockRandom seeded;
    seeded.useSeed(2026);
    Platform platform{tp.dialogs, tp.clipboard, tp.programs, tp.windows,
                      tp.clock,   tp.events,    seeded,      tp.files};
    RuleContext real{s, melody, c, platform, folder, Regelname, Versuche, 0};
    s.TIEFTON = 40, s.HOCHTON = 80, s.STARTTON = 60, s.toneCount = 25000, s.LAUTVAR = 10,
    s.NOTENWERT = 4;
    std::array<double, 4> counts{};
    int previous = s.STARTTON;
    for (int run = 0; run < 4; ++run) { // 100000 steps in melodies of at most 32767 tones
        ASSERT_EQ(Regel09(real, tables), 25000);
        for (size_t i = 1; i <= 25000; ++i) {
            const int pitch = melody.Tonhoehe[i], size = std::abs(pitch - previous);
            ASSERT_TRUE(pitch >= 40 && pitch <= 80 && size <= 3) << pitch << " " << previous;
            ASSERT_TRUE(melody.Lautstaerke[i] >= 118 && melody.Tondauer[i] >= 1 &&
                        melody.Tondauer[i] <= 4);
            counts[static_cast<size_t>(size)] += 1;
            previous = pitch;
        }
        s.STARTTON = static_cast<std::int16_t>(previous);
    }
    double chi2 = 0;
    for (size_t k = 0; k < 4; ++k) {
        const double expected = 100000 * weights[k] / 8;
        chi2 += (counts[k] - expected) * (counts[k] - expected) / expected;
    }
    EXPECT_LT(chi2, 16.27); // 3 degrees of freedom, p = 0.001

    // One step of +3 between 60 and 66 from 62: up to 65, then back down at the upper bound.
    fill(p02, {{60, 90, 1}, {63, 90, 1}});
    s.TIEFTON = 60, s.HOCHTON = 66, s.STARTTON = 62, s.toneCount = 4;
    EXPECT_EQ(pitches(Regel09(ctx, tables)), (Ints{65, 62, 65, 62}));
}
