// The melody arrays, the melody file writer `Schreib` and the read-error question `Fehlerfrage`.
#pragma once

#include "core/workfolder.h"
#include "platform/platform.h"
#include "settings/settings.h"

#include <cstdint>
#include <vector>

namespace tonfex {

struct Melody {
    static constexpr int kLast = 100000; // highest index; index 0 is never used
    static constexpr int kMaxTones = 32767;

    std::vector<std::int16_t> Tonhoehe = std::vector<std::int16_t>(kLast + 1);
    std::vector<std::int16_t> Lautstaerke = std::vector<std::int16_t>(kLast + 1);
    std::vector<double> Tondauer = std::vector<double>(kLast + 1);
    std::int16_t Tonzahl = 0;
    // Per position, the count or the running occurrence number of its pitch (statistics).
    std::vector<std::int16_t> Tonzaehler = std::vector<std::int16_t>(kLast + 1);

    void erase();        // the three tone arrays, all entries 0
    void erasePitches(); // Tonhoehe only
};

// A pattern table: rows 1..Zeilen of pitch, volume and duration.
struct Pattern {
    static constexpr int kLast = 10000;
    std::vector<std::int16_t> Tonhoehe = std::vector<std::int16_t>(kLast + 1);
    std::vector<std::int16_t> Lautstaerke = std::vector<std::int16_t>(kLast + 1);
    std::vector<double> Tondauer = std::vector<double>(kLast + 1);
    int Zeilen = 0;
};

// The read-error questions of one read. Each shows `text` + " - weiter?" titled "FEHLER" with
// Yes, "Ja, alle" and No; No ends the program (throws ProgramEnd). After "Ja, alle" the further
// questions of the same read are answered Yes without being shown; the next read asks again.
class Fehlerfrage {
public:
    explicit Fehlerfrage(Dialogs& dialogs) : dialogs_(dialogs) {}
    void operator()(const std::string& text);

private:
    Dialogs& dialogs_;
    bool yesToAll_ = false;
};

// Shows an error titled "FEHLER" and ends the command (throws CommandEnd).
[[noreturn]] void failCommand(Dialogs& dialogs, const std::string& text);

// One melody file line: pitch + TRANSPONI, volume and duration joined by single blanks.
void appendMelodyLine(std::string& out, std::int16_t pitch, std::int16_t volume, double duration,
                      char decimal);
std::string melodyLine(std::int16_t pitch, std::int16_t volume, double duration, char decimal);

// Writes entries 1..Tonzahl to the melody file; nothing when Tonzahl < 1. A pitch that the
// transposition takes below 1 asks first; No ends the program and the old file stays whole.
void Schreib(Melody& melody, const Settings& settings, Files& files, Dialogs& dialogs,
             const WorkFolder& folder);

} // namespace tonfex
