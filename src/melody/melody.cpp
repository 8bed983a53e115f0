#include "melody/melody.h"

#include "core/errors.h"
#include "core/numbers.h"
#include "core/textfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace tonfex {

namespace {
std::int16_t clamp16(int v) {
    return static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
}

// All entries 0 (for a double, 0.0 has no bit set) in one memset: a loop over the 100001
// entries would be checked entry by entry by the sanitizers and the fuzzer's coverage.
template <class T> void zeroAll(std::vector<T>& table) {
    static_assert(std::is_trivially_copyable_v<T>);
    if (!table.empty()) std::memset(table.data(), 0, table.size() * sizeof(T));
}
} // namespace

void Melody::erase() {
    zeroAll(Tonhoehe);
    zeroAll(Lautstaerke);
    zeroAll(Tondauer);
}

void Melody::erasePitches() {
    zeroAll(Tonhoehe);
}

void Fehlerfrage::operator()(const std::string& text) {
    if (yesToAll_) return;
    switch (dialogs_.askAll("FEHLER", text + " - weiter?")) {
    case Answer::No:
        throw ProgramEnd();
    case Answer::YesToAll:
        yesToAll_ = true;
        break;
    case Answer::Yes:
        break;
    }
}

void failCommand(Dialogs& dialogs, const std::string& text) {
    dialogs.tell("FEHLER", text);
    throw CommandEnd();
}

void appendMelodyLine(std::string& out, std::int16_t pitch, std::int16_t volume, double duration,
                      char decimal) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, pitch);
    out.append(buf, r.ptr);
    out += ' ';
    r = std::to_chars(buf, buf + sizeof buf, volume);
    out.append(buf, r.ptr);
    out += ' ';
    if (duration == std::trunc(duration) && std::fabs(duration) < 1e15) {
        r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(duration));
        out.append(buf, r.ptr);
    } else {
        out += plainText(duration, decimal);
    }
}

std::string melodyLine(std::int16_t pitch, std::int16_t volume, double duration, char decimal) {
    std::string line;
    appendMelodyLine(line, pitch, volume, duration, decimal);
    return line;
}

void Schreib(Melody& melody, const Settings& settings, Files& files, Dialogs& dialogs,
             const WorkFolder& folder) {
    if (melody.Tonzahl < 1) return;
    // The lines are plain ASCII: they go to the file as they are.
    std::string bytes;
    bytes.reserve(static_cast<size_t>(melody.Tonzahl) * 16);
    for (int k = 1; k <= melody.Tonzahl; ++k) {
        auto& pitch = melody.Tonhoehe[static_cast<size_t>(k)];
        if (pitch + settings.TRANSPONI < 1) {
            // Nothing is on disk yet: a No leaves the previous melody file as it was.
            if (!dialogs.ask("FEHLER", "Als Tonhöhe wurde " + plainText(pitch) +
                                           " gelesen - wird als 1 interpretiert - fortfahren?"))
                throw ProgramEnd();
            pitch = clamp16(1 - settings.TRANSPONI);
        }
        appendMelodyLine(bytes, clamp16(pitch + settings.TRANSPONI),
                         melody.Lautstaerke[static_cast<size_t>(k)],
                         melody.Tondauer[static_cast<size_t>(k)], settings.decimal);
        bytes += "\r\n";
    }
    std::string error = files.writeWhole(folder.path(names::melody), bytes);
    if (!error.empty())
        failCommand(dialogs, "Die Melodiedatei " + folder.text(names::melody) +
                                 " konnte nicht geschrieben werden: " + error);
}

} // namespace tonfex
