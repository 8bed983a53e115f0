#include "gui/pianoroll.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace tonfex {

namespace {

QString qs(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Where the parts of the picture lie inside the area.
struct RollLayout {
    QRect title, plot, restLane;
    double xScale = 0; // pixels per duration unit
    double rowHeight = 0;
};

constexpr int kLeft = 40, kTitle = 16, kRestLane = 14, kGap = 3;

RollLayout layoutFor(const QRect& area, const PianoRoll& roll) {
    RollLayout l;
    l.title = QRect(area.left() + 4, area.top(), area.width() - 8, kTitle);
    int bottom = area.bottom() - 2;
    if (roll.rests > 0) {
        l.restLane = QRect(area.left() + kLeft, bottom - kRestLane + 1,
                           std::max(1, area.width() - kLeft - 6), kRestLane);
        bottom = l.restLane.top() - kGap - 1;
    }
    l.plot = QRect(area.left() + kLeft, area.top() + kTitle, std::max(1, area.width() - kLeft - 6),
                   std::max(1, bottom - area.top() - kTitle + 1));
    l.xScale = roll.total > 0 ? l.plot.width() / roll.total : 0;
    int rows = std::max(1, roll.high - roll.low + 1);
    l.rowHeight = static_cast<double>(l.plot.height()) / rows;
    return l;
}

QRect toneRect(const RollLayout& l, const PianoRoll& roll, const RollTone& t) {
    int x0 = l.plot.left() + static_cast<int>(t.start * l.xScale);
    int width = std::max(1, static_cast<int>(std::lround(t.length * l.xScale)));
    if (x0 + width > l.plot.right() + 1) width = std::max(1, l.plot.right() + 1 - x0);
    if (t.volume <= 1) return QRect(x0, l.restLane.top() + 2, width, l.restLane.height() - 4);
    // Rows meet without gaps: both edges come from the same formula.
    auto edge = [&](int row) {
        return static_cast<int>(std::floor(l.plot.bottom() + 1 - row * l.rowHeight));
    };
    int y0 = edge(t.pitch - roll.low + 1);
    int y1 = edge(t.pitch - roll.low);
    return QRect(x0, y0, width, std::max(1, y1 - y0));
}

// Light for soft tones, dark for loud ones.
const std::array<QColor, 128>& shades() {
    static const std::array<QColor, 128> table = [] {
        std::array<QColor, 128> t;
        for (int v = 0; v < 128; ++v) {
            double f = std::clamp((v - 2) / 125.0, 0.0, 1.0);
            t[static_cast<size_t>(v)] =
                QColor(static_cast<int>(175 - 175 * f), static_cast<int>(205 - 165 * f),
                       static_cast<int>(240 - 110 * f));
        }
        return t;
    }();
    return table;
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

} // namespace

void drawPianoRoll(QPainter& p, const QRect& area, const PianoRoll& roll, int sounding) {
    p.save();
    p.fillRect(area, QColor(255, 255, 255));
    p.setPen(QColor(40, 40, 40));
    if (!roll.error.empty()) {
        p.drawText(area.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("Melodie: ") + qs(roll.error));
        p.restore();
        return;
    }
    RollLayout l = layoutFor(area, roll);
    QString title = QStringLiteral("Tonfex.txt: %1 Töne").arg(roll.tones.size());
    if (roll.rests < static_cast<int>(roll.tones.size()))
        title += QStringLiteral(", Tonhöhe %1 bis %2").arg(roll.low).arg(roll.high);
    if (roll.rests > 0)
        title += roll.rests == 1
                     ? QStringLiteral(", 1 Pause (Lautstärke 1) in Zeile P")
                     : QStringLiteral(", %1 Pausen (Lautstärke 1) in Zeile P").arg(roll.rests);
    // The legend only where there is room; a narrow window keeps it in the tooltip.
    QString legend = title + QStringLiteral("; dunkler = lauter");
    if (p.fontMetrics().horizontalAdvance(legend) <= l.title.width()) title = legend;
    p.drawText(l.title, Qt::AlignVCenter | Qt::AlignLeft,
               p.fontMetrics().elidedText(title, Qt::ElideRight, l.title.width()));

    p.fillRect(l.plot, QColor(246, 246, 246));
    int rows = std::max(1, roll.high - roll.low + 1);
    bool octaves = roll.high <= 127;
    int step = gridStep(rows, l.plot.height(), octaves);
    int firstLine = (roll.low + step - 1) / step * step;
    bool sounds = roll.rests < static_cast<int>(roll.tones.size());
    for (int pitch = firstLine; sounds && pitch <= roll.high; pitch += step) {
        int y = static_cast<int>(l.plot.bottom() + 1 - (pitch - roll.low + 0.5) * l.rowHeight);
        p.setPen(QColor(215, 215, 215));
        p.drawLine(l.plot.left(), y, l.plot.right(), y);
        p.setPen(QColor(60, 60, 60));
        p.drawText(QRect(area.left(), y - 7, kLeft - 4, 14), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(pitch));
    }
    if (!l.restLane.isEmpty()) {
        p.fillRect(l.restLane, QColor(238, 232, 220));
        p.setPen(QColor(60, 60, 60));
        p.drawText(QRect(area.left(), l.restLane.top(), kLeft - 4, l.restLane.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("P"));
    }
    const auto& shade = shades();
    const QColor rest(150, 140, 125);
    p.setClipRect(area);
    for (const auto& t : roll.tones)
        p.fillRect(toneRect(l, roll, t),
                   t.volume <= 1 ? rest : shade[static_cast<size_t>(std::clamp(t.volume, 0, 127))]);
    p.setClipping(false);
    p.setPen(QColor(120, 120, 120));
    p.drawRect(l.plot.adjusted(0, 0, -1, -1));
    p.restore();
    drawSoundingMarker(p, area, roll, sounding);
}

void drawSoundingMarker(QPainter& p, const QRect& area, const PianoRoll& roll, int sounding) {
    if (!roll.error.empty() || sounding < 1 || sounding > static_cast<int>(roll.tones.size()))
        return;
    RollLayout l = layoutFor(area, roll);
    const RollTone& t = roll.tones[static_cast<size_t>(sounding - 1)];
    QRect r = toneRect(l, roll, t);
    p.save();
    p.setPen(QPen(QColor(220, 0, 0), 1));
    p.drawLine(r.left(), l.plot.top(), r.left(),
               l.restLane.isEmpty() ? l.plot.bottom() : l.restLane.bottom());
    p.fillRect(r, QColor(220, 0, 0));
    p.setPen(QPen(QColor(220, 0, 0), 2));
    p.drawRect(r.adjusted(-2, -2, 2, 2));
    p.restore();
}

QImage renderPianoRoll(const PianoRoll& roll, QSize size, int sounding) {
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    drawPianoRoll(p, image.rect(), roll, sounding);
    return image;
}

PianoRollWidget::PianoRollWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 100);
    roll_.error = "noch nicht gelesen";
}

void PianoRollWidget::setRoll(PianoRoll roll) {
    roll_ = std::move(roll);
    cache_ = QImage();
    update();
}

void PianoRollWidget::setSounding(int sounding) {
    if (sounding == sounding_) return;
    sounding_ = sounding;
    update();
}

void PianoRollWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (cache_.size() != size() * devicePixelRatio()) {
        cache_ = QImage(size() * devicePixelRatio(), QImage::Format_RGB32);
        cache_.setDevicePixelRatio(devicePixelRatio());
        QPainter cp(&cache_);
        drawPianoRoll(cp, rect(), roll_);
    }
    p.drawImage(0, 0, cache_);
    drawSoundingMarker(p, rect(), roll_, sounding_);
}

} // namespace tonfex
