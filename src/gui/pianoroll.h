// The piano roll of the melody file: pitch against time, loudness as shade, rests (loudness 1)
// in a lane of their own. One drawing function serves the window and offscreen pictures.
#pragma once

#include "core/workfolder.h"
#include "platform/platform.h"

#include <QImage>
#include <QWidget>

#include <string>
#include <vector>

class QPainter;

namespace tonfex {

struct RollTone {
    int pitch = 0;
    int volume = 0;
    double start = 0;  // sum of the durations before it
    double length = 0; // its duration, as the player takes it
};

struct PianoRoll {
    std::vector<RollTone> tones; // tone k of the file at index k - 1
    int low = 0, high = 0;       // pitch range of the tones that sound (loudness above 1)
    double total = 0;            // end of the last tone
    int rests = 0;               // tones of loudness 1
    int corrected = 0;           // values the player's checks would replace
    std::string error;           // why there is nothing to draw ("" when fine)
};

// Builds the roll from the melody file's lines with the player's reading: durations taken
// directly (TONDAUERDIREKT 1) or from the duration list (index 1 = its first line).
PianoRoll pianoRollFromLines(const std::vector<std::string>& melodyLines, bool durationsDirect,
                             const std::vector<double>& durationList, bool midiMode, char decimal);

// Reads the melody file, the settings and the duration list of the working folder.
PianoRoll readPianoRoll(Files& files, const WorkFolder& folder, char decimal);

// Draws the roll into `area`; `sounding` (1-based, 0 for none) is marked in red.
void drawPianoRoll(QPainter& painter, const QRect& area, const PianoRoll& roll, int sounding = 0);
// The marker of the sounding tone alone, over a roll already drawn into `area`.
void drawSoundingMarker(QPainter& painter, const QRect& area, const PianoRoll& roll, int sounding);
QImage renderPianoRoll(const PianoRoll& roll, QSize size, int sounding = 0);

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
