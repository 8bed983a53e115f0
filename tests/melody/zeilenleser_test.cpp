#include "core/errors.h"
#include "melody/melody.h"
#include "melody/zeilenleser.h"
#include "platform/doubles.h"
#include "support.h"

#include <gtest/gtest.h>

#include <random>

using namespace tonfex;
using testkit::mapped;
using testkit::texts;
using Lines = std::vector<std::string>;

namespace {
std::string scan(const std::string& line, Reader r = Reader::Player) {
    auto f = scanFields(line, readerLimits(r).widths);
    return f.pitch + "|" + f.volume + "|" + f.duration;
}
// The rows read, each as "pitch volume duration".
Lines rows(const Lines& lines, Reader r, ScriptedDialogs& d, bool midi = true) {
    Lines out;
    for (const auto& row : readToneRows(lines, r, midi, '.', d, "Tonfex.txt"))
        out.push_back(std::to_string(row.pitch) + " " + std::to_string(row.volume) + " " +
                      testkit::shortest(row.durationValue));
    return out;
}
} // namespace

TEST(ScanFields, FieldsWidthsAndLeadingZeros) {
    // Leading zeros are passed over, a lone 0 is its own field, tabs separate like blanks.
    // Widths: the player takes 4 pitch digits, the score writer 3, the pattern reader 5; the
    // character after a full field is passed over before the next field is sought.
    auto player = [](const std::string& line) { return scan(line); };
    EXPECT_EQ(mapped({"60 100 4", "   60    100   4   ", "060 0100 4", "60 0 4", "60 100 0.25",
                      "60\t100\t4", "60 100 1,5", "12345 1 1", "1 1 123456789", "12345 6 7", "60"},
                     player),
              (Lines{"60|100|4", "60|100|4", "60|100|4", "60|0|4", "60|100|0.25", "60|100|4",
                     "60|100|1,5", "1234|1|1", "1|1|12345678", "1234|6|7", "60||"}));
    EXPECT_EQ(scan("12345 1 1", Reader::Score) + " " + scan("12345 1 1", Reader::Pattern) + " " +
                  scan("1 1 123456789", Reader::Pattern),
              "123|5|1 12345|1|1 1|1|123456");
    // A field is sought in at most 101 characters; widths and the search count letters.
    for (const std::string letter : {"x", "ä"}) {
        std::string line = "1";
        while (line.size() < 1 + 200 * letter.size())
            line += letter;
        EXPECT_EQ(scan(line + "2"), "1" + letter + letter + letter + "||2");
    }
    // Never reads outside the line.
    for (const std::string& line :
         Lines{"", "0", "-", "9", "0 ", "5 -", std::string(300, ' ') + "5"})
        EXPECT_NO_THROW(scan(line));
}

TEST(ReadToneRows, PlayerChecksAndPrompts) {
    ScriptedDialogs d;
    // Lines without a number are skipped; a duration below 1 becomes 1 without a prompt.
    EXPECT_EQ(rows({"", "Melodie", "60 100 4", "   ", "0", "62 90 2", "", "60 100 0.25", "60 100"},
                   Reader::Player, d),
              (Lines{"60 100 4", "62 90 2", "60 100 1", "60 100 1"}));
    EXPECT_TRUE(d.records.empty());
    EXPECT_EQ(rows({"0 5 4", "200 50 4", "60 0 4", "60 300 4"}, Reader::Player, d),
              (Lines{"1 5 4", "127 50 4", "60 1 4", "60 127 4"}));
    EXPECT_EQ(d.records.at(0).title, "FEHLER");
    EXPECT_EQ(texts(d),
              (Lines{"Falschen Wert für HT eingelesen: 0 - weiter?",
                     "Wert für HT größer 127 eingelesen: 200 - weiter?",
                     "Wert für LT kleiner 1 eingelesen! ...0... (Fehler in Tonfex.txt) - weiter?",
                     "Wert für LT größer 127 eingelesen! ...300... (Fehler in Tonfex.txt) - "
                     "weiter?"}));
    d.records.clear();
    EXPECT_EQ(rows({"200 50 4"}, Reader::Player, d, false), Lines{"200 50 4"}); // sample modes
    EXPECT_TRUE(d.records.empty());

    d.answers = {true, false}; // No ends the program
    EXPECT_THROW(rows({"0 5 4", "60 500 4"}, Reader::Player, d), ProgramEnd);
    EXPECT_EQ(d.records.size(), 2u);
}

TEST(ReadToneRows, JaAlleAnswersTheRestOfOneReadOnly) {
    ScriptedDialogs d;
    const Lines lines{"200 50 4", "0 5 4", "300 50 4", "60 0 4", "60 300 4"};
    d.allAnswers = {Answer::Yes, Answer::YesToAll};
    EXPECT_EQ(rows(lines, Reader::Player, d),
              (Lines{"127 50 4", "1 5 4", "127 50 4", "60 1 4", "60 127 4"}));
    ASSERT_EQ(texts(d), (Lines{"Wert für HT größer 127 eingelesen: 200 - weiter?",
                               "Falschen Wert für HT eingelesen: 0 - weiter?"}));
    EXPECT_TRUE(d.records[1].offersAll && d.records[1].all);
    // The next read asks again, and No still ends the program there.
    d.allAnswers = {Answer::YesToAll};
    EXPECT_EQ(rows(lines, Reader::Pattern, d, false).size(), 5u);
    EXPECT_EQ(d.records.size(), 3u);
    d.allAnswers = {Answer::Yes, Answer::No};
    EXPECT_THROW(rows(lines, Reader::Score, d), ProgramEnd);
    EXPECT_EQ(d.records.size(), 5u);
}

TEST(ReadToneRows, WrittenFormAndHandEditedFormReadAlike) {
    // Lines in the writer's form ("60 100 4") take a quicker scan; the same lines with tabs
    // between the fields take the general one. Both must give the same rows and questions.
    std::mt19937 rng(2024);
    auto digits = [&](size_t count) {
        std::string text(1, static_cast<char>('1' + rng() % 9));
        while (text.size() < count)
            text += static_cast<char>('0' + rng() % 10);
        return text;
    };
    auto field = [&]() -> std::string { // 0, leading zeros, every width and beyond
        const auto kind = rng() % 8;
        return kind == 0   ? "0"
               : kind == 1 ? "00" + digits(1 + rng() % 3)
                           : digits(1 + rng() % (kind < 4 ? 9 : 4));
    };
    for (int i = 0; i < 3000; ++i) {
        std::string pitch = field(), volume = field();
        std::string duration = rng() % 10 == 0 ? "" : field(); // sometimes no third field
        std::string written = pitch + " " + volume + (duration.empty() ? "" : " " + duration);
        std::string edited = pitch + "\t" + volume + (duration.empty() ? "" : "\t" + duration);
        for (Reader r : {Reader::Player, Reader::Score, Reader::Pattern})
            for (bool midi : {true, false})
                for (char decimal : {'.', ','}) {
                    // The row and the questions asked for one line, as one text.
                    auto read = [&](const std::string& line) {
                        ScriptedDialogs d;
                        std::string out;
                        for (const auto& row : readToneRows({line}, r, midi, decimal, d, "x"))
                            out += std::to_string(row.pitch) + " " + std::to_string(row.volume) +
                                   " " + row.durationText + " " + std::to_string(row.durationValue);
                        for (const auto& text : texts(d))
                            out += " | " + text;
                        return out;
                    };
                    ASSERT_EQ(read(written), read(edited)) << int(r) << midi << decimal;
                }
    }
}

TEST(ReadToneRows, PatternChecksPromptsAndRowLimit) {
    ScriptedDialogs d;
    // No prompt for a low volume; the duration stops at the comma.
    EXPECT_EQ(rows({"200 0 4", "60 300 0", "60 80 1,5"}, Reader::Pattern, d, false),
              (Lines{"127 1 4", "60 127 1", "60 80 1"}));
    EXPECT_EQ(texts(d), (Lines{"Wert für HT größer 127 eingelesen: 200 - weiter?",
                               "Wert für LT größer 127 eingelesen: 300 - weiter?",
                               "Wert für DT kleiner 1 eingelesen! - weiter?"}));

    d.records.clear();
    Lines lines(10001, "60 80 4");
    EXPECT_THROW(rows(lines, Reader::Pattern, d), CommandEnd);
    ASSERT_EQ(texts(d).size(), 1u);
    EXPECT_TRUE(testkit::has(texts(d)[0], "mehr als 10000"));
    lines.pop_back();
    EXPECT_EQ(rows(lines, Reader::Pattern, d).size(), 10000u);
}

TEST(Patternleser, ReadsRowsAndMissingFileEndsTheCommand) {
    testkit::TempFolder tmp;
    TestPlatform tp;
    testkit::writeBytes(tmp / "p.txt", "60  80  4\r\n\r\n62  80  2\r\n");
    Pattern buffer;
    Patternleser(tp.files, tp.dialogs, tmp / "p.txt", "p.txt", buffer);
    EXPECT_EQ(std::tuple(buffer.Zeilen, buffer.Tonhoehe[2], buffer.Tondauer[1]),
              std::tuple(2, std::int16_t{62}, 4.0));
    EXPECT_THROW(Patternleser(tp.files, tp.dialogs, tmp / "fehlt.txt", "fehlt.txt", buffer),
                 CommandEnd);
    EXPECT_EQ(tp.dialogs.records.back().text, "fehlt.txt ist nicht vorhanden!");
    EXPECT_EQ(buffer.Zeilen, 2);
}
