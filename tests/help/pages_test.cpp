#include "help_fixture.h"

#include "generation/ruletable.h"

using namespace tonfex;
using testkit::Lines;
using testkit::PageTest;
using testkit::settingsWith;

TEST(Pages, EveryPageLineForLine) {
    std::string text;
    for (int i = 0; i <= 6; ++i)
        text += testkit::joined(help::explanationPage(i));
    EXPECT_EQ(text, testkit::readBytes(TONFEX_TEST_DATA "/help/pages.txt"));
    // One page per row of the rule table, then none.
    EXPECT_EQ(help::explanationPage(static_cast<int>(ruleTable().size())), ruleTable().back().page);
    EXPECT_TRUE(help::explanationPage(help::lastPage() + 1).empty());
}

TEST_F(PageTest, RegelShowsThePageOfTheRuleAndTheArrowsWrap) {
    LinkFlag = c.Label5.visible = true;
    float index = 2;
    // The page index and the lines shown, against page i.
    auto shown = [&] { return std::pair(index, c.inidat.lines()); };
    auto page = [](int i) { return std::pair(float(i), help::explanationPage(i)); };
    s = settingsWith({{"TONFINDUNGSMETHODE", "6"}});
    help::Ubersicht_Click(view, initial, index);
    EXPECT_EQ(reads, 1);
    EXPECT_FALSE(LinkFlag || c.Label5.visible || c.Daten.visible || List2Gross);
    EXPECT_TRUE(c.erklaplus.visible && c.erklaminus.visible && InidatGross);
    EXPECT_EQ(shown(), page(6));
    // The arrows step through every page and wrap both ways.
    const int last = help::lastPage();
    for (int expected = 7; expected <= last; ++expected) {
        help::erklaplus_Click(c.inidat, index);
        EXPECT_EQ(shown(), page(expected));
    }
    help::erklaplus_Click(c.inidat, index);
    EXPECT_EQ(shown(), page(0));
    for (int expected = last; expected >= 0; --expected) {
        help::erklaminus_Click(c.inidat, index);
        EXPECT_EQ(shown(), page(expected));
    }
    // A rule without a page shows the first; all-tones mode leaves the list empty.
    s = settingsWith({{"TONFINDUNGSMETHODE", "0.1"}}), index = 4;
    help::Ubersicht_Click(view, initial, index);
    EXPECT_EQ(shown(), page(0));
    s = settingsWith({{"TONFINDUNGSMETHODE", "0.2"}}), index = 3;
    help::Ubersicht_Click(view, initial, index);
    EXPECT_EQ(shown(), std::pair(3.0f, Lines{}));
    help::erklaplus_Click(c.inidat, index);
    EXPECT_EQ(shown(), page(4));
}

TEST_F(PageTest, NewRuleInstructionsAndTheDescriptionList) {
    c.erklaplus.visible = LinkFlag = true;
    help::NeueRegelInfo_Click(view);
    EXPECT_FALSE(c.erklaplus.visible || LinkFlag || reads);
    EXPECT_EQ(c.inidat.lines(), help::newRuleLines());

    // The description list toggles between wide (over the other lists) and narrow.
    List2Gross = false;
    const int narrow = c.List2.width;
    help::List2_Click(view);
    EXPECT_TRUE(List2Gross && c.List2.width > narrow && !c.Daten.visible);
    help::List2_Click(view);
    EXPECT_TRUE(!List2Gross && c.Daten.visible && c.List2.width == narrow);
}

TEST_F(PageTest, NotationSummary) {
    s = settingsWith({{"TRANSPOSIWERT", "-3"}, {"TAKT", "716"}, {"VBSCHLUSSEL", "2"}});
    help::Ubersicht_Notenschreiben_Click(view, initial);
    EXPECT_TRUE(LinkFlag && InidatGross);
    EXPECT_EQ(c.inidat.lines(), (Lines{"", "  Takt: 7/16 (TKT)", "  Bass-Schlüssel (VBS)",
                                       "  Transposition: 3 Halbtöne nach unten (TRN)",
                                       "  Der kürzeste Notenwert ist 1/16 (KZW)",
                                       "  Es werden 18 Noten pro Zeile geschrieben (NPZ)"}));
    // The transposition lines (one each) for some values; the defaults' other lines.
    auto transposition = [](int trn) {
        std::string out;
        for (const auto& line :
             help::notationSummary(settingsWith({{"TRANSPOSIWERT", std::to_string(trn)}})))
            if (line.ends_with("(TRN)")) out += line;
        return out;
    };
    EXPECT_EQ(testkit::mapped({0, 1, 5, -1}, transposition),
              (Lines{"  Keine Transposition (TRN)", "  Transposition: 1 Halbton nach oben (TRN)",
                     "  Transposition: 5 Halbtöne nach oben (TRN)",
                     "  Transposition: 1 Halbton nach unten (TRN)"}));
    const auto plain = help::notationSummary(settingsWith({}));
    EXPECT_EQ(plain[0] + "|" + plain[1], "  Keine Taktstriche (TKT)|  Violinschlüssel (VBS)");
}
