#include "cli/play_files.h"

#include "core/textfile.h"
#include "core/workfolder.h"
#include "midi/export.h"

#include <ostream>

namespace tonfex {

std::string playFileOptions(const CliOptions& options, PlayFileOptions& files) {
    const std::pair<const char*, std::string*> names[] = {
        {"--midi-protokoll", &files.protocol}, {"--mid", &files.mid}, {"--wav", &files.wav}};
    for (auto [name, value] : names) {
        auto it = options.values.find(name);
        if (it == options.values.end()) continue;
        if (options.verb != "play" && options.verb != "neu")
            return std::string(name) + " gilt nur für play und neu";
        if (it->second.empty()) return std::string(name) + " braucht einen Dateinamen";
        *value = it->second;
    }
    return "";
}

std::string writePlayFiles(const PlayFileOptions& wanted,
                           const std::vector<TimedMidiMessage>& messages, double origin,
                           Files& files, std::ostream& out) {
    auto played = fromOrigin(messages, origin);
    auto written = [&](const char* what, const std::string& name, const std::string& error) {
        if (error.empty()) out << what << " geschrieben: " << name << '\n';
        return error.empty() ? "" : name + ": " + error;
    };
    if (!wanted.protocol.empty()) {
        std::string error =
            written("MIDI-Protokoll", wanted.protocol,
                    writeTextLines(files, pathFromUtf8(wanted.protocol), protocolLines(played)));
        if (!error.empty()) return error;
    }
    if (!wanted.mid.empty()) {
        std::string error =
            written("MIDI-Datei", wanted.mid,
                    files.writeWhole(pathFromUtf8(wanted.mid), standardMidiFile(played)));
        if (!error.empty()) return error;
    }
    if (!wanted.wav.empty()) {
        // A WAV file holds at most 4 GB: about 6 hours and 45 minutes at 44.1 kHz stereo.
        constexpr double kLongest = 6.5 * 3600;
        if (!played.empty() && played.back().time > kLongest)
            return wanted.wav + ": Die Melodie ist für eine WAV-Datei zu lang (höchstens 6,5 "
                                "Stunden).";
        std::vector<std::int16_t> frames;
        if (std::string error = renderWithSynth(played, frames); !error.empty())
            return wanted.wav + ": " + error;
        auto bytes = wavFile(frames, kRenderRate);
        if (!bytes) return wanted.wav + ": Die Melodie ist für eine WAV-Datei zu lang.";
        std::string error =
            written("WAV-Datei", wanted.wav, files.writeWhole(pathFromUtf8(wanted.wav), *bytes));
        if (!error.empty()) return error;
    }
    return "";
}

} // namespace tonfex
