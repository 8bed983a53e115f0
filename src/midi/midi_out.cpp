#include "midi/midi_out.h"

#include <algorithm>

namespace tonfex {

void MidiOut::MidiListDevices(ListBox& list) {
    list.clear();
    if (auto name = system_->deviceName(-1)) list.add(*name, -1);
    int n = system_->deviceCount();
    for (int device = 0; device < n; ++device)
        if (auto name = system_->deviceName(device)) list.add(*name, device);
}

bool MidiOut::MidiOpen(std::int16_t device) {
    MidiClose();
    MidiHandle handle = 0;
    unsigned result = system_->open(device, handle);
    hMidiOut = result == midiresult::ok ? handle : 0;
    if (result != midiresult::ok) MidiError(result);
    return hMidiOut != 0;
}

void MidiOut::MidiClose() {
    if (hMidiOut == 0) return;
    // An external device keeps sounding what it was not told to end.
    for (std::int16_t channel = 0; channel < 16; ++channel)
        MidiSendShort(static_cast<std::int16_t>(0xB0 + channel), 123, 0);
    unsigned result = system_->close(hMidiOut);
    if (result != midiresult::ok) MidiError(result);
    hMidiOut = 0;
}

std::uint32_t MidiOut::MidiPackMessage(std::int16_t status, std::int16_t data1,
                                       std::int16_t data2) {
    return static_cast<std::uint32_t>(status + data1 * 256 + data2 * 65536);
}

void MidiOut::MidiSendShort(std::int16_t status, std::int16_t data1, std::int16_t data2) {
    // A value outside a byte's range would spill into the neighbouring byte: not sent.
    if (status < 0x80 || status > 0xFF || data1 < 0 || data1 > 127 || data2 < 0 || data2 > 127) {
        MidiError(midiresult::invalidParam);
        return;
    }
    unsigned result = system_->shortMessage(hMidiOut, MidiPackMessage(status, data1, data2));
    if (result != midiresult::ok) MidiError(result);
}

void MidiOut::MidiError(unsigned code) {
    ++errorCount;
    lastError = system_->errorText(code);
}

void MidiOut::useSystem(MidiSystem& system) {
    MidiClose();
    system_ = &system;
}

void MidiAllOff(MidiOut& out) {
    for (std::int16_t channel = 0; channel < 16; ++channel) {
        MidiControlChange(out, channel, 120, 0);
        MidiControlChange(out, channel, 123, 0);
    }
}

void MidiNoteOn(MidiOut& out, std::int16_t channel, std::int16_t note, std::int16_t velocity) {
    out.MidiSendShort(static_cast<std::int16_t>(0x90 + channel), note, velocity);
}

void MidiNoteOff(MidiOut& out, std::int16_t channel, std::int16_t note) {
    out.MidiSendShort(static_cast<std::int16_t>(0x90 + channel), note, 0);
}

void MidiControlChange(MidiOut& out, std::int16_t channel, std::int16_t controller,
                       std::int16_t value) {
    out.MidiSendShort(static_cast<std::int16_t>(0xB0 + channel), controller, value);
}

void MidiProgramChange(MidiOut& out, std::int16_t channel, std::int16_t bank,
                       std::int16_t program) {
    MidiControlChange(out, channel, 0, bank);
    out.MidiSendShort(static_cast<std::int16_t>(0xC0 + channel), program, 0);
}

void MidiPitchBend(MidiOut& out, std::int16_t channel, std::int32_t value) {
    Split14 split = MidiSplit14(std::clamp(value, 0, 16383));
    out.MidiSendShort(static_cast<std::int16_t>(0xE0 + channel), split.lsb, split.msb);
}

Split14 MidiSplit14(std::int32_t value) {
    return {static_cast<std::int16_t>(value & 127),
            static_cast<std::int16_t>((value & 0x7F80) / 128)};
}

} // namespace tonfex
