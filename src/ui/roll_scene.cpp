#include "ui/roll_scene.h"

#include <algorithm>
#include <cmath>

namespace tonfex {

namespace {

constexpr int kLeft = 40, kTitle = 16, kRestLane = 14, kGap = 3;
constexpr Rgb kInk{40, 40, 40}, kLabel{60, 60, 60}, kRed{220, 0, 0};

// Where the parts of the picture lie inside the area.
struct RollLayout {
    Box title, plot, restLane; // restLane is empty without rests
    double xScale = 0;         // pixels per duration unit
    double rowHeight = 0;
};

RollLayout layoutFor(const Box& area, const PianoRoll& roll) {
    RollLayout l;
    l.title = {area.left + 4, area.top, area.right - 4, area.top + kTitle};
    int left = area.left + kLeft, right = std::max(left + 1, area.right - 6);
    int bottom = area.bottom - 2;
    if (roll.rests > 0) {
        l.restLane = {left, bottom - kRestLane, right, bottom};
        bottom = l.restLane.top - kGap;
    }
    int top = area.top + kTitle;
    l.plot = {left, top, right, std::max(top + 1, bottom)};
    l.xScale = roll.total > 0 ? l.plot.width() / roll.total : 0;
    l.rowHeight = static_cast<double>(l.plot.height()) / std::max(1, roll.high - roll.low + 1);
    return l;
}

Box toneBox(const RollLayout& l, const PianoRoll& roll, const RollTone& t) {
    int x0 = l.plot.left + static_cast<int>(t.start * l.xScale);
    int x1 = std::min(l.plot.right,
                      x0 + std::max(1, static_cast<int>(std::lround(t.length * l.xScale))));
    x1 = std::max(x1, x0 + 1);
    if (t.volume <= 1) return {x0, l.restLane.top + 2, x1, l.restLane.bottom - 2};
    // Rows meet without gaps: both edges come from the same formula.
    auto edge = [&](int row) {
        return static_cast<int>(std::floor(l.plot.bottom - row * l.rowHeight));
    };
    int y0 = edge(t.pitch - roll.low + 1);
    return {x0, y0, x1, std::max(y0 + 1, edge(t.pitch - roll.low))};
}

// Light for soft tones, dark for loud ones.
Rgb shade(int volume) {
    double f = std::clamp((volume - 2) / 125.0, 0.0, 1.0);
    return {static_cast<int>(175 - 175 * f), static_cast<int>(205 - 165 * f),
            static_cast<int>(240 - 110 * f)};
}

// A step between labelled pitch lines that leaves room for the labels: octaves for MIDI notes
// (single notes when few), 1, 2, 5, 10, 20, 50 ... for sample numbers.
int gridStep(int rows, int height, bool octaves) {
    auto fits = [&](int step) { return rows / step * 14 <= height; };
    if (octaves) {
        if (rows <= 12 && fits(1)) return 1;
        int step = 12;
        while (!fits(step))
            step *= 2;
        return step;
    }
    for (int scale = 1;; scale *= 10)
        for (int b : {1, 2, 5})
            if (fits(b * scale)) return b * scale;
}

RollItem make(RollItem::Kind kind, Box box, Rgb colour) {
    RollItem item;
    item.kind = kind;
    item.box = box;
    item.colour = colour;
    return item;
}

RollItem fill(Box box, Rgb colour) {
    return make(RollItem::Fill, box, colour);
}

RollItem label(Box box, std::string text) {
    RollItem item = make(RollItem::Text, box, kLabel);
    item.text = std::move(text);
    item.alignRight = true;
    return item;
}

} // namespace

std::vector<RollItem> rollScene(const Box& area, const PianoRoll& roll) {
    std::vector<RollItem> items{fill(area, {255, 255, 255})};
    if (!roll.error.empty()) {
        RollItem message =
            make(RollItem::Text, {area.left + 8, area.top, area.right - 8, area.bottom}, kInk);
        message.text = "Melodie: " + roll.error;
        items.push_back(message);
        return items;
    }
    RollLayout l = layoutFor(area, roll);
    int count = static_cast<int>(roll.tones.size());
    RollItem title = make(RollItem::Text, l.title, kInk);
    title.text = "Tonfex.txt: " + std::to_string(count) + " Töne";
    if (roll.rests < count)
        title.text += ", Tonhöhe " + std::to_string(roll.low) + " bis " + std::to_string(roll.high);
    if (roll.rests > 0)
        title.text += roll.rests == 1
                          ? std::string(", 1 Pause (Lautstärke 1) in Zeile P")
                          : ", " + std::to_string(roll.rests) + " Pausen (Lautstärke 1) in Zeile P";
    // The legend only where there is room.
    title.wider = title.text + "; dunkler = lauter";
    items.push_back(title);

    items.push_back(fill(l.plot, {246, 246, 246}));
    int step = gridStep(std::max(1, roll.high - roll.low + 1), l.plot.height(), roll.high <= 127);
    for (int pitch = (roll.low + step - 1) / step * step; roll.rests < count && pitch <= roll.high;
         pitch += step) {
        int y = static_cast<int>(l.plot.bottom - (pitch - roll.low + 0.5) * l.rowHeight);
        items.push_back(fill({l.plot.left, y, l.plot.right, y + 1}, {215, 215, 215}));
        items.push_back(label({area.left, y - 7, area.left + kLeft - 4, y + 7}, std::to_string(pitch)));
    }
    if (roll.rests > 0) {
        items.push_back(fill(l.restLane, {238, 232, 220}));
        items.push_back(label({area.left, l.restLane.top, area.left + kLeft - 4, l.restLane.bottom}, "P"));
    }
    for (const auto& t : roll.tones)
        items.push_back(fill(toneBox(l, roll, t), t.volume <= 1 ? Rgb{150, 140, 125}
                                                                : shade(std::clamp(t.volume, 0, 127))));
    items.push_back(make(RollItem::Frame, l.plot, {120, 120, 120}));
    return items;
}

std::vector<RollItem> soundingMarker(const Box& area, const PianoRoll& roll, int sounding) {
    if (!roll.error.empty() || sounding < 1 || sounding > static_cast<int>(roll.tones.size()))
        return {};
    RollLayout l = layoutFor(area, roll);
    Box r = toneBox(l, roll, roll.tones[static_cast<size_t>(sounding - 1)]);
    int bottom = roll.rests > 0 ? l.restLane.bottom : l.plot.bottom;
    RollItem frame = make(RollItem::Frame, {r.left - 2, r.top - 2, r.right + 2, r.bottom + 2}, kRed);
    frame.pen = 2;
    return {fill({r.left, l.plot.top, r.left + 1, bottom}, kRed), fill(r, kRed), frame};
}

} // namespace tonfex
