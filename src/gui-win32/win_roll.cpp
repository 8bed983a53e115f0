#include "gui-win32/win_roll.h"

#include "gui-win32/win_text.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tonfex {

namespace {

constexpr int kLeft = 40, kTitle = 16, kRestLane = 14, kGap = 3;

struct RollLayout {
    RECT title{}, plot{}, restLane{};
    double xScale = 0; // pixels per duration unit
    double rowHeight = 0;
};

RollLayout layoutFor(const RECT& area, const PianoRoll& roll) {
    RollLayout l;
    l.title = {area.left + 4, area.top, area.right - 4, area.top + kTitle};
    int bottom = area.bottom - 2;
    if (roll.rests > 0) {
        l.restLane = {area.left + kLeft, bottom - kRestLane, area.right - 6, bottom};
        bottom = l.restLane.top - kGap;
    }
    int left = area.left + kLeft, top = area.top + kTitle;
    l.plot = {left, top, std::max(left + 1, static_cast<int>(area.right) - 6),
              std::max(top + 1, bottom)};
    l.xScale = roll.total > 0 ? (l.plot.right - l.plot.left) / roll.total : 0;
    int rows = std::max(1, roll.high - roll.low + 1);
    l.rowHeight = static_cast<double>(l.plot.bottom - l.plot.top) / rows;
    return l;
}

RECT toneRect(const RollLayout& l, const PianoRoll& roll, const RollTone& t) {
    int x0 = l.plot.left + static_cast<int>(t.start * l.xScale);
    int x1 = std::min(static_cast<int>(l.plot.right),
                      x0 + std::max(1, static_cast<int>(std::lround(t.length * l.xScale))));
    x1 = std::max(x1, x0 + 1);
    if (t.volume <= 1) return {x0, l.restLane.top + 2, x1, l.restLane.bottom - 2};
    // Rows meet without gaps: both edges come from the same formula.
    auto edge = [&](int row) {
        return static_cast<int>(std::floor(l.plot.bottom - row * l.rowHeight));
    };
    int y0 = edge(t.pitch - roll.low + 1);
    int y1 = std::max(y0 + 1, edge(t.pitch - roll.low));
    return {x0, y0, x1, y1};
}

// Light for soft tones, dark for loud ones.
COLORREF shade(int volume) {
    double f = std::clamp((volume - 2) / 125.0, 0.0, 1.0);
    return RGB(static_cast<int>(175 - 175 * f), static_cast<int>(205 - 165 * f),
               static_cast<int>(240 - 110 * f));
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

void fill(HDC dc, const RECT& r, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour, int width = 1) {
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void text(HDC dc, RECT r, const std::wstring& s, UINT format, COLORREF colour) {
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &r, format | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace

void paintPianoRoll(HDC dc, const RECT& area, const PianoRoll& roll, int sounding) {
    fill(dc, area, RGB(255, 255, 255));
    if (!roll.error.empty()) {
        RECT r{area.left + 8, area.top, area.right - 8, area.bottom};
        text(dc, r, toWide("Melodie: " + roll.error), DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS,
             RGB(40, 40, 40));
        return;
    }
    RollLayout l = layoutFor(area, roll);
    int count = static_cast<int>(roll.tones.size());
    std::string title = "Tonfex.txt: " + std::to_string(count) + " Töne";
    if (roll.rests < count)
        title += ", Tonhöhe " + std::to_string(roll.low) + " bis " + std::to_string(roll.high);
    if (roll.rests > 0)
        title += roll.rests == 1
                     ? std::string(", 1 Pause (Lautstärke 1) in Zeile P")
                     : ", " + std::to_string(roll.rests) + " Pausen (Lautstärke 1) in Zeile P";
    // The legend only where there is room.
    std::wstring wideTitle = toWide(title), legend = toWide(title + "; dunkler = lauter");
    SIZE size{};
    GetTextExtentPoint32W(dc, legend.c_str(), static_cast<int>(legend.size()), &size);
    if (size.cx <= l.title.right - l.title.left) wideTitle = legend;
    text(dc, l.title, wideTitle, DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS, RGB(40, 40, 40));

    fill(dc, l.plot, RGB(246, 246, 246));
    int rows = std::max(1, roll.high - roll.low + 1);
    int step = gridStep(rows, l.plot.bottom - l.plot.top, roll.high <= 127);
    int firstLine = (roll.low + step - 1) / step * step;
    bool sounds = roll.rests < count;
    for (int pitch = firstLine; sounds && pitch <= roll.high; pitch += step) {
        int y = static_cast<int>(l.plot.bottom - (pitch - roll.low + 0.5) * l.rowHeight);
        line(dc, l.plot.left, y, l.plot.right, y, RGB(215, 215, 215));
        RECT label{area.left, y - 7, area.left + kLeft - 4, y + 7};
        text(dc, label, std::to_wstring(pitch), DT_RIGHT | DT_VCENTER, RGB(60, 60, 60));
    }
    if (roll.rests > 0) {
        fill(dc, l.restLane, RGB(238, 232, 220));
        RECT label{area.left, l.restLane.top, area.left + kLeft - 4, l.restLane.bottom};
        text(dc, label, L"P", DT_RIGHT | DT_VCENTER, RGB(60, 60, 60));
    }
    for (const auto& t : roll.tones)
        fill(dc, toneRect(l, roll, t),
             t.volume <= 1 ? RGB(150, 140, 125) : shade(std::clamp(t.volume, 0, 127)));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HPEN frame = CreatePen(PS_SOLID, 1, RGB(120, 120, 120));
    HGDIOBJ oldPen = SelectObject(dc, frame);
    Rectangle(dc, l.plot.left, l.plot.top, l.plot.right, l.plot.bottom);
    if (sounding >= 1 && sounding <= count) {
        const RECT r = toneRect(l, roll, roll.tones[static_cast<size_t>(sounding - 1)]);
        const COLORREF red = RGB(220, 0, 0);
        line(dc, r.left, l.plot.top, r.left, roll.rests > 0 ? l.restLane.bottom : l.plot.bottom,
             red);
        fill(dc, r, red);
        HPEN marker = CreatePen(PS_SOLID, 2, red);
        SelectObject(dc, marker);
        Rectangle(dc, r.left - 2, r.top - 2, r.right + 2, r.bottom + 2);
        SelectObject(dc, frame);
        DeleteObject(marker);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(frame);
}

} // namespace tonfex
