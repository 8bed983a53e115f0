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

namespace {

// Renders the play through the built-in synthesizer into a WAV file as it goes: the header
// gets its length at the end. Returns an error text.
std::string writeWav(const std::vector<TimedMidiMessage>& played, const std::string& name,
                     Files& files) {
    auto writer = files.writeInPieces(pathFromUtf8(name));
    // The largest length until the real one is known: a pipe, which cannot go back, keeps it,
    // and readers of a stream take it as "to the end".
    writer->write(*wavHeader(0xFFFFFFFFull - 36, kRenderRate));
    std::uint64_t dataBytes = 0;
    bool tooLong = false;
    std::string bytes;
    std::string error = renderWithSynth(played, [&](const std::int16_t* samples, std::size_t n) {
        dataBytes += 2 * static_cast<std::uint64_t>(n);
        tooLong = !wavHeader(dataBytes, kRenderRate);
        if (tooLong) return false;
        bytes.clear();
        appendSamples(bytes, samples, n);
        writer->write(bytes);
        return true;
    });
    if (!error.empty()) return error; // the dropped writer leaves no file behind
    if (tooLong) return "Die Melodie ist für eine WAV-Datei zu lang.";
    writer->rewriteStart(*wavHeader(dataBytes, kRenderRate));
    return writer->finish();
}

} // namespace

std::string writePlayFiles(const PlayFileOptions& wanted,
                           const std::vector<TimedMidiMessage>& messages, double origin,
                           Files& files, std::ostream& out) {
    // Every refusal comes before the first file is written.
    std::vector<TimedMidiMessage> fromFirstTone;
    std::optional<std::string> midiBytes;
    if (!wanted.mid.empty() || !wanted.wav.empty()) {
        const auto first = firstToneTime(messages);
        const std::string& name = wanted.mid.empty() ? wanted.wav : wanted.mid;
        if (!first) return name + ": Die Melodie hat keinen Ton; es wurde keine Datei geschrieben.";
        // The files start with the first tone, not with the pause the window shows before it.
        fromFirstTone = fromOrigin(messages, *first);
    }
    if (!wanted.mid.empty()) {
        midiBytes = standardMidiFile(fromFirstTone);
        if (!midiBytes)
            return wanted.mid + ": Die Melodie passt nicht in eine MIDI-Datei (zwischen zwei "
                                "Ereignissen liegen mehr als 74 Stunden).";
    }
    if (!wanted.wav.empty()) {
        // A WAV file holds at most 4 GB: about 6 hours and 45 minutes at 44.1 kHz stereo.
        constexpr double kLongest = 6.5 * 3600;
        if (!fromFirstTone.empty() && !(fromFirstTone.back().time <= kLongest))
            return wanted.wav + ": Die Melodie ist für eine WAV-Datei zu lang (höchstens 6,5 "
                                "Stunden).";
    }

    auto written = [&](const char* what, const std::string& name, const std::string& error) {
        if (error.empty()) out << what << " geschrieben: " << name << '\n';
        return error.empty() ? "" : name + ": " + error;
    };
    if (!wanted.protocol.empty()) {
        // The protocol keeps the real time from the play's start.
        std::string error = written(
            "MIDI-Protokoll", wanted.protocol,
            writeTextLines(files, pathFromUtf8(wanted.protocol),
                           protocolLines(fromOrigin(messages, origin))));
        if (!error.empty()) return error;
    }
    if (midiBytes) {
        std::string error = written("MIDI-Datei", wanted.mid,
                                    files.writeWhole(pathFromUtf8(wanted.mid), *midiBytes));
        if (!error.empty()) return error;
    }
    if (!wanted.wav.empty()) {
        std::string error = written("WAV-Datei", wanted.wav, writeWav(fromFirstTone, wanted.wav, files));
        if (!error.empty()) return error;
    }
    return "";
}

} // namespace tonfex
