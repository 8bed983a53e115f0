// The player: the play loop `Spielschleife`, the note output and the note's frequency and name.
#pragma once

#include "controls/models.h"
#include "melody/melody.h"
#include "midi/midi_out.h"
#include "platform/platform.h"
#include "settings/settings.h"

#include <cstdint>
#include <string>

namespace tonfex {

// The window-level values of MIDI playback and the live controls; they live between plays.
struct MidiPlayback {
    explicit MidiPlayback(MidiSystem& system) : out(system) {}

    MidiOut out;                 // MIDI_OUT with hMidiOut
    std::int16_t LetzterTon = 0; // the note sent last with note on
    double frequency = 0;        // the result of Frequenz
    std::string noteName;        // the result of Notenname
    int Bezugston = 70;          // reference note of the frequency display
    int BendOktave = 51;         // thousands of bend units that make one octave there
    double displayFactor = 100;  // the displayed frequency keeps two decimals
    double BendOffset = 0;       // last bend in thousands of units from the neutral 8200
    float previousBendY = 0;     // the Bender's marker position
    double loopStart = 0;        // monotonic time at which the last play loop began
};

// The pieces of window state the play loop reads and writes.
struct PlayWindow {
    Settings& s;
    const Melody& melody;
    double& Tempoteiler;
    bool& stopPressed;
    std::int16_t Versuche;
    ListBox& Daten;
    TextBox& txtNot;
    TextBox& Text5;
    Clock& clock;
    Events& events;
    int& soundingTone; // index of the tone sounding now, 0 when none (the piano roll marks it)
};

// Plays Tonhoehe(1..) up to the first entry below 1: each tone legato until the next one,
// its wait ending at its scheduled time (loop start plus the durations before it), so the
// time the list and the window take does not add up. Stop ends after the sounding tone's wait.
void Spielschleife(PlayWindow w, MidiPlayback& m);

// The tempo divisor of one tone: TEMPO / 10 for the test modes, TEMPO for rule 2 and the
// pattern rules, TEMPO / 1000 when ORIGINALSAMPLEABSTAND is 0, else (rule 1) TEMPO.
double tempoDivisor(const Settings& s);
// Seconds a tone of `duration` units waits: 4800 units are one second at divisor 1. A divisor
// of 0, and any result that is not a positive number, give no wait.
double toneSeconds(double duration, double divisor);

// Note off for the last note, note on for this one on channel 0, then the frequency (with
// the current bend) in txtNot and the note's name in Text5.
void Tonausgabe(MidiPlayback& m, TextBox& txtNot, TextBox& Text5, std::int16_t pitch,
                std::int16_t velocity, char decimal);
// Equal-tempered frequency of a note number, two decimals; also kept in m.frequency.
double Frequenz(MidiPlayback& m, int note);
// German name of the note's pitch class ("C", "Cis" ... "H"); also kept in m.noteName.
const std::string& Notenname(MidiPlayback& m, int note);
// Shows `base` raised by the current bend in txtNot: the number and " Hz".
void showFrequency(MidiPlayback& m, TextBox& txtNot, double base, char decimal);

// The tone list's line: number, pitch, loudness and duration, two blanks between.
std::string toneLine(int i, std::int16_t pitch, std::int16_t loudness, double duration,
                     char decimal);

} // namespace tonfex
