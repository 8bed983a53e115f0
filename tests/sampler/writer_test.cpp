#include "sampler/writer.h"

#include "core/errors.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "platform/doubles.h"
#include "rpp_strict.h"
#include "support.h"

#include <gtest/gtest.h>

using namespace tonfex;
using testkit::RppItem;

namespace {

struct Writer : ::testing::Test {
    testkit::TempFolder tmp;
    TestPlatform tp;
    Settings s;
    Melody melody;
    std::vector<std::string> table = emptySampleTable();
    std::int32_t count = 2;
    SamplerState state;
    double Tempoteiler = 0;
    ListBox Daten;
    Button Reaperstart;
    int tones = 0;

    Writer() {
        s.SOUND = "3", s.TONFINDUNGSMETHODE = "3", s.TRACKZAHL = 1, s.ORIGINALSAMPLEDAUER = 0;
        table[1] = "Glocke  1.5  .25  0  1  1  hell";
        table[2] = "Holz  .5  0  -1  .8  .5  ";
        writeTextLines(
            tp.files, tmp / "Tonfex-RPP-01",
            {"<REAPER_PROJECT 0.1", templateRenderLine(tmp.folder()), "  TEMPO 120 4 4"});
        writeTextLines(tp.files, tmp / "Tonfex-RPP-02", {"  <TRACK", kCentredTrackVolpan});
        tp.clock.time = LocalTime{2026, 12, 5, 17, 17, 22};
    }
    void melodyOf(int n, std::int16_t pitch = 1, double duration = 4800,
                  std::int16_t volume = 127) {
        for (int i = 1; i <= n; ++i) {
            melody.Tonhoehe[static_cast<size_t>(i)] = pitch;
            melody.Lautstaerke[static_cast<size_t>(i)] = volume;
            melody.Tondauer[static_cast<size_t>(i)] = duration;
        }
        tones = n;
    }
    std::string write() {
        ProjectRun run{s,     melody, table, count,       state,       Tempoteiler,
                       tones, 7,      Daten, Reaperstart, tp.platform, tmp.folder()};
        Projektschreiber(run);
        return testkit::readBytes(tmp / "Tonfex.rpp");
    }
    // The item lines of the written project, without the head and track lines.
    std::vector<std::string> itemLines() {
        auto lines = splitLines(write());
        return std::vector<std::string>(lines.begin() + 5, lines.end() - 2);
    }
    std::vector<std::vector<RppItem>> strict(bool lengthDue = true) {
        std::vector<std::vector<RppItem>> items;
        EXPECT_EQ(testkit::strictRpp(testkit::readBytes(tmp / "Tonfex.rpp"), items, lengthDue), "");
        return items;
    }
};

} // namespace

TEST_F(Writer, ItemBlockLineByLine) {
    melodyOf(1, 1, 4800, 127);
    s.SAMPLEEINSCHWING = 2, s.SAMPLEAUSSCHWING = 25, s.UBERLAPPUNG = 0.05;
    s.SAMPLEOFFSETSTART = 0.5;
    EXPECT_EQ(encodeLines(itemLines()),
              testkit::readBytes(TONFEX_TEST_DATA "/sampler/item-block.txt"));
    strict();

    // Variants of the LENGTH, NAME, VOLPAN and PLAYRATE lines; fades keep their decimal point.
    melodyOf(5, 2, 4800, 100);
    s.decimal = ',', s.ORIGINALSAMPLEDAUER = 1, s.SAMPLENUMMER = 1, s.SAMPLETUNING = 4;
    s.SAMPLEOFFSETTUNE = 3;
    auto lines = itemLines();
    const size_t last = lines.size() - 21;
    EXPECT_EQ(lines[last + 3], "    LENGTH  .5 ");
    EXPECT_EQ(lines[last + 7], "    FADEIN 1 0.002 0.000000");
    EXPECT_EQ(lines[last + 11], "    NAME  5 ");
    EXPECT_EQ(lines[last + 12], "    VOLPAN  " + signBlankText(100 / 127.0f * 0.8).substr(1) +
                                    "  0.000000  .5  -1.000000");
    EXPECT_EQ(lines[last + 14], "    PLAYRATE 1.00000000000000 1  2  -65536");
    s.SAMPLENUMMER = 2;
    EXPECT_EQ(itemLines()[11], "    NAME Holz.wav");
    melodyOf(1, 1);
    EXPECT_EQ(itemLines()[11], "    NAME hell");
    s.ORIGINALSAMPLEDAUER = 2, s.SAMPLENUMMER = 3, s.SAMPLETUNING = 5;
    lines = itemLines();
    EXPECT_EQ(lines.size(), 18u); // no LENGTH, NAME or PLAYRATE line
    EXPECT_EQ(lines[3], "    LOOP 0");
    strict(false);
}

TEST_F(Writer, PositionsAndAdvancesOnOneToThreeTracks) {
    // Three tracks, seven tones of one second, no gaps: tracks start at 0, 1, 2, items 3 apart.
    melodyOf(7);
    s.TRACKZAHL = 3;
    write();
    auto items = strict();
    std::vector<std::vector<double>> positions(items.size());
    for (size_t t = 0; t < items.size(); ++t)
        for (const auto& item : items[t])
            positions[t].push_back(item.position);
    EXPECT_EQ(positions, (std::vector<std::vector<double>>{{0, 3, 6}, {1, 4}, {2, 5}}));

    // One track, Regel 01 timing: duration 4.8 at TEMPO / 1000 is one second, gaps of 0.1.
    s.TONFINDUNGSMETHODE = "1", s.TRACKZAHL = 1, s.Samplepause = 0.1, s.UBERLAPPUNG = 0.05;
    melodyOf(3, 1, 4.8);
    write();
    items = strict();
    ASSERT_EQ(items[0].size(), 3u);
    EXPECT_NEAR(items[0][1].position, 1.2, 1e-12);
    EXPECT_NEAR(items[0][2].position, 2.4, 1e-12);
    EXPECT_EQ(items[0][0].length, 1.05);

    // Two tracks with gaps, sample lengths as spacing (Oga 1): a = u(i) + u(i+1) + 2g/(4800T) + 2g.
    s.TONFINDUNGSMETHODE = "3", s.TRACKZAHL = 2, s.ORIGINALSAMPLEABSTAND = 1;
    melodyOf(4, 1);
    melody.Tonhoehe[2] = melody.Tonhoehe[4] = 2;
    write();
    items = strict();
    const double g = 0.1;
    EXPECT_NEAR(items[1][0].position, 1.5 + g, 1e-12);
    EXPECT_NEAR(items[0][1].position, 1.5 + 0.5 + 2 * g / 4800 + 2 * g, 1e-12);
    EXPECT_EQ(melody.Tondauer[2], 0.5 * 4800); // the sample length replaced the duration
}

TEST_F(Writer, PanLinesRenderFileAndClipboard) {
    melodyOf(3);
    s.TRACKZAHL = 3, s.AUTOPAN = 1;
    auto lines = splitLines(write());
    EXPECT_EQ(lines[1], "  RENDER_FILE " + (tmp / "Tonfex-051226-1717-22.wav").string());
    EXPECT_EQ(tp.clipboard.text, (tmp / "Tonfex-051226-1717-22.wav").string());
    std::vector<std::string> pans;
    for (const auto& line : lines)
        if (line.rfind("    VOLPAN 1.0", 0) == 0) pans.push_back(line);
    EXPECT_EQ(pans, (std::vector<std::string>{panLine(1), panLine(2), panLine(3)}));
    EXPECT_EQ(panLine(2), "    VOLPAN 1.00000000000000 0.13600000000000 -1.00000000000000");
    strict();

    s.TRACKZAHL = 1; // one track is never panned
    lines = splitLines(write());
    EXPECT_EQ(lines[4], kCentredTrackVolpan);

    // A head without the render line is copied unchanged; the clipboard then holds "".
    writeTextLines(tp.files, tmp / "Tonfex-RPP-01", {"<REAPER_PROJECT 0.1", "  RENDER_FILE x"});
    lines = splitLines(write());
    EXPECT_EQ(lines[1], "  RENDER_FILE x");
    EXPECT_EQ(tp.clipboard.text, "");
    EXPECT_EQ(tp.clipboard.clears, 3);
}

// A head made in another folder (a copied or moved working folder, one made on Windows)
// still renders into the folder in use; a sample name with an umlaut reaches REAPER in UTF-8.
TEST_F(Writer, CopiedFolderRendersIntoItselfAndNamesStayUtf8) {
    melodyOf(1);
    const std::string stamped = (tmp / "Tonfex-051226-1717-22.wav").string();
    for (const std::string& old : {std::string("  RENDER_FILE \"/alt/Arbeit/Test-001.wav\""),
                                   std::string("  RENDER_FILE C:\\Arbeit\\Test-001.wav"),
                                   std::string("RENDER_FILE Test-001.wav")}) {
        writeTextLines(tp.files, tmp / "Tonfex-RPP-01", {"<REAPER_PROJECT 0.1", old});
        EXPECT_EQ(splitLines(write())[1], "  RENDER_FILE " + stamped) << old;
    }
    for (const char* kept :
         {"  RENDER_FILE /alt/Test-001.wav.bak", "  RENDER_FILE /alt/XTest-001.wav"})
        EXPECT_FALSE(isTemplateRenderLine(kept)) << kept;

    table[1] = "Glöckchen-Ω  1.5  .25  0  1  1  hell";
    const std::string project = write();
    EXPECT_TRUE(testkit::has(project, "Glöckchen-Ω"));
    strict();
}

TEST_F(Writer, DatenListsTheItemsAndTheToneCountIsTheOneJustRead) {
    melodyOf(3, 2, 2400, 90);
    melody.Tonhoehe[3] = 1;
    melody.Tonzahl = 1; // left by an earlier rule: the writer takes the three tones read
    s.ORIGINALSAMPLEABSTAND = 1, s.KEYTRANSPOSE = 3;
    write();
    EXPECT_EQ(melody.Tonzahl, 1);
    EXPECT_EQ(strict()[0].size(), 3u);
    const auto& d = Daten.lines();
    ASSERT_EQ(d.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(d.begin() + 6, d.end()),
              (std::vector<std::string>{"1  2  Glocke  1.5  .25  0  1  1  hell  90  2400",
                                        "2  2  Holz  .5  0  -1  .8  .5    90  2400",
                                        "3  1  Glocke  1.5  .25  0  1  1  hell  90  7200"}));
    // Keytranspose from the lowest of the three tones (1), not from tone 1 alone.
    auto lines = splitLines(testkit::readBytes(tmp / "Tonfex.rpp"));
    EXPECT_EQ(lines[5 + 14], "    PLAYRATE 1.00000000000000 1  1  -65536");
}

TEST_F(Writer, FailuresLeaveTheOldProjectWhole) {
    testkit::writeBytes(tmp / "Tonfex.rpp", "alt");
    melodyOf(3000); // a project of several pieces
    auto fails = [&](auto expected, const std::string& text) {
        EXPECT_THROW(write(), decltype(expected));
        EXPECT_EQ(testkit::readBytes(tmp / "Tonfex.rpp"), "alt");
        EXPECT_FALSE(testkit::temporaryFileIn(tmp.dir()));
        EXPECT_TRUE(testkit::has(tp.dialogs.records.back().text, text));
    };
    melody.Tonhoehe[3000] = 9; // not in the catalog; No ends the program after many pieces
    tp.dialogs.answers = {false};
    fails(ProgramEnd(), "Sample Nummer 9");
    melody.Tonhoehe[3000] = 1;
    tp.files.failPath = tmp / "Tonfex.rpp"; // the disk fills while the first piece is written
    fails(CommandEnd(), "konnte nicht geschrieben werden: Schreibfehler");
    tp.files.failPath.clear();
    Tempoteiler = 0;

    s.TONFINDUNGSMETHODE = "1.5", s.ORIGINALSAMPLEABSTAND = 1; // no tempo rule, none set before
    fails(CommandEnd(), "ergibt sich kein Tempo über 0");
    s.TONFINDUNGSMETHODE = "3", s.TEMPO = -1;
    fails(CommandEnd(), "TEMPO -1");
    s.TEMPO = 1;

    std::filesystem::remove(tmp / "Tonfex-RPP-02");
    fails(CommandEnd(), "Tonfex-RPP-02 ist nicht vorhanden!");
    tones = 32768;
    fails(CommandEnd(), "höchstens 32767 Items");
}
