// The piano roll: the player's reading of the melody file, and its picture file.
#include "cli/cli.h"
#include "core/textfile.h"
#include "gui/pianoroll.h"
#include "platform/real.h"
#include "settings/template.h"
#include "support.h"

#include <QImage>

#include <gtest/gtest.h>

#include <sstream>

using namespace tonfex;

namespace {
// The roll in one line: each tone as pitch/volume@start+length, then the range and totals.
std::string described(const std::vector<std::string>& lines, bool direct,
                      const std::vector<double>& list = {150, 300, 600}, bool midi = true,
                      char decimal = '.') {
    PianoRoll r = pianoRollFromLines(lines, direct, list, midi, decimal);
    std::ostringstream out;
    for (const auto& t : r.tones)
        out << t.pitch << "/" << t.volume << "@" << t.start << "+" << t.length << " ";
    out << "| " << r.low << "-" << r.high << ", total " << r.total << ", rests " << r.rests
        << ", corrected " << r.corrected << (r.error.empty() ? "" : ", error");
    return out.str();
}
} // namespace

TEST(PianoRoll, ReadsTheMelodyAsThePlayerDoes) {
    // Direct durations; lines without a tone are skipped; a rest (loudness 1) is counted apart
    // and its pitch is not part of the range.
    EXPECT_EQ(described({"60 100 4", "Text", "90 1 2", "", "64 50 6"}, true),
              "60/100@0+4 90/1@4+2 64/50@6+6 | 60-64, total 12, rests 1, corrected 0");
    // Indexes into the duration list; past the list no time, as in the play.
    EXPECT_EQ(described({"60 100 2", "62 100 3", "64 100 9"}, false),
              "60/100@0+300 62/100@300+600 64/100@900+0 | 60-64, total 900, rests 0, corrected 0");
    // A decimal comma is read with the locale that wrote it.
    EXPECT_EQ(described({"60 100 1,5"}, true, {}, true, ','),
              "60/100@0+1.5 | 60-60, total 1.5, rests 0, corrected 0");
    // Out-of-range values are replaced as in the play, without a question; in MIDI mode only.
    EXPECT_EQ(described({"200 100 4", "60 300 4"}, true),
              "127/100@0+4 60/127@4+4 | 60-127, total 8, rests 0, corrected 2");
    EXPECT_EQ(described({"200 100 4"}, true, {}, false),
              "200/100@0+4 | 200-200, total 4, rests 0, corrected 0");
    // Without any duration the tones still show in their order.
    EXPECT_EQ(described({"60 100 9", "62 100 9"}, false, {}),
              "60/100@0+1 62/100@1+1 | 60-62, total 2, rests 0, corrected 0");
    EXPECT_EQ(described({"", "Text"}, true), "| 0-0, total 0, rests 0, corrected 0, error");
}

TEST(Bild, WritesThePictureOfTheMelodyFile) {
    testkit::TempFolder tmp;
    DiskFiles files;
    writeTextLines(files, tmp / "Tonfex.ini", settingsTemplate());
    writeTextLines(files, tmp / "Tonfex-DTC.txt", {"150", "300", "600"});
    writeTextLines(files, tmp / "Tonfex.txt", {"60 100 1", "64 80 2", "67 1 3"});
    std::string out;
    auto bild = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--arbeit", tmp.dir().string(), "bild"});
        CliOptions options;
        EXPECT_EQ(parseArguments(args, options), "");
        std::ostringstream text;
        int status = runBild(options.folder, options.arguments, text);
        out = text.str();
        return status;
    };
    auto png = tmp / "rolle.png";
    EXPECT_EQ(bild({png.string(), "800", "300"}), 0);
    EXPECT_NE(out.find("3 Töne"), std::string::npos) << out;
    EXPECT_EQ(QImage(QString::fromStdString(png.string())).size(), QSize(800, 300));
    EXPECT_EQ(bild({}) + bild({png.string(), "20", "300"}), 4);
    std::filesystem::remove(tmp / "Tonfex.txt");
    EXPECT_EQ(bild({(tmp / "neu.png").string()}), 1);
    EXPECT_NE(out.find("ist nicht vorhanden!"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(tmp / "neu.png"));
}
