// The piano roll: the player's reading of the melody file, and what the picture shows.
#include "cli/cli.h"
#include "core/textfile.h"
#include "gui/bild.h"
#include "gui/pianoroll.h"
#include "platform/real.h"
#include "settings/template.h"
#include "support.h"

#include <QImage>

#include <gtest/gtest.h>

#include <sstream>

using namespace tonfex;

namespace {
int countPixels(const QImage& image, const std::function<bool(QColor)>& match) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += match(image.pixelColor(x, y));
    return n;
}
bool red(QColor c) {
    return c.red() > 200 && c.green() < 40 && c.blue() < 40;
}
// The darkest grey value in column x.
int darkest(const QImage& image, int x) {
    int best = 255;
    for (int y = 0; y < image.height(); ++y)
        best = std::min(best, qGray(image.pixel(x, y)));
    return best;
}
} // namespace

TEST(PianoRoll, DirectDurationsPlaceTheTonesAndSetRestsApart) {
    PianoRoll roll =
        pianoRollFromLines({"60 100 4", "Text", "62 1 2", "", "64 50 6"}, true, {}, true, '.');
    ASSERT_EQ(roll.tones.size(), 3u);
    EXPECT_EQ(roll.tones[1].start, 4);
    EXPECT_EQ(roll.tones[2].start, 6);
    EXPECT_EQ(roll.total, 12);
    EXPECT_EQ(roll.rests, 1);
    // The rest's pitch is not part of the range.
    PianoRoll high = pianoRollFromLines({"60 100 4", "90 1 2", "64 50 6"}, true, {}, true, '.');
    EXPECT_EQ(high.low, 60);
    EXPECT_EQ(high.high, 64);
    EXPECT_EQ(roll.error, "");
}

TEST(PianoRoll, DurationIndexesReadTheListAsThePlayerDoes) {
    std::vector<double> list = {150, 300, 600};
    PianoRoll roll =
        pianoRollFromLines({"60 100 2", "62 100 3", "64 100 9"}, false, list, true, '.');
    ASSERT_EQ(roll.tones.size(), 3u);
    EXPECT_EQ(roll.tones[0].length, 300);
    EXPECT_EQ(roll.tones[1].length, 600);
    EXPECT_EQ(roll.tones[2].length, 0); // past the list: no time, as in the play
    EXPECT_EQ(roll.total, 900);
    // A decimal comma is read with the locale that wrote it.
    PianoRoll comma = pianoRollFromLines({"60 100 1,5"}, true, {}, true, ',');
    EXPECT_EQ(comma.tones[0].length, 1.5);
}

TEST(PianoRoll, OutOfRangeValuesAreReplacedAsInThePlayWithoutAQuestion) {
    PianoRoll midi = pianoRollFromLines({"200 100 4", "60 300 4"}, true, {}, true, '.');
    EXPECT_EQ(midi.tones[0].pitch, 127);
    EXPECT_EQ(midi.tones[1].volume, 127);
    EXPECT_EQ(midi.corrected, 2);
    PianoRoll samples = pianoRollFromLines({"200 100 4"}, true, {}, false, '.');
    EXPECT_EQ(samples.tones[0].pitch, 200);
    EXPECT_EQ(samples.corrected, 0);
    // Without any duration the tones still show in their order.
    PianoRoll timeless = pianoRollFromLines({"60 100 9", "62 100 9"}, false, {}, true, '.');
    EXPECT_EQ(timeless.tones[1].start, 1);
    EXPECT_EQ(timeless.total, 2);
    EXPECT_FALSE(pianoRollFromLines({"", "Text"}, true, {}, true, '.').error.empty());
}

TEST(PianoRoll, PictureShadesByLoudnessAndMarksTheSoundingTone) {
    // A loud low tone in the left half, a soft high tone in the right half, then a rest.
    PianoRoll roll = pianoRollFromLines({"60 127 10", "72 10 10", "65 1 2"}, true, {}, true, '.');
    QImage plain = renderPianoRoll(roll, QSize(600, 200));
    ASSERT_EQ(plain.size(), QSize(600, 200));
    EXPECT_LT(darkest(plain, 150), darkest(plain, 400));
    EXPECT_GT(countPixels(plain, [](QColor c) { return c == QColor(150, 140, 125); }), 0);
    EXPECT_EQ(countPixels(plain, red), 0);
    QImage marked = renderPianoRoll(roll, QSize(600, 200), 2);
    EXPECT_GT(countPixels(marked, red), 0);
    // The mark stands over the second tone, which starts at 10 of 22 units of the width.
    EXPECT_EQ(countPixels(marked.copy(0, 0, 270, 200), red), 0);
    EXPECT_GT(countPixels(marked.copy(290, 0, 310, 200), red), 0);
    EXPECT_EQ(countPixels(renderPianoRoll(roll, QSize(600, 200), 9), red), 0);
}

TEST(Bild, WritesThePictureOfTheMelodyFile) {
    testkit::TempFolder tmp;
    DiskFiles files;
    writeTextLines(files, tmp / "Tonfex.ini", settingsTemplate());
    writeTextLines(files, tmp / "Tonfex-DTC.txt", {"150", "300", "600"});
    writeTextLines(files, tmp / "Tonfex.txt", {"60 100 1", "64 80 2", "67 1 3"});
    auto run = [&](std::vector<std::string> args, std::string& out) {
        CliOptions options;
        EXPECT_EQ(parseArguments(args, options), "");
        std::ostringstream text;
        std::istringstream in;
        Terminal t{text, in, false, false};
        int status = runBild(options, t);
        out = text.str();
        return status;
    };
    std::string out;
    auto png = tmp / "rolle.png";
    EXPECT_EQ(run({"--arbeit", tmp.dir().string(), "bild", png.string(), "800", "300"}, out), 0);
    EXPECT_NE(out.find("3 Töne"), std::string::npos) << out;
    QImage image(QString::fromStdString(png.string()));
    EXPECT_EQ(image.size(), QSize(800, 300));

    EXPECT_EQ(run({"--arbeit", tmp.dir().string(), "bild"}, out), 2);
    EXPECT_EQ(run({"--arbeit", tmp.dir().string(), "bild", png.string(), "20", "300"}, out), 2);
    std::filesystem::remove(tmp / "Tonfex.txt");
    EXPECT_EQ(run({"--arbeit", tmp.dir().string(), "bild", (tmp / "neu.png").string()}, out), 1);
    EXPECT_NE(out.find("ist nicht vorhanden!"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(tmp / "neu.png"));
}
