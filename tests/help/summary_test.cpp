#include "help_fixture.h"

#include <algorithm>

using namespace tonfex;
using testkit::PageTest;
using testkit::settingsWith;

namespace {
bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}
void expectHas(const std::vector<std::string>& lines, std::initializer_list<const char*> wanted) {
    for (const char* line : wanted)
        EXPECT_TRUE(has(lines, line)) << line;
}
} // namespace

TEST(Summary, TemplateSettingsLineByLine) {
    std::string text;
    for (const auto& line : help::summaryLines(settingsWith({})))
        text += line + "\n";
    EXPECT_EQ(text, testkit::readBytes(TONFEX_TEST_DATA "/help/summary-template.txt"));
}

TEST(Summary, MidiModeHasNoSampleLines) {
    auto lines = help::summaryLines(settingsWith({{"SOUND", "1"}}));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "  MIDI mit Wavetable (Snd)");
    EXPECT_EQ(lines[1], "  REGEL 01 (TFm)");
    for (const auto& line : lines)
        EXPECT_EQ(line.find("Sample"), std::string::npos) << line;
}

TEST(Summary, TestModesPatternRulesAndSampleVariants) {
    auto t02 = help::summaryLines(settingsWith({{"TONFINDUNGSMETHODE", "0.2"}}));
    expectHas(t02, {"  REGEL 0.2 (TESTMODUS) (TFm)", "  Alle Töne aus Tonfex-HCR.txt (Anz)"});
    EXPECT_FALSE(has(t02, "  1000 Töne (Anz)"));
    // Rule 05 forces Tdd to 0, which brings the shortest and longest tone.
    auto r5 = help::summaryLines(settingsWith({{"TONFINDUNGSMETHODE", "5"},
                                               {"TONDAUERDIREKT", "1"},
                                               {"KURZTON", "2"},
                                               {"LANGTON", "7"}}));
    expectHas(r5, {"  REGEL 05 (TFm)", "  Tondauern indirekt (Tdd)", "  Kleinster Wert 2 (KTn)",
                   "  Größter Wert 7 (LTn)", "  25 Patterndurchläufe (LOP)"});
    EXPECT_FALSE(has(r5, "  Startton 1 (Sto)"));
    expectHas(
        help::summaryLines(settingsWith({{"TONFINDUNGSMETHODE", "3"}, {"WIEVIELELOOPS", "1"}})),
        {"  1 Patterndurchlauf (LOP)", "  Tondauern direkt (Tdd)",
         "  Pattern-Wiederholungsdistanz 15 (Whd)", "  Maximale Abwärtstransposition -20 (UGr)",
         "  Maximale Aufwärtstransposition 310 (OGr)"});
    expectHas(help::summaryLines(settingsWith({{"TONFINDUNGSMETHODE", "6"}, {"VORRUCK02", "1"}})),
              {"  Pattern 01 vorwärts (VR1)", "  Pattern 02 vorwärts und rückwärts (VR2)"});

    auto lines = help::summaryLines(settingsWith({{"SOUND", "2"},
                                                  {"TONFINDUNGSMETHODE", "2"},
                                                  {"TRACKZAHL", "3"},
                                                  {"AUTOPAN", "1"},
                                                  {"SAMPLETUNING", "3"},
                                                  {"SAMPLESTARTPUNKTMODUS", "2"},
                                                  {"SAMPLEVERSCHIEBUNGSFAKTOR", "0.5"},
                                                  {"ÜBERLAPPUNG", "-0.03"},
                                                  {"ZWISCHENRAUM", "0"},
                                                  {"TRANSPONI", "-2"}}));
    expectHas(lines,
              {"  SAMPLER mit Tonfex-HC.txt (Snd)", "  3 Reaper-Spuren (Trz)",
               "  Autopan ein (Atp)", "  Obergrenze Anzahl Sampleloops: 1 (SPL)",
               "  Tiefstmögliche Sampletransposition: -15 (SAU)",
               "  Höchstmögliche Sampletransposition: 15 (SAO)",
               "  Keine Pausen zwischen den Samples (Zwv)", "  Sample-Überlappung: -0.03 (Ubl)",
               "  Sampletuning mit Melodien (Stn)", "  Sampleverschiebungsfaktor 0.5 (Stf)",
               "  Samplestartpunkt bei Samplewiederholung (Stp)", "  REGEL 02 (TFm)",
               "  Allgemeine Tontransposition -2 (Trs)"});
    // With TFm 2 the transposition factor is shown once, in the Regel 02 group.
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "  Transpositionsfaktor 0.25 (THf)"), 1);
    // The locale's decimal separator shows in every number.
    EXPECT_TRUE(
        has(help::summaryLines(settingsWith({}, ',')), "  Pausen zwischen den Samples: 0,1 (Zwv)"));
}

TEST_F(PageTest, SummaryPreparesTheListAndLinks) {
    c.Label5.bold = true;
    c.erklaplus.visible = true;
    help::Kurzubersicht_Click(view, initial, dialogs, false, false, "C:\\Arbeit\\x.txt");
    EXPECT_EQ(reads, 1);
    EXPECT_TRUE(LinkFlag && InidatGross);
    EXPECT_FALSE(List2Gross || c.erklaplus.visible || c.Daten.visible || c.Label5.bold);
    EXPECT_EQ(c.Label5.caption,
              "Um einen Wert zu verändern, hier oben auf die entsprechende Zeile\r\nklicken. Dann "
              "im Editor - im Clip MUSIK - auf F I N D E N klicken.");
    EXPECT_TRUE(c.inidat.height == 7540 && c.List2.width == 3525 && c.inidat.bold);
    ASSERT_EQ(c.inidat.count(), 31);
    EXPECT_EQ(c.inidat.lines()[0], "");
    EXPECT_TRUE(dialogs.records.empty());
    help::Label5_MouseMove(c.Label5);
    EXPECT_TRUE(c.Label5.bold);
    EXPECT_EQ(c.Label5.fore, colors::black);
}

TEST_F(PageTest, NoticesShowTheirColourAndMessageBeforeTheSummary) {
    std::vector<std::string> shownAtQuestion;
    std::vector<Rgb> colourAtQuestion;
    dialogs.onDialog = [&](const DialogRecord&) {
        shownAtQuestion.push_back(c.inidat.lines()[1]);
        colourAtQuestion.push_back(c.inidat.fore);
    };
    help::Kurzubersicht_Click(view, initial, dialogs, true, true,
                              "C:\\Arbeit\\Tonfex-Proginfo.txt");
    ASSERT_EQ(dialogs.records.size(), 2u);
    EXPECT_FALSE(dialogs.records[0].question);
    EXPECT_EQ(dialogs.records[0].text, "weiter?");
    EXPECT_EQ(dialogs.records[1].text, "weiter? (erst genau lesen!)");
    EXPECT_EQ(shownAtQuestion[0], "  Tonfex.ini, Tonfex-HCR.rpp,");
    EXPECT_EQ(shownAtQuestion[1], "  SAMPLEMIX");
    EXPECT_EQ(colourAtQuestion[0], (Rgb{255, 0, 0}));
    EXPECT_EQ(colourAtQuestion[1], (Rgb{66, 153, 51}));
    EXPECT_EQ(c.inidat.fore, colors::black);
    EXPECT_EQ(c.inidat.lines()[1], "  SAMPLER mit Tonfex-HCR.rpp (Snd)");
    EXPECT_EQ(help::samplemixNotice().size(), 26u);
}

TEST(Summary, PresetNoticeNamesTheDescriptionInThreeEvenLines) {
    auto lines = help::presetNotice("C:\\Arbeit\\Tonfex-Proginfo.txt");
    ASSERT_EQ(lines.size(), 23u);
    EXPECT_EQ(lines[16], "  'C:\\Arbeit\\");
    EXPECT_EQ(lines[17], "  Tonfex-Proginfo.txt'");
    EXPECT_EQ(lines[18], "  werden automatisch");
    EXPECT_EQ(lines[19], "  die zuletzt geladenen Presets eingetragen.");
    EXPECT_EQ(lines[22], "  und ganz nach unten scrollen, um sie anzusehen!");

    // A deep folder is broken at its separators, each line about as long as the others.
    const std::string deep = "/home/komponist/Dokumente/Handbuch/Tonfex/Tonfex-Proginfo.txt";
    auto three = help::presetNotice(deep);
    size_t longest = 0;
    for (size_t i = 16; i < 19; ++i) {
        ASSERT_EQ(three[i].rfind("  ", 0), 0u);
        longest = std::max(longest, three[i].size());
    }
    EXPECT_EQ(three[16].substr(2) + three[17].substr(2) + " " + three[18].substr(2),
              "'" + deep + "' werden automatisch");
    EXPECT_LE(longest, 2 + (deep.size() + 21) / 2);
}
