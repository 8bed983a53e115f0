#include "app/app.h"
#include "core/textfile.h"
#include "generation/ruletable.h"
#include "settings/settings.h"
#include "settings/template.h"
#include "support.h"

#include <gtest/gtest.h>

using namespace tonfex;

namespace {
Settings read(const std::vector<std::string>& lines, char decimal = '.') {
    IniTable table;
    fillIniTable(table, lines);
    Settings s = convertSettings(table, decimal);
    forceRuleSettings(s);
    return s;
}
} // namespace

TEST(IniWert, PrefixMatchBlanksRemovedFirstLineWinsAndANewReadingReplaces) {
    IniTable t;
    fillIniTable(t, {"Titel", " TEMPO 5", "TEMPO     1 5  (tempi) Tempo x", "TEMPO 7",
                     "LAUTVAR   1  (Lva)", "SAMPLE\tX"});
    // Case-sensitive; tabs stay.
    EXPECT_EQ(testkit::mapped({"TEMPO", "LAUT", "tempo", "FEHLT", "SAMPLE"},
                              [&](const char* key) { return IniWert(t, key); }),
              (std::vector<std::string>{"15(tempi)Tempox", "VAR1(Lva)", "", "", "\tX"}));
    // A new reading replaces the old one and keeps 300 lines.
    fillIniTable(t, {"TEMPO 3"});
    fillIniTable(t, {"SOUND 1"});
    EXPECT_EQ(IniWert(t, "TEMPO"), "");
    std::vector<std::string> many(400, "x");
    many[350] = "TEMPO 9";
    fillIniTable(t, many);
    EXPECT_EQ(t.count, 300);
    EXPECT_EQ(IniWert(t, "TEMPO"), "");
}

TEST(Settings, TemplateValuesFallbacksAndTypes) {
    // The real template's lines through the keyword lookup (LAUT beside LAUTVAR and friends).
    Settings s = read(settingsTemplate());
    EXPECT_EQ(s.TONFINDUNGSMETHODE + s.SOUND + s.TAKT, "130");
    EXPECT_TRUE(s.lautIsInteger);
    // TFm 1: Samplepause is ZWISCHENRAUM x 0.1.
    EXPECT_EQ((std::vector<double>{s.TEMPO, double(s.ANZAHL), double(s.HOCHTON), s.LAUT,
                                   double(s.SAMPLETRANSU), double(s.OBERGRENZE), s.Samplepause}),
              (std::vector<double>{1, 1000, 1000, 80, -15, 310, 0.1 * 0.1}));
    Settings f =
        read({"ANZAHL -5", "TIEFTON 40", "STARTTON 0", "TRACKZAHL 9", "WIEVIELELOOPS 0",
              "VORRUCK01 0.5", "INTERVALL 2.5", "TRANSPONI 0.25", "TEMPO 0", "TONFINDUNGSMETHODE 0",
              "NOTENWERT -1", "LAUTVAR 0", "KLEINERGROSSER 0", "AUTOPAN -3", "TONDAUERDIREKT 7"});
    EXPECT_EQ(f.TONFINDUNGSMETHODE + f.SOUND, "10");
    EXPECT_TRUE(f.VORRUCK01 && !f.VORRUCK02);
    EXPECT_EQ((std::vector<double>{double(f.ANZAHL), double(f.toneCount), double(f.STARTTON),
                                   double(f.TRACKZAHL), double(f.WIEVIELELOOPS),
                                   double(f.INTERVALL), double(f.TRANSPONI), f.TEMPO,
                                   double(f.NOTENWERT), double(f.LAUTVAR), double(f.KLEINERGROSSER),
                                   double(f.AUTOPAN), double(f.TONDAUERDIREKT), double(f.HOCHTON)}),
              (std::vector<double>{10, 10, 40, 8, 1, 2, 0, 1, 8, 127, 1, 0, 1, 127}));
    Settings t = read({"TRACKZAHL 0", "WIEVIELELOOPS -2", "INTERVALL 3.5", "TRACKZAHL 3"});
    // The first TRACKZAHL line counts; a keyword after a blank is none.
    EXPECT_EQ((std::vector<double>{double(t.TRACKZAHL), double(t.WIEVIELELOOPS),
                                   double(t.INTERVALL), double(read({"TRACKZAHL 3"}).TRACKZAHL),
                                   read({" TEMPO 5"}).TEMPO, read({"TEMPO 1 5"}).TEMPO}),
              (std::vector<double>{8, -2, 4, 3, 1, 15}));

    // LAUT keeps its type, 0 falls back to 80; damaged values are clamped to their type.
    Settings l = read({"LAUT 55.5", "LAUTVAR 3"});
    EXPECT_FALSE(l.lautIsInteger);
    Settings d = read({"ANZAHL 99999999", "TIEFTON 1e40", "TRANSPONI -700000"});
    EXPECT_EQ((std::vector<double>{l.LAUT, read({"LAUT 0"}).LAUT, double(d.ANZAHL),
                                   double(d.TIEFTON), double(d.TRANSPONI)}),
              (std::vector<double>{55.5, 80, 32767, 2147483647, -32768}));
}

TEST(Settings, ForcingByTheRule) {
    for (char sep : {'.', ','}) {
        Settings t = read({"TONFINDUNGSMETHODE 0.1", "TEMPO 3", "ORIGINALSAMPLEABSTAND 0",
                           "SAMPLETUNING 2", "SAMPLEOFFSETSTART 0.5", "TONDAUERDIREKT 0"},
                          sep);
        EXPECT_EQ(t.TONFINDUNGSMETHODE, sep == ',' ? "0,1" : "0.1");
        EXPECT_EQ((std::vector<double>{t.tfm(), t.TEMPO, double(t.ORIGINALSAMPLEABSTAND),
                                       double(t.SAMPLETUNING), t.SAMPLEOFFSETSTART,
                                       double(t.TONDAUERDIREKT)}),
                  (std::vector<double>{0.1, 1, 1, 0, 0, 1}));
    }
    Settings z = read({"TONFINDUNGSMETHODE .2", "TEMPO 3", "ORIGINALSAMPLEABSTAND 0"});
    EXPECT_EQ((std::vector<double>{z.tfm(), z.TEMPO, double(z.ORIGINALSAMPLEABSTAND)}),
              (std::vector<double>{0.2, 3, 0}));
    // TONDAUERDIREKT forced for rules 3, 4 and 6, off for 5.
    EXPECT_EQ(testkit::mapped({"3", "4", "6", "5"},
                              [](const char* rule) {
                                  return read({std::string("TONFINDUNGSMETHODE ") + rule,
                                               std::string("TONDAUERDIREKT ") +
                                                   (rule[0] == '5' ? "1" : "0")})
                                      .TONDAUERDIREKT;
                              }),
              (std::vector<std::int16_t>{1, 1, 1, 0}));
    // Samplepause: x 0.1 for rules 1 and 2, x 0.001 otherwise.
    EXPECT_DOUBLE_EQ(read({"TONFINDUNGSMETHODE 2", "ZWISCHENRAUM 10"}).Samplepause, 1.0);
    EXPECT_DOUBLE_EQ(read({"TONFINDUNGSMETHODE 3", "ZWISCHENRAUM 10"}).Samplepause, 0.01);
}

TEST(Settings, ModeControlsAndPatternButtons) {
    MainControls c;
    // The player's buttons, or the sampler's; other values change nothing.
    auto shown = [&](const char* sound) {
        applyModeControls(read({sound}), c);
        return c.Label2.caption.substr(8, 3) + std::to_string(c.Startknopf.visible) +
               std::to_string(c.Stopp.visible) + std::to_string(c.Command1.visible) +
               std::to_string(c.Reaperstart.visible);
    };
    EXPECT_EQ(testkit::mapped({"SOUND 1", "SOUND 3", "SOUND 7"}, shown),
              (std::vector<std::string>{"M e1100", "A u0011", "A u0011"}));

    applyPatternButtons(read({"TONFINDUNGSMETHODE 1"}), c);
    EXPECT_FALSE(c.Patti.visible || c.KeineFrage.visible || c.Capellanotenwandeln2.visible);
    applyPatternButtons(read({"TONFINDUNGSMETHODE 3"}), c);
    EXPECT_TRUE(c.Patti.visible && c.Patti02.visible && c.KeineFrage.visible &&
                c.Capellanotenwandeln.visible && c.Capellanotenwandeln2.visible);
}

TEST(Template, NamesEveryKeywordWithItsAbbreviation) {
    const auto& lines = settingsTemplate();
    for (const auto& [keyword, abbreviation] : settingsKeywords()) {
        if (abbreviation.empty()) continue; // LAUT has no line of its own
        const std::string start = keyword + " ";
        auto line = std::find_if(lines.begin(), lines.end(), [&start](const std::string& l) {
            return l.compare(0, start.size(), start) == 0;
        });
        ASSERT_NE(line, lines.end()) << keyword;
        EXPECT_NE(line->find("(" + abbreviation + ")"), std::string::npos) << *line;
    }
}

TEST(Template, OptionalKeywordsAreReadWhenALineCarriesThem) {
    const Settings plain = read(settingsTemplate());
    EXPECT_EQ(std::pair(plain.ZUFALLSSTART, plain.MARKOVORDNUNG), std::pair(0, std::int16_t{1}));
    EXPECT_EQ(read({"ZUFALLSSTART -1 (Zst)", "MARKOVORDNUNG 2"}).ZUFALLSSTART, -1);
    EXPECT_EQ(read({"ZUFALLSSTART 2147483647"}).ZUFALLSSTART, 2147483647);
    EXPECT_EQ(testkit::mapped({"MARKOVORDNUNG 2", "MARKOVORDNUNG 3", "MARKOVORDNUNG 0"},
                              [](const char* l) { return read({l}).MARKOVORDNUNG; }),
              (std::vector<std::int16_t>{2, 1, 1}));
}

TEST(SettingsConverter, ConvertsAgainWhenALineTheDecimalOrTheGapFactorChanges) {
    SettingsConverter convert;
    IniTable t;
    auto pick = [&](std::vector<std::string> lines, char decimal, double gap) {
        fillIniTable(t, lines);
        const Settings& s = convert(t, decimal, gap);
        return std::vector<double>{double(s.ANZAHL), s.Samplepause, double(s.decimal), s.TEMPO};
    };
    const std::vector<std::string> base = {"TONFINDUNGSMETHODE 3", "ANZAHL 7", "ZWISCHENRAUM 10",
                                           "TEMPO 2"};
    EXPECT_EQ(pick(base, ',', 0.001), (std::vector<double>{7, 0.01, ',', 2}));
    EXPECT_EQ(pick({"TONFINDUNGSMETHODE 3", "ANZAHL 8", "ZWISCHENRAUM 10", "TEMPO 2"}, ',', 0.001),
              (std::vector<double>{8, 0.01, ',', 2}));
    EXPECT_EQ(pick(base, ',', 0.01), (std::vector<double>{7, 0.1, ',', 2}));
    EXPECT_EQ(pick(base, '.', 0.01), (std::vector<double>{7, 0.1, '.', 2}));
    // A line fewer: the dropped keyword falls back.
    EXPECT_EQ(pick({"TONFINDUNGSMETHODE 3", "ANZAHL 7", "ZWISCHENRAUM 10"}, '.', 0.01)[3], 1);
}
