#include "core/errors.h"
#include "melody/melody.h"
#include "melody/zeilenleser.h"
#include "platform/doubles.h"
#include "support.h"

#include <gtest/gtest.h>

using namespace tonfex;

namespace {
RawFields scan(const std::string& line, Reader r = Reader::Player) {
    return scanFields(line, readerSpec(r).widths);
}
std::vector<ToneRow> rows(const std::vector<std::string>& lines, Reader r, ScriptedDialogs& d,
                          bool midi = true, char decimal = '.') {
    return readToneRows(lines, r, midi, decimal, d, "Tonfex.txt");
}
} // namespace

TEST(ScanFields, FieldsWidthsAndLeadingZeros) {
    auto f = scan("60 100 4");
    EXPECT_EQ(f.pitch, "60");
    EXPECT_EQ(f.volume, "100");
    EXPECT_EQ(f.duration, "4");
    f = scan("   60    100   4   ");
    EXPECT_EQ(f.pitch + "|" + f.volume + "|" + f.duration, "60|100|4");
    f = scan("060 0100 4"); // leading zeros are passed over
    EXPECT_EQ(f.pitch + "|" + f.volume + "|" + f.duration, "60|100|4");
    f = scan("60 0 4"); // a lone 0 is its own field
    EXPECT_EQ(f.pitch + "|" + f.volume + "|" + f.duration, "60|0|4");
    f = scan("60 100 0.25");
    EXPECT_EQ(f.duration, "0.25");
    f = scan("60\t100\t4"); // tabs separate like blanks
    EXPECT_EQ(f.pitch + "|" + f.volume + "|" + f.duration, "60|100|4");
    f = scan("60 100 1,5");
    EXPECT_EQ(f.duration, "1,5");
    // Widths: the player takes 4 pitch digits, the score writer 3, the pattern reader 5.
    EXPECT_EQ(scan("12345 1 1").pitch, "1234");
    EXPECT_EQ(scan("12345 1 1", Reader::Score).pitch, "123");
    EXPECT_EQ(scan("12345 1 1", Reader::Pattern).pitch, "12345");
    EXPECT_EQ(scan("1 1 123456789").duration, "12345678");
    EXPECT_EQ(scan("1 1 123456789", Reader::Pattern).duration, "123456");
    // The character after a full field is passed over before the next field is sought.
    auto g = scan("12345 6 7");
    EXPECT_EQ(g.volume + "|" + g.duration, "6|7");
    auto h = scan("60");
    EXPECT_EQ(h.volume + h.duration, "");
}

TEST(ScanFields, NeverReadsOutsideTheLine) {
    for (const std::string& line :
         std::vector<std::string>{"", "0", "-", "9", "0 ", "5 -", std::string(300, ' ') + "5",
                                  "1" + std::string(200, 'x') + "2"})
        EXPECT_NO_THROW(scan(line));
    EXPECT_EQ(scan("1" + std::string(200, 'x') + "2").volume, "");
}

TEST(ReadToneRows, SkipsLinesWithoutANumber) {
    ScriptedDialogs d;
    auto r = rows({"", "Melodie", "60 100 4", "   ", "0", "62 90 2", "", ""}, Reader::Player, d);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[1].pitch, 62);
    EXPECT_EQ(r[1].volume, 90);
    EXPECT_EQ(r[1].durationValue, 2);
    EXPECT_TRUE(d.records.empty());
}

TEST(ReadToneRows, PlayerChecksAndPrompts) {
    ScriptedDialogs d;
    auto r = rows({"0 5 4"}, Reader::Player, d);
    ASSERT_EQ(d.records.size(), 1u);
    EXPECT_EQ(d.records[0].title, "FEHLER");
    EXPECT_EQ(d.records[0].text, "Falschen Wert für HT eingelesen: 0 - weiter?");
    EXPECT_EQ(r[0].pitch, 1);

    d.records.clear();
    r = rows({"200 50 4"}, Reader::Player, d, true);
    EXPECT_EQ(d.records.at(0).text, "Wert für HT größer 127 eingelesen: 200 - weiter?");
    EXPECT_EQ(r[0].pitch, 127);
    d.records.clear();
    r = rows({"200 50 4"}, Reader::Player, d, false); // sample modes keep large numbers
    EXPECT_TRUE(d.records.empty());
    EXPECT_EQ(r[0].pitch, 200);

    r = rows({"60 0 4", "60 300 4"}, Reader::Player, d);
    ASSERT_EQ(d.records.size(), 2u);
    EXPECT_EQ(d.records[0].text,
              "Wert für LT kleiner 1 eingelesen! ...0... (Fehler in Tonfex.txt) - weiter?");
    EXPECT_EQ(d.records[1].text,
              "Wert für LT größer 127 eingelesen! ...300... (Fehler in Tonfex.txt) - weiter?");
    EXPECT_EQ(r[0].volume, 1);
    EXPECT_EQ(r[0].durationValue, 4);
    EXPECT_EQ(r[1].volume, 127);

    d.records.clear();
    r = rows({"60 100 0.25", "60 100"}, Reader::Player, d); // below 1: 1, no prompt
    EXPECT_TRUE(d.records.empty());
    EXPECT_EQ(r[0].durationValue, 1);
    EXPECT_EQ(r[1].durationValue, 1);
}

TEST(ReadToneRows, PatternChecksAndPrompts) {
    ScriptedDialogs d;
    auto r = rows({"200 0 4", "60 300 0", "60 80 1,5"}, Reader::Pattern, d, false);
    ASSERT_EQ(d.records.size(), 3u);
    EXPECT_EQ(d.records[0].text, "Wert für HT größer 127 eingelesen: 200 - weiter?");
    EXPECT_EQ(d.records[1].text, "Wert für LT größer 127 eingelesen: 300 - weiter?");
    EXPECT_EQ(d.records[2].text, "Wert für DT kleiner 1 eingelesen! - weiter?");
    EXPECT_EQ(r[0].pitch, 127);
    EXPECT_EQ(r[0].volume, 1); // no prompt for a low volume
    EXPECT_EQ(r[1].volume, 127);
    EXPECT_EQ(r[1].durationValue, 1);
    EXPECT_EQ(r[2].durationValue, 1); // stops at the comma
}

TEST(ReadToneRows, NoEndsTheProgram) {
    ScriptedDialogs d;
    d.answers = {true, false};
    EXPECT_THROW(rows({"0 5 4", "60 500 4"}, Reader::Player, d), ProgramEnd);
    EXPECT_EQ(d.records.size(), 2u);
}

TEST(ReadToneRows, RowLimitEndsTheCommandWithAMessage) {
    ScriptedDialogs d;
    std::vector<std::string> lines(10001, "60 80 4");
    EXPECT_THROW(rows(lines, Reader::Pattern, d), CommandEnd);
    ASSERT_EQ(d.records.size(), 1u);
    EXPECT_NE(d.records[0].text.find("mehr als 10000"), std::string::npos);
    lines.pop_back();
    EXPECT_EQ(rows(lines, Reader::Pattern, d).size(), 10000u);
}

TEST(Patternleser, ReadsRowsAndMissingFileEndsTheCommand) {
    testkit::TempFolder tmp;
    TestPlatform tp;
    testkit::writeBytes(tmp / "p.txt", "60  80  4\r\n\r\n62  80  2\r\n");
    Pattern buffer;
    Patternleser(tp.files, tp.dialogs, tmp / "p.txt", "p.txt", buffer);
    EXPECT_EQ(buffer.Zeilen, 2);
    EXPECT_EQ(buffer.Tonhoehe[2], 62);
    EXPECT_EQ(buffer.Tondauer[1], 4);
    EXPECT_THROW(Patternleser(tp.files, tp.dialogs, tmp / "fehlt.txt", "fehlt.txt", buffer),
                 CommandEnd);
    EXPECT_EQ(tp.dialogs.records.back().text, "fehlt.txt ist nicht vorhanden!");
    EXPECT_EQ(buffer.Zeilen, 2);
}
