// What the piano roll shows, as a list of items for a window's painter: pitch against time,
// loudness as shade, rests (loudness 1) in a lane of their own, the sounding tone in red.
#pragma once

#include "app/pianoroll.h"
#include "controls/models.h"

#include <string>
#include <vector>

namespace tonfex {

// Pixels [left, right) x [top, bottom).
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Box&) const = default;
};

struct RollItem {
    enum Kind { Fill, Frame, Text } kind = Fill;
    Box box;          // Fill: the pixels; Frame: the outline's box; Text: where it is placed
    Rgb colour;
    int pen = 1;      // Frame: the line's width
    std::string text; // Text: UTF-8, vertically centred, elided at the right when too long
    std::string wider; // Text: shown instead of `text` when it fits into the box
    bool alignRight = false;
};

// The roll drawn into `area`, without the marker.
std::vector<RollItem> rollScene(const Box& area, const PianoRoll& roll);
// The marker of tone `sounding` (1-based; none for 0 or past the end), drawn over the roll.
std::vector<RollItem> soundingMarker(const Box& area, const PianoRoll& roll, int sounding);

} // namespace tonfex
