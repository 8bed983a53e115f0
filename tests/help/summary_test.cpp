#include "help_fixture.h"

using namespace tonfex;
using testkit::Lines;
using testkit::PageTest;
using testkit::settingsWith;

namespace {
std::string summaryText(const std::string& values, char decimal = '.') {
    return testkit::joined(help::summaryLines(settingsWith(testkit::keyValues(values), decimal)));
}
} // namespace

TEST(Summary, WholeSummaryForTheTemplateAndItsVariants) {
    // Rule 05 forces Tdd to 0, which brings the shortest and longest tone; with TFm 2 the
    // transposition factor is shown once, in the Regel 02 group.
    const std::pair<const char*, const char*> variants[] = {
        {"", "template"},
        {"SOUND 1", "sound1"},
        {"TONFINDUNGSMETHODE 0.2", "tfm02"},
        {"TONFINDUNGSMETHODE 5, TONDAUERDIREKT 1, KURZTON 2, LANGTON 7", "tfm5"},
        {"TONFINDUNGSMETHODE 3, WIEVIELELOOPS 1", "tfm3"},
        {"TONFINDUNGSMETHODE 6, VORRUCK02 1", "tfm6"},
        {"SOUND 2, TONFINDUNGSMETHODE 2, TRACKZAHL 3, AUTOPAN 1, SAMPLETUNING 3, "
         "SAMPLESTARTPUNKTMODUS 2, SAMPLEVERSCHIEBUNGSFAKTOR 0.5, ÜBERLAPPUNG -0.03, "
         "ZWISCHENRAUM 0, TRANSPONI -2",
         "sound2"}};
    for (const auto& [values, name] : variants)
        EXPECT_EQ(
            summaryText(values),
            testkit::readBytes(std::string(TONFEX_TEST_DATA "/help/summary-") + name + ".txt"))
            << name;
    // The locale's decimal separator shows in every number.
    EXPECT_TRUE(testkit::has(summaryText("", ','), "\n  Pausen zwischen den Samples: 0,1 (Zwv)\n"));
}

TEST_F(PageTest, SummaryPreparesTheListAndLinks) {
    c.Label5.bold = c.erklaplus.visible = true;
    help::Kurzubersicht_Click(view, initial, dialogs, false, false, "C:\\Arbeit\\x.txt");
    EXPECT_EQ(reads, 1);
    EXPECT_TRUE(LinkFlag && InidatGross);
    EXPECT_FALSE(List2Gross || c.erklaplus.visible || c.Daten.visible || c.Label5.bold);
    auto shown = help::summaryLines(s);
    shown.insert(shown.begin(), "");
    EXPECT_EQ(c.inidat.lines(), shown);
    EXPECT_TRUE(dialogs.records.empty());

    // Notices show their message before the summary.
    std::vector<std::string> shownAtQuestion;
    dialogs.onDialog = [&](const DialogRecord&) { shownAtQuestion.push_back(c.inidat.lines()[1]); };
    help::Kurzubersicht_Click(view, initial, dialogs, true, true,
                              "C:\\Arbeit\\Tonfex-Proginfo.txt");
    EXPECT_EQ(testkit::texts(dialogs), (Lines{"weiter?", "weiter? (erst genau lesen!)"}));
    EXPECT_FALSE(dialogs.records[0].question);
    EXPECT_EQ(shownAtQuestion, (Lines{"  Tonfex.ini, Tonfex-HCR.rpp,", "  SAMPLEMIX"}));
    EXPECT_EQ(c.inidat.lines()[1], "  SAMPLER mit Tonfex-HCR.rpp (Snd)");
}

TEST(Summary, NoticesLineForLineAndTheDescriptionInThreeEvenLines) {
    EXPECT_EQ(testkit::joined(help::presetNotice("C:\\Arbeit\\Tonfex-Proginfo.txt")) +
                  testkit::joined(help::samplemixNotice()),
              testkit::readBytes(TONFEX_TEST_DATA "/help/notices.txt"));

    // A deep folder is broken at its separators, each line about as long as the others.
    const std::string deep = "/home/komponist/Dokumente/Handbuch/Tonfex/Tonfex-Proginfo.txt";
    auto three = help::presetNotice(deep);
    EXPECT_EQ(three[16].substr(2) + three[17].substr(2) + " " + three[18].substr(2),
              "'" + deep + "' werden automatisch");
    for (size_t i = 16; i < 19; ++i)
        EXPECT_TRUE(three[i].starts_with("  ") && three[i].size() <= 2 + (deep.size() + 21) / 2);
}
