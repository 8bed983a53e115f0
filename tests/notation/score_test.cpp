#include "core/errors.h"
#include "notation/score.h"
#include "notation_kit.h"

using namespace tonfex;
using testkit::readBytes;

namespace {

struct Tone {
    int pitch, volume;
    double duration;
};

Settings scoreSettings(int kzw = 16, const std::string& takt = "0", int npz = 0, int clef = 1) {
    Settings s;
    s.KURZESTWERT = static_cast<std::int16_t>(kzw);
    s.TAKT = takt;
    s.NOTENPROZEILE = static_cast<std::int16_t>(npz);
    s.VBSCHLUSSEL = static_cast<std::int16_t>(clef);
    return s;
}

struct ScoreTest : ::testing::Test {
    void TearDown() override { TONFEX_REPORT_SCHEMA_SKIP(); }
    testkit::TempFolder tmp;
    TestPlatform tp;
    LocalTime today{2026, 12, 6, 10, 0, 0};

    // The score's lines for `tones`; each score is also checked against the MusicXML schema.
    std::vector<std::string> score(const Settings& s, const std::vector<Tone>& tones) {
        Melody m;
        for (size_t i = 0; i < tones.size(); ++i) {
            m.Tonhoehe[i + 1] = static_cast<std::int16_t>(tones[i].pitch);
            m.Lautstaerke[i + 1] = static_cast<std::int16_t>(tones[i].volume);
            m.Tondauer[i + 1] = tones[i].duration;
        }
        auto lines =
            scoreLines(s, m, static_cast<int>(tones.size()), today, tp.dialogs, tmp.folder());
        writeTextLines(tp.files, tmp / "check.xml", lines);
        EXPECT_EQ(testkit::musicXmlProblems(tmp / "check.xml"), "");
        return lines;
    }
};

std::string inner(const std::string& line, const std::string& tag) {
    auto a = line.find("<" + tag + ">"), b = line.find("</" + tag + ">");
    return a == std::string::npos || b == std::string::npos
               ? ""
               : line.substr(a + tag.size() + 2, b - a - tag.size() - 2);
}

// Each note as "step^alter octave duration type dots accidental", a rest as "R ...".
std::vector<std::string> notes(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& line : lines) {
        std::string t = line.substr(line.find_first_not_of(' '));
        if (t == "<note>") out.emplace_back();
        if (out.empty()) continue;
        std::string& n = out.back();
        if (t == "<rest/>") n += "R";
        if (t == "<dot/>") n += ".";
        n += inner(t, "step");
        if (!inner(t, "alter").empty()) n += "^" + inner(t, "alter");
        n += inner(t, "octave");
        for (const char* tag : {"duration", "type", "accidental"})
            if (!inner(t, tag).empty()) n += std::string(" ") + inner(t, tag);
    }
    return out;
}

// The lines without their indentation, joined.
std::string flat(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l.substr(l.find_first_not_of(' '));
    return out;
}

} // namespace

TEST_F(ScoreTest, WholeFileByteForByte) {
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 2\r\n61 90 4\r\n62 1 5\r\n71 100 6\r\n");
    Settings s = scoreSettings(16, "44", 2);
    s.TONDAUERDIREKT = 0;
    std::vector<double> durations = {0, 100, 200, 300, 400, 600, 700, 800};
    Melody m;
    writeScoreFile(s, m, durations, tp.files, tp.dialogs, tmp.folder(), today);
    EXPECT_EQ(readBytes(tmp / "Tonfex-Cap.xml"),
              readBytes(TONFEX_TEST_DATA "/notation/Tonfex-Cap-44.xml"));
    EXPECT_EQ(testkit::musicXmlProblems(tmp / "Tonfex-Cap.xml"), "");
    EXPECT_TRUE(tp.dialogs.records.empty());
}

TEST_F(ScoreTest, ClefsAndTimes) {
    auto attributes = [&](const Settings& s) {
        std::string f = flat(score(s, {{60, 100, 4}}));
        auto a = f.find("<time>");
        return f.substr(a, f.find("</attributes>") - a);
    };
    EXPECT_EQ(attributes(scoreSettings(16, "0", 0, 1)),
              "<time><senza-misura/></time><clef><sign>G</sign><line>2</line></clef>");
    EXPECT_EQ(attributes(scoreSettings(16, "44", 0, 2)),
              "<time><beats>4</beats><beat-type>4</beat-type></time><clef><sign>F</sign>"
              "<line>4</line></clef>");
    EXPECT_EQ(attributes(scoreSettings(16, "716")).substr(0, 47),
              "<time><beats>7</beats><beat-type>16</beat-type>");
}

TEST_F(ScoreTest, PitchesSharpsOctavesTranspositionAndNoteValues) {
    EXPECT_EQ(notes(score(
                  scoreSettings(),
                  {{60, 100, 4}, {61, 100, 4}, {59, 100, 4}, {0 + 12, 100, 4}, {127 - 8, 100, 4}})),
              (std::vector<std::string>{"C5 120 16th", "C^15 120 16th sharp", "B4 120 16th",
                                        "C1 120 16th", "B9 120 16th"}));
    Settings s = scoreSettings();
    s.TRANSPOSIWERT = 12;
    EXPECT_EQ(notes(score(s, {{60, 100, 4}, {66, 100, 4}})),
              (std::vector<std::string>{"C6 120 16th", "F^16 120 16th sharp"}));
    // Note values relative to the shortest tone. Single and double dots and rests: the whole file
    // above and the MuseScore round trip. Thresholds are integer parts: with shortest 2, 3 is entry
    // 2 and 4 entry 2 dotted.
    EXPECT_EQ(notes(score(scoreSettings(128), {{60, 100, 2}, {60, 100, 3}, {60, 100, 4}})),
              (std::vector<std::string>{"C5 15 128th", "C5 30 64th", "C5 45 64th."}));
    // Past the last range, even as the first tone: the longest value the ladder writes.
    EXPECT_EQ(notes(score(scoreSettings(4), {{60, 100, 1000}, {60, 100, 2}})),
              (std::vector<std::string>{"C5 6720 breve..", "C5 480 quarter"}));
}

TEST_F(ScoreTest, LineBreaksAfterNotesPerLineOnly) {
    // Numbered measures and the empty measure after a break behind the last tone: the whole
    // file above. Here: 18 notes before the first break, and no break without NOTENPROZEILE.
    std::vector<Tone> forty(40, Tone{60, 100, 4});
    const std::string breaks = flat(score(scoreSettings(16, "0", 18), forty));
    auto before = breaks.substr(0, breaks.find("<measure number=\"1\"><print new-system"));
    size_t count = 0;
    for (size_t p = 0; (p = before.find("<note>", p)) != std::string::npos; ++p)
        ++count;
    EXPECT_EQ(count, 18u);
    EXPECT_EQ(flat(score(scoreSettings(16, "0", 0), forty)).find("<measure number=\"1\">"),
              std::string::npos);
}

TEST_F(ScoreTest, WrongInputLeavesTheScoreFileAsItWas) {
    testkit::writeBytes(tmp / "Tonfex-Cap.xml", "old");
    std::vector<double> durations(10, 480.0);
    // The message, which ends by saying that the score file stays as it was.
    auto run = [&](const Settings& s, const std::string& melody) {
        testkit::writeBytes(tmp / "Tonfex.txt", melody);
        tp.dialogs.records.clear();
        Melody m;
        EXPECT_THROW(writeScoreFile(s, m, durations, tp.files, tp.dialogs, tmp.folder(), today),
                     CommandEnd);
        EXPECT_EQ(readBytes(tmp / "Tonfex-Cap.xml"), "old");
        const std::string unchanged =
            " - " + (tmp / "Tonfex-Cap.xml").string() + " bleibt unverändert.";
        std::string text = tp.dialogs.records.size() == 1 ? tp.dialogs.records[0].text : "";
        EXPECT_TRUE(text.ends_with(unchanged)) << text;
        return text.substr(0, text.size() - std::min(text.size(), unchanged.size()));
    };
    Settings s = scoreSettings();
    EXPECT_EQ(run(s, "60 100 99\r\n"),
              "Die kürzeste Tondauer der Melodie ist 0 (Tonfex.txt und die Tondauernliste prüfen)");
    EXPECT_EQ(run(s, "Text\r\n\r\n"),
              "Die Melodiedatei " + (tmp / "Tonfex.txt").string() + " enthält keine Töne");
    // A wrong setting is told before the melody's lines could ask anything.
    EXPECT_EQ(run(scoreSettings(12), "0 100 1\r\n"),
              "KURZESTWERT 12 ist nicht möglich (128, 64, 32, 16, 8 oder 4)");
    EXPECT_EQ(run(scoreSettings(16, "4"), "60 100 1\r\n"),
              "TAKT 4 ist keine Taktangabe (z.B. 44 für 4/4, 68 für 6/8, 716 für 7/16)");
    EXPECT_EQ(run(scoreSettings(16, "0", 0, 3), "60 100 1\r\n"),
              "VBSCHLUSSEL 3 ist nicht möglich (1 = Violinschlüssel, 2 = Bass-Schlüssel)");
    s.TRANSPOSIWERT = -70;
    EXPECT_EQ(run(s, "60 100 1\r\n"), "Ton 1: Die Tonhöhe -10 (mit TRANSPOSIWERT -70) liegt in "
                                      "Oktave -1, Noten gibt es nur in den Oktaven 0 bis 9");
}
