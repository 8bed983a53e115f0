#include "midi/player.h"

#include "core/numbers.h"
#include "core/wait.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tonfex {

double tempoDivisor(const Settings& s) {
    double tfm = s.tfm();
    double tempo = s.TEMPO;
    // Each later rule overrides the earlier ones; the rule-1 case none of them sets uses TEMPO.
    double divisor = tempo;
    if (tfm == 0.1) divisor = tempo / 10;
    if (tfm == 0.2) divisor = tempo / 10;
    if (tfm == 2) divisor = tempo;
    if (s.ORIGINALSAMPLEABSTAND == 0) divisor = tempo / 1000;
    if (tfm > 2) divisor = tempo;
    return divisor;
}

double toneSeconds(double duration, double divisor) {
    if (divisor == 0) return 0;
    double seconds = duration / 4800 / divisor;
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

std::string toneLine(int i, std::int16_t pitch, std::int16_t loudness, double duration,
                     char decimal) {
    return plainText(i) + "  " + plainText(pitch) + "  " + plainText(loudness) + "  " +
           plainText(duration, decimal);
}

double Frequenz(MidiPlayback& m, int note) {
    double f = 440 * std::pow(std::pow(2.0, 1.0 / 12), note - 69);
    m.frequency = intFloor(f * 100 + 0.5) / 100;
    return m.frequency;
}

const std::string& Notenname(MidiPlayback& m, int note) {
    static const std::array<const char*, 12> names = {"C",   "Cis", "D",   "Dis", "E",   "F",
                                                      "Fis", "G",   "Gis", "A",   "Ais", "H"};
    int n = note;
    while (n > 0)
        n -= 12;
    while (n < 0)
        n += 12; // repeated, so that no number leaves the table
    m.noteName = names[static_cast<size_t>(n)];
    return m.noteName;
}

void showFrequency(MidiPlayback& m, TextBox& txtNot, double base, char decimal) {
    double f = base * std::pow(std::pow(2.0, 1.0 / m.BendOktave), m.BendOffset);
    f = intFloor(f * m.displayFactor + 0.5) / m.displayFactor;
    txtNot.setText(plainText(f, decimal) + " Hz");
}

void Tonausgabe(MidiPlayback& m, TextBox& txtNot, TextBox& Text5, std::int16_t pitch,
                std::int16_t velocity, char decimal) {
    MidiNoteOff(m.out, 0, m.LetzterTon);
    MidiNoteOn(m.out, 0, pitch, velocity);
    m.LetzterTon = pitch;
    showFrequency(m, txtNot, Frequenz(m, pitch), decimal);
    Text5.setText(Notenname(m, pitch));
}

namespace {
// A tone that starts later than this after its planned time moves the plan of every later
// tone: the tones after a stall keep their length instead of sounding in a burst.
constexpr double kLateness = 0.010;

// Sends the note off for the last note however the loop ends: done, stopped, or unwound by
// the end of the program during a wait.
class LastNoteOff {
public:
    explicit LastNoteOff(MidiPlayback& m) : m_(m) {}
    LastNoteOff(const LastNoteOff&) = delete;
    LastNoteOff& operator=(const LastNoteOff&) = delete;
    ~LastNoteOff() {
        try {
            send();
        } catch (...) {
            // Keeping an error text failed; the note off itself was handed on or refused.
        }
    }
    void send() {
        if (sent_) return;
        sent_ = true;
        MidiNoteOff(m_.out, 0, m_.LetzterTon);
    }

private:
    MidiPlayback& m_;
    bool sent_ = false;
};
} // namespace

void Spielschleife(PlayWindow w, MidiPlayback& m) {
    const char decimal = w.s.decimal;
    const Melody& melody = w.melody;
    w.s.LAUT = 80;
    w.s.lautIsInteger = true;
    int c = 0, n = 0;
    const std::string header[] = {"", "Anzahl der Schleifendurchläufe",
                                  "im Tonfindungsgenerator: " + plainText(w.Versuche), ""};
    for (const auto& line : header)
        w.Daten.add(line);

    m.loopStart = w.clock.monotonic();
    double scheduled = 0; // seconds from the loop's start to the end of the current tone
    double moved = 0;     // lateness the plan has taken up
    LastNoteOff noteOff(m);
    for (int i = 1; i <= Melody::kLast; ++i) {
        const auto at = static_cast<size_t>(i);
        if (melody.Tonhoehe[at] < 1) break;
        ++c;
        ++n;
        float f = std::clamp(static_cast<float>(w.s.LAUT) / 100.0f, 0.01f, 1.0f);
        w.Tempoteiler = tempoDivisor(w.s);
        double seconds = toneSeconds(melody.Tondauer[at], w.Tempoteiler);
        auto velocity = toInt16(static_cast<float>(melody.Lautstaerke[at]) * f);
        const double late = w.clock.monotonic() - (m.loopStart + moved + scheduled);
        if (late > kLateness) moved += late;
        Tonausgabe(m, w.txtNot, w.Text5, melody.Tonhoehe[at], velocity, decimal);
        std::string line =
            toneLine(i, melody.Tonhoehe[at], melody.Lautstaerke[at], melody.Tondauer[at], decimal);
        if (c < 28) {
            w.Daten.add(std::move(line));
        } else {
            w.Daten.clear();
            w.Daten.add(std::move(line));
            c = 0;
        }
        scheduled += seconds;
        w.soundingTone = i;
        waitUntil(w.clock, w.events, m.loopStart + moved + scheduled);
        w.soundingTone = 0;
        if (w.stopPressed) {
            w.stopPressed = false;
            return;
        }
    }
    noteOff.send();

    w.Daten.clear();
    if (n < 1) {
        for (const char* line : {"", " Keine Töne erzeugt.", " Die Einstellungen in",
                                 " Tonfex.ini müssen", " geändert werden!"})
            w.Daten.add(line);
        return;
    }
    for (size_t k = 1; k < std::size(header); ++k)
        w.Daten.add(header[k]);
    for (int k = 1; k <= n; ++k) {
        const auto at = static_cast<size_t>(k);
        w.Daten.add(
            toneLine(k, melody.Tonhoehe[at], melody.Lautstaerke[at], melody.Tondauer[at], decimal));
    }
}

} // namespace tonfex
