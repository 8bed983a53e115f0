#include "sampler/tuning.h"

#include "core/errors.h"
#include "platform/doubles.h"
#include "support.h"

#include <gtest/gtest.h>

#include <deque>

using namespace tonfex;

namespace {

struct Chooser : ::testing::Test {
    TestPlatform tp;
    Settings s;
    Melody melody;
    std::vector<std::string> table = emptySampleTable();
    std::int32_t count = 3;
    SamplerState state;
    ListBox Daten;
    std::deque<EntryCache> caches; // each chooser's split entries

    Chooser() {
        s.SOUND = "3";
        table[1] = "Eins  1  .5  2  1  1  erst";
        table[2] = "Zwei  1  .25  -1  1  1  ";
        table[3] = "Drei  1  0  0  1  1  ";
    }
    void tones(std::vector<std::int16_t> pitches, std::vector<std::int16_t> counts = {}) {
        for (size_t k = 0; k < pitches.size(); ++k) {
            melody.Tonhoehe[k + 1] = pitches[k];
            melody.Tonzaehler[k + 1] = k < counts.size() ? counts[k] : 1;
        }
    }
    SampleChooser chooser(std::int16_t lowest = 1) {
        caches.emplace_back(table, count);
        return SampleChooser(s, melody, caches.back(), count, lowest, state, tp.platform, Daten);
    }
};

} // namespace

TEST_F(Chooser, KeytransposeChoices) {
    tones({2, 3, 2, 3, 2});
    auto c0 = chooser(2);
    EXPECT_EQ(c0.choose(1).entry->NAME, "Zwei");
    EXPECT_EQ(c0.choose(2).pitch, 0); // HT of Drei, no transposition
    s.KEYTRANSPOSE = 1, count = 7;
    tones({5, 7, 5});
    table[5] = table[7] = "Fremd  1  0  0  1  1  ";
    auto c1 = chooser(5);
    for (int i : {1, 2, 3}) {
        auto tone = c1.choose(i);
        EXPECT_EQ(tone.entry->NAME, "Eins");
        EXPECT_EQ(tone.pitch, i == 2 ? 4 : 2); // HT 2 of sample 1, tone 2 two steps higher
        EXPECT_EQ(tone.start, 0.5);
    }
    s.KEYTRANSPOSE = 3, count = 2;
    tones({4, 4, 4, 4, 4});
    auto c3 = chooser(4);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(c3.choose(i).entry->NAME, i % 2 ? "Eins" : "Zwei");
    s.KEYTRANSPOSE = 2, count = 3;
    tp.random.numbers = {0.0f, 0.99f, 0.5f};
    auto c2 = chooser(4);
    int tone = 0;
    for (const char* name : {"Eins", "Drei", "Zwei"})
        EXPECT_EQ(c2.choose(++tone).entry->NAME, name);
    EXPECT_EQ(tp.random.reseeds, 3);
    s.KEYTRANSPOSE = 4;
    EXPECT_EQ(chooser(4).choose(1).entry->NAME, "Eins");
}

TEST_F(Chooser, MissingSampleQuestion) {
    count = 30;
    tones({40, 2});
    tp.dialogs.answers = {true};
    auto c = chooser();
    EXPECT_EQ(c.choose(1).entry->NAME, "Eins");
    EXPECT_EQ(testkit::texts(tp.dialogs),
              std::vector<std::string>{
                  "Das Programm möchte ein Sample Nummer 40 aus der Datei Tonfex-HCR.rpp \r\n\r\n"
                  "wiedergeben. Diese Datei enthält aber nur eine geringere Zahl von Samples! "
                  "\r\n\r\nNur das erste Sample aus Tonfex-HCR.rpp verwenden? (Nein = "
                  "Programmabbruch!)"});
    EXPECT_TRUE(s.NurErstesSample);
    EXPECT_EQ(c.choose(2).entry->NAME, "Eins"); // an existing entry now plays sample 1 as well
    EXPECT_EQ(tp.dialogs.records.size(), 1u);

    s.NurErstesSample = false, s.SOUND = "2";
    tp.dialogs.answers = {false};
    EXPECT_THROW(chooser().choose(1), ProgramEnd);
    EXPECT_EQ(tp.dialogs.records.back().text,
              "Das Programm möchte ein Sample von der Zeile 40 in der Datei\r\n\r\n"
              "Tonfex-HC.txt wiedergeben. Dort ist aber kein Sample eingetragen! \r\n\r\n"
              "Nur die erste Zeile in Tonfex-HC.txt verwenden? (Nein = Programmabbruch!)");
}

TEST_F(Chooser, TuningAndStartShiftModes) {
    tones({3, 3, 3}, {1, 2, 3});
    s.TONHOHENANDERUNGSFAKTOR = 0.25, s.SAMPLEOFFSETTUNE = 1, s.SAMPLEVERSCHIEBUNGSFAKTOR = 0.1;
    s.SAMPLEOFFSETSTART = 0.01;
    for (int stn : {1, 2, 4}) {
        s.SAMPLETUNING = static_cast<std::int16_t>(stn);
        s.SAMPLESTARTPUNKTMODUS = static_cast<std::int16_t>(stn == 4 ? 1 : stn);
        auto tone = chooser().choose(3);
        EXPECT_EQ(tone.pitch, stn == 4 ? 0.5 : 1.5);
        EXPECT_DOUBLE_EQ(tone.start, 0.2 + 0 + 0.01);
    }
    s.SAMPLETUNING = 5, s.SAMPLESTARTPUNKTMODUS = 3; // unknown modes keep the last terms
    auto kept = chooser().choose(1);
    EXPECT_EQ(kept.pitch, 1.5);
    EXPECT_DOUBLE_EQ(kept.start, 0.21);
    s.SAMPLETUNING = s.SAMPLESTARTPUNKTMODUS = 0;
    auto plain = chooser().choose(3);
    EXPECT_EQ(std::pair(plain.pitch, plain.start), std::pair(1.0, 0.01));
}

TEST_F(Chooser, RandomTranspositionsAvoidRepeatsAndStayBounded) {
    s.SAMPLETUNING = 3, s.TONHOHENANDERUNGSFAKTOR = 1, s.SAMPLETRANSU = -15, s.SAMPLETRANSO = 15;
    tones({3, 3, 3}, {1, 1, 1}); // Drei: HT 0
    // -1 + Int(r * 3): 0.5 gives 0 (the start value of both previous draws), 0.9 gives 1.
    tp.random.numbers = {0.5f, 0.9f, 0.9f, 0.5f, 0.0f};
    auto c = chooser();
    EXPECT_EQ(c.choose(1).pitch, 1);
    EXPECT_EQ(c.choose(2).pitch, -1);
    EXPECT_EQ(tp.random.reseeds, 5);
    EXPECT_EQ(Daten.lines(),
              (std::vector<std::string>{"Ton 1: Transposition 1", "Ton 2: Transposition -1"}));

    // Outside the range: drawn again; 10 * -1 lies below -5.
    s.TONHOHENANDERUNGSFAKTOR = 10, s.SAMPLETRANSU = -5;
    tp.random.numbers = {0.0f, 0.9f}, tp.random.reseeds = 0;
    EXPECT_EQ(chooser().choose(3).pitch, 10);
    EXPECT_EQ(tp.random.reseeds, 2);

    // No draw can fit (count 0, range above 0): one draw, then the nearest limit.
    tones({3}, {0});
    s.SAMPLETRANSU = 2, tp.random.reseeds = 0;
    EXPECT_EQ(chooser().choose(1).pitch, 2);
    EXPECT_EQ(tp.random.reseeds, 1);
    EXPECT_EQ(Daten.lines().back(), "Ton 1: Transposition 2");

    // A fitting value exists but is never drawn: the draws stop at the bound.
    tones({3}, {5});
    s.TONHOHENANDERUNGSFAKTOR = 1, s.SAMPLETRANSU = s.SAMPLETRANSO = 0;
    tp.random.fallback = 0.0f, tp.random.reseeds = 0; // always -5
    EXPECT_EQ(chooser().choose(1).pitch, 0);
    EXPECT_EQ(tp.random.reseeds, kMaxDrawsPerTone);
}
