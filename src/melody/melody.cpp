#include "melody/melody.h"

#include "core/errors.h"
#include "core/numbers.h"
#include "core/textfile.h"

#include <algorithm>

namespace tonfex {

namespace {
std::int16_t clamp16(int v) { return static_cast<std::int16_t>(std::clamp(v, -32768, 32767)); }
} // namespace

void Melody::erase() {
    std::fill(Tonhoehe.begin(), Tonhoehe.end(), 0);
    std::fill(Lautstaerke.begin(), Lautstaerke.end(), 0);
    std::fill(Tondauer.begin(), Tondauer.end(), 0.0);
}

void Fehlerfrage(Dialogs& dialogs, const std::string& text) {
    if (!dialogs.ask("FEHLER", text + " - weiter?")) throw ProgramEnd();
}

void failCommand(Dialogs& dialogs, const std::string& text) {
    dialogs.tell("FEHLER", text);
    throw CommandEnd();
}

std::string melodyLine(std::int16_t pitch, std::int16_t volume, double duration, char decimal) {
    return plainText(pitch) + " " + plainText(volume) + " " + plainText(duration, decimal);
}

void Schreib(Melody& melody, const Settings& settings, Files& files, Dialogs& dialogs,
             const WorkFolder& folder) {
    if (melody.Tonzahl < 1) return;
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(melody.Tonzahl));
    for (int k = 1; k <= melody.Tonzahl; ++k) {
        auto& pitch = melody.Tonhoehe[static_cast<size_t>(k)];
        if (pitch + settings.TRANSPONI < 1) {
            // Nothing is on disk yet: a No leaves the previous melody file as it was.
            if (!dialogs.ask("FEHLER", "Als Tonhöhe wurde " + plainText(pitch) +
                                           " gelesen - wird als 1 interpretiert - fortfahren?"))
                throw ProgramEnd();
            pitch = clamp16(1 - settings.TRANSPONI);
        }
        lines.push_back(melodyLine(clamp16(pitch + settings.TRANSPONI),
                                   melody.Lautstaerke[static_cast<size_t>(k)],
                                   melody.Tondauer[static_cast<size_t>(k)], settings.decimal));
    }
    std::string error = writeTextLines(files, folder.path(names::melody), lines);
    if (!error.empty())
        failCommand(dialogs, "Die Melodiedatei " + folder.text(names::melody) +
                                 " konnte nicht geschrieben werden: " + error);
}

} // namespace tonfex
