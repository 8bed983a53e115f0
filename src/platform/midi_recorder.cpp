#include "platform/midi.h"

namespace tonfex {

std::string midiResultText(unsigned code) {
    switch (code) {
    case midiresult::ok:
        return "kein Fehler";
    case midiresult::badDevice:
        return "Das MIDI-Gerät gibt es nicht.";
    case midiresult::allocated:
        return "Das MIDI-Gerät ist schon geöffnet.";
    case midiresult::invalidHandle:
        return "Kein MIDI-Gerät geöffnet.";
    case midiresult::noDriver:
        return "Für das MIDI-Gerät fehlt ein Treiber oder Audiogerät.";
    case midiresult::invalidParam:
        return "Ungültiger Wert in der MIDI-Nachricht.";
    default:
        return "MIDI-Fehler " + std::to_string(code);
    }
}

std::optional<std::string> MidiRecorder::deviceName(int device) {
    if (device == -1) return mapperName;
    if (device < 0 || device >= deviceCount()) return std::nullopt;
    return devices[static_cast<size_t>(device)];
}

unsigned MidiRecorder::open(int device, MidiHandle& handle) {
    handle = 0;
    if (!deviceName(device)) return midiresult::badDevice;
    if (handle_ != 0) return midiresult::allocated;
    ++opens;
    handle = handle_ = static_cast<MidiHandle>(device) + 2;
    return midiresult::ok;
}

unsigned MidiRecorder::close(MidiHandle handle) {
    if (handle == 0 || handle != handle_) return midiresult::invalidHandle;
    handle_ = 0;
    ++closes;
    return midiresult::ok;
}

unsigned MidiRecorder::shortMessage(MidiHandle handle, std::uint32_t message) {
    if (handle == 0 || handle != handle_) return midiresult::invalidHandle;
    messages.push_back({clock_.monotonic(), message});
    return midiresult::ok;
}

} // namespace tonfex
