// The symbols of the buttons without a caption, as strokes in the button's box that a window's
// painter replays with a pen 2 pixels wide in the caption's colour.
#pragma once

#include "ui/roll_scene.h"

#include <string>
#include <vector>

namespace tonfex::ui {

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct Stroke {
    // Arc: along the ellipse in `box` counter-clockwise from the ray through points[0] to the
    // ray through points[1]. Line: points[0] to points[1]. Ellipse, Rectangle: the outline of
    // `box`. Letter: `text` centred in `box`. Polygon: `points` filled black.
    enum Kind { Arc, Line, Ellipse, Rectangle, Letter, Polygon } kind;
    Box box;
    std::vector<Point> points;
    std::string text;
};

// The symbol of the button `name` drawn into `area`; none for a button that has no symbol.
std::vector<Stroke> buttonSymbol(const std::string& name, const Box& area);

} // namespace tonfex::ui
