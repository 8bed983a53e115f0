// Windows MIDI output through winmm; device -1 is the MIDI mapper.
#include "platform/midi.h"

#include "core/encoding.h"

#include <windows.h>

#include <mmsystem.h>

namespace tonfex {

namespace {

UINT winmmDevice(int device) {
    return device == -1 ? MIDI_MAPPER : static_cast<UINT>(device);
}

class WinMidi : public MidiSystem {
public:
    int deviceCount() override { return static_cast<int>(midiOutGetNumDevs()); }

    std::optional<std::string> deviceName(int device) override {
        MIDIOUTCAPSA caps{};
        if (midiOutGetDevCapsA(winmmDevice(device), &caps, sizeof caps) != MMSYSERR_NOERROR)
            return std::nullopt;
        caps.szPname[MAXPNAMELEN - 1] = '\0';
        return utf8FromCp1252(caps.szPname);
    }

    unsigned open(int device, MidiHandle& handle) override {
        HMIDIOUT out = nullptr;
        MMRESULT r = midiOutOpen(&out, winmmDevice(device), 0, 0, CALLBACK_NULL);
        handle = r == MMSYSERR_NOERROR ? reinterpret_cast<MidiHandle>(out) : 0;
        return r;
    }

    unsigned close(MidiHandle handle) override {
        return midiOutClose(reinterpret_cast<HMIDIOUT>(handle));
    }

    unsigned shortMessage(MidiHandle handle, std::uint32_t message) override {
        return midiOutShortMsg(reinterpret_cast<HMIDIOUT>(handle), message);
    }

    std::string errorText(unsigned code) override {
        char text[128] = {};
        if (midiOutGetErrorTextA(code, text, sizeof text) != MMSYSERR_NOERROR)
            return midiResultText(code);
        return utf8FromCp1252(text);
    }
};

} // namespace

std::unique_ptr<MidiSystem> makeSystemMidi() {
    return std::make_unique<WinMidi>();
}

std::filesystem::path findSoundFont() {
    return {};
}

std::string renderWithSynth(const std::vector<TimedMidiMessage>&, const SampleSink&) {
    return "Die WAV-Ausgabe braucht den eingebauten Synthesizer der Linux-Ausgabe (FluidSynth).";
}

} // namespace tonfex
