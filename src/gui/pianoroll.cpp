#include "gui/pianoroll.h"

#include "gui/qt_platform.h"
#include "ui/picture.h"

#include <QBuffer>
#include <QPaintEvent>
#include <QPainter>

namespace tonfex {

namespace {

QRect qrect(const Box& b) {
    return QRect(b.left, b.top, b.width(), b.height());
}

Box box(const QRect& r) {
    return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

void paint(QPainter& p, const std::vector<RollItem>& items) {
    p.save();
    for (const auto& item : items) {
        QRect r = qrect(item.box);
        switch (item.kind) {
        case RollItem::Fill: p.fillRect(r, qc(item.colour)); break;
        case RollItem::Frame:
            // The outline runs through the box's last row and column.
            p.setPen(QPen(qc(item.colour), item.pen));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            break;
        case RollItem::Text: {
            QString text = qs(item.text), wider = qs(item.wider);
            if (!wider.isEmpty() && p.fontMetrics().horizontalAdvance(wider) <= r.width())
                text = wider;
            p.setPen(qc(item.colour));
            const Qt::Alignment align =
                Qt::AlignVCenter | (item.alignRight ? Qt::AlignRight : Qt::AlignLeft);
            p.drawText(r, static_cast<int>(align.toInt()),
                       p.fontMetrics().elidedText(text, Qt::ElideRight, r.width()));
            break;
        }
        }
    }
    p.restore();
}

// The marker of the sounding tone alone, over a roll already drawn into `area`.
void drawSoundingMarker(QPainter& p, const QRect& area, const PianoRoll& roll, int sounding) {
    paint(p, soundingMarker(box(area), roll, sounding));
}

// The roll drawn into `area`, then the marker.
void drawPianoRoll(QPainter& p, const QRect& area, const PianoRoll& roll, int sounding) {
    paint(p, rollScene(box(area), roll));
    drawSoundingMarker(p, area, roll, sounding);
}

} // namespace

QImage renderPianoRoll(const PianoRoll& roll, QSize size, int sounding) {
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    drawPianoRoll(p, image.rect(), roll, sounding);
    return image;
}

int runBild(const std::string& folder, const std::vector<std::string>& args, std::ostream& out) {
    return ui::runBild(folder, args, out, [](const PianoRoll& roll, int width, int height) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!renderPianoRoll(roll, QSize(width, height)).save(&buffer, "PNG")) return std::string();
        return std::string(bytes.constData(), size_t(bytes.size()));
    });
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
        drawPianoRoll(cp, rect(), roll_, 0);
    }
    p.drawImage(0, 0, cache_);
    drawSoundingMarker(p, rect(), roll_, sounding_);
}

} // namespace tonfex
