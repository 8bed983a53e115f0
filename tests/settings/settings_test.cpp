#include "settings/settings.h"
#include "settings/template.h"

#include <gtest/gtest.h>

#include <regex>

using namespace tonfex;

namespace {
Settings read(const std::vector<std::string>& lines, char decimal = '.') {
    IniTable table;
    fillIniTable(table, lines);
    return convertSettings(table, decimal);
}
} // namespace

TEST(IniWert, PrefixMatchBlanksRemovedFirstLineWins) {
    IniTable t;
    fillIniTable(t, {"Titel", " TEMPO 5", "TEMPO     1 5  (tempi) Tempo x", "TEMPO 7",
                     "LAUTVAR   1  (Lva)", "SAMPLE\tX"});
    EXPECT_EQ(IniWert(t, "TEMPO"), "15(tempi)Tempox");
    EXPECT_EQ(IniWert(t, "LAUT"), "VAR1(Lva)");
    EXPECT_EQ(IniWert(t, "tempo"), ""); // case-sensitive
    EXPECT_EQ(IniWert(t, "FEHLT"), "");
    EXPECT_EQ(IniWert(t, "SAMPLE"), "\tX"); // tabs stay
}

TEST(IniTable, ANewReadingReplacesTheOldAndKeeps300Lines) {
    IniTable t;
    fillIniTable(t, {"TEMPO 3"});
    fillIniTable(t, {"SOUND 1"});
    EXPECT_EQ(IniWert(t, "TEMPO"), "");
    std::vector<std::string> many(400, "x");
    many[350] = "TEMPO 9";
    fillIniTable(t, many);
    EXPECT_EQ(t.count, 300);
    EXPECT_EQ(IniWert(t, "TEMPO"), "");
}

TEST(Settings, TemplateValues) {
    Settings s = read(settingsTemplate());
    EXPECT_EQ(s.TONFINDUNGSMETHODE, "1");
    EXPECT_EQ(s.SOUND, "3");
    EXPECT_EQ(s.TEMPO, 1.0f);
    EXPECT_EQ(s.ANZAHL, 1000);
    EXPECT_EQ(s.toneCount, 1000);
    EXPECT_EQ(s.HOCHTON, 1000);
    EXPECT_EQ(s.TRACKZAHL, 1);
    EXPECT_EQ(s.VERZOGERUNG, 10);
    EXPECT_EQ(s.LAUT, 80);
    EXPECT_TRUE(s.lautIsInteger);
    EXPECT_EQ(s.SAMPLETRANSU, -15);
    EXPECT_EQ(s.UNTERGRENZE, -20);
    EXPECT_EQ(s.OBERGRENZE, 310);
    EXPECT_DOUBLE_EQ(s.TONHOHENANDERUNGSFAKTOR, 0.25);
    EXPECT_EQ(s.KURZESTWERT, 16);
    EXPECT_EQ(s.NOTENPROZEILE, 18);
    EXPECT_EQ(s.TAKT, "0");
    EXPECT_DOUBLE_EQ(s.ZWISCHENRAUM, 0.1);
    EXPECT_DOUBLE_EQ(s.Samplepause, 0.1 * 0.1); // TFm 1: ZWISCHENRAUM x 0.1
    EXPECT_EQ(s.SAMPLEEINSCHWING, 2);
    EXPECT_EQ(s.SAMPLEAUSSCHWING, 25);
}

TEST(Settings, Fallbacks) {
    Settings s = read({"ANZAHL -5", "TIEFTON 40", "STARTTON 0", "TRACKZAHL 9", "WIEVIELELOOPS 0",
                       "VORRUCK01 0.5", "INTERVALL 2.5", "TRANSPONI 0.25", "TEMPO 0",
                       "TONFINDUNGSMETHODE 0", "NOTENWERT -1", "LAUTVAR 0", "KLEINERGROSSER 0",
                       "AUTOPAN -3", "TONDAUERDIREKT 7"});
    EXPECT_EQ(s.ANZAHL, 10);
    EXPECT_EQ(s.toneCount, 10);
    EXPECT_EQ(s.STARTTON, 40);
    EXPECT_EQ(s.TRACKZAHL, 8);
    EXPECT_EQ(s.WIEVIELELOOPS, 1);
    EXPECT_TRUE(s.VORRUCK01);
    EXPECT_FALSE(s.VORRUCK02);
    EXPECT_EQ(s.INTERVALL, 2);
    EXPECT_EQ(s.TRANSPONI, 0);
    EXPECT_EQ(s.TEMPO, 1.0f);
    EXPECT_EQ(s.TONFINDUNGSMETHODE, "1");
    EXPECT_EQ(s.NOTENWERT, 8);
    EXPECT_EQ(s.LAUTVAR, 127);
    EXPECT_EQ(s.KLEINERGROSSER, 1);
    EXPECT_EQ(s.AUTOPAN, 0);
    EXPECT_EQ(s.TONDAUERDIREKT, 1);
    EXPECT_EQ(s.HOCHTON, 127);
    EXPECT_EQ(s.SOUND, "0");

    Settings t = read({"TRACKZAHL 0", "WIEVIELELOOPS -2", "INTERVALL 3.5", "TRACKZAHL 3"});
    EXPECT_EQ(t.TRACKZAHL, 8); // the first TRACKZAHL line counts
    EXPECT_EQ(t.WIEVIELELOOPS, -2);
    EXPECT_EQ(t.INTERVALL, 4);
    EXPECT_EQ(read({"TRACKZAHL 3"}).TRACKZAHL, 3);
    EXPECT_EQ(read({" TEMPO 5"}).TEMPO, 1.0f);
    EXPECT_EQ(read({"TEMPO 1 5"}).TEMPO, 15.0f);
    EXPECT_EQ(read({"STARTTON 0"}).STARTTON, 1);
}

TEST(Settings, LautKeepsItsType) {
    Settings s = read({"LAUT 55.5", "LAUTVAR 3"});
    EXPECT_EQ(s.LAUT, 55.5);
    EXPECT_FALSE(s.lautIsInteger);
    EXPECT_EQ(read({"LAUT 0"}).LAUT, 80);
}

TEST(Settings, DamagedValuesAreClampedToTheirType) {
    Settings s = read({"ANZAHL 99999999", "TIEFTON 1e40", "TRANSPONI -700000"});
    EXPECT_EQ(s.ANZAHL, 32767);
    EXPECT_EQ(s.TIEFTON, 2147483647);
    EXPECT_EQ(s.TRANSPONI, -32768);
}

TEST(Settings, ForcingByTheRule) {
    for (char sep : {'.', ','}) {
        Settings t = read({"TONFINDUNGSMETHODE 0.1", "TEMPO 3", "ORIGINALSAMPLEABSTAND 0",
                           "SAMPLETUNING 2", "SAMPLEOFFSETSTART 0.5", "TONDAUERDIREKT 0"},
                          sep);
        EXPECT_EQ(t.TONFINDUNGSMETHODE, sep == ',' ? "0,1" : "0.1");
        EXPECT_EQ(t.tfm(), 0.1);
        EXPECT_EQ(t.TEMPO, 1.0f);
        EXPECT_EQ(t.ORIGINALSAMPLEABSTAND, 1);
        EXPECT_EQ(t.SAMPLETUNING, 0);
        EXPECT_EQ(t.SAMPLEOFFSETSTART, 0);
        EXPECT_EQ(t.TONDAUERDIREKT, 1);
    }
    Settings z = read({"TONFINDUNGSMETHODE .2", "TEMPO 3", "ORIGINALSAMPLEABSTAND 0"});
    EXPECT_EQ(z.tfm(), 0.2);
    EXPECT_EQ(z.TEMPO, 3.0f);
    EXPECT_EQ(z.ORIGINALSAMPLEABSTAND, 0);
    for (int rule : {3, 4, 6})
        EXPECT_EQ(read({"TONFINDUNGSMETHODE " + std::to_string(rule)}).TONDAUERDIREKT, 1);
    EXPECT_EQ(read({"TONFINDUNGSMETHODE 5", "TONDAUERDIREKT 1"}).TONDAUERDIREKT, 0);
    // Samplepause: x 0.1 for rules 1 and 2, x 0.001 otherwise.
    EXPECT_DOUBLE_EQ(read({"TONFINDUNGSMETHODE 2", "ZWISCHENRAUM 10"}).Samplepause, 1.0);
    EXPECT_DOUBLE_EQ(read({"TONFINDUNGSMETHODE 3", "ZWISCHENRAUM 10"}).Samplepause, 0.01);
}

TEST(Settings, ModeControlsAndPatternButtons) {
    MainControls c;
    applyModeControls(read({"SOUND 1"}), c);
    EXPECT_EQ(c.Label2.caption, "D e r   M e l o d i e n s p i e l e r");
    EXPECT_TRUE(c.Startknopf.visible && c.Stopp.visible);
    EXPECT_FALSE(c.Command1.visible || c.Reaperstart.visible);
    applyModeControls(read({"SOUND 3"}), c);
    EXPECT_EQ(c.Label2.caption, "D e r   A u t o s a m p l e r");
    EXPECT_FALSE(c.Startknopf.visible || c.Stopp.visible);
    EXPECT_TRUE(c.Command1.visible && c.Reaperstart.visible);
    applyModeControls(read({"SOUND 7"}), c); // other values change nothing
    EXPECT_EQ(c.Label2.caption, "D e r   A u t o s a m p l e r");

    applyPatternButtons(read({"TONFINDUNGSMETHODE 1"}), c);
    EXPECT_FALSE(c.Patti.visible || c.KeineFrage.visible || c.Capellanotenwandeln2.visible);
    applyPatternButtons(read({"TONFINDUNGSMETHODE 3"}), c);
    EXPECT_TRUE(c.Patti.visible && c.Patti02.visible && c.KeineFrage.visible &&
                c.Capellanotenwandeln.visible && c.Capellanotenwandeln2.visible);
}

TEST(Template, EightyOneLinesWithTheDocumentedBlanks) {
    const auto& t = settingsTemplate();
    ASSERT_EQ(t.size(), 81u);
    EXPECT_EQ(t[0], "Tonfex-Einstellungen - Schlüsselwörter und ihre Werte.");
    EXPECT_EQ(t[80].substr(0, 33), "VERZOGERUNG 10    (Vzg)  ca. 1 bi");
    // Keyword, blanks, value, blanks, "(": the runs of blanks of the documented layout.
    const std::pair<int, std::string> samples[] = {
        {4, "TONFINDUNGSMETHODE 1  ("}, {5, "SOUND     3           ("},
        {24, "SAMPLETRANSU -15      ("}, {33, "WIEDERHOLUNGSDISTANZ 15  ("},
        {54, "ÜBERLAPPUNG    0         ("}, {58, "TONHÖHENÄNDERUNGSFAKTOR   0.25   ("},
        {73, "TAKT          0   ("}, {77, "NOTENPROZEILE  18  ("}};
    for (const auto& [line, start] : samples)
        EXPECT_EQ(t[static_cast<size_t>(line - 1)].substr(0, start.size()), start) << line;
    int empty = 0;
    for (const auto& line : t) empty += line.empty();
    EXPECT_EQ(empty, 23);
}
