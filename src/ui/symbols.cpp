#include "ui/symbols.h"

#include <algorithm>

namespace tonfex::ui {

std::vector<Stroke> buttonSymbol(const std::string& name, const Box& area) {
    const int cx = (area.left + area.right) / 2, cy = (area.top + area.bottom) / 2;
    const int r = std::max(4, std::min(area.width(), area.height()) / 2 - 6);
    const Box circle{cx - r, cy - r, cx + r + 1, cy + r + 1};
    auto ringed = [&](Stroke::Kind ring, const char* letter) {
        return std::vector<Stroke>{{ring, circle, {}, {}}, {Stroke::Letter, circle, {}, letter}};
    };
    if (name == "Command1") // the power symbol: a circle open at the top, a bar through the gap
        return {{Stroke::Arc, {cx - r, cy - r + 2, cx + r + 1, cy + r + 3},
                 {{cx - r / 2, cy - r}, {cx + r / 2, cy - r}}, {}},
                {Stroke::Line, {}, {{cx, cy - r - 2}, {cx, cy + 2}}, {}}};
    if (name == "KeineFrage") return ringed(Stroke::Ellipse, "?");
    if (name == "Infos") return ringed(Stroke::Ellipse, "i");
    if (name == "NeueRegelInfo") return ringed(Stroke::Rectangle, "i");
    if (name == "neutral") // back to the middle: three quarters of a circle, its head pointing on
        return {{Stroke::Arc, circle, {{cx, cy - r}, {cx + r, cy}}, {}},
                {Stroke::Polygon,
                 {},
                 {{cx + r - 4, cy + 1}, {cx + r + 5, cy + 1}, {cx + r, cy - 5}},
                 {}}};
    return {};
}

} // namespace tonfex::ui
