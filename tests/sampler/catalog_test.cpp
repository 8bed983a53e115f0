#include "sampler/catalog.h"

#include "core/errors.h"
#include "core/textfile.h"
#include "platform/doubles.h"
#include "support.h"

#include <gtest/gtest.h>

using namespace tonfex;

namespace {

// The scan over lines held in memory.
ProjectScan scan(const std::vector<std::string>& lines, std::vector<std::string>* listing,
                 char decimal) {
    size_t at = 0;
    return scanSampleProject(
        [&](std::string& line) { return at < lines.size() && (line = lines[at++], true); }, listing,
        decimal);
}

// One REAPER item with the lines the catalog reads, in REAPER's order and indentation.
std::vector<std::string>
item(const std::string& name, const std::string& length = "1.50000000000000",
     const std::string& volpan =
         "1.00000000000000 0.00000000000000 1.00000000000000 -1.00000000000000",
     const std::string& playrate = "1.00000000000000 1 0.00000000000000 -1 0 0.0025") {
    return splitLines(
        "    <ITEM\n      POSITION 2.00000000000000\n      LENGTH " + length +
        "\n      FADEIN 1 0.01 0 1 0 0 0\n      IID 1\n      NAME " + name + "\n      VOLPAN " +
        volpan + "\n      SOFFS 0.25000000000000\n      PLAYRATE " + playrate +
        "\n      CHANMODE 0\n      <SOURCE WAVE\n        FILE \"x.wav\"\n" + "      >\n    >");
}

std::vector<std::string> project(const std::vector<std::vector<std::string>>& items) {
    std::vector<std::string> lines = {"<REAPER_PROJECT 0.1", "  <TRACK", "    NAME Spur"};
    for (const auto& i : items)
        lines.insert(lines.end(), i.begin(), i.end());
    lines.insert(lines.end(), {"  >", ">"});
    return lines;
}

struct CatalogRead : ::testing::Test {
    testkit::TempFolder tmp;
    TestPlatform tp;
    std::vector<std::string> table = emptySampleTable();
    std::int32_t count = 0;
    void readHC() { HCLeser(tp.files, tp.dialogs, tmp.folder(), table, count); }
    void readHCR(double sound) {
        Katalogleser(tp.files, tp.dialogs, tp.clock, tmp.folder(), sound, '.', table, count);
    }
};

} // namespace

TEST(Catalog, ValueRulesOfTheProjectSubsetAndTheListing) {
    // The first value starts two characters after the keyword; the last character is never read.
    EXPECT_EQ(
        testkit::mapped({1, 3, 4, 5},
                        [](int k) { return keywordValue("      VOLPAN 0.5 0.3 1 -1", 6, 6, k); }),
        (std::vector<std::string>{"0.5", "1", "-", ""}));
    EXPECT_EQ(keywordValue("LENGTH 1.50000000000000", 0, 6, 1), "1.5000000000000");
    // A name ends at a blank; "é" is one letter, not two bytes.
    EXPECT_EQ(testkit::mapped({"NAME \"Glocke.wav-hell\"", "NAME \"Glocke 01.wav\"", "NAME x",
                               "NAMEé\"Glocke.wav\""},
                              [](const char* l) { return keywordValue(l, 0, 4, 1); }),
              (std::vector<std::string>{"\"Glocke.wav-hell", "\"Glocke", "", "\"Glocke.wav"}));

    auto scanned =
        scan(project({item("\"A.wav\"", "0.123456789", "0.5 0.3 1 -1", "1 1 -2.5 -1 0 0.0025"),
                      item("\"B.wav-hoch\"", "0.12350000000000"), item("\"Glocke 01.wav\"")}),
             nullptr, '.');
    EXPECT_FALSE(scanned.truncated || scanned.tooMany);
    EXPECT_EQ(scanned.entries, (std::vector<std::string>{"A   .123   .25  -2.5   .5   1  ",
                                                         "B   .124   .25   0   1   1  hoch",
                                                         "Glock   1.5   .25   0   1   1  "}));

    auto first = item("\"A.wav\"");
    first.erase(first.begin() + 7); // no SOFFS: the next item's lines complete this entry
    EXPECT_EQ(
        scan(project({first, item("\"B.wav\""), item("\"C.wav\"")}), nullptr, '.').entries,
        (std::vector<std::string>{"A   1.5   .25   0   1   1  ", "C   1.5   .25   0   1   1  "}));

    auto split = [](const std::string& take) {
        std::string name, inf;
        splitTakeName(take, name, inf);
        return name + "|" + inf;
    };
    EXPECT_EQ(testkit::mapped({"Glocke.wav-hell", "Glocke.wav", "Glocke-2.wav", "\"Glocke",
                               "\"Glocke.wav-hell-2", "", "\"Glockä"},
                              split),
              (std::vector<std::string>{"Glocke|hell", "Glocke|", "Glocke-2|", "Glock|",
                                        "Glocke|hell-2", "|", "Glock|"}));

    // A name from column 8 that reaches column 30 pushes DT to the next line.
    std::vector<std::string> listing = listingHead(LocalTime{2026, 12, 5, 17, 17, 22}, "L.txt");
    scan(project({item("\"Glocke.wav-hell\""), item("\"" + std::string(23, 'x') + ".wav\"")}),
         &listing, ',');
    EXPECT_EQ(encodeLines(listing), testkit::readBytes(TONFEX_TEST_DATA "/sampler/listing.txt"));
}

TEST_F(CatalogRead, ReadersListAndEntryFields) {
    writeTextLines(tp.files, tmp / "Tonfex-HC.txt",
                   {"", "Glocke   1.5   .25   0   1   1  hell", "Holz  2  0  -1  1  .5"});
    readHC();
    EXPECT_EQ(count, 3);
    ListBox list;
    Katalogliste(table, count, list);
    EXPECT_EQ(list.lines(),
              (std::vector<std::string>{
                  "", "Tonnummern, zugeordnete", "Samples und deren Tondauern:", "",
                  "In den ersten Zeilen von", "Tonfex-HC.txt steht nichts.", "",
                  "2 = Glocke   1.5   .25   0   1   1  hell", "3 = Holz  2  0  -1  1  .5", ""}));
    EXPECT_EQ(catalogEntry(table, count, 4), "");
    EXPECT_EQ(catalogEntry(table, 2, 3), ""); // above the catalog's count nothing is read

    auto fields = [](const std::string& entry) {
        auto f = Eintragsleser(entry, entryName(entry));
        return f.DT + "|" + f.ZTP + "|" + f.HT + "|" + f.LT1 + "|" + f.LT2 + "|" + f.INF;
    };
    EXPECT_EQ(fields(table[2]) + fields("Glocke   1.5   .25   0   1   1  "),
              "1.5|.25|0|1|1|hell1.5|.25|0|1|1|");
    EXPECT_EQ(entryName(std::string(120, 'n') + " 1"), std::string(99, 'n'));
    EXPECT_EQ(entryName("Glöckchen 1"), "Glöckchen");

    // A missing list ends the command and leaves the catalog as it was.
    std::filesystem::remove(tmp / "Tonfex-HC.txt");
    EXPECT_THROW(readHC(), CommandEnd);
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(testkit::has(tp.dialogs.records.back().text, "Tonfex-HC.txt ist nicht vorhanden"));
}

TEST_F(CatalogRead, KatalogleserBuildsTheTableOrEndsTheProgram) {
    table[5] = "alt"; // left by a former read of five entries
    count = 5;
    auto read = [&] { readHCR(3); };
    writeTextLines(tp.files, tmp / "Tonfex-HCR.rpp",
                   project({item("\"A.wav\""), item("\"B.wav-hoch\"")}));
    read();
    EXPECT_EQ(count, 2);
    EXPECT_EQ(table[2], "B   1.5   .25   0   1   1  hoch");
    EXPECT_EQ(table[5], "");
    EXPECT_EQ(splitLines(testkit::readBytes(tmp / "Tonfex-HCR.txt")).size(), 22u);

    auto cut = project({item("\"A.wav\""), item("\"B.wav\"")});
    cut.resize(cut.size() - 8); // the second item ends before its PLAYRATE
    writeTextLines(tp.files, tmp / "Tonfex-HCR.rpp", cut);
    EXPECT_THROW(read(), ProgramEnd);
    EXPECT_EQ(
        tp.dialogs.records.back().text,
        (tmp / "Tonfex-HCR.rpp").string() +
            " endet mitten im Item 2 (PLAYRATE fehlt) - die Samplesammlung ist unvollständig!");
    EXPECT_EQ(splitLines(testkit::readBytes(tmp / "Tonfex-HCR.txt")).size(), 21u);

    std::filesystem::remove(tmp / "Tonfex-HCR.rpp");
    EXPECT_THROW(read(), ProgramEnd);
    EXPECT_EQ(testkit::readBytes(tmp / "Tonfex-HCR.txt"), "");
}

TEST_F(CatalogRead, MoreEntriesThanTheCountHoldsAreRefused) {
    count = 5;
    writeTextLines(tp.files, tmp / "Tonfex-HC.txt", std::vector<std::string>(32768, "A  1"));
    EXPECT_THROW(readHC(), CommandEnd);
    EXPECT_EQ(count, 5);
    EXPECT_TRUE(testkit::has(tp.dialogs.records.back().text, "mehr als 32767 Zeilen"));

    std::vector<std::string> lines;
    for (int k = 0; k < 32768; ++k)
        lines.insert(lines.end(), {"<ITEM", "LENGTH 1 ", "NAME \"a.wav\"", "VOLPAN 1 0 1 -1",
                                   "SOFFS 0 ", "PLAYRATE 1 1 0 -1"});
    writeTextLines(tp.files, tmp / "Tonfex-HCR.rpp", lines);
    EXPECT_THROW(readHCR(4), ProgramEnd);
    EXPECT_EQ(count, 32767);
    EXPECT_TRUE(testkit::has(tp.dialogs.records.back().text, "mehr als 32767 Samples"));
}
