// The Qt painter of the piano roll's scene (ui/roll_scene.h). One drawing function serves the
// window and the verb `bild`.
#pragma once

#include "ui/roll_scene.h"

#include <QImage>
#include <QWidget>

#include <ostream>
#include <string>
#include <vector>

namespace tonfex {

// The roll; `sounding` (1-based, 0 for none) is marked in red.
QImage renderPianoRoll(const PianoRoll& roll, QSize size, int sounding = 0);
// The verb `bild` (ui/picture.h) drawing with Qt; needs a QGuiApplication (the offscreen
// platform will do). Returns the exit status.
int runBild(const std::string& folder, const std::vector<std::string>& args, std::ostream& out);

// The window's view of the roll; the picture is kept until the roll or the size changes.
class PianoRollWidget : public QWidget {
public:
    explicit PianoRollWidget(QWidget* parent = nullptr);
    void setRoll(PianoRoll roll);
    void setSounding(int sounding);
    const PianoRoll& roll() const { return roll_; }
    int sounding() const { return sounding_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PianoRoll roll_;
    int sounding_ = 0;
    QImage cache_;
};

} // namespace tonfex
