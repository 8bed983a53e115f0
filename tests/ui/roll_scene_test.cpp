// The piano roll's scene and the button symbols: what the painters of the windows draw.
#include "ui/roll_scene.h"
#include "ui/symbols.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tonfex;

namespace {
std::vector<RollItem> only(const std::vector<RollItem>& items, RollItem::Kind kind) {
    std::vector<RollItem> out;
    std::copy_if(items.begin(), items.end(), std::back_inserter(out),
                 [&](const RollItem& i) { return i.kind == kind; });
    return out;
}
int brightness(Rgb c) {
    return c.r + c.g + c.b;
}
} // namespace

TEST(RollScene, PlacesTonesByTimeAndPitchWithRestsInTheirLane) {
    // A loud low tone, a soft high tone, then a rest: 22 units over 554 pixels of plot.
    PianoRoll roll = pianoRollFromLines({"60 127 10", "72 10 10", "65 1 2"}, true, {}, true, '.');
    auto items = rollScene({0, 0, 600, 200}, roll);
    EXPECT_EQ(items.front().box, (Box{0, 0, 600, 200}));
    auto texts = only(items, RollItem::Text);
    ASSERT_EQ(texts.size(), 4u); // title, grid labels 60 and 72 (octave step), the rest lane's P
    EXPECT_EQ(texts[0].text, "Tonfex.txt: 3 Töne, Tonhöhe 60 bis 72, 1 Pause (Lautstärke 1) in Zeile P");
    EXPECT_EQ(texts[0].wider, texts[0].text + "; dunkler = lauter");
    EXPECT_EQ(texts[1].text + texts[2].text + texts[3].text, "6072P");
    EXPECT_TRUE(texts[1].alignRight && !texts[0].alignRight);
    // The last three fills are the tones, then the plot's frame.
    ASSERT_EQ(items.back().kind, RollItem::Frame);
    EXPECT_EQ(items.back().box, (Box{40, 16, 594, 181}));
    const Box loud = items[items.size() - 4].box, soft = items[items.size() - 3].box,
              rest = items[items.size() - 2].box;
    EXPECT_EQ(loud.left, 40);
    EXPECT_EQ(soft.left, 40 + 251);
        EXPECT_GT(loud.top, soft.bottom - 1); // lower pitch further down
    EXPECT_EQ(soft.top, 16);
    EXPECT_EQ(loud.bottom, 181);
    EXPECT_EQ(rest, (Box{40 + 503, 186, 593, 196}));
    EXPECT_LT(brightness(items[items.size() - 4].colour), brightness(items[items.size() - 3].colour));
}

TEST(RollScene, MarksOnlyAToneThatExistsAndShowsWhyNothingIsDrawn) {
    PianoRoll roll = pianoRollFromLines({"60 100 1", "64 100 3"}, true, {}, true, '.');
    Box area{0, 0, 440, 100};
    EXPECT_TRUE(soundingMarker(area, roll, 0).empty());
    EXPECT_TRUE(soundingMarker(area, roll, 3).empty());
    auto marker = soundingMarker(area, roll, 2);
    ASSERT_EQ(marker.size(), 3u);
    EXPECT_EQ(marker[0].box, (Box{138, 16, 139, 98})); // the line through the plot at its start
    EXPECT_EQ(marker[1].box, (Box{138, 16, 434, 32}));
    EXPECT_EQ(marker[2].box, (Box{136, 14, 436, 34}));
    EXPECT_EQ(marker[2].pen, 2);

    PianoRoll missing;
    missing.error = "Tonfex.txt ist nicht vorhanden!";
    auto items = rollScene(area, missing);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].text, "Melodie: Tonfex.txt ist nicht vorhanden!");
    EXPECT_TRUE(soundingMarker(area, missing, 1).empty());
}

TEST(ButtonSymbols, CentreTheirStrokesInTheButtonAndKeepAMinimumRadius) {
    using ui::Stroke;
    const Box circle{11, 6, 30, 25}; // radius 9 around (20, 15) in a 40 x 30 button
    auto info = ui::buttonSymbol("Infos", {0, 0, 40, 30});
    ASSERT_EQ(info.size(), 2u);
    EXPECT_TRUE(info[0].kind == Stroke::Ellipse && info[0].box == circle);
    EXPECT_TRUE(info[1].kind == Stroke::Letter && info[1].box == circle && info[1].text == "i");
    auto rule = ui::buttonSymbol("NeueRegelInfo", {0, 0, 40, 30});
    EXPECT_TRUE(rule.at(0).kind == Stroke::Rectangle && rule.at(1).text == "i");
    EXPECT_EQ(ui::buttonSymbol("KeineFrage", {0, 0, 40, 30}).at(1).text, "?");

    auto power = ui::buttonSymbol("Command1", {0, 0, 40, 30});
    ASSERT_EQ(power.size(), 2u);
    EXPECT_EQ(power[0].box, (Box{11, 8, 30, 27})); // the open circle, 2 pixels lower
    EXPECT_EQ(power[0].points, (std::vector<ui::Point>{{16, 6}, {24, 6}}));
    EXPECT_EQ(power[1].points, (std::vector<ui::Point>{{20, 4}, {20, 17}}));

    auto back = ui::buttonSymbol("neutral", {100, 50, 140, 80});
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].box, (Box{111, 56, 130, 75}));
    EXPECT_EQ(back[0].points, (std::vector<ui::Point>{{120, 56}, {129, 65}}));
    EXPECT_TRUE(back[1].kind == Stroke::Polygon);
    EXPECT_EQ(back[1].points, (std::vector<ui::Point>{{125, 66}, {134, 66}, {129, 60}}));

    EXPECT_EQ(ui::buttonSymbol("Infos", {0, 0, 10, 10}).at(0).box, (Box{1, 1, 10, 10}));
    EXPECT_TRUE(ui::buttonSymbol("Dateiherstellung", {0, 0, 40, 30}).empty());
}
