// Systems without a MIDI back end: no devices, everything silent.
#include "platform/midi.h"

namespace tonfex {

std::unique_ptr<MidiSystem> makeSystemMidi() {
    return std::make_unique<SilentMidi>();
}

std::filesystem::path findSoundFont() {
    return {};
}

std::string renderWithSynth(const std::vector<TimedMidiMessage>&, const SampleSink&) {
    return "Die WAV-Ausgabe braucht den eingebauten Synthesizer (FluidSynth).";
}

} // namespace tonfex
